#include "batchstore/QVNameRule.h"

#include "platform/core/CString.h"

BOOL QVCheckName(LPCWSTR name) {
  CString text(name ? name : u"");
  text.Trim();
  int length = text.GetLength();
  return length >= 1 && length <= 20 && text.FindOneOf(u"\\/:.()[]{}*?%&+-<>") < 0;
}
