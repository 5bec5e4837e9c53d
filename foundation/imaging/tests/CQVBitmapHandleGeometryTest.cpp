// Bitmap handles: geometry, transforms, colour depths, pixel and row access, palette indices and
// regions from masks.

#include "foundation/imaging/CQVBitmapHandle.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "foundation/util/CDPXBuffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace imagingtest;
using imaging::test::MaxDifference;
using imaging::test::Pattern;

namespace {

// No two pixels alike, so that every move shows.
Picture Distinct(int width, int height) {
  Picture p(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      BYTE* px = p.At(x, y);
      px[0] = BYTE(10 + 40 * x);
      px[1] = BYTE(10 + 60 * y);
      px[2] = BYTE(7 * x + 13 * y);
    }
  return p;
}

// The picture that `from` makes of the source: each target pixel names its source pixel.
Picture Mapped(const Picture& source, int width, int height, const std::function<POINT(int, int)>& from) {
  Picture target(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const POINT s = from(x, y);
      std::memcpy(target.At(x, y), source.At(s.x, s.y), 3);
    }
  return target;
}

std::vector<RECT> RegionRects(const CRgn& region) {
  const int size = region.GetRegionData(nullptr, 0);
  std::vector<BYTE> data(size_t(size > 0 ? size : 0));
  if (size <= 0 || region.GetRegionData(reinterpret_cast<LPRGNDATA>(data.data()), size) != size) return {};
  RGNDATAHEADER header;
  std::memcpy(&header, data.data(), sizeof header);
  std::vector<RECT> rects(header.nCount);
  if (header.nCount) std::memcpy(rects.data(), data.data() + sizeof header, sizeof(RECT) * header.nCount);
  return rects;
}

}  // namespace

TEST(BitmapHandleGeometry, TransformsInPlace) {
  const int w = 6, h = 4;
  const Picture picture = Distinct(w, h);
  const struct {
    const char* what;
    std::function<BOOL(CQVBitmapHandle&)> apply;
    int width, height;
    // The source pixel of a target pixel; `bottomLeft` tells the bitmap's perspective.
    std::function<POINT(int x, int y, bool bottomLeft)> from;
  } cases[] = {
      {"flip", [](CQVBitmapHandle& b) { return b.Flip(); }, w, h, [](int x, int y, bool) { return POINT {x, h - 1 - y}; }},
      {"reverse", [](CQVBitmapHandle& b) { return b.Reverse(); }, w, h, [](int x, int y, bool) { return POINT {w - 1 - x, y}; }},
      {"a quarter turn clockwise", [](CQVBitmapHandle& b) { return b.Rotate(9000, 0, 0); }, h, w,
       [](int x, int y, bool) { return POINT {y, h - 1 - x}; }},
      {"three quarters", [](CQVBitmapHandle& b) { return b.Rotate(27000, 0, 0); }, h, w,
       [](int x, int y, bool) { return POINT {w - 1 - y, x}; }},
      {"a quarter counter-clockwise", [](CQVBitmapHandle& b) { return b.Rotate(-9000, 0, 0); }, h, w,
       [](int x, int y, bool) { return POINT {w - 1 - y, x}; }},
      {"a half turn keeping the size", [](CQVBitmapHandle& b) { return b.Rotate(18000, 3, RGB(255, 0, 0)); }, w, h,
       [](int x, int y, bool) { return POINT {w - 1 - x, h - 1 - y}; }},
      {"crop", [](CQVBitmapHandle& b) { return b.Crop(CRect(1, 1, 4, 3)); }, 3, 2, [](int x, int y, bool) { return POINT {x + 1, y + 1}; }},
      {"crop with the corners swapped", [](CQVBitmapHandle& b) { return b.Crop(CRect(4, 3, 1, 1)); }, 3, 2,
       [](int x, int y, bool) { return POINT {x + 1, y + 1}; }},
      {"crop partly outside", [](CQVBitmapHandle& b) { return b.Crop(CRect(-5, 2, 3, 10)); }, 3, 2,
       [](int x, int y, bool) { return POINT {x, y + 2}; }},
      {"trim in stored rows", [](CQVBitmapHandle& b) { return b.Trim(1, 0, 2, 1); }, 2, 1,
       [](int x, int, bool bottomLeft) { return POINT {x + 1, bottomLeft ? h - 1 : 0}; }},
      {"resize to twice the size", [](CQVBitmapHandle& b) { return b.Resize(2 * w, 2 * h, 0); }, 2 * w, 2 * h,
       [](int x, int y, bool) { return POINT {x / 2, y / 2}; }},
      {"resize to half the size, sampling the centres", [](CQVBitmapHandle& b) { return b.Resize(w / 2, h / 2, 0); }, w / 2,
       h / 2, [](int x, int y, bool) { return POINT {2 * x + 1, 2 * y + 1}; }},
      {"the other perspective", [](CQVBitmapHandle& b) { return b.SetPerspective(1 - b.GetPerspective()); }, w, h,
       [](int x, int y, bool) { return POINT {x, y}; }},
  };
  for (const auto& c : cases) {
    for (UINT perspective : {0u, 1u}) {
      CQVBitmapHandle handle;
      ASSERT_TRUE(HandleOf(picture, 24, perspective, handle));
      ASSERT_TRUE(c.apply(handle)) << c.what;
      ASSERT_EQ(handle.GetWidth(), c.width) << c.what;
      ASSERT_EQ(handle.GetHeight(), c.height) << c.what;
      const Picture expected = Mapped(picture, c.width, c.height, [&](int x, int y) { return c.from(x, y, perspective == 1); });
      EXPECT_EQ(MaxDifference(PictureOf(handle), expected), 0) << c.what << ", perspective " << perspective;
    }
  }
}

TEST(BitmapHandleGeometry, CropToNothingEmptiesTheImage) {
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(10, 10, 8));
  EXPECT_TRUE(handle.Crop(CRect(20, 20, 30, 30)));
  EXPECT_TRUE(handle.IsEmpty());
  ASSERT_TRUE(handle.Create(10, 10, 8));
  EXPECT_FALSE(handle.Trim(5, 5, 6, 1)) << "past the right edge";
  EXPECT_FALSE(handle.Trim(0, 0, 0x80000000u, 1));
  EXPECT_EQ(handle.GetWidth(), 10);
}

TEST(BitmapHandleGeometry, ColourDepthsAndFilters) {
  const Picture picture = Pattern(30, 21);
  CQVBitmapHandle handle;
  ASSERT_TRUE(HandleOf(picture, 24, 0, handle));
  ASSERT_TRUE(handle.GrayScale());
  EXPECT_EQ(handle.GetBitsPerPixel(), 8);
  EXPECT_TRUE(handle.IsNormalGrayScale());
  Picture grey(30, 21);
  for (int y = 0; y < 21; ++y)
    for (int x = 0; x < 30; ++x) {
      const BYTE* p = picture.At(x, y);
      std::fill_n(grey.At(x, y), 3, BYTE((306 * p[0] + 601 * p[1] + 117 * p[2]) >> 10));
    }
  EXPECT_LE(MaxDifference(PictureOf(handle), grey), 1);

  // The identity kernel leaves the picture; a bias lifts it and stops at white.
  int identity[9] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
  ASSERT_TRUE(handle.SpecialFilter(1, 0, 3, identity));
  EXPECT_LE(MaxDifference(PictureOf(handle), grey), 1);
  ASSERT_TRUE(handle.SpecialFilter(1, 100, 3, identity));
  COLORREF colour = 0;
  ASSERT_TRUE(handle.GetPixelColor(0, 0, colour));
  EXPECT_EQ(colour & 0xFF, 100u) << "the black frame lifted by 100";
  EXPECT_FALSE(handle.SpecialFilter(1, 0, 3, nullptr));

  ASSERT_TRUE(handle.BinaryBitmap());
  EXPECT_EQ(handle.GetBitsPerPixel(), 1);
  EXPECT_EQ(handle.GetColorNums(), 2);
  EXPECT_FALSE(handle.SpecialFilter(1, 0, 3, identity)) << "no kernel for 1 bit";
}

TEST(BitmapHandleGeometry, PointsAndRectanglesBetweenPerspectives) {
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(10, 8, 8, 1, nullptr, 1));
  const struct {
    UINT perspective;
    int y, stored;
  } points[] = {{1, 2, 2}, {0, 0, 7}, {0, 7, 0}, {0, 3, 4}, {5, 3, 4}};
  for (const auto& p : points) {
    int x = 4, y = p.y;
    ASSERT_TRUE(handle.PointToBitmap(x, y, p.perspective));
    EXPECT_EQ(y, p.stored) << "perspective " << p.perspective << " row " << p.y;
    EXPECT_EQ(x, 4);
    ASSERT_TRUE(handle.PointFromBitmap(x, y, p.perspective));
    EXPECT_EQ(y, p.y);
  }
  CRect rect(1, 0, 3, 2);
  ASSERT_TRUE(handle.RectToBitmap(rect, 0));
  EXPECT_EQ(rect, CRect(1, 6, 3, 8));
  ASSERT_TRUE(handle.RectFromBitmap(rect, 0));
  EXPECT_EQ(rect, CRect(1, 0, 3, 2));
  ASSERT_TRUE(handle.RectToBitmap(rect, 1));
  EXPECT_EQ(rect, CRect(1, 0, 3, 2));
}

TEST(BitmapHandlePixels, ColoursAndPaletteIndices) {
  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Create(5, 3, 8));
  ASSERT_TRUE(handle.SetPixelColor(4, 2, 0x01000000 | 77));
  COLORREF colour = 0;
  ASSERT_TRUE(handle.GetPixelColor(4, 2, colour));
  EXPECT_EQ(colour, 0x01000000u | 77);
  for (const POINT& outside : {POINT {5, 0}, POINT {0, 3}, POINT {-1, 0}}) {
    colour = 0;
    EXPECT_FALSE(handle.GetPixelColor(outside.x, outside.y, colour));
    EXPECT_EQ(colour, 0x80000000u) << "stored anyway";
    EXPECT_FALSE(handle.SetPixelColor(outside.x, outside.y, 0));
  }
  ASSERT_TRUE(handle.Create(5, 3, 24));
  ASSERT_TRUE(handle.SetPixelColor(1, 1, RGB(10, 20, 30)));
  ASSERT_TRUE(handle.GetPixelColor(1, 1, colour));
  EXPECT_EQ(colour, RGB(10, 20, 30));
}

TEST(BitmapHandlePixels, DirectAndRowAccess) {
  for (UINT perspective : {0u, 1u}) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(7, 5, 8, 1, nullptr, perspective));
    ASSERT_TRUE(handle.SetPixelColor(2, 0, 0x01000000 | 9));  // the top row
    BYTE* bits = handle.Access();
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(handle.GetPtr(), bits);
    const int stride = handle.GetBytesPerLine();
    EXPECT_EQ(stride, 8);
    EXPECT_EQ(bits[(perspective == 0 ? 0 : 4) * stride + 2], 9) << "row 0 of memory is the top for perspective 0";
    handle.Release();

    CDPXMemBuffer row;
    ASSERT_TRUE(handle.AccessRowData(row));
    EXPECT_EQ(row.GetSize(), DWORD(stride));
    ASSERT_TRUE(handle.GetRowData(0, row));
    EXPECT_EQ(row.Lock()[2], 9) << "rows count from the top";
    row.Lock()[6] = 200;
    ASSERT_TRUE(handle.PutRowData(4, row));
    EXPECT_FALSE(handle.GetRowData(5, row));
    handle.ReleaseRowData(row);
    EXPECT_EQ(row.GetSize(), 0u);
    COLORREF colour = 0;
    ASSERT_TRUE(handle.GetPixelColor(6, 4, colour));
    EXPECT_EQ(colour, 0x01000000u | 200);
    EXPECT_FALSE(handle.GetRowData(0, row)) << "an empty buffer";
  }
  CQVBitmapHandle empty;
  CDPXMemBuffer row;
  ASSERT_TRUE(row.Alloc(16));
  EXPECT_FALSE(empty.AccessRowData(row));
  EXPECT_EQ(row.GetSize(), 0u) << "freed on failure";
  EXPECT_EQ(empty.Access(), nullptr);
  EXPECT_EQ(empty.GetPtr(), nullptr);
}

TEST(BitmapHandlePixels, SetPixelIndexChangesOnePixelOfAPaletteImage) {
  const struct {
    int bits, x, y;
    BYTE index;
    int byte;       // of the row, or -1 for no change
    BYTE value;
  } cases[] = {
      {1, 0, 1, 1, 0, 0x80}, {1, 9, 1, 1, 1, 0x40},  {1, 9, 1, 3, 1, 0x40}, {4, 2, 1, 0xB, 1, 0xB0},
      {4, 3, 1, 0xB, 1, 0x0B}, {8, 5, 1, 0xC3, 5, 0xC3}, {24, 1, 1, 7, -1, 0},   {8, 12, 1, 1, -1, 0},
      {8, 0, 3, 1, -1, 0},    {8, -1, 0, 1, -1, 0},
  };
  for (const auto& c : cases) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(12, 3, c.bits));
    const size_t size = size_t(handle.GetBytesPerLine()) * 3;
    std::vector<BYTE> before(handle.GetPtr(), handle.GetPtr() + size);
    handle.SetPixelIndex(c.x, c.y, c.index);
    std::vector<BYTE> after(handle.GetPtr(), handle.GetPtr() + size);
    if (c.byte >= 0) before[size_t(handle.GetBytesPerLine()) * c.y + size_t(c.byte)] = c.value;
    EXPECT_EQ(after, before) << c.bits << " bits at " << c.x << ", " << c.y;
  }
  CQVBitmapHandle empty;
  empty.SetPixelIndex(0, 0, 1);
  EXPECT_TRUE(empty.IsEmpty());
}

TEST(BitmapHandlePixels, RegionsOfTheNonBlackPixels) {
  const struct {
    const char* what;
    int bits;
    std::vector<const char*> rows;  // '#' not black
    std::vector<RECT> rects;
  } cases[] = {
      {"all black", 24, {"....", "...."}, {}},
      {"runs, one reaching the end of its row", 24, {"#..##", ".###."}, {{0, 0, 1, 1}, {3, 0, 5, 1}, {1, 1, 4, 2}}},
      {"1 bit", 1, {"##.#", "...."}, {{0, 0, 2, 1}, {3, 0, 4, 1}}},
      {"8 bits", 8, {".##.", "#..#"}, {{1, 0, 3, 1}, {0, 1, 1, 2}, {3, 1, 4, 2}}},
  };
  for (const auto& c : cases) {
    const int width = int(std::strlen(c.rows[0]));
    Picture picture(width, int(c.rows.size()));
    for (int y = 0; y < picture.height; ++y)
      for (int x = 0; x < width; ++x) std::fill_n(picture.At(x, y), 3, BYTE(c.rows[size_t(y)][x] == '#' ? 255 : 0));
    for (UINT perspective : {0u, 1u}) {
      CQVBitmapHandle handle;
      ASSERT_TRUE(HandleOf(picture, c.bits, perspective, handle));
      CRgn region;
      ASSERT_TRUE(region.CreateRectRgn(0, 0, 1, 1));
      ASSERT_TRUE(handle.CreateRgnFromMask(region)) << c.what;
      const std::vector<RECT> rects = RegionRects(region);
      ASSERT_EQ(rects.size(), c.rects.size()) << c.what;
      for (size_t i = 0; i < rects.size(); ++i) EXPECT_TRUE(EqualRect(&rects[i], &c.rects[i])) << c.what << " run " << i;
    }
  }
  // A palette entry that is black is black, whatever its index.
  CQVBitmapHandle handle;
  RGBQUAD palette[2] = {{255, 255, 255, 0}, {0, 0, 0, 0}};
  ASSERT_TRUE(handle.Create(3, 1, 1, 1, palette));
  CRgn region;
  ASSERT_TRUE(handle.CreateRgnFromMask(region));
  EXPECT_TRUE(region.PtInRegion(2, 0)) << "index 0 is white here";

  ASSERT_TRUE(handle.Create(3, 1, 4));
  EXPECT_FALSE(handle.CreateRgnFromMask(region)) << "4 bits";
  EXPECT_EQ(region.GetSafeHandle(), nullptr);
}
