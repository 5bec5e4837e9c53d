#include "platform/imaging/GreyRows.h"

#include "platform/imaging/Scale.h"
#include "platform/imaging/Spans.h"
#include "platform/imaging/pixels.h"

#include <algorithm>
#include <array>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace imaging {

namespace {

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
        m_counts(static_cast<SIZE_T>(m_lastByte - m_firstByte + 2) * 8) {  // one more byte's worth: a pair's second pixel
    // The first column starting in each byte of the row, and the end.
    m_blockStarts.resize(static_cast<SIZE_T>(m_lastByte - m_firstByte + 2));
    size_t x = 0;
    for (size_t block = 0; block < m_blockStarts.size(); ++block) {
      while (x < columns.size() && (columns[x].first >> 3) < m_firstByte + static_cast<int>(block)) ++x;
      m_blockStarts[block] = static_cast<int>(x);
    }
    m_blockStarts.back() = static_cast<int>(columns.size());
  }
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
  // Hands the count of every target column to `take` (column, count), or runs of columns without
  // a set bit to `blank` (first column, end). Columns of one or two pixels (reductions to half
  // the size or less) add their second pixel's count times 0 or 1 rather than looping over so
  // few, and those starting in a byte of the row without counts (white between words) go as a run.
  template <class Take, class Blank>
  void Sum(const std::vector<Span>& columns, Take take, Blank blank) const {
    // Locals throughout: stores of bytes could otherwise alias every member and be reloaded.
    const BYTE* const counts = m_counts.data() - static_cast<std::ptrdiff_t>(m_firstByte) * 8;
    const Span* const spans = columns.data();
    if (m_pairs) {
      const int* const starts = m_blockStarts.data();
      for (size_t block = 0; block + 1 < m_blockStarts.size(); ++block) {
        const int x0 = starts[block], x1 = starts[block + 1];
        if (x0 == x1) continue;
        // The block's last column may reach the next block's first pixel.
        std::uint64_t eight;
        std::memcpy(&eight, m_counts.data() + block * 8, 8);
        if (eight == 0 && m_counts[block * 8 + 8] == 0) {
          blank(x0, x1);
          continue;
        }
        for (int x = x0; x < x1; ++x) {
          const int first = spans[x].first;
          take(x, counts[first] + counts[first + 1] * (spans[x].last - first - 1));
        }
      }
      return;
    }
    const size_t width = columns.size();
    for (size_t x = 0; x < width; ++x) {
      int sum = 0;
      for (int p = spans[x].first; p < spans[x].last; ++p) sum += counts[p];
      take(static_cast<int>(x), sum);
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
  std::vector<int> m_blockStarts;
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

}  // namespace

struct GreyRows::State {
  const Bitmap& source;
  int left, right;
  std::vector<Span> columns, rows;
  int zero, one;
  std::vector<ColumnMask> masks;
  GreyTables tables;
  // The tables of each column for the two heights a target row can have.
  std::vector<const BYTE*> columnTables[2];
  int shortestRow{INT_MAX};
  // Counts of the row being made.
  mutable std::optional<ColumnCounts> counts;
  mutable std::vector<long long> ones;
  // A whole row, for parts of rows.
  mutable std::vector<uint32_t> row;

  State(const Bitmap& b, int l, int r, int top, int bottom, int width, int height)
      : source(b),
        left(l),
        right(r),
        columns(Spans(l, r - l, width)),
        rows(Spans(top, bottom - top, height)),
        zero(Luminance(b.palette[0])),
        one(Luminance(b.palette[1])),
        masks(ColumnMasks(columns, b.bytesPerLine)),
        tables(columns, rows, zero, one),
        ones(width) {
    for (const Span& span : rows) shortestRow = std::min(shortestRow, span.last - span.first);
    for (int extra = 0; extra < 2; ++extra) {
      if (tables.Covers(shortestRow + extra)) columnTables[extra] = tables.ColumnTables(columns, shortestRow + extra);
    }
    if (ColumnCounts::Serves(columns, rows)) counts.emplace(left, right, columns);
  }
};

GreyRows::GreyRows(const Bitmap& source, const RECT& sourceRect, int width, int height) {
  if (!source.IsAllocated() || source.bitsPerPixel != 1 || source.colorCount < 2 || width < 1 || height < 1) return;
  const int left = std::max<int>(sourceRect.left, 0), top = std::max<int>(sourceRect.top, 0);
  const int right = std::min<int>(sourceRect.right, source.width), bottom = std::min<int>(sourceRect.bottom, source.height);
  if (right <= left || bottom <= top) return;
  m_width = width;
  m_height = height;
  m_state = std::make_unique<State>(source, left, right, top, bottom, width, height);
}

GreyRows::~GreyRows() = default;

namespace {

// A grey as a pixel: the level itself, or the grey in blue, green and red of an opaque pixel.
template <class Pixel>
Pixel Shown(BYTE grey) {
  if constexpr (sizeof(Pixel) == 1) return grey;
  else return 0xFF000000u | grey * 0x010101u;
}

}  // namespace

template <class Pixel>
void GreyRows::Make(int y, Pixel* out) const {
  const State& s = *m_state;
  const int width = m_width;
  bool anySet = false;
  for (int sy = s.rows[y].first; sy < s.rows[y].last; ++sy) {
    const BYTE* row = ViewRow(s.source, sy);
    // Most rows of a page have no set bit at all (white between the lines of text).
    if (NoneSet(row, s.left, s.right)) continue;
    if (!anySet) {
      if (s.counts) s.counts->Clear();
      else std::fill(s.ones.begin(), s.ones.end(), 0);
    }
    anySet = true;
    if (s.counts) s.counts->Add(row);
    else AddOnes(row, s.columns.data(), s.masks.data(), width, s.ones.data());
  }
  const int rowsCovered = s.rows[y].last - s.rows[y].first;
  if (!anySet) {
    // An area without a set bit has the grey of the zero entry, whatever its size.
    std::fill(out, out + width, Shown<Pixel>(static_cast<BYTE>(s.zero)));
    return;
  }
  if (s.counts && s.tables.Covers(rowsCovered)) {
    const BYTE* const* columnTable = s.columnTables[rowsCovered - s.shortestRow].data();
    const Pixel white = Shown<Pixel>(static_cast<BYTE>(s.zero));
    s.counts->Sum(
        s.columns, [out, columnTable](int x, int count) { out[x] = Shown<Pixel>(columnTable[x][count]); },
        [out, white](int x0, int x1) { std::fill(out + x0, out + x1, white); });
    return;
  }
  const long long* ones = s.ones.data();
  if (s.counts) {
    s.counts->Sum(
        s.columns, [into = s.ones.data()](int x, int count) { into[x] = count; },
        [into = s.ones.data()](int x0, int x1) { std::fill(into + x0, into + x1, 0); });
  }
  if (s.tables.Covers(rowsCovered)) {
    const BYTE* const* columnTable = s.columnTables[rowsCovered - s.shortestRow].data();
    for (int x = 0; x < width; ++x) out[x] = Shown<Pixel>(columnTable[x][ones[x]]);
    return;
  }
  for (int x = 0; x < width; ++x) {
    const long long area = static_cast<long long>(s.columns[x].last - s.columns[x].first) * rowsCovered;
    out[x] = Shown<Pixel>(GreyOf(ones[x], area, s.zero, s.one));
  }
}

void GreyRows::Row(int y, int x, int count, uint32_t* out) const {
  if (!m_state) return;
  if (x == 0 && count == m_width) {
    Make(y, out);
    return;
  }
  m_state->row.resize(m_width);
  Make(y, m_state->row.data());
  std::copy_n(m_state->row.begin() + x, count, out);
}

void GreyRows::Levels(int y, BYTE* out) const {
  if (m_state) Make(y, out);
}

bool ScaleToGray(const Bitmap& source, const RECT& sourceRect, Bitmap& target, int width, int height) {
  if (&source == &target) return false;
  const GreyRows greys(source, sourceRect, width, height);
  if (!greys.IsValid() || !Create(target, width, height, 8, source.order, nullptr, kTopLeft)) return false;
  const int partWidth = std::min<int>(sourceRect.right, source.width) - std::max<int>(sourceRect.left, 0);
  const int partHeight = std::min<int>(sourceRect.bottom, source.height) - std::max<int>(sourceRect.top, 0);
  target.xResolution = static_cast<int>(static_cast<long long>(source.xResolution) * width / partWidth);
  target.yResolution = static_cast<int>(static_cast<long long>(source.yResolution) * height / partHeight);
  for (int y = 0; y < height; ++y) greys.Levels(y, ViewRow(target, y));
  return true;
}

}  // namespace imaging
