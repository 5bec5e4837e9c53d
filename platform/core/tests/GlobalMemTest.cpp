#include "platform/core/globalmem.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GlobalMemory, BlocksHaveExactlyTheSizeAskedFor) {
  for (SIZE_T size : {SIZE_T(0), SIZE_T(1), SIZE_T(7), SIZE_T(4096), SIZE_T(100001)}) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    ASSERT_NE(block, nullptr) << size;
    EXPECT_EQ(GlobalSize(block), size);
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    ASSERT_NE(bytes, nullptr) << size;
    for (SIZE_T i = 0; i < size; ++i) ASSERT_EQ(bytes[i], 0) << size << " at " << i;
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    EXPECT_EQ(GlobalFree(block), nullptr);
  }
}

TEST(GlobalMemory, ReAllocKeepsTheHandleAndTheBytes) {
  struct Case {
    SIZE_T from;
    SIZE_T to;
  };
  const Case cases[] = {{256, 384}, {10, 10}, {384, 5}, {1, 70000}, {0, 3}};
  for (const Case& c : cases) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, c.from);
    auto* bytes = static_cast<BYTE*>(GlobalLock(block));
    for (SIZE_T i = 0; i < c.from; ++i) bytes[i] = static_cast<BYTE>(i * 7 + 1);
    GlobalUnlock(block);
    ASSERT_EQ(GlobalReAlloc(block, c.to, GMEM_MOVEABLE | GMEM_ZEROINIT), block) << c.from << "->" << c.to;
    EXPECT_EQ(GlobalSize(block), c.to);
    bytes = static_cast<BYTE*>(GlobalLock(block));
    for (SIZE_T i = 0; i < c.to; ++i)
      ASSERT_EQ(bytes[i], i < c.from ? static_cast<BYTE>(i * 7 + 1) : 0) << c.from << "->" << c.to << " at " << i;
    GlobalUnlock(block);
    GlobalFree(block);
  }
}

TEST(GlobalMemory, AFreedHandleFails) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 16);
  ASSERT_EQ(GlobalFree(block), nullptr);
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_EQ(GlobalLock(block), nullptr);
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GlobalReAlloc(block, 32, GMEM_MOVEABLE), nullptr);
  EXPECT_EQ(GlobalFlags(block), UINT(GMEM_INVALID_HANDLE));
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalFree(nullptr), nullptr);
}

TEST(LocalMemory, FixedBlocksAreTheirOwnAddressAndMovableOnesAreRefused) {
  auto* zeroed = static_cast<BYTE*>(LocalAlloc(LPTR, 64));
  ASSERT_NE(zeroed, nullptr);
  for (int i = 0; i < 64; ++i) ASSERT_EQ(zeroed[i], 0) << i;
  zeroed[63] = 1;
  EXPECT_EQ(LocalFree(zeroed), nullptr);
  void* empty = LocalAlloc(LMEM_FIXED, 0);
  EXPECT_NE(empty, nullptr) << "a block of no bytes still has an address";
  LocalFree(empty);
  EXPECT_EQ(LocalAlloc(0x0002, 16), nullptr);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}
