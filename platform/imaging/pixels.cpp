#include "platform/imaging/pixels.h"

#include "platform/imaging/dibstorage.h"

#include <algorithm>

namespace imaging {

void UnpackIndices(const BYTE* row, int bitsPerPixel, int x0, int count, BYTE* indices) {
  switch (bitsPerPixel) {
    case 1:
      for (int i = 0, x = x0; i < count; ++i, ++x) indices[i] = static_cast<BYTE>((row[x >> 3] >> (7 - (x & 7))) & 1);
      break;
    case 4:
      for (int i = 0, x = x0; i < count; ++i, ++x) indices[i] = static_cast<BYTE>((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4));
      break;
    default: std::memcpy(indices, row + x0, count);
  }
}

void PackIndices(const BYTE* indices, int count, int bitsPerPixel, BYTE* row) {
  switch (bitsPerPixel) {
    case 1:
      std::memset(row, 0, (count + 7) / 8);
      for (int x = 0; x < count; ++x) {
        if (indices[x] & 1) row[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
      }
      break;
    case 4:
      std::memset(row, 0, (count + 1) / 2);
      for (int x = 0; x < count; ++x) row[x >> 1] |= static_cast<BYTE>((indices[x] & 0x0F) << ((x & 1) ? 0 : 4));
      break;
    default: std::memcpy(row, indices, count);
  }
}

int NearestIndex(const RGBQUAD* palette, int count, int red, int green, int blue) {
  int best = 0;
  long best_distance = -1;
  for (int i = 0; i < count; ++i) {
    const long dr = palette[i].rgbRed - red, dg = palette[i].rgbGreen - green, db = palette[i].rgbBlue - blue;
    const long distance = dr * dr + dg * dg + db * db;
    if (best_distance < 0 || distance < best_distance) {
      best = i;
      best_distance = distance;
      if (distance == 0) break;
    }
  }
  return best;
}

int IndexForColor(const Bitmap& b, COLORREF color) {
  if (color & kPaletteIndexFlag) {
    const int index = static_cast<int>(color & 0xFF);
    return index < (1 << b.bitsPerPixel) ? index : -1;
  }
  if (b.colorCount == 0) return -1;
  return NearestIndex(b.palette, b.colorCount, GetRValue(color), GetGValue(color), GetBValue(color));
}

void StoreColor(const Bitmap& b, COLORREF color, BYTE* pixel) {
  if (IsRgbOrder(b.order)) {
    pixel[0] = GetRValue(color);
    pixel[2] = GetBValue(color);
  } else {
    pixel[0] = GetBValue(color);
    pixel[2] = GetRValue(color);
  }
  pixel[1] = GetGValue(color);
  if (b.bitsPerPixel == 32) pixel[3] = 0;
}

int DarkIndex(const Bitmap& b) {
  if (b.colorCount < 2) return 0;
  return Luminance(b.palette[1]) < Luminance(b.palette[0]) ? 1 : 0;
}

void FillGrayPalette(RGBQUAD* entries, int count) {
  for (int i = 0; i < count; ++i) {
    const BYTE level = static_cast<BYTE>(count > 1 ? i * 255 / (count - 1) : 0);
    entries[i] = RGBQUAD{level, level, level, 0};
  }
}

void SwapRedBlue(Bitmap& b) {
  const int unit = BytesPerPixel(b.bitsPerPixel);
  for (int y = 0; y < b.height; ++y) {
    BYTE* p = StoredRow(b, y);
    for (int x = 0; x < b.width; ++x, p += unit) std::swap(p[0], p[2]);
  }
}

void ReverseRows(Bitmap& b) {
  std::vector<BYTE> swap(b.bytesPerLine);
  for (int top = 0, bottom = b.height - 1; top < bottom; ++top, --bottom) {
    std::memcpy(swap.data(), StoredRow(b, top), swap.size());
    std::memcpy(StoredRow(b, top), StoredRow(b, bottom), swap.size());
    std::memcpy(StoredRow(b, bottom), swap.data(), swap.size());
  }
}

bool CreateLike(Bitmap& target, const Bitmap& model, int width, int height, int bitsPerPixel) {
  if (!Create(target, width, height, bitsPerPixel, model.order, nullptr, model.perspective)) return false;
  target.xResolution = model.xResolution;
  target.yResolution = model.yResolution;
  if (bitsPerPixel == model.bitsPerPixel) CopyPalette(target, model);
  return true;
}

bool ToPlane(const Bitmap& b, Plane& plane) {
  if (!b.IsAllocated()) return false;
  plane.width = b.width;
  plane.height = b.height;
  plane.unit = HasPalette(b.bitsPerPixel) ? 1 : BytesPerPixel(b.bitsPerPixel);
  plane.data.assign(static_cast<SIZE_T>(b.width) * b.height * plane.unit, 0);
  for (int y = 0; y < b.height; ++y) {
    if (plane.unit == 1) {
      UnpackIndices(ViewRow(b, y), b.bitsPerPixel, 0, b.width, plane.Row(y));
    } else {
      std::memcpy(plane.Row(y), ViewRow(b, y), static_cast<SIZE_T>(b.width) * plane.unit);
    }
  }
  return true;
}

bool FromPlane(Bitmap& b, const Plane& plane) {
  Bitmap result;
  if (!CreateLike(result, b, plane.width, plane.height, b.bitsPerPixel)) return false;
  for (int y = 0; y < plane.height; ++y) {
    if (plane.unit == 1) {
      PackIndices(plane.Row(y), plane.width, b.bitsPerPixel, ViewRow(result, y));
    } else {
      std::memcpy(ViewRow(result, y), plane.Row(y), static_cast<SIZE_T>(plane.width) * plane.unit);
    }
  }
  TakeOver(b, result);
  return true;
}

void LuminanceRow(const Bitmap& b, int viewRow, BYTE* out) {
  const BYTE* row = ViewRow(b, viewRow);
  if (HasPalette(b.bitsPerPixel)) {
    BYTE levels[256];
    for (int i = 0; i < 256; ++i) levels[i] = i < b.colorCount ? static_cast<BYTE>(Luminance(b.palette[i])) : 0;
    for (int x = 0; x < b.width; ++x) out[x] = levels[IndexAt(row, b.bitsPerPixel, x)];
    return;
  }
  const int unit = BytesPerPixel(b.bitsPerPixel);
  const bool rgb = IsRgbOrder(b.order);
  for (int x = 0; x < b.width; ++x, row += unit) {
    out[x] = static_cast<BYTE>(rgb ? Luminance(row[0], row[1], row[2]) : Luminance(row[2], row[1], row[0]));
  }
}

}  // namespace imaging
