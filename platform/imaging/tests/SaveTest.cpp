// What the store writes (BMP, Group 4 TIFF, raw Group 4) opens in Debian's tools with the same
// pixels; raw fax data of other programs decodes; PNG files of ImageMagick load.

#include "platform/core/globalmem.h"
#include "platform/imaging/File.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>
#include <tiffio.h>


using namespace imaging;
using namespace imaging::test;

namespace {

// A 1-bit page with thin lines, in either palette order.
bool LinePage(Bitmap& bitmap, bool blackFirst, int perspective = kTopLeft) {
  if (!BitmapOf(Pattern(301, 203), 1, bitmap, perspective)) return false;
  if (!blackFirst) {
    // The same picture with white as entry 0: turn the palette and the bits round.
    std::swap(bitmap.palette[0], bitmap.palette[1]);
    for (SIZE_T i = 0; i < bitmap.imageSize; ++i) bitmap.bits[i] = static_cast<BYTE>(~bitmap.bits[i]);
  }
  return true;
}

TEST(G4Save, TiffinfoAndTiff2rgbaReadTheSamePage) {
  TempDir dir;
  for (bool blackFirst : {true, false}) {
    for (int perspective : {kTopLeft, kBottomLeft}) {
      Bitmap bitmap;
      ASSERT_TRUE(LinePage(bitmap, blackFirst, perspective));
      bitmap.xResolution = 204;
      bitmap.yResolution = 98;
      const std::string path = dir.Path("page.tif"), info = dir.Path("info.txt"), rgba = dir.Path("rgba.tif");
      ASSERT_TRUE(Save(Wide(path).c_str(), bitmap, kFormatFaxG4, 0, 0));
      ASSERT_TRUE(Shell("tiffinfo " + Quote(path) + " > " + Quote(info)));
      const std::vector<BYTE> text = ReadAll(info);
      const std::string facts(text.begin(), text.end());
      EXPECT_NE(std::string::npos, facts.find("CCITT Group 4")) << facts;
      EXPECT_NE(std::string::npos, facts.find("min-is-white")) << facts;
      EXPECT_NE(std::string::npos, facts.find("Resolution: 204, 98 pixels/inch")) << facts;
      ASSERT_TRUE(Shell("tiff2rgba -c none " + Quote(path) + " " + Quote(rgba)));
      Picture written;
      ASSERT_TRUE(ReadRgbaTiff(rgba, 0, written));
      EXPECT_EQ(0, MaxDifference(written, PictureOf(bitmap))) << "black first " << blackFirst << ", perspective " << perspective;
    }
  }
}

TEST(G4Save, ReplacingKeepsTheOldFileWhenTheSaveFails) {
  TempDir dir;
  const std::string path = dir.Path("page.tif");
  Bitmap bitmap, empty;
  ASSERT_TRUE(LinePage(bitmap, true));
  ASSERT_TRUE(Save(Wide(path).c_str(), bitmap, kFormatFaxG4, 0, 0));
  const std::vector<BYTE> before = ReadAll(path);
  EXPECT_FALSE(Save(Wide(path).c_str(), empty, kFormatFaxG4, 0, 0));
  EXPECT_FALSE(Save(Wide(path).c_str(), bitmap, 12345, 0, 0));
  EXPECT_EQ(before, ReadAll(path));
  EXPECT_FALSE(Save(Wide(dir.Path("no-folder/page.tif")).c_str(), bitmap, kFormatFaxG4, 0, 0));
}

TEST(BmpSave, ImageMagickReadsEveryDepth) {
  TempDir dir;
  const Picture picture = Pattern(37, 23);  // odd widths pad their rows
  struct Case {
    int bitsPerPixel;
    int perspective;
    int order;
  };
  const Case cases[] = {{1, kTopLeft, kOrderBgr},  {4, kBottomLeft, kOrderBgr}, {8, kTopLeft, kOrderBgr},
                        {24, kTopLeft, kOrderBgr}, {24, kBottomLeft, kOrderRgb}, {32, kTopLeft, kOrderBgr}};
  for (const Case& c : cases) {
    Bitmap bitmap;
    ASSERT_TRUE(BitmapOf(picture, c.bitsPerPixel, bitmap, c.perspective));
    if (c.order == kOrderRgb) {
      for (int y = 0; y < bitmap.height; ++y) {
        BYTE* row = bitmap.bits + static_cast<size_t>(y) * bitmap.bytesPerLine;
        for (int x = 0; x < bitmap.width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
      }
      bitmap.order = kOrderRgb;
    }
    bitmap.xResolution = bitmap.yResolution = 300;
    const std::string path = dir.Path("picture.bmp"), ppm = dir.Path("picture.ppm");
    ASSERT_TRUE(Save(Wide(path).c_str(), bitmap, kFormatBmp, 0, 0)) << c.bitsPerPixel;
    ASSERT_TRUE(Shell("convert " + Quote(path) + " -depth 8 ppm:" + Quote(ppm))) << c.bitsPerPixel;
    Picture read;
    ASSERT_TRUE(ReadPnm(ppm, read));
    EXPECT_EQ(0, MaxDifference(read, PictureOf(bitmap))) << c.bitsPerPixel << " bits";
    Bitmap back;
    ASSERT_TRUE(Load(Wide(path).c_str(), back));
    EXPECT_EQ(c.bitsPerPixel, back.bitsPerPixel);
    EXPECT_EQ(300, back.xResolution);
    EXPECT_EQ(0, MaxDifference(PictureOf(back), PictureOf(bitmap))) << c.bitsPerPixel << " bits";
  }
}

TEST(BmpLoad, ImageMagickFiles) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm");
  const Picture picture = Pattern(41, 29);
  ASSERT_TRUE(WritePnm(source, picture));
  // BMP3: the 40-byte header; BMP: a 124-byte one, as ImageMagick writes by default.
  for (const char* kind : {"BMP3:", "BMP:"}) {
    const std::string path = dir.Path("picture.bmp");
    ASSERT_TRUE(Shell("convert " + Quote(source) + " -type TrueColor " + kind + Quote(path)));
    Bitmap bitmap;
    ASSERT_TRUE(Load(Wide(path).c_str(), bitmap)) << kind;
    EXPECT_EQ(24, bitmap.bitsPerPixel);
    EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), picture)) << kind;
  }
}

TEST(FaxRaw, StoreG4DataDecodesBackInEitherBitOrder) {
  for (bool blackFirst : {true, false}) {
    Bitmap bitmap;
    ASSERT_TRUE(LinePage(bitmap, blackFirst));
    HGLOBAL block = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(SaveMemory(bitmap, kFormatFaxG4, 0, 0, &block, &size));
    std::vector<BYTE> data(static_cast<const BYTE*>(GlobalLock(block)), static_cast<const BYTE*>(GlobalLock(block)) + size);
    GlobalUnlock(block);
    GlobalUnlock(block);
    GlobalFree(block);
    // Raw data, not a file: no TIFF header in front.
    ASSERT_FALSE(data.size() >= 2 && ((data[0] == 'I' && data[1] == 'I') || (data[0] == 'M' && data[1] == 'M')));
    Bitmap back;
    ASSERT_TRUE(LoadFaxRaw(data.data(), data.size(), back, bitmap.width, bitmap.height, 200, 100, kFormatFaxG4));
    EXPECT_EQ(1, back.bitsPerPixel);
    EXPECT_EQ(200, back.xResolution);
    EXPECT_EQ(100, back.yResolution);
    EXPECT_EQ(0, MaxDifference(PictureOf(back), PictureOf(bitmap)));

    // The same data with the first pixel of each byte in its least significant bit.
    for (BYTE& v : data) {
      BYTE r = 0;
      for (int bit = 0; bit < 8; ++bit) r = static_cast<BYTE>(r | (((v >> bit) & 1) << (7 - bit)));
      v = r;
    }
    ASSERT_TRUE(LoadFaxRaw(data.data(), data.size(), back, bitmap.width, bitmap.height, 200, 100, kFormatFaxG4));
    EXPECT_EQ(0, MaxDifference(PictureOf(back), PictureOf(bitmap)));
    // Asked for the one bit order only, reversed data does not decode.
    EXPECT_FALSE(LoadFaxRaw(data.data(), data.size(), back, bitmap.width, bitmap.height, 200, 100, kFormatFaxG4, false));
    EXPECT_FALSE(back.IsAllocated());
  }
}

// Raw data of other programs: ImageMagick's raw Group 4 and Group 3, and libtiff's Group 3
// strips in one and two dimensions.
TEST(FaxRaw, OtherProgramsData) {
  TempDir dir;
  Bitmap page;
  ASSERT_TRUE(LinePage(page, true));
  const Picture expected = PictureOf(page);
  const std::string tif = dir.Path("page.tif"), pbm = dir.Path("page.pbm");
  ASSERT_TRUE(Save(Wide(tif).c_str(), page, kFormatFaxG4, 0, 0));
  ASSERT_TRUE(Shell("convert " + Quote(tif) + " " + Quote(pbm)));
  struct Case {
    int format;
    std::string make;  // writes raw.bin, or a one-strip TIFF strip.tif whose strip is the data
  };
  const Case cases[] = {
      {kFormatFaxG4, "convert " + Quote(pbm) + " group4:" + Quote(dir.Path("raw.bin"))},
      {kFormatFaxG3_1D, "convert " + Quote(pbm) + " fax:" + Quote(dir.Path("raw.bin"))},
      {kFormatFaxG3_1D, "tiffcp -c g3:1d -r 100000 " + Quote(tif) + " " + Quote(dir.Path("strip.tif"))},
      {kFormatFaxG3_2D, "tiffcp -c g3:2d -r 100000 " + Quote(tif) + " " + Quote(dir.Path("strip.tif"))},
  };
  for (const Case& c : cases) {
    std::remove(dir.Path("raw.bin").c_str());
    std::remove(dir.Path("strip.tif").c_str());
    ASSERT_TRUE(Shell(c.make)) << c.make;
    std::vector<BYTE> data = ReadAll(dir.Path("raw.bin"));
    if (data.empty()) {
      TIFF* tif = TIFFOpen(dir.Path("strip.tif").c_str(), "r");
      ASSERT_NE(nullptr, tif);
      data.resize(static_cast<size_t>(TIFFRawStripSize(tif, 0)));
      ASSERT_EQ(static_cast<tmsize_t>(data.size()), TIFFReadRawStrip(tif, 0, data.data(), static_cast<tmsize_t>(data.size())));
      TIFFClose(tif);
    }
    Bitmap bitmap;
    ASSERT_TRUE(LoadFaxRaw(data.data(), data.size(), bitmap, page.width, page.height, 200, 200, c.format)) << c.make;
    EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), expected)) << c.make;
  }
}

TEST(FaxRaw, GarbageAndBadArgumentsFail) {
  std::vector<BYTE> garbage(4000);
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<BYTE>(i * 7919 % 251);
  Bitmap bitmap;
  EXPECT_FALSE(LoadFaxRaw(garbage.data(), garbage.size(), bitmap, 1728, 1000, 200, 200, kFormatFaxG4));
  EXPECT_FALSE(bitmap.IsAllocated());
  EXPECT_FALSE(LoadFaxRaw(garbage.data(), garbage.size(), bitmap, 0, 1000, 200, 200, kFormatFaxG4));
  EXPECT_FALSE(LoadFaxRaw(nullptr, 0, bitmap, 1728, 1000, 200, 200, kFormatFaxG4));
  EXPECT_FALSE(LoadFaxRaw(garbage.data(), garbage.size(), bitmap, 1728, 1000, 200, 200, 99));
}

TEST(PngLoad, ImageMagickVariants) {
  TempDir dir;
  const std::string source = dir.Path("source.ppm");
  ASSERT_TRUE(WritePnm(source, Pattern(57, 31)));
  struct Case {
    const char* options;
    int bitsPerPixel;
  };
  const Case cases[] = {
      {"-type TrueColor PNG24:", 24},
      {"-colors 200 PNG8:", 8},
      {"-colors 12 PNG8:", 4},
      {"-monochrome PNG:", 1},
      {"-colorspace Gray PNG:", 8},
      {"-alpha set -channel A -fx 'i/w' +channel PNG32:", 24},
      {"-depth 16 PNG48:", 24},
  };
  for (const Case& c : cases) {
    const std::string png = dir.Path("picture.png"), ppm = dir.Path("expected.ppm");
    ASSERT_TRUE(Shell("convert " + Quote(source) + " " + c.options + Quote(png))) << c.options;
    ASSERT_TRUE(Shell("convert " + Quote(png) + " -background white -flatten -depth 8 ppm:" + Quote(ppm))) << c.options;
    Picture expected;
    ASSERT_TRUE(ReadPnm(ppm, expected));
    Bitmap bitmap;
    ASSERT_TRUE(Load(Wide(png).c_str(), bitmap)) << c.options;
    EXPECT_EQ(c.bitsPerPixel, bitmap.bitsPerPixel) << c.options;
    EXPECT_LE(MaxDifference(PictureOf(bitmap), expected), 1) << c.options;
  }
}

}  // namespace
