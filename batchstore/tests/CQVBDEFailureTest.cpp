// Every change of a batch's tree is all or nothing: a step that fails undoes what was done, and
// a process that stops at any step leaves an intent record that the next call on the batch
// carries out. These tests stop or fail each step of each change in turn.
#include "StoreFixture.h"

#include "batchstore/CQVBDEJournal.h"

#include <functional>

namespace {

struct Injection {
  int step { -1 };
  bool after { false };
  int action { 0 };  // as the hook answers: 1 fail, 2 stop as if the process died
  int calls { 0 };   // steps begun
};
Injection g_injection;

int Inject(int step, bool after) {
  if (!after) ++g_injection.calls;
  return step == g_injection.step && after == g_injection.after ? g_injection.action : 0;
}

class HookScope {
public:
  HookScope() { CQVBDEJournal::s_hook = Inject; }
  ~HookScope() { CQVBDEJournal::s_hook = nullptr; }
};

struct Operation {
  const char* what;
  std::function<BOOL(CQVBDEFS&)> run;
};

}  // namespace

class FailureSafety : public StoreFixture {
protected:
  void Reset() {
    std::filesystem::remove_all(m_folder.Native("B1"));
    m_folder.MakeFolder("B1");
    Build({ { 1, { { 1, { 1, 2, 3 } }, { 2, { 1 } } } },
            { 2, { { 1, { 1 } }, { 2, { 1, 2 } }, { 3, { 1 } } } },
            { 3, {} },
            { 4, { { 1, { 1 } } } } });
  }
};

TEST_F(FailureSafety, EveryStepThatFailsOrStopsLeavesTheBatchBeforeOrAfter) {
  ULONG made = 0;
  const Operation operations[] = {
    { "insert a document at the front", [](CQVBDEFS& s) { return s.InsertDocument(1); } },
    { "remove a document", [](CQVBDEFS& s) { return s.RemoveDocument(2); } },
    { "move a document back", [](CQVBDEFS& s) { return s.MoveDocument(4, 1); } },
    { "move a document on", [](CQVBDEFS& s) { return s.MoveDocument(1, 3); } },
    { "move a page to another document", [](CQVBDEFS& s) { return s.MovePage(2, 1, 1, 1); } },
    { "move an image to another page", [](CQVBDEFS& s) { return s.MoveImage(1, 1, 2, 2, 2, 1); } },
    { "insert an image", [](CQVBDEFS& s) { return s.InsertImage(1, 1, 1); } },
    { "remove an image", [](CQVBDEFS& s) { return s.RemoveImage(1, 1, 1); } },
    { "split to the next place", [&](CQVBDEFS& s) { return s.SplitDocumentToNext(2, 2, made); } },
    { "split to the end", [&](CQVBDEFS& s) { return s.SplitDocumentToLast(2, 2, made); } },
    { "merge", [](CQVBDEFS& s) { return s.MergeDocuments(1, 4); } },
    { "delete a document", [](CQVBDEFS& s) { return s.DeleteDocument(2); } },
  };
  for (const Operation& operation : operations) {
    Reset();
    auto before = Images();
    g_injection = {};
    {
      HookScope hook;
      ASSERT_TRUE(operation.run(m_store)) << operation.what;
    }
    auto after = Images();
    ASSERT_NE(after, before) << operation.what;
    int steps = g_injection.calls;

    for (int step = 0; step < steps; ++step) {
      for (bool stepRan : { false, true }) {
        for (int action : { 1, 2 }) {
          Reset();
          g_injection = { step, stepRan, action, 0 };
          {
            HookScope hook;
            EXPECT_FALSE(operation.run(m_store)) << operation.what << " step " << step;
          }
          std::string how = std::string(operation.what) + (action == 1 ? ": failing" : ": stopping") + " step " +
                            std::to_string(step) + (stepRan ? " after it ran" : " before it ran");
          if (action == 1) {
            EXPECT_EQ(Images(), before) << how;
          } else {
            EXPECT_TRUE(m_folder.Exists("B1/batch.intent")) << how;
            Documents();  // the next call on the batch finishes the change
            EXPECT_EQ(Images(), after) << how;
          }
          EXPECT_FALSE(m_folder.Exists("B1/batch.intent")) << how;
          EXPECT_FALSE(m_folder.Exists("B1/batch.trash")) << how;
        }
      }
    }
  }
}

// A record left by a process that died while undoing a failed change is undone to the end.
TEST_F(FailureSafety, AnInterruptedUndoIsUndoneToTheEnd) {
  Reset();
  auto before = Images();
  std::string record = "QVBDE intent 1\nB0000000002\nF\t00000004\t00000005\nF\t00000003\t00000004\n";
  // Step 0 ran and was counted; step 1 ran, its undo was done but not yet counted.
  ASSERT_EQ(::rename(m_folder.Native("B1/00000004").c_str(), m_folder.Native("B1/00000005").c_str()), 0);
  m_folder.Write("B1/batch.intent", record);
  Documents();
  EXPECT_EQ(Images(), before);
  EXPECT_FALSE(m_folder.Exists("B1/batch.intent"));
}

// A record that is not one of ours is never acted on: the batch refuses work until it is looked at.
TEST_F(FailureSafety, AForeignRecordStopsWorkOnTheBatch) {
  Reset();
  auto before = Images();
  const char* records[] = { "garbage", "QVBDE intent 1\nF0000000009\nF\t00000001\t00000002\n",
                            "QVBDE intent 1\nF0000000000\nF\t../x\t00000002\n", "QVBDE intent 1\nF0000000000\nF\t/etc\t00000002\n" };
  for (const char* record : records) {
    m_folder.Write("B1/batch.intent", record);
    CQVBDEIDList list;
    EXPECT_FALSE(m_store.GetDocumentList(list)) << record;
    EXPECT_FALSE(m_store.InsertDocument(1)) << record;
    EXPECT_EQ(Images(), before) << record;
  }
}

// An image's files move one by one; a process that died between two of them left the image split
// between its old and its new ID. The next call moves the rest.
TEST_F(FailureSafety, AnImageLeftSplitBetweenTwoIdsIsMovedWhole) {
  Reset();
  const std::string page = "B1/00000001/00000001/";
  m_folder.Write(page + "00000003.remarks", "remark of 3");
  ASSERT_EQ(::rename(m_folder.Native(page + "00000003.thumb").c_str(), m_folder.Native(page + "00000004.thumb").c_str()), 0);
  m_folder.Write("B1/batch.intent", "QVBDE intent 1\nF0000000000\nI\t00000001/00000001/00000003\t00000001/00000001/00000004\n");
  EXPECT_EQ(ImagesOf(1, 1), (std::vector<ULONG> { 1, 2, 4 }));
  EXPECT_EQ(m_folder.Names("B1/00000001/00000001"),
            (std::set<std::string> { "00000001.thumb", "00000001.tif", "00000002.thumb", "00000002.tif", "00000004.remarks",
                                     "00000004.thumb", "00000004.tif" }));
  EXPECT_EQ(ImageAt(1, 1, 4), Made(1, 1, 3));
}
