#pragma once
// Bytes of text files for tests: UTF-16 forms of UTF-8 text, and bytes made readable for messages.

#include "platform/core/codepage.h"

#include <string>

// The UTF-16 bytes of UTF-8 text, little- or big-endian, without a mark.
inline std::string Utf16(const std::string& utf8, bool bigEndian) {
  std::string out;
  for (char16_t unit : Utf8ToWide(utf8)) {
    const char low = static_cast<char>(unit & 0xFF);
    const char high = static_cast<char>(unit >> 8);
    out += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return out;
}

// Bytes with everything outside printable ASCII written as \xNN.
inline std::string Printable(const std::string& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) out += static_cast<char>(c);
    else out += std::string("\\x") + kHex[c >> 4] + kHex[c & 15];
  }
  return out;
}
