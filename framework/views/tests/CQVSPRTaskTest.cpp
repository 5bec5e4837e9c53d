// Progress tasks: what SetProgress stores, the percentage of the three counter levels (with
// totals whose products do not fit in 32 bits), the texts of the modes, the dialog's adapters
// given something that is not a task, and a task deleted while its worker still runs.

#include "framework/views/CQVSPRTask.h"

#include "foundation/util/CDPXVWXform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <thread>

namespace {

class Counters : public CQVSPRTaskEx {
public:
  explicit Counters(int mode) : CQVSPRTaskEx(mode) {}
  void Set(int t1, int c1, int t2 = 1, int c2 = 0, int t3 = 1, int c3 = 0) {
    L1_SetTotal(t1, FALSE);
    L1_SetCompleted(c1, FALSE);
    L2_SetTotal(t2, FALSE);
    L2_SetCompleted(c2, FALSE);
    L3_SetTotal(t3, FALSE);
    L3_SetCompleted(c3, TRUE);
  }
};

TEST(ProgressTask, StoresTheProgressClampedAndTrimmed) {
  CQVSPRTask task;
  struct Case {
    const char16_t* text;
    int percent;
    BOOL done;
    const char16_t* storedText;
    int storedPercent;
  } cases[] = {
      {u"  page 3  ", 40, FALSE, u"page 3", 40},
      {u"over", 250, FALSE, u"over", 100},
      {u"under", -1, TRUE, u"under", 0},
      {u"", INT_MIN, FALSE, u"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.percent);
    ASSERT_TRUE(task.SetProgress(c.text, c.percent, c.done));
    CString text;
    int percent = -5, done = -5;
    task.GetProgress(text, percent, done);
    EXPECT_EQ(text, CString(c.storedText));
    EXPECT_EQ(percent, c.storedPercent);
    EXPECT_EQ(done, c.done);
  }
}

TEST(ProgressTask, ComputesThePercentageFromThreeLevels) {
  struct Case {
    const char* what;
    int t1, c1, t2, c2, t3, c3;
    int percent;
  } cases[] = {
      {"one of four steps, half of the second", 4, 1, 10, 5, 1, 0, 37},
      {"three levels", 2, 1, 3, 1, 4, 2, 74},
      {"nothing done", 4, 0, 10, 5, 1, 0, 0},
      {"no total", 0, 3, 1, 0, 1, 0, 0},
      {"more done than there is", 3, 5, 1, 0, 1, 0, 100},
      {"a lower level without total adds nothing", 4, 1, 0, 5, 4, 2, 25},
      {"a negative count adds nothing", 4, 1, 10, -5, 1, 0, 25},
      {"the sum stops at 100", 2, 2, 2, 2, 1, 0, 100},
      {"products beyond 32 bits", 100000, 50000, 100000, 99999, 100000, 99999, 50},
      {"products beyond 64 bits", INT_MAX, INT_MAX / 2, INT_MAX, INT_MAX, INT_MAX, INT_MAX, 49},
      {"huge counts", 1, INT_MAX, 1, INT_MAX, 1, INT_MAX, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Counters task(0);
    task.Set(c.t1, c.c1, c.t2, c.c2, c.t3, c.c3);
    EXPECT_EQ(task.CalculateProgress(), c.percent);
    CString text;
    int percent = -1, done = -1;
    task.GetProgress(text, percent, done);
    EXPECT_EQ(percent, c.percent) << "reported";
  }
}

TEST(ProgressTask, WritesTheTextOfItsMode) {
  struct Case {
    const char* what;
    int mode;
    int t1, c1;
    const char16_t* text;
    int percent;
  } cases[] = {
      {"percentage", 1, 4, 1, u"25 % done", 25},
      {"x of y", 2, 3, 1, u"1 of 3", 33},
      {"x of y: no more than y", 2, 3, 5, u"3 of 3", 100},
      {"x of y without steps", 2, 0, 0, u"0 of 0", 0},
      {"x of y below zero", 2, -2, -1, u"0 of 0", 0},
      {"any other mode: no text", 7, 4, 1, u"", 25},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Counters task(c.mode);
    EXPECT_EQ(task.GetCurrentMode(), c.mode);
    task.Set(c.t1, c.c1);
    CString text;
    int percent = -1, done = -1;
    task.GetProgress(text, percent, done);
    EXPECT_EQ(text, CString(c.text));
    EXPECT_EQ(percent, c.percent);
    EXPECT_EQ(done, FALSE);
  }
  Counters task(1);
  task.Set(4, 1);
  task.SetCompleted(TRUE);
  CString text;
  int percent = -1, done = -1;
  task.GetProgress(text, percent, done);
  EXPECT_EQ(text, CString(u"25 % done")) << "completion keeps the text";
  EXPECT_EQ(done, TRUE);
}

class Answering : public CQVSPRTask {
public:
  BOOL GetProgressIcon(CQVBitmapHandle&, CQVBitmapHandle&) override { return ++calls, TRUE; }
  BOOL GetStopConfirmMessage(CString& text) override { return ++calls, text = u"sure?", TRUE; }
  BOOL GetCompleteMessage(CString& text) override { return ++calls, text = u"all done", TRUE; }
  void Stop() override { ++calls; }
  int calls { 0 };
};

TEST(ProgressTask, AdaptersAnswerOnlyForTasks) {
  Answering task;
  CDPXVWXform other;  // an object of another class
  CQVBitmapHandle icon, mask;
  CString text = u"untouched";
  int percent = 7, done = 7;
  for (LPARAM user : {LPARAM(0), reinterpret_cast<LPARAM>(&other)}) {
    EXPECT_FALSE(CQVSPRTask::CB_GetProgressIcon(user, icon, mask));
    EXPECT_FALSE(CQVSPRTask::CB_GetStopConfirmMessage(user, text));
    EXPECT_FALSE(CQVSPRTask::CB_GetCompleteMessage(user, text));
    CQVSPRTask::CB_GetProgress(user, text, percent, done);
    CQVSPRTask::CB_Stop(user);
  }
  EXPECT_EQ(text, CString(u"untouched"));
  EXPECT_EQ(percent, 7);
  const LPARAM user = reinterpret_cast<LPARAM>(&task);
  EXPECT_TRUE(CQVSPRTask::CB_GetCompleteMessage(user, text));
  EXPECT_EQ(text, CString(u"all done"));
  EXPECT_TRUE(CQVSPRTask::CB_GetStopConfirmMessage(user, text));
  EXPECT_TRUE(CQVSPRTask::CB_GetProgressIcon(user, icon, mask));
  CQVSPRTask::CB_Stop(user);
  EXPECT_EQ(task.calls, 4);
  CQVSPRTask::CB_GetProgress(user, text, percent, done);
  EXPECT_EQ(percent, 0);
}

// A task that heeds the stop only after a while, longer than its stop wait.
class Stubborn : public CQVSPRTask {
public:
  explicit Stubborn(std::atomic<int>& state) : m_state(state) { m_nStopWait = 100; }

protected:
  void OnProcess() override {
    m_state = 1;
    while (!IsStopRequested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    SetProgress(u"left", 100, TRUE);  // still reporting through the task's members
    m_state = 2;
  }

private:
  std::atomic<int>& m_state;
};

TEST(ProgressTask, DeletingARunningTaskWaitsForItsWorkerBeyondTheStopWait) {
  std::atomic<int> state {0};
  auto* task = new Stubborn(state);
  ASSERT_TRUE(task->Start());
  while (state == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto start = std::chrono::steady_clock::now();
  delete task;
  EXPECT_EQ(state, 2) << "the worker had finished before the task went";
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(350));
}

}  // namespace
