#include "platform/core/codepage.h"

namespace {

// Windows-1252 bytes 0x80-0x9F. The five bytes Windows leaves undefined map to the C1 controls
// of the same value, as Windows' own converter does.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t AnsiToUnit(unsigned char byte) {
  return (byte >= 0x80 && byte < 0xA0) ? kCp1252High[byte - 0x80] : static_cast<char16_t>(byte);
}

// The 1252 byte of a code unit, or -1 when the code page lacks it.
int UnitToAnsi(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return unit;
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == unit) return 0x80 + i;
  return -1;
}

bool IsHighSurrogate(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Decodes one UTF-8 sequence at `at`; a malformed one yields U+FFFD and consumes one byte, so that
// the bytes after it are decoded again (the "maximal subpart" practice).
char32_t DecodeUtf8(std::string_view s, size_t& at) {
  const auto b0 = static_cast<unsigned char>(s[at]);
  if (b0 < 0x80) {
    ++at;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t minimum = 0;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    extra = 1, cp = b0 & 0x1F, minimum = 0x80;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    extra = 2, cp = b0 & 0x0F, minimum = 0x800;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    extra = 3, cp = b0 & 0x07, minimum = 0x10000;
  } else {
    ++at;
    return 0xFFFD;
  }
  if (at + static_cast<size_t>(extra) >= s.size()) {  // truncated sequence
    ++at;
    return 0xFFFD;
  }
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<unsigned char>(s[at + static_cast<size_t>(i)]);
    if ((b & 0xC0) != 0x80) {
      ++at;
      return 0xFFFD;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++at;
    return 0xFFFD;
  }
  at += static_cast<size_t>(extra) + 1;
  return cp;
}

bool IsValidUtf8(std::string_view s) {
  for (size_t at = 0; at < s.size();) {
    const size_t before = at;
    if (DecodeUtf8(s, at) == 0xFFFD && !(at - before == 3 && s.substr(before, 3) == "\xEF\xBF\xBD"))
      return false;
  }
  return true;
}

// With keepBytes, a byte that does not start valid UTF-8 becomes U+DC80-U+DCFF instead of U+FFFD.
std::u16string DecodeUtf8Text(std::string_view utf8, bool keepBytes) {
  std::u16string out;
  out.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) {
    const size_t before = at;
    char32_t cp = DecodeUtf8(utf8, at);
    if (keepBytes && cp == 0xFFFD && at - before == 1) cp = 0xDC00 + static_cast<unsigned char>(utf8[before]);
    if (cp >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

// With keepBytes, a lone U+DC80-U+DCFF goes back to its byte; other lone surrogates become U+FFFD.
std::string EncodeUtf8Text(std::u16string_view wide, bool keepBytes) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    const char16_t u = wide[i];
    if (IsHighSurrogate(u) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (wide[i + 1] - 0xDC00));
      ++i;
    } else if (keepBytes && u >= 0xDC80 && u <= 0xDCFF) {
      out.push_back(static_cast<char>(u - 0xDC00));
    } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
      AppendUtf8(out, 0xFFFD);  // a lone surrogate has no UTF-8 form
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

std::u16string Convert(UINT codePage, std::string_view source) {
  return codePage == CP_UTF8 ? Utf8ToWide(source) : AnsiToWide(source);
}

}  // namespace

std::u16string AnsiToWide(std::string_view ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (char c : ansi) out.push_back(AnsiToUnit(static_cast<unsigned char>(c)));
  return out;
}

std::string WideToAnsi(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (size_t i = 0; i < wide.size(); ++i) {
    const int byte = UnitToAnsi(wide[i]);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
    if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
  }
  return out;
}

std::u16string Utf8ToWide(std::string_view utf8) { return DecodeUtf8Text(utf8, false); }

std::u16string Utf8ToWideKeepingBytes(std::string_view utf8) { return DecodeUtf8Text(utf8, true); }

std::string WideToUtf8(std::u16string_view wide) { return EncodeUtf8Text(wide, false); }

std::string WideToUtf8KeepingBytes(std::u16string_view wide) { return EncodeUtf8Text(wide, true); }

int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength, LPWSTR target,
                        int targetLength) {
  if (!source || sourceLength < -1 || targetLength < 0 || (targetLength > 0 && !target) ||
      (codePage != CP_ACP && codePage != CP_OEMCP && codePage != CP_1252 && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const bool terminated = sourceLength == -1;
  std::string_view bytes(source, terminated ? std::char_traits<char>::length(source) : static_cast<size_t>(sourceLength));
  if (codePage == CP_UTF8 && (flags & MB_ERR_INVALID_CHARS) && !IsValidUtf8(bytes)) {
    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
    return 0;
  }
  std::u16string wide = Convert(codePage, bytes);
  if (terminated) wide.push_back(u'\0');
  const int needed = static_cast<int>(wide.size());
  if (targetLength == 0) return needed;
  if (needed > targetLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(wide.begin(), wide.end(), target);
  return needed;
}

int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength, LPSTR target,
                        int targetLength, LPCSTR defaultChar, LPBOOL usedDefaultChar) {
  if (!source || sourceLength < -1 || targetLength < 0 || (targetLength > 0 && !target) ||
      (codePage != CP_ACP && codePage != CP_OEMCP && codePage != CP_1252 && codePage != CP_UTF8)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const bool terminated = sourceLength == -1;
  std::u16string_view wide(source, terminated ? std::char_traits<char16_t>::length(source) : static_cast<size_t>(sourceLength));
  std::string bytes;
  if (codePage == CP_UTF8) {
    bytes = WideToUtf8(wide);
  } else {
    const char replacement = (defaultChar && *defaultChar) ? *defaultChar : '?';
    BOOL used = FALSE;
    for (size_t i = 0; i < wide.size(); ++i) {
      const int byte = UnitToAnsi(wide[i]);
      if (byte < 0) used = TRUE;
      bytes.push_back(byte < 0 ? replacement : static_cast<char>(byte));
      if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) ++i;
    }
    if (usedDefaultChar) *usedDefaultChar = used;
  }
  if (terminated) bytes.push_back('\0');
  const int needed = static_cast<int>(bytes.size());
  if (targetLength == 0) return needed;
  if (needed > targetLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::copy(bytes.begin(), bytes.end(), target);
  return needed;
}
