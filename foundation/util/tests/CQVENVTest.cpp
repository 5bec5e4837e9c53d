#include "foundation/util/CQVENV.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>

TEST(Environment, VariablesAreSetReadAndRemoved) {
  const LPCWSTR name = u"QV_ENV_TEST_VARIABLE";
  CString value(u"stale");
  EXPECT_FALSE(CQVENV::GetVariable(name, value));
  EXPECT_TRUE(value.IsEmpty()) << "a failed read empties the value";
  ASSERT_TRUE(CQVENV::SetVariable(name, u"gr\u00fcn"));
  ASSERT_TRUE(CQVENV::GetVariable(name, value));
  EXPECT_EQ(value, CString(u"gr\u00fcn"));
  EXPECT_STREQ(std::getenv("QV_ENV_TEST_VARIABLE"), "gr\xc3\xbcn") << "child processes see it too";
  ASSERT_TRUE(CQVENV::SetVariable(name, u""));
  value = u"stale";
  EXPECT_FALSE(CQVENV::GetVariable(name, value)) << "an empty variable reads as missing";
  EXPECT_TRUE(value.IsEmpty());
  ASSERT_TRUE(CQVENV::SetVariable(name, nullptr));
  EXPECT_EQ(std::getenv("QV_ENV_TEST_VARIABLE"), nullptr);
}

TEST(Environment, ValuesUpTo32767UnitsFit) {
  const LPCWSTR name = u"QV_ENV_TEST_LONG";
  struct Case {
    int length;
    BOOL fits;
  };
  for (const Case& c : {Case{32767, TRUE}, Case{32768, FALSE}}) {
    const CString long_value(u'x', c.length);
    ASSERT_TRUE(CQVENV::SetVariable(name, long_value));
    CString value;
    EXPECT_EQ(CQVENV::GetVariable(name, value), c.fits) << c.length << " units";
    EXPECT_EQ(value.GetLength(), c.fits ? c.length : 0);
  }
  CQVENV::SetVariable(name, nullptr);
}

TEST(Environment, SearchPathIsExtendedWithTheSeparatorOfThisPlatform) {
  ScopedEnvironment saved("PATH", std::getenv("PATH"));
  ASSERT_TRUE(CQVENV::SetPath(u"/a:/b"));
  EXPECT_STREQ(std::getenv("PATH"), "/a:/b") << "\"path\" is the program search path PATH";
  ASSERT_TRUE(CQVENV::AddPath(u"/b"));
  CString path;
  ASSERT_TRUE(CQVENV::GetPath(path));
  EXPECT_EQ(path, CString(u"/a:/b:/b")) << "appended as it is, even when already listed";
  unsetenv("PATH");
  EXPECT_FALSE(CQVENV::AddPath(u"/c")) << "without a path there is nothing to extend";
  EXPECT_FALSE(CQVENV::GetPath(path));
}

TEST(Environment, PathLockKeepsSaveAddRestoreSequencesApart) {
  ScopedEnvironment saved("PATH", std::getenv("PATH"));
  ASSERT_TRUE(CQVENV::SetPath(u"/base"));
  auto sequence = [](LPCWSTR folder, int& faults) {
    for (int i = 0; i < 200; ++i) {
      CSingleLock guard(&CQVENV::g_csPath, TRUE);
      CString before, during;
      CQVENV::GetPath(before);
      CQVENV::AddPath(folder);
      CQVENV::GetPath(during);
      if (during != before + u":" + folder) ++faults;
      CQVENV::SetPath(before);
    }
  };
  int faultsA = 0, faultsB = 0;
  std::thread a(sequence, u"/one", std::ref(faultsA));
  std::thread b(sequence, u"/two", std::ref(faultsB));
  a.join();
  b.join();
  EXPECT_EQ(faultsA + faultsB, 0);
  CString path;
  ASSERT_TRUE(CQVENV::GetPath(path));
  EXPECT_EQ(path, CString(u"/base"));
}
