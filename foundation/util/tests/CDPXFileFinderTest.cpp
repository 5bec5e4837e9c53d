#include "foundation/util/CDPXFileFinder.h"
#include "platform/core/tests/TestFolder.h"

#include "platform/core/sysinfo.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Records the hooks it sees, with paths relative to the searched folder.
class Finder : public CDPXFileFinder {
public:
  explicit Finder(const std::string& base, int timeOut = 100) : m_base(base + "/") { m_nTimeOut = timeOut; }
  ~Finder() override { RequestStop(TRUE); }

  std::string Log() {
    std::lock_guard guard(m_lock);
    return m_log;
  }

  std::atomic<bool> hold { false };      // OnCheckFile waits while set
  std::atomic<bool> inCheck { false };
  std::atomic<int> stopAfter { -1 };     // OnCheckFile answers FALSE for the n-th file
  std::atomic<bool> skipFolders { false };

protected:
  BOOL OnBeginSearch() override {
    Add("begin");
    return TRUE;
  }
  BOOL OnCheckFolder(LPCWSTR path) override {
    Add("folder:" + Relative(path));
    return !skipFolders;
  }
  BOOL OnCheckFile(LPCWSTR path) override {
    Add(Relative(path));
    inCheck = true;
    while (hold) Sleep(5);
    inCheck = false;
    return --stopAfter != 0;
  }
  void OnStopSearch(BOOL stopped) override { Add(stopped ? "stopped" : "complete"); }
  void OnEndSearch() override { Add("end"); }

private:
  std::string Relative(LPCWSTR path) {
    std::string text = CString(path).ToUtf8();
    return text.rfind(m_base, 0) == 0 ? text.substr(m_base.size()) : text;
  }
  void Add(const std::string& entry) {
    std::lock_guard guard(m_lock);
    m_log += entry + " ";
  }

  std::string m_base;
  std::mutex m_lock;
  std::string m_log;
};

void Touch(const std::string& path) { std::ofstream(path) << "x"; }

// plugins/ b.so A.SO notes.txt sub/{c.so, deep/d.so} link -> plugins (a cycle) other.so
void MakeTree(const TestFolder& folder) {
  const std::string root = folder.Native("plugins");
  fs::create_directories(root + "/sub/deep");
  for (const char* name : {"b.so", "A.SO", "notes.txt", "sub/c.so", "sub/deep/d.so"}) Touch(root + "/" + name);
  fs::create_directory_symlink(root, root + "/sub/link");
}

bool WaitFor(const std::atomic<bool>& flag) {
  const auto start = Clock::now();
  while (!flag && MillisecondsSince(start) < 5000) Sleep(1);
  return flag;
}

}  // namespace

TEST(FileFinder, WalksFilesBeforeSubFoldersWithoutFollowingLinks) {
  TestFolder folder;
  MakeTree(folder);
  struct Case {
    const char* pattern;
    BOOL subFolders;
    const char* expected;
  };
  const Case cases[] = {
      {"*.so", TRUE, "begin A.SO b.so folder:sub sub/c.so folder:sub/deep sub/deep/d.so complete end "},
      {"*.so", FALSE, "begin A.SO b.so complete end "},
      {"", FALSE, "begin A.SO b.so notes.txt complete end "},
      {"*.dll", TRUE, "begin folder:sub folder:sub/deep complete end "},
  };
  for (const Case& c : cases) {
    Finder finder(folder.Native("plugins"));
    ASSERT_TRUE(finder.StartSearch(folder.Wide("plugins"), CString::FromUtf8(c.pattern), c.subFolders));
    EXPECT_TRUE(finder.WaitWhileBusy());
    EXPECT_EQ(finder.Log(), c.expected) << c.pattern << (c.subFolders ? " with sub-folders" : "");
  }

  Finder finder(folder.Native("plugins"));
  finder.skipFolders = true;
  ASSERT_TRUE(finder.StartSearch(folder.Wide("plugins"), u"*.so", TRUE));
  EXPECT_TRUE(finder.WaitWhileBusy());
  EXPECT_EQ(finder.Log(), "begin A.SO b.so folder:sub complete end ") << "a folder the hook refuses is not entered";
}

TEST(FileFinder, StopRequestAndRefusingHookEndTheSearch) {
  TestFolder folder;
  MakeTree(folder);
  {
    Finder finder(folder.Native("plugins"));
    finder.hold = true;
    ASSERT_TRUE(finder.StartSearch(folder.Wide("plugins"), u"*.so", TRUE));
    ASSERT_TRUE(WaitFor(finder.inCheck));
    EXPECT_TRUE(finder.IsBusy());
    EXPECT_FALSE(finder.StartSearch(folder.Wide("plugins"), u"*.so", TRUE)) << "one search at a time";
    EXPECT_TRUE(finder.RequestStop(FALSE));
    finder.hold = false;
    EXPECT_TRUE(finder.WaitWhileBusy());
    EXPECT_EQ(finder.Log(), "begin A.SO stopped end ");
    EXPECT_FALSE(finder.IsBusy());
  }
  {
    Finder finder(folder.Native("plugins"));
    finder.stopAfter = 2;
    ASSERT_TRUE(finder.StartSearch(folder.Wide("plugins"), u"*.so", TRUE));
    EXPECT_TRUE(finder.WaitWhileBusy());
    EXPECT_EQ(finder.Log(), "begin A.SO b.so stopped end ");
    ASSERT_TRUE(finder.StartSearch(folder.Wide("plugins"), u"*.so", FALSE)) << "a finder searches again";
    EXPECT_TRUE(finder.WaitWhileBusy());
    EXPECT_EQ(finder.Log(), "begin A.SO b.so stopped end begin A.SO b.so complete end ");
  }
}

TEST(FileFinder, WaitsAreBounded) {
  TestFolder folder;
  MakeTree(folder);
  Finder idle(folder.Native("plugins"));
  auto start = Clock::now();
  EXPECT_TRUE(idle.WaitWhileBusy());
  EXPECT_TRUE(idle.RequestStop(TRUE));
  EXPECT_LT(MillisecondsSince(start), 50) << "nothing runs: no wait";

  Finder busy(folder.Native("plugins"), 1);
  busy.hold = true;
  ASSERT_TRUE(busy.StartSearch(folder.Wide("plugins"), u"*.so", FALSE));
  ASSERT_TRUE(WaitFor(busy.inCheck));
  start = Clock::now();
  EXPECT_FALSE(busy.WaitWhileBusy()) << "the search is still running";
  const long long waited = MillisecondsSince(start);
  EXPECT_GE(waited, 1000);
  EXPECT_LT(waited, 1500);
  busy.hold = false;
}

TEST(FileFinder, DestroyingAFinderWaitsForItsSearch) {
  TestFolder folder;
  MakeTree(folder);
  auto* finder = new Finder(folder.Native("plugins"));
  finder->hold = true;
  ASSERT_TRUE(finder->StartSearch(folder.Wide("plugins"), u"*.so", TRUE));
  ASSERT_TRUE(WaitFor(finder->inCheck));
  std::thread releaser([&] {
    Sleep(200);
    finder->hold = false;
  });
  delete finder;  // stops the search; returns only once its thread is done with the object
  releaser.join();
}
