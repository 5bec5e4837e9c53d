#pragma once
// Little-endian fields of the DIB and BMP headers, read from and written to bytes one by one, so
// that no record is laid over bytes from a file.

#include "platform/gdi/gditypes.h"

namespace dibbytes {

constexpr DWORD kInfoHeaderSize = 40;
constexpr DWORD kFileHeaderSize = 14;
constexpr WORD kBmpSignature = 0x4D42;  // "BM"

inline WORD Get16(const BYTE* p) { return WORD(p[0] | (p[1] << 8)); }
inline DWORD Get32(const BYTE* p) { return DWORD(p[0]) | (DWORD(p[1]) << 8) | (DWORD(p[2]) << 16) | (DWORD(p[3]) << 24); }
inline void Put16(BYTE* p, WORD v) {
  p[0] = BYTE(v);
  p[1] = BYTE(v >> 8);
}
inline void Put32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = BYTE(v >> (8 * i));
}

// The 40 bytes of a BITMAPINFOHEADER.
inline BITMAPINFOHEADER InfoHeader(const BYTE* p) {
  BITMAPINFOHEADER h;
  h.biSize = Get32(p);
  h.biWidth = LONG(Get32(p + 4));
  h.biHeight = LONG(Get32(p + 8));
  h.biPlanes = Get16(p + 12);
  h.biBitCount = Get16(p + 14);
  h.biCompression = Get32(p + 16);
  h.biSizeImage = Get32(p + 20);
  h.biXPelsPerMeter = LONG(Get32(p + 24));
  h.biYPelsPerMeter = LONG(Get32(p + 28));
  h.biClrUsed = Get32(p + 32);
  h.biClrImportant = Get32(p + 36);
  return h;
}

}  // namespace dibbytes
