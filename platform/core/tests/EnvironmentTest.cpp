#include "platform/core/environment.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Environment, AnswerSizesFollowWin32) {
  const std::string value32767(32767, 'v');
  const std::string value32768(32768, 'v');
  struct Case {
    const char* what;
    const char* value;  // null: not set
    DWORD size;
    DWORD answer;
    DWORD lastError;
    const char16_t* copied;  // null: the buffer is left alone
  };
  const Case cases[] = {
      {"fits", "abc", 8, 3, ERROR_SUCCESS, u"abc"},
      {"fits exactly", "abc", 4, 3, ERROR_SUCCESS, u"abc"},
      {"no room for the terminator", "abc", 3, 4, ERROR_SUCCESS, nullptr},
      {"size query", "abc", 0, 4, ERROR_SUCCESS, nullptr},
      {"empty", "", 8, 0, ERROR_SUCCESS, u""},
      {"missing", nullptr, 8, 0, ERROR_ENVVAR_NOT_FOUND, nullptr},
      {"32767 units", value32767.c_str(), 32768, 32767, ERROR_SUCCESS, nullptr},
      {"32768 units", value32768.c_str(), 32768, 32769, ERROR_SUCCESS, nullptr},
  };
  std::u16string buffer(40000, u'#');
  for (const Case& c : cases) {
    ScopedEnvironment variable("QV_ENV_SIZES", c.value);
    std::fill(buffer.begin(), buffer.end(), u'#');
    SetLastError(12345);
    EXPECT_EQ(GetEnvironmentVariableW(u"QV_ENV_SIZES", buffer.data(), c.size), c.answer) << c.what;
    if (c.lastError != ERROR_SUCCESS || c.answer == 0) {
      EXPECT_EQ(GetLastError(), c.lastError) << c.what;
    }
    if (c.copied) {
      EXPECT_EQ(CString(buffer.c_str()), CString(c.copied)) << c.what;
    } else if (c.answer > c.size) {
      EXPECT_EQ(buffer[0], u'#') << c.what;
    }
  }
}

TEST(Environment, NamesIgnoreCaseAndTheExactNameWins) {
  ScopedEnvironment mixed("QV_Env_Mixed", "mixed");
  ScopedEnvironment exact("qv_env_twin", "lower");
  ScopedEnvironment twin("QV_ENV_TWIN", "upper");
  WCHAR buffer[32];
  ASSERT_EQ(GetEnvironmentVariableW(u"qv_env_mixed", buffer, 32), 5u);
  EXPECT_EQ(CString(buffer), CString(u"mixed"));
  ASSERT_EQ(GetEnvironmentVariableW(u"QV_ENV_TWIN", buffer, 32), 5u);
  EXPECT_EQ(CString(buffer), CString(u"upper"));

  // Setting under another spelling changes the variable that is there.
  EXPECT_TRUE(SetEnvironmentVariableW(u"QV_ENV_MIXED", u"changed"));
  EXPECT_STREQ(std::getenv("QV_Env_Mixed"), "changed");
  EXPECT_EQ(std::getenv("QV_ENV_MIXED"), nullptr);
  EXPECT_TRUE(SetEnvironmentVariableW(u"qv_env_MIXED", nullptr));
  EXPECT_EQ(std::getenv("QV_Env_Mixed"), nullptr);
  EXPECT_TRUE(SetEnvironmentVariableW(u"qv_env_MIXED", nullptr));  // removing a missing one succeeds

  EXPECT_FALSE(SetEnvironmentVariableW(u"A=B", u"x"));
  EXPECT_FALSE(SetEnvironmentVariableW(u"", u"x"));
  EXPECT_EQ(GetEnvironmentVariableW(nullptr, buffer, 32), 0u);
}

TEST(Environment, ValuesKeepTheirBytes) {
  ScopedEnvironment raw("QV_ENV_RAW", "/opt/caf\xe9:\xc3\xa4");
  ScopedEnvironment copy("QV_ENV_COPY", nullptr);
  WCHAR buffer[64];
  ASSERT_EQ(GetEnvironmentVariableW(u"QV_ENV_RAW", buffer, 64), 11u);
  EXPECT_EQ(CString(buffer), CString(u"/opt/caf\xDCE9:\u00e4"));
  ASSERT_TRUE(SetEnvironmentVariableW(u"QV_ENV_COPY", buffer));
  EXPECT_STREQ(std::getenv("QV_ENV_COPY"), "/opt/caf\xe9:\xc3\xa4");
}
