#include "tools/batchgen/PageImage.h"

#include "tools/batchgen/Random.h"
#include "tools/batchgen/Utf8.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace {

struct Glyph {
  char ch;
  uint8_t rows[7];  // five dots a row, bit 4 leftmost
};

// clang-format off
const Glyph kFont[] = {
  {' ', {0, 0, 0, 0, 0, 0, 0}},
  {'0', {0b01110, 0b10001, 0b10011, 0b10101, 0b11001, 0b10001, 0b01110}},
  {'1', {0b00100, 0b01100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
  {'2', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b01000, 0b11111}},
  {'3', {0b11111, 0b00010, 0b00100, 0b00010, 0b00001, 0b10001, 0b01110}},
  {'4', {0b00010, 0b00110, 0b01010, 0b10010, 0b11111, 0b00010, 0b00010}},
  {'5', {0b11111, 0b10000, 0b11110, 0b00001, 0b00001, 0b10001, 0b01110}},
  {'6', {0b00110, 0b01000, 0b10000, 0b11110, 0b10001, 0b10001, 0b01110}},
  {'7', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b01000, 0b01000}},
  {'8', {0b01110, 0b10001, 0b10001, 0b01110, 0b10001, 0b10001, 0b01110}},
  {'9', {0b01110, 0b10001, 0b10001, 0b01111, 0b00001, 0b00010, 0b01100}},
  {'A', {0b01110, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
  {'B', {0b11110, 0b10001, 0b10001, 0b11110, 0b10001, 0b10001, 0b11110}},
  {'C', {0b01110, 0b10001, 0b10000, 0b10000, 0b10000, 0b10001, 0b01110}},
  {'D', {0b11100, 0b10010, 0b10001, 0b10001, 0b10001, 0b10010, 0b11100}},
  {'E', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b11111}},
  {'F', {0b11111, 0b10000, 0b10000, 0b11110, 0b10000, 0b10000, 0b10000}},
  {'G', {0b01110, 0b10001, 0b10000, 0b10111, 0b10001, 0b10001, 0b01111}},
  {'H', {0b10001, 0b10001, 0b10001, 0b11111, 0b10001, 0b10001, 0b10001}},
  {'I', {0b01110, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b01110}},
  {'J', {0b00111, 0b00010, 0b00010, 0b00010, 0b00010, 0b10010, 0b01100}},
  {'K', {0b10001, 0b10010, 0b10100, 0b11000, 0b10100, 0b10010, 0b10001}},
  {'L', {0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b10000, 0b11111}},
  {'M', {0b10001, 0b11011, 0b10101, 0b10101, 0b10001, 0b10001, 0b10001}},
  {'N', {0b10001, 0b10001, 0b11001, 0b10101, 0b10011, 0b10001, 0b10001}},
  {'O', {0b01110, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
  {'P', {0b11110, 0b10001, 0b10001, 0b11110, 0b10000, 0b10000, 0b10000}},
  {'Q', {0b01110, 0b10001, 0b10001, 0b10001, 0b10101, 0b10010, 0b01101}},
  {'R', {0b11110, 0b10001, 0b10001, 0b11110, 0b10100, 0b10010, 0b10001}},
  {'S', {0b01111, 0b10000, 0b10000, 0b01110, 0b00001, 0b00001, 0b11110}},
  {'T', {0b11111, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100, 0b00100}},
  {'U', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01110}},
  {'V', {0b10001, 0b10001, 0b10001, 0b10001, 0b10001, 0b01010, 0b00100}},
  {'W', {0b10001, 0b10001, 0b10001, 0b10101, 0b10101, 0b10101, 0b01010}},
  {'X', {0b10001, 0b10001, 0b01010, 0b00100, 0b01010, 0b10001, 0b10001}},
  {'Y', {0b10001, 0b10001, 0b10001, 0b01010, 0b00100, 0b00100, 0b00100}},
  {'Z', {0b11111, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b11111}},
  {':', {0b00000, 0b01100, 0b01100, 0b00000, 0b01100, 0b01100, 0b00000}},
  {'-', {0b00000, 0b00000, 0b00000, 0b11111, 0b00000, 0b00000, 0b00000}},
  {'/', {0b00000, 0b00001, 0b00010, 0b00100, 0b01000, 0b10000, 0b00000}},
  {'.', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b01100}},
  {',', {0b00000, 0b00000, 0b00000, 0b00000, 0b01100, 0b00100, 0b01000}},
  {'#', {0b01010, 0b01010, 0b11111, 0b01010, 0b11111, 0b01010, 0b01010}},
  {'_', {0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b00000, 0b11111}},
  {'&', {0b01100, 0b10010, 0b10100, 0b01000, 0b10101, 0b10010, 0b01101}},
  {'(', {0b00010, 0b00100, 0b01000, 0b01000, 0b01000, 0b00100, 0b00010}},
  {')', {0b01000, 0b00100, 0b00010, 0b00010, 0b00010, 0b00100, 0b01000}},
  {'+', {0b00000, 0b00100, 0b00100, 0b11111, 0b00100, 0b00100, 0b00000}},
  {'?', {0b01110, 0b10001, 0b00001, 0b00010, 0b00100, 0b00000, 0b00100}},
};
// clang-format on

// Latin letters with marks are drawn as their plain letter (the font has no marks); the rest of
// the Latin-1 range, and every other script, shows as '?'.
char FontCharOf(char32_t code) {
  static constexpr char kLatin1[] = "AAAAAAACEEEEIIIIDNOOOOO?OUUUUY?SAAAAAAACEEEEIIIIDNOOOOO?OUUUUY?Y";
  if (code < 0x80) return static_cast<char>(code);
  if (code >= 0xC0 && code <= 0xFF) return kLatin1[code - 0xC0];
  return '?';
}

const Glyph& GlyphOf(char32_t code) {
  char ch = FontCharOf(code);
  if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  for (const Glyph& glyph : kFont) {
    if (glyph.ch == ch) return glyph;
  }
  return kFont[std::size(kFont) - 1];
}

constexpr int kAdvance = 6;  // five dots and one dot of spacing

// Opens a TIFF for one page with the fields every page shares.
TIFF* OpenPage(const std::string& path, int width, int height, int dpi) {
  TIFF* tiff = TIFFOpen(path.c_str(), "w");
  if (!tiff) return nullptr;
  TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(width));
  TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(height));
  TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  TIFFSetField(tiff, TIFFTAG_XRESOLUTION, static_cast<float>(dpi));
  TIFFSetField(tiff, TIFFTAG_YRESOLUTION, static_cast<float>(dpi));
  TIFFSetField(tiff, TIFFTAG_SOFTWARE, "sample batch generator");
  return tiff;
}

}  // namespace

PageImage::PageImage(int width, int height)
    : m_width(width), m_height(height), m_pixels(static_cast<size_t>(width) * height, 255) {}

void PageImage::FillRect(int x, int y, int width, int height, uint8_t grey) {
  const int x0 = std::clamp(x, 0, m_width);
  const int x1 = std::clamp(x + width, 0, m_width);
  const int y0 = std::clamp(y, 0, m_height);
  const int y1 = std::clamp(y + height, 0, m_height);
  for (int row = y0; row < y1; ++row) {
    std::memset(&m_pixels[static_cast<size_t>(row) * m_width + x0], grey, static_cast<size_t>(x1 - x0));
  }
}

void PageImage::DrawText(int x, int y, int scale, const std::string& text) {
  for (char32_t code : CodePoints(text)) {
    const Glyph& glyph = GlyphOf(code);
    for (int row = 0; row < 7; ++row) {
      for (int dot = 0; dot < 5; ++dot) {
        if (glyph.rows[row] & (0x10 >> dot)) FillRect(x + dot * scale, y + row * scale, scale, scale, 0);
      }
    }
    x += kAdvance * scale;
  }
}

int PageImage::TextWidth(const std::string& text, int scale) { return static_cast<int>(CodePoints(text).size()) * kAdvance * scale; }

void PageImage::DrawPrintLines(int top, int bottom, Random& random) {
  const int margin = m_width / 10;
  const int lineHeight = std::max(4, m_height / 120);
  for (int y = top; y + lineHeight < bottom; y += lineHeight * 2) {
    int x = margin;
    const int right = m_width - margin - random.Range(0, m_width / 4);
    while (x < right) {
      const int word = random.Range(lineHeight, lineHeight * 6);
      FillRect(x, y, std::min(word, right - x), lineHeight, 40);
      x += word + lineHeight;
    }
  }
}

bool PageImage::WriteGroup4(const std::string& path, int dpi) const {
  TIFF* tiff = OpenPage(path, m_width, m_height, dpi);
  if (!tiff) return false;
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
  TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
  TIFFSetField(tiff, TIFFTAG_FILLORDER, FILLORDER_MSB2LSB);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, static_cast<uint32_t>(m_height));
  std::vector<uint8_t> row(static_cast<size_t>((m_width + 7) / 8));
  bool ok = true;
  for (int y = 0; ok && y < m_height; ++y) {
    std::fill(row.begin(), row.end(), 0);
    const uint8_t* source = &m_pixels[static_cast<size_t>(y) * m_width];
    for (int x = 0; x < m_width; ++x) {
      if (source[x] < 128) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  TIFFClose(tiff);
  return ok;
}

bool PageImage::WriteJpeg(const std::string& path, int dpi, bool colour) const {
  TIFF* tiff = OpenPage(path, m_width, m_height, dpi);
  if (!tiff) return false;
  const int samples = colour ? 3 : 1;
  TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
  TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16u);
  if (colour) {
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  } else {
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
  }
  TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 75);
  std::vector<uint8_t> row(static_cast<size_t>(m_width) * samples);
  bool ok = true;
  for (int y = 0; ok && y < m_height; ++y) {
    const uint8_t* source = &m_pixels[static_cast<size_t>(y) * m_width];
    for (int x = 0; x < m_width; ++x) {
      if (colour) {
        // Paper with a warm tint; the print stays dark.
        row[3 * x] = source[x];
        row[3 * x + 1] = static_cast<uint8_t>(source[x] * 94 / 100);
        row[3 * x + 2] = static_cast<uint8_t>(source[x] * 80 / 100);
      } else {
        row[x] = source[x];
      }
    }
    ok = TIFFWriteScanline(tiff, row.data(), static_cast<uint32_t>(y), 0) == 1;
  }
  TIFFClose(tiff);
  return ok;
}
