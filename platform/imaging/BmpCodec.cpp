#include "platform/core/globalmem.h"
#include "platform/imaging/Dib.h"
#include "platform/imaging/codecs.h"
#include "platform/imaging/dibstorage.h"
#include "platform/imaging/pixels.h"

#include <cstring>

// A BMP file is a 14-byte file header ("BM", file size, two reserved words, offset of the rows)
// in front of a packed DIB.

namespace imaging {

namespace {

constexpr SIZE_T kFileHeaderSize = 14;

DWORD Little32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }
WORD Little16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
void PutLittle32(BYTE* p, DWORD v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(v >> (8 * i));
}

// The parts of the file: header and palette bytes, and where the rows start.
struct Layout {
  SIZE_T headerAndPalette{0};
  SIZE_T rowsAt{0};
  SIZE_T rowBytes{0};
};

bool Measure(const BYTE* data, SIZE_T size, Layout& layout) {
  if (size < kFileHeaderSize + 40) return false;
  const DWORD headerSize = Little32(data + 14);
  const LONG width = static_cast<LONG>(Little32(data + 18));
  const LONG height = static_cast<LONG>(Little32(data + 22));
  const int bpp = Little16(data + 28);
  const DWORD colorsUsed = Little32(data + 46);
  const int stride = StrideFor(width, bpp);
  if (headerSize < 40 || headerSize > 124 || stride < 0 || height == 0 || height == INT32_MIN || colorsUsed > 256) return false;
  const unsigned long long colors = colorsUsed ? colorsUsed : (HasPalette(bpp) ? 1u << bpp : 0);
  const unsigned long long rows = static_cast<unsigned long long>(stride) * static_cast<unsigned>(height < 0 ? -height : height);
  layout.headerAndPalette = static_cast<SIZE_T>(headerSize + 4 * colors);
  layout.rowBytes = static_cast<SIZE_T>(rows);
  // The rows start where the file header says, unless that points into the palette or too far.
  const DWORD offset = Little32(data + 10);
  const SIZE_T after = kFileHeaderSize + layout.headerAndPalette;
  layout.rowsAt = offset >= after && offset <= size && rows <= size - offset ? offset : after;
  return layout.rowsAt <= size && rows <= size - layout.rowsAt && after <= size;
}

}  // namespace

bool IsBmp(const BYTE* data, SIZE_T size) { return size >= kFileHeaderSize + 40 && data[0] == 'B' && data[1] == 'M'; }

bool DecodeBmp(const BYTE* data, SIZE_T size, Bitmap& bitmap) {
  Reset(bitmap);
  Layout layout;
  if (!Measure(data, size, layout)) return false;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, layout.headerAndPalette + layout.rowBytes);
  if (!block) return false;
  BYTE* dib = static_cast<BYTE*>(GlobalLock(block));
  std::memcpy(dib, data + kFileHeaderSize, layout.headerAndPalette);
  std::memcpy(dib + layout.headerAndPalette, data + layout.rowsAt, layout.rowBytes);
  GlobalUnlock(block);
  if (!ChangeFromDIB(bitmap, block)) {
    GlobalFree(block);
    return false;
  }
  return true;
}

bool BmpInfo(const BYTE* data, SIZE_T size, FileInfo& info) {
  Layout layout;
  if (!Measure(data, size, layout)) return false;
  const LONG height = static_cast<LONG>(Little32(data + 22));
  info.format = kFormatBmp;
  info.width = static_cast<int>(Little32(data + 18));
  info.height = height < 0 ? -height : height;
  info.bitsPerPixel = Little16(data + 28);
  info.xResolution = DpiFromPelsPerMeter(static_cast<LONG>(Little32(data + 38)));
  info.yResolution = DpiFromPelsPerMeter(static_cast<LONG>(Little32(data + 42)));
  info.pageCount = 1;
  return true;
}

bool EncodeBmp(const Bitmap& bitmap, std::vector<BYTE>& file) {
  HGLOBAL block = ConvertToDIB(bitmap);
  if (!block) return false;
  const SIZE_T size = GlobalSize(block);
  const BYTE* dib = static_cast<const BYTE*>(GlobalLock(block));
  file.assign(kFileHeaderSize, 0);
  file[0] = 'B';
  file[1] = 'M';
  PutLittle32(file.data() + 2, static_cast<DWORD>(kFileHeaderSize + size));
  PutLittle32(file.data() + 10, static_cast<DWORD>(kFileHeaderSize + 40 + 4 * static_cast<SIZE_T>(bitmap.colorCount)));
  file.insert(file.end(), dib, dib + size);
  GlobalUnlock(block);
  GlobalFree(block);
  return true;
}

}  // namespace imaging
