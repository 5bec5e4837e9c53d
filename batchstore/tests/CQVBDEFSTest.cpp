#include "StoreFixture.h"

#include "batchstore/CQVBDEIndexItem.h"
#include "batchstore/CQVBDEInfoFormat.h"
#include "foundation/util/CDPXStringList.h"

#include <set>

using Store = StoreFixture;

TEST_F(Store, PathsDescendWhileTheIdsAreValid) {
  CString base = m_folder.Wide() + u"/B1";
  struct Case {
    const char* what;
    ULONG document, page, image;
    CString expected;
  } cases[] = {
    { "batch only", 0, 5, 7, base },
    { "document, then a gap", 5, 0, 7, base + u"/00000005" },
    { "down to the image", 1, 2, 3, base + u"/00000001/00000002/00000003" },
    { "out of range ends the descent", 1, 100000000, 3, base + u"/00000001" },
  };
  for (const Case& c : cases) {
    CString out(u"old");
    EXPECT_TRUE(m_store.GetDir(out, c.document, c.page, c.image)) << c.what;
    EXPECT_EQ(out, c.expected) << c.what;
  }
  CString out;
  EXPECT_FALSE(m_store.GetBatchIndexFilePath(out, -1));
  EXPECT_TRUE(m_store.GetBatchIndexFilePath(out, 0));
  EXPECT_EQ(out, base + u"/batch.0.index");
  EXPECT_TRUE(m_store.GetDocumentIndexFilePath(out, 2, 3));
  EXPECT_EQ(out, base + u"/00000002/document.3.index");
  EXPECT_FALSE(m_store.GetPageDir(out, 1, 0));
  EXPECT_TRUE(out.IsEmpty());
  EXPECT_TRUE(m_store.GetThumbImageFilePath(out, 1, 2, 3));
  EXPECT_EQ(out, base + u"/00000001/00000002/00000003.thumb");

  m_store.GetHelper().SetJobRootDir(m_folder.Wide());  // no final separator
  m_store.GetHelper().SetActiveBatch(u"  B1  ");
  EXPECT_TRUE(m_store.GetBatchDir(out));
  EXPECT_EQ(out, base);
  m_store.GetHelper().SetJobRootDir(u"");
  EXPECT_FALSE(m_store.GetBatchDir(out));
}

// Batch names become folder names under the job root: none may lead anywhere else.
TEST_F(Store, BatchNamesFollowTheJobNameRule) {
  m_folder.MakeFolder("outside");
  m_folder.Write("outside/keep", "x");
  const char16_t* refused[] = { u"..", u".", u"../outside", u"a/b", u"a\\b", u"/tmp", u"", u"   ",
                                u"B1.old", u"a-b", u"123456789012345678901" };
  for (const char16_t* name : refused) {
    EXPECT_FALSE(m_store.CreateBatch(name)) << CString(name);
    EXPECT_FALSE(m_store.DeleteBatch(name)) << CString(name);
    EXPECT_FALSE(m_store.RenameBatch(u"B1", name)) << CString(name);
    CQVBDEFS other;
    other.GetHelper().SetJobRootDir(m_folder.Wide("B1"));
    other.GetHelper().SetActiveBatch(name);
    CString dir;
    EXPECT_FALSE(other.GetBatchDir(dir)) << CString(name);
  }
  EXPECT_TRUE(m_folder.Exists("outside/keep"));
  EXPECT_TRUE(m_folder.Exists("B1"));
}

TEST_F(Store, BatchesAreCreatedListedRenamedAndDeleted) {
  EXPECT_TRUE(m_store.CreateBatch(u" B2 "));
  EXPECT_FALSE(m_store.CreateBatch(u"B2")) << "an existing batch";
  EXPECT_FALSE(m_store.CreateBatch(u"b2")) << "an existing batch in other letters";
  m_folder.Write("file", "");
  m_folder.MakeFolder("with.dot");
  CDPXStringList names;
  ASSERT_TRUE(m_store.GetBatchList(names));
  std::set<CString> found;
  for (int i = 0; i < names.GetCount(); ++i) {
    CString name;
    names.GetAtIndex(i, name);
    found.insert(name);
  }
  EXPECT_EQ(found, (std::set<CString> { u"B1", u"B2" }));

  EXPECT_TRUE(m_store.RenameBatch(u"B1", u"b1")) << "the same batch";
  EXPECT_TRUE(m_folder.Exists("B1"));
  EXPECT_FALSE(m_store.RenameBatch(u"B1", u"B2")) << "an existing target is never replaced";
  Build({ { 1, { { 1, { 1 } } } } });
  EXPECT_TRUE(m_store.RenameBatch(u"B1", u"B3"));
  EXPECT_TRUE(m_folder.Exists("B3/00000001/00000001/00000001.tif"));
  EXPECT_TRUE(m_store.DeleteBatch(u"B3"));
  EXPECT_FALSE(m_folder.Exists("B3"));
  EXPECT_TRUE(m_store.DeleteBatch(u"never")) << "a batch that is not there is deleted";

  CQVBDEFS noRoot;
  EXPECT_FALSE(noRoot.GetBatchList(names));
}

TEST_F(Store, ListsTakeOnlyIdNamedEntries) {
  for (const char* folder : { "B1/00000002", "B1/00000010", "B1/1", "B1/0000000A", "B1/00000000", "B1/00000002/00000001" })
    m_folder.MakeFolder(folder);
  m_folder.Write("B1/00000003", "a file, not a document");
  m_folder.Write("B1/00000002/00000001/00000001.tif", "");
  m_folder.Write("B1/00000002/00000001/00000004.TIF", "");
  m_folder.Write("B1/00000002/00000001/00000002.preview", "");
  m_folder.MakeFolder("B1/00000002/00000001/00000003.tif");
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 2, 10 }));
  EXPECT_EQ(ImagesOf(2, 1), (std::vector<ULONG> { 1, 4 }));

  ULONG low = 0, high = 0;
  EXPECT_TRUE(m_store.GetDocumentRange(low, high));
  EXPECT_EQ(low, 2u);
  EXPECT_EQ(high, 10u);
  EXPECT_TRUE(m_store.GetPageRange(10, low, high));
  EXPECT_EQ(low, 100000000u);
  EXPECT_EQ(high, 0u);
  CQVBDEIDList list;
  EXPECT_FALSE(m_store.GetPageList(0, list));
}

// Creating over an existing entry used to empty it; it is refused and the entry kept.
TEST_F(Store, CreatingNeverEmptiesAnExistingEntry) {
  Build({ { 1, { { 1, { 1 } } } } });
  auto before = Images();
  EXPECT_FALSE(m_store.CreateDocument(1));
  EXPECT_FALSE(m_store.CreatePage(1, 1));
  EXPECT_FALSE(m_store.CreateImage(1, 1, 1));
  EXPECT_EQ(Images(), before);

  EXPECT_TRUE(m_store.CreateDocument(2));
  EXPECT_TRUE(m_store.CreatePage(2, 1));
  EXPECT_FALSE(m_store.CreatePage(3, 1)) << "no such document";
  m_folder.Write("B1/00000002/00000001/00000004.thumb", "left over");
  EXPECT_TRUE(m_store.CreateImage(2, 1, 4));
  EXPECT_EQ(m_folder.Names("B1/00000002/00000001"), (std::set<std::string> { "00000004.tif" }));
  EXPECT_EQ(m_folder.Read("B1/00000002/00000001/00000004.tif"), "");
  EXPECT_FALSE(m_store.CreateDocument(0));
}

TEST_F(Store, DeletingRemovesAWholeEntryAndLeavesAGap) {
  Build({ { 1, { { 1, { 1, 2 } }, { 2, { 1 } } } }, { 2, {} } });
  m_folder.Write("B1/00000001/00000001/00000004.thumb", "only a thumbnail");
  EXPECT_TRUE(m_store.DeleteImage(1, 1, 4));
  EXPECT_FALSE(m_folder.Exists("B1/00000001/00000001/00000004.thumb"));
  EXPECT_TRUE(m_store.DeleteImage(1, 1, 1));
  EXPECT_EQ(m_folder.Names("B1/00000001/00000001"), (std::set<std::string> { "00000002.thumb", "00000002.tif" }));
  EXPECT_TRUE(m_store.DeletePage(1, 1));
  EXPECT_EQ(Pages(1), (std::vector<ULONG> { 2 }));
  EXPECT_TRUE(m_store.DeleteDocument(1));
  EXPECT_TRUE(m_store.DeleteDocument(7));
  EXPECT_EQ(Documents(), (std::vector<ULONG> { 2 }));
  EXPECT_FALSE(m_folder.Exists("B1/batch.trash"));
  EXPECT_FALSE(m_folder.Exists("B1/batch.intent"));
}

TEST_F(Store, DocumentTypesAndIndexDataGoThroughTheirFiles) {
  Build({ { 1, {} } });
  CString type(u"old");
  EXPECT_TRUE(m_store.GetDocumentType(type, 1));
  EXPECT_TRUE(type.IsEmpty());
  EXPECT_TRUE(m_store.SetDocumentType(u"  Invoice  ", 1));
  EXPECT_TRUE(m_store.GetDocumentType(type, 1));
  EXPECT_EQ(type, u"Invoice");
  EXPECT_EQ(m_folder.Read("B1/00000001/document.info"), "\xEF\xBB\xBF[Document Type]\r\nType = Invoice\r\n");
  EXPECT_FALSE(m_store.SetDocumentType(u"x", 0));

  CQVBDEIndexItemList list;
  list.SetIndex(u"Number", u"4711", CQVBDEIndexItem::sourceOCR, 8500);
  EXPECT_TRUE(m_store.SaveDocumentIndexData(list, 1, 0));
  CQVBDEIndexItemList read;
  read.SetIndex(u"stale", u"", 0, 0);
  EXPECT_TRUE(m_store.LoadDocumentIndexData(read, 1, 0));
  CString value;
  int source = 0, accuracy = 0;
  ASSERT_EQ(read.GetCount(), 1);
  EXPECT_TRUE(read.GetIndex(u"number", value, source, accuracy));
  EXPECT_EQ(value, u"4711");
  EXPECT_EQ(source, CQVBDEIndexItem::sourceOCR);
  EXPECT_EQ(accuracy, 8500);

  EXPECT_FALSE(m_store.LoadDocumentIndexData(read, 1, 5)) << "no such file";
  EXPECT_EQ(read.GetCount(), 0);
  m_folder.Write("B1/batch.0.index", "[A]\r\nAccuracy = x\r\n\"v\"\r\n");
  read.SetIndex(u"stale", u"", 0, 0);
  EXPECT_FALSE(m_store.LoadBatchIndexData(read, 0)) << "a bad accuracy fails the load";
  EXPECT_EQ(read.GetCount(), 0);
}
