#include "foundation/imaging/CQVTiffFile.h"

#include "foundation/imaging/CQVBDEImageFormat.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"
#include "platform/core/globalmem.h"
#include "platform/imaging/Color.h"
#include "platform/imaging/File.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>

using namespace qvtest;

namespace {

CString WidePath(const std::string& path) { return CString(Wide(path).c_str()); }

struct PageFacts {
  int width, height, compression, photometric;
};

struct FileFacts {
  const char* name;
  std::vector<PageFacts> pages;
};

// Every file of the shared collection, page by page, as libtiff's own tools describe it.
const FileFacts kCollection[] = {
  { "CCITT-bounds.tif", { { 2488, 3510, 4, 0 } } },
  { "CCITT_1.TIF", { { 1728, 2376, 4, 0 } } },
  { "CCITT_2.TIF", { { 1728, 2376, 4, 0 } } },
  { "CCITT_3.TIF", { { 1728, 2376, 4, 0 } } },
  { "CCITT_4.TIF", { { 1728, 2376, 4, 0 } } },
  { "G31D.TIF", { { 2464, 3248, 3, 0 } } },
  { "G32D.TIF", { { 2464, 3248, 3, 0 } } },
  { "G4.TIF", { { 2464, 3248, 4, 0 } } },
  { "bitonal.tif", { { 1710, 709, 4, 0 } } },
  { "cramps.tif", { { 800, 607, 32773, 0 } } },
  { "doc-1211625-8-1.tiff", { { 1216, 380, 7, 1 }, { 1216, 380, 7, 1 } } },
  { "fax2d.tif", { { 1728, 1082, 3, 0 } } },
  { "jello.tif", { { 256, 192, 32773, 3 } } },
  { "multipage.tif", { { 184, 808, 3, 0 }, { 149, 140, 5, 3 }, { 128, 128, 5, 3 } } },
  { "palette1bpp.tif", { { 100, 100, 32946, 3 } } },
  { "penguin_jpeg.tif", { { 1024, 768, 7, 6 } } },
  { "quad-jpeg.tif", { { 512, 384, 7, 6 } } },
  { "rgb8-jpeg-YCrCb.tif", { { 100, 100, 7, 6 } } },
  { "smallliz.tif", { { 160, 160, 6, 6 } } },
  { "strike.tif", { { 256, 200, 5, 2 } } },
  { "unknown-tags.tif", { { 100, 37, 32773, 5 } } },
  { "ycbcr-cat.tif", { { 250, 325, 5, 6 } } },
  { "zackthecat.tif", { { 234, 213, 6, 6 } } },
};

TEST(CQVTiffFileTest, EveryCollectionFileOpensPageByPageAndDecodesAsLibtiffShowsIt) {
  TempDir dir;
  for (const FileFacts& file : kCollection) {
    SCOPED_TRACE(file.name);
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(TestFile(file.name)));
    ASSERT_TRUE(tiff.IsTiffFile());
    for (size_t page = 0; page < file.pages.size(); ++page) {
      SCOPED_TRACE(page);
      tagTiffImageInfo info;
      info.page = static_cast<WORD>(page);
      ASSERT_TRUE(tiff.GetTiffImageInfo(info));
      const PageFacts& want = file.pages[page];
      EXPECT_EQ(info.pageCount, file.pages.size());
      EXPECT_EQ(info.multipage, file.pages.size() > 1);
      EXPECT_EQ(info.page, page);
      EXPECT_EQ(info.width, DWORD(want.width));
      EXPECT_EQ(info.height, DWORD(want.height));
      EXPECT_EQ(info.compression, want.compression);
      EXPECT_EQ(info.photometric, want.photometric);
      EXPECT_EQ(info.producer, 3);
      EXPECT_NE(info.ifdOffset, 0u);

      CQVBitmapHandle bitmap;
      ASSERT_TRUE(tiff.DecodeTif(static_cast<WORD>(page), bitmap));
      Picture reference;
      ASSERT_TRUE(ReferencePage(TestFile(file.name), static_cast<int>(page), reference, dir));
      const Picture decoded = PictureOf(bitmap);
      // Same pixels as libtiff's reader, up to rounding in colour conversions.
      EXPECT_LE(MaxDifference(decoded, reference), want.photometric >= 5 ? 40 : 1);
      EXPECT_LT(MeanDifference(decoded, reference), 1.0);
    }
  }
}

TEST(CQVTiffFileTest, PageInfoReportsResolutionInInchesAndFallsBackToPageZero) {
  TempDir dir;
  const std::string path = dir.Path("cm.tif");
  ASSERT_TRUE(Shell("tiffcp -c none " + Quote(TestFile("fax2d.tif")) + " " + Quote(path) + " && tiffset -s 296 3 " +
                    Quote(path) + " && tiffset -s 282 118.11 " + Quote(path)));
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(path));
  tagTiffImageInfo info;
  info.page = 7;
  ASSERT_TRUE(tiff.GetTiffImageInfo(info));
  EXPECT_EQ(info.page, 0);
  EXPECT_NEAR(info.xResolution, 118.11 * 2.54 + 0.5, 0.01);
  EXPECT_EQ(info.bitsPerSample, 1);
  EXPECT_EQ(info.samplesPerPixel, 1);
  EXPECT_EQ(info.orientation, 1);
}

// Lists of a little-endian file and of its big-endian copy hold the same values in host order.
TEST(CQVTiffFileTest, BigEndianFilesListTheirValuesInHostOrder) {
  TempDir dir;
  for (const char* name : { "fax2d.tif", "strike.tif", "jello.tif", "multipage.tif" }) {
    SCOPED_TRACE(name);
    const std::string little = dir.Path("le.tif"), big = dir.Path("be.tif");
    ASSERT_TRUE(Shell("tiffcp -L " + Quote(TestFile(name)) + " " + Quote(little)));
    ASSERT_TRUE(Shell("tiffcp -B " + Quote(TestFile(name)) + " " + Quote(big)));
    CQVTiffFile le, be;
    le.SetFileForOperation(WidePath(little));
    be.SetFileForOperation(WidePath(big));
    CArray<tagTiffTagInfo> a, b;
    DWORD nextA = 0, nextB = 0;
    ASSERT_TRUE(le.GetTagList(WORD(0), nextA, a));
    ASSERT_TRUE(be.GetTagList(WORD(0), nextB, b));
    EXPECT_EQ(nextA != 0, nextB != 0);
    ASSERT_EQ(a.GetSize(), b.GetSize());
    int compared = 0;
    for (INT_PTR i = 0; i < a.GetSize(); ++i) {
      EXPECT_EQ(a[i].tag, b[i].tag);
      EXPECT_EQ(a[i].count, b[i].count);
      ASSERT_EQ(a[i].size, b[i].size) << a[i].tag;
      // Strip offsets differ between the two layouts; every other value is the same.
      if (a[i].tag == 273 || a[i].tag == 279 || a[i].size <= 0 || a[i].type != b[i].type) continue;
      EXPECT_EQ(0, std::memcmp(a[i].Bytes(), b[i].Bytes(), a[i].size)) << "tag " << a[i].tag;
      ++compared;
    }
    EXPECT_GT(compared, 5);
    // Known values: the width as SHORT or LONG, the resolution as a rational.
    for (INT_PTR i = 0; i < b.GetSize(); ++i) {
      if (b[i].tag == 282 && std::string(name) == "fax2d.tif") {
        DWORD rational[2];
        std::memcpy(rational, b[i].Bytes(), 8);
        EXPECT_EQ(rational[0] / rational[1], 204u);
      }
    }
    CQVTiffFile::FreeTagInfoArray(a);
    CQVTiffFile::FreeTagInfoArray(b);
    EXPECT_EQ(a.GetSize(), 0);
  }
}

TEST(CQVTiffFileTest, TagNamesAndTypeWidths) {
  const std::pair<WORD, const char16_t*> names[] = {
    { 254, u"SubFileType" }, { 347, u"JPEGTables" }, { 33432, u"Copyright" }, { 37439, u"StoNits" },
    { 32997, u"ImageDepth (SGI)" }, { 65501, u"Tag 65501" }, { 1, u"Tag 1" },
  };
  for (const auto& [tag, name] : names) EXPECT_EQ(CQVTiffFile::GetTagName(tag), CString(name)) << tag;
  const int widths[] = { 0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 0, 0 };
  for (WORD type = 0; type < 15; ++type) EXPECT_EQ(CQVTiffFile::GetDataWidth(type), widths[type]) << type;
  for (DWORD tag : { 32932u, 33534u, 33535u, 33536u, 65500u, 65501u }) EXPECT_TRUE(CQVTiffFile::IsPrivateTag(tag));
  for (DWORD tag : { 0u, 256u, 32933u, 65502u }) EXPECT_FALSE(CQVTiffFile::IsPrivateTag(tag));
}

struct PrivateValue {
  DWORD tag;
  std::vector<BYTE> bytes;
};

int WritePrivateTags(CQVTiffFile* file, void* context) {
  for (const PrivateValue& v : *static_cast<std::vector<PrivateValue>*>(context)) {
    if (!file->SetTifTagValue(v.tag, static_cast<uint32_t>(v.bytes.size()), v.bytes.data())) return 0;
  }
  return 1;
}

bool MakeBilevel(CQVBitmapHandle& handle, int width, int height, bool blackFirst = true) {
  Picture picture = Pattern(width, height);
  if (!HandleOf(picture, 1, handle)) return false;
  imaging::Bitmap& bitmap = handle.StoreRecordToChange();
  if (!blackFirst) {
    // The same picture with a white-first palette.
    std::swap(bitmap.palette[0], bitmap.palette[1]);
    for (int i = 0; i < bitmap.bytesPerLine * bitmap.height; ++i) bitmap.bits[i] = static_cast<BYTE>(~bitmap.bits[i]);
  }
  bitmap.xResolution = 200;
  bitmap.yResolution = 100;
  return true;
}

// All six private tags are written through the page callback and read back by a new handle,
// with the length the writer gave.
TEST(CQVTiffFileTest, PrivateTagsReadBack) {
  TempDir dir;
  const std::string path = dir.Path("private.tif");
  std::vector<PrivateValue> values;
  const std::pair<DWORD, size_t> sizes[] = { { 32932, 10 }, { 33534, 318 }, { 33535, 512 }, { 33536, 68 },
                                             { 65500, 280 }, { 65501, 2048 } };
  for (const auto& [tag, size] : sizes) {
    PrivateValue v { tag, std::vector<BYTE>(size) };
    for (size_t i = 0; i < size; ++i) v.bytes[i] = static_cast<BYTE>(i * 7 + tag);
    values.push_back(v);
  }
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(MakeBilevel(bitmap, 64, 40));
  {
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(path));
    ASSERT_TRUE(tiff.EncodeTif(0, bitmap, WritePrivateTags, &values, 0xFFFFFFFF));
  }
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(path));
  ASSERT_TRUE(tiff.BeginGetTagValue(0));
  for (const PrivateValue& v : values) {
    uint32_t count = 0;
    void* data = nullptr;
    ASSERT_TRUE(tiff.GetTifTagValue(v.tag, &count, &data)) << v.tag;
    ASSERT_EQ(count, v.bytes.size());
    EXPECT_EQ(0, std::memcmp(data, v.bytes.data(), count));
  }
  EXPECT_TRUE(tiff.EndGetTagValue());
  EXPECT_FALSE(tiff.EndGetTagValue());
  // A failing callback abandons the page.
  auto refuse = [](CQVTiffFile*, void*) { return 0; };
  CQVTiffFile other;
  other.SetFileForOperation(WidePath(dir.Path("refused.tif")));
  EXPECT_FALSE(other.EncodeTif(0, bitmap, refuse, nullptr, 0xFFFFFFFF));
}

TEST(CQVTiffFileTest, PatchInPlaceRewritesTheStoredValueAndNothingElse) {
  TempDir dir;
  const std::string path = dir.Path("patch.tif");
  std::vector<PrivateValue> values { { 65501, std::vector<BYTE>(2048, 0x11) } };
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(MakeBilevel(bitmap, 64, 40));
  {
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(path));
    ASSERT_TRUE(tiff.EncodeTif(0, bitmap, WritePrivateTags, &values, 0xFFFFFFFF));
  }
  const std::vector<BYTE> before = ReadAll(path);
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(path));
  std::vector<BYTE> patch(2048);
  for (size_t i = 0; i < patch.size(); ++i) patch[i] = static_cast<BYTE>(i);
  ASSERT_TRUE(tiff.UpdateTagValueInPlace(0, 65501, 1, 2048, patch.data()));
  std::vector<BYTE> after = ReadAll(path);
  ASSERT_EQ(after.size(), before.size());
  size_t changed = 0;
  for (size_t i = 0; i < after.size(); ++i) changed += after[i] != before[i];
  EXPECT_LE(changed, 2048u);
  ASSERT_TRUE(tiff.BeginGetTagValue(0));
  uint32_t count = 0;
  void* data = nullptr;
  ASSERT_TRUE(tiff.GetTifTagValue(65501, &count, &data));
  EXPECT_EQ(0, std::memcmp(data, patch.data(), 2048));
  tiff.EndGetTagValue();

  std::vector<BYTE> longer(2049);
  EXPECT_FALSE(tiff.UpdateTagValueInPlace(0, 65501, 1, 2049, longer.data()));
  // A tag the directory does not hold, or a different type, leaves the file as it was.
  after = ReadAll(path);
  EXPECT_TRUE(tiff.UpdateTagValueInPlace(0, 65500, 1, 4, longer.data()));
  EXPECT_TRUE(tiff.UpdateTagValueInPlace(0, 65501, 7, 4, longer.data()));
  EXPECT_EQ(ReadAll(path), after);
  // Inline values: the orientation SHORT.
  WORD orientation = 4;
  ASSERT_TRUE(tiff.UpdateTagValueInPlace(0, 274, 3, 1, &orientation));
  tagTiffImageInfo info;
  ASSERT_TRUE(tiff.GetTiffImageInfo(info));
  EXPECT_EQ(info.orientation, 4);
}

std::vector<int> PageWidths(const std::string& path) {
  std::vector<int> widths;
  TIFF* tif = TIFFOpen(path.c_str(), "r");
  if (!tif) return widths;
  do {
    uint32_t w = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &w);
    widths.push_back(static_cast<int>(w));
  } while (TIFFReadDirectory(tif));
  TIFFClose(tif);
  return widths;
}

// Pages of widths 100, 101, 102 (old 0, 1, 2); a new page of width 50 goes to its position.
TEST(CQVTiffFileTest, AppendedPagesMoveToTheirPlaceInTheChain) {
  const std::pair<WORD, std::vector<int>> cases[] = {
    { 1, { 100, 50, 101, 102 } }, { 0, { 50, 100, 101, 102 } }, { 5, { 100, 101, 102, 50 } },
    { 2, { 100, 101, 50, 102 } }, { 3, { 100, 101, 102, 50 } },
  };
  for (const auto& [position, order] : cases) {
    SCOPED_TRACE(position);
    TempDir dir;
    const std::string path = dir.Path("pages.tif");
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(path));
    for (int w : { 100, 101, 102 }) {
      CQVBitmapHandle page;
      ASSERT_TRUE(MakeBilevel(page, w, 30));
      ASSERT_TRUE(tiff.EncodeTif(99, page, nullptr, nullptr, 0xFFFFFFFF));
    }
    CQVBitmapHandle page;
    ASSERT_TRUE(MakeBilevel(page, 50, 30));
    ASSERT_TRUE(tiff.EncodeTif(position, page, nullptr, nullptr, 0xFFFFFFFF));
    EXPECT_EQ(PageWidths(path), order);
    std::string report;
    EXPECT_TRUE(TiffinfoClean(path, &report)) << report;
  }
}

// Each depth and requested compression gives the stored compression and photometric sense the
// layer promises, and the page decodes to the picture that went in.
TEST(CQVTiffFileTest, EncodedPagesKeepTheirPixels) {
  struct Case {
    int bpp;
    bool palette;
    DWORD requested;
    int compression, photometric, predictor;
    int tolerance;
  };
  const Case cases[] = {
    { 1, false, 0xFFFFFFFF, 4, 0, 0, 0 }, { 1, false, 5, 5, 0, 0, 0 },   { 1, false, 32773, 32773, 0, 0, 0 },
    { 1, false, 7, 4, 0, 0, 0 },          { 4, false, 5, 1, 1, 0, 0 },   { 8, false, 0xFFFFFFFF, 7, 1, 0, 3 },
    { 8, false, 5, 5, 1, 2, 0 },          { 8, true, 7, 32773, 3, 0, 0 }, { 8, true, 0xFFFFFFFF, 32773, 3, 0, 0 },
    { 24, false, 0xFFFFFFFF, 7, 6, 0, 10 }, { 24, false, 5, 5, 2, 2, 0 }, { 24, false, 1, 1, 2, 0, 0 },
    { 24, false, 6, 6, 6, 0, 10 },
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bpp << " bits, compression " << c.requested);
    TempDir dir;
    const std::string path = dir.Path("page.tif");
    const Picture source = Pattern(97, 61);
    CQVBitmapHandle handle;
    imaging::Bitmap& bitmap = handle.StoreRecordToChange();
    if (c.bpp == 4) {
      ASSERT_TRUE(imaging::Create(bitmap, source.width, source.height, 4));
      for (int y = 0; y < source.height; ++y) {
        for (int x = 0; x < source.width; ++x) {
          imaging::SetPixelColor(bitmap, y, x, imaging::kPaletteIndexFlag | ((x + y) & 15));
        }
      }
    } else {
      ASSERT_TRUE(BitmapOf(source, c.bpp, bitmap, imaging::kBottomLeft));
    }
    if (c.palette) {
      // A colour palette: the grey levels shown in red.
      for (int i = 0; i < 256; ++i) bitmap.palette[i] = RGBQUAD { 0, 0, BYTE(i), 0 };
    }
    bitmap.xResolution = bitmap.yResolution = 150;
    const Picture expected = PictureOf(bitmap);
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(path));
    ASSERT_TRUE(tiff.EncodeTif(0, handle, nullptr, nullptr, c.requested));
    EXPECT_EQ(PictureOf(bitmap).rgb, expected.rgb) << "the bitmap itself is left alone";
    tagTiffImageInfo info;
    ASSERT_TRUE(tiff.GetTiffImageInfo(info));
    EXPECT_EQ(info.compression, c.compression);
    EXPECT_EQ(info.photometric, c.photometric);
    EXPECT_EQ(info.producer, 1);
    EXPECT_EQ(info.xResolution, 150.0f);
    TIFF* tif = TIFFOpen(path.c_str(), "r");
    ASSERT_TRUE(tif);
    uint16_t predictor = 0;
    TIFFGetField(tif, TIFFTAG_PREDICTOR, &predictor);
    EXPECT_EQ(predictor, c.predictor);
    TIFFClose(tif);
    std::string report;
    if (c.compression != 6) {
      EXPECT_TRUE(TiffinfoClean(path, &report)) << report;
    }
    Picture reference;
    ASSERT_TRUE(ReferencePage(path, 0, reference, dir));
    CQVBitmapHandle decoded;
    ASSERT_TRUE(tiff.DecodeTif(0, decoded));
    if (c.tolerance == 0) {
      EXPECT_EQ(MaxDifference(reference, expected), 0);
      EXPECT_EQ(MaxDifference(PictureOf(decoded), expected), 0);
    } else {
      // JPEG: close to the source, and the same as the stored stream decoded on its own.
      EXPECT_LT(MeanDifference(reference, expected), c.tolerance);
      EXPECT_LE(MaxDifference(PictureOf(decoded), reference), 2);
    }
  }
}

// The old-style page points JPEGInterchangeFormat at its strip, which is a complete stream.
// A one-strip old-style JPEG page as the other writer of stored images makes them: the strip is
// a whole JPEG stream, JPEGInterchangeFormat and its length point at it, Software names it.
void WriteOtherOldStylePage(const std::string& path, uint32_t width, uint32_t height, const std::vector<BYTE>& stream) {
  std::vector<BYTE> file { 'I', 'I', 42, 0, 0, 0, 0, 0 };
  auto put = [&file](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<BYTE>(value >> (8 * i));
  };
  const uint32_t streamAt = 8, textAt = streamAt + static_cast<uint32_t>(stream.size());
  file.insert(file.end(), stream.begin(), stream.end());
  for (char c : std::string("xLMR 9.9")) file.push_back(static_cast<BYTE>(c));
  file.push_back(0);
  if (file.size() % 2) file.push_back(0);
  const uint32_t ifd = static_cast<uint32_t>(file.size());
  put(4, ifd, 4);
  const uint32_t entries[][4] = { { 256, 4, 1, width }, { 257, 4, 1, height }, { 258, 3, 1, 8 }, { 259, 3, 1, 6 },
                                  { 262, 3, 1, 6 }, { 273, 4, 1, streamAt }, { 277, 3, 1, 3 }, { 278, 4, 1, height },
                                  { 279, 4, 1, static_cast<uint32_t>(stream.size()) }, { 305, 2, 9, textAt },
                                  { 513, 4, 1, streamAt }, { 514, 4, 1, static_cast<uint32_t>(stream.size()) } };
  const size_t count = sizeof(entries) / sizeof(entries[0]);
  file.resize(file.size() + 2 + 12 * count + 4, 0);
  put(ifd, static_cast<uint32_t>(count), 2);
  for (size_t i = 0; i < count; ++i) {
    const size_t at = ifd + 2 + 12 * i;
    put(at, entries[i][0], 2);
    put(at + 2, entries[i][1], 2);
    put(at + 4, entries[i][2], 4);
    put(at + 8, entries[i][3], entries[i][1] == 3 ? 2 : 4);
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
}

TEST(CQVTiffFileTest, OldStyleJpegPagesCarryACompleteStreamAtTheirInterchangeOffset) {
  TempDir dir;
  const std::string path = dir.Path("ojpeg.tif");
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(HandleOf(Pattern(120, 80), 24, bitmap));
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(path));
  ASSERT_TRUE(tiff.EncodeTif(0, bitmap, nullptr, nullptr, 6));
  CArray<tagTiffTagInfo> tags;
  DWORD next = 0;
  ASSERT_TRUE(tiff.GetTagList(WORD(0), next, tags));
  DWORD interchange = 0, strip = 0;
  bool hasTables = false;
  for (INT_PTR i = 0; i < tags.GetSize(); ++i) {
    if (tags[i].tag == 513) std::memcpy(&interchange, tags[i].Bytes(), 4);
    if (tags[i].tag == 273) std::memcpy(&strip, tags[i].Bytes(), 4);
    hasTables = hasTables || tags[i].tag == 347;
    if (i > 0) {
      EXPECT_LT(tags[i - 1].tag, tags[i].tag) << "entries stay sorted";
    }
  }
  CQVTiffFile::FreeTagInfoArray(tags);
  EXPECT_FALSE(hasTables);
  ASSERT_NE(interchange, 0u);
  EXPECT_EQ(interchange, strip);
  const std::vector<BYTE> file = ReadAll(path);
  ASSERT_LT(interchange + 2, file.size());
  EXPECT_EQ(file[interchange], 0xFF);
  EXPECT_EQ(file[interchange + 1], 0xD8);

  // The stream reads back as a clump and as raw data, from our page and from a page of the other
  // writer whose old-style pages stored images hold; such a stored image loads through its clump.
  BYTE* clump = nullptr;
  DWORD size = 0;
  int xDpi = 0, yDpi = 0;
  ASSERT_TRUE(tiff.ReadJpegClump(0, clump, size, xDpi, yDpi));
  const std::vector<BYTE> stream(clump, clump + size);
  std::free(clump);
  const std::string other = dir.Path("other.tif");
  WriteOtherOldStylePage(other, 120, 80, stream);
  const Picture source = PictureOf(bitmap);
  for (const std::string& file : { path, other }) {
    SCOPED_TRACE(file);
    CQVTiffFile reader;
    reader.SetFileForOperation(WidePath(file));
    ASSERT_TRUE(reader.ReadJpegClump(0, clump, size, xDpi, yDpi));
    imaging::Bitmap decoded;
    EXPECT_TRUE(imaging::LoadMemory(clump, size, decoded));
    std::free(clump);
    EXPECT_LT(MeanDifference(imaging::test::PictureOf(decoded), source), 12.0);
    WORD pages = 0;
    ASSERT_TRUE(reader.BeginReadRawData(pages));
    ASSERT_TRUE(reader.ReadRawData(0, clump, size));
    reader.EndReadRawData();
    EXPECT_EQ(std::vector<BYTE>(clump, clump + size), stream);
    std::free(clump);
  }
  CQVBitmapHandle loaded;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(WidePath(other).GetString(), loaded, 2));
  EXPECT_EQ(loaded.GetWidth(), 60);
}

// Group 4 data read from a page and written into another file shows the same picture, whatever
// fill order, orientation and strip layout the source page had.
TEST(CQVTiffFileTest, GroupFourDataCopiedBetweenFilesKeepsThePicture) {
  TempDir dir;
  struct Source {
    const char* name;
    const char* tiffcpOptions;  // how the source page is laid out
    const char* orientation;
  };
  const Source sources[] = {
    { "CCITT_1.TIF", "-f lsb2msb", "1" }, { "G4.TIF", "-f msb2lsb", "1" }, { "bitonal.tif", "-r 64", "1" },
    { "CCITT-bounds.tif", "", "1" },      { "bitonal.tif", "-r 100000", "3" },
  };
  for (const Source& s : sources) {
    SCOPED_TRACE(testing::Message() << s.name << ", orientation " << s.orientation);
    const std::string source = dir.Path("source.tif"), target = dir.Path("target.tif");
    std::remove(target.c_str());
    ASSERT_TRUE(Shell(std::string("tiffcp -c g4 ") + s.tiffcpOptions + " " + Quote(TestFile(s.name)) + " " +
                      Quote(source) + " && tiffset -s 305 'xLMR scan' " + Quote(source) + " && tiffset -s 274 " +
                      s.orientation + " " + Quote(source)));
    CQVTiffFile in;
    in.SetFileForOperation(WidePath(source));
    BYTE* data = nullptr;
    DWORD size = 0;
    int width = 0, height = 0, x = 0, y = 0;
    ASSERT_TRUE(in.ReadFaxG4Clump(0, data, size, width, height, x, y));
    ASSERT_NE(data, nullptr);
    CQVTiffFile out;
    out.SetFileForOperation(WidePath(target));
    ASSERT_TRUE(out.WriteFaxG4Clump(0, data, size, width, height, x, y, nullptr, nullptr));
    std::free(data);
    // ImageMagick turns the source page upright; the copy shows it so.
    Picture shown, copied;
    ASSERT_TRUE(Shell("convert " + Quote(source) + " -auto-orient " + Quote(dir.Path("shown.pbm")) + " && convert " +
                      Quote(target) + " -auto-orient " + Quote(dir.Path("copied.pbm"))));
    ASSERT_TRUE(ReadPnm(dir.Path("shown.pbm"), shown));
    ASSERT_TRUE(ReadPnm(dir.Path("copied.pbm"), copied));
    EXPECT_EQ(MaxDifference(copied, shown), 0);
    CQVBitmapHandle decoded;
    ASSERT_TRUE(out.DecodeTif(0, decoded));
    EXPECT_EQ(MaxDifference(PictureOf(decoded), shown), 0);
    std::string report;
    EXPECT_TRUE(TiffinfoClean(target, &report)) << report;
  }
  // Pages of other writers are left to the caller (no data, no failure).
  CQVTiffFile other;
  other.SetFileForOperation(WidePath(TestFile("G4.TIF")));
  BYTE* data = reinterpret_cast<BYTE*>(1);
  DWORD size = 1;
  int width = 0, height = 0, x = 0, y = 0;
  EXPECT_TRUE(other.ReadFaxG4Clump(0, data, size, width, height, x, y));
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(size, 0u);
  EXPECT_EQ(width, 2464);
  EXPECT_EQ(x, 300);
}

// Sets the density of the JFIF header that cjpeg writes behind SOI.
void SetJfifDensity(std::vector<BYTE>& stream, int units, int x, int y) {
  ASSERT_GE(stream.size(), 20u);
  ASSERT_EQ(stream[6], 'J');
  stream[13] = static_cast<BYTE>(units);
  stream[14] = static_cast<BYTE>(x >> 8);
  stream[15] = static_cast<BYTE>(x);
  stream[16] = static_cast<BYTE>(y >> 8);
  stream[17] = static_cast<BYTE>(y);
}

// Ready JPEG streams of several kinds become pages that libtiff decodes as djpeg does.
TEST(CQVTiffFileTest, JpegStreamsBecomePagesAndComeBackWhole) {
  TempDir dir;
  const std::string ppm = dir.Path("pattern.ppm");
  ASSERT_TRUE(WritePnm(ppm, Pattern(203, 77)));
  struct Case {
    const char* options;
    int xDpi, yDpi;  // given to the writer
    int wantX, wantY;
  };
  const Case cases[] = {
    { "", 300, 300, 300, 300 },
    { "-optimize", -1, -1, 72, 72 },
    { "-restart 1", 200, 100, 200, 100 },
    { "-grayscale", -1, -1, 72, 72 },
    { "-sample 1x1", 96, 96, 96, 96 },
    { "-sample 2x1", 96, 96, 96, 96 },
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const std::string jpg = dir.Path("in.jpg"), tif = dir.Path("out.tif"), back = dir.Path("back.jpg");
    std::remove(tif.c_str());
    ASSERT_TRUE(Shell(std::string("cjpeg ") + c.options + " " + Quote(ppm) + " > " + Quote(jpg)));
    // Leading bytes before SOI are dropped.
    std::vector<BYTE> stream = ReadAll(jpg);
    SetJfifDensity(stream, 1, 72, 72);
    stream.insert(stream.begin(), { 'j', 'u', 'n', 'k' });
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(tif));
    ASSERT_TRUE(tiff.WriteJpegClump(0, stream.data(), static_cast<DWORD>(stream.size()), c.xDpi, c.yDpi, nullptr,
                                    nullptr));
    std::string report;
    EXPECT_TRUE(TiffinfoClean(tif, &report)) << report;
    tagTiffImageInfo info;
    ASSERT_TRUE(tiff.GetTiffImageInfo(info));
    EXPECT_EQ(info.xResolution, float(c.wantX));
    EXPECT_EQ(info.yResolution, float(c.wantY));
    EXPECT_EQ(info.producer, 1);
    Picture viaTiff, viaDjpeg;
    ASSERT_TRUE(ReferencePage(tif, 0, viaTiff, dir));
    ASSERT_TRUE(Shell("djpeg -pnm " + Quote(jpg) + " > " + Quote(dir.Path("d.pnm"))));
    ASSERT_TRUE(ReadPnm(dir.Path("d.pnm"), viaDjpeg));
    EXPECT_LE(MaxDifference(viaTiff, viaDjpeg), 2);
    BYTE* data = nullptr;
    DWORD size = 0;
    int x = 0, y = 0;
    ASSERT_TRUE(tiff.ReadJpegClump(0, data, size, x, y));
    EXPECT_EQ(std::vector<BYTE>(data, data + size), std::vector<BYTE>(stream.begin() + 4, stream.end()));
    EXPECT_EQ(x, c.wantX);
    std::free(data);
  }
}

TEST(CQVTiffFileTest, JfifDensityInCentimetresBecomesDotsPerInch) {
  TempDir dir;
  const std::string jpg = dir.Path("cm.jpg"), tif = dir.Path("cm.tif");
  ASSERT_TRUE(WritePnm(dir.Path("p.ppm"), Pattern(32, 32)));
  ASSERT_TRUE(Shell("cjpeg " + Quote(dir.Path("p.ppm")) + " > " + Quote(jpg)));
  std::vector<BYTE> stream = ReadAll(jpg);
  SetJfifDensity(stream, 2, 118, 118);
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(tif));
  ASSERT_TRUE(tiff.WriteJpegClump(0, stream.data(), static_cast<DWORD>(stream.size()), -1, -1, nullptr, nullptr));
  tagTiffImageInfo info;
  ASSERT_TRUE(tiff.GetTiffImageInfo(info));
  EXPECT_EQ(info.xResolution, 300.0f);
  // Streams without a frame header, or of other producers, are refused.
  std::vector<BYTE> broken { 0xFF, 0xD8, 0xFF, 0xD9 };
  EXPECT_FALSE(tiff.WriteJpegClump(0, broken.data(), 4, 100, 100, nullptr, nullptr));
  CQVTiffFile other;
  other.SetFileForOperation(WidePath(TestFile("quad-jpeg.tif")));
  BYTE* data = nullptr;
  DWORD size = 0;
  int x = 0, y = 0;
  EXPECT_FALSE(other.ReadJpegClump(0, data, size, x, y));
  EXPECT_EQ(data, nullptr);
}

// Pages written strip by strip: Group 4 bands and JPEG bands.
TEST(CQVTiffFileTest, RawStripPagesDecodeWhole) {
  TempDir dir;
  const Picture picture = Pattern(160, 96);
  for (int compression : { 4, 7 }) {
    SCOPED_TRACE(compression);
    const std::string path = dir.Path("strips.tif");
    std::remove(path.c_str());
    CQVTiffFile tiff;
    tiff.SetFileForOperation(WidePath(path));
    tagTiffImageInfo info;
    info.width = 160;
    info.height = info.rowsPerStrip = 32;
    info.bitsPerSample = 8;
    info.samplesPerPixel = compression == 7 ? 3 : 1;
    if (compression == 4) info.bitsPerSample = 1;
    info.compression = static_cast<WORD>(compression);
    info.photometric = compression == 7 ? 6 : 0;
    info.planarConfig = 1;
    info.xResolution = info.yResolution = 100;
    ASSERT_TRUE(tiff.BeginWriteRawStrip(info));
    Picture expected(160, 96);
    for (int band = 0; band < 3; ++band) {
      Picture part(160, 32);
      std::memcpy(part.rgb.data(), picture.rgb.data() + band * 160 * 32 * 3, part.rgb.size());
      imaging::Bitmap b;
      ASSERT_TRUE(BitmapOf(part, compression == 7 ? 24 : 1, b));
      HGLOBAL block = nullptr;
      DWORD size = 0;
      ASSERT_TRUE(imaging::SaveMemory(b, compression == 7 ? imaging::kFormatJpeg : imaging::kFormatFaxG4, 0,
                                      compression == 7 ? 5 : 0, &block, &size));
      BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
      // What the band shows: its JPEG stream decoded on its own.
      imaging::Bitmap alone;
      if (compression == 7) {
        ASSERT_TRUE(imaging::LoadMemory(bytes, size, alone));
      }
      const Picture shown = PictureOf(compression == 7 ? alone : b);
      std::memcpy(expected.rgb.data() + band * 160 * 32 * 3, shown.rgb.data(), shown.rgb.size());
      EXPECT_TRUE(tiff.WriteRawStrip(info, bytes, size));
      tagTiffImageInfo wrong = info;
      wrong.width = 161;
      EXPECT_FALSE(tiff.WriteRawStrip(wrong, bytes, size));
      GlobalUnlock(block);
      GlobalFree(block);
    }
    ASSERT_TRUE(tiff.EndWriteRawStrip());
    EXPECT_FALSE(tiff.EndWriteRawStrip());
    std::string report;
    EXPECT_TRUE(TiffinfoClean(path, &report)) << report;
    tagTiffImageInfo read;
    ASSERT_TRUE(tiff.GetTiffImageInfo(read));
    EXPECT_EQ(read.height, 96u);
    EXPECT_EQ(read.producer, 2);
    Picture reference;
    ASSERT_TRUE(ReferencePage(path, 0, reference, dir));
    EXPECT_LE(MaxDifference(reference, expected), compression == 7 ? 2 : 0);
    // A multi-strip Group 4 page is handed out as one strip coded again.
    if (compression == 4) {
      BYTE* data = nullptr;
      DWORD size = 0;
      int w = 0, h = 0, x = 0, y = 0;
      ASSERT_TRUE(tiff.ReadFaxG4Clump(0, data, size, w, h, x, y));
      imaging::Bitmap whole;
      ASSERT_TRUE(imaging::LoadFaxRaw(data, size, whole, w, h, x, y, imaging::kFormatFaxG4));
      EXPECT_EQ(MaxDifference(PictureOf(whole), expected), 0);
      std::free(data);
    }
  }
}

TEST(CQVTiffFileTest, RawDataConcatenatesTheStripsOfAPage) {
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(TestFile("multipage.tif")));
  WORD count = 0;
  ASSERT_TRUE(tiff.BeginReadRawData(count));
  EXPECT_EQ(count, 3);
  BYTE* data = nullptr;
  DWORD size = 0;
  ASSERT_TRUE(tiff.ReadRawData(1, data, size));
  TIFF* tif = TIFFOpen(TestFile("multipage.tif").c_str(), "r");
  ASSERT_TRUE(TIFFSetDirectory(tif, 1));
  uint64_t total = 0;
  for (uint32_t i = 0; i < TIFFNumberOfStrips(tif); ++i) total += TIFFGetStrileByteCount(tif, i);
  std::vector<BYTE> first(TIFFGetStrileByteCount(tif, 0));
  TIFFReadRawStrip(tif, 0, first.data(), static_cast<tmsize_t>(first.size()));
  TIFFClose(tif);
  EXPECT_EQ(size, total);
  EXPECT_EQ(0, std::memcmp(data, first.data(), first.size()));
  std::free(data);
  EXPECT_FALSE(tiff.ReadRawData(3, data, size));
  EXPECT_EQ(data, nullptr);
  EXPECT_TRUE(tiff.EndReadRawData());
}

// A directory chain that loops, or entries whose values lie beyond the file, are reported, not
// followed or allocated.
TEST(CQVTiffFileTest, DamagedDirectoriesAreRefused) {
  TempDir dir;
  const std::string path = dir.Path("loop.tif");
  CQVBitmapHandle page;
  ASSERT_TRUE(MakeBilevel(page, 40, 20));
  CQVTiffFile tiff;
  tiff.SetFileForOperation(WidePath(path));
  ASSERT_TRUE(tiff.EncodeTif(0, page, nullptr, nullptr, 0xFFFFFFFF));
  tagTiffImageInfo info;
  ASSERT_TRUE(tiff.GetTiffImageInfo(info));
  std::vector<BYTE> bytes = ReadAll(path);
  const DWORD ifd = info.ifdOffset;
  const WORD count = static_cast<WORD>(bytes[ifd] | bytes[ifd + 1] << 8);
  // The directory links to itself; its first out-of-line value points far beyond the end.
  std::memcpy(&bytes[ifd + 2 + 12 * count], &ifd, 4);
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  CArray<tagTiffTagInfo> tags;
  DWORD next = 0;
  ASSERT_TRUE(tiff.GetTagList(ifd, next, tags));
  EXPECT_EQ(next, ifd);
  CQVTiffFile::FreeTagInfoArray(tags);
  EXPECT_FALSE(tiff.EncodeTif(0, page, nullptr, nullptr, 0xFFFFFFFF)) << "the chain cannot be relinked";

  {
    const std::string damaged = dir.Path("huge.tif");
    ASSERT_TRUE(Shell("tiffcp -L " + Quote(TestFile("jello.tif")) + " " + Quote(damaged)));
    std::vector<BYTE> huge = ReadAll(damaged);
    ASSERT_EQ(huge[0], 'I');
    DWORD first = 0;
    std::memcpy(&first, &huge[4], 4);
    const WORD n = static_cast<WORD>(huge[first] | huge[first + 1] << 8);
    for (WORD e = 0; e < n; ++e) {
      BYTE* entry = &huge[first + 2 + 12 * e];
      if ((entry[0] | entry[1] << 8) == 320) std::memset(entry + 4, 0x7F, 4);  // the colour map's count
    }
    std::ofstream(damaged, std::ios::binary).write(reinterpret_cast<const char*>(huge.data()), huge.size());
    CQVTiffFile bad;
    bad.SetFileForOperation(WidePath(damaged));
    ASSERT_TRUE(bad.GetTagList(first, next, tags));
    bool seen = false;
    for (INT_PTR t = 0; t < tags.GetSize(); ++t) {
      if (tags[t].tag == 320) {
        EXPECT_EQ(tags[t].size, -1);
        EXPECT_EQ(tags[t].data, nullptr);
        seen = true;
      }
    }
    EXPECT_TRUE(seen);
    CQVTiffFile::FreeTagInfoArray(tags);
  }
  // Files that are no TIFF at all.
  std::ofstream(dir.Path("text.tif")) << "II*\0 not really";
  CQVTiffFile text;
  text.SetFileForOperation(WidePath(dir.Path("text.tif")));
  EXPECT_FALSE(text.IsTiffFile());
  EXPECT_FALSE(text.GetTiffImageInfo(info));
  EXPECT_FALSE(text.GetTagList(DWORD(8), next, tags));
  CQVTiffFile none;
  EXPECT_FALSE(none.GetTagList(DWORD(8), next, tags));
}

}  // namespace
