#pragma once
// The number fields of the go-to dialogs: decimal digits only, read without overflowing.

#include "platform/core/CString.h"

#include <climits>

namespace browserdialogs {

// TRUE when every character is a decimal digit; an empty text passes.
inline BOOL IsDigits(const CString& text) {
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] < u'0' || text[i] > u'9') return FALSE;
  return TRUE;
}

// The value of a text of digits, INT_MAX when it is larger; 0 for an empty text.
inline int DigitValue(const CString& text) {
  long long value = 0;
  for (int i = 0; i < text.GetLength(); ++i) value = std::min<long long>(value * 10 + (text[i] - u'0'), INT_MAX);
  return static_cast<int>(value);
}

}  // namespace browserdialogs
