#include "platform/core/thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include <sys/resource.h>

namespace {

struct Probe {
  std::atomic<int> runs { 0 };
  std::atomic<DWORD> seenId { 0 };
  std::atomic<bool> release { false };
};

DWORD Record(LPVOID parameter) {
  auto* probe = static_cast<Probe*>(parameter);
  probe->seenId = GetCurrentThreadId();
  ++probe->runs;
  while (!probe->release) Sleep(1);
  return 42;
}

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

TEST(Thread, SuspendedThreadRunsOnlyAfterResume) {
  Probe probe;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, Record, &probe, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  EXPECT_NE(id, 0u);
  Sleep(30);
  EXPECT_EQ(probe.runs, 0) << "the routine ran behind a closed start gate";
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, STILL_ACTIVE);
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_TIMEOUT);

  EXPECT_EQ(ResumeThread(thread), 1u);
  EXPECT_EQ(ResumeThread(thread), 0u) << "a running thread has suspend count 0";
  probe.release = true;
  EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(probe.runs, 1);
  EXPECT_EQ(probe.seenId, id) << "the routine sees the identifier CreateThread reported";
  ASSERT_TRUE(GetExitCodeThread(thread, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, WaitTimesOutWhileTheRoutineRuns) {
  Probe probe;
  HANDLE thread = CreateThread(nullptr, 0, Record, &probe, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  const auto start = Clock::now();
  EXPECT_EQ(WaitForSingleObject(thread, 80), WAIT_TIMEOUT);
  EXPECT_GE(MillisecondsSince(start), 75);
  probe.release = true;
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(thread));
}

TEST(Thread, OnlyANeverResumedThreadCanBeTerminated) {
  Probe probe;
  HANDLE suspended = CreateThread(nullptr, 0, Record, &probe, CREATE_SUSPENDED, nullptr);
  ASSERT_NE(suspended, nullptr);
  EXPECT_TRUE(TerminateThread(suspended, 7));
  EXPECT_EQ(WaitForSingleObject(suspended, 5000), WAIT_OBJECT_0);
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeThread(suspended, &code));
  EXPECT_EQ(code, 7u);
  EXPECT_EQ(probe.runs, 0) << "a cancelled thread must not run its routine";
  EXPECT_TRUE(CloseHandle(suspended));

  HANDLE running = CreateThread(nullptr, 0, Record, &probe, 0, nullptr);
  ASSERT_NE(running, nullptr);
  while (probe.runs == 0) Sleep(1);
  EXPECT_FALSE(TerminateThread(running, 7)) << "a running thread is never killed";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  probe.release = true;
  EXPECT_EQ(WaitForSingleObject(running, 5000), WAIT_OBJECT_0);
  ASSERT_TRUE(GetExitCodeThread(running, &code));
  EXPECT_EQ(code, 42u);
  EXPECT_TRUE(CloseHandle(running));
}

TEST(Thread, ClosingTheHandleLeavesTheThreadRunning) {
  static Probe probe;  // outlives the test: nothing waits for the thread
  HANDLE thread = CreateThread(nullptr, 0, Record, &probe, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  EXPECT_TRUE(CloseHandle(thread));
  EXPECT_FALSE(CloseHandle(thread)) << "a handle is closed once";
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_FAILED);
  DWORD code = 0;
  EXPECT_FALSE(GetExitCodeThread(thread, &code));
  const auto start = Clock::now();
  while (probe.runs == 0 && MillisecondsSince(start) < 5000) Sleep(1);
  EXPECT_EQ(probe.runs, 1);
  probe.release = true;
}

TEST(Thread, PriorityIsCheckedAndLoweringMakesTheThreadNicer) {
  Probe probe;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, Record, &probe, CREATE_SUSPENDED, &id);
  ASSERT_NE(thread, nullptr);
  errno = 0;
  const int before = getpriority(PRIO_PROCESS, id);
  ASSERT_EQ(errno, 0);
  EXPECT_FALSE(SetThreadPriority(thread, 5));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_NORMAL));
  EXPECT_EQ(getpriority(PRIO_PROCESS, id), before);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_LOWEST));
  EXPECT_GT(getpriority(PRIO_PROCESS, id), before);
  EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_HIGHEST)) << "raising is best effort";
  ResumeThread(thread);
  probe.release = true;
  EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  EXPECT_TRUE(CloseHandle(thread));
}
