#include "platform/imaging/Color.h"

#include "platform/imaging/pixels.h"

#include <algorithm>
#include <vector>

namespace imaging {

namespace {

bool ToOneBit(Bitmap& bitmap, Dither dither) {
  Bitmap result;
  if (!CreateLike(result, bitmap, bitmap.width, bitmap.height, 1)) return false;
  const int w = bitmap.width;
  std::vector<BYTE> levels(w);
  // Errors carried to this row and the next (one spare cell on each side).
  std::vector<int> current(w + 2), next(w + 2);
  for (int y = 0; y < bitmap.height; ++y) {
    LuminanceRow(bitmap, y, levels.data());
    BYTE* out = ViewRow(result, y);
    for (int x = 0; x < w; ++x) {
      int level = levels[x];
      if (dither == Dither::Diffusion) level = std::clamp(level + current[x + 1] / 16, 0, 255);
      const bool white = level >= 128;
      if (white) out[x >> 3] |= static_cast<BYTE>(0x80 >> (x & 7));
      if (dither == Dither::Diffusion) {
        const int error = level - (white ? 255 : 0);
        current[x + 2] += error * 7;
        next[x] += error * 3;
        next[x + 1] += error * 5;
        next[x + 2] += error;
      }
    }
    current.swap(next);
    std::fill(next.begin(), next.end(), 0);
  }
  TakeOver(bitmap, result);
  return true;
}

bool ToColor(Bitmap& bitmap, int bitsPerPixel) {
  Bitmap result;
  if (!CreateLike(result, bitmap, bitmap.width, bitmap.height, bitsPerPixel)) return false;
  const int unit = BytesPerPixel(bitsPerPixel);
  const int fromUnit = HasPalette(bitmap.bitsPerPixel) ? 0 : BytesPerPixel(bitmap.bitsPerPixel);
  for (int y = 0; y < bitmap.height; ++y) {
    const BYTE* in = ViewRow(bitmap, y);
    BYTE* out = ViewRow(result, y);
    for (int x = 0; x < bitmap.width; ++x, out += unit) {
      if (fromUnit == 0) {
        const int index = IndexAt(in, bitmap.bitsPerPixel, x);
        const RGBQUAD q = index < bitmap.colorCount ? bitmap.palette[index] : RGBQUAD{0, 0, 0, 0};
        StoreColor(result, RGB(q.rgbRed, q.rgbGreen, q.rgbBlue), out);
      } else {
        // Same order on both sides: the first three bytes carry over.
        std::memcpy(out, in + static_cast<SIZE_T>(x) * fromUnit, 3);
        if (unit == 4) out[3] = 0;
      }
    }
  }
  TakeOver(bitmap, result);
  return true;
}

}  // namespace

bool GrayScale(Bitmap& bitmap) {
  if (!bitmap.IsAllocated()) return false;
  if (bitmap.bitsPerPixel == 8 && IsNormalGrayScale(bitmap)) return true;
  Bitmap result;
  if (!CreateLike(result, bitmap, bitmap.width, bitmap.height, 8)) return false;
  FillGrayPalette(result.palette, result.colorCount);
  for (int y = 0; y < bitmap.height; ++y) LuminanceRow(bitmap, y, ViewRow(result, y));
  TakeOver(bitmap, result);
  return true;
}

bool ChangeBitsPerPixel(Bitmap& bitmap, int bitsPerPixel, Dither dither) {
  if (!bitmap.IsAllocated()) return false;
  if (bitsPerPixel == bitmap.bitsPerPixel) return true;
  switch (bitsPerPixel) {
    case 1: return ToOneBit(bitmap, dither);
    case 8: return GrayScale(bitmap);
    case 24:
    case 32: return ToColor(bitmap, bitsPerPixel);
    default: return false;
  }
}

bool SpecialFilter(Bitmap& bitmap, int divisor, int bias, int size, const int* matrix) {
  if (!bitmap.IsAllocated() || !matrix || divisor == 0 || size <= 0) return false;
  if (bitmap.bitsPerPixel != 24 && bitmap.bitsPerPixel != 32 && !(bitmap.bitsPerPixel == 8 && IsNormalGrayScale(bitmap))) {
    return false;
  }
  Plane source;
  if (!ToPlane(bitmap, source)) return false;
  const int unit = source.unit, half = size / 2, w = source.width, h = source.height;
  // The fourth byte of 32-bit pixels is not a colour channel.
  const int channels = std::min(unit, 3);
  for (int y = 0; y < h; ++y) {
    BYTE* out = ViewRow(bitmap, y);
    for (int x = 0; x < w; ++x) {
      for (int ch = 0; ch < channels; ++ch) {
        long sum = 0;
        for (int j = 0; j < size; ++j) {
          const BYTE* row = source.Row(std::clamp(y + j - half, 0, h - 1));
          for (int i = 0; i < size; ++i) sum += static_cast<long>(matrix[j * size + i]) * row[std::clamp(x + i - half, 0, w - 1) * unit + ch];
        }
        out[static_cast<SIZE_T>(x) * unit + ch] = static_cast<BYTE>(std::clamp(sum / divisor + bias, 0L, 255L));
      }
    }
  }
  return true;
}

}  // namespace imaging
