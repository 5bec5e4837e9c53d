// Every TIFF of the shared collection loads with the size, depth and pixels that libtiff's own
// tiff2rgba gives, and file info tells the same facts without decoding.

#include "platform/imaging/File.h"
#include "platform/imaging/tests/support.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <sys/resource.h>
#include <unistd.h>

#include <fstream>

using namespace imaging;
using namespace imaging::test;

namespace {

struct PageCase {
  const char* file;
  int page;
  int width;
  int height;
  int bitsPerPixel;
  int tolerance;  // largest channel difference allowed (lossy decoders may round differently)
};

const PageCase kPages[] = {
    {"CCITT-bounds.tif", 0, 2488, 3510, 1, 0},
    {"CCITT_1.TIF", 0, 1728, 2376, 1, 0},
    {"CCITT_2.TIF", 0, 1728, 2376, 1, 0},
    {"CCITT_3.TIF", 0, 1728, 2376, 1, 0},
    {"CCITT_4.TIF", 0, 1728, 2376, 1, 0},
    {"G31D.TIF", 0, 2464, 3248, 1, 0},
    {"G32D.TIF", 0, 2464, 3248, 1, 0},
    {"G4.TIF", 0, 2464, 3248, 1, 0},
    {"bitonal.tif", 0, 1710, 709, 1, 0},
    {"cramps.tif", 0, 800, 607, 8, 0},
    {"doc-1211625-8-1.tiff", 0, 1216, 380, 8, 0},
    {"doc-1211625-8-1.tiff", 1, 1216, 380, 8, 0},
    {"fax2d.tif", 0, 1728, 1082, 1, 0},
    {"jello.tif", 0, 256, 192, 8, 0},
    {"multipage.tif", 0, 184, 808, 1, 0},
    {"multipage.tif", 1, 149, 140, 4, 0},
    {"multipage.tif", 2, 128, 128, 8, 0},
    {"palette1bpp.tif", 0, 100, 100, 1, 0},
    {"penguin_jpeg.tif", 0, 1024, 768, 24, 2},
    {"quad-jpeg.tif", 0, 512, 384, 24, 2},
    {"rgb8-jpeg-YCrCb.tif", 0, 100, 100, 24, 2},
    {"smallliz.tif", 0, 160, 160, 24, 0},
    {"strike.tif", 0, 256, 200, 24, 0},
    {"unknown-tags.tif", 0, 100, 37, 24, 0},
    {"ycbcr-cat.tif", 0, 250, 325, 24, 0},
    {"zackthecat.tif", 0, 234, 213, 24, 0},
};

class TiffPages : public ::testing::TestWithParam<PageCase> {};

TEST_P(TiffPages, LoadLikeTiff2rgba) {
  const PageCase& c = GetParam();
  TempDir dir;
  const std::string reference = dir.Path("reference.tif");
  ASSERT_TRUE(Shell("tiff2rgba -c none " + Quote(TestFile(c.file)) + " " + Quote(reference))) << c.file;
  Picture expected;
  ASSERT_TRUE(ReadRgbaTiff(reference, c.page, expected)) << c.file;

  Bitmap bitmap;
  LoadOptions options;
  options.page = c.page;
  ASSERT_TRUE(Load(Wide(TestFile(c.file)).c_str(), bitmap, options)) << c.file << " page " << c.page;
  EXPECT_EQ(c.width, bitmap.width);
  EXPECT_EQ(c.height, bitmap.height);
  EXPECT_EQ(c.bitsPerPixel, bitmap.bitsPerPixel);
  const int difference = MaxDifference(PictureOf(bitmap), expected);
  EXPECT_GE(difference, 0) << "size differs from tiff2rgba's";
  EXPECT_LE(difference, c.tolerance) << c.file << " page " << c.page;

  FileInfo info;
  ASSERT_TRUE(GetFileInfo(Wide(TestFile(c.file)).c_str(), info, c.page));
  EXPECT_EQ(c.width, info.width);
  EXPECT_EQ(c.height, info.height);
  EXPECT_EQ(c.bitsPerPixel, info.bitsPerPixel);
}

INSTANTIATE_TEST_SUITE_P(SharedCollection, TiffPages, ::testing::ValuesIn(kPages), [](const auto& info) {
  std::string name = std::string(info.param.file) + "_" + std::to_string(info.param.page);
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

TEST(TiffInfo, FormatPagesAndResolution) {
  struct Case {
    const char* file;
    int format;
    int pages;
    int xResolution;
    int yResolution;
  };
  const Case cases[] = {
      {"G4.TIF", kFormatFaxG4, 1, 300, 300},
      {"fax2d.tif", kFormatTiff, 1, 204, 98},
      {"multipage.tif", kFormatTiff, 3, 150, 150},
      {"doc-1211625-8-1.tiff", kFormatTiff, 2, 152, 152},
      {"strike.tif", kFormatTiff, 1, 0, 0},  // resolution without a unit says nothing
  };
  for (const Case& c : cases) {
    FileInfo info;
    ASSERT_TRUE(GetFileInfo(Wide(TestFile(c.file)).c_str(), info)) << c.file;
    EXPECT_EQ(c.format, info.format) << c.file;
    EXPECT_EQ(c.pages, info.pageCount) << c.file;
    EXPECT_EQ(c.xResolution, info.xResolution) << c.file;
    EXPECT_EQ(c.yResolution, info.yResolution) << c.file;
    Bitmap bitmap;
    ASSERT_TRUE(Load(Wide(TestFile(c.file)).c_str(), bitmap)) << c.file;
    EXPECT_EQ(c.xResolution, bitmap.xResolution) << c.file;
    EXPECT_EQ(c.yResolution, bitmap.yResolution) << c.file;
  }
}

TEST(TiffLoad, OneBitPagesKeepTheirBitsAndSayWhichIsBlack) {
  Bitmap bitmap;
  // Names from data written on Windows find the file whatever its case.
  ASSERT_TRUE(Load(Wide(TestFile("g4.tif")).c_str(), bitmap));
  ASSERT_EQ(1, bitmap.bitsPerPixel);
  ASSERT_EQ(2, bitmap.colorCount);
  // Min-is-white: the bits stay as stored, the palette says that a set bit is black.
  EXPECT_EQ(255, bitmap.palette[0].rgbRed);
  EXPECT_EQ(0, bitmap.palette[1].rgbRed);
  EXPECT_EQ(kTopLeft, bitmap.perspective);
}

TEST(TiffLoad, MissingPagesAndBrokenFilesFail) {
  Bitmap bitmap;
  LoadOptions options;
  options.page = 3;
  EXPECT_FALSE(Load(Wide(TestFile("multipage.tif")).c_str(), bitmap, options));
  EXPECT_FALSE(bitmap.IsAllocated());
  EXPECT_FALSE(Load(Wide(TestFile("no-such-file.tif")).c_str(), bitmap));

  TempDir dir;
  // The first kilobyte of a Group 4 page: the header points at a directory beyond the end.
  const std::string cut = dir.Path("cut.tif");
  ASSERT_TRUE(Shell("head -c 1024 " + Quote(TestFile("G4.TIF")) + " > " + Quote(cut)));
  EXPECT_FALSE(Load(Wide(cut).c_str(), bitmap));
  EXPECT_FALSE(bitmap.IsAllocated());
}

// Sets a tag of the first directory of a little-endian TIFF to one LONG value.
void SetLongTag(std::vector<BYTE>& file, uint16_t tag, uint32_t value) {
  auto get16 = [&](size_t at) { return static_cast<uint16_t>(file[at] | file[at + 1] << 8); };
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<BYTE>(v >> (8 * i));
  };
  const size_t directory = file[4] | file[5] << 8 | file[6] << 16 | static_cast<size_t>(file[7]) << 24;
  for (size_t entry = directory + 2; entry < directory + 2 + 12 * get16(directory); entry += 12) {
    if (get16(entry) != tag) continue;
    put(entry + 2, 4, 2);  // LONG
    put(entry + 4, 1, 4);
    put(entry + 8, value, 4);
    return;
  }
  ADD_FAILURE() << "no tag " << tag;
}

// Pages whose samples are not unsigned integers (floating-point grey, signed bytes) are refused
// rather than read as unsigned integers into a garbled picture; the same page unsigned loads.
TEST(TiffLoad, SamplesThatAreNotUnsignedIntegersAreRefused) {
  TempDir dir;
  const struct {
    uint16_t format, bits;
    bool loads;
  } cases[] = {{SAMPLEFORMAT_UINT, 16, true}, {SAMPLEFORMAT_IEEEFP, 16, false}, {SAMPLEFORMAT_IEEEFP, 32, false},
               {SAMPLEFORMAT_INT, 8, false}};
  for (const auto& c : cases) {
    const std::string path = dir.Path("samples.tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, 4);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, c.bits);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, c.format);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 4);
    std::vector<BYTE> row(8 * c.bits / 8, 0x3C);
    for (uint32_t y = 0; y < 4; ++y) ASSERT_EQ(TIFFWriteScanline(tif, row.data(), y, 0), 1);
    TIFFClose(tif);
    Bitmap bitmap;
    EXPECT_EQ(Load(Wide(path).c_str(), bitmap), c.loads) << c.format << ", " << c.bits << " bits";
    EXPECT_EQ(bitmap.IsAllocated(), c.loads);
  }
}

// A tiled page whose tiles claim to be far taller than the picture is refused before anything is
// allocated for them: each such tile once cost gigabytes for a file of a few hundred bytes.
TEST(TiffLoad, TilesFarLargerThanThePictureAreRefused) {
  TempDir dir;
  const std::string plain = dir.Path("plain.ppm");
  ASSERT_TRUE(WritePnm(plain, Pattern(40, 24)));
  const struct {
    const char* what;
    const char* convert;
    const char* tiffcp;
  } cases[] = {
      {"grey", "-colorspace gray -type grayscale", ""},
      {"colour", "", ""},
      {"colour in planes", "", "-p separate"},
  };
  for (const auto& c : cases) {
    const std::string source = dir.Path("source.tif"), tiled = dir.Path("tiled.tif");
    ASSERT_TRUE(Shell("convert " + Quote(plain) + " " + c.convert + " -compress none " + Quote(source)));
    ASSERT_TRUE(Shell("tiffcp -t -w 16 -l 16 " + std::string(c.tiffcp) + " " + Quote(source) + " " + Quote(tiled)));
    std::vector<BYTE> file = ReadAll(tiled);
    Bitmap bitmap;
    ASSERT_TRUE(LoadMemory(file.data(), file.size(), bitmap)) << c.what << ": the plain tiled page loads";
    SetLongTag(file, 323, 0x08000000);  // TileLength
    AddressSpaceLimit limit(512u << 20);
    EXPECT_FALSE(LoadMemory(file.data(), file.size(), bitmap)) << c.what;
    EXPECT_FALSE(bitmap.IsAllocated()) << c.what;
  }
}

// Pages whose orientation tag turns or mirrors them load as tiff2rgba's picture of the plain page
// turned by ImageMagick: 1-bit, palette, plain RGB and pages that go through libtiff's RGBA reader.
TEST(TiffLoad, OrientationIsApplied) {
  const char* kTurns[] = {"", "", "-flop", "-rotate 180", "-flip", "-transpose", "-rotate 90", "-transverse", "-rotate 270"};
  TempDir dir;
  const std::string rgb = dir.Path("rgb.tif");
  ASSERT_TRUE(Shell("convert " + Quote(TestFile("quad-jpeg.tif")) + " -compress lzw " + Quote(rgb)));
  for (const std::string& file : {TestFile("bitonal.tif"), TestFile("jello.tif"), TestFile("palette1bpp.tif"), rgb,
                                  TestFile("ycbcr-cat.tif"), TestFile("strike.tif")}) {
    const std::string reference = dir.Path("reference.tif"), plain = dir.Path("plain.ppm");
    Picture picture;
    ASSERT_TRUE(Shell("tiff2rgba -c none " + Quote(file) + " " + Quote(reference)));
    ASSERT_TRUE(ReadRgbaTiff(reference, 0, picture));
    ASSERT_TRUE(WritePnm(plain, picture));
    for (int orientation = 1; orientation <= 8; ++orientation) {
      const std::string turned = dir.Path("turned.tif"), expectedPath = dir.Path("expected.ppm");
      ASSERT_TRUE(Shell("cp " + Quote(file) + " " + Quote(turned) + " && chmod u+w " + Quote(turned) +
                        " && tiffset -s 274 " + std::to_string(orientation) + " " + Quote(turned)));
      ASSERT_TRUE(Shell("convert " + Quote(plain) + " " + kTurns[orientation] + " " + Quote(expectedPath)));
      Picture expected;
      ASSERT_TRUE(ReadPnm(expectedPath, expected));
      Bitmap bitmap;
      ASSERT_TRUE(Load(Wide(turned).c_str(), bitmap)) << file << " orientation " << orientation;
      EXPECT_EQ(0, MaxDifference(PictureOf(bitmap), expected)) << file << " orientation " << orientation;
    }
  }
}

}  // namespace
