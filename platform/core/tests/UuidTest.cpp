#include "platform/core/rpcuuid.h"
#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

CString Text(const UUID& uuid) {
  RPC_WSTR text = nullptr;
  EXPECT_EQ(UuidToStringW(&uuid, &text), RPC_S_OK);
  const CString result(text);
  EXPECT_EQ(RpcStringFreeW(&text), RPC_S_OK);
  EXPECT_EQ(text, nullptr);
  return result;
}

bool Same(const UUID& a, const UUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

TEST(Uuid, TextFormMatchesTheFields) {
  UUID uuid;
  ASSERT_EQ(UuidFromStringW(const_cast<RPC_WSTR>(u"6ba7b810-9dad-11d1-80b4-00c04fd430c8"), &uuid), RPC_S_OK);
  EXPECT_EQ(uuid.Data1, 0x6ba7b810u);
  EXPECT_EQ(uuid.Data2, 0x9dad);
  EXPECT_EQ(uuid.Data3, 0x11d1);
  const BYTE data4[8] = {0x80, 0xb4, 0x00, 0xc0, 0x4f, 0xd4, 0x30, 0xc8};
  EXPECT_EQ(std::memcmp(uuid.Data4, data4, 8), 0);
  EXPECT_EQ(Text(uuid), CString(u"6ba7b810-9dad-11d1-80b4-00c04fd430c8"));

  UUID upper;
  ASSERT_EQ(UuidFromStringW(const_cast<RPC_WSTR>(u"6BA7B810-9DAD-11D1-80B4-00C04FD430C8"), &upper), RPC_S_OK);
  EXPECT_TRUE(Same(uuid, upper));

  UUID nil;
  ASSERT_EQ(UuidCreateNil(&nil), RPC_S_OK);
  EXPECT_EQ(Text(nil), CString(u"00000000-0000-0000-0000-000000000000"));
  UUID fromNull = uuid;
  EXPECT_EQ(UuidFromStringW(nullptr, &fromNull), RPC_S_OK);
  EXPECT_TRUE(Same(fromNull, nil));
}

TEST(Uuid, MalformedTextsAreRejected) {
  const char16_t* cases[] = {
      u"{6ba7b810-9dad-11d1-80b4-00c04fd430c8}",
      u"6ba7b810-9dad-11d1-80b4-00c04fd430c",    // 35 characters
      u"6ba7b810-9dad-11d1-80b4-00c04fd430c80",  // 37 characters
      u"6ba7b810-9dad-11d1-80b4-00c04fd430cg",   // not a hexadecimal digit
      u"6ba7b8109-dad-11d1-80b4-00c04fd430c8",   // a hyphen out of place
      u"6ba7b810 9dad 11d1 80b4 00c04fd430c8",
      u"6ba7b810-9dad-11d1-80b4-00c04fd430c\uff18",  // a full-width digit
      u" 6ba7b810-9dad-11d1-80b4-00c04fd430c8",
      u"",
  };
  for (const char16_t* text : cases) {
    UUID uuid;
    UuidCreate(&uuid);
    const UUID before = uuid;
    EXPECT_EQ(UuidFromStringW(const_cast<RPC_WSTR>(text), &uuid), RPC_S_INVALID_STRING_UUID) << CString(text);
    EXPECT_TRUE(Same(uuid, before)) << CString(text);
  }
}

TEST(Uuid, NewUuidsAreDistinctAndRoundTrip) {
  struct Case {
    const char* what;
    RPC_STATUS (*create)(UUID*);
    int version;
  };
  const Case cases[] = {{"random", UuidCreate, 4}, {"sequential", UuidCreateSequential, 1}};
  for (const Case& c : cases) {
    UUID a, b;
    const RPC_STATUS status = c.create(&a);
    EXPECT_TRUE(status == RPC_S_OK || status == RPC_S_UUID_LOCAL_ONLY) << c.what;
    c.create(&b);
    EXPECT_FALSE(Same(a, b)) << c.what;
    EXPECT_EQ(a.Data3 >> 12, c.version) << c.what;
    EXPECT_EQ(a.Data4[0] & 0xC0, 0x80) << c.what;  // the RFC 4122 variant
    const CString text = Text(a);
    UUID back;
    ASSERT_EQ(UuidFromStringW(const_cast<RPC_WSTR>(text.GetString()), &back), RPC_S_OK) << c.what;
    EXPECT_TRUE(Same(a, back)) << c.what;
  }
}
