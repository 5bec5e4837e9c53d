#include "foundation/imaging/CQVBDEImageFormat.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/imaging/tests/ImagingTestSupport.h"
#include "foundation/util/CDPXBuffer.h"
#include "platform/core/globalmem.h"
#include "platform/imaging/Bitmap.h"
#include "platform/imaging/File.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace qvtest;

namespace {

HGLOBAL Block(size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  BYTE* bytes = static_cast<BYTE*>(GlobalLock(block));
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<BYTE>(i * 13 + 1);
  GlobalUnlock(block);
  return block;
}

std::vector<BYTE> BlockBytes(HGLOBAL block) {
  const BYTE* bytes = static_cast<const BYTE*>(GlobalLock(block));
  std::vector<BYTE> copy(bytes, bytes + GlobalSize(block));
  GlobalUnlock(block);
  return copy;
}

QVBDEIMAGEINFO Record(int kind) {
  QVBDEIMAGEINFO info;
  info.reserved0 = 17;
  info.reserved24 = -5;
  info.compression = kind;
  info.reserved544[4] = 3;  // callers keep the kind of their record here
  return info;
}

// Each kind of stored image reads back with the record, the extra data and the pixels it was
// written with.
TEST(CQVBDEImageFormatTest, StoredImagesReadBackWithTheirRecordAndPixels) {
  struct Case {
    int bpp, kind;
    bool customTables;
    double tolerance;
  };
  const Case cases[] = { { 1, 4, false, 0 }, { 8, 2, false, 0 }, { 24, 3, true, 12 }, { 8, 3, false, 4 } };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.bpp << " bits, kind " << c.kind);
    TempDir dir;
    const std::u16string path = Wide(dir.Path("image.tif"));
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(HandleOf(Pattern(300, 200), c.bpp, bitmap));
    bitmap.SetXDPI(200);
    bitmap.SetYDPI(200);
    const Picture source = PictureOf(bitmap);
    QVBDEIMAGEINFO info = Record(c.kind);
    if (c.customTables) {
      info.customTables = TRUE;
      for (int i = 0; i < 64; ++i) info.lumaTable[i] = info.chromaTable[i] = 2 + i / 4;
    }
    info.extraData = Block(CQVBDEImageFormat::kMaxExtraData);
    ASSERT_TRUE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
    QVBDEIMAGEINFO read;
    ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), read, TRUE));
    EXPECT_EQ(read.reserved0, 17);
    EXPECT_EQ(read.reserved24, -5);
    EXPECT_EQ(read.compression, c.kind);
    EXPECT_EQ(read.reserved544[4], 3);
    ASSERT_NE(read.extraData, nullptr);
    EXPECT_EQ(BlockBytes(read.extraData), BlockBytes(info.extraData));
    if (c.customTables) {
      EXPECT_TRUE(read.customTables);
      EXPECT_EQ(0, std::memcmp(read.lumaTable, info.lumaTable, sizeof(read.lumaTable)));
    }
    GlobalFree(read.extraData);
    CQVBitmapHandle loaded;
    ASSERT_TRUE(CQVBDEImageFormat::LoadImage(path.c_str(), loaded, 1));
    EXPECT_EQ(loaded.GetXDPI(), 200);
    if (c.tolerance == 0) {
      EXPECT_EQ(MaxDifference(PictureOf(loaded), source), 0);
    } else {
      EXPECT_LT(MeanDifference(PictureOf(loaded), source), c.tolerance);
    }
    int w = 0, h = 0, bpp = 0;
    ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), w, h, bpp));
    EXPECT_EQ(w, 300);
    EXPECT_EQ(bpp, c.kind == 4 ? 1 : c.bpp);
    // Updating the pixels keeps the record and the extra data.
    ASSERT_TRUE(CQVBDEImageFormat::UpdateImage(path.c_str(), bitmap));
    ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), read, TRUE));
    EXPECT_EQ(read.reserved0, 17);
    EXPECT_EQ(BlockBytes(read.extraData), BlockBytes(info.extraData));
    GlobalFree(read.extraData);
    GlobalFree(info.extraData);
  }
}

TEST(CQVBDEImageFormatTest, RecordUpdatesKeepTheExtraDataAndRefuseFilesWithoutARecord) {
  TempDir dir;
  const std::u16string path = Wide(dir.Path("image.tif"));
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 1, bitmap));
  QVBDEIMAGEINFO info = Record(4);
  info.extraData = Block(100);
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
  QVBDEIMAGEINFO changed = Record(4);
  changed.reserved0 = 99;
  ASSERT_TRUE(CQVBDEImageFormat::UpdateImageInfo(path.c_str(), changed));
  QVBDEIMAGEINFO read;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), read, TRUE));
  EXPECT_EQ(read.reserved0, 99);
  ASSERT_NE(read.extraData, nullptr);
  EXPECT_EQ(BlockBytes(read.extraData), BlockBytes(info.extraData));
  GlobalFree(read.extraData);
  GlobalFree(info.extraData);

  // A stored image without a record: its pixels load, its record does not, and nothing changes it.
  const std::u16string plain = Wide(dir.Path("plain.tif"));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(plain.c_str(), bitmap));
  const std::vector<BYTE> before = ReadAll(dir.Path("plain.tif"));
  CQVBitmapHandle loaded;
  EXPECT_TRUE(CQVBDEImageFormat::LoadImage(plain.c_str(), loaded, 1));
  EXPECT_FALSE(CQVBDEImageFormat::LoadImageInfo(plain.c_str(), read, FALSE));
  EXPECT_FALSE(CQVBDEImageFormat::UpdateImageInfo(plain.c_str(), changed));
  EXPECT_FALSE(CQVBDEImageFormat::UpdateImage(plain.c_str(), bitmap));
  EXPECT_EQ(ReadAll(dir.Path("plain.tif")), before);
}

// A write that fails leaves the image that was there, byte for byte, and no stray file.
TEST(CQVBDEImageFormatTest, AFailedWriteKeepsTheImageThatWasThere) {
  TempDir dir;
  const std::string native = dir.Path("image.tif");
  const std::u16string path = Wide(native);
  CQVBitmapHandle bitmap;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 24, bitmap));
  QVBDEIMAGEINFO info = Record(3);
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
  const std::vector<BYTE> before = ReadAll(native);

  info.extraData = Block(CQVBDEImageFormat::kMaxExtraData + 1);
  EXPECT_FALSE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
  GlobalFree(info.extraData);
  info.extraData = nullptr;
  info.compression = 7;
  EXPECT_FALSE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
  CQVBitmapHandle deep;
  ASSERT_TRUE(deep.Create(10, 10, 4));
  EXPECT_FALSE(CQVBDEImageFormat::CreateImage(path.c_str(), deep));
  std::vector<BYTE> junk(100, 0x42);
  info.compression = 4;
  info.width = 0;
  EXPECT_FALSE(CQVBDEImageFormat::CreateImage(path.c_str(), junk.data(), 100, info));
  EXPECT_EQ(ReadAll(native), before);
  EXPECT_EQ(Output("ls " + Quote(dir.Path(""))), "image.tif\n");
}

TEST(CQVBDEImageFormatTest, ReadyDataAndReducedLoads) {
  TempDir dir;
  // Group 4 data of a 1000 x 1402 page, stored as it is and loaded at a quarter.
  imaging::Bitmap page;
  ASSERT_TRUE(BitmapOf(Pattern(1000, 1402), 1, page));
  HGLOBAL block = nullptr;
  DWORD size = 0;
  ASSERT_TRUE(imaging::SaveMemory(page, imaging::kFormatFaxG4, 1, 0, &block, &size));
  QVBDEIMAGEINFO info = Record(4);
  info.width = 1000;
  info.height = 1402;
  info.xDpi = info.yDpi = 300;
  const std::u16string g4 = Wide(dir.Path("g4.tif"));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(g4.c_str(), GlobalLock(block), size, info));
  GlobalUnlock(block);
  GlobalFree(block);
  CQVBitmapHandle loaded;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(g4.c_str(), loaded, 1));
  EXPECT_EQ(MaxDifference(PictureOf(loaded), PictureOf(page)), 0);
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(g4.c_str(), loaded, 4));
  EXPECT_EQ(loaded.GetWidth(), 250);
  EXPECT_EQ(loaded.GetHeight(), 350);
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(g4.c_str(), loaded, 3));
  EXPECT_EQ(loaded.GetWidth(), 1000);

  // A JPEG stream: its pages load through the JPEG decoder, reduced by DCT scaling.
  imaging::Bitmap colour;
  ASSERT_TRUE(BitmapOf(Pattern(800, 600), 24, colour));
  ASSERT_TRUE(imaging::SaveMemory(colour, imaging::kFormatJpeg, 24, 25, &block, &size));
  QVBDEIMAGEINFO jpeg = Record(3);
  jpeg.xDpi = jpeg.yDpi = 150;
  const std::u16string jpg = Wide(dir.Path("jpeg.tif"));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(jpg.c_str(), GlobalLock(block), size, jpeg));
  GlobalUnlock(block);
  GlobalFree(block);
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(jpg.c_str(), loaded, 8));
  EXPECT_EQ(loaded.GetWidth(), 100);
  EXPECT_EQ(loaded.GetHeight(), 75);
  EXPECT_EQ(loaded.GetXDPI(), 150);
  EXPECT_FALSE(CQVBDEImageFormat::LoadImage(Wide(dir.Path("missing.tif")).c_str(), loaded, 1));
  EXPECT_TRUE(loaded.IsEmpty());
}

}  // namespace

namespace {

std::vector<BYTE> BufferBytes(CDPXGMemBuffer& buffer) {
  const BYTE* bytes = buffer.Lock();
  std::vector<BYTE> copy(bytes, bytes + buffer.GetSize());
  buffer.Unlock();
  return copy;
}

bool Fill(CDPXGMemBuffer& buffer, const std::vector<BYTE>& bytes) {
  BYTE* target = buffer.AllocAndLock(static_cast<DWORD>(bytes.size()));
  if (!target) return false;
  std::memcpy(target, bytes.data(), bytes.size());
  buffer.Unlock();
  return true;
}

}  // namespace

// The tables a stored JPEG page was coded with come back in natural order; a grey page has no
// chroma table and leaves the caller's as it was.
TEST(CQVBDEImageFormatTest, JpegTablesOfStoredPages) {
  TempDir dir;
  UINT luma[64], chroma[64];
  for (int i = 0; i < 64; ++i) {
    luma[i] = 3 + i;
    chroma[i] = 2 * i + 5;
  }
  for (int bpp : { 24, 8 }) {
    SCOPED_TRACE(bpp);
    const std::u16string path = Wide(dir.Path("jpeg.tif"));
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(HandleOf(Pattern(120, 90), bpp, bitmap));
    QVBDEIMAGEINFO info = Record(3);
    info.customTables = TRUE;
    std::memcpy(info.lumaTable, luma, sizeof(luma));
    std::memcpy(info.chromaTable, chroma, sizeof(chroma));
    ASSERT_TRUE(CQVBDEImageFormat::CreateImage(path.c_str(), bitmap, info));
    UINT readLuma[64], readChroma[64];
    std::fill(std::begin(readChroma), std::end(readChroma), 999u);
    ASSERT_TRUE(CQVBDEImageFormat::LoadJpegTables(path.c_str(), readChroma, readLuma));
    EXPECT_EQ(0, std::memcmp(readLuma, luma, sizeof(luma)));
    if (bpp == 24) {
      EXPECT_EQ(0, std::memcmp(readChroma, chroma, sizeof(chroma)));
    } else {
      EXPECT_EQ(readChroma[0], 999u);
      EXPECT_EQ(readChroma[63], 999u);
    }
    EXPECT_FALSE(CQVBDEImageFormat::LoadJpegTables(path.c_str(), nullptr, readLuma));
  }
  // Pages that hold no JPEG stream, and missing files.
  const std::u16string g4 = Wide(dir.Path("g4.tif"));
  CQVBitmapHandle page;
  ASSERT_TRUE(HandleOf(Pattern(64, 48), 1, page));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(g4.c_str(), page));
  EXPECT_FALSE(CQVBDEImageFormat::LoadJpegTables(g4.c_str(), chroma, luma));
  EXPECT_FALSE(CQVBDEImageFormat::LoadJpegTables(Wide(dir.Path("missing.tif")).c_str(), chroma, luma));
}

// A JPEG stream stored from a buffer reads back byte for byte (without what came before its
// SOI), at the resolution of its JFIF header, and its page can be updated as a JPEG page.
TEST(CQVBDEImageFormatTest, JpegStreamsFromAndIntoBuffers) {
  TempDir dir;
  ASSERT_TRUE(WritePnm(dir.Path("p.ppm"), Pattern(160, 120)));
  ASSERT_TRUE(Shell("cjpeg -quality 60 " + Quote(dir.Path("p.ppm")) + " > " + Quote(dir.Path("p.jpg"))));
  std::vector<BYTE> stream = ReadAll(dir.Path("p.jpg"));
  ASSERT_GE(stream.size(), 20u);
  ASSERT_EQ(stream[6], 'J');
  stream[13] = 2;  // dots per centimetre: 118 x 2.54 + 0.5 = 300 dots per inch
  stream[14] = 0;
  stream[15] = 118;
  stream[16] = 0;
  stream[17] = 118;
  std::vector<BYTE> given { 'j', 'u', 'n', 'k' };
  given.insert(given.end(), stream.begin(), stream.end());

  const std::string native = dir.Path("stored.tif");
  const std::u16string path = Wide(native);
  CQVBitmapHandle old;
  ASSERT_TRUE(HandleOf(Pattern(30, 20), 1, old));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(path.c_str(), old));  // replaced below
  CDPXGMemBuffer buffer;
  ASSERT_TRUE(Fill(buffer, given));
  ASSERT_TRUE(CQVBDEImageFormat::SaveJpegBuffer(path.c_str(), buffer));
  EXPECT_EQ(BufferBytes(buffer), given) << "the caller's buffer is left as it was";

  CDPXGMemBuffer back;
  ASSERT_TRUE(CQVBDEImageFormat::LoadJpegBuffer(path.c_str(), back));
  EXPECT_EQ(BufferBytes(back), stream);
  QVBDEIMAGEINFO info;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), info, FALSE));
  EXPECT_EQ(info.compression, 3);
  EXPECT_EQ(info.xDpi, 300);
  EXPECT_EQ(info.reserved0, 0);
  CQVBitmapHandle loaded;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImage(path.c_str(), loaded, 1));
  EXPECT_EQ(loaded.GetXDPI(), 300);
  imaging::Bitmap decoded;
  ASSERT_TRUE(imaging::LoadMemory(stream.data(), stream.size(), decoded));
  EXPECT_EQ(MaxDifference(PictureOf(loaded), PictureOf(decoded)), 0);
  ASSERT_TRUE(CQVBDEImageFormat::UpdateImage(path.c_str(), loaded));
  int w = 0, h = 0, bpp = 0;
  ASSERT_TRUE(CQVBDEImageFormat::LoadImageInfo(path.c_str(), w, h, bpp));
  EXPECT_EQ(bpp, 24);
  ASSERT_TRUE(CQVBDEImageFormat::LoadJpegBuffer(path.c_str(), back));

  // Failures: no data, data without a JPEG stream, a page without one; the stored file stays.
  const std::vector<BYTE> before = ReadAll(native);
  CDPXGMemBuffer empty;
  EXPECT_FALSE(CQVBDEImageFormat::SaveJpegBuffer(path.c_str(), empty));
  CDPXGMemBuffer text;
  ASSERT_TRUE(Fill(text, { 'n', 'o', ' ', 'J', 'P', 'E', 'G' }));
  EXPECT_FALSE(CQVBDEImageFormat::SaveJpegBuffer(path.c_str(), text));
  EXPECT_EQ(ReadAll(native), before);
  const std::u16string g4 = Wide(dir.Path("g4.tif"));
  ASSERT_TRUE(CQVBDEImageFormat::CreateImage(g4.c_str(), old));
  EXPECT_FALSE(CQVBDEImageFormat::LoadJpegBuffer(g4.c_str(), back));
  EXPECT_EQ(back.GetSize(), 0u);
  EXPECT_EQ(Output("ls " + Quote(dir.Path(""))), "g4.tif\np.jpg\np.ppm\nstored.tif\n");
}
