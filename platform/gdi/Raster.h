#pragma once
// Internal to the drawing layer: pixel arithmetic on Format_RGB32 images. Raster operations are
// computed bit by bit on the colour bytes, as the drawing interface defines them; the alpha byte
// of every written pixel stays 0xFF.

#include "platform/gdi/gditypes.h"

#include <QImage>
#include <QRegion>

#include <cstdint>
#include <vector>

namespace gdi {

constexpr uint32_t kColourBits = 0x00FFFFFFu;
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kBlack = kOpaque;
constexpr uint32_t kWhite = 0xFFFFFFFFu;

inline uint32_t PixelFromColour(COLORREF colour) {
  return kOpaque | (uint32_t(GetRValue(colour)) << 16) | (uint32_t(GetGValue(colour)) << 8) | GetBValue(colour);
}
inline COLORREF ColourFromPixel(uint32_t pixel) { return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF); }
// Black or white, whichever lies nearer.
uint32_t NearestMono(uint32_t pixel);

// Raster operations as truth tables: bit (P*4 + S*2 + D) of the table is the result for pattern
// bit P, source bit S and destination bit D (the third byte of a ternary raster operation code).
inline uint8_t RopTable(DWORD rop) { return uint8_t((rop >> 16) & 0xFF); }
constexpr uint8_t kSrcCopy = 0xCC;
constexpr uint8_t kPatCopy = 0xF0;
// The table of a binary mix mode R2_* (pattern = the pen or brush), or the one of R2_COPYPEN for
// values out of range.
uint8_t MixTable(int mixMode);
inline bool RopUsesSource(uint8_t table) { return ((table >> 2) & 0x33) != (table & 0x33); }
inline bool RopUsesPattern(uint8_t table) { return ((table >> 4) & 0x0F) != (table & 0x0F); }
uint32_t ApplyRop(uint8_t table, uint32_t pattern, uint32_t source, uint32_t destination);

// The brush of one call in pixels: one colour, or a tile repeated from a surface point.
class Pattern {
public:
  Pattern() = default;
  static Pattern Solid(uint32_t pixel);
  static Pattern Tile(const QImage& tile, QPoint origin);
  // A two-colour tile: black tile pixels take `fore`, the others `back`. With backTransparent
  // the others are left untouched (hatched brushes on a transparent background).
  static Pattern TwoColour(const QImage& tile, uint32_t fore, uint32_t back, bool backTransparent, QPoint origin);

  bool IsSolid() const { return m_tile.isNull(); }
  uint32_t SolidPixel() const { return m_solid; }
  // The pattern at a surface point; false where it leaves the destination alone.
  bool At(int x, int y, uint32_t& pixel) const;
  // Maps every colour to the nearer of black and white.
  void MakeMonochrome();

private:
  uint32_t m_solid { kBlack };
  QImage m_tile;
  std::vector<uint8_t> m_transparent;  // per tile pixel, two-colour tiles only
  QPoint m_origin;
};

// Pixels chosen by a shape, each carrying a small value (1 = pen, 2 = pen gap, 3 = brush).
class Mask {
public:
  explicit Mask(const QRect& bounds);
  const QRect& Bounds() const { return m_bounds; }
  void Set(int x, int y, uint8_t value) {
    if (!m_bounds.contains(x, y)) return;
    const size_t i = size_t(y - m_bounds.top()) * m_bounds.width() + (x - m_bounds.left());
    if (!m_values[i]) m_set.push_back(i);
    m_values[i] = value;
  }
  uint8_t Get(int x, int y) const {
    return m_values[size_t(y - m_bounds.top()) * m_bounds.width() + (x - m_bounds.left())];
  }
  // Takes every pixel of `coverage` (an image of the bounds' size) with alpha of at least half.
  void SetFromCoverage(const QImage& coverage, uint8_t value);
  // The pixels Set one by one (thin lines), or none when the mask came from coverage.
  bool Sparse() const { return !m_dense; }
  template <class Visit>
  void ForEachSet(Visit visit) const {
    for (size_t i : m_set) visit(m_bounds.left() + int(i % m_bounds.width()), m_bounds.top() + int(i / m_bounds.width()), m_values[i]);
  }

private:
  QRect m_bounds;
  std::vector<uint8_t> m_values;
  std::vector<size_t> m_set;
  bool m_dense { false };
};

// Writes rop(pattern, destination) over area ∩ clip; returns the bounds of what it wrote.
QRect FillArea(QImage& image, const QRegion& clip, const QRegion& area, const Pattern& pattern, uint8_t rop);
// Writes rop(patterns[value], destination) where the mask holds a value with a pattern.
QRect FillMask(QImage& image, const QRegion& clip, const Mask& mask, const Pattern* const patterns[4], uint8_t rop);

// Rows of source pixels for blits, in Format_RGB32 values.
class PixelSource {
public:
  virtual ~PixelSource() = default;
  virtual QSize Size() const = 0;
  // count pixels of row y from column x; the range lies inside Size().
  virtual void FetchRow(int y, int x, int count, uint32_t* out) const = 0;
};

// An RGB32 image as a source, optionally mapped: a monochrome image into a colour destination
// (black -> fore, white -> back), or a colour image into a monochrome one (pixels equal to
// `back` -> white, all others -> black).
class ImageSource : public PixelSource {
public:
  enum class Mapping { None, MonoToColour, ColourToMono };
  explicit ImageSource(const QImage& image, Mapping mapping = Mapping::None, uint32_t fore = kBlack,
                       uint32_t back = kWhite);
  QSize Size() const override { return m_image.size(); }
  void FetchRow(int y, int x, int count, uint32_t* out) const override;

private:
  QImage m_image;
  Mapping m_mapping;
  uint32_t m_fore;
  uint32_t m_back;
};

struct BlitRequest {
  QRect destination;  // normalised, in surface pixels
  QRect source;       // normalised, in source pixels (ignored without a source)
  bool mirrorX { false };
  bool mirrorY { false };
  int stretchMode { BLACKONWHITE };
  uint8_t rop { kSrcCopy };
};

// Stretches (or copies) source onto the destination through the raster operation. Destination
// pixels whose source pixel lies outside the source are left alone. Enlarging repeats pixels;
// reducing combines the source pixels of each destination pixel by the stretch mode (AND, OR,
// first one, or average). Returns the bounds of what it wrote.
QRect Blit(QImage& image, const QRegion& clip, const BlitRequest& request, const PixelSource* source,
           const Pattern* pattern, bool monochrome);

}  // namespace gdi
