#include "foundation/util/DPXUuid.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>

namespace {

bool IsNil(const GUID& uuid) {
  if (uuid.Data1 || uuid.Data2 || uuid.Data3) return false;
  for (BYTE b : uuid.Data4)
    if (b) return false;
  return true;
}

}  // namespace

TEST(DPXUuid, ReadsAndWritesTheTextForm) {
  GUID uuid {};
  ASSERT_TRUE(DPXStringToUuid(u"6ba7b810-9dad-11d1-80b4-00c04fd430c8", uuid));
  EXPECT_EQ(uuid.Data1, 0x6ba7b810u);
  EXPECT_EQ(uuid.Data2, 0x9dad);
  EXPECT_EQ(uuid.Data3, 0x11d1);
  EXPECT_EQ(uuid.Data4[0], 0x80);
  EXPECT_EQ(uuid.Data4[7], 0xc8);
  CString text;
  ASSERT_TRUE(DPXUuidToString(uuid, text));
  EXPECT_EQ(text, u"6ba7b810-9dad-11d1-80b4-00c04fd430c8");

  ASSERT_TRUE(DPXStringToUuid(u"6BA7B810-9DAD-11D1-80B4-00C04FD430C8", uuid)) << "either letter case";
  EXPECT_EQ(uuid.Data1, 0x6ba7b810u);

  for (const char16_t* bad : {u"{6ba7b810-9dad-11d1-80b4-00c04fd430c8}", u"6ba7b810-9dad-11d1-80b4-00c04fd430c", u"6ba7b810-9dad-11d1-80b4-00c04fd430cg",
                              u"6ba7b8109dad-11d1-80b4-00c04fd430c8x", u""}) {
    uuid.Data1 = 1;
    EXPECT_FALSE(DPXStringToUuid(bad, uuid)) << CString(bad);
    EXPECT_TRUE(IsNil(uuid)) << CString(bad);
  }
  uuid.Data1 = 7;
  EXPECT_FALSE(DPXStringToUuid(nullptr, uuid));
  EXPECT_EQ(uuid.Data1, 7u) << "a null text leaves the UUID";
}

TEST(DPXUuid, CreatesNewUuids) {
  const std::regex form("[0-9a-f]{8}-[0-9a-f]{4}-([0-9a-f])[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
  for (BOOL sequential : {FALSE, TRUE}) {
    std::set<std::string> seen;
    for (int i = 0; i < 200; ++i) {
      CString text;
      ASSERT_TRUE(DPXCreateUuidString(text, sequential));
      std::smatch match;
      const std::string utf8 = text.ToUtf8();
      ASSERT_TRUE(std::regex_match(utf8, match, form)) << utf8;
      EXPECT_EQ(match[1].str(), sequential ? "1" : "4") << utf8;
      seen.insert(utf8);
    }
    EXPECT_EQ(seen.size(), 200u) << (sequential ? "time-based" : "random");
  }
}
