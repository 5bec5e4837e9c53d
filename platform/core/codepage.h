#pragma once
// Code pages. CP_ACP is Windows-1252 on every machine, whatever the process locale says.
// Converters never fail on bad input: invalid bytes become U+FFFD, and characters that the
// target code page lacks become '?'.

#include "platform/core/wintypes.h"

#include <string>
#include <string_view>

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_1252 1252
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400

// Win32 conversions. A source length of -1 converts up to and including the terminator.
// With a destination size of 0 they answer the size needed; 0 means failure (GetLastError tells).
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR source, int sourceLength, LPWSTR target,
                        int targetLength);
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR source, int sourceLength, LPSTR target,
                        int targetLength, LPCSTR defaultChar, LPBOOL usedDefaultChar);

std::u16string AnsiToWide(std::string_view ansi);
std::string WideToAnsi(std::u16string_view wide);
std::u16string Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::u16string_view wide);

// UTF-8 that keeps every byte: a byte that is not part of valid UTF-8 becomes the lone surrogate
// U+DC80-U+DCFF and goes back to the same byte, so that file names and environment values that
// are not UTF-8 survive the trip through UTF-16.
std::u16string Utf8ToWideKeepingBytes(std::string_view utf8);
std::string WideToUtf8KeepingBytes(std::u16string_view wide);
