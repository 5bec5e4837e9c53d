#include "foundation/util/CDPXBuffer.h"
#include "platform/core/CFile.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

// Runs a check on both kinds of buffer.
template <class Check>
void ForBothKinds(Check check) {
  {
    SCOPED_TRACE("heap buffer");
    CDPXMemBuffer buffer;
    check(buffer);
  }
  {
    SCOPED_TRACE("global buffer");
    CDPXGMemBuffer buffer;
    check(buffer);
  }
}

bool IsLiveBlock(HGLOBAL block) { return GlobalFlags(block) != GMEM_INVALID_HANDLE; }

}  // namespace

TEST(CDPXBuffer, AllocatesZeroedBlocksAndFailsOnZero) {
  ForBothKinds([](CDPXBuffer& buffer) {
    LPBYTE block = buffer.AllocAndLock(16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(buffer.GetSize(), 16u);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(block[i], 0) << i;
    EXPECT_EQ(buffer.GetPtr(15), block + 15);
    EXPECT_EQ(buffer.GetPtr(16), nullptr);
    EXPECT_FALSE(buffer.Alloc(0));
    EXPECT_EQ(buffer.GetSize(), 0u) << "the old block is freed before the size is checked";
    EXPECT_EQ(buffer.GetPtr(0), nullptr);
    EXPECT_EQ(buffer.Lock(), nullptr);
  });
}

TEST(CDPXBuffer, GrowingKeepsTheBytesAndZeroFillsTheRest) {
  ForBothKinds([](CDPXBuffer& buffer) {
    LPBYTE block = buffer.AllocAndLock(256);
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 256; ++i) block[i] = static_cast<BYTE>(i + 1);
    block = buffer.GrowAndLock(128);
    ASSERT_NE(block, nullptr);
    ASSERT_EQ(buffer.GetSize(), 384u);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(block[i], static_cast<BYTE>(i + 1)) << i;
    for (int i = 256; i < 384; ++i) ASSERT_EQ(block[i], 0) << i;
    EXPECT_TRUE(buffer.ReAlloc(10));
    EXPECT_EQ(buffer.GetPtr(9)[0], 10);
    EXPECT_FALSE(buffer.ReAlloc(0));
    EXPECT_EQ(buffer.GetSize(), 10u) << "a failed resize keeps the block";
    EXPECT_EQ(buffer.GrowAndLock(0xFFFFFFFFu), nullptr) << "the size would pass 32 bits";
    EXPECT_EQ(buffer.GetSize(), 10u);
    buffer.Free();
    EXPECT_NE(buffer.GrowAndLock(4), nullptr) << "an empty buffer allocates";
    EXPECT_EQ(buffer.GetSize(), 4u);
  });
}

TEST(CDPXBuffer, HeapBufferAttachesAndDetaches) {
  CDPXMemBuffer buffer;
  void* block = std::calloc(8, 1);
  EXPECT_FALSE(buffer.Attach(block, 0));
  EXPECT_FALSE(buffer.Attach(nullptr, 8));
  ASSERT_TRUE(buffer.Attach(block, 8));
  EXPECT_TRUE(buffer.Attach(block, 8)) << "the block already held";
  EXPECT_EQ(buffer.GetPtr(7), static_cast<LPBYTE>(block) + 7);
  EXPECT_EQ(buffer.Detach(), block);
  EXPECT_EQ(buffer.GetSize(), 0u);
  EXPECT_TRUE(buffer.Attach(nullptr, 0));
  std::free(block);  // the buffer let go of it: freeing here is the only release
}

TEST(CDPXBuffer, GlobalBufferAttachesAndDetaches) {
  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 12);
  {
    CDPXGMemBuffer buffer;
    EXPECT_FALSE(buffer.Attach(empty));
    ASSERT_TRUE(buffer.Attach(block));
    EXPECT_EQ(buffer.GetSize(), 12u);
    buffer.Lock()[11] = 0x5A;
    EXPECT_TRUE(buffer.Attach(block)) << "attaching the block already held keeps it";
    EXPECT_TRUE(IsLiveBlock(block));
    EXPECT_EQ(buffer.Detach(), block);
    EXPECT_EQ(buffer.Detach(), nullptr);
    EXPECT_EQ(GlobalFlags(block) & 0xFF, 0u) << "handed out unlocked";
  }
  ASSERT_TRUE(IsLiveBlock(block)) << "the destructor freed a detached block";
  {
    CDPXGMemBuffer buffer;
    ASSERT_TRUE(buffer.Attach(block));
    EXPECT_EQ(buffer.GetPtr(11)[0], 0x5A);
    EXPECT_TRUE(buffer.Attach(nullptr));
    EXPECT_FALSE(IsLiveBlock(block)) << "attaching another block frees the old one";
    EXPECT_EQ(buffer.GetSize(), 0u);
  }
  GlobalFree(empty);
}

TEST(CDPXBuffer, GlobalBufferCopiesAndMoves) {
  CDPXGMemBuffer source;
  LPBYTE bytes = source.AllocAndLock(4);
  std::memcpy(bytes, "abcd", 4);

  CDPXGMemBuffer copy;
  ASSERT_TRUE(copy.Copy(source));
  ASSERT_EQ(copy.GetSize(), 4u);
  EXPECT_EQ(std::memcmp(copy.Lock(), "abcd", 4), 0);
  copy.Lock()[0] = 'X';
  EXPECT_EQ(source.GetPtr(0)[0], 'a') << "a copy has its own block";

  EXPECT_TRUE(copy.Copy(copy));
  EXPECT_EQ(copy.GetSize(), 4u) << "copying itself keeps the block";
  copy.MoveFrom(copy);
  EXPECT_EQ(copy.GetPtr(0)[0], 'X') << "moving from itself keeps the block";

  CDPXGMemBuffer moved;
  moved.MoveFrom(source);
  EXPECT_EQ(source.GetSize(), 0u);
  EXPECT_EQ(source.Detach(), nullptr);
  ASSERT_EQ(moved.GetSize(), 4u);
  EXPECT_EQ(moved.GetPtr(3)[0], 'd');

  CDPXGMemBuffer nothing;
  EXPECT_TRUE(moved.Copy(nothing));
  EXPECT_EQ(moved.GetSize(), 0u) << "copying an empty buffer empties this one";
}

TEST(CDPXBuffer, CopiesGlobalBlocks) {
  EXPECT_EQ(DPXCopyGlobal(nullptr), nullptr);
  HGLOBAL empty = GlobalAlloc(GMEM_MOVEABLE, 0);
  EXPECT_EQ(DPXCopyGlobal(empty), nullptr);
  GlobalFree(empty);
  HGLOBAL stale = GlobalAlloc(GMEM_MOVEABLE, 4);
  GlobalFree(stale);
  EXPECT_EQ(DPXCopyGlobal(stale), nullptr);

  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
  std::memcpy(GlobalLock(block), "xyz", 3);
  GlobalUnlock(block);
  HGLOBAL copy = DPXCopyGlobal(block);
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy, block);
  EXPECT_EQ(GlobalSize(copy), 3u);
  EXPECT_EQ(std::memcmp(GlobalLock(copy), "xyz", 3), 0);
  GlobalUnlock(copy);
  GlobalFree(copy);
  GlobalFree(block);
}

TEST(CDPXBuffer, ReadsAndWritesWholeFiles) {
  TestFolder folder;
  folder.Write("five", "12345");
  folder.Write("empty", "");
  struct Case {
    const char* name;
    bool ok;
    const char* contents;
  };
  const Case cases[] = {{"five", true, "12345"}, {"empty", true, ""}, {"missing", false, ""}, {"", false, ""}};
  for (const Case& c : cases) {
    ForBothKinds([&](CDPXBuffer& buffer) {
      buffer.Alloc(3);  // what was there goes in any case
      EXPECT_EQ(DPXReadFileToBuffer(folder.Wide(c.name), buffer) != FALSE, c.ok) << c.name;
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(buffer.GetPtr(0) ? buffer.GetPtr(0) : LPBYTE()), buffer.GetSize()),
                c.contents)
          << c.name;
    });
  }

  CDPXGMemBuffer buffer;
  std::memcpy(buffer.AllocAndLock(3), "abc", 3);
  EXPECT_TRUE(DPXWriteBufferToFile(buffer, folder.Wide("five")));
  EXPECT_EQ(folder.Read("five"), "abc");
  buffer.Free();
  EXPECT_TRUE(DPXWriteBufferToFile(buffer, folder.Wide("five")));
  EXPECT_TRUE(folder.Exists("five"));
  EXPECT_EQ(folder.Read("five"), "") << "an empty buffer writes an empty file";
  EXPECT_FALSE(DPXWriteBufferToFile(buffer, folder.Wide("missing/x")));
}

TEST(CDPXBuffer, AFailedWriteKeepsTheFileThatWasThere) {
  TestFolder folder;
  folder.Write("data", "old");
  CDPXMemBuffer buffer;
  buffer.AllocAndLock(4096);
  {
    FileSizeLimit limit(100);
    EXPECT_FALSE(DPXWriteBufferToFile(buffer, folder.Wide("data")));
  }
  EXPECT_EQ(folder.Read("data"), "old");
  EXPECT_EQ(folder.Names(), (std::set<std::string>{"data"}));
}

TEST(CDPXBuffer, RefusesFilesBeyondThirtyTwoBits) {
  // A sparse file of 5 GiB costs no disk; reading it must fail at once, without allocating.
  TestFolder folder;
  {
    CFile file(folder.Wide("huge"), CFile::modeCreate | CFile::modeWrite);
    file.SetLength(5ULL << 30);
  }
  CDPXMemBuffer buffer;
  EXPECT_FALSE(DPXReadFileToBuffer(folder.Wide("huge"), buffer));
  EXPECT_EQ(buffer.GetSize(), 0u);
}
