#include "foundation/util/CDPXTempFilename.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

TEST(CDPXTempFilename, HoldsOneNewFileAtATime) {
  TestFolder folder;
  ScopedEnvironment tmp("TMPDIR", folder.Native().c_str());
  CString first, second;
  {
    CDPXTempFilename name(TRUE);
    first = name.GetFilename();
    ASSERT_FALSE(first.IsEmpty());
    const std::string file = first.ToUtf8().substr(folder.Native().size() + 1);
    EXPECT_TRUE(std::regex_match(file, std::regex("dp[0-9A-Fa-f]+\\.tmp"))) << file;
    EXPECT_EQ(first, folder.Wide(file));
    EXPECT_EQ(folder.Read(file), "") << "a new, empty file";

    ASSERT_TRUE(name.Create(second));
    EXPECT_NE(second, first);
    EXPECT_EQ(name.GetFilename(), second);
    EXPECT_EQ(folder.Names().size(), 1u) << "a new file replaces the one held";
    EXPECT_FALSE(folder.Exists(first.ToUtf8().substr(folder.Native().size() + 1)));

    name.Delete();
    EXPECT_TRUE(name.GetFilename().IsEmpty());
    EXPECT_TRUE(folder.Names().empty());

    ASSERT_TRUE(name.Create());
    first = name.GetFilename();
  }
  EXPECT_TRUE(folder.Names().empty()) << "the destructor deletes the file held";

  {
    CDPXTempFilename name(TRUE);
    second = name.GetFilename();
    name.Detach();
    EXPECT_TRUE(name.GetFilename().IsEmpty());
  }
  EXPECT_EQ(folder.Names().size(), 1u) << "a detached file stays";
}

TEST(CDPXTempFilename, FailsWithoutAFolder) {
  TestFolder folder;
  ScopedEnvironment tmp("TMPDIR", folder.Native("missing").c_str());
  CDPXTempFilename name;
  CString made = u"stale";
  EXPECT_FALSE(name.Create(made));
  EXPECT_TRUE(made.IsEmpty());
  EXPECT_TRUE(name.GetFilename().IsEmpty());
}

TEST(CDPXTempFilename, NamesStayUniqueAcrossManyFiles) {
  TestFolder folder;
  ScopedEnvironment tmp("TMPDIR", folder.Native().c_str());
  std::set<std::string> names;
  for (int i = 0; i < 500; ++i) {
    CDPXTempFilename name(TRUE);
    ASSERT_FALSE(name.GetFilename().IsEmpty());
    names.insert(name.GetFilename().ToUtf8());
    name.Detach();
  }
  EXPECT_EQ(names.size(), 500u);
}
