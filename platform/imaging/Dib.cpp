#include "platform/imaging/Dib.h"

#include "platform/core/globalmem.h"
#include "platform/imaging/dibstorage.h"
#include "platform/imaging/pixels.h"

#include <climits>
#include <cstring>

namespace imaging {

namespace {

DWORD Read32(const BYTE* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<DWORD>(p[3]) << 24); }
WORD Read16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
void Write32(BYTE* p, DWORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
  p[2] = static_cast<BYTE>(v >> 16);
  p[3] = static_cast<BYTE>(v >> 24);
}
void Write16(BYTE* p, WORD v) {
  p[0] = static_cast<BYTE>(v);
  p[1] = static_cast<BYTE>(v >> 8);
}

LONG PelsPerMeterFromDpi(int dpi) { return dpi <= 0 ? 0 : static_cast<LONG>((static_cast<long long>(dpi) * 10000 + 127) / 254); }

// Makes the block a bottom-up DIB with BGR pixels and writes its 40-byte header.
void PrepareForHandOver(Bitmap& bitmap) {
  SetPerspective(bitmap, kBottomLeft);
  if (bitmap.bitsPerPixel >= 24 && IsRgbOrder(bitmap.order)) {
    SwapRedBlue(bitmap);
    bitmap.order = kOrderBgr;
  }
  BYTE* h = static_cast<BYTE*>(GlobalLock(bitmap.storage));
  GlobalUnlock(bitmap.storage);
  Write32(h + 0, kDibHeaderSize);
  Write32(h + 4, static_cast<DWORD>(bitmap.width));
  Write32(h + 8, static_cast<DWORD>(bitmap.height));
  Write16(h + 12, 1);
  Write16(h + 14, static_cast<WORD>(bitmap.bitsPerPixel));
  Write32(h + 16, BI_RGB);
  Write32(h + 20, static_cast<DWORD>(bitmap.imageSize));
  Write32(h + 24, static_cast<DWORD>(PelsPerMeterFromDpi(bitmap.xResolution)));
  Write32(h + 28, static_cast<DWORD>(PelsPerMeterFromDpi(bitmap.yResolution)));
  Write32(h + 32, static_cast<DWORD>(bitmap.colorCount));
  Write32(h + 36, 0);
}

}  // namespace

int DpiFromPelsPerMeter(long long pelsPerMeter) {
  return pelsPerMeter <= 0 ? 0 : static_cast<int>((pelsPerMeter * 254 + 5000) / 10000);
}

void AttachStorage(Bitmap& bitmap, HGLOBAL block, int colorCount) {
  BYTE* base = static_cast<BYTE*>(GlobalLock(block));
  bitmap.storage = block;
  bitmap.colorCount = colorCount;
  bitmap.palette = colorCount > 0 ? reinterpret_cast<RGBQUAD*>(base + kDibHeaderSize) : nullptr;
  bitmap.bits = base + kDibHeaderSize + static_cast<SIZE_T>(colorCount) * sizeof(RGBQUAD);
  bitmap.flags |= kAllocated;
}

void CopyAttributes(Bitmap& target, const Bitmap& source) {
  target.order = source.order;
  target.perspective = source.perspective;
  target.xResolution = source.xResolution;
  target.yResolution = source.yResolution;
}

bool ChangeFromDIB(Bitmap& bitmap, HGLOBAL dib) {
  Reset(bitmap);
  const SIZE_T size = GlobalSize(dib);
  BYTE* p = static_cast<BYTE*>(GlobalLock(dib));
  if (!p) return false;
  GlobalUnlock(dib);
  if (size < kDibHeaderSize) return false;
  const DWORD headerSize = Read32(p);
  const LONG width = static_cast<LONG>(Read32(p + 4));
  const LONG height = static_cast<LONG>(Read32(p + 8));
  const int bpp = Read16(p + 14);
  const DWORD compression = Read32(p + 16);
  const DWORD colorsUsed = Read32(p + 32);
  if ((headerSize != 40 && headerSize != 108 && headerSize != 124) || Read16(p + 12) != 1 || compression != BI_RGB ||
      height == 0 || height == INT_MIN || StrideFor(width, bpp) < 0) {
    return false;
  }
  const int maxColors = HasPalette(bpp) ? 1 << bpp : 0;
  if (HasPalette(bpp) && colorsUsed > static_cast<DWORD>(maxColors)) return false;
  if (!HasPalette(bpp) && colorsUsed > 256) return false;
  // Entries present in the block, and those the bitmap keeps (colour bitmaps keep none).
  const int present = colorsUsed ? static_cast<int>(colorsUsed) : maxColors;
  const int kept = HasPalette(bpp) ? present : 0;
  const int rows = height < 0 ? -height : height;
  if (!Reset(bitmap, width, rows, bpp)) return false;
  const unsigned long long needed = headerSize + 4ull * present + bitmap.imageSize;
  if (needed > size) {
    Reset(bitmap);
    return false;
  }
  // Storage always has the 40-byte header straight before the palette and the rows.
  if (headerSize != kDibHeaderSize || kept != present) {
    std::memmove(p + kDibHeaderSize, p + headerSize, 4 * static_cast<SIZE_T>(kept));
    std::memmove(p + kDibHeaderSize + 4 * static_cast<SIZE_T>(kept), p + headerSize + 4 * static_cast<SIZE_T>(present),
                 bitmap.imageSize);
  }
  bitmap.perspective = height > 0 ? kBottomLeft : kTopLeft;
  bitmap.xResolution = DpiFromPelsPerMeter(static_cast<LONG>(Read32(p + 24)));
  bitmap.yResolution = DpiFromPelsPerMeter(static_cast<LONG>(Read32(p + 28)));
  AttachStorage(bitmap, dib, kept);
  return true;
}

HGLOBAL ChangeToDIB(Bitmap& bitmap, int headerKind) {
  if (headerKind != kDibInfoHeader || !bitmap.IsAllocated()) return nullptr;
  PrepareForHandOver(bitmap);
  HGLOBAL block = bitmap.storage;
  GlobalUnlock(block);
  bitmap.storage = nullptr;
  Reset(bitmap);
  return block;
}

HGLOBAL ConvertToDIB(const Bitmap& bitmap, int headerKind) {
  Bitmap copy;
  if (headerKind != kDibInfoHeader || !Duplicate(copy, bitmap)) return nullptr;
  return ChangeToDIB(copy, headerKind);
}

}  // namespace imaging
