#pragma once
// The SDK's exception: raised by a failed step of a kernel operation, with or without an error
// code, and caught by that operation's single handler, which deletes it.

#include "platform/core/CException.h"

class CQVException : public CException {
  DECLARE_DYNAMIC(CQVException)
public:
  // The code of an exception raised without one. Callers only ever use positive codes.
  static constexpr int kNoErrorCode = 0;

  explicit CQVException(int errorCode = kNoErrorCode) : m_errorCode(errorCode) {}

  [[noreturn]] static void Throw();
  [[noreturn]] static void Throw(int errorCode);
  int GetErrorCode() const { return m_errorCode; }

private:
  int m_errorCode { kNoErrorCode };
};
