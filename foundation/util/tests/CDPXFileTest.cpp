#include "foundation/util/CDPXException.h"
#include "foundation/util/CDPXFile.h"
#include "platform/core/globalmem.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CDPXFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_dir = fs::temp_directory_path() / ("cdpxfile-" + std::to_string(getpid()));
    fs::create_directories(m_dir);
  }
  void TearDown() override { fs::remove_all(m_dir); }

  CString PathOf(const char* name) const { return CString::FromUtf8((m_dir / name).string()); }

  CString WriteBytes(const char* name, const std::string& bytes) const {
    std::ofstream(m_dir / name, std::ios::binary) << bytes;
    return PathOf(name);
  }

  std::string ReadBytes(const char* name) const {
    std::ifstream in(m_dir / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path m_dir;
};

// TRUE when the call raises an MFC exception, which is then released as every catcher does.
template <class Call>
bool RaisesAndDeletes(Call call) {
  try {
    call();
  } catch (CException* e) {
    e->Delete();
    return true;
  }
  return false;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s.push_back(static_cast<char>(v));
  return s;
}

}  // namespace

TEST(CDPXException, RaisedWithMinusOneAndNoText) {
  try {
    DPXThrowException();
  } catch (CException* e) {
    ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CDPXException)));
    auto* dpx = static_cast<CDPXException*>(e);
    EXPECT_EQ(dpx->GetErrorCode(), -1);
    CString text(u"left over");
    EXPECT_TRUE(dpx->GetErrorText(0, text));
    EXPECT_TRUE(text.IsEmpty());
    e->Delete();
  }
}

TEST(CDPXFile, IsAFileByItsClassRecord) {
  CDPXFile file;
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CDPXFile)));
  EXPECT_TRUE(file.IsKindOf(RUNTIME_CLASS(CFile)));
  EXPECT_STREQ(file.GetRuntimeClass()->m_lpszClassName, "CDPXFile");
}

TEST_F(CDPXFileTest, CountedStrings) {
  struct Case {
    const char* what;
    std::string bytes;
    BOOL ok;
    std::u16string text;
  };
  const Case cases[] = {
      {"count 0 is the empty text", Bytes({0, 0, 0, 0}), TRUE, u""},
      {"two characters", Bytes({4, 0, 0, 0, 'h', 0, 0xE4, 0}), TRUE, u"h\u00e4"},
      {"a zero unit ends the text", Bytes({6, 0, 0, 0, 'a', 0, 'b', 0, 0, 0}), TRUE, u"ab"},
      {"count beyond the file", Bytes({8, 0, 0, 0, 'a', 0}), FALSE, u""},
      {"absurd count allocates nothing", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 'a', 0}), FALSE, u""},
      {"count cut short", Bytes({4, 0}), FALSE, u""},
  };
  for (const Case& c : cases) {
    CDPXFile file;
    ASSERT_TRUE(file.Open(WriteBytes("s.bin", c.bytes), CFile::modeRead)) << c.what;
    CString text(u"stale");
    EXPECT_EQ(file.ReadCountedString(text), c.ok) << c.what;
    EXPECT_EQ(text, CString(c.text)) << c.what;
  }
}

TEST_F(CDPXFileTest, CountedBlocks) {
  CDPXFile file;
  ASSERT_TRUE(file.Create(PathOf("g.bin"), CFile::modeWrite));
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 3);
  auto* bytes = static_cast<BYTE*>(GlobalLock(block));
  bytes[0] = 1, bytes[1] = 2, bytes[2] = 3;
  GlobalUnlock(block);
  EXPECT_TRUE(file.WriteGlobal(nullptr));
  EXPECT_TRUE(file.WriteGlobal(block));
  file.Close();
  GlobalFree(block);
  EXPECT_EQ(ReadBytes("g.bin"), Bytes({0, 0, 0, 0, 3, 0, 0, 0, 1, 2, 3}));

  ASSERT_TRUE(file.Open(PathOf("g.bin"), CFile::modeRead));
  HGLOBAL read = reinterpret_cast<HGLOBAL>(1);
  EXPECT_TRUE(file.ReadGlobal(read));
  EXPECT_EQ(read, nullptr);  // count 0: no block, and success
  EXPECT_TRUE(file.ReadGlobal(read));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(GlobalSize(read), 3u);
  EXPECT_EQ(static_cast<BYTE*>(GlobalLock(read))[2], 3);
  GlobalUnlock(read);
  GlobalFree(read);
  EXPECT_FALSE(file.ReadGlobal(read));  // end of file
  EXPECT_EQ(read, nullptr);

  ASSERT_TRUE(file.Open(WriteBytes("big.bin", Bytes({0xF0, 0xFF, 0xFF, 0x7F, 1, 2})), CFile::modeRead));
  EXPECT_FALSE(file.ReadGlobal(read));
  EXPECT_EQ(read, nullptr);
}

TEST_F(CDPXFileTest, ExactReadsAndClosedFiles) {
  CDPXFile file;
  ASSERT_TRUE(file.Open(WriteBytes("e.bin", "abc"), CFile::modeRead));
  char buffer[4] = {'x', 'x', 'x', 'x'};
  EXPECT_FALSE(file.ReadExact(buffer, 4));  // only three bytes were there...
  EXPECT_EQ(file.GetPosition(), 3u);        // ...and they are consumed
  EXPECT_FALSE(file.ReadExact(buffer, 0));
  EXPECT_FALSE(file.ReadExact(nullptr, 1));
  file.Close();
  EXPECT_FALSE(file.IsOpen());
  EXPECT_TRUE(file.GetOpenPath().IsEmpty());

  // Every read and write on a closed file fails without touching its target.
  DWORD word = 0xA5A5A5A5;
  BYTE byte = 0x5A;
  CString text(u"keep");
  EXPECT_FALSE(file.ReadDWord(word));
  EXPECT_FALSE(file.ReadByte(byte));
  EXPECT_FALSE(file.WriteExact("a", 1));
  EXPECT_FALSE(file.WriteGlobal(nullptr));
  EXPECT_EQ(word, 0xA5A5A5A5u);
  EXPECT_EQ(byte, 0x5A);
  EXPECT_FALSE(file.ReadCountedString(text));
  EXPECT_TRUE(RaisesAndDeletes([&] { file.WriteByteOrThrow(1); }));
  ULONGLONG q = 7;
  EXPECT_TRUE(RaisesAndDeletes([&] { file.ReadQWordOrThrow(q); }));
  EXPECT_EQ(q, 7u);
}

TEST_F(CDPXFileTest, LittleEndianWords) {
  CDPXFile file;
  ASSERT_TRUE(file.Open(WriteBytes("w.bin", Bytes({1, 2, 3, 4, 1, 2, 3, 4, 5, 6, 7, 8})), CFile::modeRead));
  DWORD word = 0;
  ULONGLONG quad = 0;
  EXPECT_TRUE(file.ReadDWord(word));
  EXPECT_EQ(word, 0x04030201u);
  file.ReadQWordOrThrow(quad);
  EXPECT_EQ(quad, 0x0807060504030201ull);
}

TEST_F(CDPXFileTest, FailedCreateKeepsAFileThatWasThere) {
  // A running program cannot be opened for writing, even by root: the open fails on a file that
  // exists, which must survive the failure.
  const fs::path busy = m_dir / "busy";
  fs::copy_file("/bin/sleep", busy);
  const pid_t child = fork();
  if (child == 0) {
    execl(busy.c_str(), "busy", "5", static_cast<char*>(nullptr));
    _exit(127);
  }
  usleep(200 * 1000);
  CDPXFile file;
  const BOOL opened = file.Create(CString::FromUtf8(busy.string()), CFile::modeWrite);
  kill(child, SIGKILL);
  waitpid(child, nullptr, 0);
  if (opened) GTEST_SKIP() << "this kernel lets a running program be written";
  EXPECT_TRUE(fs::exists(busy));
  EXPECT_GT(fs::file_size(busy), 0u);

  // A create that fails in a missing folder leaves nothing behind either.
  EXPECT_FALSE(file.Create(PathOf("missing/new.bin"), CFile::modeWrite));
  EXPECT_FALSE(fs::exists(m_dir / "missing"));
}
