#include "foundation/util/CQVGPMLock.h"
#include "foundation/util/tests/ChildProcess.h"
#include "platform/core/tests/TestFolder.h"

#include "platform/core/sysinfo.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

CString Wide(const std::string& text) { return CString::FromUtf8(text); }

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

long long CpuMilliseconds(const struct rusage& usage) {
  return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000LL + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

}  // namespace

TEST(LockFile, TwoHoldersExcludeEachOtherInOneProcess) {
  TestFolder folder;
  const std::string entry = folder.Native("abc");
  CQVGPMLock first, second;
  ASSERT_TRUE(first.LockFile(Wide(entry), 0));
  EXPECT_TRUE(first.IsLocked());
  EXPECT_TRUE(Exists(entry + ".lck")) << "the lock file exists while the lock is held";
  EXPECT_FALSE(second.LockFile(Wide(entry), 0));
  EXPECT_FALSE(second.IsLocked());
  EXPECT_TRUE(second.IsLockedByOther());
  EXPECT_FALSE(first.IsLockedByOther());
  EXPECT_TRUE(CQVGPMLock::IsLocked(Wide(entry + ".lck")));
  EXPECT_TRUE(CQVGPMLock::IsFileLocked(Wide(entry))) << "both questions have the same sense";
  EXPECT_TRUE(first.Lock(0)) << "a holder asking again holds it already";

  EXPECT_TRUE(first.Unlock());
  EXPECT_FALSE(first.Unlock()) << "nothing left to release";
  EXPECT_FALSE(Exists(entry + ".lck")) << "releasing deletes the lock file";
  EXPECT_FALSE(second.IsLockedByOther());
  EXPECT_TRUE(second.Lock(0));
}

TEST(LockFile, PathsAreTrimmedAndFixedWhileLocked) {
  TestFolder folder;
  CQVGPMLock lock;
  ASSERT_TRUE(lock.SetProtectedFile(Wide("  " + (folder.Native("abc")) + " \t")));
  CString path;
  lock.GetLockFile(path);
  EXPECT_EQ(path.ToUtf8(), (folder.Native("abc")) + ".lck");
  ASSERT_TRUE(lock.Lock(0));
  EXPECT_FALSE(lock.SetProtectedFile(folder.Wide("other")));
  EXPECT_FALSE(lock.SetLockFile(folder.Wide("other.lck")));
  lock.GetLockFile(path);
  EXPECT_EQ(path.ToUtf8(), (folder.Native("abc")) + ".lck") << "a held lock keeps its path";

  CQVGPMLock named(folder.Wide("plain"));
  named.GetLockFile(path);
  EXPECT_EQ(path.ToUtf8(), folder.Native("plain")) << "the lock-file path is taken as given";
  CQVGPMLock empty;
  EXPECT_FALSE(empty.Lock(INFINITE)) << "no path: nothing to wait for";
}

TEST(LockFile, StaleAndMissingLockFiles) {
  TestFolder folder;
  const std::string stale = folder.Native("stale.lck");
  std::ofstream(stale) << "left behind";
  EXPECT_FALSE(CQVGPMLock::IsLocked(Wide(stale))) << "a lock file nobody holds blocks nobody";
  CQVGPMLock lock(Wide(stale), TRUE);
  EXPECT_TRUE(lock.IsLocked());
  lock.Unlock();

  const std::string free = folder.Native("free.lck");
  EXPECT_FALSE(CQVGPMLock::IsLocked(Wide(free)));
  EXPECT_FALSE(Exists(free)) << "asking leaves no file behind";
  EXPECT_TRUE(CQVGPMLock::IsLocked(folder.Wide("missing/x.lck"))) << "a lock that cannot be made counts as held";
}

TEST(LockFile, TimedLockGivesUpAfterItsTimeOut) {
  TestFolder folder;
  CQVGPMLock holder, waiter;
  ASSERT_TRUE(holder.LockFile(folder.Wide("abc"), 0));
  const auto start = Clock::now();
  EXPECT_FALSE(waiter.LockFile(folder.Wide("abc"), 500));
  const long long waited = MillisecondsSince(start);
  EXPECT_GE(waited, 490) << "the tick counter counts whole milliseconds";
  EXPECT_LT(waited, 1500);
}

TEST(LockFile, HoldsAgainstAnotherProcess) {
  TestFolder folder;
  const std::string entry = folder.Native("abc");
  ChildProcess holder({"hold", entry, "400"});
  ASSERT_TRUE(holder.Started());
  ASSERT_EQ(holder.ReadLine(), "locked");
  CQVGPMLock lock;
  EXPECT_FALSE(lock.LockFile(Wide(entry), 0));
  EXPECT_TRUE(CQVGPMLock::IsFileLocked(Wide(entry)));
  EXPECT_TRUE(lock.Lock(5000)) << "free again once the other process released it";
  EXPECT_EQ(holder.Wait(), 0);

  ChildProcess refused({"hold", entry, "0"});
  EXPECT_EQ(refused.ReadLine(), "refused") << "and the other way round";
  EXPECT_EQ(refused.Wait(), 1);
}

TEST(LockFile, ProcessesCountWithoutLosingAnUpdate) {
  TestFolder folder;
  const std::string entry = folder.Native("counted");
  const std::string counter = folder.Native("counter.txt");
  std::ofstream(counter) << "0\n";
  const int processes = 4, rounds = 200;
  std::vector<std::unique_ptr<ChildProcess>> children;
  for (int i = 0; i < processes; ++i) {
    children.push_back(std::make_unique<ChildProcess>(std::vector<std::string>{"count", entry, counter, std::to_string(rounds)}));
    ASSERT_TRUE(children.back()->Started());
  }
  for (auto& child : children) EXPECT_EQ(child->Wait(), 0);
  long total = 0;
  std::ifstream(counter) >> total;
  EXPECT_EQ(total, processes * rounds) << "two holders at once lost updates";
  EXPECT_FALSE(Exists(entry + ".lck"));
}

TEST(LockFile, WaitingWithoutLimitDoesNotSpin) {
  TestFolder folder;
  const std::string entry = folder.Native("abc");
  // What a waiter costs when it gets a free lock at once: starting the program, which a build
  // with sanitizers makes dear.
  ChildProcess unhindered({"wait", folder.Native("free")});
  ASSERT_TRUE(unhindered.Started());
  struct rusage start {};
  ASSERT_EQ(unhindered.Wait(&start), 0);
  CQVGPMLock lock;
  ASSERT_TRUE(lock.LockFile(Wide(entry), 0));
  ChildProcess waiter({"wait", entry});
  ASSERT_TRUE(waiter.Started());
  Sleep(1000);
  lock.Unlock();
  struct rusage usage {};
  EXPECT_EQ(waiter.Wait(&usage), 0) << "the waiter gets the lock once it is free";
  EXPECT_LT(CpuMilliseconds(usage) - CpuMilliseconds(start), 300) << "a second of waiting must not keep a processor busy";
}
