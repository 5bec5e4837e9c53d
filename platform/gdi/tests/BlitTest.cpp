// Blits between colour and monochrome, pattern brushes, and the stretch modes.

#include "GdiTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A monochrome bitmap from rows of '#' (black, bit 0) and '.' (white, bit 1).
void MakeMono(CBitmap& bitmap, const std::vector<std::string>& rows) {
  const int width = int(rows[0].size());
  const int stride = ((width + 15) / 16) * 2;
  std::vector<BYTE> bits(size_t(stride) * rows.size(), 0);
  for (size_t y = 0; y < rows.size(); ++y)
    for (int x = 0; x < width; ++x)
      if (rows[y][size_t(x)] == '.') bits[y * stride + size_t(x) / 8] |= BYTE(0x80 >> (x % 8));
  ASSERT_TRUE(bitmap.CreateBitmap(width, int(rows.size()), 1, 1, bits.data()));
}

}  // namespace

TEST(Blits, MonochromeIntoColourTakesTextAndBackgroundColours) {
  CBitmap mono;
  MakeMono(mono, {"#.#.", "..##"});
  CDC source;
  source.CreateCompatibleDC(nullptr);
  CBitmap* old = source.SelectObject(&mono);
  ASSERT_NE(old, nullptr);

  TestCanvas canvas(4, 2);
  canvas.DC().SetTextColor(RGB(255, 0, 0));
  canvas.DC().SetBkColor(RGB(0, 0, 255));
  EXPECT_TRUE(canvas.DC().BitBlt(0, 0, 4, 2, &source, 0, 0, SRCCOPY));
  EXPECT_EQ(canvas.Picture(BasicLegend()), "rbrb\nbbrr\n");

  // The icon idiom: AND with a mask (white = keep), then OR in the picture.
  TestCanvas icon(4, 2, RGB(0, 255, 0));
  icon.DC().SetTextColor(RGB(0, 0, 0));
  icon.DC().SetBkColor(RGB(255, 255, 255));
  icon.DC().BitBlt(0, 0, 4, 2, &source, 0, 0, SRCAND);
  EXPECT_EQ(icon.Picture(BasicLegend()), "#g#g\ngg##\n");
  source.SelectObject(old);
}

TEST(Blits, ColourIntoMonochromeComparesWithTheSourceBackground) {
  TestCanvas colour(4, 1);
  colour.DC().SetPixel(0, 0, RGB(10, 20, 30));
  colour.DC().SetPixel(1, 0, RGB(255, 255, 255));
  colour.DC().SetPixel(2, 0, RGB(10, 20, 30));
  colour.DC().SetPixel(3, 0, RGB(0, 0, 0));
  colour.DC().SetBkColor(RGB(10, 20, 30));  // this colour becomes white

  TestCanvas mono(4, 1, RGB(0, 0, 0), true);
  EXPECT_TRUE(mono.DC().BitBlt(0, 0, 4, 1, &colour.DC(), 0, 0, SRCCOPY));
  EXPECT_EQ(mono.Picture(BasicLegend()), ".#.#\n");
  BITMAP info{};
  ASSERT_EQ(mono.Bitmap().GetBitmap(&info), int(sizeof(BITMAP)));
  EXPECT_EQ(info.bmBitsPixel, 1);
  BYTE bits[2] = {};
  EXPECT_EQ(mono.Bitmap().GetBitmapBits(2, bits), 2u);
  EXPECT_EQ(bits[0], 0xA0);  // 1010 in the top bits: white, black, white, black
}

TEST(Blits, DrawingOnMonochromeGivesBlackOrWhite) {
  TestCanvas mono(3, 1, RGB(0, 0, 0), true);
  CDC& dc = mono.DC();
  EXPECT_EQ(dc.SetPixel(0, 0, RGB(200, 200, 200)), RGB(255, 255, 255));
  EXPECT_EQ(dc.SetPixel(1, 0, RGB(100, 100, 100)), RGB(0, 0, 0));
  dc.FillSolidRect(2, 0, 1, 1, RGB(250, 240, 10));
  EXPECT_EQ(dc.GetPixel(2, 0), RGB(255, 255, 255));
  EXPECT_EQ(dc.GetDeviceCaps(BITSPIXEL), 32);  // a memory DC answers for its screen

  // A fresh memory DC holds a 1x1 monochrome bitmap, so bitmaps made for it are monochrome.
  CDC memory;
  memory.CreateCompatibleDC(nullptr);
  CBitmap compatible;
  ASSERT_TRUE(compatible.CreateCompatibleBitmap(&memory, 5, 5));
  BITMAP info{};
  compatible.GetBitmap(&info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmWidthBytes, 2);
  CBitmap colour;
  ASSERT_TRUE(colour.CreateCompatibleBitmap(&mono.DC(), 5, 5));  // mono.DC() draws on monochrome
  colour.GetBitmap(&info);
  EXPECT_EQ(info.bmBitsPixel, 1);
  CDC screen;
  ASSERT_TRUE(screen.CreateDC(u"DISPLAY", nullptr, nullptr, nullptr));
  CBitmap screenBitmap;
  ASSERT_TRUE(screenBitmap.CreateCompatibleBitmap(&screen, 5, 5));
  screenBitmap.GetBitmap(&info);
  EXPECT_EQ(info.bmBitsPixel, 32);
  EXPECT_EQ(info.bmWidthBytes, 20);
}

TEST(Blits, PatternBrushesFromMonochromeBitmaps) {
  // The checkerboard of rows 0x55 and 0xAA, used for region overlays and divider bars.
  const WORD rows[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  CBitmap checker;
  ASSERT_TRUE(checker.CreateBitmap(8, 8, 1, 1, rows));
  CBrush brush;
  ASSERT_TRUE(brush.CreatePatternBrush(&checker));

  // Masked in (R2_MASKPEN): black bits darken, the others take the background colour's bits.
  TestCanvas canvas(6, 2, RGB(255, 255, 255));
  CDC& dc = canvas.DC();
  dc.SetTextColor(RGB(0, 0, 0));
  dc.SetBkColor(RGB(0, 255, 255));
  dc.SelectObject(&brush);
  dc.SelectStockObject(NULL_PEN);
  dc.SetROP2(R2_MASKPEN);
  dc.Rectangle(0, 0, 7, 3);
  // Row 0 is 0x55 = 01010101 from the left: black where the bit is 0.
  EXPECT_EQ(canvas.Picture(BasicLegend()), "#c#c#c\nc#c#c#\n");

  // Inverted with PATINVERT twice: back to where it was.
  TestCanvas bar(8, 4, RGB(10, 200, 30));
  const QImage before = bar.Image();
  bar.DC().SetTextColor(RGB(0, 0, 0));
  bar.DC().SetBkColor(RGB(255, 255, 255));
  bar.DC().SelectObject(&brush);
  bar.DC().PatBlt(2, 0, 4, 4, PATINVERT);
  EXPECT_NE(bar.Image(), before);
  bar.DC().PatBlt(2, 0, 4, 4, PATINVERT);
  EXPECT_EQ(bar.Image(), before);

  // The brush copied the bitmap: deleting the bitmap leaves the brush working.
  checker.DeleteObject();
  TestCanvas again(2, 1, RGB(255, 255, 255));
  again.DC().SetBkColor(RGB(255, 0, 0));
  again.DC().FillRect(CRect(0, 0, 2, 1), &brush);
  EXPECT_EQ(again.Picture(BasicLegend()), "#r\n");
}

TEST(Blits, HatchedBrushesHonourTheBackgroundMode) {
  CBrush hatch(HS_CROSS, RGB(0, 0, 255));
  for (int mode : {OPAQUE, TRANSPARENT}) {
    TestCanvas canvas(8, 8);
    CDC& dc = canvas.DC();
    dc.SetBkColor(RGB(255, 255, 0));
    dc.SetBkMode(mode);
    dc.SelectObject(&hatch);
    dc.SelectStockObject(NULL_PEN);
    dc.Rectangle(0, 0, 9, 9);
    const std::string picture = canvas.Picture(BasicLegend());
    EXPECT_NE(picture.find('b'), std::string::npos) << picture;
    EXPECT_EQ(picture.find(mode == OPAQUE ? ' ' : 'y'), std::string::npos) << "mode " << mode << "\n" << picture;
  }
}

TEST(Blits, StretchModesWhenReducing) {
  // Four source pixels become two: each destination pixel stands for a pair.
  struct Case {
    int mode;
    COLORREF left, right;
  };
  const Case cases[] = {
      {BLACKONWHITE, RGB(0, 0, 0), RGB(0, 0, 0)},          // AND keeps the black
      {WHITEONBLACK, RGB(255, 255, 255), RGB(255, 255, 255)},  // OR keeps the white
      {COLORONCOLOR, RGB(0, 0, 0), RGB(255, 255, 255)},    // the first of each pair
      {HALFTONE, RGB(128, 128, 128), RGB(128, 128, 128)},  // the average
  };
  TestCanvas source(4, 1);
  const COLORREF row[4] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(255, 255, 255), RGB(0, 0, 0)};
  for (int x = 0; x < 4; ++x) source.DC().SetPixel(x, 0, row[x]);
  for (const Case& c : cases) {
    TestCanvas target(2, 1, RGB(1, 2, 3));
    EXPECT_EQ(target.DC().SetStretchBltMode(c.mode), BLACKONWHITE);
    EXPECT_TRUE(target.DC().StretchBlt(0, 0, 2, 1, &source.DC(), 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(target.DC().GetPixel(0, 0), c.left) << "mode " << c.mode;
    EXPECT_EQ(target.DC().GetPixel(1, 0), c.right) << "mode " << c.mode;
  }
  EXPECT_EQ(source.DC().SetStretchBltMode(7), 0);
}

TEST(Blits, StretchEnlargesByRepeatingAndMirrorsOnNegativeWidths) {
  TestCanvas source(2, 2);
  source.DC().SetPixel(0, 0, RGB(255, 0, 0));
  source.DC().SetPixel(1, 0, RGB(0, 255, 0));
  source.DC().SetPixel(0, 1, RGB(0, 0, 255));
  source.DC().SetPixel(1, 1, RGB(255, 255, 0));
  for (int mode : {BLACKONWHITE, WHITEONBLACK, COLORONCOLOR, HALFTONE}) {
    TestCanvas target(4, 4);
    target.DC().SetStretchBltMode(mode);
    target.DC().StretchBlt(0, 0, 4, 4, &source.DC(), 0, 0, 2, 2, SRCCOPY);
    EXPECT_EQ(target.Picture(BasicLegend()), "rrgg\nrrgg\nbbyy\nbbyy\n") << "mode " << mode;
  }
  TestCanvas mirrored(2, 2);
  mirrored.DC().StretchBlt(2, 0, -2, 2, &source.DC(), 0, 0, 2, 2, SRCCOPY);
  EXPECT_EQ(mirrored.Picture(BasicLegend()), "gr\nyb\n");
}

// Halftone reduction of a monochrome page gives grey levels: the scale-to-grey view.
TEST(Blits, HalftoneOfMonochromeGivesGrey) {
  CBitmap page;
  MakeMono(page, {"##..", "#...", "....", "...."});
  CDC source;
  source.CreateCompatibleDC(nullptr);
  CBitmap* old = source.SelectObject(&page);
  TestCanvas target(2, 2);
  target.DC().SetTextColor(RGB(0, 0, 0));
  target.DC().SetBkColor(RGB(255, 255, 255));
  target.DC().SetStretchBltMode(HALFTONE);
  target.DC().StretchBlt(0, 0, 2, 2, &source, 0, 0, 4, 4, SRCCOPY);
  EXPECT_EQ(target.DC().GetPixel(0, 0), RGB(64, 64, 64));  // three of four black
  EXPECT_EQ(target.DC().GetPixel(1, 0), RGB(255, 255, 255));
  source.SelectObject(old);
}

TEST(Blits, OverlappingBlitWithinOneBitmapMovesAsAWhole) {
  TestCanvas canvas(6, 1);
  const COLORREF colours[4] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(255, 255, 0)};
  for (int x = 0; x < 4; ++x) canvas.DC().SetPixel(x, 0, colours[x]);
  EXPECT_TRUE(canvas.DC().BitBlt(2, 0, 4, 1, &canvas.DC(), 0, 0, SRCCOPY));
  EXPECT_EQ(canvas.Picture(BasicLegend()), "rgrgby\n");
}

TEST(Blits, SourcePixelsOutsideTheSourceLeaveTheDestinationAlone) {
  TestCanvas source(2, 2, RGB(255, 0, 0));
  TestCanvas target(4, 4);
  EXPECT_TRUE(target.DC().BitBlt(0, 0, 4, 4, &source.DC(), -1, -1, SRCCOPY));
  EXPECT_EQ(target.Picture(BasicLegend()), "    \n rr \n rr \n    \n");
}

TEST(Blits, ABitmapLivesInOneMemoryDCAtATime) {
  CBitmap bitmap;
  bitmap.CreateBitmap(4, 4, 1, 32, nullptr);
  CDC first, second;
  first.CreateCompatibleDC(nullptr);
  second.CreateCompatibleDC(nullptr);
  CBitmap* old = first.SelectObject(&bitmap);
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(second.SelectObject(&bitmap), nullptr);
  EXPECT_FALSE(::DeleteObject(bitmap));  // still selected
  first.SelectObject(old);
  EXPECT_NE(second.SelectObject(&bitmap), nullptr);
  second.DeleteDC();  // deleting the DC lets go of the bitmap
  EXPECT_NE(first.SelectObject(&bitmap), nullptr);
  first.SelectObject(old);
  EXPECT_TRUE(bitmap.DeleteObject());
}
