#pragma once
// Internal to the drawing layer: device-independent bitmap rows in and out of Format_RGB32
// pixels, and the row layout of device-dependent bitmap bits.

#include "platform/gdi/Raster.h"

#include <optional>
#include <unordered_map>
#include <vector>

namespace gdi {

// A checked description of a DIB: 1, 4, 8, 24 or 32 bits per pixel, uncompressed, with the colour
// table (as pixels) of the palette depths. Rows are `stride` bytes, a multiple of four.
struct DibFormat {
  int width { 0 };
  int height { 0 };  // absolute
  int bitCount { 0 };
  bool topDown { false };
  int stride { 0 };
  std::vector<uint32_t> palette;

  // Null for anything but BI_RGB at the depths above with DIB_RGB_COLORS, a width or height of
  // 0, or a size whose bytes do not fit in memory arithmetic.
  static std::optional<DibFormat> From(const BITMAPINFO* info, UINT usage);
  static int Stride(int width, int bitCount) { return int(((int64_t(width) * bitCount + 31) / 32) * 4); }
  size_t ImageBytes() const { return size_t(stride) * size_t(height); }
  // Offset of the row `y` counted from the top of the picture.
  size_t RowOffset(int y) const { return size_t(topDown ? y : height - 1 - y) * size_t(stride); }
  // The palette index nearest to a pixel (palette depths only).
  uint8_t NearestIndex(uint32_t pixel) const;
};

// The palette written by GetDIBits for a palette depth (1: black and white; 4: the sixteen
// standard colours; 8: a 6x6x6 colour cube followed by a grey ramp).
std::vector<uint32_t> DefaultPalette(int bitCount);

// Pixels [x, x + count) of one DIB row.
void DecodeDibRow(const DibFormat& format, const BYTE* row, int x, int count, uint32_t* out);
// Writes pixels [0, count) into a DIB row; palette depths take the nearest entry.
class DibRowEncoder {
public:
  explicit DibRowEncoder(const DibFormat& format) : m_format(format) {}
  void Encode(const uint32_t* pixels, int count, BYTE* row);

private:
  const DibFormat& m_format;
  std::unordered_map<uint32_t, uint8_t> m_nearest;
};

// A DIB in memory as a blit source (rows counted from the top of the picture).
class DibSource : public PixelSource {
public:
  DibSource(DibFormat format, const void* bits) : m_format(std::move(format)), m_bits(static_cast<const BYTE*>(bits)) {}
  QSize Size() const override { return QSize(m_format.width, m_format.height); }
  void FetchRow(int y, int x, int count, uint32_t* out) const override {
    DecodeDibRow(m_format, m_bits + m_format.RowOffset(y), x, count, out);
  }

private:
  DibFormat m_format;
  const BYTE* m_bits;
};

// Device-dependent bitmap bits: rows from the top, each a multiple of two bytes.
int DdbStride(int width, int bitsPixel);
void ImageToDdbBits(const QImage& image, int bitsPixel, BYTE* bits, size_t size);
void DdbBitsToImage(const BYTE* bits, size_t size, int bitsPixel, QImage& image);

}  // namespace gdi
