#pragma once
// The utility library's exception. Every failed step inside a CDPX class raises it through
// DPXThrowException; the operation's own handler deletes it and answers FALSE, 0 or null.

#include "platform/core/CException.h"

class CDPXException : public CException {
  DECLARE_DYNAMIC(CDPXException)
public:
  static constexpr int kErrorCode = -1;

  int GetErrorCode() const { return m_errorCode; }
  // Has no text of its own: empties `text` and answers TRUE.
  virtual BOOL GetErrorText(int ignored, CString& text) const;

private:
  int m_errorCode { kErrorCode };
};

[[noreturn]] void DPXThrowException();
