// Image lists and the bitmap cache filled from the bitmaps of a language file of the test's own
// (tests/res/images.en-us.lang): a 64 x 16 strip of four cells (red, green, blue, yellow) with the
// mask colour magenta in each cell's top-left pixel, a 60 x 16 grey strip, a 32 x 32 square red on
// its left half and blue on its right, and a 40 x 10 picture green left and blue right.

#include "framework/app/CQVBitmapList.h"
#include "framework/app/CQVImageList.h"

#include "foundation/imaging/CQVBitmapHandle.h"
#include "foundation/language/CQVRCM.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/gdi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

constexpr COLORREF kMask = RGB(255, 0, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The test program is the main program; its language file lies beside it.
class ImageLanguageFile : public ::testing::Environment {
public:
  void SetUp() override { CQVRCM::RegisterRCM(nullptr, u"FrameworkAppImages.drs", TRUE); }
};
const auto* const g_languageFile = ::testing::AddGlobalTestEnvironment(new ImageLanguageFile);

struct Size {
  int cx;
  int cy;
  bool operator==(const Size&) const = default;
};
void PrintTo(const Size& s, std::ostream* os) { *os << s.cx << " x " << s.cy; }

Size SizeOf(HBITMAP bitmap) {
  BITMAP bm {};
  if (!bitmap || !::GetObjectW(bitmap, sizeof bm, &bm)) return {0, 0};
  return {std::abs(bm.bmWidth), std::abs(bm.bmHeight)};
}

COLORREF PixelOf(CBitmap& bitmap, int x, int y) {
  CDC dc;
  if (!dc.CreateCompatibleDC(nullptr)) return CLR_INVALID;
  CBitmap* old = dc.SelectObject(&bitmap);
  const COLORREF colour = dc.GetPixel(x, y);
  dc.SelectObject(old);
  return colour;
}

Size IconSize(const CImageList& list) {
  Size s {0, 0};
  return ImageList_GetIconSize(list.GetSafeHandle(), &s.cx, &s.cy) ? s : Size {0, 0};
}

// An image list opens the bitmap of a key as a strip of images.
struct StripCase {
  const char* name;
  LPCWSTR key;
  int cx;  // 0: Create(key, mask)
  int cy;
  BOOL created;
  int count;
  Size size;
};

void PrintTo(const StripCase& c, std::ostream* os) { *os << c.name; }

class ImageListFromStrip : public ::testing::TestWithParam<StripCase> {};

TEST_P(ImageListFromStrip, MakesTheListTheStripAllows) {
  const StripCase& c = GetParam();
  CQVImageList list;
  const BOOL created = c.cx || c.cy ? list.Create(c.key, c.cx, c.cy, kMask) : list.Create(c.key, kMask);
  ASSERT_EQ(created, c.created);
  if (!created) {
    EXPECT_EQ(list.GetSafeHandle(), nullptr);
    return;
  }
  EXPECT_EQ(list.GetImageCount(), c.count);
  EXPECT_EQ(IconSize(list), c.size);
}

INSTANTIATE_TEST_SUITE_P(
    Strips, ImageListFromStrip,
    ::testing::Values(StripCase {"FourSquares", u"IMG_STRIP", 0, 0, TRUE, 4, {16, 16}},
                      StripCase {"OneSquare", u"IMG_HALVES", 0, 0, TRUE, 1, {32, 32}},
                      StripCase {"NotAWholeMultiple", u"IMG_UNEVEN", 0, 0, FALSE, 0, {0, 0}},
                      StripCase {"FourSmallSquares", u"IMG_WIDE", 0, 0, TRUE, 4, {10, 10}},
                      StripCase {"MissingKey", u"IMG_MISSING", 0, 0, FALSE, 0, {0, 0}},
                      StripCase {"NullKey", nullptr, 0, 0, FALSE, 0, {0, 0}},
                      StripCase {"CutUnscaledIntoWiderImages", u"IMG_STRIP", 32, 16, TRUE, 2, {32, 16}},
                      StripCase {"GivenSizeStillNeedsAStrip", u"IMG_UNEVEN", 20, 16, FALSE, 0, {0, 0}},
                      StripCase {"ZeroWidth", u"IMG_STRIP", 0, 16, FALSE, 0, {0, 0}},
                      StripCase {"NegativeHeight", u"IMG_STRIP", 16, -16, FALSE, 0, {0, 0}}),
    [](const ::testing::TestParamInfo<StripCase>& info) { return std::string(info.param.name); });

// Each image of the strip keeps its colours, and the mask colour is transparent.
TEST(ImageList, DrawsEachCellWithTheMaskColourTransparent) {
  CQVImageList list;
  ASSERT_TRUE(list.Create(u"IMG_STRIP", kMask));
  CQVBitmapHandle canvas;
  ASSERT_TRUE(canvas.Create(64, 16, 24));
  CDC* dc = canvas.CreateDCW();
  ASSERT_NE(dc, nullptr);
  dc->FillSolidRect(0, 0, 64, 16, kWhite);
  const COLORREF colours[] = {kRed, kGreen, kBlue, RGB(255, 255, 0)};
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(list.Draw(dc, i, POINT {16 * i, 0}, ILD_TRANSPARENT)) << i;
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(dc->GetPixel(16 * i, 0), kWhite) << "cell " << i << " corner";
    EXPECT_EQ(dc->GetPixel(16 * i + 5, 5), colours[i]) << "cell " << i;
  }
}

TEST(ImageList, AddImageAppendsToACreatedListOnly) {
  CQVImageList never;
  EXPECT_EQ(never.AddImage(u"IMG_STRIP", kMask), -1);
  EXPECT_EQ(never.AddImage(u"IMG_HALVES", 16, 16, kMask), -1);
  EXPECT_EQ(never.GetSafeHandle(), nullptr);

  CQVImageList list;
  ASSERT_TRUE(list.Create(16, 16));
  EXPECT_EQ(IconSize(list), (Size {16, 16}));
  EXPECT_EQ(list.AddImage(u"IMG_STRIP", kMask), 0);
  EXPECT_EQ(list.GetImageCount(), 4);
  EXPECT_EQ(list.AddImage(u"IMG_HALVES", 16, 16, kMask), 4);  // scaled into one image
  EXPECT_EQ(list.GetImageCount(), 5);
  EXPECT_EQ(list.AddImage(u"IMG_MISSING", kMask), -1);
  EXPECT_EQ(list.AddImage(u"IMG_MISSING", 16, 16, kMask), -1);
  EXPECT_EQ(list.AddImage(nullptr, kMask), -1);
  EXPECT_EQ(list.AddImage(u"IMG_HALVES", 0, 16, kMask), -1);
  EXPECT_EQ(list.GetImageCount(), 5);

  // The scaled square keeps its halves.
  CQVBitmapHandle canvas;
  ASSERT_TRUE(canvas.Create(16, 16, 24));
  CDC* dc = canvas.CreateDCW();
  ASSERT_NE(dc, nullptr);
  ASSERT_TRUE(list.Draw(dc, 4, POINT {0, 0}, ILD_NORMAL));
  EXPECT_EQ(dc->GetPixel(2, 8), kRed);
  EXPECT_EQ(dc->GetPixel(13, 8), kBlue);
}

// The cache, with its protected look-up open to the tests.
class BitmapCache : public CQVBitmapList {
public:
  using CQVBitmapList::FindItem;
};

TEST(BitmapList, WorksOutTheSizeOfARequest) {
  struct Case {
    LPCWSTR key;
    int cx;
    int cy;
    Size expected;
  };
  const Case cases[] = {
      {u"IMG_WIDE", 0, 0, {40, 10}},   {u"IMG_WIDE", 0, 20, {80, 20}}, {u"IMG_WIDE", 20, 0, {20, 5}},
      {u"IMG_WIDE", 8, 8, {8, 8}},     {u"IMG_WIDE", -1, -1, {40, 10}}, {u"IMG_HALVES", 0, 0, {32, 32}},
      {u"IMG_HALVES", 16, 16, {16, 16}}, {u"IMG_HALVES", 0, 0, {32, 32}},
  };
  BitmapCache cache;
  for (const Case& c : cases) {
    CBitmap* bitmap = cache.GetBitmap(c.key, c.cx, c.cy, FALSE);
    ASSERT_NE(bitmap, nullptr) << c.cx << " x " << c.cy;
    EXPECT_EQ(SizeOf(*bitmap), c.expected) << c.cx << " x " << c.cy;
  }
}

TEST(BitmapList, GivesTheSameBitmapForTheSameRequestWhateverTheCaseOfTheKey) {
  BitmapCache cache;
  CBitmap* first = cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE);
  ASSERT_NE(first, nullptr);
  const HBITMAP handle = *first;
  EXPECT_EQ(cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE), first);
  EXPECT_EQ(cache.GetBitmap(u"img_Halves", 0, 0, FALSE), first);
  EXPECT_EQ(cache.GetBitmap(u"IMG_HALVES", 32, 0, FALSE), first);  // the same size, asked otherwise
  EXPECT_EQ(static_cast<HBITMAP>(*first), handle);
  EXPECT_EQ(cache.FindItem(u"img_halves"), cache.FindItem(u"IMG_HALVES"));
  EXPECT_EQ(cache.FindItem(nullptr), nullptr);
}

// One entry per key: another size or mirroring replaces it, and the old bitmap is deleted.
TEST(BitmapList, ReplacesTheEntryOfAKeyForAnotherSizeOrMirroring) {
  BitmapCache cache;
  CBitmap* own = cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE);
  ASSERT_NE(own, nullptr);
  const HBITMAP ownHandle = *own;

  CBitmap* small = cache.GetBitmap(u"IMG_HALVES", 16, 16, FALSE);
  ASSERT_NE(small, nullptr);
  EXPECT_EQ(SizeOf(*small), (Size {16, 16}));
  EXPECT_EQ(SizeOf(ownHandle), (Size {0, 0})) << "the replaced bitmap is deleted";
  EXPECT_EQ(PixelOf(*small, 2, 8), kRed);
  EXPECT_EQ(PixelOf(*small, 13, 8), kBlue);
  const HBITMAP smallHandle = *small;

  CBitmap* mirrored = cache.GetBitmap(u"IMG_HALVES", 16, 16, TRUE);
  ASSERT_NE(mirrored, nullptr);
  EXPECT_EQ(SizeOf(*mirrored), (Size {16, 16}));
  EXPECT_EQ(PixelOf(*mirrored, 2, 8), kBlue);
  EXPECT_EQ(PixelOf(*mirrored, 13, 8), kRed);
  EXPECT_EQ(SizeOf(smallHandle), (Size {0, 0}));
  EXPECT_EQ(cache.GetBitmap(u"IMG_HALVES", 16, 16, TRUE), mirrored);

  // Back to the image's own size after a smaller one.
  CBitmap* again = cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE);
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(SizeOf(*again), (Size {32, 32}));
  EXPECT_EQ(PixelOf(*again, 2, 8), kRed);

  // Other keys keep their entries.
  CBitmap* wide = cache.GetBitmap(u"IMG_WIDE", 0, 0, FALSE);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE), again);
  EXPECT_EQ(cache.GetBitmap(u"IMG_WIDE", 0, 0, FALSE), wide);
}

TEST(BitmapList, FailsWithoutLeavingAnEntryBehind) {
  BitmapCache cache;
  EXPECT_EQ(cache.GetBitmap(nullptr, 0, 0, FALSE), nullptr);
  EXPECT_EQ(cache.GetBitmap(u"IMG_MISSING", 0, 0, FALSE), nullptr);
  EXPECT_EQ(cache.FindItem(u"IMG_MISSING"), nullptr);

  CBitmap* wide = cache.GetBitmap(u"IMG_WIDE", 0, 0, FALSE);
  ASSERT_NE(wide, nullptr);
  const HBITMAP handle = *wide;
  // 40 x 10 at a width of 3 would be 0 high.
  EXPECT_EQ(cache.GetBitmap(u"IMG_WIDE", 3, 0, FALSE), nullptr);
  EXPECT_EQ(cache.FindItem(u"IMG_WIDE"), nullptr);
  EXPECT_EQ(SizeOf(handle), (Size {0, 0}));
  EXPECT_NE(cache.GetBitmap(u"IMG_WIDE", 0, 0, FALSE), nullptr);
}

TEST(BitmapList, DeletesItsBitmapsOnResetAndWhenDestroyed) {
  HBITMAP kept[2] {};
  {
    BitmapCache cache;
    CBitmap* halves = cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE);
    CBitmap* wide = cache.GetBitmap(u"IMG_WIDE", 0, 0, FALSE);
    ASSERT_TRUE(halves && wide);
    kept[0] = *halves;
    kept[1] = *wide;
    cache.Reset();
    EXPECT_EQ(SizeOf(kept[0]), (Size {0, 0}));
    EXPECT_EQ(SizeOf(kept[1]), (Size {0, 0}));
    EXPECT_EQ(cache.FindItem(u"IMG_HALVES"), nullptr);

    CBitmap* again = cache.GetBitmap(u"IMG_HALVES", 0, 0, FALSE);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(SizeOf(*again), (Size {32, 32}));
    kept[0] = *again;
  }
  EXPECT_EQ(SizeOf(kept[0]), (Size {0, 0}));
}

}  // namespace
