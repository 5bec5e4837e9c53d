#include "batchstore/QVNameRule.h"

#include "platform/core/CString.h"

BOOL QVCheckName(LPCWSTR name) { return QVCheckName(name, 20); }

BOOL QVCheckName(LPCWSTR name, int maxLength) {
  CString text(name ? name : u"");
  text.Trim();
  int length = text.GetLength();
  return length >= 1 && length <= maxLength && text.FindOneOf(u"\\/:.()[]{}*?%&+-<>") < 0;
}
