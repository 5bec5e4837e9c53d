#include "platform/imaging/Bitmap.h"

#include "platform/core/globalmem.h"
#include "platform/imaging/dibstorage.h"
#include "platform/imaging/pixels.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace imaging {

Bitmap::~Bitmap() { FreeStorage(*this); }

int StrideFor(int width, int bitsPerPixel) {
  if (width <= 0) return -1;
  switch (bitsPerPixel) {
    case 1: case 4: case 8: case 24: case 32: break;
    default: return -1;
  }
  const long long stride = (static_cast<long long>(width) * bitsPerPixel + 31) / 32 * 4;
  return stride > INT_MAX ? -1 : static_cast<int>(stride);
}

bool Reset(Bitmap& bitmap, int width, int height, int bitsPerPixel) {
  FreeStorage(bitmap);
  bitmap.flags = 0;
  bitmap.width = bitmap.height = bitmap.bitsPerPixel = bitmap.bytesPerLine = bitmap.colorCount = 0;
  bitmap.perspective = kTopLeft;
  bitmap.order = kOrderBgr;
  bitmap.imageSize = 0;
  bitmap.xResolution = bitmap.yResolution = 0;
  if (bitsPerPixel == 0 && width == 0 && height == 0) return true;
  const int stride = StrideFor(width, bitsPerPixel);
  if (stride < 0 || height <= 0) return false;
  const unsigned long long size = static_cast<unsigned long long>(stride) * static_cast<unsigned>(height);
  if (size > kMaxImageBytes) return false;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitsPerPixel = bitsPerPixel;
  bitmap.bytesPerLine = stride;
  bitmap.colorCount = HasPalette(bitsPerPixel) ? 1 << bitsPerPixel : 0;
  bitmap.imageSize = static_cast<SIZE_T>(size);
  return true;
}

bool AllocateStorage(Bitmap& bitmap) {
  if (bitmap.IsAllocated() || bitmap.bitsPerPixel == 0) return false;
  const SIZE_T bytes = kDibHeaderSize + static_cast<SIZE_T>(bitmap.colorCount) * sizeof(RGBQUAD) + bitmap.imageSize;
  HGLOBAL block = GlobalAlloc(GHND, bytes);
  if (!block) return false;
  AttachStorage(bitmap, block, bitmap.colorCount);
  if (bitmap.colorCount == 2) {
    bitmap.palette[0] = RGBQUAD{0, 0, 0, 0};
    bitmap.palette[1] = RGBQUAD{255, 255, 255, 0};
  } else if (bitmap.colorCount > 0) {
    FillGrayPalette(bitmap.palette, bitmap.colorCount);
  }
  return true;
}

void FreeStorage(Bitmap& bitmap) {
  if (bitmap.storage) {
    GlobalUnlock(bitmap.storage);
    GlobalFree(bitmap.storage);
  }
  bitmap.storage = nullptr;
  bitmap.bits = nullptr;
  bitmap.palette = nullptr;
  bitmap.lockCount = 0;
  bitmap.flags &= ~kAllocated;
}

bool Create(Bitmap& bitmap, int width, int height, int bitsPerPixel, int order, const RGBQUAD* palette, int perspective) {
  if ((perspective != kTopLeft && perspective != kBottomLeft) || !Reset(bitmap, width, height, bitsPerPixel)) {
    Reset(bitmap);
    return false;
  }
  bitmap.order = order;
  bitmap.perspective = perspective;
  if (!AllocateStorage(bitmap)) {
    Reset(bitmap);
    return false;
  }
  if (palette && bitmap.colorCount > 0) std::memcpy(bitmap.palette, palette, bitmap.colorCount * sizeof(RGBQUAD));
  return true;
}

bool Duplicate(Bitmap& target, const Bitmap& source) {
  if (&target == &source) return source.IsAllocated();
  if (!source.IsAllocated()) return false;
  const SIZE_T bytes = GlobalSize(source.storage);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return false;
  void* copy = GlobalLock(block);
  std::memcpy(copy, GlobalLock(source.storage), bytes);
  GlobalUnlock(source.storage);
  GlobalUnlock(block);
  Reset(target, source.width, source.height, source.bitsPerPixel);
  CopyAttributes(target, source);
  AttachStorage(target, block, source.colorCount);
  return true;
}

namespace {

// Copies `bitCount` bits starting at bit `from` of a packed row to the start of another row,
// zeroing the unused bits of the last target byte.
void CopyBits(const BYTE* source, long long from, BYTE* target, long long bitCount) {
  const BYTE* s = source + from / 8;
  const int shift = static_cast<int>(from % 8);
  const long long bytes = (bitCount + 7) / 8;
  if (shift == 0) {
    std::memcpy(target, s, static_cast<size_t>(bytes));
  } else {
    // The last source byte is read only when bits of it are wanted.
    const long long sourceBytes = (shift + bitCount + 7) / 8;
    for (long long i = 0; i < bytes; ++i) {
      const int next = i + 1 < sourceBytes ? s[i + 1] : 0;
      target[i] = static_cast<BYTE>((s[i] << shift) | (next >> (8 - shift)));
    }
  }
  const int tail = static_cast<int>(bitCount % 8);
  if (tail) target[bytes - 1] &= static_cast<BYTE>(0xFF << (8 - tail));
}

}  // namespace

bool CopyRect(Bitmap& target, const Bitmap& source, int left, int top, int width, int height) {
  if (&target == &source || !source.IsAllocated() || left < 0 || top < 0 || width <= 0 || height <= 0 ||
      left > source.width - width || top > source.height - height) {
    return false;
  }
  if (!CreateLike(target, source, width, height, source.bitsPerPixel)) return false;
  target.perspective = source.perspective;
  const int bpp = source.bitsPerPixel;
  for (int y = 0; y < height; ++y) {
    CopyBits(StoredRow(source, top + y), static_cast<long long>(left) * bpp, StoredRow(target, y),
             static_cast<long long>(width) * bpp);
  }
  return true;
}

bool CopyPalette(Bitmap& target, const Bitmap& source) {
  if (!target.IsAllocated() || !source.IsAllocated()) return false;
  const int count = std::min(target.colorCount, source.colorCount);
  if (count > 0) std::memcpy(target.palette, source.palette, count * sizeof(RGBQUAD));
  return true;
}

void TakeOver(Bitmap& target, Bitmap& source) {
  if (&target == &source) return;
  Reset(target);
  target.flags = source.flags;
  target.bits = source.bits;
  target.width = source.width;
  target.height = source.height;
  target.bitsPerPixel = source.bitsPerPixel;
  target.bytesPerLine = source.bytesPerLine;
  target.colorCount = source.colorCount;
  target.palette = source.palette;
  target.perspective = source.perspective;
  target.order = source.order;
  target.imageSize = source.imageSize;
  target.xResolution = source.xResolution;
  target.yResolution = source.yResolution;
  target.storage = source.storage;
  target.lockCount = source.lockCount;
  source.storage = nullptr;
  Reset(source);
}

BYTE* Lock(Bitmap& bitmap) {
  if (!bitmap.IsAllocated()) return nullptr;
  ++bitmap.lockCount;
  return bitmap.bits;
}

void Unlock(Bitmap& bitmap) {
  if (bitmap.lockCount > 0) --bitmap.lockCount;
}

bool GetPalette(const Bitmap& bitmap, int first, int count, RGBQUAD* entries) {
  if (!bitmap.IsAllocated() || !entries || first < 0 || count < 0 || count > bitmap.colorCount - first) return false;
  if (count > 0) std::memcpy(entries, bitmap.palette + first, count * sizeof(RGBQUAD));
  return true;
}

bool SetPalette(Bitmap& bitmap, int first, int count, const RGBQUAD* entries) {
  if (!bitmap.IsAllocated() || !entries || first < 0 || count < 0 || count > bitmap.colorCount - first) return false;
  if (count > 0) std::memcpy(bitmap.palette + first, entries, count * sizeof(RGBQUAD));
  return true;
}

bool IsNormalGrayScale(const Bitmap& bitmap) {
  if (!bitmap.IsAllocated() || !HasPalette(bitmap.bitsPerPixel) || bitmap.colorCount != (1 << bitmap.bitsPerPixel)) {
    return false;
  }
  const int step = 255 / (bitmap.colorCount - 1);
  for (int i = 0; i < bitmap.colorCount; ++i) {
    const RGBQUAD& q = bitmap.palette[i];
    if (q.rgbRed != i * step || q.rgbGreen != i * step || q.rgbBlue != i * step) return false;
  }
  return true;
}

COLORREF GetPixelColor(const Bitmap& bitmap, int row, int column) {
  if (!bitmap.IsAllocated() || row < 0 || row >= bitmap.height || column < 0 || column >= bitmap.width) {
    return kInvalidColor;
  }
  const BYTE* line = ViewRow(bitmap, row);
  if (HasPalette(bitmap.bitsPerPixel)) {
    return kPaletteIndexFlag | static_cast<COLORREF>(IndexAt(line, bitmap.bitsPerPixel, column));
  }
  const BYTE* p = line + static_cast<SIZE_T>(column) * BytesPerPixel(bitmap.bitsPerPixel);
  return IsRgbOrder(bitmap.order) ? RGB(p[0], p[1], p[2]) : RGB(p[2], p[1], p[0]);
}

bool SetPixelColor(Bitmap& bitmap, int row, int column, COLORREF color) {
  if (!bitmap.IsAllocated() || row < 0 || row >= bitmap.height || column < 0 || column >= bitmap.width) return false;
  BYTE* line = ViewRow(bitmap, row);
  if (HasPalette(bitmap.bitsPerPixel)) {
    const int index = IndexForColor(bitmap, color);
    if (index < 0) return false;
    SetIndexAt(line, bitmap.bitsPerPixel, column, index);
  } else {
    StoreColor(bitmap, color, line + static_cast<SIZE_T>(column) * BytesPerPixel(bitmap.bitsPerPixel));
  }
  return true;
}

int GetRow(const Bitmap& bitmap, int row, BYTE* buffer, int size) {
  if (!bitmap.IsAllocated() || !buffer || size <= 0 || row < 0 || row >= bitmap.height) return 0;
  const int count = std::min(size, bitmap.bytesPerLine);
  std::memcpy(buffer, ViewRow(bitmap, row), count);
  return count;
}

int PutRow(Bitmap& bitmap, int row, const BYTE* buffer, int size) {
  if (!bitmap.IsAllocated() || !buffer || size <= 0 || row < 0 || row >= bitmap.height) return 0;
  const int count = std::min(size, bitmap.bytesPerLine);
  std::memcpy(ViewRow(bitmap, row), buffer, count);
  return count;
}

bool Fill(Bitmap& bitmap, COLORREF color) {
  if (!bitmap.IsAllocated()) return false;
  const int bpp = bitmap.bitsPerPixel;
  if (HasPalette(bpp)) {
    const int index = IndexForColor(bitmap, color);
    if (index < 0) return false;
    const BYTE value = static_cast<BYTE>(bpp == 1 ? (index ? 0xFF : 0) : bpp == 4 ? index * 0x11 : index);
    std::memset(bitmap.bits, value, bitmap.imageSize);
    return true;
  }
  const int unit = BytesPerPixel(bpp);
  BYTE* first = StoredRow(bitmap, 0);
  for (int x = 0; x < bitmap.width; ++x) StoreColor(bitmap, color, first + static_cast<SIZE_T>(x) * unit);
  for (int y = 1; y < bitmap.height; ++y) std::memcpy(StoredRow(bitmap, y), first, bitmap.bytesPerLine);
  return true;
}

bool SetPerspective(Bitmap& bitmap, int perspective) {
  if (perspective != kTopLeft && perspective != kBottomLeft) return false;
  if (perspective == bitmap.perspective) return true;
  if (bitmap.IsAllocated()) ReverseRows(bitmap);
  bitmap.perspective = perspective;
  return true;
}

// The same conversion serves both ways: a bottom-left view and storage differ by a vertical mirror.
bool PointToBitmap(const Bitmap& bitmap, int perspective, int& x, int& y) {
  if (perspective != kTopLeft && perspective != kBottomLeft) return false;
  if (perspective != bitmap.perspective) y = bitmap.height - 1 - y;
  return true;
}

bool PointFromBitmap(const Bitmap& bitmap, int perspective, int& x, int& y) {
  return PointToBitmap(bitmap, perspective, x, y);
}

bool RectToBitmap(const Bitmap& bitmap, int perspective, RECT& rect) {
  if (perspective != kTopLeft && perspective != kBottomLeft) return false;
  if (perspective != bitmap.perspective) {
    const LONG top = rect.top;
    rect.top = bitmap.height - rect.bottom;
    rect.bottom = bitmap.height - top;
  }
  return true;
}

bool RectFromBitmap(const Bitmap& bitmap, int perspective, RECT& rect) { return RectToBitmap(bitmap, perspective, rect); }

}  // namespace imaging
