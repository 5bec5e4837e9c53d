// Bitmap handles and files: every TIFF of the shared collection, saving in the three formats and
// loading back, memory images, raw fax data, and pages that keep the Group 4 data they came from.

#include "foundation/imaging/CQVBitmapHandle.h"

#include "foundation/imaging/tests/ImagingSupport.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/globalmem.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <functional>

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
    std::string make;  // writes page.raw, or a one-strip TIFF page.tif whose strip is the data
    UINT faxFormat;
    bool reversed;  // the data with the first pixel of each byte in its least significant bit
  } cases[] = {
      {"convert " + Quote(pbm) + " group4:" + Quote(dir.Path("page.raw")), 4, false},
      {"convert " + Quote(pbm) + " group4:" + Quote(dir.Path("page.raw")), 4, true},
      {"convert " + Quote(pbm) + " fax:" + Quote(dir.Path("page.raw")), 1, false},
      {"convert " + Quote(pbm) + " -compress Group4 " + Quote(dir.Path("g4.tif")) + " && tiffcp -c g3:2d -r 100000 " +
           Quote(dir.Path("g4.tif")) + " " + Quote(dir.Path("page.tif")),
       3, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.make);
    std::remove(dir.Path("page.raw").c_str());
    ASSERT_TRUE(Shell(c.make));
    std::vector<BYTE> bytes = ReadAll(dir.Path("page.raw"));
    if (bytes.empty()) {
      TIFF* tif = TIFFOpen(dir.Path("page.tif").c_str(), "r");
      ASSERT_NE(tif, nullptr);
      bytes.resize(size_t(TIFFRawStripSize(tif, 0)));
      ASSERT_EQ(TIFFReadRawStrip(tif, 0, bytes.data(), tmsize_t(bytes.size())), tmsize_t(bytes.size()));
      TIFFClose(tif);
    }
    if (c.reversed) TIFFReverseBits(bytes.data(), tmsize_t(bytes.size()));
    CQVBitmapHandle handle;
    ASSERT_TRUE(handle.LoadMemory_FaxRaw(bytes.data(), int(bytes.size()), 301, 120, 200, 200, c.faxFormat));
    EXPECT_EQ(MaxDifference(PictureOf(handle), expected), 0);
  }
}

namespace {

// Group 4 data of a page with a few zero bytes after its end, which decoders pass over: data the
// handle's own coder never writes, so that what SaveMemory_FaxG4 gives tells passed from coded.
std::vector<BYTE> StoredGroup4(CQVBitmapHandle& page, std::vector<BYTE>& coded) {
  HGLOBAL block = nullptr;
  DWORD size = 0;
  if (!page.SaveMemory_FaxG4(&block, &size)) return {};
  coded = BytesOf(block);
  GlobalFree(block);
  std::vector<BYTE> stored = coded;
  stored.insert(stored.end(), 4, 0);
  return stored;
}

std::vector<BYTE> Group4Of(CQVBitmapHandle& handle) {
  HGLOBAL block = nullptr;
  DWORD size = 0;
  if (!handle.SaveMemory_FaxG4(&block, &size)) return {};
  std::vector<BYTE> bytes = BytesOf(block);
  GlobalFree(block);
  return bytes;
}

}  // namespace

// A page made from Group 4 data hands that data on while its pixels can only have been read; any
// operation that may change them makes it code the pixels again.
TEST(BitmapHandleFaxG4Source, KeptWhileThePixelsAreOnlyRead) {
  CQVBitmapHandle page;
  Strokes(page, 333, 217);
  const Picture picture = PictureOf(page);
  std::vector<BYTE> coded;
  const std::vector<BYTE> stored = StoredGroup4(page, coded);
  ASSERT_FALSE(stored.empty());
  TempDir dir;
  struct Case {
    const char* name;
    bool keeps;
    std::function<bool(CQVBitmapHandle&)> run;
  };
  const Case cases[] = {
      {"nothing", true, [](CQVBitmapHandle&) { return true; }},
      {"GetPixelColor", true, [](CQVBitmapHandle& h) { COLORREF c = 0; return bool(h.GetPixelColor(3, 3, c)); }},
      {"ConvertToDIB", true, [](CQVBitmapHandle& h) { HGLOBAL d = h.ConvertToDIB(0); return d && !GlobalFree(d); }},
      {"GetRowData", true,
       [](CQVBitmapHandle& h) {
         CDPXMemBuffer row;
         const bool ok = h.AccessRowData(row) && h.GetRowData(7, row);
         h.ReleaseRowData(row);
         return ok;
       }},
      {"Save", true, [&dir](CQVBitmapHandle& h) { return bool(h.Save(Wide(dir.Path("page.bmp")).c_str(), 1, 0, 0)); }},
      {"copied", true, [](CQVBitmapHandle& h) { CQVBitmapHandle copy; return bool(copy.Create(h)) && !copy.HasFaxG4Source(); }},
      {"SetXDPI", true, [](CQVBitmapHandle& h) { h.SetXDPI(300); return true; }},
      {"GetPalette", true, [](CQVBitmapHandle& h) { RGBQUAD e[2]; return bool(h.GetPalette(0, 2, e)); }},
      {"SetPixelColor to its colour", false,
       [](CQVBitmapHandle& h) { COLORREF c = 0; return h.GetPixelColor(3, 3, c) && h.SetPixelColor(3, 3, c); }},
      {"SetPixelIndex", false, [](CQVBitmapHandle& h) { h.SetPixelIndex(3, 3, 1); return true; }},
      {"PutRowData", false,
       [](CQVBitmapHandle& h) {
         CDPXMemBuffer row;
         const bool ok = h.AccessRowData(row) && h.GetRowData(7, row) && h.PutRowData(7, row);
         h.ReleaseRowData(row);
         return ok;
       }},
      {"Access", false, [](CQVBitmapHandle& h) { const bool ok = h.Access() != nullptr; h.Release(); return ok; }},
      {"GetPtr", false, [](CQVBitmapHandle& h) { return h.GetPtr() != nullptr; }},
      {"CreateDCW", false, [](CQVBitmapHandle& h) { const bool ok = h.CreateDCW() != nullptr; h.DeleteDC(); return ok; }},
      {"SetPalette", false, [](CQVBitmapHandle& h) { RGBQUAD e[2]; return h.GetPalette(0, 2, e) && h.SetPalette(0, 2, e); }},
      {"SetPerspective", false, [](CQVBitmapHandle& h) { return bool(h.SetPerspective(1)); }},
      {"Flip twice", false, [](CQVBitmapHandle& h) { return h.Flip() && h.Flip(); }},
      {"Reverse", false, [](CQVBitmapHandle& h) { return bool(h.Reverse()); }},
      {"Rotate", false, [](CQVBitmapHandle& h) { return bool(h.Rotate(9000, 0, 0)); }},
      {"Resize", false, [](CQVBitmapHandle& h) { return bool(h.Resize(100, 60, 0)); }},
      {"Crop", false, [](CQVBitmapHandle& h) { return bool(h.Crop(CRect(10, 10, 200, 100))); }},
      {"BinaryBitmap", false, [](CQVBitmapHandle& h) { return bool(h.BinaryBitmap()); }},
      {"StoreRecordToChange", false, [](CQVBitmapHandle& h) { h.StoreRecordToChange(); return true; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (BOOL defer : {TRUE, FALSE}) {
      CQVBitmapHandle handle;
      ASSERT_TRUE(handle.LoadFaxG4Page(stored, 333, 217, 204, 98, defer));
      EXPECT_TRUE(handle.HasFaxG4Source());
      EXPECT_EQ(handle.GetWidth(), 333);
      EXPECT_EQ(handle.GetXDPI(), 204);
      ASSERT_TRUE(c.run(handle));
      EXPECT_EQ(handle.HasFaxG4Source(), c.keeps);
      const std::vector<BYTE> given = Group4Of(handle);
      ASSERT_FALSE(given.empty());
      if (c.keeps) {
        EXPECT_EQ(given, stored);
        EXPECT_EQ(MaxDifference(PictureOf(handle), picture), 0);
      } else {
        // Coded again from what the pixels are now.
        CQVBitmapHandle back;
        ASSERT_TRUE(back.LoadMemory_FaxRaw(const_cast<BYTE*>(given.data()), int(given.size()), handle.GetWidth(),
                                           handle.GetHeight(), 200, 200, 4));
        EXPECT_EQ(MaxDifference(PictureOf(back), PictureOf(handle)), 0);
        EXPECT_NE(given, stored);
      }
    }
  }
}

TEST(BitmapHandleFaxG4Source, MovesWithTheBitmapAndDamagedDataShowsWhenDecoded) {
  CQVBitmapHandle page;
  Strokes(page, 333, 217);
  std::vector<BYTE> coded;
  const std::vector<BYTE> stored = StoredGroup4(page, coded);

  CQVBitmapHandle first, second;
  ASSERT_TRUE(first.LoadFaxG4Page(stored, 333, 217, 200, 200, TRUE));
  ASSERT_TRUE(second.Attach(first));
  EXPECT_TRUE(first.IsEmpty());
  EXPECT_FALSE(first.HasFaxG4Source());
  EXPECT_TRUE(second.HasFaxG4Source());
  EXPECT_EQ(MaxDifference(PictureOf(second), PictureOf(page)), 0);
  EXPECT_EQ(Group4Of(second), stored);
  second.Free();
  EXPECT_FALSE(second.HasFaxG4Source());

  // Data that is no Group 4 at all: the page tells its size until its pixels are wanted, then it
  // is empty.
  std::vector<BYTE> garbage(stored.size());
  for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = BYTE(i * 7919 % 251);
  CQVBitmapHandle damaged;
  ASSERT_TRUE(damaged.LoadFaxG4Page(garbage, 333, 217, 200, 200, TRUE));
  EXPECT_EQ(damaged.GetHeight(), 217);
  COLORREF colour = 0;
  EXPECT_FALSE(damaged.GetPixelColor(0, 0, colour));
  EXPECT_TRUE(damaged.IsEmpty());
  EXPECT_FALSE(damaged.HasFaxG4Source());
  EXPECT_TRUE(Group4Of(damaged).empty());
  EXPECT_FALSE(damaged.LoadFaxG4Page(garbage, 333, 217, 200, 200, FALSE));
  EXPECT_TRUE(damaged.IsEmpty());

  // The data is read in its own bit order only: reversed, it is not some other picture.
  std::vector<BYTE> reversed = coded;
  for (BYTE& v : reversed) {
    BYTE r = 0;
    for (int bit = 0; bit < 8; ++bit) r = BYTE(r | (((v >> bit) & 1) << (7 - bit)));
    v = r;
  }
  EXPECT_FALSE(damaged.LoadFaxG4Page(reversed, 333, 217, 200, 200, FALSE));
  EXPECT_FALSE(damaged.LoadFaxG4Page({}, 333, 217, 200, 200, TRUE));
  EXPECT_FALSE(damaged.LoadFaxG4Page(coded, 0, 217, 200, 200, TRUE));
}
