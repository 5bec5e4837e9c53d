#include "platform/gdi/Raster.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace gdi {

namespace {

uint32_t* Line(QImage& image, int y) { return reinterpret_cast<uint32_t*>(image.scanLine(y)); }

int Wrap(int value, int period) {
  const int m = value % period;
  return m < 0 ? m + period : m;
}

// The generic truth table: OR of the minterms the table selects.
uint32_t GenericRop(uint8_t table, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t result = 0;
  for (int i = 0; i < 8; ++i) {
    if (!((table >> i) & 1)) continue;
    result |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return result;
}

}  // namespace

uint32_t NearestMono(uint32_t pixel) {
  const int sum = int((pixel >> 16) & 0xFF) + int((pixel >> 8) & 0xFF) + int(pixel & 0xFF);
  return sum >= 383 ? kWhite : kBlack;  // the nearer corner of the colour cube
}

uint8_t MixTable(int mixMode) {
  if (mixMode < R2_BLACK || mixMode > R2_WHITE) mixMode = R2_COPYPEN;
  const int binary = mixMode - 1;  // bit (P*2 + D)
  uint8_t table = 0;
  for (int i = 0; i < 8; ++i) {
    const int p = (i >> 2) & 1;
    const int d = i & 1;
    if ((binary >> (p * 2 + d)) & 1) table |= uint8_t(1 << i);
  }
  return table;
}

uint32_t ApplyRop(uint8_t table, uint32_t p, uint32_t s, uint32_t d) {
  uint32_t r;
  switch (table) {
    case 0x00: r = 0; break;
    case 0xFF: r = ~0u; break;
    case 0xCC: r = s; break;
    case 0xF0: r = p; break;
    case 0xAA: r = d; break;
    case 0x55: r = ~d; break;
    case 0x33: r = ~s; break;
    case 0x0F: r = ~p; break;
    case 0x88: r = s & d; break;
    case 0xEE: r = s | d; break;
    case 0x66: r = s ^ d; break;
    case 0x44: r = s & ~d; break;
    case 0x11: r = ~(s | d); break;
    case 0xBB: r = ~s | d; break;
    case 0xC0: r = p & s; break;
    case 0x5A: r = p ^ d; break;
    case 0xA0: r = p & d; break;
    case 0xFA: r = p | d; break;
    case 0xA5: r = ~(p ^ d); break;
    default: r = GenericRop(table, p, s, d); break;
  }
  return kOpaque | (r & kColourBits);
}

Pattern Pattern::Solid(uint32_t pixel) {
  Pattern p;
  p.m_solid = pixel | kOpaque;
  return p;
}

Pattern Pattern::Tile(const QImage& tile, QPoint origin) {
  Pattern p;
  p.m_tile = tile.convertToFormat(QImage::Format_RGB32);
  p.m_origin = origin;
  return p;
}

Pattern Pattern::TwoColour(const QImage& tile, uint32_t fore, uint32_t back, bool backTransparent, QPoint origin) {
  Pattern p;
  p.m_tile = QImage(tile.size(), QImage::Format_RGB32);
  p.m_origin = origin;
  if (backTransparent) p.m_transparent.assign(size_t(tile.width()) * tile.height(), 0);
  const QImage source = tile.convertToFormat(QImage::Format_RGB32);
  for (int y = 0; y < tile.height(); ++y) {
    const uint32_t* in = reinterpret_cast<const uint32_t*>(source.constScanLine(y));
    uint32_t* out = Line(p.m_tile, y);
    for (int x = 0; x < tile.width(); ++x) {
      const bool foreground = (in[x] & kColourBits) == 0;
      out[x] = foreground ? (fore | kOpaque) : (back | kOpaque);
      if (backTransparent && !foreground) p.m_transparent[size_t(y) * tile.width() + x] = 1;
    }
  }
  return p;
}

bool Pattern::At(int x, int y, uint32_t& pixel) const {
  if (m_tile.isNull()) {
    pixel = m_solid;
    return true;
  }
  const int tx = Wrap(x - m_origin.x(), m_tile.width());
  const int ty = Wrap(y - m_origin.y(), m_tile.height());
  if (!m_transparent.empty() && m_transparent[size_t(ty) * m_tile.width() + tx]) return false;
  pixel = reinterpret_cast<const uint32_t*>(m_tile.constScanLine(ty))[tx];
  return true;
}

void Pattern::MakeMonochrome() {
  m_solid = NearestMono(m_solid);
  for (int y = 0; y < m_tile.height(); ++y) {
    uint32_t* line = Line(m_tile, y);
    for (int x = 0; x < m_tile.width(); ++x) line[x] = NearestMono(line[x]);
  }
}

Mask::Mask(const QRect& bounds) : m_bounds(bounds.isValid() ? bounds : QRect()) {
  m_values.assign(size_t(std::max(0, m_bounds.width())) * std::max(0, m_bounds.height()), 0);
}

void Mask::SetFromCoverage(const QImage& coverage, uint8_t value) {
  m_dense = true;
  const QImage alpha = coverage.convertToFormat(QImage::Format_Alpha8);
  const int w = std::min(alpha.width(), m_bounds.width());
  const int h = std::min(alpha.height(), m_bounds.height());
  for (int y = 0; y < h; ++y) {
    const uchar* in = alpha.constScanLine(y);
    uint8_t* out = &m_values[size_t(y) * m_bounds.width()];
    for (int x = 0; x < w; ++x)
      if (in[x] >= 128) out[x] = value;
  }
}

QRect FillArea(QImage& image, const QRegion& clip, const QRegion& area, const Pattern& pattern, uint8_t rop) {
  const QRegion target = clip.intersected(area);
  for (const QRect& r : target) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      uint32_t* line = Line(image, y);
      if (pattern.IsSolid()) {
        const uint32_t p = pattern.SolidPixel();
        if (rop == kPatCopy) {
          std::fill(line + r.left(), line + r.right() + 1, p);
        } else {
          for (int x = r.left(); x <= r.right(); ++x) line[x] = ApplyRop(rop, p, 0, line[x]);
        }
        continue;
      }
      uint32_t p;
      for (int x = r.left(); x <= r.right(); ++x)
        if (pattern.At(x, y, p)) line[x] = ApplyRop(rop, p, 0, line[x]);
    }
  }
  return target.boundingRect();
}

QRect FillMask(QImage& image, const QRegion& clip, const Mask& mask, const Pattern* const patterns[4], uint8_t rop) {
  const QRegion target = clip.intersected(mask.Bounds());
  QRect changed;
  if (mask.Sparse()) {
    // Thin outlines touch few pixels of their bounds: visit just those.
    const bool rectangular = target.rectCount() <= 1;
    const QRect box = target.boundingRect();
    mask.ForEachSet([&](int x, int y, uint8_t v) {
      uint32_t p;
      if (!(rectangular ? box.contains(x, y) : target.contains(QPoint(x, y)))) return;
      if (v > 3 || !patterns[v] || !patterns[v]->At(x, y, p)) return;
      uint32_t& pixel = Line(image, y)[x];
      pixel = ApplyRop(rop, p, 0, pixel);
      changed |= QRect(x, y, 1, 1);
    });
    return changed;
  }
  for (const QRect& r : target) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      uint32_t* line = Line(image, y);
      for (int x = r.left(); x <= r.right(); ++x) {
        const uint8_t v = mask.Get(x, y);
        uint32_t p;
        if (!v || v > 3 || !patterns[v] || !patterns[v]->At(x, y, p)) continue;
        line[x] = ApplyRop(rop, p, 0, line[x]);
        changed |= QRect(x, y, 1, 1);
      }
    }
  }
  return changed;
}

ImageSource::ImageSource(const QImage& image, Mapping mapping, uint32_t fore, uint32_t back)
    : m_image(image), m_mapping(mapping), m_fore(fore | kOpaque), m_back(back | kOpaque) {}

void ImageSource::FetchRow(int y, int x, int count, uint32_t* out) const {
  const uint32_t* in = reinterpret_cast<const uint32_t*>(m_image.constScanLine(y)) + x;
  switch (m_mapping) {
    case Mapping::None:
      for (int i = 0; i < count; ++i) out[i] = in[i] | kOpaque;
      break;
    case Mapping::MonoToColour:
      for (int i = 0; i < count; ++i) out[i] = (in[i] & kColourBits) ? m_back : m_fore;
      break;
    case Mapping::ColourToMono:
      for (int i = 0; i < count; ++i) out[i] = ((in[i] | kOpaque) == m_back) ? kWhite : kBlack;
      break;
  }
}

namespace {

// Which source pixels make up each destination pixel along one axis.
struct AxisMap {
  std::vector<int> first;
  std::vector<int> count;  // 0: outside the source
};

AxisMap MapAxis(int destinationLength, int sourceStart, int sourceLength, int sourceLimit, bool mirror) {
  AxisMap map;
  map.first.resize(destinationLength);
  map.count.resize(destinationLength);
  for (int i = 0; i < destinationLength; ++i) {
    const int64_t c = mirror ? destinationLength - 1 - i : i;
    int a = sourceStart + int(c * sourceLength / destinationLength);
    int b = sourceStart + int((c + 1) * sourceLength / destinationLength);
    if (b <= a) b = a + 1;
    a = std::max(a, 0);
    b = std::min(b, sourceLimit);
    map.first[i] = a;
    map.count[i] = std::max(0, b - a);
  }
  return map;
}

// Source rows of one destination row, combined column by column for the stretch mode.
class RowCombiner {
public:
  RowCombiner(const PixelSource& source, int mode) : m_source(source), m_mode(mode) {}

  void Load(int firstRow, int rows, int x, int width) {
    if (firstRow == m_row && rows == m_rows && x == m_x && width == m_width) return;
    m_row = firstRow;
    m_rows = rows;
    m_x = x;
    m_width = width;
    m_values.resize(width);
    m_source.FetchRow(firstRow, x, width, m_values.data());
    if (m_mode == HALFTONE) {
      m_sums.assign(size_t(width) * 3, 0);
      Accumulate(m_values);
    }
    if (rows == 1 || m_mode == COLORONCOLOR) return;
    std::vector<uint32_t> more(width);
    for (int r = 1; r < rows; ++r) {
      m_source.FetchRow(firstRow + r, x, width, more.data());
      if (m_mode == HALFTONE) {
        Accumulate(more);
      } else {
        for (int i = 0; i < width; ++i) m_values[i] = (m_mode == WHITEONBLACK) ? (m_values[i] | more[i]) : (m_values[i] & more[i]);
      }
    }
  }

  // The combined pixel of `count` columns from source column `first`.
  uint32_t Pixel(int first, int count) const {
    const int i = first - m_x;
    if (m_mode == COLORONCOLOR || (count == 1 && m_rows == 1)) return m_values[i] | kOpaque;
    if (m_mode == HALFTONE) {
      uint64_t r = 0, g = 0, b = 0;
      for (int k = 0; k < count; ++k) {
        r += m_sums[size_t(i + k) * 3];
        g += m_sums[size_t(i + k) * 3 + 1];
        b += m_sums[size_t(i + k) * 3 + 2];
      }
      const uint64_t n = uint64_t(count) * m_rows;
      return kOpaque | uint32_t((r + n / 2) / n) << 16 | uint32_t((g + n / 2) / n) << 8 | uint32_t((b + n / 2) / n);
    }
    uint32_t v = m_values[i];
    for (int k = 1; k < count; ++k) v = (m_mode == WHITEONBLACK) ? (v | m_values[i + k]) : (v & m_values[i + k]);
    return v | kOpaque;
  }

private:
  void Accumulate(const std::vector<uint32_t>& row) {
    for (size_t i = 0; i < row.size(); ++i) {
      m_sums[i * 3] += (row[i] >> 16) & 0xFF;
      m_sums[i * 3 + 1] += (row[i] >> 8) & 0xFF;
      m_sums[i * 3 + 2] += row[i] & 0xFF;
    }
  }

  const PixelSource& m_source;
  int m_mode;
  int m_row { -1 };
  int m_rows { 0 };
  int m_x { 0 };
  int m_width { 0 };
  std::vector<uint32_t> m_values;
  std::vector<uint32_t> m_sums;
};

}  // namespace

QRect Blit(QImage& image, const QRegion& clip, const BlitRequest& request, const PixelSource* source,
           const Pattern* pattern, bool monochrome) {
  const QRect& d = request.destination;
  const uint8_t rop = request.rop;
  const QRegion target = clip.intersected(d);
  if (d.isEmpty() || target.isEmpty()) return QRect();
  const Pattern blackPattern;
  const Pattern& p = pattern ? *pattern : blackPattern;

  if (!RopUsesSource(rop) || !source) return FillArea(image, target, d, p, rop);

  const QRect& s = request.source;
  if (s.isEmpty()) return QRect();
  const QSize limit = source->Size();
  const AxisMap columns = MapAxis(d.width(), s.left(), s.width(), limit.width(), request.mirrorX);
  const AxisMap rows = MapAxis(d.height(), s.top(), s.height(), limit.height(), request.mirrorY);
  const bool plainCopy = rop == kSrcCopy && !monochrome && s.size() == d.size() && !request.mirrorX && !request.mirrorY;
  const int mode = (request.stretchMode >= BLACKONWHITE && request.stretchMode <= HALFTONE) ? request.stretchMode : BLACKONWHITE;

  RowCombiner combiner(*source, mode);
  const bool identity = s.size() == d.size() && !request.mirrorX && !request.mirrorY;
  std::vector<uint32_t> row;
  QRect changed;
  for (const QRect& r : target) {
    const int i0 = r.left() - d.left();
    const int i1 = r.right() - d.left();
    // The source columns this part needs.
    int lo = INT32_MAX, hi = INT32_MIN;
    for (int i = i0; i <= i1; ++i) {
      if (!columns.count[i]) continue;
      lo = std::min(lo, columns.first[i]);
      hi = std::max(hi, columns.first[i] + columns.count[i]);
    }
    if (lo == INT32_MAX) continue;
    // A straight copy takes the same runs of columns with a source pixel on every row.
    std::vector<std::pair<int, int>> runs;
    if (plainCopy) {
      for (int x = r.left(); x <= r.right();) {
        while (x <= r.right() && !columns.count[x - d.left()]) ++x;
        int end = x;
        while (end <= r.right() && columns.count[end - d.left()]) ++end;
        if (end > x) runs.emplace_back(x, end);
        x = end;
      }
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
      const int j = y - d.top();
      if (!rows.count[j]) continue;
      uint32_t* line = Line(image, y);
      if (plainCopy) {
        for (const auto& [x, end] : runs) source->FetchRow(rows.first[j], columns.first[x - d.left()], end - x, line + x);
        changed |= QRect(r.left(), y, r.width(), 1);
        continue;
      }
      if (identity) {
        // One source pixel per destination pixel, in order.
        const int first = lo;
        row.resize(size_t(hi - lo));
        source->FetchRow(rows.first[j], lo, hi - lo, row.data());
        for (int x = r.left(); x <= r.right(); ++x) {
          const int i = x - d.left();
          if (!columns.count[i]) continue;
          uint32_t pixel = 0;
          if (RopUsesPattern(rop) && !p.At(x, y, pixel)) continue;
          uint32_t src = row[size_t(columns.first[i] - first)];
          if (monochrome) src = NearestMono(src);
          line[x] = ApplyRop(rop, pixel, src, line[x]);
        }
        changed |= QRect(r.left(), y, r.width(), 1);
        continue;
      }
      combiner.Load(rows.first[j], rows.count[j], lo, hi - lo);
      for (int x = r.left(); x <= r.right(); ++x) {
        const int i = x - d.left();
        if (!columns.count[i]) continue;
        uint32_t pixel = 0;
        if (RopUsesPattern(rop) && !p.At(x, y, pixel)) continue;
        uint32_t src = combiner.Pixel(columns.first[i], columns.count[i]);
        if (monochrome) src = NearestMono(src);
        line[x] = ApplyRop(rop, pixel, src, line[x]);
      }
      changed |= QRect(r.left(), y, r.width(), 1);
    }
  }
  return changed;
}

}  // namespace gdi
