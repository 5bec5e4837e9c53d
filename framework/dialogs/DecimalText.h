#pragma once
// Inside the framework's dialogs: reading a number where a text starts, as "%d" reads it.

#include <climits>
#include <cstdint>

namespace qvdialogs {

// Reads blanks, an optional sign and decimal digits from `p` and moves `p` past them; false (with
// `p` unchanged) when no digit follows or the number does not fit an int.
inline bool ReadDecimal(const char16_t*& p, int& value) {
  const char16_t* q = p;
  while (*q == u' ' || *q == u'\t') ++q;
  bool negative = false;
  if (*q == u'+' || *q == u'-') negative = *q++ == u'-';
  if (*q < u'0' || *q > u'9') return false;
  int64_t number = 0;
  for (; *q >= u'0' && *q <= u'9'; ++q) {
    number = number * 10 + (*q - u'0');
    if (number > int64_t(INT_MAX) + 1) return false;
  }
  number = negative ? -number : number;
  if (number > INT_MAX) return false;
  value = static_cast<int>(number);
  p = q;
  return true;
}

}  // namespace qvdialogs
