// Previews, thumbnails, stored images and remarks of the batch store.
#include "StoreFixture.h"

#include "foundation/imaging/CQVBDEImageFormat.h"
#include "foundation/imaging/CQVBitmapHandle.h"
#include "platform/core/globalmem.h"

#include <cstring>

namespace {

// A zero-filled bitmap, made in place (bitmaps are not copied).
#define MAKE_BITMAP(name, width, height, bits) \
  CQVBitmapHandle name;                        \
  ASSERT_TRUE(name.Create(width, height, bits))

// A JPEG file image of a grey picture.
std::vector<BYTE> Jpeg(int width, int height) {
  CQVBitmapHandle bitmap;
  EXPECT_TRUE(bitmap.Create(width, height, 8));
  HGLOBAL block = nullptr;
  DWORD size = 0;
  EXPECT_TRUE(bitmap.SaveMemory_Jpg(&block, &size));
  std::vector<BYTE> bytes(size);
  if (block) {
    std::memcpy(bytes.data(), GlobalLock(block), size);
    GlobalUnlock(block);
    GlobalFree(block);
  }
  return bytes;
}

}  // namespace

TEST(CQVBDEHelperPicture, PreviewScalesAndThumbnailSizes) {
  struct Scale {
    int width, height, denominator;
  } scales[] = { { 3000, 2000, 4 }, { 1023, 1023, 1 }, { 1024, 10, 2 }, { 4096, 1, 8 }, { 0, 5, -1 }, { 5, -1, -1 } };
  for (const Scale& s : scales)
    EXPECT_EQ(CQVBDEHelper::CalcPreviewImageScaleDenom(s.width, s.height), s.denominator) << s.width << "x" << s.height;

  // 3 by 1000 used to give a thumbnail 0 pixels wide, and 150 by 120 one of 99 by 79: the larger
  // side is now exactly 100 and no side below 1.
  struct Thumb {
    int width, height, thumbWidth, thumbHeight;
  } thumbs[] = { { 400, 100, 100, 25 }, { 50, 80, 50, 80 }, { 1000, 1000, 100, 100 }, { 3, 1000, 1, 100 },
                 { 150, 120, 100, 80 }, { 100000, 7, 100, 1 } };
  for (const Thumb& t : thumbs) {
    int width = 0, height = 0;
    EXPECT_TRUE(CQVBDEHelper::CalcThumbImageSize(t.width, t.height, width, height)) << t.width << "x" << t.height;
    EXPECT_EQ(width, t.thumbWidth) << t.width << "x" << t.height;
    EXPECT_EQ(height, t.thumbHeight) << t.width << "x" << t.height;
  }
  int width = 0, height = 0;
  EXPECT_FALSE(CQVBDEHelper::CalcThumbImageSize(0, 10, width, height));
}

TEST(CQVBDEHelperPicture, PreviewsFromBitmaps) {
  MAKE_BITMAP(large, 3000, 2000, 8);
  CQVBitmapHandle result;
  EXPECT_EQ(CQVBDEHelper::CreatePreviewImageEx(large, result, FALSE), 4);
  EXPECT_EQ(result.GetWidth(), 750);
  EXPECT_EQ(result.GetHeight(), 500);
  MAKE_BITMAP(small, 800, 600, 24);
  EXPECT_EQ(CQVBDEHelper::CreatePreviewImageEx(small, result, TRUE), 1);
  EXPECT_TRUE(result.IsEmpty());
  EXPECT_FALSE(CQVBDEHelper::CreatePreviewImage(small, result, 3));
  CQVBitmapHandle empty;
  EXPECT_EQ(CQVBDEHelper::CreatePreviewImageEx(empty, result, FALSE), -1);
}

// A decoded scale that leaves no pixel on a side used to fail the whole thumbnail; it is passed over.
TEST(CQVBDEHelperPicture, ThumbnailsFromJpegDecodeAtTheSmallestScaleThatStillNeedsReducing) {
  struct Case {
    int width, height, thumbWidth, thumbHeight;
  } cases[] = { { 1600, 1200, 100, 75 }, { 150, 120, 100, 80 }, { 90, 60, 90, 60 },
                 { 5, 300, 2, 100 } };  // decoded at 1/2 the codec rounds 5 up to 3 pixels
  for (const Case& c : cases) {
    std::vector<BYTE> jpeg = Jpeg(c.width, c.height);
    CQVBitmapHandle thumb;
    EXPECT_EQ(CQVBDEHelper::CreateThumbImageFromJpeg(jpeg.data(), ULONG(jpeg.size()), thumb), 1) << c.width << "x" << c.height;
    EXPECT_EQ(thumb.GetWidth(), c.thumbWidth) << c.width << "x" << c.height;
    EXPECT_EQ(thumb.GetHeight(), c.thumbHeight) << c.width << "x" << c.height;
  }
  std::vector<BYTE> jpeg = Jpeg(1600, 1200);
  CQVBitmapHandle preview;
  EXPECT_EQ(CQVBDEHelper::CreatePreviewImageFromJpegEx(jpeg.data(), ULONG(jpeg.size()), preview), 2);
  EXPECT_EQ(preview.GetWidth(), 800);
  const char junk[] = "not a jpeg at all";
  EXPECT_EQ(CQVBDEHelper::CreateThumbImageFromJpeg(junk, sizeof junk, preview), -1);
  EXPECT_EQ(CQVBDEHelper::CreateThumbImageFromJpeg(nullptr, 10, preview), -1);
  EXPECT_EQ(CQVBDEHelper::CalcPreviewImageScaleDenomForJpeg(junk, sizeof junk), -1);
}

using StorePictures = StoreFixture;

TEST_F(StorePictures, PreviewsAndThumbnailsAreWrittenByDepth) {
  Build({ { 1, { { 1, { 1 } } } } });
  MAKE_BITMAP(grey, 800, 600, 8);
  MAKE_BITMAP(oneBit, 200, 100, 1);
  CQVBitmapHandle loaded;
  EXPECT_TRUE(m_store.CreatePreviewImage(1, 1, 1, grey));
  std::string preview = m_folder.Read("B1/00000001/00000001/00000001.preview");
  EXPECT_EQ(preview.substr(0, 2), "\xFF\xD8") << "JPEG";
  EXPECT_TRUE(m_store.LoadPreviewImage(1, 1, 1, loaded));
  EXPECT_EQ(loaded.GetWidth(), 800) << "a small image keeps a full-size preview";

  EXPECT_TRUE(m_store.CreateThumbImage(1, 1, 1, oneBit));
  std::string thumb = m_folder.Read("B1/00000001/00000001/00000001.thumb");
  EXPECT_EQ(thumb.substr(0, 4), std::string("II*\0", 4)) << "Group 4 TIFF";
  EXPECT_TRUE(m_store.LoadThumbImage(1, 1, 1, loaded));
  EXPECT_EQ(loaded.GetWidth(), 100);
  EXPECT_EQ(loaded.GetHeight(), 50);

  EXPECT_TRUE(m_store.DiscardPreviewImage(1, 1, 1));
  EXPECT_TRUE(m_store.DiscardPreviewImage(1, 1, 1)) << "also when there is none";
  EXPECT_FALSE(m_folder.Exists("B1/00000001/00000001/00000001.preview"));
  EXPECT_FALSE(m_store.CreatePreviewImage(0, 1, 1, grey));
}

// The old file used to be deleted before the new one was known to be good.
TEST_F(StorePictures, AThumbnailThatCannotBeMadeLeavesTheOldOne) {
  Build({ { 1, { { 1, { 1 } } } } });
  const std::string path = "B1/00000001/00000001/00000001.thumb";
  const std::string old = m_folder.Read(path);
  const char junk[] = "not a jpeg";
  EXPECT_FALSE(m_store.CreateThumbImageFromJpeg(1, 1, 1, junk, sizeof junk));
  MAKE_BITMAP(large, 2000, 2000, 24);
  CQVBitmapHandle empty;
  EXPECT_FALSE(m_store.CreateThumbImageDirect(1, 1, 1, empty));
  {
    FileSizeLimit limit(64);
    EXPECT_FALSE(m_store.CreatePreviewImageDirect(1, 1, 1, large));
    EXPECT_FALSE(m_store.CreateThumbImageDirect(1, 1, 1, large));
  }
  EXPECT_EQ(m_folder.Read(path), old);
  EXPECT_EQ(m_folder.Names("B1/00000001/00000001"), (std::set<std::string> { "00000001.thumb", "00000001.tif" }));
}

TEST_F(StorePictures, StoredImagesAndRemarks) {
  Build({ { 1, { { 1, {} } } } });
  ASSERT_TRUE(m_store.CreateImage(1, 1, 2));
  MAKE_BITMAP(bitmap, 640, 480, 1);
  EXPECT_TRUE(m_store.CreateImage(1, 1, 2, bitmap));
  int width = 0, height = 0, bits = 0;
  EXPECT_TRUE(m_store.LoadImageInfo(1, 1, 2, width, height, bits));
  EXPECT_EQ(width, 640);
  EXPECT_EQ(height, 480);
  EXPECT_EQ(bits, 1);

  CString text;
  EXPECT_FALSE(m_store.GetImageRemarks(text, 1, 1, 2)) << "no remark yet";
  EXPECT_TRUE(m_store.SetImageRemarks(u"  Stamp missing\r\nsecond line  ", 1, 1, 2));
  EXPECT_TRUE(m_store.GetImageRemarks(text, 1, 1, 2));
  EXPECT_EQ(text, u"Stamp missing\r\nsecond line");
  EXPECT_EQ(m_folder.Read("B1/00000001/00000001/00000002.remarks").substr(0, 3), "\xEF\xBB\xBF");
  EXPECT_TRUE(m_store.SetImageRemarks(u"   ", 1, 1, 2));
  EXPECT_FALSE(m_folder.Exists("B1/00000001/00000001/00000002.remarks"));
}
