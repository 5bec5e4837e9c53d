// Opening published batches by every open mode, their display names, and the current document.

#include "viewer/model/CIBSBatch.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/tests/BatchFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

BatchFiles Invoices(const std::string& name = "Invoices") {
  BatchFiles files;
  files.header = Header(name, {"Customer", "Invoice No"});
  files.index = "001;1;00012345;B;D;0;0;0;0;0;0;3;0;ACME;INV-1\r\n"
                "001;1;00012346;B;D;0;0;0;0;0;0;2;0;Baker;INV-2\r\n"
                "001;1;00012347;B;D;0;0;0;0;0;0;4;0;Cole;INV-3\r\n"
                "001;1;00012348;B;D;0;0;0;0;0;0;1;0;Dunn;INV-4\r\n"
                "001;1;00012349;B;D;0;0;0;0;0;0;1;0;Eton;INV-5\r\n";
  files.folders = {"5/34", "6/34", "7/34", "8/34", "9/34"};
  files.images = {"5/34/00012001.TIF", "5/34/00012002.TIF", "5/34/00012003.TIF",
                  // a stray file between the pages and one in another letter case
                  "6/34/00012001.TIF", "6/34/00012001A.TIF", "6/34/00012002.tif",
                  // a gap: the page after it is not the document's
                  "7/34/00012001.TIF", "7/34/00012002.TIF", "7/34/00012004.TIF",
                  // another document's pages in the same folder
                  "8/34/00011001.TIF"};
  return files;
}

std::vector<std::string> DisplayNames(const CIBSPlant& plant) {
  CDPXStringList names;
  plant.GetBatchDisplayNames(names);
  return Texts(names);
}

}  // namespace

TEST(PlantOpening, EveryOpenMode) {
  TempFolder folder;
  Invoices().Write(folder.Path() / "one");
  Invoices("Contracts").Write(folder.Path() / "two");
  BatchFiles broken = Invoices();
  broken.Write(folder.Path() / "three");
  fs::remove(folder.Path() / "three/DOC_CD/Database/index.dat");
  WriteBytes(folder.Path() / "a file", "x");
  // The index files of the profile's batch lie elsewhere; its root is given as its image folder.
  Invoices("Elsewhere").Write(folder.Path() / "four");
  fs::rename(folder.Path() / "four/DOC_CD/Database", folder.Path() / "index files");
  const std::string profile = "[Orbel]\r\nRoot = " + (folder.Path() / "four/DOC_CD/DATA/").string() +
                              "\r\nIndex = " + (folder.Path() / "index files/index.dat").string() +
                              "\r\nIndexHdr = " + (folder.Path() / "index files/indexhdr.dat").string() + "\r\n";
  WriteBytes(folder.Path() / "open.dps", profile);
  WriteBytes(folder.Path() / "no root.dps", "[Orbel]\r\nIndex = x\r\nIndexHdr = y\r\n");
  WriteBytes(folder.Path() / "missing root.dps", "[Orbel]\r\nRoot = /nonexistent/\r\nIndex = x\r\nIndexHdr = y\r\n");

  const struct {
    const char* what;
    int mode;
    CString location;
    bool opened;
    std::vector<std::string> names;
  } cases[] = {
      {"one root", CIBSPlant::openRoot, folder.Wide("one"), true, {"one [Invoices]"}},
      {"one root with its separator", CIBSPlant::openRoot, folder.Wide("one") + u"/", true, {"one [Invoices]"}},
      {"a root without an index", CIBSPlant::openRoot, folder.Wide("three"), false, {}},
      {"a folder of roots, by name", CIBSPlant::openFolder, folder.Wide(), true, {"Invoices", "Contracts"}},
      {"a folder without roots", CIBSPlant::openFolder, folder.Wide("one/DOC_CD"), false, {}},
      {"a missing folder", CIBSPlant::openFolder, folder.Wide("nothing"), false, {}},
      {"a list of roots", CIBSPlant::openRootList, folder.Wide("two") + u"; ;" + folder.Wide("three") + u";" + folder.Wide("one"),
       true, {"two [Contracts]", "one [Invoices]"}},
      {"an empty list", CIBSPlant::openRootList, u"", false, {}},
      {"a profile", CIBSPlant::openProfile, folder.Wide("open.dps"), true, {"Elsewhere"}},
      {"a profile without a root", CIBSPlant::openProfile, folder.Wide("no root.dps"), false, {}},
      {"a profile whose root is missing", CIBSPlant::openProfile, folder.Wide("missing root.dps"), false, {}},
      {"a missing profile", CIBSPlant::openProfile, folder.Wide("none.dps"), false, {}},
      {"an unknown mode", 7, folder.Wide("one"), false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CIBSPlant plant;
    EXPECT_TRUE(plant.SetOpenMode(c.mode, c.location));
    EXPECT_EQ(plant.Load() != FALSE, c.opened);
    EXPECT_EQ(plant.GetState(), c.opened ? CIBSPlant::stateOpened : CIBSPlant::stateClosed);
    EXPECT_EQ(DisplayNames(plant), c.names);
  }

  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openProfile, folder.Wide("open.dps"));
  ASSERT_TRUE(plant.Load());
  EXPECT_EQ(plant.GetBatch(0)->GetRoot(), folder.Wide("four") + u"/");
  int searched = 0;
  int hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.Search(searched, hits);
  EXPECT_EQ(hits, 5);
}

TEST(PlantOpening, ValidRoot) {
  const struct {
    const char* what;
    const char* remove;
    bool valid;
  } cases[] = {
      {"the whole layout", nullptr, true},
      {"no image folder", "DOC_CD/DATA", false},
      {"no index folder", "DOC_CD/Database", false},
      {"no index", "DOC_CD/Database/index.dat", false},
      {"no header", "DOC_CD/Database/indexhdr.dat", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    Invoices().Write(folder.Path());
    if (c.remove) fs::remove_all(folder.Path() / c.remove);
    EXPECT_EQ(CIBSPlant::IsValidRoot(folder.Wide()) != FALSE, c.valid);
  }
  TempFolder folder;
  Invoices().Write(folder.Path());
  fs::remove(folder.Path() / "DOC_CD/Database/index.dat");
  fs::create_directory(folder.Path() / "DOC_CD/Database/index.dat");
  EXPECT_FALSE(CIBSPlant::IsValidRoot(folder.Wide()));
  EXPECT_FALSE(CIBSPlant::IsValidRoot(u""));
}

// A batch copied from a disc may have its names in any letter case.
TEST(PlantOpening, NamesInAnyLetterCase) {
  TempFolder folder;
  BatchFiles files = Invoices();
  files.Write(folder.Path() / "staging");
  fs::create_directories(folder.Path() / "copy");
  fs::rename(folder.Path() / "staging/DOC_CD", folder.Path() / "copy/doc_cd");
  fs::rename(folder.Path() / "copy/doc_cd/DATA", folder.Path() / "copy/doc_cd/data");
  fs::rename(folder.Path() / "copy/doc_cd/Database", folder.Path() / "copy/doc_cd/DATABASE");
  fs::rename(folder.Path() / "copy/doc_cd/DATABASE/index.dat", folder.Path() / "copy/doc_cd/DATABASE/INDEX.DAT");
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openRoot, folder.Wide("copy"));
  ASSERT_TRUE(plant.Load());
  int searched = 0;
  int hits = 0;
  plant.SetDocumentPattern(u"*");
  plant.Search(searched, hits);
  EXPECT_EQ(hits, 5);
  CDPXStringList paths;
  ASSERT_TRUE(plant.GetResult(0)->CollectImageFiles(paths));
  EXPECT_EQ(paths.GetCount(), 3);
}

TEST(PlantOpening, DisplayNamesAreUnique) {
  TempFolder folder;
  Invoices("Same").Write(folder.Path() / "a");
  Invoices("Same").Write(folder.Path() / "b");
  BatchFiles damaged = Invoices("Same");
  damaged.header = "only one line\r\n";
  damaged.Write(folder.Path() / "c");
  Invoices("Other").Write(folder.Path() / "d");
  Invoices("Same").Write(folder.Path() / "e");
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, folder.Wide());
  ASSERT_TRUE(plant.Load());
  EXPECT_EQ(plant.GetBatchCount(), 5);
  EXPECT_EQ(DisplayNames(plant), (std::vector<std::string> {"Same", "Same (2)", "Other", "Same (3)"}));
  EXPECT_EQ(plant.FindBatch(u"Same (2)"), plant.GetBatch(1));
  EXPECT_EQ(plant.FindBatch(u"Same (3)"), plant.GetBatch(4));
  EXPECT_EQ(plant.FindBatch(u"same"), nullptr);
}

TEST(PlantOpening, FieldNamesBySelection) {
  TempFolder folder;
  BatchFiles first = Invoices("First");
  first.header = Header("First", {"Customer", "Date"});
  first.Write(folder.Path() / "a");
  BatchFiles second = Invoices("Second");
  second.header = Header("Second", {"Date", "Amount", "customer"});
  second.Write(folder.Path() / "b");
  CIBSPlant plant;
  plant.SetOpenMode(CIBSPlant::openFolder, folder.Wide());
  ASSERT_TRUE(plant.Load());
  CDPXStringList names;
  EXPECT_EQ(plant.GetFieldNames(0, u"", names), 4);
  EXPECT_EQ(Texts(names), (std::vector<std::string> {"Customer", "Date", "Amount", "customer"}));
  EXPECT_EQ(plant.GetFieldNames(1, u"Second", names), 3);
  EXPECT_EQ(plant.GetFieldNames(1, u"Third", names), 0);
  EXPECT_EQ(plant.GetFieldNames(-1, u"Second", names), 0);
}

class PlantDocuments : public ::testing::Test {
protected:
  void SetUp() override {
    BatchFiles files = Invoices();
    // An invalid line that carries the number of a valid one comes first.
    files.index = "001;1;00012346;B;D;0;0;0;0;0\r\n" + files.index;
    files.Write(m_folder.Path() / "A");
    m_plant.SetBrowser(&m_browser);
    m_plant.SetWindowLink(&m_windows);
    m_plant.SetOpenMode(CIBSPlant::openFolder, m_folder.Wide());
    ASSERT_TRUE(m_plant.Load());
    m_plant.SetDocumentPattern(u"*");
    int searched = 0;
    int hits = 0;
    m_plant.Search(searched, hits);
    ASSERT_EQ(hits, 5);
  }

  std::string Current() const {
    CString number;
    m_plant.GetCurrentDocumentNumber(number);
    return number.ToUtf8();
  }

  std::vector<std::string> ImageNames() const {
    std::vector<std::string> names;
    for (const std::string& path : m_browser.images) names.push_back(fs::path(path).filename().string());
    return names;
  }

  TempFolder m_folder;
  FakeBrowser m_browser;
  RecordingWindows m_windows;
  CIBSPlant m_plant;
};

TEST_F(PlantDocuments, OpenShowsTheImagesInPageOrder) {
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  EXPECT_EQ(Current(), "00012345");
  EXPECT_EQ(m_plant.GetState(), CIBSPlant::stateShown);
  EXPECT_EQ(ImageNames(), (std::vector<std::string> {"00012001.TIF", "00012002.TIF", "00012003.TIF"}));
  EXPECT_EQ(m_browser.position, 0);
  EXPECT_EQ(m_windows.titleRefreshes, 1);
  EXPECT_GT(m_windows.waitCursors, 0);
  EXPECT_EQ(m_windows.waitDepth, 0);
  CString name;
  EXPECT_TRUE(m_plant.GetCurrentBatchDisplayName(name));
  EXPECT_EQ(name, u"Invoices");

  // A stray file beside the pages and names in another letter case; then a gap.
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012346"));
  EXPECT_EQ(ImageNames(), (std::vector<std::string> {"00012001.TIF", "00012002.tif"}));
  ASSERT_TRUE(m_plant.NextDocument());
  EXPECT_EQ(ImageNames(), (std::vector<std::string> {"00012001.TIF", "00012002.TIF"}));
  EXPECT_TRUE(m_windows.boxes.empty());
}

TEST_F(PlantDocuments, NextAndPreviousStopAtTheEnds) {
  EXPECT_FALSE(m_plant.NextDocument());
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  EXPECT_TRUE(m_plant.PreviousDocument());
  EXPECT_EQ(Current(), "00012345");
  EXPECT_TRUE(m_plant.NextDocument());
  EXPECT_EQ(Current(), "00012346");
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012349"));
  EXPECT_TRUE(m_plant.NextDocument());
  EXPECT_EQ(Current(), "00012349");
  EXPECT_TRUE(m_plant.PreviousDocument());
  EXPECT_EQ(Current(), "00012348");
}

TEST_F(PlantDocuments, DocumentWithoutImagesSaysSo) {
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012349"));
  EXPECT_EQ(Current(), "00012349");
  EXPECT_TRUE(m_browser.images.empty());
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012349"));
  const std::string box = "info MSG_INFO_NOIMAGEFILES <%batchname%>=Invoices <%docnumber%>=00012349";
  EXPECT_EQ(m_windows.boxes, (std::vector<std::string> {box, box}));
  // Pages of another document in the same folder are not this one's.
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012348"));
  EXPECT_TRUE(m_browser.images.empty());
}

TEST_F(PlantDocuments, OnlyResultsOpen) {
  EXPECT_FALSE(m_plant.OpenDocument(u"Invoices", u"00099999"));
  EXPECT_FALSE(m_plant.OpenDocument(u"Other", u"00012345"));
  EXPECT_FALSE(m_plant.IsResultDocument(u"Invoices", u"00099999"));
  EXPECT_TRUE(m_plant.IsResultDocument(u"Invoices", u"00012346"));
  EXPECT_EQ(m_plant.CheckDocumentFolder(u"Invoices", u"00012346"), m_plant.GetResult(1));
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
  EXPECT_GT(m_browser.emptied, 0);

  // A folder that went away after the search.
  fs::remove_all(m_folder.Path() / "A/DOC_CD/DATA/7/34");
  EXPECT_FALSE(m_plant.OpenDocument(u"Invoices", u"00012347"));
  ASSERT_EQ(m_windows.boxes.size(), 1u);
  EXPECT_EQ(m_windows.boxes[0], "error MSG_ERR_DOCUMENTFOLDER_UNEXIST <%docfolder%>=" + (m_folder.Path() / "A/DOC_CD/DATA/7/34").string());

  CDPXStringList names;
  EXPECT_EQ(m_plant.GetResultBatchDisplayNames(names), 1);
  CDPXStringList values;
  ASSERT_TRUE(m_plant.GetDocumentFieldValues(m_plant.GetResult(0), names, values));
  EXPECT_EQ(Texts(names), (std::vector<std::string> {"Customer", "Invoice No"}));
  EXPECT_EQ(Texts(values), (std::vector<std::string> {"ACME", "INV-1"}));
  EXPECT_FALSE(m_plant.GetDocumentFieldValues(nullptr, names, values));
}

TEST_F(PlantDocuments, CloseAndSearchLeaveNoCurrentDocument) {
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  int searched = 0;
  int hits = 0;
  m_plant.Search(searched, hits);
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
  EXPECT_EQ(m_browser.document, nullptr);
  // The shown batch searched again by itself: its document is no longer shown.
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012346"));
  m_plant.SearchBatches(searched, hits, m_plant.FindBatch(u"Invoices"));
  EXPECT_EQ(hits, 5);
  EXPECT_EQ(m_plant.GetResultCount(), 5);
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
  EXPECT_EQ(m_browser.document, nullptr);
  ASSERT_TRUE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  m_plant.Close();
  EXPECT_EQ(m_plant.GetState(), CIBSPlant::stateClosed);
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
  EXPECT_EQ(m_browser.document, nullptr);
  EXPECT_EQ(m_plant.GetBatchCount(), 0);
  ASSERT_TRUE(m_plant.Load());
  m_plant.Search(searched, hits);
  EXPECT_EQ(m_plant.GetCurrentDocument(), nullptr);
}

TEST_F(PlantDocuments, WithoutWindowsNothingShows) {
  m_plant.SetBrowser(nullptr);
  m_plant.SetWindowLink(nullptr);
  EXPECT_FALSE(m_plant.OpenDocument(u"Invoices", u"00012345"));
  EXPECT_FALSE(m_plant.NextDocument());
  fs::remove_all(m_folder.Path() / "A/DOC_CD/DATA/7/34");
  EXPECT_EQ(m_plant.CheckDocumentFolder(u"Invoices", u"00012347"), nullptr);
}
