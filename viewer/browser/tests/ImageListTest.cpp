// The image list of the document on screen: which files it lists, pages that cannot be read, the
// rotation of the painted bitmap, the path and pixel look-ups of the output jobs, and a worker
// thread reading pages while the list is loaded again and painted.

#include "viewer/browser/CIBSImageList.h"

#include "viewer/browser/tests/BrowserFixture.h"
#include "viewer/model/CIBSDocument.h"
#include "viewer/model/CMainSettings.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace fs = std::filesystem;

namespace {

std::string FileName(const CString& path) { return fs::path(path.ToUtf8()).filename().string(); }

// Pixels of 1-bit pages come as palette indexes (flag 0x01000000), black being entry 1.
bool IsBlack(CQVBitmapHandle& page, int x, int y) {
  COLORREF colour;
  if (!page.GetPixelColor(x, y, colour)) return false;
  return colour >> 24 == 1 ? (colour & 0xFF) == 1 : colour == RGB(0, 0, 0);
}

// The width of the black block along the top edge of a marked page: 4 x its number.
int MarkWidth(CQVBitmapHandle& page) {
  int x = 0;
  while (x < page.GetWidth() && IsBlack(page, x, 0)) ++x;
  return x;
}

}  // namespace

TEST(ImageList, ListsThePagesNumberedFromOneWithoutAGap) {
  OneDocument doc(2, 64, 32, {{"00012004.TIF", "II*\0"}, {"00012001A.TIF", "II*\0"}, {"00099001.TIF", "II*\0"}});
  CIBSImageList list;
  EXPECT_FALSE(list.Load()) << "no document yet";
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.GetCount(), 2) << "004 follows a gap; a stray name and another document's page are not pages";
  EXPECT_EQ(FileName(list.GetItem(0)->GetImagePath()), "00012001.TIF");
  EXPECT_EQ(FileName(list.GetItem(1)->GetImagePath()), "00012002.TIF");
  EXPECT_EQ(list.GetItem(2), nullptr);
  EXPECT_EQ(list.GetItem(-1), nullptr);

  // Loading again replaces the items; a document with no pages lists none and still loads.
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.GetCount(), 2);
  fs::remove(doc.ImageFolder() / "00012001.TIF");
  ASSERT_TRUE(list.Load());
  EXPECT_EQ(list.GetCount(), 0);
}

TEST(ImageList, LooksUpPathsByPageNumberForTheOutputJobs) {
  OneDocument doc(3);
  CIBSImageList list;
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  struct Case {
    int number;
    const char* name;
  } cases[] = {{1, "00012001.TIF"}, {3, "00012003.TIF"}, {0, ""}, {4, ""}, {-1, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(FileName(CIBSImageList::GetImagePath(&list, c.number)), c.name);
  }
  EXPECT_TRUE(CIBSImageList::GetImagePath(nullptr, 1).IsEmpty());
}

// A page whose file is empty, damaged or gone after listing is an item like any other; it gives
// no bitmap, says so, and is not read again at every paint.
TEST(ImageList, BadPagesGiveNoBitmapAndAreMarkedUnreadable) {
  OneDocument doc(4, 64, 32);
  WriteBytes(doc.ImageFolder() / "00012002.TIF", "");
  std::string damaged = ReadBytes(doc.ImageFolder() / "00012003.TIF");
  damaged.resize(damaged.size() / 2);
  WriteBytes(doc.ImageFolder() / "00012003.TIF", damaged);
  CIBSImageList list;
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  ASSERT_EQ(list.GetCount(), 4);
  fs::remove(doc.ImageFolder() / "00012004.TIF");

  ASSERT_NE(list.GetItem(0)->GetBitmap(), nullptr);
  EXPECT_FALSE(list.GetItem(0)->IsUnreadable());
  for (int index : {1, 2, 3}) {
    SCOPED_TRACE(index);
    CIBSImageListItem* item = list.GetItem(index);
    EXPECT_EQ(item->GetBitmap(), nullptr);
    EXPECT_TRUE(item->IsUnreadable());
    CQVBitmapHandle bitmap;
    // A page read for an output is decoded there; it must not come out as a page either.
    EXPECT_FALSE(list.LoadImageInto(index, bitmap) && bitmap.SetPerspective(0) && bitmap.GetWidth() > 0);
  }

  // Mended on disc, the page shows once its item was freed (the browser frees pages paged away).
  WriteMarkedPage(doc.ImageFolder() / "00012004.TIF", 64, 32, 4);
  EXPECT_EQ(list.GetItem(3)->GetBitmap(), nullptr);
  list.GetItem(3)->FreeBitmap();
  CQVBitmapHandle* mended = list.GetItem(3)->GetBitmap();
  ASSERT_NE(mended, nullptr);
  EXPECT_EQ(MarkWidth(*mended), 16);
}

TEST(ImageList, LoadsThePageAsStoredForTheOutputs) {
  OneDocument doc(2, 64, 32);
  CIBSImageList list;
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  list.GetItem(1)->Rotate(9000);
  CQVBitmapHandle page;
  ASSERT_TRUE(list.LoadImageInto(1, page));
  EXPECT_EQ(page.GetWidth(), 64) << "without the item's rotation";
  EXPECT_EQ(MarkWidth(page), 8);
  EXPECT_FALSE(list.LoadImageInto(2, page));
  EXPECT_FALSE(list.LoadImageInto(-1, page));
}

TEST(ImageListItem, RotationAddsUpWithinAFullTurn) {
  CIBSImageListItem item;
  int rotation = -1;
  struct Step {
    int step, total;
  } steps[] = {{27000, 27000}, {27000, 18000}, {18000, 0}, {9000, 9000}};
  for (const Step& s : steps) {
    ASSERT_TRUE(item.Rotate(s.step));
    ASSERT_TRUE(item.GetRotation(rotation));
    EXPECT_EQ(rotation, s.total) << "after " << s.step;
  }
}

// The painted bitmap is turned once for each step: by the whole rotation when it is loaded, by
// the steps asked for since when it is cached, however many came between two paints.
TEST(ImageListItem, ThePaintedBitmapShowsEveryRotationStepOnce) {
  OneDocument doc(1, 64, 32);
  CIBSImageList list;
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  CIBSImageListItem* item = list.GetItem(0);

  item->Rotate(9000);
  CQVBitmapHandle* bitmap = item->GetBitmap();
  ASSERT_NE(bitmap, nullptr);
  ASSERT_EQ(bitmap->GetWidth(), 32);
  ASSERT_EQ(bitmap->GetHeight(), 64);
  // A quarter turn brings the top-left corner to one of the ends of the top edge.
  const bool clockwise = IsBlack(*bitmap, 31, 0);
  EXPECT_TRUE(clockwise || IsBlack(*bitmap, 0, 63));
  bitmap = item->GetBitmap();
  EXPECT_EQ(bitmap->GetWidth(), 32) << "painting again does not turn it again";

  // Two quarter turns between paints: a half turn more, the block in the opposite corner of the
  // first quarter turn's.
  item->Rotate(9000);
  item->Rotate(9000);
  bitmap = item->GetBitmap();
  ASSERT_EQ(bitmap->GetWidth(), 32);
  EXPECT_TRUE(clockwise ? IsBlack(*bitmap, 0, 63) : IsBlack(*bitmap, 31, 0));

  // A freed bitmap is loaded with the whole rotation, 27000, again.
  item->FreeBitmap();
  bitmap = item->GetBitmap();
  ASSERT_NE(bitmap, nullptr);
  EXPECT_TRUE(clockwise ? IsBlack(*bitmap, 0, 63) : IsBlack(*bitmap, 31, 0));
}

// A worker reads pages and paths by index as the PDF and print jobs do, while this thread loads
// the list again, pages through it painting and freeing bitmaps, and turns the items.
TEST(ImageList, AWorkerReadsPagesWhileTheListIsReloadedAndPainted) {
  OneDocument doc(6, 48, 24);
  CIBSImageList list;
  list.SetDocument(doc.document);
  ASSERT_TRUE(list.Load());
  std::atomic<bool> stop {false};
  std::atomic<int> pagesRead {0};
  std::atomic<int> wrongPages {0};
  std::thread worker([&] {
    CQVBitmapHandle page;
    for (int round = 0; !stop; ++round) {
      const int index = round % 6;
      if (list.LoadImageInto(index, page)) {
        ++pagesRead;
        if (MarkWidth(page) != 4 * (index + 1)) ++wrongPages;
      }
      CIBSImageList::GetImagePath(&list, index + 1);
      list.GetCount();
    }
  });
  for (int round = 0; round < 40; ++round) {
    ASSERT_TRUE(list.Load());
    for (int index = 0; index < list.GetCount(); ++index) {
      CIBSImageListItem* item = list.GetItem(index);
      item->Rotate(9000 * (round % 4));
      EXPECT_NE(item->GetBitmap(), nullptr);
      if (round % 2) item->FreeBitmap();
    }
  }
  stop = true;
  worker.join();
  EXPECT_GT(pagesRead, 0);
  EXPECT_EQ(wrongPages, 0);
}

TEST(EmailTexts, PlaceholdersTakeTheValuesAsTheyStand) {
  CDPXStringList names, values;
  for (const char16_t* name : {u"Name", u"City", u"Note"}) names.Add(name);
  for (const char16_t* value : {u"O\"Brien", u"<Name>", u""}) values.Add(value);
  struct Case {
    const char* what;
    const char16_t* text;
    const char16_t* expected;
  } cases[] = {
      {"a field and a word in quotes", u"Dear <Name>, see \"this\"", u"Dear O\"Brien, see this"},
      {"a value that looks like a placeholder is not replaced again", u"<City>", u"<Name>"},
      {"an empty value", u"[<Note>]", u"[]"},
      {"unknown names and open brackets stay", u"<Other> <Name", u"<Other> <Name"},
      {"names compare with case", u"<name>", u"<name>"},
      {"several in a row", u"<Name><Name>", u"O\"BrienO\"Brien"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(CIBSImageList::ReplacePlaceholders(c.text, names, values), CString(c.expected));
  }
  CString block;
  CIBSImageList::BuildAssociatedIndexText(names, values, block);
  EXPECT_EQ(block, CString(u"Associated Document Index Data:\r\nName : O\"Brien\r\nCity : <Name>\r\nNote : \r\n"));
  CString name(u"a/b:c\\d*e?f\"g<h>i|j");
  CIBSImageList::MakeFileNameSafe(name);
  EXPECT_EQ(name, CString(u"a-b-c-d-e-f-g-h-i-j"));
}

TEST(EmailTexts, TheDocumentsValuesFillTheMessage) {
  OneDocument doc(1);
  CIBSImageList list;
  EmailSetting email;
  email.strMailClient = u"<Customer>";
  email.strMailTitle = u"Invoice of <Customer>";
  email.strMailBody = u"Hello\r\n<Associated Document Index Data>";
  EmailSetting untouched = email;
  EXPECT_FALSE(list.PrepareEmailTexts(untouched)) << "no document";
  EXPECT_EQ(untouched.strMailTitle, email.strMailTitle);

  list.SetDocument(doc.document);
  ASSERT_TRUE(list.PrepareEmailTexts(email));
  EXPECT_EQ(email.strMailClient, CString(u"<Customer>")) << "the mail client is not a text of the message";
  EXPECT_EQ(email.strMailTitle, CString(u"Invoice of ACME"));
  EXPECT_EQ(email.strAttachName, CString(u"00012345")) << "an empty attachment name: the document number";
  EXPECT_EQ(email.strMailBody, CString(u"Hello\r\nAssociated Document Index Data:\r\nCustomer : ACME\r\n"));
  email.strAttachName = u"<Customer>/<Customer>:x";
  list.PrepareEmailTexts(email);
  EXPECT_EQ(email.strAttachName, CString(u"ACME-ACME-x"));
}

TEST(ImageFile, LoadsWholeAtAQuarterOrAsAThumbnail) {
  TempFolder folder;
  struct Case {
    const char* what;
    int width, height;
    int quarterWidth, quarterHeight;  // 0: fails
    int thumbWidth, thumbHeight;
  } cases[] = {
      {"a wide page", 200, 100, 50, 25, 100, 50},
      {"a tall page", 120, 400, 30, 100, 30, 100},
      {"a page smaller than the box is enlarged to it", 40, 20, 10, 5, 100, 50},
      {"too small for a quarter", 3, 40, 0, 0, 7, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    WriteMarkedPage(folder.Path() / "page.tif", c.width, c.height, 1);
    CIBSImage image;
    image.SetPath(folder.Wide("page.tif"));
    CQVBitmapHandle bitmap;
    ASSERT_TRUE(image.LoadImage(bitmap));
    EXPECT_EQ(bitmap.GetWidth(), c.width);
    EXPECT_EQ(image.LoadQuarterImage(bitmap), c.quarterWidth > 0);
    EXPECT_EQ(bitmap.GetWidth(), c.quarterWidth) << "a failed load leaves the bitmap empty";
    EXPECT_EQ(bitmap.GetHeight(), c.quarterHeight);
    ASSERT_TRUE(image.LoadThumbnail(bitmap));
    EXPECT_EQ(bitmap.GetWidth(), c.thumbWidth);
    EXPECT_EQ(bitmap.GetHeight(), c.thumbHeight);
  }
  CIBSImage missing;
  missing.SetPath(folder.Wide("none.tif"));
  CQVBitmapHandle bitmap;
  EXPECT_FALSE(missing.LoadThumbnail(bitmap));
  EXPECT_TRUE(bitmap.IsEmpty());
}
