#include "platform/imaging/Scale.h"

#include "platform/imaging/pixels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace imaging {

namespace {

// Pixels [first, last) of a source axis that target pixel i covers (at least one).
struct Span {
  int first;
  int last;
};

std::vector<Span> Spans(int offset, int sourceSize, int targetSize) {
  std::vector<Span> spans(targetSize);
  for (int i = 0; i < targetSize; ++i) {
    const int first = static_cast<int>(static_cast<long long>(i) * sourceSize / targetSize);
    const int last = static_cast<int>(static_cast<long long>(i + 1) * sourceSize / targetSize);
    spans[i] = {offset + first, offset + std::max(last, first + 1)};
  }
  return spans;
}

// Set bits in [x0, x1) of a packed 1-bit row (most significant bit first). Inlined into its callers
// so that each of their builds counts with the instructions it was built for.
[[gnu::always_inline]] inline int CountOnes(const BYTE* row, int x0, int x1) {
  const int b0 = x0 >> 3, b1 = (x1 - 1) >> 3;
  const BYTE head = static_cast<BYTE>(0xFF >> (x0 & 7));
  const BYTE tail = static_cast<BYTE>(0xFF << (7 - ((x1 - 1) & 7)));
  if (b0 == b1) return std::popcount(static_cast<unsigned>(row[b0] & head & tail));
  int count = std::popcount(static_cast<unsigned>(row[b0] & head)) + std::popcount(static_cast<unsigned>(row[b1] & tail));
  int b = b0 + 1;
  for (; b + 8 <= b1; b += 8) {
    std::uint64_t word;
    std::memcpy(&word, row + b, 8);
    count += std::popcount(word);
  }
  for (; b < b1; ++b) count += std::popcount(static_cast<unsigned>(row[b]));
  return count;
}

// A target column of a 1-bit reduction read as one 64-bit load: the eight bytes from `byte` on,
// most significant first, masked to the column's pixels. Columns that such a load cannot cover
// (too wide, or too near the row's end) have no mask and are counted byte by byte.
struct ColumnMask {
  int byte;
  std::uint64_t mask;
};

std::vector<ColumnMask> ColumnMasks(const std::vector<Span>& columns, int bytesPerLine) {
  std::vector<ColumnMask> masks(columns.size());
  for (size_t x = 0; x < columns.size(); ++x) {
    const int byte = columns[x].first >> 3, shift = columns[x].first & 7, bits = columns[x].last - columns[x].first;
    if (shift + bits > 64 || byte + 8 > bytesPerLine) continue;
    const std::uint64_t tail = shift + bits == 64 ? 0 : ~std::uint64_t{0} >> (shift + bits);
    masks[x] = {byte, (~std::uint64_t{0} >> shift) & ~tail};
  }
  return masks;
}

// Adds the set bits under each target column of one source row. Most of a 1-bit reduction is
// spent here: the processor's own bit count is used where it has one (chosen when the program
// loads), the portable one elsewhere.
[[gnu::target_clones("popcnt", "default")]] void AddOnes(const BYTE* row, const Span* columns, const ColumnMask* masks, int width,
                                                         long long* ones) {
  for (int x = 0; x < width; ++x) {
    if (masks[x].mask) {
      std::uint64_t word;
      std::memcpy(&word, row + masks[x].byte, 8);
      if constexpr (std::endian::native == std::endian::little) word = __builtin_bswap64(word);
      ones[x] += std::popcount(word & masks[x].mask);
    } else {
      ones[x] += CountOnes(row, columns[x].first, columns[x].last);
    }
  }
}

// Whether none of the bytes that hold pixels [left, right) of a packed 1-bit row has a set bit.
bool NoneSet(const BYTE* row, int left, int right) {
  const BYTE* at = row + (left >> 3);
  const BYTE* end = row + ((right - 1) >> 3) + 1;
  for (; at + 8 <= end; at += 8) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    if (word) return false;
  }
  for (; at < end; ++at) {
    if (*at) return false;
  }
  return true;
}

// Set bits of the source rows of one target row counted per source column, a byte each: every
// packed byte of a row adds its eight bits at once through a table of eight one-byte counts. It
// serves reductions whose target rows take at most 255 source rows and whose columns are narrow
// (a page fitted into a window), where counting each column of each row on its own costs more.
class ColumnCounts {
public:
  static bool Serves(const std::vector<Span>& columns, const std::vector<Span>& rows) {
    return Longest(rows) <= 255 && Longest(columns) <= kNarrow;
  }
  ColumnCounts(int left, int right, const std::vector<Span>& columns)
      : m_firstByte(left >> 3),
        m_lastByte((right - 1) >> 3),
        m_pairs(Longest(columns) <= 2),
        m_counts(static_cast<SIZE_T>(m_lastByte - m_firstByte + 2) * 8) {}  // one more byte's worth: a pair's second pixel
  void Clear() { std::fill(m_counts.begin(), m_counts.end(), 0); }
  void Add(const BYTE* row) {
    BYTE* counts = m_counts.data();
    for (int b = m_firstByte; b <= m_lastByte; ++b, counts += 8) {
      std::uint64_t eight;
      std::memcpy(&eight, counts, 8);
      eight += kSpread[row[b]];
      std::memcpy(counts, &eight, 8);
    }
  }
  // Hands the count of every target column to `take` (column, count). Columns of one or two
  // pixels (reductions to half the size or less) add their second pixel's count times 0 or 1
  // rather than looping over so few.
  template <class Take>
  void Sum(const std::vector<Span>& columns, Take take) const {
    // Locals throughout: stores of bytes could otherwise alias every member and be reloaded.
    const BYTE* const counts = m_counts.data() - static_cast<std::ptrdiff_t>(m_firstByte) * 8;
    const Span* const spans = columns.data();
    const size_t width = columns.size();
    if (m_pairs) {
      for (size_t x = 0; x < width; ++x) {
        const int first = spans[x].first;
        take(x, counts[first] + counts[first + 1] * (spans[x].last - first - 1));
      }
      return;
    }
    for (size_t x = 0; x < width; ++x) {
      int sum = 0;
      for (int p = spans[x].first; p < spans[x].last; ++p) sum += counts[p];
      take(x, sum);
    }
  }

private:
  static constexpr int kNarrow = 16;
  static int Longest(const std::vector<Span>& spans) {
    int length = 0;
    for (const Span& span : spans) length = std::max(length, span.last - span.first);
    return length;
  }
  // Bit 7 - i of a byte becomes byte i of the eight counts as they lie in memory.
  static constexpr std::array<std::uint64_t, 256> kSpread = [] {
    std::array<std::uint64_t, 256> spread{};
    for (int value = 0; value < 256; ++value) {
      for (int i = 0; i < 8; ++i) {
        const int shift = std::endian::native == std::endian::little ? 8 * i : 8 * (7 - i);
        if ((value >> (7 - i)) & 1) spread[value] |= std::uint64_t{1} << shift;
      }
    }
    return spread;
  }();
  int m_firstByte;
  int m_lastByte;
  bool m_pairs;
  std::vector<BYTE> m_counts;
};

// The grey of an area of `area` pixels of which `ones` are set.
BYTE GreyOf(long long ones, long long area, int zero, int one) {
  return static_cast<BYTE>((ones * one + (area - ones) * zero + area / 2) / area);
}

// The greys of a reduction to grey looked up rather than divided: spans along an axis differ in
// length by one pixel at most, so that at most four areas occur, each with a table of its own.
class GreyTables {
public:
  GreyTables(const std::vector<Span>& columns, const std::vector<Span>& rows, int zero, int one) {
    if (columns.empty() || rows.empty()) return;
    const auto [columnMin, columnMax] = Lengths(columns);
    const auto [rowMin, rowMax] = Lengths(rows);
    if (columnMax - columnMin > 1 || rowMax - rowMin > 1 || static_cast<long long>(columnMax) * rowMax > kLargestArea) return;
    m_columnMin = columnMin;
    m_rowMin = rowMin;
    m_rowMax = rowMax;
    for (int c = 0; c < 2; ++c) {
      for (int r = 0; r < 2; ++r) {
        const int area = (columnMin + c) * (rowMin + r);
        std::vector<BYTE>& table = m_tables[c * 2 + r];
        table.resize(static_cast<SIZE_T>(area) + 1);
        for (int ones = 0; ones <= area; ++ones) table[static_cast<SIZE_T>(ones)] = GreyOf(ones, area, zero, one);
      }
    }
  }
  bool Covers(int rowsCovered) const { return m_rowMax > 0 && rowsCovered >= m_rowMin && rowsCovered <= m_rowMax; }
  // Per target column, the table of its area for rows covering `rowsCovered` source rows.
  std::vector<const BYTE*> ColumnTables(const std::vector<Span>& columns, int rowsCovered) const {
    std::vector<const BYTE*> tables(columns.size());
    for (size_t x = 0; x < columns.size(); ++x) {
      tables[x] = m_tables[(columns[x].last - columns[x].first - m_columnMin) * 2 + rowsCovered - m_rowMin].data();
    }
    return tables;
  }

private:
  static constexpr long long kLargestArea = 1 << 16;
  static std::pair<int, int> Lengths(const std::vector<Span>& spans) {
    int shortest = INT_MAX, longest = 0;
    for (const Span& span : spans) {
      shortest = std::min(shortest, span.last - span.first);
      longest = std::max(longest, span.last - span.first);
    }
    return {shortest, longest};
  }
  int m_columnMin{0};
  int m_rowMin{0};
  int m_rowMax{0};
  std::vector<BYTE> m_tables[4];
};

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

namespace {

// A grey as a target pixel: the byte itself, or the grey in blue, green and red.
template <class Pixel>
Pixel Shown(BYTE grey) {
  if constexpr (sizeof(Pixel) == 1) return grey;
  else return grey * 0x010101u;
}

// The grey reduction of the source's columns [left, right) into the target's rows, which hold
// `Pixel`s.
template <class Pixel>
void ReduceToGrey(const Bitmap& source, int left, int right, const std::vector<Span>& columns, const std::vector<Span>& rows,
                  Bitmap& target) {
  const int width = static_cast<int>(columns.size()), height = static_cast<int>(rows.size());
  const int zero = Luminance(source.palette[0]), one = Luminance(source.palette[1]);
  const std::vector<ColumnMask> masks = ColumnMasks(columns, source.bytesPerLine);
  const GreyTables tables(columns, rows, zero, one);
  // The tables of each column for the two heights a target row can have.
  std::vector<const BYTE*> columnTables[2];
  int shortestRow = INT_MAX;
  for (const Span& span : rows) shortestRow = std::min(shortestRow, span.last - span.first);
  for (int extra = 0; extra < 2; ++extra) {
    if (tables.Covers(shortestRow + extra)) columnTables[extra] = tables.ColumnTables(columns, shortestRow + extra);
  }
  std::optional<ColumnCounts> counts;
  if (ColumnCounts::Serves(columns, rows)) counts.emplace(left, right, columns);
  std::vector<long long> ones(width);
  for (int y = 0; y < height; ++y) {
    Pixel* const out = reinterpret_cast<Pixel*>(ViewRow(target, y));
    bool anySet = false;
    for (int sy = rows[y].first; sy < rows[y].last; ++sy) {
      const BYTE* row = ViewRow(source, sy);
      // Most rows of a page have no set bit at all (white between the lines of text).
      if (NoneSet(row, left, right)) continue;
      if (!anySet) {
        if (counts) counts->Clear();
        else std::fill(ones.begin(), ones.end(), 0);
      }
      anySet = true;
      if (counts) counts->Add(row);
      else AddOnes(row, columns.data(), masks.data(), width, ones.data());
    }
    const int rowsCovered = rows[y].last - rows[y].first;
    if (!anySet) {
      // An area without a set bit has the grey of the zero entry, whatever its size.
      std::fill(out, out + width, Shown<Pixel>(static_cast<BYTE>(zero)));
      continue;
    }
    if (counts && tables.Covers(rowsCovered)) {
      const BYTE* const* columnTable = columnTables[rowsCovered - shortestRow].data();
      counts->Sum(columns, [out, columnTable](size_t x, int count) { out[x] = Shown<Pixel>(columnTable[x][count]); });
      continue;
    }
    if (counts) counts->Sum(columns, [into = ones.data()](size_t x, int count) { into[x] = count; });
    if (tables.Covers(rowsCovered)) {
      const BYTE* const* columnTable = columnTables[rowsCovered - shortestRow].data();
      for (int x = 0; x < width; ++x) out[x] = Shown<Pixel>(columnTable[x][ones[x]]);
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const long long area = static_cast<long long>(columns[x].last - columns[x].first) * rowsCovered;
      out[x] = Shown<Pixel>(GreyOf(ones[x], area, zero, one));
    }
  }
}

}  // namespace

bool ScaleToGray(const Bitmap& source, const RECT& sourceRect, Bitmap& target, int width, int height, int bitsPerPixel) {
  if (&source == &target || !source.IsAllocated() || source.bitsPerPixel != 1 || source.colorCount < 2 ||
      (bitsPerPixel != 8 && bitsPerPixel != 32)) {
    return false;
  }
  const int left = std::max<int>(sourceRect.left, 0), top = std::max<int>(sourceRect.top, 0);
  const int right = std::min<int>(sourceRect.right, source.width), bottom = std::min<int>(sourceRect.bottom, source.height);
  if (right <= left || bottom <= top) return false;
  // Greys are the same in either colour order.
  if (!Create(target, width, height, bitsPerPixel, bitsPerPixel == 8 ? source.order : kOrderBgr, nullptr, kTopLeft)) return false;
  target.xResolution = static_cast<int>(static_cast<long long>(source.xResolution) * width / (right - left));
  target.yResolution = static_cast<int>(static_cast<long long>(source.yResolution) * height / (bottom - top));
  const std::vector<Span> columns = Spans(left, right - left, width);
  const std::vector<Span> rows = Spans(top, bottom - top, height);
  if (bitsPerPixel == 8) ReduceToGrey<BYTE>(source, left, right, columns, rows, target);
  else ReduceToGrey<std::uint32_t>(source, left, right, columns, rows, target);
  return true;
}

}  // namespace imaging
