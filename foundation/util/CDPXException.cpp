#include "foundation/util/CDPXException.h"

IMPLEMENT_DYNAMIC(CDPXException, CException)

BOOL CDPXException::GetErrorText(int, CString& text) const {
  text.Empty();
  return TRUE;
}

void DPXThrowException() { throw new CDPXException; }
