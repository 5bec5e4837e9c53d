// Processes that share a store: one killed at random moments of long changes, and two that change
// one batch at once.
#include "StoreFixture.h"

#include "foundation/util/tests/ChildProcess.h"

#include <chrono>
#include <random>
#include <thread>

using SharedStore = StoreFixture;

TEST_F(SharedStore, AProcessKilledAtAnyMomentLosesAndDuplicatesNoImage) {
  BatchTree tree;
  for (ULONG document = 1; document <= 150; ++document) tree[document] = { { 1, { 1 } }, { 2, { 1, 2 } } };
  Build(tree);
  const auto contents = Contents();
  std::mt19937 random(20261210);
  int interrupted = 0;
  for (int round = 0; round < 25; ++round) {
    {
      ChildProcess worker({ m_folder.Native(), "churn", std::to_string(random()) });
      ASSERT_EQ(worker.ReadLine(), "churning");
      std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % 40));
    }  // killed with SIGKILL here
    interrupted += m_folder.Exists("B1/batch.intent") ? 1 : 0;
    Documents();  // the next call on the batch repairs what the kill left
    ASSERT_EQ(Contents(), contents) << "round " << round;
    ASSERT_FALSE(m_folder.Exists("B1/batch.intent")) << "round " << round;
    ASSERT_FALSE(m_folder.Exists("B1/batch.trash")) << "round " << round;
  }
  EXPECT_GT(interrupted, 0) << "no kill landed inside a change";
}

TEST_F(SharedStore, TwoProcessesInsertingAtOnceKeepEachOthersDocuments) {
  Build({ { 1, { { 1, { 1 } } } } });
  ChildProcess one({ m_folder.Native(), "insert", "150" });
  ChildProcess two({ m_folder.Native(), "insert", "150" });
  EXPECT_EQ(one.ReadLine(), "inserted 150");
  EXPECT_EQ(two.ReadLine(), "inserted 150");
  std::vector<ULONG> expected;
  for (ULONG id = 1; id <= 301; ++id) expected.push_back(id);
  EXPECT_EQ(Documents(), expected);
  EXPECT_EQ(ImageAt(301, 1, 1), Made(1, 1, 1));
}
