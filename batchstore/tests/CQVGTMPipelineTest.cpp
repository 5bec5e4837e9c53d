#include "batchstore/pipeline/CQVGTMOperator.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

std::atomic<int> g_alive { 0 };

// A piece that counts how many of its kind are alive.
class CountedPiece : public CQVGTMPiece {
public:
  explicit CountedPiece(uint64_t sequence) {
    m_nSequence = sequence;
    ++g_alive;
  }
  ~CountedPiece() override { --g_alive; }
};

uint64_t AddPiece(CQVGTMPieceList& list, uint64_t sequence, uint64_t mask = 1) {
  return list.Add(new CountedPiece(sequence), mask);
}

// The sequence numbers of the tasks in the queue, in queue order; the tasks are taken out.
std::vector<uint64_t> Drain(CQVGTMQueue& queue) {
  std::vector<uint64_t> numbers;
  uint64_t key = 0;
  CQVGTMPieceList* list = nullptr;
  while (queue.PopTask(key, list)) numbers.push_back(list->Get(key)->m_nSequence);
  return numbers;
}

// Waits up to two seconds for the queue to hold `count` tasks.
BOOL WaitForCount(CQVGTMQueue& queue, int count) {
  for (int i = 0; i < 2000 && queue.GetCount() < count; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return queue.GetCount() >= count;
}

// A stage that fails on the pieces numbered 13.
class Unlucky : public CQVGTMForwarder {
public:
  std::vector<uint64_t> failed;

protected:
  void OnProcessTask(uint64_t key, CQVGTMPieceList* list, CQVGTMQueue** outs) override {
    if (list->Get(key)->m_nSequence == 13) throw std::runtime_error("no page 13");
    CQVGTMForwarder::OnProcessTask(key, list, outs);
  }
  void OnTaskFailed(uint64_t key, CQVGTMPieceList* list) override { failed.push_back(list->Get(key)->m_nSequence); }
};

}  // namespace

// Keys used to be node addresses of which only the low 32 bits counted; a stale or foreign key
// could reach another piece.
TEST(CQVGTMPieceList, KeysAreCheckedAndPiecesFreedByTheLastRelease) {
  CQVGTMPieceList list, other;
  EXPECT_EQ(list.Add(nullptr, 1), 0u);
  EXPECT_EQ(AddPiece(list, 1, 0), 0u);
  EXPECT_EQ(g_alive, 0) << "a piece refused is deleted";
  const uint64_t key = AddPiece(list, 5, 0b11 | 1ull << 63);
  EXPECT_EQ(list.Get(key)->m_nSequence, 5u);
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(other.Get(key), nullptr);
  list.Flag(key, 0b01);
  list.Flag(key, 0b10);
  EXPECT_EQ(list.GetCount(), 1) << "bit 63 still holds it";
  list.Flag(key + (1ull << 32), 1ull << 63);
  EXPECT_EQ(list.GetCount(), 1) << "a key that differs above bit 31 is another key";
  list.Flag(key, 1ull << 63);
  EXPECT_EQ(list.GetCount(), 0);
  EXPECT_EQ(g_alive, 0);
  EXPECT_EQ(list.Get(key), nullptr) << "the key of a freed piece finds nothing";
  const uint64_t again = AddPiece(list, 6);
  EXPECT_NE(again, key) << "keys are not given out twice";
  list.RemoveAll();
  EXPECT_EQ(g_alive, 0);
}

TEST(CQVGTMForwarder, PassesEveryTaskToEverySlotInOrder) {
  CQVGTMPieceList list;
  CQVGTMQueue in, first, last;
  CQVGTMForwarder stage;
  stage.SetInTaskQueue(&in);
  stage.SetOutTaskQueue(0, &first);
  stage.SetOutTaskQueue(7, &last);
  stage.SetOutTaskQueue(10, &in);
  stage.SetTaskPieceList(&list);
  for (uint64_t i = 0; i < 100; ++i) in.PushTask(AddPiece(list, i), i % 2 ? &list : nullptr);
  in.PushTask(12345, nullptr);  // a key of no piece is passed on as it is
  ASSERT_TRUE(stage.Start());
  ASSERT_TRUE(WaitForCount(last, 101));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(stage.RequestStop(TRUE));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << "an idle stage stops at once";
  uint64_t key = 0;
  CQVGTMPieceList* taken = nullptr;
  std::vector<uint64_t> order;
  while (first.PopTask(key, taken)) order.push_back(key == 12345 ? 999 : taken->Get(key)->m_nSequence);
  ASSERT_EQ(order.size(), 101u);
  for (uint64_t i = 0; i < 100; ++i) EXPECT_EQ(order[i], i);
  EXPECT_EQ(last.GetCount(), 101);
  EXPECT_EQ(in.GetCount(), 0);
}

TEST(CQVGTMReorderer, ForwardsInSequenceOrder) {
  CQVGTMPieceList list;
  CQVGTMQueue in, out;
  CQVGTMReorderer stage;
  stage.SetInTaskQueue(&in);
  stage.SetOutTaskQueue(0, &out);
  struct Case {
    const char* what;
    std::vector<uint64_t> fed;
    std::vector<uint64_t> forwarded;
    int held;
  } cases[] = {
    { "early numbers wait", { 2, 0, 1 }, { 0, 1, 2 }, 0 },
    { "a missing number holds the later ones", { 5, 6 }, {}, 2 },
    { "so does a number after it", { 4 }, {}, 3 },
    { "a number below the one due passes at once", { 1 }, { 1 }, 3 },
    { "the missing number releases the held ones", { 3 }, { 3, 4, 5, 6 }, 0 },
    { "equal numbers pass both", { 7, 7 }, { 7, 7 }, 0 },
    { "held again", { 9, 9 }, {}, 2 },
  };
  ASSERT_TRUE(stage.Start());
  for (const Case& c : cases) {
    for (uint64_t number : c.fed) in.PushTask(AddPiece(list, number), &list);
    ASSERT_TRUE(WaitForCount(out, static_cast<int>(c.forwarded.size()))) << c.what;
    for (int i = 0; i < 20 && in.GetCount() > 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(Drain(out), c.forwarded) << c.what;
    EXPECT_EQ(stage.GetTaskCountInBuffer(), c.held) << c.what;
  }
  ASSERT_TRUE(stage.RequestStop(TRUE));
  stage.FlushBuffer();
  EXPECT_EQ(Drain(out), (std::vector<uint64_t> { 9, 9 })) << "flushing forwards the held tasks";
  in.PushTask(AddPiece(list, 9), &list);
  stage.ResetBuffer();
  EXPECT_EQ(in.GetCount(), 1) << "a stopped stage takes no task";
  ASSERT_TRUE(stage.Close());
  ASSERT_TRUE(stage.Start());
  in.PushTask(AddPiece(list, 0), &list);
  ASSERT_TRUE(WaitForCount(out, 1));
  EXPECT_EQ(stage.GetTaskCountInBuffer(), 1) << "9 waits: the reset made 0 due";
  stage.ResetBuffer();
  EXPECT_EQ(stage.GetTaskCountInBuffer(), 0);
}

// An exception in a stage's work used to leave its thread and end the process with every page in
// it; the stage now reports the task and goes on.
TEST(CQVGTMOperator, AFailingTaskIsReportedAndTheOthersGoOn) {
  CQVGTMPieceList list;
  CQVGTMQueue in, out;
  Unlucky stage;
  stage.SetInTaskQueue(&in);
  stage.SetOutTaskQueue(0, &out);
  for (uint64_t i = 10; i < 17; ++i) in.PushTask(AddPiece(list, i), &list);
  ASSERT_TRUE(stage.Start());
  ASSERT_TRUE(WaitForCount(out, 6));
  ASSERT_TRUE(stage.RequestStop(TRUE));
  EXPECT_EQ(Drain(out), (std::vector<uint64_t> { 10, 11, 12, 14, 15, 16 }));
  EXPECT_EQ(stage.GetFailedTaskCount(), 1);
  EXPECT_EQ(stage.failed, (std::vector<uint64_t> { 13 }));
  EXPECT_EQ(list.GetCount(), 7) << "the failed page stays with its list";
}

// Many producers feed a chain of a forwarder with two branches and a reorderer on one of them;
// each piece is released by both consumers and freed exactly once. Stages are destroyed while
// they run, which must stop and join them before their members go.
TEST(CQVGTMPipeline, ManyProducersReachBothBranchesExactlyOnce) {
  constexpr int kPerProducer = 2000, kProducers = 4, kTotal = kPerProducer * kProducers;
  CQVGTMPieceList list;
  CQVGTMQueue in, toReorder, branch, ordered;
  {
    CQVGTMForwarder fan;
    CQVGTMReorderer order;
    fan.SetInTaskQueue(&in);
    fan.SetOutTaskQueue(0, &toReorder);
    fan.SetOutTaskQueue(1, &branch);
    order.SetInTaskQueue(&toReorder);
    order.SetOutTaskQueue(0, &ordered);
    ASSERT_TRUE(fan.Start());
    ASSERT_TRUE(order.Start());
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p)
      producers.emplace_back([&, p] {
        for (int i = p; i < kTotal; i += kProducers) in.PushTask(AddPiece(list, i, 0b11), &list);
      });
    for (std::thread& producer : producers) producer.join();

    uint64_t expected = 0;
    int seen = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (seen < 2 * kTotal && std::chrono::steady_clock::now() < deadline) {
      uint64_t key = 0;
      CQVGTMPieceList* taken = nullptr;
      if (ordered.PopTask(key, taken)) {
        EXPECT_EQ(taken->Get(key)->m_nSequence, expected++);
        taken->Flag(key, 0b01);
        ++seen;
      } else if (branch.PopTask(key, taken)) {
        taken->Flag(key, 0b10);
        ++seen;
      } else {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
      }
    }
    EXPECT_EQ(seen, 2 * kTotal);
    for (int p = 0; p < kProducers; ++p) in.PushTask(AddPiece(list, kTotal + p, 0b11), &list);
  }
  EXPECT_EQ(list.GetCount(), g_alive.load()) << "every piece not yet released is still there, once";
  list.RemoveAll();
  EXPECT_EQ(g_alive, 0);
}
