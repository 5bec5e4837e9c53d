#include "platform/imaging/Transform.h"

#include "platform/imaging/pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace imaging {

namespace {

BYTE g_reversedBits[256];
const bool g_reversedBitsReady = [] {
  for (int i = 0; i < 256; ++i) {
    int r = 0;
    for (int bit = 0; bit < 8; ++bit) r |= ((i >> bit) & 1) << (7 - bit);
    g_reversedBits[i] = static_cast<BYTE>(r);
  }
  return true;
}();

// Shifts a packed row left by `shift` bits (0-7) over `bytes` bytes.
void ShiftLeft(BYTE* row, int bytes, int shift) {
  if (shift == 0) return;
  for (int i = 0; i < bytes; ++i) {
    const int next = i + 1 < bytes ? row[i + 1] : 0;
    row[i] = static_cast<BYTE>((row[i] << shift) | (next >> (8 - shift)));
  }
}

void ReverseOneBitRow(BYTE* row, int width) {
  const int bytes = (width + 7) / 8;
  std::reverse(row, row + bytes);
  for (int i = 0; i < bytes; ++i) row[i] = g_reversedBits[row[i]];
  ShiftLeft(row, bytes, bytes * 8 - width);
}

// Transposes an 8 x 8 bit block: in, byte k is row k with column 0 in its top bit; out, byte j is
// column j with row 0 in its top bit.
void Transpose8(const BYTE in[8], BYTE out[8]) {
  std::uint64_t x = 0;
  for (int k = 0; k < 8; ++k) x = (x << 8) | in[k];
  std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
  x = x ^ t ^ (t << 7);
  t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
  x = x ^ t ^ (t << 14);
  t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
  x = x ^ t ^ (t << 28);
  for (int j = 0; j < 8; ++j) out[j] = static_cast<BYTE>(x >> (56 - 8 * j));
}

// A quarter turn of a 1-bit bitmap, block by block of 8 x 8 pixels.
bool QuarterTurnOneBit(const Bitmap& source, bool clockwise, Bitmap& target) {
  const int w = source.width, h = source.height;
  if (!CreateLike(target, source, h, w, 1)) return false;
  const int blockRows = (h + 7) / 8;
  const int shift = blockRows * 8 - h;  // clockwise, the padding rows land on the left
  std::vector<BYTE> lines(static_cast<SIZE_T>(8) * blockRows);
  for (int bx = 0; bx < (w + 7) / 8; ++bx) {
    for (int by = 0; by < blockRows; ++by) {
      BYTE block[8], turned[8];
      for (int k = 0; k < 8; ++k) {
        const int y = by * 8 + k;
        block[k] = y < h ? ViewRow(source, y)[bx] : 0;
      }
      Transpose8(block, turned);
      for (int j = 0; j < 8; ++j) {
        if (clockwise) {
          lines[static_cast<SIZE_T>(j) * blockRows + (blockRows - 1 - by)] = g_reversedBits[turned[j]];
        } else {
          lines[static_cast<SIZE_T>(j) * blockRows + by] = turned[j];
        }
      }
    }
    for (int j = 0; j < 8 && bx * 8 + j < w; ++j) {
      const int x = bx * 8 + j;
      BYTE* line = lines.data() + static_cast<SIZE_T>(j) * blockRows;
      if (clockwise) ShiftLeft(line, blockRows, shift);
      BYTE* out = ViewRow(target, clockwise ? x : w - 1 - x);
      std::memcpy(out, line, (h + 7) / 8);
      if (h % 8) out[(h + 7) / 8 - 1] &= static_cast<BYTE>(0xFF << (8 - h % 8));
    }
  }
  return true;
}

bool QuarterTurnPlane(const Bitmap& source, bool clockwise, Bitmap& target) {
  Plane from, to;
  if (!ToPlane(source, from)) return false;
  to.width = from.height;
  to.height = from.width;
  to.unit = from.unit;
  to.data.resize(from.data.size());
  const int unit = from.unit;
  for (int y = 0; y < from.height; ++y) {
    const BYTE* row = from.Row(y);
    for (int x = 0; x < from.width; ++x) {
      // Clockwise, source (x, y) goes to (h - 1 - y, x); counter-clockwise to (y, w - 1 - x).
      BYTE* out = clockwise ? to.Row(x) + static_cast<SIZE_T>(from.height - 1 - y) * unit
                            : to.Row(from.width - 1 - x) + static_cast<SIZE_T>(y) * unit;
      std::memcpy(out, row + static_cast<SIZE_T>(x) * unit, unit);
    }
  }
  if (!CreateLike(target, source, source.height, source.width, source.bitsPerPixel)) return false;
  return FromPlane(target, to);
}

// Interpolating samplers over a plane; positions outside take the fill pixel.
class Sampler {
public:
  Sampler(const Plane& plane, const BYTE* fill) : m_plane(plane), m_fill(fill) {}

  const BYTE* At(int x, int y) const {
    if (x < 0 || y < 0 || x >= m_plane.width || y >= m_plane.height) return m_fill;
    return m_plane.Row(y) + static_cast<SIZE_T>(x) * m_plane.unit;
  }

  void Nearest(double x, double y, BYTE* out) const {
    std::memcpy(out, At(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))), m_plane.unit);
  }

  void Linear(double x, double y, BYTE* out) const {
    x -= 0.5;
    y -= 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const BYTE *a = At(x0, y0), *b = At(x0 + 1, y0), *c = At(x0, y0 + 1), *d = At(x0 + 1, y0 + 1);
    for (int i = 0; i < m_plane.unit; ++i) {
      const double top = a[i] + (b[i] - a[i]) * fx, bottom = c[i] + (d[i] - c[i]) * fx;
      out[i] = Clamp(top + (bottom - top) * fy);
    }
  }

  void Cubic(double x, double y, BYTE* out) const {
    x -= 0.5;
    y -= 0.5;
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    double wx[4], wy[4];
    Weights(x - x0, wx);
    Weights(y - y0, wy);
    for (int i = 0; i < m_plane.unit; ++i) {
      double sum = 0;
      for (int j = 0; j < 4; ++j) {
        double line = 0;
        for (int k = 0; k < 4; ++k) line += wx[k] * At(x0 - 1 + k, y0 - 1 + j)[i];
        sum += wy[j] * line;
      }
      out[i] = Clamp(sum);
    }
  }

private:
  static BYTE Clamp(double v) { return static_cast<BYTE>(std::clamp(std::lround(v), 0L, 255L)); }
  // Catmull-Rom weights for the four taps around a fraction t.
  static void Weights(double t, double w[4]) {
    const double t2 = t * t, t3 = t2 * t;
    w[0] = -0.5 * t3 + t2 - 0.5 * t;
    w[1] = 1.5 * t3 - 2.5 * t2 + 1;
    w[2] = -1.5 * t3 + 2 * t2 + 0.5 * t;
    w[3] = 0.5 * t3 - 0.5 * t2;
  }

  const Plane& m_plane;
  const BYTE* m_fill;
};

bool RotateFree(Bitmap& bitmap, int angle, UINT flags, COLORREF fill) {
  Plane source;
  if (!ToPlane(bitmap, source)) return false;
  // Quarter turns use exact factors, so that keeping the size maps pixel centres onto centres.
  double c, s;
  switch (angle) {
    case 9000: c = 0, s = 1; break;
    case 27000: c = 0, s = -1; break;
    default: {
      const double radians = angle / 100.0 * std::numbers::pi / 180.0;
      c = std::cos(radians);
      s = std::sin(radians);
    }
  }
  int w = bitmap.width, h = bitmap.height;
  if (flags & kRotateResize) {
    // A hair of tolerance keeps exact sizes from rounding up by a pixel.
    w = static_cast<int>(std::ceil(std::abs(bitmap.width * c) + std::abs(bitmap.height * s) - 1e-6));
    h = static_cast<int>(std::ceil(std::abs(bitmap.width * s) + std::abs(bitmap.height * c) - 1e-6));
  }
  BYTE fillPixel[4] = {};
  if (source.unit == 1) {
    const int index = IndexForColor(bitmap, fill);
    fillPixel[0] = static_cast<BYTE>(index < 0 ? 0 : index);
  } else {
    StoreColor(bitmap, fill, fillPixel);
  }
  // Palette bitmaps other than grey ramps have no order among their indices to interpolate.
  const bool interpolate = source.unit > 1 || (bitmap.bitsPerPixel == 8 && IsNormalGrayScale(bitmap));
  const Sampler sampler(source, fillPixel);
  Plane target;
  target.width = w;
  target.height = h;
  target.unit = source.unit;
  target.data.resize(static_cast<SIZE_T>(w) * h * target.unit);
  const double scx = bitmap.width / 2.0, scy = bitmap.height / 2.0, tcx = w / 2.0, tcy = h / 2.0;
  for (int y = 0; y < h; ++y) {
    BYTE* out = target.Row(y);
    const double dy = y + 0.5 - tcy;
    for (int x = 0; x < w; ++x, out += target.unit) {
      // Clockwise on the screen (y grows downwards); the source position is the inverse turn.
      const double dx = x + 0.5 - tcx;
      const double sx = scx + dx * c + dy * s, sy = scy - dx * s + dy * c;
      if (interpolate && (flags & kRotateBicubic)) {
        sampler.Cubic(sx, sy, out);
      } else if (interpolate && (flags & kRotateResample)) {
        sampler.Linear(sx, sy, out);
      } else {
        sampler.Nearest(sx, sy, out);
      }
    }
  }
  return FromPlane(bitmap, target);
}

}  // namespace

bool Flip(Bitmap& bitmap) {
  if (!bitmap.IsAllocated()) return false;
  ReverseRows(bitmap);
  return true;
}

bool Reverse(Bitmap& bitmap) {
  if (!bitmap.IsAllocated()) return false;
  const int bpp = bitmap.bitsPerPixel;
  std::vector<BYTE> indices(bpp == 4 ? bitmap.width : 0);
  for (int y = 0; y < bitmap.height; ++y) {
    BYTE* row = StoredRow(bitmap, y);
    switch (bpp) {
      case 1: ReverseOneBitRow(row, bitmap.width); break;
      case 4:
        UnpackIndices(row, 4, 0, bitmap.width, indices.data());
        std::reverse(indices.begin(), indices.end());
        PackIndices(indices.data(), bitmap.width, 4, row);
        break;
      default: {
        const int unit = BytesPerPixel(bpp);
        for (int l = 0, r = bitmap.width - 1; l < r; ++l, --r) {
          std::swap_ranges(row + static_cast<SIZE_T>(l) * unit, row + static_cast<SIZE_T>(l + 1) * unit,
                           row + static_cast<SIZE_T>(r) * unit);
        }
      }
    }
  }
  return true;
}

bool Trim(Bitmap& bitmap, int left, int top, int width, int height) {
  Bitmap part;
  if (!CopyRect(part, bitmap, left, top, width, height)) return false;
  TakeOver(bitmap, part);
  return true;
}

bool Rotate(Bitmap& bitmap, int angle, UINT flags, COLORREF fill) {
  if (!bitmap.IsAllocated()) return false;
  angle %= 36000;
  if (angle < 0) angle += 36000;
  if (angle == 0) return true;
  if (angle == 18000) return Flip(bitmap) && Reverse(bitmap);
  if ((angle == 9000 || angle == 27000) && ((flags & kRotateResize) || bitmap.width == bitmap.height)) {
    Bitmap turned;
    const bool clockwise = angle == 9000;
    if (!(bitmap.bitsPerPixel == 1 ? QuarterTurnOneBit(bitmap, clockwise, turned) : QuarterTurnPlane(bitmap, clockwise, turned))) {
      return false;
    }
    TakeOver(bitmap, turned);
    return true;
  }
  return RotateFree(bitmap, angle, flags, fill);
}

}  // namespace imaging
