#include "foundation/imaging/CQVAIP.h"
#include "foundation/imaging/CQVBitmapHandle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kPage = RGB(200, 200, 200);

// A light page (level 200) of pageW x pageH, turned by `degrees` clockwise, on a black scanner
// background of width x height, drawn pixel by pixel at 8 bits grey.
void DrawPage(CQVBitmapHandle& bitmap, int width, int height, int pageW, int pageH, double degrees) {
  ASSERT_TRUE(bitmap.Create(width, height, 24));
  const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
  const double cx = width / 2.0, cy = height / 2.0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // Turn the pixel back by the page's angle and test it against the upright page.
      const double u = (x - cx) * c + (y - cy) * s, v = -(x - cx) * s + (y - cy) * c;
      const bool onPage = std::abs(u) < pageW / 2.0 && std::abs(v) < pageH / 2.0;
      bitmap.SetPixelColor(x, y, onPage ? kPage : kBlack);
    }
  }
}

}  // namespace

TEST(CQVAIP, DeskewMeasuresAndTurnsBack) {
  struct Case {
    double degrees;  // clockwise
    int expectedMin, expectedMax;  // the measured angle, hundredths of a degree, in magnitude
    bool turned;
  };
  // A page turned clockwise is measured along its left edge (near a quarter turn), one turned
  // the other way along its top edge; both are turned back, and small skews of either kind are not.
  const Case cases[] = {{5.0, 8430, 8570, true}, {-5.0, 430, 570, true}, {2.0, 0, 0, false},
                        {-2.0, 0, 0, false},     {0.0, 0, 0, false}};
  for (const Case& c : cases) {
    CQVBitmapHandle page;
    DrawPage(page, 600, 800, 500, 700, c.degrees);
    CQVBitmapHandle before;
    ASSERT_TRUE(before.Create(page));
    int angle = 12345;
    ASSERT_TRUE(CQVAIP::Deskew(page, angle)) << c.degrees;
    EXPECT_GE(std::abs(angle), c.expectedMin) << c.degrees;
    EXPECT_LE(std::abs(angle), c.expectedMax) << c.degrees;
    EXPECT_EQ(page.GetWidth(), 600) << "the page keeps its size";
    COLORREF left = 0, right = 0;
    page.GetPixelColor(75, 70, left);
    page.GetPixelColor(525, 70, right);
    if (c.turned) {
      // Turned back, the page's top edge runs level: the same row is page at both ends.
      EXPECT_TRUE(GetRValue(left) > 100 && GetRValue(right) > 100) << c.degrees;
    } else {
      COLORREF unchanged = 0;
      before.GetPixelColor(75, 70, unchanged);
      EXPECT_EQ(left, unchanged) << c.degrees << ": a small skew is left alone";
    }
  }

  CQVBitmapHandle dark;
  DrawPage(dark, 300, 300, 100, 100, 5.0);  // mostly black: no dominant bright level
  int angle = 7;
  EXPECT_FALSE(CQVAIP::Deskew(dark, angle));
  EXPECT_EQ(angle, 7);
}

TEST(CQVAIP, AutoCropCutsTheDarkBackground) {
  CQVBitmapHandle page;
  DrawPage(page, 300, 400, 200, 300, 0);  // page from x 50 to 250, y 50 to 350
  ASSERT_TRUE(CQVAIP::AutoCrop(page));
  EXPECT_NEAR(page.GetWidth(), 200, 2);
  EXPECT_NEAR(page.GetHeight(), 300, 2);
  COLORREF corner = 0;
  page.GetPixelColor(1, 1, corner);
  EXPECT_GT(GetRValue(corner), 100) << "no background left in the corner";

  // A page that is bright up to its top row is not cropped.
  CQVBitmapHandle full;
  DrawPage(full, 100, 100, 400, 400, 0);
  EXPECT_FALSE(CQVAIP::AutoCrop(full));
  EXPECT_EQ(full.GetWidth(), 100);
}

TEST(CQVAIP, BlankPages) {
  struct Case {
    const char* what;
    int bitsPerPixel;
    int specks;  // dark pixels on a white 100 x 100 page
    BOOL blank;
  };
  const Case cases[] = {
      {"white grey page", 8, 0, TRUE},
      {"specks under five percent", 8, 300, TRUE},
      {"text over five percent", 8, 700, FALSE},
      {"white colour page", 24, 0, TRUE},
      {"1-bit pages are never blank", 1, 0, FALSE},
  };
  for (const Case& c : cases) {
    CQVBitmapHandle page;
    ASSERT_TRUE(page.Create(100, 100, 24));
    for (int y = 0; y < 100; ++y)
      for (int x = 0; x < 100; ++x) page.SetPixelColor(x, y, RGB(255, 255, 255));
    for (int i = 0; i < c.specks; ++i) page.SetPixelColor(10 + i % 80, 10 + i / 80, kBlack);
    if (c.bitsPerPixel == 8) {
      ASSERT_TRUE(page.GrayScale());
    } else if (c.bitsPerPixel == 1) {
      ASSERT_TRUE(page.BinaryBitmap());
    }
    BOOL blank = !c.blank;
    EXPECT_TRUE(CQVAIP::IsBlankImage(page, blank)) << c.what;
    EXPECT_EQ(blank, c.blank) << c.what;
  }

  CQVBitmapHandle page;
  ASSERT_TRUE(page.Create(10, 10, 8));
  CQVAIP::BID_PARAM wide;
  wide.margin = 0.5;  // nothing left to examine
  BOOL blank = TRUE;
  EXPECT_FALSE(CQVAIP::IsBlankImage(page, blank, &wide));
  EXPECT_FALSE(blank);
}

TEST(CQVAIP, ScaleToGraySmoothsInPlaceOrInACopy) {
  CQVBitmapHandle page;
  ASSERT_TRUE(page.Create(20, 20, 24));
  page.SetPixelColor(10, 10, RGB(255, 255, 255));
  std::unique_ptr<CQVBitmapHandle> copy(CQVAIP::ScaleToGray(page, true));
  ASSERT_TRUE(copy);
  EXPECT_NE(copy.get(), &page);
  EXPECT_EQ(page.GetBitsPerPixel(), 24) << "the source stays as it was";
  EXPECT_EQ(copy->GetBitsPerPixel(), 8);
  COLORREF centre = 0, neighbour = 0;
  copy->GetPixelColor(10, 10, centre);
  copy->GetPixelColor(11, 10, neighbour);
  EXPECT_EQ(GetRValue(centre), 255 * 8 / 20);
  EXPECT_EQ(GetRValue(neighbour), 255 * 2 / 20);

  EXPECT_EQ(CQVAIP::ScaleToGray(page, false), &page);
  EXPECT_EQ(page.GetBitsPerPixel(), 8);
}
