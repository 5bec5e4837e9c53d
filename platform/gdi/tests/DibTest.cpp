// Device-independent bitmaps in and out, at every depth, bottom-up and top-down.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <vector>

namespace {

int Stride(int width, int bits) { return ((width * bits + 31) / 32) * 4; }

// A DIB in memory: header and colour table, and the rows.
struct Dib {
  std::vector<BYTE> head;
  std::vector<BYTE> bits;

  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(head.data()); }
  RGBQUAD* Colours() { return reinterpret_cast<RGBQUAD*>(head.data() + sizeof(BITMAPINFOHEADER)); }
  BYTE* Row(int yFromTop) {
    const BITMAPINFOHEADER& h = Info()->bmiHeader;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const int stored = h.biHeight < 0 ? yFromTop : height - 1 - yFromTop;
    return bits.data() + size_t(stored) * Stride(h.biWidth, h.biBitCount);
  }
};

Dib MakeDib(int width, int height, int bitCount, bool topDown, const std::vector<RGBQUAD>& palette = {}) {
  Dib dib;
  dib.head.assign(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  BITMAPINFOHEADER& h = dib.Info()->bmiHeader;
  h.biSize = sizeof(BITMAPINFOHEADER);
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biPlanes = 1;
  h.biBitCount = WORD(bitCount);
  h.biCompression = BI_RGB;
  h.biClrUsed = DWORD(palette.size());
  if (!palette.empty()) std::memcpy(dib.Colours(), palette.data(), palette.size() * sizeof(RGBQUAD));
  dib.bits.assign(size_t(Stride(width, bitCount)) * height, 0);
  return dib;
}

// Writes palette index or colour `value` at (x, y from the top).
void Put(Dib& dib, int x, int y, DWORD value) {
  BYTE* row = dib.Row(y);
  switch (dib.Info()->bmiHeader.biBitCount) {
    case 1: row[x / 8] = BYTE((row[x / 8] & ~(0x80 >> (x % 8))) | ((value & 1) << (7 - x % 8))); break;
    case 4: row[x / 2] = BYTE((x % 2) ? ((row[x / 2] & 0xF0) | (value & 0x0F)) : ((row[x / 2] & 0x0F) | (value << 4))); break;
    case 8: row[x] = BYTE(value); break;
    case 24: std::memcpy(row + x * 3, &value, 3); break;
    case 32: std::memcpy(row + x * 4, &value, 4); break;
  }
}

// A pattern value for every pixel that uses all of a depth's values.
DWORD Pattern(int x, int y, int bitCount) {
  const DWORD v = DWORD(x * 7 + y * 13 + x * y);
  switch (bitCount) {
    case 1: return v & 1;
    case 4: return v & 0x0F;
    case 8: return v & 0xFF;
    case 24: return (v * 0x10305u) & 0xFFFFFF;
    default: return (v * 0x10305u) & 0xFFFFFF;  // reserved byte 0
  }
}

const std::vector<RGBQUAD>& TwoColours() {
  static const std::vector<RGBQUAD> palette = {{0, 0, 255, 0}, {255, 0, 0, 0}};  // red, blue
  return palette;
}

std::vector<RGBQUAD> GreyRamp(int entries) {
  std::vector<RGBQUAD> palette;
  for (int i = 0; i < entries; ++i) {
    const BYTE v = BYTE(i * 255 / (entries - 1));
    palette.push_back(RGBQUAD{v, BYTE(255 - v), v, 0});
  }
  return palette;
}

COLORREF ColourOf(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

}  // namespace

// Device bitmaps made from DIBs and read back at the same depth give the same bytes. For the
// palette depths the DIB uses the palette GetDIBits writes, so that indices survive.
TEST(Dibs, RoundTripThroughDeviceBitmapsAtEveryDepth) {
  CDC screen;
  ASSERT_TRUE(screen.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  for (int bitCount : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      const int width = 19, height = 7;  // rows with padding at every depth
      Dib probe = MakeDib(width, height, bitCount, topDown);
      CBitmap any;
      any.CreateBitmap(1, 1, 1, 32, nullptr);
      ASSERT_NE(GetDIBits(screen, any, 0, 1, nullptr, probe.Info(), DIB_RGB_COLORS), 0);
      std::vector<RGBQUAD> palette;
      if (bitCount <= 8) palette.assign(probe.Colours(), probe.Colours() + (1 << bitCount));

      Dib source = MakeDib(width, height, bitCount, topDown, palette);
      for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) Put(source, x, y, Pattern(x, y, bitCount));
      const HBITMAP bitmap = CreateDIBitmap(screen, &source.Info()->bmiHeader, CBM_INIT, source.bits.data(),
                                            source.Info(), DIB_RGB_COLORS);
      ASSERT_NE(bitmap, nullptr) << bitCount;

      Dib back = MakeDib(width, height, bitCount, topDown);
      EXPECT_EQ(GetDIBits(screen, bitmap, 0, UINT(height), back.bits.data(), back.Info(), DIB_RGB_COLORS), height);
      EXPECT_EQ(back.bits, source.bits) << bitCount << " bits, " << (topDown ? "top-down" : "bottom-up");
      DeleteObject(bitmap);
    }
  }
}

TEST(Dibs, PalettesGiveTheColours) {
  CDC screen;
  screen.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr);
  struct Case {
    int bitCount;
    std::vector<RGBQUAD> palette;
  };
  const Case cases[] = {{1, TwoColours()}, {4, GreyRamp(16)}, {8, GreyRamp(256)}, {8, GreyRamp(3)}};
  for (const Case& c : cases) {
    Dib source = MakeDib(5, 3, c.bitCount, false, c.palette);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x) Put(source, x, y, DWORD(x + y) % c.palette.size());
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.Attach(CreateDIBitmap(screen, &source.Info()->bmiHeader, CBM_INIT, source.bits.data(),
                                             source.Info(), DIB_RGB_COLORS)));
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap* old = memory.SelectObject(&bitmap);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 5; ++x)
        EXPECT_EQ(memory.GetPixel(x, y), ColourOf(c.palette[size_t(x + y) % c.palette.size()]))
            << c.bitCount << " bits at " << x << "," << y;
    memory.SelectObject(old);
  }
}

TEST(Dibs, SectionsKeepTheirBitsPaletteAndDepth) {
  for (int bitCount : {1, 4, 8, 24, 32}) {
    for (bool topDown : {false, true}) {
      const std::vector<RGBQUAD> palette = bitCount == 1 ? TwoColours() : bitCount <= 8 ? GreyRamp(1 << bitCount)
                                                                                      : std::vector<RGBQUAD>();
      Dib format = MakeDib(9, 4, bitCount, topDown, palette);
      void* bits = nullptr;
      CBitmap section;
      ASSERT_TRUE(section.Attach(CreateDIBSection(nullptr, format.Info(), DIB_RGB_COLORS, &bits, nullptr, 0)));
      ASSERT_NE(bits, nullptr);
      DIBSECTION described{};
      ASSERT_EQ(section.GetObject(sizeof described, &described), int(sizeof described));
      EXPECT_EQ(described.dsBm.bmBits, bits);
      EXPECT_EQ(described.dsBm.bmBitsPixel, bitCount);
      EXPECT_EQ(described.dsBm.bmWidthBytes, Stride(9, bitCount));
      EXPECT_EQ(described.dsBmih.biHeight, topDown ? -4 : 4);

      // Written through the bits, read through a DC.
      format.bits.assign(format.bits.size(), 0);
      for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 9; ++x) Put(format, x, y, Pattern(x, y, bitCount));
      std::memcpy(bits, format.bits.data(), format.bits.size());
      CDC memory;
      memory.CreateCompatibleDC(nullptr);
      CBitmap* old = memory.SelectObject(&section);
      ASSERT_NE(old, nullptr);
      auto expected = [&](int x, int y) {
        const DWORD v = Pattern(x, y, bitCount);
        return bitCount <= 8 ? ColourOf(palette[v]) : RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
      };
      EXPECT_EQ(memory.GetPixel(3, 1), expected(3, 1)) << bitCount;
      EXPECT_EQ(memory.GetPixel(8, 3), expected(8, 3)) << bitCount;

      // Drawn through the DC, seen in the bits: a palette colour becomes its index.
      const COLORREF paint = bitCount <= 8 ? ColourOf(palette[1]) : RGB(9, 8, 7);
      memory.FillSolidRect(0, 0, 2, 1, paint);
      Put(format, 0, 0, bitCount <= 8 ? 1 : 0x090807);
      Put(format, 1, 0, bitCount <= 8 ? 1 : 0x090807);
      EXPECT_EQ(std::memcmp(bits, format.bits.data(), format.bits.size()), 0) << bitCount << (topDown ? " top-down" : " bottom-up");

      // GetDIBits at the section's own depth gives its palette and its bits.
      memory.SelectObject(old);
      Dib back = MakeDib(9, 4, bitCount, topDown);
      EXPECT_EQ(GetDIBits(memory, section, 0, 4, back.bits.data(), back.Info(), DIB_RGB_COLORS), 4);
      EXPECT_EQ(back.bits, format.bits) << bitCount;
      for (size_t i = 0; i < palette.size(); ++i) EXPECT_EQ(ColourOf(back.Colours()[i]), ColourOf(palette[i])) << i;
    }
  }
}

// StretchDIBits shows a bottom-up and a top-down DIB of the same picture the same way, and its
// source rectangle counts from the bottom of a bottom-up DIB.
TEST(Dibs, StretchDIBitsAndSourceRectangles) {
  QImage shown[2];
  for (bool topDown : {false, true}) {
    Dib dib = MakeDib(4, 4, 24, topDown);
    const DWORD colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};  // rows: red, green, blue, yellow
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) Put(dib, x, y, colours[y]);
    TestCanvas canvas(4, 4);
    EXPECT_EQ(StretchDIBits(canvas.DC(), 0, 0, 4, 4, 0, 0, 4, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 4);
    shown[topDown] = canvas.Image();
    EXPECT_EQ(canvas.Picture(BasicLegend()), "rrrr\ngggg\nbbbb\nyyyy\n") << (topDown ? "top-down" : "bottom-up");

    // Source rows 0..1: the bottom two rows of a bottom-up DIB, the top two of a top-down one.
    TestCanvas part(2, 2);
    StretchDIBits(part.DC(), 0, 0, 2, 2, 1, 0, 2, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(part.Picture(BasicLegend()), topDown ? "rr\ngg\n" : "bb\nyy\n");

    // Doubled, and through a raster operation.
    TestCanvas big(8, 8, RGB(255, 255, 255));
    StretchDIBits(big.DC(), 0, 0, 8, 8, 0, 0, 4, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCAND);
    EXPECT_EQ(big.Picture(BasicLegend(), CRect(0, 0, 1, 8)), "r\nr\ng\ng\nb\nb\ny\ny\n");
  }
  EXPECT_EQ(shown[0], shown[1]);
}

TEST(Dibs, SetDIBitsToDeviceTakesABandOfScanLines) {
  Dib dib = MakeDib(2, 4, 24, false);
  const DWORD colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) Put(dib, x, y, colours[y]);
  // Scan lines 0 and 1 of a bottom-up DIB are its bottom rows (blue, yellow).
  TestCanvas canvas(2, 4);
  EXPECT_EQ(SetDIBitsToDevice(canvas.DC(), 0, 0, 2, 4, 0, 0, 0, 2, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 2);
  EXPECT_EQ(canvas.Picture(BasicLegend()), "  \n  \nbb\nyy\n");
  // The whole DIB at once lands as it looks.
  TestCanvas whole(2, 4);
  EXPECT_EQ(SetDIBitsToDevice(whole.DC(), 0, 0, 2, 4, 0, 0, 0, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS), 4);
  EXPECT_EQ(whole.Picture(BasicLegend()), "rr\ngg\nbb\nyy\n");
}

TEST(Dibs, UnsupportedFormatsAreRefused) {
  CDC screen;
  screen.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr);
  struct Case {
    const char* what;
    std::function<void(BITMAPINFOHEADER&)> spoil;
  };
  const Case cases[] = {
      {"compressed", [](BITMAPINFOHEADER& h) { h.biCompression = 1; }},
      {"16 bits", [](BITMAPINFOHEADER& h) { h.biBitCount = 16; }},
      {"no width", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }},
      {"no height", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }},
      {"two planes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }},
      {"short header", [](BITMAPINFOHEADER& h) { h.biSize = 12; }},
      {"absurd size", [](BITMAPINFOHEADER& h) { h.biWidth = 0x7FFFFFFF; }},
  };
  for (const Case& c : cases) {
    Dib dib = MakeDib(4, 4, 24, false);
    c.spoil(dib.Info()->bmiHeader);
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(nullptr, dib.Info(), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << c.what;
    EXPECT_EQ(bits, nullptr) << c.what;
    TestCanvas canvas(4, 4);
    EXPECT_EQ(StretchDIBits(canvas.DC(), 0, 0, 4, 4, 0, 0, 4, 4, dib.bits.data(), dib.Info(), DIB_RGB_COLORS, SRCCOPY), 0)
        << c.what;
  }
  Dib dib = MakeDib(4, 4, 24, false);
  EXPECT_EQ(CreateDIBSection(nullptr, dib.Info(), DIB_PAL_COLORS, nullptr, nullptr, 0), nullptr);
}

TEST(Dibs, HeaderQueriesGiveSizesAndStrides) {
  CBitmap mono;
  mono.CreateBitmap(33, 2, 1, 1, nullptr);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  EXPECT_EQ(GetDIBits(nullptr, mono, 0, 0, nullptr, &info, DIB_RGB_COLORS), 2);
  EXPECT_EQ(info.bmiHeader.biWidth, 33);
  EXPECT_EQ(info.bmiHeader.biHeight, 2);
  EXPECT_EQ(info.bmiHeader.biBitCount, 1);
  EXPECT_EQ(info.bmiHeader.biSizeImage, 16u);  // 33 pixels take two 32-bit words
  BITMAP described{};
  mono.GetBitmap(&described);
  EXPECT_EQ(described.bmWidthBytes, 6);  // device rows are whole 16-bit words

  // Bitmap bits of a colour bitmap: blue, green, red, unused.
  CBitmap colour;
  const BYTE pixel[8] = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0};
  ASSERT_TRUE(colour.CreateBitmap(2, 1, 1, 32, pixel));
  BYTE back[8] = {};
  EXPECT_EQ(colour.GetBitmapBits(8, back), 8u);
  EXPECT_EQ(std::memcmp(back, pixel, 8), 0);
  const BYTE changed[4] = {1, 2, 3, 0};
  EXPECT_EQ(colour.SetBitmapBits(4, changed), 4u);
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap* old = memory.SelectObject(&colour);
  EXPECT_EQ(memory.GetPixel(0, 0), RGB(3, 2, 1));
  EXPECT_EQ(memory.GetPixel(1, 0), RGB(0x60, 0x50, 0x40));
  memory.SelectObject(old);
}
