// Bitmap handles and files: every TIFF of the shared collection, saving in the three formats and
// loading back, memory images and raw fax data.

#include "foundation/imaging/CQVBitmapHandle.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "platform/core/globalmem.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <filesystem>

using namespace imagingtest;
using imaging::test::MaxDifference;
using imaging::test::MeanDifference;
using imaging::test::Pattern;
using imaging::test::Quote;
using imaging::test::ReadAll;
using imaging::test::ReadPnm;
using imaging::test::ReadRgbaTiff;
using imaging::test::Shell;
using imaging::test::TempDir;
using imaging::test::TestFile;
using imaging::test::Wide;

namespace {

struct TiffCase {
  const char* file;
  int width;
  int height;
  int bitsPerPixel;
  int tolerance;  // libtiff's JPEG decoding for tiff2rgba may round differently
};

const TiffCase kTiffs[] = {
    {"CCITT-bounds.tif", 2488, 3510, 1, 0}, {"CCITT_1.TIF", 1728, 2376, 1, 0},  {"CCITT_2.TIF", 1728, 2376, 1, 0},
    {"CCITT_3.TIF", 1728, 2376, 1, 0},      {"CCITT_4.TIF", 1728, 2376, 1, 0},  {"G31D.TIF", 2464, 3248, 1, 0},
    {"G32D.TIF", 2464, 3248, 1, 0},         {"G4.TIF", 2464, 3248, 1, 0},       {"bitonal.tif", 1710, 709, 1, 0},
    {"cramps.tif", 800, 607, 8, 0},         {"doc-1211625-8-1.tiff", 1216, 380, 8, 0},
    {"fax2d.tif", 1728, 1082, 1, 0},        {"jello.tif", 256, 192, 8, 0},      {"multipage.tif", 184, 808, 1, 0},
    {"palette1bpp.tif", 100, 100, 1, 0},    {"penguin_jpeg.tif", 1024, 768, 24, 2},
    {"quad-jpeg.tif", 512, 384, 24, 2},     {"rgb8-jpeg-YCrCb.tif", 100, 100, 24, 2},
    {"smallliz.tif", 160, 160, 24, 0},      {"strike.tif", 256, 200, 24, 0},   {"unknown-tags.tif", 100, 37, 24, 0},
    {"ycbcr-cat.tif", 250, 325, 24, 0},     {"zackthecat.tif", 234, 213, 24, 0},
};

class SharedTiffs : public ::testing::TestWithParam<TiffCase> {};

// A 1-bit page with a few strokes, white as palette entry 1.
void Strokes(CQVBitmapHandle& page, int width, int height) {
  ASSERT_TRUE(page.Create(width, height, 1));
  for (int x = 0; x < width; ++x)
    for (int y = 0; y < height; ++y) {
      const bool ink = x == y || x == width / 2 || (y > height / 3 && y < height / 3 + 3) || (x + y) % 97 == 0;
      page.SetPixelColor(x, y, ink ? 0x01000000 : 0x01000001);
    }
}

std::string FileKind(const std::string& path) {
  const std::vector<BYTE> bytes = ReadAll(path);
  if (bytes.size() < 4) return "none";
  if (bytes[0] == 'B' && bytes[1] == 'M') return "BMP";
  if (bytes[0] == 0xFF && bytes[1] == 0xD8) return "JPEG";
  if ((bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M')) return "TIFF";
  return "other";
}

// What tiffinfo says about a file, in one string.
std::string TiffInfo(const TempDir& dir, const std::string& path) {
  const std::string out = dir.Path("tiffinfo.txt");
  if (!Shell("tiffinfo " + Quote(path) + " > " + Quote(out))) return {};
  const std::vector<BYTE> bytes = ReadAll(out);
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace

TEST_P(SharedTiffs, LoadsAsLibtiffShowsIt) {
  const TiffCase& c = GetParam();
  TempDir dir;
  const std::string reference = dir.Path("reference.tif");
  ASSERT_TRUE(Shell("tiff2rgba -c none " + Quote(TestFile(c.file)) + " " + Quote(reference))) << c.file;
  Picture expected;
  ASSERT_TRUE(ReadRgbaTiff(reference, 0, expected)) << c.file;

  CQVBitmapHandle handle;
  ASSERT_TRUE(handle.Load(Wide(TestFile(c.file)).c_str())) << c.file;
  EXPECT_EQ(handle.GetWidth(), c.width);
  EXPECT_EQ(handle.GetHeight(), c.height);
  EXPECT_EQ(handle.GetBitsPerPixel(), c.bitsPerPixel);
  const int difference = MaxDifference(PictureOf(handle), expected);
  EXPECT_GE(difference, 0) << "size differs from tiff2rgba's";
  EXPECT_LE(difference, c.tolerance) << c.file;
}

INSTANTIATE_TEST_SUITE_P(Collection, SharedTiffs, ::testing::ValuesIn(kTiffs), [](const auto& info) {
  std::string name = info.param.file;
  for (char& ch : name) {
    if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
  }
  return name;
});

TEST(BitmapHandleFiles, AFailedLoadLeavesTheHandleEmpty) {
  TempDir dir;
  const std::string junk = dir.Path("junk.tif");
  WriteFile(junk, std::vector<BYTE>(300, 0x49));
  for (const std::string& path : {junk, dir.Path("missing.tif")}) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.Create(10, 10, 24));
    EXPECT_FALSE(handle.Load(Wide(path).c_str())) << path;
    EXPECT_TRUE(handle.IsEmpty());
  }
  CQVBitmapHandle handle;
  std::vector<BYTE> bytes(100, 0);
  EXPECT_FALSE(handle.LoadMemory(bytes.data(), int(bytes.size())));
  EXPECT_FALSE(handle.LoadMemory(nullptr, 100));
  EXPECT_FALSE(handle.LoadMemory(bytes.data(), -1));
  EXPECT_TRUE(handle.IsEmpty());
}

TEST(BitmapHandleFiles, SavedFilesLoadBack) {
  TempDir dir;
  const Picture picture = Pattern(120, 90);
  const struct {
    const char* what;
    int bits;
    UINT format;
    int quality;
    int saveBits;
    const char* kind;
    int loadedBits;
    double meanTolerance;
  } cases[] = {
      {"24-bit BMP", 24, 1, 0, 0, "BMP", 24, 0},
      {"8-bit BMP", 8, 1, 0, 0, "BMP", 8, 0},
      {"1-bit BMP", 1, 1, 0, 0, "BMP", 1, 0},
      {"unknown format as BMP", 24, 9, 0, 0, "BMP", 24, 0},
      {"24-bit JPEG", 24, 2, 10, 0, "JPEG", 24, 10},
      {"8-bit JPEG", 8, 2, 10, 0, "JPEG", 8, 2},
      {"1-bit Group 4", 1, 3, 0, 0, "TIFF", 1, 0},
      {"24-bit as 1-bit Group 4", 24, 3, 0, 1, "TIFF", 1, -1},
  };
  for (const auto& c : cases) {
    CQVBitmapHandle handle;
    ASSERT_TRUE(HandleOf(picture, c.bits, 0, handle)) << c.what;
    handle.SetXDPI(300);
    handle.SetYDPI(200);
    const std::string path = dir.Path("saved.img");
    ASSERT_TRUE(handle.Save(Wide(path).c_str(), c.format, c.quality, c.saveBits)) << c.what;
    EXPECT_EQ(FileKind(path), c.kind) << c.what;
    if (c.format == 3) {
      EXPECT_NE(TiffInfo(dir, path).find("CCITT Group 4"), std::string::npos) << c.what;
    }

    CQVBitmapHandle loaded;
    ASSERT_TRUE(loaded.Load(Wide(path).c_str())) << c.what;
    EXPECT_EQ(loaded.GetBitsPerPixel(), c.loadedBits) << c.what;
    EXPECT_EQ(loaded.GetXDPI(), 300) << c.what;
    EXPECT_EQ(loaded.GetYDPI(), 200) << c.what;
    if (c.meanTolerance == 0) {
      EXPECT_EQ(MaxDifference(PictureOf(loaded), PictureOf(handle)), 0) << c.what;
    } else if (c.meanTolerance > 0) {
      EXPECT_LE(MeanDifference(PictureOf(loaded), PictureOf(handle)), c.meanTolerance) << c.what;
    }
  }
  CQVBitmapHandle empty;
  EXPECT_FALSE(empty.Save(Wide(dir.Path("empty.bmp")).c_str(), 1, 0, 0));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("empty.bmp")));
}

TEST(BitmapHandleFiles, MemoryImagesOfJpegAndRawGroup4) {
  CQVBitmapHandle page;
  Strokes(page, 333, 217);
  page.SetXDPI(204);
  page.SetYDPI(98);

  HGLOBAL block = nullptr;
  DWORD size = 0;
  ASSERT_TRUE(page.SaveMemory_FaxG4(&block, &size));
  ASSERT_GT(size, 0u);
  EXPECT_EQ(GlobalSize(block), size);
  std::vector<BYTE> raw = BytesOf(block);
  GlobalFree(block);
  EXPECT_FALSE(raw[0] == 'I' && raw[1] == 'I') << "raw data, no TIFF around it";

  CQVBitmapHandle decoded;
  ASSERT_TRUE(decoded.LoadMemory_FaxRaw(raw.data(), int(raw.size()), 333, 217, 204, 98, 4));
  EXPECT_EQ(decoded.GetBitsPerPixel(), 1);
  EXPECT_EQ(decoded.GetXDPI(), 204);
  EXPECT_EQ(decoded.GetYDPI(), 98);
  EXPECT_EQ(MaxDifference(PictureOf(decoded), PictureOf(page)), 0);
  EXPECT_FALSE(decoded.LoadMemory_FaxRaw(raw.data(), 0, 333, 217, 204, 98, 4));
  EXPECT_TRUE(decoded.IsEmpty());
  EXPECT_FALSE(decoded.LoadMemory_FaxRaw(raw.data(), int(raw.size()), 0, 217, 204, 98, 4));

  // JPEG only from 8 and 24 bits, Group 4 only from 1 bit; nothing is handed out otherwise.
  HGLOBAL untouched = reinterpret_cast<HGLOBAL>(1);
  EXPECT_FALSE(page.SaveMemory_Jpg(&untouched, &size));
  EXPECT_EQ(untouched, reinterpret_cast<HGLOBAL>(1));
  CQVBitmapHandle colour;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 24, 0, colour));
  EXPECT_FALSE(colour.SaveMemory_FaxG4(&untouched, &size));
  EXPECT_EQ(untouched, reinterpret_cast<HGLOBAL>(1));
  ASSERT_TRUE(colour.SaveMemory_Jpg(&block, &size));
  std::vector<BYTE> jpeg = BytesOf(block);
  GlobalFree(block);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
  CQVBitmapHandle reloaded;
  ASSERT_TRUE(reloaded.LoadMemory(jpeg.data(), int(size)));
  EXPECT_LE(MeanDifference(PictureOf(reloaded), PictureOf(colour)), 10.0);
}

TEST(BitmapHandleFiles, RawFaxDataOfOtherWriters) {
  TempDir dir;
  const std::string pbm = dir.Path("page.pbm");
  ASSERT_TRUE(Shell("convert -size 301x120 xc:white -fill black -draw 'line 0,0 300,119' -draw 'rectangle 40,30 90,60' "
                    "-draw 'line 150,0 150,119' " + Quote(pbm)));
  Picture expected;
  ASSERT_TRUE(ReadPnm(pbm, expected));
  const struct {
    const char* format;
    UINT faxFormat;
  } cases[] = {{"group4", 4}, {"fax", 1}};
  for (const auto& c : cases) {
    const std::string raw = dir.Path("page.raw");
    ASSERT_TRUE(Shell("convert " + Quote(pbm) + " " + c.format + ":" + Quote(raw))) << c.format;
    std::vector<BYTE> bytes = ReadAll(raw);
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.LoadMemory_FaxRaw(bytes.data(), int(bytes.size()), 301, 120, 200, 200, c.faxFormat)) << c.format;
    EXPECT_EQ(MaxDifference(PictureOf(handle), expected), 0) << c.format;
  }
}
