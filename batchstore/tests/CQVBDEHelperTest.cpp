#include "batchstore/CQVBDEHelper.h"
#include "batchstore/CQVBDEIDList.h"
#include "IdItems.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

void Fill(CQVBDEIDList& list, std::initializer_list<ULONG> ids) {
  list.SetSize(0);
  for (ULONG id : ids) list.Add(id);
}

}  // namespace

TEST(CQVBDEHelper, IdTextsAreExactlyEightDigitsOfAValidId) {
  struct Case {
    const char16_t* text;
    BOOL ok;
    ULONG id;
  } cases[] = {
    { u"00000001", TRUE, 1 },        { u"99999999", TRUE, 99999999 }, { u"00000000", FALSE, 0 },
    { u" 0000001", FALSE, 0 },       { u"1", FALSE, 0 },              { u"000000001", FALSE, 0 },
    { u"0000001A", FALSE, 0 },       { u"00000012 ", FALSE, 0 },      { u"", FALSE, 0 },
  };
  for (const Case& c : cases) {
    ULONG id = 0;
    EXPECT_EQ(CQVBDEHelper::ID(c.text, id), c.ok) << CString(c.text);
    EXPECT_EQ(id, c.id) << CString(c.text);
  }
  CString text(u"before");
  EXPECT_FALSE(CQVBDEHelper::ID(100000000, text));
  EXPECT_FALSE(CQVBDEHelper::ID(0, text));
  EXPECT_EQ(text, u"before");
  EXPECT_TRUE(CQVBDEHelper::ID(7, text));
  EXPECT_EQ(text, u"00000007");
}

TEST(CQVBDEHelper, AddressRecordStoresTrimmedValuesAndSyncsBothWays) {
  CQVBDEHelper a, b;
  a.SetJobRootDir(u"  /jobs  ");
  a.SetActiveBatch(u" B1 ");
  a.SetActiveDocument(3);
  a.SetActivePage(100000000);  // stored unchecked
  a.SetActiveImage(5);
  CString root, batch;
  a.GetJobRootDir(root);
  a.GetActiveBatch(batch);
  EXPECT_EQ(root, u"/jobs/");
  EXPECT_EQ(batch, u"B1");

  EXPECT_FALSE(a.SyncTo(nullptr));
  EXPECT_TRUE(a.SyncTo(&b));
  ULONG document = 0, page = 0, image = 0;
  b.GetActiveDocument(document);
  b.GetActivePage(page);
  b.GetActiveImage(image);
  b.GetJobRootDir(root);
  EXPECT_EQ(root, u"/jobs/");
  EXPECT_EQ(document, 3u);
  EXPECT_EQ(page, 100000000u);
  EXPECT_EQ(image, 5u);

  b.SetActiveBatch(u"B2");
  EXPECT_TRUE(a.SyncFrom(&b));
  a.GetActiveBatch(batch);
  EXPECT_EQ(batch, u"B2");
  EXPECT_TRUE(a.SyncFrom(&a));
}

TEST(CQVBDEHelper, RecordsSyncedTowardsEachOtherFromTwoThreadsDoNotDeadlock) {
  CQVBDEHelper a, b;
  std::thread one([&] {
    for (int i = 0; i < 20000; ++i) a.SyncTo(&b);
  });
  std::thread two([&] {
    for (int i = 0; i < 20000; ++i) b.SyncTo(&a);
  });
  one.join();
  two.join();
}

TEST(CQVBDEIDList, CapacityGrowsInBlocksOfAHundredAndNewSlotsReadZero) {
  CQVBDEIDList list;
  ASSERT_TRUE(list.SetSize(100));
  EXPECT_EQ(list.GetCapacity(), 100);
  ASSERT_TRUE(list.SetSize(101));
  EXPECT_EQ(list.GetCapacity(), 200);
  list.SetSize(150);
  for (int i = 0; i < 150; ++i) list.SetAt(i, ULONG(i + 1));
  list.SetSize(120);
  EXPECT_EQ(list.GetCapacity(), 200);
  list.SetSize(150);
  ULONG id = 99;
  ASSERT_TRUE(list.GetAt(120, id));
  EXPECT_EQ(id, 0u);
  ASSERT_TRUE(list.GetAt(119, id));
  EXPECT_EQ(id, 120u);
  list.SetSize(0);
  EXPECT_EQ(list.GetCapacity(), 0);
  EXPECT_FALSE(list.GetAt(0, id));
}

TEST(CQVBDEIDList, InsertRemoveAndSortKeepTheirBounds) {
  CQVBDEIDList list;
  Fill(list, { 1, 2, 3 });
  EXPECT_FALSE(list.InsertAt(3, 1)) << "an index equal to the size does not append";
  EXPECT_FALSE(list.InsertAt(0, 0));
  EXPECT_TRUE(list.InsertAt(1, 2));
  EXPECT_EQ(IdItems(list), (std::vector<ULONG> { 1, 0, 0, 2, 3 }));
  EXPECT_FALSE(list.RemoveAt(3, 3));
  EXPECT_TRUE(list.RemoveAt(1, 2));
  EXPECT_EQ(IdItems(list), (std::vector<ULONG> { 1, 2, 3 }));
  EXPECT_FALSE(list.SetAt(3, 9));

  Fill(list, { 5, 3, 5, 0, 1 });
  EXPECT_TRUE(list.Sort());
  EXPECT_EQ(IdItems(list), (std::vector<ULONG> { 1, 3, 5 }));
  Fill(list, { 0, 0 });
  EXPECT_TRUE(list.Sort());
  EXPECT_EQ(list.GetSize(), 0);
  EXPECT_EQ(list.FindID(0), -2);
  EXPECT_EQ(list.FindID(4), -1);
}

TEST(CQVBDEIDList, InsertAndMoveCalculations) {
  CQVBDEIDList list;
  Fill(list, { 1, 2, 3, 4, 6 });
  ULONG first = 9, last = 9;
  EXPECT_TRUE(list.CalcForInsertID(3, first, last));
  EXPECT_EQ(first, 3u);
  EXPECT_EQ(last, 4u);
  EXPECT_TRUE(list.CalcForInsertID(5, first, last));
  EXPECT_EQ(first, 0u);
  EXPECT_EQ(last, 0u);
  EXPECT_FALSE(list.CalcForInsertID(0, first, last));

  Fill(list, { 1, 2, 4 });
  int index = 0, target = 0;
  ULONG temp = 9;
  EXPECT_TRUE(list.CalcForMove(4, 2, index, target, temp));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(target, 1);
  EXPECT_EQ(temp, 5u);
  EXPECT_TRUE(list.CalcForMove(4, 3, index, target, temp));
  EXPECT_EQ(target, -1);
  EXPECT_EQ(temp, 0u);
  EXPECT_FALSE(list.CalcForMove(4, 4, index, target, temp));
  EXPECT_FALSE(list.CalcForMove(7, 1, index, target, temp));
  EXPECT_FALSE(list.CalcForMove(1, 0, index, target, temp));
  Fill(list, { 1, 99999999 });
  EXPECT_FALSE(list.CalcForMove(1, 99999999, index, target, temp)) << "no temporary ID left";
}
