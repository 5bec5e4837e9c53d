// The bitmap record: creation, palettes, pixel and row access in view coordinates, perspectives,
// DIB hand-over without copying, colour depths and filters.

#include "platform/core/globalmem.h"
#include "platform/imaging/Color.h"
#include "platform/imaging/Dib.h"
#include "platform/imaging/File.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace imaging;
using namespace imaging::test;

namespace {

TEST(Bitmap, CreateDescribesTheStorage) {
  struct Case {
    int width;
    int bitsPerPixel;
    int bytesPerLine;
    int colors;
  };
  const Case cases[] = {{33, 1, 8, 2}, {32, 1, 4, 2}, {1, 1, 4, 2}, {9, 4, 8, 16}, {5, 8, 8, 256}, {5, 24, 16, 0}, {3, 32, 12, 0}};
  for (const Case& c : cases) {
    Bitmap bitmap;
    ASSERT_TRUE(Create(bitmap, c.width, 7, c.bitsPerPixel));
    EXPECT_TRUE(bitmap.IsAllocated());
    EXPECT_EQ(0u, bitmap.flags & kNotAddressable);
    EXPECT_EQ(c.bytesPerLine, bitmap.bytesPerLine) << c.width << " at " << c.bitsPerPixel;
    EXPECT_EQ(c.colors, bitmap.colorCount);
    EXPECT_EQ(static_cast<SIZE_T>(c.bytesPerLine) * 7, bitmap.imageSize);
    EXPECT_EQ(kOrderBgr, bitmap.order);
    EXPECT_EQ(kTopLeft, bitmap.perspective);
    for (SIZE_T i = 0; i < bitmap.imageSize; ++i) ASSERT_EQ(0, bitmap.bits[i]);
  }
  Bitmap bitmap;
  EXPECT_FALSE(Create(bitmap, 0, 5, 8));
  EXPECT_FALSE(Create(bitmap, 5, 5, 16));
  EXPECT_FALSE(Create(bitmap, 5, 5, 8, kOrderBgr, nullptr, 2));
  EXPECT_FALSE(Create(bitmap, 1 << 30, 1 << 30, 24));
  EXPECT_FALSE(bitmap.IsAllocated());
  EXPECT_EQ(0, bitmap.width);
}

TEST(Bitmap, DefaultPalettesAndIsNormalGrayScale) {
  Bitmap one, four, eight, colour;
  ASSERT_TRUE(Create(one, 4, 4, 1));
  ASSERT_TRUE(Create(four, 4, 4, 4));
  ASSERT_TRUE(Create(eight, 4, 4, 8));
  ASSERT_TRUE(Create(colour, 4, 4, 24));
  EXPECT_EQ(0, one.palette[0].rgbRed);
  EXPECT_EQ(255, one.palette[1].rgbGreen);
  EXPECT_EQ(17 * 3, four.palette[3].rgbBlue);
  EXPECT_EQ(200, eight.palette[200].rgbRed);
  EXPECT_TRUE(IsNormalGrayScale(one));
  EXPECT_TRUE(IsNormalGrayScale(four));
  EXPECT_TRUE(IsNormalGrayScale(eight));
  EXPECT_FALSE(IsNormalGrayScale(colour));
  const RGBQUAD red{0, 0, 255, 0};
  ASSERT_TRUE(SetPalette(eight, 7, 1, &red));
  EXPECT_FALSE(IsNormalGrayScale(eight));
  RGBQUAD read[2];
  ASSERT_TRUE(GetPalette(eight, 6, 2, read));
  EXPECT_EQ(6, read[0].rgbRed);
  EXPECT_EQ(255, read[1].rgbRed);
  EXPECT_FALSE(GetPalette(eight, 255, 2, read));
  EXPECT_FALSE(SetPalette(colour, 0, 1, &red));
}

TEST(Bitmap, PixelsInViewCoordinates) {
  for (int perspective : {kTopLeft, kBottomLeft}) {
    Bitmap colour, palette;
    ASSERT_TRUE(Create(colour, 5, 4, 24, kOrderBgr, nullptr, perspective));
    ASSERT_TRUE(SetPixelColor(colour, 0, 1, RGB(10, 20, 30)));
    EXPECT_EQ(RGB(10, 20, 30), GetPixelColor(colour, 0, 1));
    // Row 0 of the view is the first row in memory only for top-left bitmaps; bytes are B, G, R.
    const BYTE* stored = colour.bits + (perspective == kTopLeft ? 0 : 3 * colour.bytesPerLine) + 3;
    EXPECT_EQ(30, stored[0]);
    EXPECT_EQ(10, stored[2]);

    ASSERT_TRUE(Create(palette, 5, 4, 4, kOrderBgr, nullptr, perspective));
    // A colour takes the nearest entry; an index is taken as it is.
    ASSERT_TRUE(SetPixelColor(palette, 1, 2, RGB(50, 52, 49)));
    EXPECT_EQ(kPaletteIndexFlag | 3u, GetPixelColor(palette, 1, 2));
    ASSERT_TRUE(SetPixelColor(palette, 1, 3, kPaletteIndexFlag | 14u));
    EXPECT_EQ(kPaletteIndexFlag | 14u, GetPixelColor(palette, 1, 3));
    EXPECT_FALSE(SetPixelColor(palette, 1, 3, kPaletteIndexFlag | 16u));
    EXPECT_EQ(kInvalidColor, GetPixelColor(palette, 4, 0));
    EXPECT_EQ(kInvalidColor, GetPixelColor(palette, 0, -1));
    EXPECT_FALSE(SetPixelColor(palette, 0, 5, 0));
  }
  Bitmap empty;
  EXPECT_EQ(kInvalidColor, GetPixelColor(empty, 0, 0));
}

TEST(Bitmap, RowsInViewCoordinates) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 10, 3, 8, kOrderBgr, nullptr, kBottomLeft));
  const BYTE row[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
  // A longer buffer moves one stored row's bytes only.
  EXPECT_EQ(12, PutRow(bitmap, 0, row, 12));
  EXPECT_EQ(0, std::memcmp(bitmap.bits + 2 * bitmap.bytesPerLine, row, 12));
  BYTE back[20] = {};
  EXPECT_EQ(12, GetRow(bitmap, 0, back, 20));
  EXPECT_EQ(0, std::memcmp(back, row, 12));
  EXPECT_EQ(5, GetRow(bitmap, 0, back, 5));
  EXPECT_EQ(0, GetRow(bitmap, 3, back, 20));
  EXPECT_EQ(0, PutRow(bitmap, 0, nullptr, 20));
  EXPECT_EQ(0, PutRow(bitmap, 0, row, 0));
}

TEST(Bitmap, PerspectiveChangesKeepThePicture) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(9, 7), 24, bitmap));
  const Picture before = PictureOf(bitmap);
  const std::vector<BYTE> firstRow(bitmap.bits, bitmap.bits + bitmap.bytesPerLine);
  ASSERT_TRUE(SetPerspective(bitmap, kBottomLeft));
  EXPECT_EQ(kBottomLeft, bitmap.perspective);
  EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), before));
  EXPECT_EQ(0, std::memcmp(bitmap.bits + 6 * bitmap.bytesPerLine, firstRow.data(), firstRow.size()));
  EXPECT_FALSE(SetPerspective(bitmap, 2));
}

TEST(Bitmap, PointsAndRectanglesBetweenViewAndStorage) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 20, 10, 8, kOrderBgr, nullptr, kBottomLeft));
  int x = 3, y = 2;
  ASSERT_TRUE(PointToBitmap(bitmap, kTopLeft, x, y));
  EXPECT_EQ(3, x);
  EXPECT_EQ(7, y);
  ASSERT_TRUE(PointFromBitmap(bitmap, kTopLeft, x, y));
  EXPECT_EQ(2, y);
  ASSERT_TRUE(PointToBitmap(bitmap, kBottomLeft, x, y));
  EXPECT_EQ(2, y);
  RECT rect{1, 2, 5, 4};
  ASSERT_TRUE(RectToBitmap(bitmap, kTopLeft, rect));
  EXPECT_EQ(6, rect.top);
  EXPECT_EQ(8, rect.bottom);
  EXPECT_EQ(1, rect.left);
  ASSERT_TRUE(RectFromBitmap(bitmap, kTopLeft, rect));
  EXPECT_EQ(2, rect.top);
  EXPECT_FALSE(RectToBitmap(bitmap, 3, rect));
}

TEST(Bitmap, CopiesTakeOverAndFill) {
  Bitmap source, copy, moved;
  ASSERT_TRUE(BitmapOf(Pattern(13, 11), 4, source, kBottomLeft));
  source.xResolution = 300;
  ASSERT_TRUE(Duplicate(copy, source));
  EXPECT_NE(copy.bits, source.bits);
  EXPECT_EQ(kBottomLeft, copy.perspective);
  EXPECT_EQ(300, copy.xResolution);
  EXPECT_EQ(0, MaxDifference(PictureOf(copy), PictureOf(source)));
  BYTE* bits = copy.bits;
  TakeOver(moved, copy);
  EXPECT_EQ(bits, moved.bits);
  EXPECT_FALSE(copy.IsAllocated());
  EXPECT_EQ(0, copy.width);
  ASSERT_TRUE(Fill(moved, RGB(255, 255, 255)));
  for (int y = 0; y < moved.height; ++y) ASSERT_EQ(kPaletteIndexFlag | 15u, GetPixelColor(moved, y, 12));
  BYTE* locked = Lock(moved);
  EXPECT_EQ(moved.bits, locked);
  Unlock(moved);
}

TEST(Dib, HandOverMovesTheBlock) {
  Bitmap bitmap;
  ASSERT_TRUE(BitmapOf(Pattern(21, 9), 8, bitmap, kTopLeft));
  bitmap.xResolution = 300;
  bitmap.yResolution = 200;
  const Picture picture = PictureOf(bitmap);

  HGLOBAL copy = ConvertToDIB(bitmap);
  ASSERT_NE(nullptr, copy);
  EXPECT_TRUE(bitmap.IsAllocated());
  const HGLOBAL storage = bitmap.storage;
  HGLOBAL dib = ChangeToDIB(bitmap);
  ASSERT_EQ(storage, dib);
  EXPECT_FALSE(bitmap.IsAllocated());
  ASSERT_EQ(GlobalSize(copy), GlobalSize(dib));
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(dib));
  EXPECT_EQ(0, std::memcmp(bytes, GlobalLock(copy), GlobalSize(dib)));
  GlobalUnlock(copy);
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes, sizeof header);
  EXPECT_EQ(40u, header.biSize);
  EXPECT_EQ(21, header.biWidth);
  EXPECT_EQ(9, header.biHeight);  // bottom-up
  EXPECT_EQ(8, header.biBitCount);
  EXPECT_EQ(256u, header.biClrUsed);
  EXPECT_EQ(11811, header.biXPelsPerMeter);
  EXPECT_EQ(GlobalSize(dib), 40 + 1024 + header.biSizeImage);
  GlobalUnlock(dib);

  ASSERT_TRUE(ChangeFromDIB(bitmap, dib));
  EXPECT_EQ(dib, bitmap.storage);
  EXPECT_EQ(kBottomLeft, bitmap.perspective);
  EXPECT_EQ(300, bitmap.xResolution);
  EXPECT_EQ(200, bitmap.yResolution);
  EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), picture));
  GlobalFree(copy);
}

TEST(Dib, ForeignDibs) {
  // A top-down 24-bit DIB with a 124-byte header and no image size, as other programs hand over.
  const int width = 3, height = 2, stride = 12;
  HGLOBAL block = GlobalAlloc(GHND, 124 + stride * height);
  BYTE* p = static_cast<BYTE*>(GlobalLock(block));
  const DWORD size = 124;
  const LONG w = width, h = -height;
  const WORD planes = 1, bits = 24;
  std::memcpy(p, &size, 4);
  std::memcpy(p + 4, &w, 4);
  std::memcpy(p + 8, &h, 4);
  std::memcpy(p + 12, &planes, 2);
  std::memcpy(p + 14, &bits, 2);
  p[124 + 0] = 255;           // top-left pixel blue
  p[124 + stride + 8] = 255;  // bottom-right pixel red
  GlobalUnlock(block);
  Bitmap bitmap;
  ASSERT_TRUE(ChangeFromDIB(bitmap, block));
  EXPECT_EQ(kTopLeft, bitmap.perspective);
  EXPECT_EQ(RGB(0, 0, 255), GetPixelColor(bitmap, 0, 0));
  EXPECT_EQ(RGB(255, 0, 0), GetPixelColor(bitmap, 1, 2));
  EXPECT_EQ(0, bitmap.xResolution);

  // Blocks that do not hold what their header says stay the caller's.
  struct Case {
    const char* what;
    int offset;
    DWORD value;
  };
  const Case bad[] = {{"header size", 0, 12},   {"planes", 12, 2},           {"depth", 14, 16},
                      {"compression", 16, 1}, {"more colours", 32, 257}, {"taller than the block", 8, 400}};
  for (const Case& c : bad) {
    HGLOBAL dib = GlobalAlloc(GHND, 40 + 8 + 4 * 2);
    BYTE* d = static_cast<BYTE*>(GlobalLock(dib));
    const DWORD fields[] = {40, 5, 2};
    std::memcpy(d, fields, sizeof fields);
    d[12] = 1;
    d[14] = 1;
    if (c.offset == 12 || c.offset == 14) {
      const WORD v = static_cast<WORD>(c.value);
      std::memcpy(d + c.offset, &v, 2);
    } else {
      std::memcpy(d + c.offset, &c.value, 4);
    }
    GlobalUnlock(dib);
    EXPECT_FALSE(ChangeFromDIB(bitmap, dib)) << c.what;
    EXPECT_FALSE(bitmap.IsAllocated()) << c.what;
    EXPECT_EQ(nullptr, GlobalFree(dib)) << c.what;  // still a live block of the caller's
  }
}

TEST(Dib, RgbBitmapsAreHandedOverAsBgr) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 2, 1, 24, kOrderRgb));
  ASSERT_TRUE(SetPixelColor(bitmap, 0, 0, RGB(200, 100, 50)));
  EXPECT_EQ(200, bitmap.bits[0]);
  HGLOBAL dib = ChangeToDIB(bitmap);
  ASSERT_NE(nullptr, dib);
  const BYTE* bits = static_cast<const BYTE*>(GlobalLock(dib)) + 40;
  EXPECT_EQ(50, bits[0]);
  EXPECT_EQ(200, bits[2]);
  GlobalUnlock(dib);
  GlobalFree(dib);
  EXPECT_EQ(nullptr, ChangeToDIB(bitmap));
  EXPECT_EQ(nullptr, ConvertToDIB(bitmap));
}

TEST(Color, DepthChanges) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 4, 1, 24));
  const COLORREF colours[] = {RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(128, 128, 128)};
  for (int x = 0; x < 4; ++x) ASSERT_TRUE(SetPixelColor(bitmap, 0, x, colours[x]));
  Bitmap grey;
  ASSERT_TRUE(Duplicate(grey, bitmap));
  ASSERT_TRUE(GrayScale(grey));
  EXPECT_EQ(8, grey.bitsPerPixel);
  EXPECT_TRUE(IsNormalGrayScale(grey));
  // (306 R + 601 G + 117 B) / 1024
  const int levels[] = {76, 149, 29, 128};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(kPaletteIndexFlag | static_cast<COLORREF>(levels[x]), GetPixelColor(grey, 0, x));
  Bitmap one;
  ASSERT_TRUE(Duplicate(one, bitmap));
  ASSERT_TRUE(ChangeBitsPerPixel(one, 1));
  const COLORREF bits[] = {0, 1, 0, 1};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(kPaletteIndexFlag | bits[x], GetPixelColor(one, 0, x));
  ASSERT_TRUE(ChangeBitsPerPixel(one, 32));
  EXPECT_EQ(RGB(255, 255, 255), GetPixelColor(one, 0, 1));
  ASSERT_TRUE(ChangeBitsPerPixel(grey, 24));
  EXPECT_EQ(RGB(29, 29, 29), GetPixelColor(grey, 0, 2));
  EXPECT_FALSE(ChangeBitsPerPixel(grey, 4));
}

TEST(Color, DiffusionKeepsTheMeanLevel) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 64, 64, 8));
  ASSERT_TRUE(Fill(bitmap, kPaletteIndexFlag | 64u));
  Bitmap threshold;
  ASSERT_TRUE(Duplicate(threshold, bitmap));
  ASSERT_TRUE(ChangeBitsPerPixel(threshold, 1, Dither::Threshold));
  ASSERT_TRUE(ChangeBitsPerPixel(bitmap, 1, Dither::Diffusion));
  int white = 0, thresholdWhite = 0;
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      white += static_cast<int>(GetPixelColor(bitmap, y, x) & 1);
      thresholdWhite += static_cast<int>(GetPixelColor(threshold, y, x) & 1);
    }
  }
  EXPECT_EQ(0, thresholdWhite);
  EXPECT_NEAR(64 * 64 / 4, white, 64);
}

TEST(Color, SpecialFilterSmoothsAndKeepsFlatAreas) {
  Bitmap bitmap;
  ASSERT_TRUE(Create(bitmap, 5, 5, 8));
  ASSERT_TRUE(Fill(bitmap, kPaletteIndexFlag | 100u));
  ASSERT_TRUE(SetPixelColor(bitmap, 2, 2, kPaletteIndexFlag | 200u));
  const int kernel[9] = {1, 2, 1, 2, 8, 2, 1, 2, 1};
  ASSERT_TRUE(SpecialFilter(bitmap, 20, 0, 3, kernel));
  EXPECT_EQ(kPaletteIndexFlag | 140u, GetPixelColor(bitmap, 2, 2));  // (100 x 12 + 200 x 8) / 20
  EXPECT_EQ(kPaletteIndexFlag | 110u, GetPixelColor(bitmap, 1, 2));  // (100 x 18 + 200 x 2) / 20
  EXPECT_EQ(kPaletteIndexFlag | 100u, GetPixelColor(bitmap, 0, 0));
  const int shift[1] = {1};
  ASSERT_TRUE(SpecialFilter(bitmap, 1, 200, 1, shift));
  EXPECT_EQ(kPaletteIndexFlag | 255u, GetPixelColor(bitmap, 0, 0));
  EXPECT_FALSE(SpecialFilter(bitmap, 0, 0, 3, kernel));
  EXPECT_FALSE(SpecialFilter(bitmap, 20, 0, 3, nullptr));
  Bitmap one;
  ASSERT_TRUE(Create(one, 5, 5, 1));
  EXPECT_FALSE(SpecialFilter(one, 20, 0, 3, kernel));
}

TEST(LoadOptions, DepthAndOrder) {
  TempDir dir;
  const std::string path = dir.Path("picture.ppm"), png = dir.Path("picture.png");
  ASSERT_TRUE(WritePnm(path, Pattern(16, 8)));
  ASSERT_TRUE(Shell("convert " + Quote(path) + " -colorspace Gray PNG:" + Quote(png)));
  struct Case {
    int bitsPerPixel;
    int order;
    int expectedDepth;
  };
  const Case cases[] = {{0, kOrderBgr, 8}, {24, kOrderBgr, 24}, {24, kOrderBgrOrGray, 8}, {32, kOrderRgb, 32}, {1, kOrderBgr, 1}};
  for (const Case& c : cases) {
    Bitmap bitmap;
    LoadOptions options;
    options.bitsPerPixel = c.bitsPerPixel;
    options.order = c.order;
    ASSERT_TRUE(Load(Wide(png).c_str(), bitmap, options));
    EXPECT_EQ(c.expectedDepth, bitmap.bitsPerPixel) << c.bitsPerPixel << "/" << c.order;
    EXPECT_EQ(c.order, bitmap.order);
  }
  Bitmap colour;
  LoadOptions rgb;
  rgb.order = kOrderRgb;
  ASSERT_TRUE(Load(Wide(TestFile("quad-jpeg.tif")).c_str(), colour, rgb));
  Bitmap bgr;
  ASSERT_TRUE(Load(Wide(TestFile("quad-jpeg.tif")).c_str(), bgr));
  EXPECT_EQ(bgr.bits[0], colour.bits[2]);
  EXPECT_EQ(0, MaxDifference(PictureOf(bgr), PictureOf(colour)));
  LoadOptions grey;
  grey.order = kOrderGray;
  ASSERT_TRUE(Load(Wide(TestFile("quad-jpeg.tif")).c_str(), colour, grey));
  EXPECT_EQ(8, colour.bitsPerPixel);
}

}  // namespace
