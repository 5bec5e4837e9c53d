// Turning, mirroring, cutting and resampling, checked pixel by pixel against the plain mapping of
// coordinates on a picture.

#include "platform/imaging/File.h"
#include "platform/imaging/GreyRows.h"
#include "platform/imaging/Scale.h"
#include "platform/imaging/Transform.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace imaging;
using namespace imaging::test;

namespace {

// A picture mapped pixel by pixel: target (x, y) shows source at from(x, y).
Picture Mapped(const Picture& source, int width, int height, const std::function<std::pair<int, int>(int, int)>& from) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const auto [sx, sy] = from(x, y);
      std::copy_n(source.At(sx, sy), 3, p.At(x, y));
    }
  }
  return p;
}

struct Size {
  int width;
  int height;
};

// Odd sizes, sizes that fill whole bytes and 8-row blocks, and a single column.
const Size kSizes[] = {{37, 23}, {64, 40}, {17, 70}, {1, 9}};
const int kDepths[] = {1, 4, 8, 24, 32};

TEST(Rotate, QuarterTurnsAreExactAtEveryDepth) {
  for (const Size& size : kSizes) {
    for (int depth : kDepths) {
      for (int perspective : {kTopLeft, kBottomLeft}) {
        Bitmap original;
        ASSERT_TRUE(BitmapOf(Pattern(size.width, size.height), depth, original, perspective));
        const Picture source = PictureOf(original);
        const int w = size.width, h = size.height;
        struct Turn {
          int angle;
          Picture expected;
        };
        const Turn turns[] = {
            {9000, Mapped(source, h, w, [&](int x, int y) { return std::pair{y, h - 1 - x}; })},
            {-27000, Mapped(source, h, w, [&](int x, int y) { return std::pair{y, h - 1 - x}; })},
            {18000, Mapped(source, w, h, [&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; })},
            {27000, Mapped(source, h, w, [&](int x, int y) { return std::pair{w - 1 - y, x}; })},
            {36000, source},
        };
        for (const Turn& turn : turns) {
          Bitmap bitmap;
          ASSERT_TRUE(Duplicate(bitmap, original));
          ASSERT_TRUE(Rotate(bitmap, turn.angle, kRotateResize, 0));
          EXPECT_EQ(depth, bitmap.bitsPerPixel);
          EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), turn.expected))
              << w << "x" << h << " at " << depth << " bits, perspective " << perspective << ", angle " << turn.angle;
        }
      }
    }
  }
}

TEST(Rotate, MirrorsAtEveryDepth) {
  for (const Size& size : kSizes) {
    for (int depth : kDepths) {
      Bitmap bitmap;
      ASSERT_TRUE(BitmapOf(Pattern(size.width, size.height), depth, bitmap, kBottomLeft));
      const Picture source = PictureOf(bitmap);
      const int w = size.width, h = size.height;
      ASSERT_TRUE(Flip(bitmap));
      EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), Mapped(source, w, h, [&](int x, int y) { return std::pair{x, h - 1 - y}; })))
          << "flip " << w << "x" << h << " at " << depth;
      ASSERT_TRUE(Reverse(bitmap));
      EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), Mapped(source, w, h, [&](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; })))
          << "flip and reverse " << w << "x" << h << " at " << depth;
    }
  }
}

TEST(Rotate, QuarterTurnKeepingTheSizeTurnsAboutTheCentre) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(40, 20), 24, bitmap));
  const Picture source = PictureOf(bitmap);
  ASSERT_TRUE(Rotate(bitmap, 9000, kRotateKeepSize, RGB(255, 0, 0)));
  ASSERT_EQ(40, bitmap.width);
  ASSERT_EQ(20, bitmap.height);
  const Picture turned = PictureOf(bitmap);
  // The turned picture is 20 wide: columns 10..29 show it, the rest is the fill colour.
  for (int y = 0; y < 20; ++y) {
    EXPECT_EQ(255, turned.At(0, y)[0]);
    EXPECT_EQ(0, turned.At(0, y)[1]);
    for (int x = 10; x < 30; ++x) {
      // Turned clockwise: target (x, y) shows source (y + 10, 19 - (x - 10)).
      ASSERT_TRUE(std::equal(turned.At(x, y), turned.At(x, y) + 3, source.At(y + 10, 19 - (x - 10)))) << x << "," << y;
    }
  }
}

TEST(Rotate, FreeAnglesGrowTheCanvasAndTurnClockwise) {
  // A white square page with a black horizontal line through the middle.
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 201, 201, 1));
  ASSERT_TRUE(Fill(bitmap, RGB(255, 255, 255)));
  for (int x = 0; x < 201; ++x) ASSERT_TRUE(SetPixelColor(bitmap, 100, x, RGB(0, 0, 0)));
  ASSERT_TRUE(Rotate(bitmap, 3000, kRotateResize, RGB(255, 255, 255)));
  // 201 x (cos 30 + sin 30) = 274.6
  EXPECT_EQ(275, bitmap.width);
  EXPECT_EQ(275, bitmap.height);
  EXPECT_EQ(1, bitmap.bitsPerPixel);
  // Clockwise on the screen: the line's right half now runs down to the right.
  const double c = std::cos(30 * 3.14159265358979 / 180), s = std::sin(30 * 3.14159265358979 / 180);
  for (int r : {-90, -50, 50, 90}) {
    const int x = static_cast<int>(std::lround(137 + r * c)), y = static_cast<int>(std::lround(137 + r * s));
    EXPECT_EQ(kPaletteIndexFlag | 0u, GetPixelColor(bitmap, y, x)) << r;
    EXPECT_EQ(kPaletteIndexFlag | 1u, GetPixelColor(bitmap, 137 - (y - 137), x)) << r;
  }
  // The corners were outside the page: they take the fill.
  EXPECT_EQ(kPaletteIndexFlag | 1u, GetPixelColor(bitmap, 0, 0));
}

TEST(Rotate, InterpolatingFlagsBlendGreyAndKeepPaletteIndices) {
  for (UINT flags : {kRotateResample, kRotateBicubic}) {
    Bitmap grey;
    ASSERT_TRUE(BitmapOf(Pattern(60, 60), 8, grey));
    ASSERT_TRUE(Rotate(grey, 1000, flags, RGB(255, 255, 255)));
    // The black frame, turned by 10 degrees, has edges in between black and white.
    bool between = false;
    for (int y = 0; y < grey.height && !between; ++y) {
      for (int x = 0; x < grey.width; ++x) {
        const int level = static_cast<int>(GetPixelColor(grey, y, x) & 0xFF);
        between = between || (level > 40 && level < 200 && x < 5);
      }
    }
    EXPECT_TRUE(between) << flags;

    // A two-colour palette has no levels between its entries.
    Bitmap palette;
    RGBQUAD entries[256] = {{0, 0, 255, 0}, {255, 0, 0, 0}};
    ASSERT_TRUE(Create(palette, 40, 40, 8, kOrderBgr, entries));
    ASSERT_TRUE(Rotate(palette, 1000, flags, RGB(0, 0, 255)));
    for (int y = 0; y < palette.height; ++y) {
      for (int x = 0; x < palette.width; ++x) ASSERT_LE(GetPixelColor(palette, y, x) & 0xFF, 1u);
    }
  }
}

TEST(Trim, CutsAtAnyBitInStoredCoordinates) {
  for (int depth : kDepths) {
    for (int perspective : {kTopLeft, kBottomLeft}) {
      Bitmap bitmap;
      ASSERT_TRUE(BitmapOf(Pattern(37, 23), depth, bitmap, perspective));
      bitmap.xResolution = 150;
      const Picture source = PictureOf(bitmap);
      // Stored rows 4..15 are view rows 4..15 top-left, or 7..18 bottom-left.
      const int viewTop = perspective == kTopLeft ? 4 : 23 - 16;
      Bitmap part;
      ASSERT_TRUE(CopyRect(part, bitmap, 3, 4, 29, 12));
      const Picture expected = Mapped(source, 29, 12, [&](int x, int y) { return std::pair{x + 3, y + viewTop}; });
      EXPECT_EQ(0, MaxDifference(PictureOf(part), expected)) << depth << " bits, perspective " << perspective;
      EXPECT_EQ(perspective, part.perspective);
      EXPECT_EQ(150, part.xResolution);
      ASSERT_TRUE(Trim(bitmap, 3, 4, 29, 12));
      EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), expected)) << depth << " bits, perspective " << perspective;
    }
  }
  Bitmap bitmap, part;
  ASSERT_TRUE(Create(bitmap, 10, 10, 8));
  EXPECT_FALSE(CopyRect(part, bitmap, 5, 5, 6, 5));
  EXPECT_FALSE(Trim(bitmap, -1, 0, 5, 5));
  EXPECT_TRUE(bitmap.IsAllocated());
}

// A white 1-bit page (white as entry 0, as min-is-white pages load) with one-pixel black lines.
bool ThinLinePage(Bitmap& page, int width, int height, int row, int column) {
  const RGBQUAD entries[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  if (!Create(page, width, height, 1, kOrderBgr, entries)) return false;
  for (int x = 0; x < width; ++x) SetPixelColor(page, row, x, kPaletteIndexFlag | 1);
  for (int y = 0; y < height; ++y) SetPixelColor(page, y, column, kPaletteIndexFlag | 1);
  return true;
}

TEST(Resample, KindsOfReduction) {
  Bitmap page;
  ASSERT_TRUE(ThinLinePage(page, 400, 300, 101, 203));
  page.xResolution = page.yResolution = 300;
  ASSERT_TRUE(SetPerspective(page, kBottomLeft));
  struct Case {
    UINT flags;
    bool lineKept;
  };
  // Nearest takes the middle pixel of every 4 x 4 block and misses lines at other offsets.
  const Case cases[] = {{kResizeNormal, false}, {kResizeFavorBlack, true}};
  for (const Case& c : cases) {
    Bitmap small;
    ASSERT_TRUE(CreateResampled(small, page, 100, 75, c.flags));
    EXPECT_EQ(1, small.bitsPerPixel);
    EXPECT_EQ(kBottomLeft, small.perspective);
    EXPECT_EQ(300, small.xResolution);
    EXPECT_EQ(255, small.palette[0].rgbRed);
    const COLORREF expected = kPaletteIndexFlag | (c.lineKept ? 1u : 0u);
    for (int x = 0; x < 100; ++x) EXPECT_EQ(expected, GetPixelColor(small, 25, x)) << c.flags << " at " << x;
    for (int y = 0; y < 75; ++y) EXPECT_EQ(expected, GetPixelColor(small, y, 50)) << c.flags << " at " << y;
    EXPECT_EQ(kPaletteIndexFlag | 0u, GetPixelColor(small, 10, 10));
  }
}

TEST(Resample, InterpolationAveragesAndKeepsFlatAreasFlat) {
  // Grey stripes two pixels wide become mid-grey at half the size.
  Bitmap stripes;
  ASSERT_TRUE(Create(stripes, 64, 16, 8));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 64; ++x) SetPixelColor(stripes, y, x, kPaletteIndexFlag | ((x / 2) % 2 ? 255u : 0u));
  }
  for (UINT flags : {kResizeResample, kResizeBicubic}) {
    Bitmap half;
    ASSERT_TRUE(CreateResampled(half, stripes, 16, 4, flags));
    for (int x = 2; x < 14; ++x) EXPECT_NEAR(127, static_cast<int>(GetPixelColor(half, 2, x) & 0xFF), 20) << flags;
    Bitmap flat, large;
    ASSERT_TRUE(Create(flat, 7, 5, 24));
    ASSERT_TRUE(Fill(flat, RGB(10, 200, 90)));
    ASSERT_TRUE(CreateResampled(large, flat, 31, 17, flags));
    for (int y = 0; y < 17; ++y) {
      for (int x = 0; x < 31; ++x) ASSERT_EQ(RGB(10, 200, 90), GetPixelColor(large, y, x)) << flags;
    }
  }
  // 1 bit stays 1 bit; a black half stays black.
  Bitmap page, small;
  ASSERT_TRUE(Create(page, 80, 80, 1));
  ASSERT_TRUE(Fill(page, RGB(255, 255, 255)));
  for (int y = 0; y < 80; ++y) {
    for (int x = 0; x < 40; ++x) SetPixelColor(page, y, x, RGB(0, 0, 0));
  }
  ASSERT_TRUE(CreateResampled(small, page, 20, 20, kResizeResample));
  EXPECT_EQ(1, small.bitsPerPixel);
  EXPECT_EQ(kPaletteIndexFlag | 0u, GetPixelColor(small, 10, 5));
  EXPECT_EQ(kPaletteIndexFlag | 1u, GetPixelColor(small, 10, 15));
}

// The separable filter written out plainly: per axis the kernel's weights in 1/16384 (a triangle,
// or the cubic, widened by the reduction; positions outside the source repeat its edge), across
// first with the sums rounded to 8 bits, then down.
std::vector<std::vector<int>> PlainWeights(int sourceSize, int targetSize, bool cubic) {
  const double scale = static_cast<double>(targetSize) / sourceSize;
  const double stretch = std::max(1.0, 1.0 / scale);
  const double radius = (cubic ? 2.0 : 1.0) * stretch;
  std::vector<std::vector<int>> weights(targetSize, std::vector<int>(sourceSize, 0));
  for (int i = 0; i < targetSize; ++i) {
    const double center = (i + 0.5) / scale;
    const int left = static_cast<int>(std::floor(center - radius)), right = static_cast<int>(std::ceil(center + radius));
    std::vector<double> w;
    double sum = 0;
    for (int j = left; j < right; ++j) {
      const double t = std::abs((j + 0.5 - center) / stretch);
      const double v = !cubic ? std::max(0.0, 1 - t)
                       : t < 1 ? 1.5 * t * t * t - 2.5 * t * t + 1
                       : t < 2 ? -0.5 * t * t * t + 2.5 * t * t - 4 * t + 2
                               : 0;
      w.push_back(v);
      sum += v;
    }
    for (int j = left; j < right; ++j) weights[i][std::clamp(j, 0, sourceSize - 1)] += static_cast<int>(std::lround(w[j - left] / sum * 16384));
  }
  return weights;
}

int Rounded14(long long sum) { return static_cast<int>(std::clamp((sum + 8192) >> 14, 0LL, 255LL)); }

// One channel of a picture filtered to the target size.
std::vector<int> PlainFilter(const std::vector<int>& samples, int width, int height, int targetWidth, int targetHeight,
                             bool cubic) {
  const auto across = PlainWeights(width, targetWidth, cubic), down = PlainWeights(height, targetHeight, cubic);
  std::vector<int> wide(static_cast<size_t>(targetWidth) * height), result(static_cast<size_t>(targetWidth) * targetHeight);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < targetWidth; ++x) {
      long long sum = 0;
      for (int j = 0; j < width; ++j) sum += static_cast<long long>(across[x][j]) * samples[static_cast<size_t>(y) * width + j];
      wide[static_cast<size_t>(y) * targetWidth + x] = Rounded14(sum);
    }
  }
  for (int y = 0; y < targetHeight; ++y) {
    for (int x = 0; x < targetWidth; ++x) {
      long long sum = 0;
      for (int j = 0; j < height; ++j) sum += static_cast<long long>(down[y][j]) * wide[static_cast<size_t>(j) * targetWidth + x];
      result[static_cast<size_t>(y) * targetWidth + x] = Rounded14(sum);
    }
  }
  return result;
}

// Interpolation reads the source's rows in place, with each axis's taps laid out once: it gives
// the plain filter's pixels, for reductions and enlargements, odd sizes, parts of a bitmap, the
// kernel's ends at the edges, grey, colour and thresholded 1-bit pictures, in both row orders.
TEST(Resample, InterpolationEqualsThePlainFilter) {
  struct Case {
    int width, height;
    RECT part;
    int targetWidth, targetHeight;
  };
  const Case cases[] = {
      {413, 150, {0, 0, 413, 150}, 238, 86},    // a page into a window's cell
      {37, 23, {0, 0, 37, 23}, 20, 11},         // odd sizes
      {17, 9, {0, 0, 17, 9}, 40, 30},           // enlarged
      {101, 64, {13, 5, 90, 61}, 30, 17},       // a part, cut on every side
      {300, 40, {0, 0, 300, 40}, 7, 3},         // a strong reduction: wide kernels
      {1, 9, {0, 0, 1, 9}, 1, 4},               // a single column
      {5, 5, {0, 0, 5, 5}, 4, 4},               // kernels as wide as the source
  };
  unsigned seed = 777;
  for (const Case& c : cases) {
    for (int depth : {1, 8, 24, 32}) {
      for (int perspective : {kTopLeft, kBottomLeft}) {
        for (UINT flags : {kResizeResample, kResizeBicubic}) {
          SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " to " + std::to_string(c.targetWidth) +
                       " x " + std::to_string(c.targetHeight) + ", depth " + std::to_string(depth) + ", flags " +
                       std::to_string(flags) + ", perspective " + std::to_string(perspective));
          Bitmap source, target;
          ASSERT_TRUE(Create(source, c.width, c.height, depth, kOrderBgr, nullptr, perspective));
          for (int i = 0; i < source.bytesPerLine * source.height; ++i) {
            seed = seed * 1103515245u + 12345u;
            source.bits[i] = static_cast<BYTE>(seed >> 16);
          }
          ASSERT_TRUE(CreateResampled(target, source, c.part, c.targetWidth, c.targetHeight, flags));
          const int partWidth = c.part.right - c.part.left, partHeight = c.part.bottom - c.part.top;
          // Grey and 1-bit pictures have one channel, the grey level or the luminance of black and white.
          for (int channel = 0; channel < (depth >= 24 ? 3 : 1); ++channel) {
            std::vector<int> samples;
            for (int y = 0; y < partHeight; ++y) {
              for (int x = 0; x < partWidth; ++x) {
                const COLORREF pixel = GetPixelColor(source, c.part.top + y, c.part.left + x);
                samples.push_back(depth == 1 ? (pixel & 1) * 255 : static_cast<int>((pixel >> (8 * channel)) & 0xFF));
              }
            }
            const std::vector<int> expected =
                PlainFilter(samples, partWidth, partHeight, c.targetWidth, c.targetHeight, flags == kResizeBicubic);
            for (int y = 0; y < c.targetHeight; ++y) {
              for (int x = 0; x < c.targetWidth; ++x) {
                const COLORREF pixel = GetPixelColor(target, y, x);
                const int want = expected[static_cast<size_t>(y) * c.targetWidth + x];
                if (depth == 1) {
                  ASSERT_EQ(want >= 128 ? 1u : 0u, pixel & 1) << x << ", " << y;
                } else {
                  ASSERT_EQ(want, static_cast<int>((pixel >> (8 * channel)) & 0xFF)) << x << ", " << y << ", channel " << channel;
                }
              }
            }
          }
        }
      }
    }
  }
}

TEST(Resample, ResizeNeedsTheSameDepthInto) {
  Bitmap source, target;
  ASSERT_TRUE(Create(source, 10, 10, 8));
  ASSERT_TRUE(Create(target, 5, 5, 24));
  EXPECT_FALSE(ResampleInto(source, target, kResizeNormal));
  ASSERT_TRUE(Reset(target, 5, 5, 8));
  ASSERT_TRUE(AllocateStorage(target));
  EXPECT_TRUE(ResampleInto(source, target, kResizeNormal));
  EXPECT_FALSE(Resize(source, 0, 5, kResizeNormal));
  EXPECT_EQ(10, source.width);
}

// Writes a grey bitmap as a PNG for people to look at.
void WriteArtifact(const Bitmap& bitmap, const std::string& name) {
  TempDir dir;
  const std::string bmp = dir.Path("artifact.bmp");
  ASSERT_TRUE(Save(Wide(bmp).c_str(), bitmap, kFormatBmp, 0, 0));
  ASSERT_TRUE(Shell("convert " + Quote(bmp) + " " + Quote(ArtifactPath(name))));
}

TEST(ScaleToGray, OnePixelLinesStayVisibleOnAnA4PageAtOneEighth) {
  Bitmap page, grey, nearest;
  // 2480 x 3504 (A4 less four rows, so that every block is 8 x 8).
  ASSERT_TRUE(ThinLinePage(page, 2480, 3504, 1001, 1203));
  const RECT all{0, 0, page.width, page.height};
  ASSERT_TRUE(ScaleToGray(page, all, grey, 310, 438));
  ASSERT_EQ(8, grey.bitsPerPixel);
  // One dark pixel in each 8 x 8 block of the line: 1/8 of the block is black.
  const int line = 255 - 255 / 8;
  for (int x = 0; x < 310; ++x) {
    if (x == 1203 / 8) continue;
    EXPECT_NEAR(line, static_cast<int>(GetPixelColor(grey, 1001 / 8, x) & 0xFF), 1) << x;
    EXPECT_EQ(255u, GetPixelColor(grey, 1001 / 8 + 1, x) & 0xFF) << x;
  }
  for (int y = 0; y < 438; ++y) {
    if (y == 1001 / 8) continue;
    EXPECT_NEAR(line, static_cast<int>(GetPixelColor(grey, y, 1203 / 8) & 0xFF), 1) << y;
  }
  // Where the lines cross, 15 of 64 pixels are black.
  EXPECT_NEAR(255 * 49 / 64, static_cast<int>(GetPixelColor(grey, 1001 / 8, 1203 / 8) & 0xFF), 1);
  // Plain nearest reduction loses both lines.
  ASSERT_TRUE(CreateResampled(nearest, page, 310, 438, kResizeNormal));
  for (int x = 0; x < 310; ++x) ASSERT_EQ(kPaletteIndexFlag | 0u, GetPixelColor(nearest, 1001 / 8, x));
  WriteArtifact(grey, "scale-to-gray-lines.png");
}

TEST(ScaleToGray, PartOfAPageAndARealPage) {
  Bitmap page, grey;
  ASSERT_TRUE(Load(Wide(TestFile("G4.TIF")).c_str(), page));
  const RECT all{0, 0, page.width, page.height};
  ASSERT_TRUE(ScaleToGray(page, all, grey, 76, 100));
  EXPECT_EQ(76, grey.width);
  WriteArtifact(grey, "scale-to-gray-G4-thumbnail.png");
  // A part of the page at full scale shows the page's own pixels.
  const RECT part{1000, 1500, 1100, 1550};
  ASSERT_TRUE(ScaleToGray(page, part, grey, 100, 50));
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < 100; ++x) {
      const int index = static_cast<int>(GetPixelColor(page, 1500 + y, 1000 + x) & 0xFF);
      ASSERT_EQ(index ? 0u : 255u, GetPixelColor(grey, y, x) & 0xFF);
    }
  }
  Bitmap colour;
  ASSERT_TRUE(Create(colour, 10, 10, 24));
  EXPECT_FALSE(ScaleToGray(colour, RECT{0, 0, 10, 10}, grey, 5, 5));
  EXPECT_FALSE(ScaleToGray(page, RECT{-50, -50, -1, -1}, grey, 5, 5));
}

// Every grey pixel is the dark share of the source pixels it covers, whatever way the bits are
// counted (per column and row, or per source column over a target row's rows), as grey levels
// and as rows for the screen: noise pages of odd widths, parts starting inside a byte, reductions whose columns are
// wider than one 64-bit word, columns at a row's last byte and very large areas, in both row orders;
// and pages with white bands between lines of noise (white only inside the part where the part is
// narrower than the page), as a page of text has between its lines, and white runs in rows with
// ink, as between words.
TEST(ScaleToGray, EqualsPixelByPixelCountOnNoisePages) {
  struct Case {
    int width, height;
    RECT part;
    int targetWidth, targetHeight;
    int band{0};  // with a band: rows alternate, `band` rows of noise, `band` rows white
    bool sparse{false};  // noise in every third byte only: white runs inside rows with ink
  };
  const Case cases[] = {
      {2464, 300, {0, 0, 2464, 300}, 100, 12},  // a thumbnail's columns: about 25 pixels each
      {2463, 97, {0, 0, 2463, 97}, 76, 31},      // a width that ends inside a byte
      {1001, 64, {13, 5, 1001, 64}, 333, 20},     // a part from inside a byte, columns of 2 or 3 pixels
      {5000, 40, {0, 0, 5000, 40}, 50, 4},        // 100-pixel columns: wider than a word
      {203, 33, {3, 1, 200, 30}, 197, 29},        // nearly full size: single pixels
      {9, 5, {0, 0, 9, 5}, 1, 1},                 // a row shorter than a word
      {3000, 600, {0, 0, 3000, 600}, 10, 2},      // areas of 90,000 pixels: greys divided, not looked up
      {827, 1169, {0, 0, 827, 1169}, 477, 674, 7},    // a page fitted into a window's cell
      {827, 300, {0, 0, 827, 300}, 477, 173, 1},      // white every other row
      {1001, 200, {13, 5, 990, 200}, 333, 60, 4},     // white inside the part only
      {2464, 600, {0, 0, 2464, 600}, 100, 24, 30},    // thumbnail rows of 25 source rows
      {40, 600, {0, 0, 40, 600}, 20, 2},              // narrow columns 300 rows tall
      {827, 300, {0, 0, 827, 300}, 477, 173, 0, true},     // words with white between them
      {1001, 200, {13, 5, 990, 200}, 600, 120, 0, true},   // the same from inside a byte
  };
  unsigned seed = 12345;
  for (const Case& c : cases) {
    for (int perspective : {kTopLeft, kBottomLeft}) {
      SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) + " to " + std::to_string(c.targetWidth));
      const RGBQUAD entries[2] = {{255, 255, 255, 0}, {20, 20, 20, 0}};
      Bitmap page, grey;
      ASSERT_TRUE(Create(page, c.width, c.height, 1, kOrderBgr, entries, perspective));
      for (int i = 0; i < page.bytesPerLine * page.height; ++i) {
        seed = seed * 1103515245u + 12345u;
        page.bits[i] = c.sparse && (i % page.bytesPerLine) % 3 ? 0 : static_cast<BYTE>(seed >> 16);
      }
      for (int y = 0; c.band > 0 && y < c.height; ++y) {
        if ((y / c.band) % 2 == 0) continue;
        BYTE* row = page.bits + static_cast<SIZE_T>(y) * page.bytesPerLine;
        for (int x = c.part.left; x < c.part.right; ++x) row[x >> 3] &= static_cast<BYTE>(~(0x80 >> (x & 7)));
      }
      ASSERT_TRUE(ScaleToGray(page, c.part, grey, c.targetWidth, c.targetHeight));
      // Rows for the screen: the same greys in blue, green and red of opaque pixels, whole rows
      // and rows from their middle on.
      const GreyRows screen(page, c.part, c.targetWidth, c.targetHeight);
      ASSERT_TRUE(screen.IsValid());
      std::vector<uint32_t> shown(c.targetWidth);
      const int middle = c.targetWidth / 2;
      const int partWidth = c.part.right - c.part.left, partHeight = c.part.bottom - c.part.top;
      const auto from = [](int i, int size, int target, int offset) {
        return offset + static_cast<int>(static_cast<long long>(i) * size / target);
      };
      for (int y = 0; y < c.targetHeight; ++y) {
        screen.Row(y, 0, c.targetWidth, shown.data());
        const uint32_t beyondMiddle = shown[middle];
        screen.Row(y, middle, c.targetWidth - middle, shown.data() + middle);
        ASSERT_EQ(beyondMiddle, shown[middle]);
        const int y0 = from(y, partHeight, c.targetHeight, c.part.top);
        const int y1 = std::max(from(y + 1, partHeight, c.targetHeight, c.part.top), y0 + 1);
        for (int x = 0; x < c.targetWidth; ++x) {
          const int x0 = from(x, partWidth, c.targetWidth, c.part.left);
          const int x1 = std::max(from(x + 1, partWidth, c.targetWidth, c.part.left), x0 + 1);
          long long dark = 0;
          for (int sy = y0; sy < y1; ++sy) {
            for (int sx = x0; sx < x1; ++sx) dark += GetPixelColor(page, sy, sx) & 1;
          }
          const long long area = static_cast<long long>(x1 - x0) * (y1 - y0);
          const long long expected = (dark * 20 + (area - dark) * 255 + area / 2) / area;
          ASSERT_EQ(expected, GetPixelColor(grey, y, x) & 0xFF) << x << ", " << y;
          ASSERT_EQ(0xFF000000u | static_cast<uint32_t>(expected) * 0x010101u, shown[x]) << x << ", " << y;
        }
      }
    }
  }
}

}  // namespace
