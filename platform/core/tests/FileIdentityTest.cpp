#include "platform/core/fileidentity.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(FileIdentity, TellsFoldersApartByWhatIsOnDisk) {
  TestFolder folder;
  folder.MakeFolder("a/sub");
  folder.MakeFolder("A");
  folder.MakeFolder("only");
  folder.Write("a/file", "x");
  ASSERT_EQ(::symlink(folder.Native("a").c_str(), folder.Native("link").c_str()), 0);
  struct Case {
    const char* first;
    const char* second;
    BOOL same;
  };
  const Case cases[] = {
      {"a", "a", TRUE},           {"a", "a/", TRUE},       {"a", "a/sub/..", TRUE},
      {"a", "link", TRUE},        {"a", "A", FALSE},       {"only", "ONLY", TRUE},  // resolved without regard to case
      {"a", "a/sub", FALSE},      {"a/file", "a/file", TRUE}, {"a", "missing", FALSE},
      {"missing", "missing", FALSE},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsSameFileW(folder.Wide(c.first), folder.Wide(c.second)), c.same) << c.first << " / " << c.second;
  }
  EXPECT_FALSE(IsSameFileW(nullptr, folder.Wide("a")));
}
