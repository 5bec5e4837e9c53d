#include "platform/core/globalmem.h"
#include "platform/sdk/CQVCommon.h"
#include "platform/sdk/CQVException.h"
#include "platform/sdk/QVACI_DATA.h"

#include <gtest/gtest.h>

TEST(CQVException, CarriesItsCodeAndIsToldApartByClass) {
  for (int code : {CQVException::kNoErrorCode, 7, 40}) {
    try {
      if (code == CQVException::kNoErrorCode)
        CQVException::Throw();
      else
        CQVException::Throw(code);
    } catch (CException* e) {
      ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CQVException)));
      EXPECT_FALSE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
      EXPECT_EQ(static_cast<CQVException*>(e)->GetErrorCode(), code);
      e->Delete();
    }
  }
  CFileException other;
  EXPECT_FALSE(other.IsKindOf(CQVException::GetThisClass()));
}

TEST(CQVCommon, MakeVersionPacksDateBuilds) {
  struct Case {
    ULONG major, minor, build;
    BOOL ok;
    ULONG packed;
  };
  // 2005-08-03 is day 2041 after 2000-01-01.
  const Case cases[] = {
      {0, 1, 2005080301, TRUE, (1u << 24) | (2041 * 100 + 1)},
      {2, 3, 2000010100, TRUE, (2u << 28) | (3u << 24)},
      {15, 15, 2044121599, TRUE, (15u << 28) | (15u << 24) | (16420 * 100 + 99)},
      {16, 0, 2005080301, FALSE, 0},    // major beyond 4 bits
      {0, 16, 2005080301, FALSE, 0},    // minor beyond 4 bits
      {0, 1, 2005023001, FALSE, 0},     // 30 February
      {0, 1, 1999123101, FALSE, 0},     // before the epoch
      {0, 1, 7, FALSE, 0},              // not a dated build
  };
  for (const Case& c : cases) {
    ULONG packed = 0xDEADBEEF;
    EXPECT_EQ(CQVCommon::MakeVersion(c.major, c.minor, c.build, packed), c.ok) << c.build;
    EXPECT_EQ(packed, c.ok ? c.packed : 0xDEADBEEF) << c.build;
  }
}

TEST(QVACI_DATA, OwnsAndHandsOverItsBlock) {
  QVACI_DATA data;
  EXPECT_FALSE(data.Attach(nullptr));
  HGLOBAL first = GlobalAlloc(GMEM_MOVEABLE, 8);
  HGLOBAL second = GlobalAlloc(GMEM_MOVEABLE, 4);
  EXPECT_TRUE(data.Attach(first));
  EXPECT_TRUE(data.Attach(first));  // the same block again is not freed
  EXPECT_EQ(GlobalSize(first), 8u);
  EXPECT_TRUE(data.Attach(second));  // the first one is released
  EXPECT_EQ(GlobalSize(first), 0u);
  EXPECT_EQ(data.Detach(), second);
  EXPECT_EQ(data.GetBlock(), nullptr);
  EXPECT_EQ(GlobalSize(second), 4u);
  GlobalFree(second);
}
