#include "foundation/util/CDPXThread.h"

#include "platform/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include <sys/resource.h>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// What a worker did, kept outside the worker object so that it can be read after its end.
struct Log {
  void Add(const char* step) {
    std::lock_guard guard(lock);
    steps += step;
    steps += ' ';
  }
  std::string Steps() {
    std::lock_guard guard(lock);
    return steps;
  }

  std::mutex lock;
  std::string steps;
  std::atomic<bool> inProcess { false };
  std::atomic<bool> release { false };
  std::atomic<int> nice { 999 };
};

enum class Work { Finish, UntilStopped, IgnoreStop };

class Worker : public CDPXThread {
public:
  Worker(Log& log, Work work, int stopWait = 30000, int priority = 0) : m_log(log), m_work(work) {
    m_nStopWait = stopWait;
    m_nPriority = priority;
  }
  // As every derived class whose steps use its own members does.
  ~Worker() override { RequestStop(TRUE); }

protected:
  void OnInitialize() override {
    m_log.nice = getpriority(PRIO_PROCESS, 0);
    m_log.Add("init");
  }
  void OnProcess() override {
    Log& log = m_log;
    log.Add("process");
    log.inProcess = true;
    if (m_work == Work::UntilStopped) {
      while (!IsStopRequested()) Sleep(5);
    } else if (m_work == Work::IgnoreStop) {
      while (!log.release) Sleep(5);
    }
    log.inProcess = false;
  }
  void OnAbort() override { m_log.Add("abort"); }
  void OnExit() override { m_log.Add("exit"); }

private:
  Log& m_log;
  Work m_work;
};

// Like Worker, but its own destructor does not stop it: the base has to cope.
class BareWorker : public CDPXThread {
public:
  BareWorker(Log& log, int stopWait) : m_log(&log) { m_nStopWait = stopWait; }

protected:
  void OnProcess() override {
    Log* log = m_log;
    log->Add("process");
    log->inProcess = true;
    while (!log->release) Sleep(5);
    log->inProcess = false;
  }
  void OnAbort() override { m_log->Add("abort"); }
  void OnExit() override { m_log->Add("exit"); }

private:
  Log* m_log;
};

void WaitUntil(const std::atomic<bool>& flag) {
  const auto start = Clock::now();
  while (!flag && MillisecondsSince(start) < 5000) Sleep(1);
  ASSERT_TRUE(flag) << "the worker did not get there";
}

}  // namespace

TEST(WorkerThread, StepsRunInOrderAndTheObjectRestartsAfterClose) {
  Log log;
  Worker worker(log, Work::Finish, -1);
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(worker.WaitForExit());
  EXPECT_EQ(log.Steps(), "init process exit ") << "no stop request: no OnAbort";
  EXPECT_FALSE(worker.Start()) << "a finished object starts again only after Close";
  EXPECT_TRUE(worker.Terminate()) << "terminating a finished thread does nothing";
  EXPECT_FALSE(worker.Start()) << "and leaves it finished";
  EXPECT_TRUE(worker.Close());
  EXPECT_TRUE(worker.Close()) << "closing an idle object is fine";
  ASSERT_TRUE(worker.Start());
  ASSERT_TRUE(worker.WaitForExit());
  EXPECT_EQ(log.Steps(), "init process exit init process exit ");
}

TEST(WorkerThread, StopRequestRunsOnAbortBeforeOnExit) {
  Log log;
  Worker worker(log, Work::UntilStopped);
  EXPECT_FALSE(worker.IsStopRequested());
  ASSERT_TRUE(worker.Start());
  WaitUntil(log.inProcess);
  EXPECT_FALSE(worker.Close()) << "a running thread cannot be closed";
  EXPECT_TRUE(worker.RequestStop(TRUE));
  EXPECT_TRUE(worker.IsStopRequested());
  EXPECT_EQ(log.Steps(), "init process abort exit ");
  EXPECT_TRUE(worker.Close());
  ASSERT_TRUE(worker.Start());
  EXPECT_FALSE(worker.IsStopRequested()) << "Start clears the stop flag";
  EXPECT_TRUE(worker.RequestStop(TRUE));
}

TEST(WorkerThread, WaitForExitIsBoundedByTheStopWait) {
  struct Case {
    int stopWait;
    long long atLeast;  // 100 ms per state check after the first
    long long below;
  };
  const Case cases[] = {{50, 100, 180}, {0, 100, 180}, {250, 300, 390}};
  for (const Case& c : cases) {
    Log log;
    Worker worker(log, Work::IgnoreStop, c.stopWait);
    ASSERT_TRUE(worker.Start());
    WaitUntil(log.inProcess);
    const auto start = Clock::now();
    EXPECT_FALSE(worker.RequestStop(TRUE)) << "stop wait " << c.stopWait;
    const long long waited = MillisecondsSince(start);
    EXPECT_GE(waited, c.atLeast) << "stop wait " << c.stopWait;
    EXPECT_LT(waited, c.below) << "stop wait " << c.stopWait;
    log.release = true;
    // The worker's steps use the test's log: let it end before the object goes.
    for (int i = 0; i < 50 && !worker.WaitForExit(); ++i) {
    }
  }
}

TEST(WorkerThread, UnlimitedStopWaitWaitsForTheEnd) {
  Log log;
  Worker worker(log, Work::IgnoreStop, -1);
  ASSERT_TRUE(worker.Start());
  WaitUntil(log.inProcess);
  std::thread releaser([&] {
    Sleep(400);
    log.release = true;
  });
  const auto start = Clock::now();
  EXPECT_TRUE(worker.RequestStop(TRUE));
  EXPECT_GE(MillisecondsSince(start), 400);
  releaser.join();
  EXPECT_EQ(log.Steps(), "init process abort exit ");
}

TEST(WorkerThread, TerminatedWorkerRunsNoFurtherStepAndBlocksARestart) {
  Log log;
  Worker worker(log, Work::IgnoreStop, 50);
  ASSERT_TRUE(worker.Start());
  WaitUntil(log.inProcess);
  EXPECT_FALSE(worker.RequestStop(TRUE));
  EXPECT_TRUE(worker.Terminate());
  EXPECT_TRUE(worker.WaitForExit()) << "a terminated object counts as done";
  EXPECT_TRUE(worker.Close());
  EXPECT_FALSE(worker.Start()) << "the old worker is still inside its step";
  log.release = true;
  const auto start = Clock::now();
  BOOL restarted = FALSE;
  while (!(restarted = worker.Start()) && MillisecondsSince(start) < 5000) Sleep(5);
  ASSERT_TRUE(restarted) << "the object starts again once the old worker has ended";
  for (int i = 0; i < 50 && !worker.WaitForExit(); ++i) {
  }
  EXPECT_EQ(log.Steps(), "init process init process exit ")
      << "the terminated run must not go on to OnAbort or OnExit";
}

TEST(WorkerThread, DestructorOutwaitsAWorkerThatIgnoresTheStop) {
  Log log;
  auto* worker = new BareWorker(log, 50);
  ASSERT_TRUE(worker->Start());
  WaitUntil(log.inProcess);
  std::thread releaser([&] {
    Sleep(300);
    log.release = true;
  });
  const auto start = Clock::now();
  delete worker;
  EXPECT_GE(MillisecondsSince(start), 300) << "the object went while its worker was inside a step";
  releaser.join();
  EXPECT_FALSE(log.inProcess);
  EXPECT_EQ(log.Steps(), "process ") << "after termination no step may run";
}

TEST(WorkerThread, DestroyingAnIdleOrFinishedObjectReturnsAtOnce) {
  Log log;
  const auto start = Clock::now();
  { Worker idle(log, Work::Finish); }
  {
    Worker finished(log, Work::Finish, -1);
    ASSERT_TRUE(finished.Start());
    ASSERT_TRUE(finished.WaitForExit());
  }
  EXPECT_LT(MillisecondsSince(start), 1000);
  EXPECT_EQ(log.Steps(), "init process exit ");
}

TEST(WorkerThread, PriorityIsAppliedAndABadOneFailsTheStart) {
  Log log;
  errno = 0;
  const int own = getpriority(PRIO_PROCESS, 0);
  {
    Worker lower(log, Work::Finish, -1, THREAD_PRIORITY_LOWEST);
    ASSERT_TRUE(lower.Start());
    ASSERT_TRUE(lower.WaitForExit());
    EXPECT_GT(log.nice.load(), own) << "a lower priority makes the worker nicer";
  }
  Worker bad(log, Work::Finish, -1, 5);
  EXPECT_FALSE(bad.Start());
  EXPECT_TRUE(bad.Close()) << "a failed start leaves the object idle";
  Sleep(50);
  EXPECT_EQ(log.Steps(), "init process exit ") << "the refused thread ran no step";
}
