#include "platform/imaging/Scale.h"

#include "platform/imaging/Spans.h"
#include "platform/imaging/pixels.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace imaging {

namespace {

bool Nearest(const Bitmap& source, Bitmap& target) {
  const int bpp = source.bitsPerPixel, unit = HasPalette(bpp) ? 0 : BytesPerPixel(bpp);
  std::vector<int> columns(target.width);
  for (int x = 0; x < target.width; ++x) {
    columns[x] = static_cast<int>((2LL * x + 1) * source.width / (2LL * target.width));
  }
  int previous = -1;
  for (int y = 0; y < target.height; ++y) {
    const int sy = static_cast<int>((2LL * y + 1) * source.height / (2LL * target.height));
    BYTE* out = ViewRow(target, y);
    if (sy == previous) {
      std::memcpy(out, ViewRow(target, y - 1), target.bytesPerLine);
      continue;
    }
    previous = sy;
    const BYTE* in = ViewRow(source, sy);
    if (unit == 0) {
      for (int x = 0; x < target.width; ++x) SetIndexAt(out, bpp, x, IndexAt(in, bpp, columns[x]));
    } else {
      for (int x = 0; x < target.width; ++x) std::memcpy(out + static_cast<SIZE_T>(x) * unit, in + static_cast<SIZE_T>(columns[x]) * unit, unit);
    }
  }
  return true;
}

// 1 bit: a target pixel is dark when any source pixel of its area is dark.
bool FavorBlack(const Bitmap& source, Bitmap& target) {
  const int dark = DarkIndex(source);
  const std::vector<Span> columns = Spans(0, source.width, target.width);
  const std::vector<Span> rows = Spans(0, source.height, target.height);
  std::vector<BYTE> merged(source.bytesPerLine);
  for (int y = 0; y < target.height; ++y) {
    // Dark ones gather under OR, dark zeros under AND.
    std::memcpy(merged.data(), ViewRow(source, rows[y].first), merged.size());
    for (int sy = rows[y].first + 1; sy < rows[y].last; ++sy) {
      const BYTE* in = ViewRow(source, sy);
      for (SIZE_T i = 0; i < merged.size(); ++i) merged[i] = static_cast<BYTE>(dark ? merged[i] | in[i] : merged[i] & in[i]);
    }
    BYTE* out = ViewRow(target, y);
    for (int x = 0; x < target.width; ++x) {
      const int ones = CountOnes(merged.data(), columns[x].first, columns[x].last);
      const bool anyDark = dark ? ones > 0 : ones < columns[x].last - columns[x].first;
      SetIndexAt(out, 1, x, anyDark ? dark : 1 - dark);
    }
  }
  return true;
}

// Separable filtering: weights in 1/16384 for each target position along one axis.
struct Taps {
  int first{0};
  std::vector<int> weights;
};

std::vector<Taps> MakeTaps(int sourceSize, int targetSize, bool cubic) {
  const double scale = static_cast<double>(targetSize) / sourceSize;
  const double stretch = std::max(1.0, 1.0 / scale);  // reductions widen the kernel: area averaging
  const double radius = (cubic ? 2.0 : 1.0) * stretch;
  std::vector<Taps> taps(targetSize);
  for (int i = 0; i < targetSize; ++i) {
    const double center = (i + 0.5) / scale;
    const int left = static_cast<int>(std::floor(center - radius)), right = static_cast<int>(std::ceil(center + radius));
    std::vector<double> weights;
    double sum = 0;
    for (int j = left; j < right; ++j) {
      const double t = std::abs((j + 0.5 - center) / stretch);
      double w;
      if (cubic) {
        w = t < 1 ? 1.5 * t * t * t - 2.5 * t * t + 1 : t < 2 ? -0.5 * t * t * t + 2.5 * t * t - 4 * t + 2 : 0;
      } else {
        w = std::max(0.0, 1 - t);
      }
      weights.push_back(w);
      sum += w;
    }
    // Positions outside the source repeat its edge: their weights move onto the edge pixels.
    const int first = std::clamp(left, 0, sourceSize - 1), last = std::clamp(right - 1, 0, sourceSize - 1);
    taps[i].first = first;
    taps[i].weights.assign(last - first + 1, 0);
    for (int j = left; j < right; ++j) {
      const int at = std::clamp(j, 0, sourceSize - 1) - first;
      taps[i].weights[at] += static_cast<int>(std::lround(weights[j - left] / sum * 16384));
    }
  }
  return taps;
}

BYTE Clamp14(int value) { return static_cast<BYTE>(std::clamp((value + 8192) >> 14, 0, 255)); }

// The taps of one axis laid out for the inner loops: `count` weights for every target position
// (zeros past a position's own), read from `first` on, which keeps all of them inside the source.
// Weights add up to 16384 (the cubic's negative lobes add a fifth in magnitude), so that sums of
// 8-bit samples stay far inside 32 bits.
struct TapTable {
  int count{0};
  std::vector<int> first;
  std::vector<int> weights;
};

TapTable Lay(const std::vector<Taps>& taps, int sourceSize) {
  // The kernel's ends fall on pixels with a weight of 0: they are left out.
  std::vector<std::pair<int, int>> used(taps.size());  // per position: first used tap, last + 1
  TapTable table;
  for (size_t i = 0; i < taps.size(); ++i) {
    const std::vector<int>& w = taps[i].weights;
    int begin = 0, end = static_cast<int>(w.size());
    while (begin < end && w[begin] == 0) ++begin;
    while (end > begin && w[end - 1] == 0) --end;
    used[i] = {begin, end};
    table.count = std::max(table.count, end - begin);
  }
  table.first.resize(taps.size());
  table.weights.assign(taps.size() * table.count, 0);
  for (size_t i = 0; i < taps.size(); ++i) {
    // A position's own taps never outnumber the source's pixels, so neither does `count`.
    const int own = taps[i].first + used[i].first;
    const int first = std::min(own, sourceSize - table.count);
    table.first[i] = first;
    std::copy(taps[i].weights.begin() + used[i].first, taps[i].weights.begin() + used[i].second,
              table.weights.begin() + static_cast<std::ptrdiff_t>(i * table.count + (own - first)));
  }
  return table;
}

// One row filtered across: `unit` (1, 3 or 4) samples per pixel, each sum in a register.
template <int unit>
void FilterAcross(const BYTE* in, const TapTable& across, BYTE* out) {
  const int count = across.count;
  const int* weights = across.weights.data();
  for (size_t x = 0; x < across.first.size(); ++x, weights += count, out += unit) {
    const BYTE* pixel = in + static_cast<SIZE_T>(across.first[x]) * unit;
    int s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    for (int k = 0; k < count; ++k, pixel += unit) {
      const int weight = weights[k];
      s0 += weight * pixel[0];
      if constexpr (unit >= 3) {
        s1 += weight * pixel[1];
        s2 += weight * pixel[2];
      }
      if constexpr (unit == 4) s3 += weight * pixel[3];
    }
    out[0] = Clamp14(s0);
    if constexpr (unit >= 3) {
      out[1] = Clamp14(s1);
      out[2] = Clamp14(s2);
    }
    if constexpr (unit == 4) out[3] = Clamp14(s3);
  }
}

// Separable filtering of `in` (rows of `unit` samples per pixel, each from the part's first
// column) into `out` (rows of the target's size), across first and then down.
void Filter(const std::vector<const BYTE*>& in, int inWidth, int unit, const std::vector<BYTE*>& out, int width,
            bool cubic) {
  const TapTable across = Lay(MakeTaps(inWidth, width, cubic), inWidth);
  const TapTable down = Lay(MakeTaps(static_cast<int>(in.size()), static_cast<int>(out.size()), cubic), static_cast<int>(in.size()));
  const SIZE_T line = static_cast<SIZE_T>(width) * unit;
  const std::unique_ptr<BYTE[]> wide(new BYTE[line * in.size()]);
  for (size_t y = 0; y < in.size(); ++y) {
    BYTE* row = wide.get() + y * line;
    switch (unit) {
      case 1: FilterAcross<1>(in[y], across, row); break;
      case 3: FilterAcross<3>(in[y], across, row); break;
      default: FilterAcross<4>(in[y], across, row); break;
    }
  }
  std::vector<int> sums(line);
  for (size_t y = 0; y < out.size(); ++y) {
    std::fill(sums.begin(), sums.end(), 0);
    const int* weights = down.weights.data() + y * down.count;
    for (int k = 0; k < down.count; ++k) {
      const int weight = weights[k];
      if (weight == 0) continue;
      const BYTE* row = wide.get() + static_cast<SIZE_T>(down.first[y] + k) * line;
      for (SIZE_T i = 0; i < line; ++i) sums[i] += weight * row[i];
    }
    for (SIZE_T i = 0; i < line; ++i) out[y][i] = Clamp14(sums[i]);
  }
}

// Interpolates the part (view coordinates, inside the source) into the target, straight from the
// source's rows: 8-bit grey, 24 and 32 bits by their samples, 1 bit by luminance and thresholded.
bool Interpolate(const Bitmap& source, const RECT& part, Bitmap& target, bool cubic) {
  const int partWidth = part.right - part.left, partHeight = part.bottom - part.top;
  std::vector<const BYTE*> in(partHeight);
  std::vector<BYTE*> out(target.height);
  if (source.bitsPerPixel != 1) {
    const int unit = source.bitsPerPixel == 8 ? 1 : BytesPerPixel(source.bitsPerPixel);
    for (int y = 0; y < partHeight; ++y) in[y] = ViewRow(source, part.top + y) + static_cast<SIZE_T>(part.left) * unit;
    for (int y = 0; y < target.height; ++y) out[y] = ViewRow(target, y);
    Filter(in, partWidth, unit, out, target.width, cubic);
    return true;
  }
  std::vector<BYTE> luminance(static_cast<SIZE_T>(source.width) * partHeight);
  for (int y = 0; y < partHeight; ++y) {
    BYTE* row = luminance.data() + static_cast<SIZE_T>(y) * source.width;
    LuminanceRow(source, part.top + y, row);
    in[y] = row + part.left;
  }
  std::vector<BYTE> levels(static_cast<SIZE_T>(target.width) * target.height);
  for (int y = 0; y < target.height; ++y) out[y] = levels.data() + static_cast<SIZE_T>(y) * target.width;
  Filter(in, partWidth, 1, out, target.width, cubic);
  // Thresholded against the two entries' middle, so that either palette order works.
  const int light = 1 - DarkIndex(source);
  const int middle = (Luminance(source.palette[0]) + Luminance(source.palette[1]) + 1) / 2;
  for (int y = 0; y < target.height; ++y) {
    BYTE* row = ViewRow(target, y);
    for (int x = 0; x < target.width; ++x) SetIndexAt(row, 1, x, out[y][x] >= middle ? light : 1 - light);
  }
  return true;
}

bool Interpolates(const Bitmap& source, UINT flags) {
  const int bpp = source.bitsPerPixel;
  const bool interpolates = bpp == 1 || bpp >= 24 || (bpp == 8 && IsNormalGrayScale(source));
  return (flags & (kResizeResample | kResizeBicubic)) && interpolates && (bpp != 1 || source.colorCount >= 2);
}

}  // namespace

bool ResampleInto(const Bitmap& source, Bitmap& target, UINT flags) {
  if (&source == &target || !source.IsAllocated() || !target.IsAllocated() || source.bitsPerPixel != target.bitsPerPixel) {
    return false;
  }
  if (Interpolates(source, flags)) return Interpolate(source, RECT{0, 0, source.width, source.height}, target, (flags & kResizeBicubic) != 0);
  if ((flags & kResizeFavorBlack) && source.bitsPerPixel == 1) return FavorBlack(source, target);
  return Nearest(source, target);
}

bool CreateResampled(Bitmap& target, const Bitmap& source, int width, int height, UINT flags) {
  return CreateResampled(target, source, RECT{0, 0, source.width, source.height}, width, height, flags);
}

bool CreateResampled(Bitmap& target, const Bitmap& source, const RECT& part, int width, int height, UINT flags) {
  if (&target == &source || !source.IsAllocated() || part.left < 0 || part.top < 0 || part.right > source.width ||
      part.bottom > source.height || part.right <= part.left || part.bottom <= part.top ||
      !CreateLike(target, source, width, height, source.bitsPerPixel)) {
    return false;
  }
  if (Interpolates(source, flags)) return Interpolate(source, part, target, (flags & kResizeBicubic) != 0);
  // The other ways work on whole bitmaps: the part is cut out first.
  RECT stored = part;
  Bitmap cut;
  if (!RectToBitmap(source, kTopLeft, stored) ||
      !CopyRect(cut, source, stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top) ||
      !ResampleInto(cut, target, flags)) {
    Reset(target);
    return false;
  }
  return true;
}

bool Resize(Bitmap& bitmap, int width, int height, UINT flags) {
  Bitmap result;
  if (!CreateResampled(result, bitmap, width, height, flags)) return false;
  TakeOver(bitmap, result);
  return true;
}

}  // namespace imaging
