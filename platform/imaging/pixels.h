#pragma once
// Pixel helpers shared by the store's own code (not for callers).

#include "platform/imaging/Bitmap.h"

#include <cstring>
#include <vector>

namespace imaging {

// Luminance of a colour, as everywhere in the system: (306 R + 601 G + 117 B) / 1024.
inline int Luminance(int red, int green, int blue) { return (306 * red + 601 * green + 117 * blue) >> 10; }
inline int Luminance(const RGBQUAD& q) { return Luminance(q.rgbRed, q.rgbGreen, q.rgbBlue); }

inline bool IsRgbOrder(int order) { return order == kOrderRgb || order == kOrderRgbOrGray; }
inline bool HasPalette(int bitsPerPixel) { return bitsPerPixel <= 8; }
inline int BytesPerPixel(int bitsPerPixel) { return bitsPerPixel / 8; }

inline BYTE* StoredRow(const Bitmap& b, int y) { return b.bits + static_cast<SIZE_T>(y) * b.bytesPerLine; }
inline int StoredIndexOfView(const Bitmap& b, int y) { return b.perspective == kBottomLeft ? b.height - 1 - y : y; }
inline BYTE* ViewRow(const Bitmap& b, int y) { return StoredRow(b, StoredIndexOfView(b, y)); }

// Palette index of pixel x in a packed row of 1, 4 or 8 bits (the most significant bits first).
inline int IndexAt(const BYTE* row, int bitsPerPixel, int x) {
  switch (bitsPerPixel) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
    default: return row[x];
  }
}
inline void SetIndexAt(BYTE* row, int bitsPerPixel, int x, int index) {
  switch (bitsPerPixel) {
    case 1: {
      const BYTE mask = static_cast<BYTE>(0x80 >> (x & 7));
      row[x >> 3] = static_cast<BYTE>((index & 1) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
      break;
    }
    case 4:
      row[x >> 1] = static_cast<BYTE>((x & 1) ? ((row[x >> 1] & 0xF0) | (index & 0x0F)) : ((row[x >> 1] & 0x0F) | ((index & 0x0F) << 4)));
      break;
    default: row[x] = static_cast<BYTE>(index);
  }
}

// Unpacks `count` indices from pixel x0 of a packed row into one byte each, and packs them back.
void UnpackIndices(const BYTE* row, int bitsPerPixel, int x0, int count, BYTE* indices);
void PackIndices(const BYTE* indices, int count, int bitsPerPixel, BYTE* row);

// The palette entry nearest to a colour (by squared distance).
int NearestIndex(const RGBQUAD* palette, int count, int red, int green, int blue);
// The index a colour stands for in a palette bitmap (kPaletteIndexFlag or the nearest entry).
int IndexForColor(const Bitmap& b, COLORREF color);
// The bytes of a colour in a 24- or 32-bit pixel of the bitmap's order.
void StoreColor(const Bitmap& b, COLORREF color, BYTE* pixel);

// The index of the darker of the two entries of a 1-bit palette (the "black" one).
int DarkIndex(const Bitmap& b);

// Palette entries of a grey ramp: `count` levels from black to white.
void FillGrayPalette(RGBQUAD* entries, int count);

// Swaps the first and third byte of every 24- or 32-bit pixel (between RGB and BGR).
void SwapRedBlue(Bitmap& b);
// Reverses the order of the rows in memory.
void ReverseRows(Bitmap& b);

// A new bitmap shaped like `model` (order, perspective, resolution, palette when the depth matches).
bool CreateLike(Bitmap& target, const Bitmap& model, int width, int height, int bitsPerPixel);

// One pixel per byte (palette index) or per 3/4 bytes (colour), rows top-down in view order: the
// form in which the geometry that has no fast path of its own works.
struct Plane {
  int width{0};
  int height{0};
  int unit{1};
  std::vector<BYTE> data;

  BYTE* Row(int y) { return data.data() + static_cast<SIZE_T>(y) * width * unit; }
  const BYTE* Row(int y) const { return data.data() + static_cast<SIZE_T>(y) * width * unit; }
};
bool ToPlane(const Bitmap& b, Plane& plane);
// Writes a plane of b's kind back into b (same depth; size from the plane).
bool FromPlane(Bitmap& b, const Plane& plane);

// Plain luminance of every pixel, rows top-down.
void LuminanceRow(const Bitmap& b, int viewRow, BYTE* out);

}  // namespace imaging
