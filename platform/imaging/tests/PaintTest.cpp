// Bitmaps of the store on device contexts: paint modes when pages are shown small, source parts,
// raster operations, printing, palettes, device-dependent bitmaps and a DC that draws into a bitmap.

#include "platform/gdi/CDCSurface.h"
#include "platform/gdi/gdi.h"
#include "platform/imaging/Paint.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>

#include <memory>

using namespace imaging;
using namespace imaging::test;

namespace {

// A DC on an image of its own, which the test reads afterwards.
class Canvas {
public:
  Canvas(int width, int height) : m_surface(std::make_shared<CImageSurface>(width, height)), m_dc(CreateDCForSurface(m_surface)) {
    PatBlt(m_dc, 0, 0, width, height, WHITENESS);
  }
  ~Canvas() { DeleteDC(m_dc); }
  HDC Dc() const { return m_dc; }
  const QImage& Image() const { return m_surface->Image(); }
  int Grey(int x, int y) const { return qGray(Image().pixel(x, y)); }
  COLORREF Color(int x, int y) const {
    const QRgb p = Image().pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
  }

private:
  std::shared_ptr<CImageSurface> m_surface;
  HDC m_dc;
};

// An 800 x 800 white page (white as entry 0) with one-pixel black lines at row 401 and column 203.
bool LinePage(Bitmap& page, int perspective) {
  const RGBQUAD entries[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  if (!Create(page, 800, 800, 1, kOrderBgr, entries, perspective)) return false;
  for (int i = 0; i < 800; ++i) {
    SetPixelColor(page, 401, i, kPaletteIndexFlag | 1);
    SetPixelColor(page, i, 203, kPaletteIndexFlag | 1);
  }
  return true;
}

TEST(Paint, ModesWhenAPageIsShownSmall) {
  struct Case {
    UINT flags;
    int line;  // the grey level of the lines at 1/8
  };
  // One dark pixel in each 8 x 8 block: 1/8 of the block is black.
  const Case cases[] = {{kPaintScaleToGray, 255 - 255 / 8}, {kPaintFavorBlack, 0}, {kPaintDefault, 0}};
  for (const Case& c : cases) {
    for (int perspective : {kTopLeft, kBottomLeft}) {
      Bitmap page;
      ASSERT_TRUE(LinePage(page, perspective));
      Canvas canvas(120, 120);
      ASSERT_TRUE(Paint(canvas.Dc(), page, RECT{0, 0, 800, 800}, RECT{10, 20, 110, 120}, c.flags, SRCCOPY));
      for (int x = 0; x < 100; ++x) {
        if (x == 203 / 8) continue;
        ASSERT_NEAR(c.line, canvas.Grey(10 + x, 20 + 401 / 8), 1) << c.flags << " at " << x;
        ASSERT_EQ(255, canvas.Grey(10 + x, 20 + 401 / 8 + 1)) << c.flags << " at " << x;
      }
      for (int y = 0; y < 100; ++y) {
        if (y != 401 / 8) {
          ASSERT_NEAR(c.line, canvas.Grey(10 + 203 / 8, 20 + y), 1) << c.flags << " at " << y;
        }
      }
      EXPECT_EQ(255, canvas.Grey(9, 19)) << "outside the destination";
      if (c.flags == kPaintScaleToGray && perspective == kTopLeft) {
        EXPECT_TRUE(canvas.Image().save(QString::fromStdString(ArtifactPath("paint-scale-to-gray.png"))));
      }
    }
  }
}

TEST(Paint, PartsAndEnlargementsShowThePixels) {
  for (int perspective : {kTopLeft, kBottomLeft}) {
    for (int order : {kOrderBgr, kOrderRgb}) {
      for (int depth : {4, 8, 24}) {
        Bitmap bitmap;
        ASSERT_TRUE(BitmapOf(Pattern(40, 30), depth, bitmap, perspective));
        if (order == kOrderRgb && depth == 24) {
          for (int y = 0; y < bitmap.height; ++y) {
            BYTE* row = bitmap.bits + static_cast<size_t>(y) * bitmap.bytesPerLine;
            for (int x = 0; x < bitmap.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
          }
          bitmap.order = kOrderRgb;
        }
        const Picture picture = PictureOf(bitmap);
        Canvas canvas(100, 100);
        // Columns 5..24 and rows 3..17 at twice their size.
        ASSERT_TRUE(Paint(canvas.Dc(), bitmap, RECT{5, 3, 25, 18}, RECT{50, 60, 90, 90}, kPaintDefault, SRCCOPY));
        for (int y = 0; y < 30; ++y) {
          for (int x = 0; x < 40; ++x) {
            const BYTE* p = picture.At(5 + x / 2, 3 + y / 2);
            ASSERT_EQ(RGB(p[0], p[1], p[2]), canvas.Color(50 + x, 60 + y))
                << x << "," << y << " depth " << depth << " perspective " << perspective << " order " << order;
          }
        }
      }
    }
  }
}

TEST(Paint, RasterOperationsAndCutSources) {
  // A mask: black left half, white right half.
  Bitmap mask;
  ASSERT_TRUE(Create(mask, 20, 10, 1));
  ASSERT_TRUE(Fill(mask, RGB(255, 255, 255)));
  for (int y = 0; y < 10; ++y) {
    for (int x = 0; x < 10; ++x) SetPixelColor(mask, y, x, RGB(0, 0, 0));
  }
  Canvas canvas(40, 20);
  PatBlt(canvas.Dc(), 0, 0, 40, 20, BLACKNESS);
  PatBlt(canvas.Dc(), 0, 0, 40, 10, WHITENESS);
  // AND keeps white only where both are white; OR makes white wherever either is.
  ASSERT_TRUE(Paint(canvas.Dc(), mask, RECT{0, 0, 20, 10}, RECT{0, 0, 20, 10}, kPaintDefault, SRCAND));
  ASSERT_TRUE(Paint(canvas.Dc(), mask, RECT{0, 0, 20, 10}, RECT{0, 10, 20, 20}, kPaintDefault, SRCPAINT));
  EXPECT_EQ(0, canvas.Grey(5, 5));
  EXPECT_EQ(255, canvas.Grey(15, 5));
  EXPECT_EQ(0, canvas.Grey(5, 15));
  EXPECT_EQ(255, canvas.Grey(15, 15));
  // A source reaching left of the bitmap: its first 10 columns are cut, and the destination's.
  ASSERT_TRUE(Paint(canvas.Dc(), mask, RECT{-10, 0, 10, 10}, RECT{20, 0, 40, 10}, kPaintDefault, SRCCOPY));
  EXPECT_EQ(255, canvas.Grey(25, 5));
  EXPECT_EQ(0, canvas.Grey(35, 5));
  EXPECT_FALSE(Paint(canvas.Dc(), mask, RECT{30, 0, 40, 10}, RECT{0, 0, 10, 10}, kPaintDefault, SRCCOPY));
  Bitmap empty;
  EXPECT_FALSE(Paint(canvas.Dc(), empty, RECT{0, 0, 1, 1}, RECT{0, 0, 1, 1}, kPaintDefault, SRCCOPY));
  EXPECT_FALSE(Paint(nullptr, mask, RECT{0, 0, 1, 1}, RECT{0, 0, 1, 1}, kPaintDefault, SRCCOPY));
}

TEST(Paint, PrintStretchesTheWholeBitmap) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(40, 30), 24, bitmap));
  const Picture picture = PictureOf(bitmap);
  Canvas canvas(200, 200);
  ASSERT_TRUE(Print(canvas.Dc(), bitmap, 10, 20, 120, 90));
  for (int y = 0; y < 90; y += 7) {
    for (int x = 0; x < 120; x += 5) {
      const BYTE* p = picture.At(x / 3, y / 3);
      ASSERT_EQ(RGB(p[0], p[1], p[2]), canvas.Color(10 + x, 20 + y)) << x << "," << y;
    }
  }
  EXPECT_EQ(255, canvas.Grey(5, 5));
}

TEST(Paint, PaletteAndDeviceBitmap) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(13, 9), 8, bitmap, kBottomLeft));
  HPALETTE palette = MakePalette(nullptr, bitmap);
  ASSERT_NE(nullptr, palette);
  PALETTEENTRY entries[256];
  ASSERT_EQ(256u, GetPaletteEntries(palette, 0, 256, entries));
  EXPECT_EQ(77, entries[77].peGreen);
  DeleteObject(palette);
  Bitmap colour;
  ASSERT_TRUE(Create(colour, 2, 2, 24));
  EXPECT_EQ(nullptr, MakePalette(nullptr, colour));

  Canvas canvas(20, 20);
  HBITMAP ddb = MakeDDB(canvas.Dc(), bitmap);
  ASSERT_NE(nullptr, ddb);
  HDC memory = CreateCompatibleDC(canvas.Dc());
  HGDIOBJ old = SelectObject(memory, ddb);
  ASSERT_TRUE(BitBlt(canvas.Dc(), 0, 0, 13, 9, memory, 0, 0, SRCCOPY));
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteObject(ddb);
  const Picture picture = PictureOf(bitmap);
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 13; ++x) ASSERT_EQ(picture.At(x, y)[0], canvas.Grey(x, y)) << x << "," << y;
  }
}

TEST(Paint, DrawingIntoABitmap) {
  for (int depth : {1, 8, 24}) {
    Bitmap bitmap;
    ASSERT_TRUE(Create(bitmap, 30, 20, depth, kOrderBgr, nullptr, kBottomLeft));
    ASSERT_TRUE(Fill(bitmap, RGB(255, 255, 255)));
    HDC dc = OpenDC(bitmap);
    ASSERT_NE(nullptr, dc);
    ASSERT_TRUE(PatBlt(dc, 5, 2, 10, 4, BLACKNESS));
    DeleteDC(dc);
    // Drawn in view coordinates: rows 2..5 from the top.
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 30; ++x) {
        const bool black = x >= 5 && x < 15 && y >= 2 && y < 6;
        const COLORREF c = GetPixelColor(bitmap, y, x);
        const COLORREF shown = (c & kPaletteIndexFlag) ? RGB(bitmap.palette[c & 0xFF].rgbRed, bitmap.palette[c & 0xFF].rgbGreen,
                                                            bitmap.palette[c & 0xFF].rgbBlue)
                                                        : c;
        ASSERT_EQ(black ? RGB(0, 0, 0) : RGB(255, 255, 255), shown) << depth << " bits at " << x << "," << y;
      }
    }
  }
  Bitmap empty;
  EXPECT_EQ(nullptr, OpenDC(empty));
}

}  // namespace
