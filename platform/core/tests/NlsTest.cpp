#include "platform/core/nls.h"
#include "platform/core/sysinfo.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <thread>

TEST(Locale, IdentifierFromTheEnvironment) {
  struct Case {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    LCID expected;
  };
  const Case cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", 0x0407},
      {nullptr, nullptr, "en_US.UTF-8", 0x0409},
      {nullptr, nullptr, "en_GB", 0x0809},
      {nullptr, nullptr, "fr_FR.ISO-8859-1", 0x040C},
      {nullptr, nullptr, "de_AT@euro", 0x0C07},
      {nullptr, nullptr, "es_ES.UTF-8", 0x0C0A},
      {nullptr, nullptr, "zh_TW.Big5", 0x0404},
      {nullptr, nullptr, "sr_RS@latin", 0x081A},
      {nullptr, nullptr, "sr_RS", 0x0C1A},
      {nullptr, nullptr, "nb_NO.UTF-8", 0x0414},
      {nullptr, nullptr, "fr", 0x040C},             // a language alone: its main country
      {nullptr, nullptr, "de_BE.UTF-8", 0x0407},     // a country the table lacks
      {nullptr, nullptr, "pt", 0x0416},
      {nullptr, nullptr, "C", 0x0409},
      {nullptr, nullptr, "POSIX", 0x0409},
      {nullptr, nullptr, "C.UTF-8", 0x0409},
      {nullptr, nullptr, "xx_YY", 0x0409},
      {nullptr, nullptr, nullptr, 0x0409},
      {nullptr, "it_IT.UTF-8", "de_DE.UTF-8", 0x0410},  // LC_MESSAGES before LANG
      {"ja_JP.UTF-8", "it_IT.UTF-8", "de_DE.UTF-8", 0x0411},  // LC_ALL before both
      {"", "", "en_GB.UTF-8", 0x0809},                 // empty values do not count
  };
  for (const Case& c : cases) {
    ScopedEnvironment all("LC_ALL", c.lcAll);
    ScopedEnvironment messages("LC_MESSAGES", c.lcMessages);
    ScopedEnvironment lang("LANG", c.lang);
    const std::string what = std::string(c.lcAll ? c.lcAll : "-") + "/" + (c.lcMessages ? c.lcMessages : "-") + "/" +
                             (c.lang ? c.lang : "-");
    EXPECT_EQ(GetUserDefaultLCID(), c.expected) << what;
    EXPECT_EQ(GetUserDefaultLangID(), LANGID(c.expected)) << what;
    EXPECT_EQ(GetSystemDefaultLCID(), c.expected) << what;
  }
}

TEST(SystemInfo, ClocksAndIdentities) {
  const ULONGLONG before = GetTickCount64();
  const DWORD before32 = GetTickCount();
  Sleep(30);
  EXPECT_GE(GetTickCount64() - before, 30u);
  EXPECT_GE(DWORD(GetTickCount() - before32), 30u);

  SYSTEMTIME local, utc;
  GetLocalTime(&local);
  GetSystemTime(&utc);
  const time_t now = time(nullptr);
  struct tm fields;
  gmtime_r(&now, &fields);
  EXPECT_EQ(utc.wYear, fields.tm_year + 1900);
  EXPECT_EQ(utc.wMonth, fields.tm_mon + 1);
  EXPECT_EQ(utc.wDayOfWeek, fields.tm_wday);
  EXPECT_LT(utc.wMilliseconds, 1000);
  EXPECT_LE(local.wHour, 23);

  EXPECT_EQ(GetCurrentProcessId(), DWORD(getpid()));
  DWORD other = 0;
  std::thread([&] { other = GetCurrentThreadId(); }).join();
  EXPECT_NE(other, 0u);
  EXPECT_NE(other, GetCurrentThreadId());
  EXPECT_EQ(GetCurrentThreadId(), DWORD(getpid()));  // the test runs on the main thread
}
