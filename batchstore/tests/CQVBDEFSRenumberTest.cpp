#include "StoreFixture.h"

#include <unistd.h>

using Renumbering = StoreFixture;

namespace {

// Pages 1..n of a document, each with one image.
PageImages PagesOneTo(ULONG n) {
  PageImages pages;
  for (ULONG page = 1; page <= n; ++page) pages[page] = { 1 };
  return pages;
}

}  // namespace

TEST_F(Renumbering, MovesInsideOneDocumentShiftTheEntriesBetween) {
  struct Case {
    const char* what;
    std::vector<ULONG> pages;
    ULONG page, target;  // target 0: as first page
    std::map<ULONG, ULONG> expected;  // page after the move -> page it was
  } cases[] = {
    { "to an earlier number", { 1, 2, 3, 4 }, 4, 2, { { 1, 1 }, { 2, 4 }, { 3, 2 }, { 4, 3 } } },
    { "to a later number", { 1, 2, 3, 4 }, 1, 3, { { 1, 2 }, { 2, 3 }, { 3, 1 }, { 4, 4 } } },
    { "to a free number", { 1, 2, 4 }, 1, 3, { { 2, 2 }, { 3, 1 }, { 4, 4 } } },
    { "as first page", { 1, 2, 3 }, 3, 0, { { 1, 3 }, { 2, 1 }, { 3, 2 } } },
    { "over a gap", { 1, 2, 5, 6 }, 6, 2, { { 1, 1 }, { 2, 6 }, { 3, 2 }, { 6, 5 } } },
    { "onto itself", { 1, 2 }, 2, 2, { { 1, 1 }, { 2, 2 } } },
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(m_folder.Native("B1/00000001"));
    PageImages pages;
    for (ULONG page : c.pages) pages[page] = { 1 };
    Build({ { 1, pages } });
    EXPECT_TRUE(c.target ? m_store.MovePage(1, c.page, 1, c.target) : m_store.MovePageAsFirstPage(1, c.page, 1)) << c.what;
    std::vector<ULONG> expectedPages;
    for (const auto& [now, was] : c.expected) {
      expectedPages.push_back(now);
      EXPECT_EQ(ImageAt(1, now, 1), Made(1, was, 1)) << c.what << ": page " << now;
    }
    EXPECT_EQ(Pages(1), expectedPages) << c.what;
  }
}

TEST_F(Renumbering, InsertShiftsOnlyTheRunUpToTheFirstGap) {
  Build({ { 1, { { 1, { 1, 2, 3, 5 } } } } });
  EXPECT_TRUE(m_store.InsertImage(1, 1, 2));
  EXPECT_EQ(ImagesOf(1, 1), (std::vector<ULONG> { 1, 2, 3, 4, 5 }));
  EXPECT_EQ(ImageAt(1, 1, 2), "") << "the new, empty image";
  EXPECT_EQ(ImageAt(1, 1, 3), Made(1, 1, 2));
  EXPECT_EQ(ImageAt(1, 1, 4), Made(1, 1, 3));
  EXPECT_EQ(ImageAt(1, 1, 5), Made(1, 1, 5));
  EXPECT_EQ(m_folder.Read("B1/00000001/00000001/00000004.thumb"), "thumb of " + Made(1, 1, 3)) << "files travel together";

  EXPECT_TRUE(m_store.InsertDocument(1));
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 1, 2 }));
  EXPECT_EQ(Pages(1), std::vector<ULONG> {});

  std::filesystem::remove_all(m_folder.Native("B1"));
  m_folder.MakeFolder("B1/99999999");
  EXPECT_FALSE(m_store.InsertDocument(99999999)) << "no room after the last ID";
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 99999999 }));
}

TEST_F(Renumbering, RemoveClosesEveryLaterGap) {
  Build({ { 1, {} }, { 2, {} }, { 3, { { 1, { 1 } } } }, { 7, {} }, { 8, {} } });
  EXPECT_TRUE(m_store.RemoveDocument(2));
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 1, 2, 3, 4 }));
  EXPECT_EQ(ImageAt(2, 1, 1), Made(3, 1, 1));
  EXPECT_FALSE(m_store.RemoveDocument(9));
  EXPECT_FALSE(m_folder.Exists("B1/batch.trash"));
}

TEST_F(Renumbering, MovesIntoAnotherParentLandAfterTheTarget) {
  Build({ { 1, PagesOneTo(3) }, { 2, PagesOneTo(5) } });
  EXPECT_TRUE(m_store.MovePage(1, 2, 2, 3));
  EXPECT_EQ(Pages(2), (std::vector<ULONG> { 1, 2, 3, 4, 5, 6 }));
  EXPECT_EQ(ImageAt(2, 4, 1), Made(1, 2, 1));
  EXPECT_EQ(ImageAt(2, 5, 1), Made(2, 4, 1));
  EXPECT_EQ(ImageAt(2, 6, 1), Made(2, 5, 1));
  EXPECT_EQ(Pages(1), (std::vector<ULONG> { 1, 2 }));
  EXPECT_EQ(ImageAt(1, 2, 1), Made(1, 3, 1));

  EXPECT_TRUE(m_store.MoveImageAsFirstImage(2, 6, 1, 1, 1));
  EXPECT_EQ(ImagesOf(1, 1), (std::vector<ULONG> { 1, 2 }));
  EXPECT_EQ(ImageAt(1, 1, 1), Made(2, 5, 1));
  EXPECT_EQ(ImagesOf(2, 6), std::vector<ULONG> {});
  EXPECT_TRUE(m_store.MoveImage(1, 1, 2, 2, 6, 99999998));
  EXPECT_EQ(ImagesOf(2, 6), (std::vector<ULONG> { 99999999 }));
  EXPECT_FALSE(m_store.MoveImage(1, 1, 1, 2, 6, 99999999)) << "after the last ID";
  EXPECT_FALSE(m_store.MovePage(1, 9, 2, 1)) << "no such page";
}

TEST_F(Renumbering, MovePagesSplitsAndMerges) {
  Build({ { 1, PagesOneTo(5) }, { 2, PagesOneTo(2) } });
  EXPECT_TRUE(m_store.MovePages(1, 3, 2));
  EXPECT_EQ(Pages(1), (std::vector<ULONG> { 1, 2 }));
  EXPECT_EQ(Pages(2), (std::vector<ULONG> { 1, 2, 3, 4, 5 }));
  EXPECT_EQ(ImageAt(2, 3, 1), Made(1, 3, 1));
  EXPECT_FALSE(m_store.MovePages(1, 4, 2)) << "no such page";
  EXPECT_TRUE(m_store.CreateDocument(3));
  EXPECT_TRUE(m_store.MovePages(3, 0, 1)) << "a document without pages";

  std::filesystem::remove_all(m_folder.Native("B1"));
  Build({ { 1, {} }, { 2, {} }, { 3, PagesOneTo(3) }, { 4, {} }, { 5, {} } });
  ULONG made = 0;
  EXPECT_TRUE(m_store.SplitDocumentToNext(3, 2, made));
  EXPECT_EQ(made, 4u);
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 1, 2, 3, 4, 5, 6 }));
  EXPECT_EQ(Pages(3), (std::vector<ULONG> { 1 }));
  EXPECT_EQ(Pages(4), (std::vector<ULONG> { 1, 2 }));
  EXPECT_EQ(ImageAt(4, 2, 1), Made(3, 3, 1));

  EXPECT_TRUE(m_store.SplitDocumentToLast(4, 2, made));
  EXPECT_EQ(made, 7u);
  EXPECT_EQ(ImageAt(7, 1, 1), Made(3, 3, 1));

  std::filesystem::remove_all(m_folder.Native("B1"));
  Build({ { 1, PagesOneTo(1) }, { 2, PagesOneTo(2) }, { 3, PagesOneTo(1) }, { 4, PagesOneTo(1) } });
  EXPECT_TRUE(m_store.MergeDocuments(2, 3));
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 1, 2, 3 }));
  EXPECT_EQ(Pages(2), (std::vector<ULONG> { 1, 2, 3 }));
  EXPECT_EQ(ImageAt(2, 1, 1), Made(3, 1, 1));
  EXPECT_EQ(ImageAt(2, 3, 1), Made(2, 2, 1));
  EXPECT_EQ(ImageAt(3, 1, 1), Made(4, 1, 1));
}

// Merging a document into itself used to move its pages onto themselves and then delete it.
TEST_F(Renumbering, ADocumentIsNeverMergedOrMovedIntoItself) {
  Build({ { 1, PagesOneTo(2) }, { 2, PagesOneTo(1) } });
  auto before = Images();
  EXPECT_FALSE(m_store.MergeDocuments(1, 1));
  EXPECT_FALSE(m_store.MovePages(1, 0, 1));
  EXPECT_FALSE(m_store.MovePages(1, 2, 1));
  EXPECT_EQ(Images(), before);
}

// Moves never delete their target first, so a target that is another name of the source (a
// link to it) cannot take the source's content with it.
TEST_F(Renumbering, MovesNeverDeleteWhatStandsAtTheTarget) {
  Build({ { 1, PagesOneTo(1) }, { 2, PagesOneTo(1) } });
  ASSERT_EQ(::symlink("00000001", m_folder.Native("B1/00000003").c_str()), 0);
  EXPECT_TRUE(m_store.MoveDocument(1, 3));
  EXPECT_EQ(Contents(), (std::multiset<std::string> { Made(1, 1, 1), "thumb of " + Made(1, 1, 1), Made(2, 1, 1),
                                                      "thumb of " + Made(2, 1, 1) }));
  EXPECT_TRUE(std::filesystem::is_symlink(m_folder.Native("B1/00000002")));
}

TEST_F(Renumbering, LeftoverFilesAndForeignEntriesNeverMixWithMovedImages) {
  Build({ { 1, { { 1, { 1, 2 } } } }, { 2, {} } });
  // The thumbnail of an image whose ".tif" is gone would become the thumbnail of image 2 moved to 3.
  m_folder.Write("B1/00000001/00000001/00000003.thumb", "thumb of a deleted image");
  EXPECT_TRUE(m_store.InsertImage(1, 1, 1));
  EXPECT_EQ(m_folder.Read("B1/00000001/00000001/00000003.thumb"), "thumb of " + Made(1, 1, 2));
  EXPECT_EQ(Contents().count("thumb of a deleted image"), 0u);

  // A file where a document would be renamed to: the change is refused and undone, nothing replaced.
  m_folder.Write("B1/00000003", "not ours");
  auto before = Images();
  EXPECT_FALSE(m_store.InsertDocument(1));
  EXPECT_EQ(Images(), before);
  EXPECT_EQ(m_folder.Read("B1/00000003"), "not ours");
  EXPECT_FALSE(m_folder.Exists("B1/batch.intent"));
}
