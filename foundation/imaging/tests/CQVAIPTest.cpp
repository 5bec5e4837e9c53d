#include "foundation/imaging/CQVAIP.h"
#include "foundation/imaging/CQVBitmapHandle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

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


constexpr BYTE kPageLevel = 200;
constexpr BYTE kInkLevel = 40;

// Pixels of `row` from `left` to `right` (in pixel widths from the row's start) take `level`;
// the two end pixels in proportion to how much of them the span covers, as a scanner blurs an edge.
void PaintSpan(BYTE* row, int width, double left, double right, BYTE level) {
  left = std::max(left, 0.0);
  right = std::min(right, double(width));
  if (left >= right) return;
  const int first = int(left), last = int(std::ceil(right)) - 1;
  const auto blend = [&](int x) {
    const double cover = std::min(x + 1.0, right) - std::max(double(x), left);
    row[x] = BYTE(std::lround(row[x] + (level - row[x]) * cover));
  };
  blend(first);
  if (last > first + 1) std::fill(row + first + 1, row + last, level);
  if (last > first) blend(last);
}

// A scan of width x height at 8 bits grey: a light page of 82 % of the scan's width and height,
// centred and turned by `degrees` clockwise, on black; with text, lines of dark words across it.
// Drawn row by row as spans, so that pages of 600 dpi take no longer than a moment.
void DrawScan(CQVBitmapHandle& bitmap, int width, int height, double degrees, bool text) {
  ASSERT_TRUE(bitmap.Create(width, height, 8));
  const double a = degrees * M_PI / 180, c = std::cos(a), s = std::sin(a);
  const double cx = width / 2.0, cy = height / 2.0, pageW = width * 0.82, pageH = height * 0.82;
  // Rectangles in page coordinates (u to the right, v down, from the page's centre), with their level.
  struct Box {
    double u0, u1, v0, v1;
    BYTE level;
  };
  std::vector<Box> boxes {{-pageW / 2, pageW / 2, -pageH / 2, pageH / 2, kPageLevel}};
  if (text) {
    const double words[] = {0.07, 0.12, 0.05, 0.09, 0.15, 0.06, 0.1};
    int word = 0;
    for (int line = 0; line < 32; ++line) {
      const double v0 = pageH * (-0.42 + line * 0.026), v1 = v0 + pageH * 0.009;
      const double end = pageW * (line % 6 == 5 ? 0.0 : 0.4);  // the last line of a paragraph is short
      for (double u = -pageW * 0.4; u < end; ++word) {
        const double u1 = std::min(u + pageW * words[word % 7], end);
        boxes.push_back({u, u1, v0, v1, kInkLevel});
        u = u1 + pageW * 0.015;
      }
    }
  }
  BYTE* bits = bitmap.Access();
  ASSERT_NE(bits, nullptr);
  const int stride = bitmap.GetBytesPerLine();
  for (int y = 0; y < height; ++y) {
    BYTE* row = bits + size_t(y) * stride;
    const double dy = y + 0.5 - cy;
    for (const Box& b : boxes) {
      // The points (dx, dy) of this row with u = dx c + dy s and v = -dx s + dy c inside the box.
      double left = (b.u0 - dy * s) / c, right = (b.u1 - dy * s) / c;
      if (s != 0) {
        const double e0 = (dy * c - b.v1) / s, e1 = (dy * c - b.v0) / s;
        left = std::max(left, std::min(e0, e1));
        right = std::min(right, std::max(e0, e1));
      } else if (dy < b.v0 || dy > b.v1) {
        continue;
      }
      PaintSpan(row, width, cx + left, cx + right, b.level);
    }
  }
  bitmap.Release();
}

// A fingerprint of the pixels, to tell a page left alone without a copy of it.
size_t Fingerprint(CQVBitmapHandle& bitmap) {
  const BYTE* bits = bitmap.Access();
  const size_t fingerprint = std::hash<std::string_view>()(
      std::string_view(reinterpret_cast<const char*>(bits), size_t(bitmap.GetBytesPerLine()) * bitmap.GetHeight()));
  bitmap.Release();
  return fingerprint;
}

// The clockwise tilt in degrees of a least-squares line through points (along, across) of a side.
double LineTilt(const std::vector<std::pair<double, double>>& points) {
  double sa = 0, sc = 0, saa = 0, sac = 0;
  for (const auto& [along, across] : points) sa += along, sc += across, saa += along * along, sac += along * across;
  const double n = double(points.size());
  return std::atan((sac - sa * sc / n) / (saa - sa * sa / n)) * 180 / M_PI;
}

// The tilts of a page's left and top sides, from the middle half of each: where a dark pixel is
// first followed by a bright one, coming from the left or from the top (the corners that a turn
// uncovers may be bright).
struct Tilt {
  double leftSide, topSide;
};

Tilt MeasureTilt(CQVBitmapHandle& bitmap) {
  const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
  const BYTE* bits = bitmap.Access();
  const int stride = bitmap.GetBytesPerLine();
  const auto at = [&](int x, int y) { return bits[size_t(y) * stride + x]; };
  const auto firstEdge = [](int count, const auto& value) {
    int i = 0;
    while (i < count && value(i) > 100) ++i;
    while (i < count && value(i) <= 100) ++i;
    return i;
  };
  std::vector<std::pair<double, double>> left, top;
  for (int y = int(height * 0.3); y < int(height * 0.7); ++y)
    left.emplace_back(y, firstEdge(width, [&](int x) { return at(x, y); }));
  for (int x = int(width * 0.3); x < int(width * 0.7); ++x)
    top.emplace_back(x, firstEdge(height, [&](int y) { return at(x, y); }));
  bitmap.Release();
  // The left side leans left going down when the page is turned clockwise; the top side drops.
  return {-LineTilt(left), LineTilt(top)};
}

}  // namespace

// Deskew on pages as a scanner gives them, from today's small test pages to A4 and Letter at
// 600 dpi (where the work copy is reduced most), plain and with text. One test per page size and
// kind, so that they run side by side.
struct ScanSize {
  const char* name;
  int width, height;
};

void PrintTo(const ScanSize& size, std::ostream* out) { *out << size.name; }

class DeskewScans : public ::testing::TestWithParam<std::tuple<ScanSize, bool>> {};

TEST_P(DeskewScans, MeasuresAndTurnsBackLevel) {
  const auto [size, text] = GetParam();
  // Clockwise degrees. Turns inside the 3-degree limit (2.9 and 2 either way) are left alone.
  const double skews[] = {-5, -3.1, -2.9, -2, 0, 2, 2.9, 3.1, 5};
  for (const double degrees : skews) {
    const std::string what = std::string(size.name) + (text ? " with text" : " plain") + ", turned " +
                             std::to_string(degrees);
    CQVBitmapHandle page;
    DrawScan(page, size.width, size.height, degrees, text);
    const Tilt drawn = MeasureTilt(page);
    ASSERT_NEAR(drawn.leftSide, degrees, 0.1) << what << ": the drawing or the measuring is off";
    ASSERT_NEAR(drawn.topSide, degrees, 0.1) << what << ": the drawing or the measuring is off";
    const size_t before = Fingerprint(page);

    int angle = 12345;
    ASSERT_TRUE(CQVAIP::Deskew(page, angle)) << what;
    ASSERT_EQ(page.GetWidth(), size.width) << what << ": the page keeps its size";
    ASSERT_EQ(page.GetHeight(), size.height) << what;
    if (std::abs(degrees) < 3) {
      EXPECT_EQ(angle, 0) << what;
      EXPECT_EQ(Fingerprint(page), before) << what << ": a small skew is left alone";
      continue;
    }
    // A clockwise turn is reported as the direction of the page's left side, near -90 degrees.
    const int turnBack = angle < -4500 ? -9000 - angle : -angle;
    EXPECT_NEAR(turnBack, -degrees * 100, 30) << what << ": reported " << angle;
    const Tilt after = MeasureTilt(page);
    EXPECT_NEAR(after.leftSide, 0, 0.3) << what;
    EXPECT_NEAR(after.topSide, 0, 0.3) << what;
  }
}

INSTANTIATE_TEST_SUITE_P(Pages, DeskewScans,
                         ::testing::Combine(::testing::Values(ScanSize {"small", 600, 800},
                                                              ScanSize {"A4_200dpi", 1654, 2339},
                                                              ScanSize {"A4_300dpi", 2480, 3508},
                                                              ScanSize {"A4_600dpi", 4960, 7016},
                                                              ScanSize {"Letter_200dpi", 1700, 2200},
                                                              ScanSize {"Letter_300dpi", 2550, 3300},
                                                              ScanSize {"Letter_600dpi", 5100, 6600}),
                                            ::testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "_text" : "_plain");
                         });

TEST(CQVAIP, DeskewRefusesADarkPage) {
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
