#include "platform/core/CFile.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

namespace {

// Runs `action` and answers the CFileException it throws (cause, errno), or (-1, 0) when none.
template <class Action>
std::pair<int, LONG> Thrown(Action action) {
  try {
    action();
  } catch (CFileException* e) {
    const std::pair<int, LONG> result(e->m_cause, e->m_lOsError);
    e->Delete();
    return result;
  }
  return {-1, 0};
}

}  // namespace

TEST(CFile, OpenFlags) {
  TestFolder folder;
  folder.MakeFolder("dir");
  struct Case {
    const char* what;
    const char* name;
    UINT flags;
    bool opens;
    const char* contentAfter;  // null: the file is not there afterwards; "-": not checked
    int cause;
    DWORD lastError;
  };
  const Case cases[] = {
      {"read an existing file", "old", CFile::modeRead, true, "old data", 0, 0},
      {"create truncates", "old", CFile::modeCreate | CFile::modeWrite, true, "", 0, 0},
      {"no-truncate keeps the data", "old", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite, true, "old data", 0, 0},
      {"create a new file", "new", CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive, true, "", 0, 0},
      {"read a missing file", "new", CFile::modeRead, false, nullptr, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
      {"create in a missing folder", "nowhere/new", CFile::modeCreate | CFile::modeWrite, false, nullptr,
       CFileException::fileNotFound, ERROR_PATH_NOT_FOUND},
      {"open a folder", "dir", CFile::modeRead, false, "-", CFileException::accessDenied, ERROR_ACCESS_DENIED},
  };
  for (const Case& c : cases) {
    folder.Write("old", "old data");
    std::filesystem::remove(folder.Native("new"));
    CFile file;
    CFileException error;
    EXPECT_EQ(file.Open(folder.Wide(c.name), c.flags, &error), c.opens ? TRUE : FALSE) << c.what;
    if (c.opens) {
      EXPECT_NE(file.m_hFile, CFile::hFileNull) << c.what;
      EXPECT_TRUE(::fcntl(file.m_hFile, F_GETFD) & FD_CLOEXEC) << c.what;
      file.Close();
    } else {
      EXPECT_EQ(file.m_hFile, CFile::hFileNull) << c.what;
      EXPECT_EQ(error.m_cause, c.cause) << c.what;
      EXPECT_EQ(GetLastError(), c.lastError) << c.what;
      EXPECT_EQ(error.m_strFileName, folder.Wide(c.name)) << c.what;
    }
    if (!c.contentAfter) {
      EXPECT_FALSE(folder.Exists(c.name)) << c.what;
    } else if (std::string(c.contentAfter) != "-") {
      EXPECT_EQ(folder.Read(c.name), c.contentAfter) << c.what;
    }
  }
}

TEST(CFile, ConstructorThrowsWhenTheFileCannotOpen) {
  TestFolder folder;
  const auto [cause, osError] = Thrown([&] { CFile file(folder.Wide("missing"), CFile::modeRead); });
  EXPECT_EQ(cause, CFileException::fileNotFound);
  EXPECT_EQ(osError, ENOENT);
}

TEST(CFile, ReadStopsShortAtTheEndOfTheFile) {
  TestFolder folder;
  folder.Write("ten", "0123456789");
  CFile file(folder.Wide("ten"), CFile::modeRead);
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file.Read(buffer, 16), 6u);  // the six bytes that were there are consumed
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(file.Read(buffer, 16), 0u);
  EXPECT_EQ(file.GetPosition(), 10u);
  EXPECT_EQ(file.Read(buffer, 0), 0u);
}

TEST(CFile, WriteSeekAndLength) {
  TestFolder folder;
  CFile file(folder.Wide("data"), CFile::modeCreate | CFile::modeReadWrite);
  file.Write("abcdef", 6);
  EXPECT_EQ(file.GetLength(), 6u);
  EXPECT_EQ(file.Seek(-2, CFile::end), 4u);
  file.Write("XY", 2);
  EXPECT_EQ(file.Seek(1, CFile::begin), 1u);
  EXPECT_EQ(file.Seek(2, CFile::current), 3u);
  file.SetLength(8);  // grows with zero bytes
  file.SeekToBegin();
  char buffer[8];
  EXPECT_EQ(file.Read(buffer, 8), 8u);
  EXPECT_EQ(std::string(buffer, 8), std::string("abcdXY\0\0", 8));
  file.SetLength(3);
  EXPECT_EQ(file.SeekToEnd(), 3u);
  EXPECT_EQ(Thrown([&] { file.Seek(-10, CFile::begin); }).first, CFileException::badSeek);
  file.Flush();
  file.Close();
  EXPECT_EQ(folder.Read("data"), "abc");
}

TEST(CFile, FailuresOfAnOpenFileAreThrown) {
  CFile full(u"/dev/full", CFile::modeWrite);
  EXPECT_EQ(Thrown([&] { full.Write("x", 1); }), std::make_pair(int(CFileException::diskFull), LONG(ENOSPC)));

  TestFolder folder;
  folder.Write("small", "12");
  CFile readOnly(folder.Wide("small"), CFile::modeRead);
  EXPECT_EQ(Thrown([&] { readOnly.Write("x", 1); }).first, CFileException::invalidFile);

  CFile closed;
  char byte;
  EXPECT_EQ(Thrown([&] { closed.Read(&byte, 1); }).first, CFileException::invalidFile);
  closed.Close();  // closing a closed file is harmless
  closed.Abort();
}

TEST(CFile, NewFilesFollowTheUmask) {
  TestFolder folder;
  const mode_t old = ::umask(027);
  {
    CFile file(folder.Wide("masked"), CFile::modeCreate | CFile::modeWrite);
  }
  ::umask(old);
  struct stat st;
  ASSERT_EQ(::stat(folder.Native("masked").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(CFile, NamesComeFromTheFileOnDisk) {
  TestFolder folder;
  folder.Write("Report.Final.TXT", "x");
  CFile file(folder.Wide("report.final.txt"), CFile::modeRead);
  EXPECT_EQ(file.GetFilePath(), folder.Wide("Report.Final.TXT"));
  EXPECT_EQ(file.GetFileName(), CString(u"Report.Final.TXT"));
  EXPECT_EQ(file.GetFileTitle(), CString(u"Report.Final"));
  file.Close();
  EXPECT_EQ(file.GetFilePath(), CString());
}

TEST(CFile, Status) {
  TestFolder folder;
  folder.Write("five", "12345");
  folder.Write(".hidden", "");
  folder.MakeFolder("sub");
  ::chmod(folder.Native("five").c_str(), 0444);
  struct stat st;
  ::stat(folder.Native("five").c_str(), &st);

  struct Case {
    const char* name;
    ULONGLONG size;
    BYTE attribute;
  };
  const Case cases[] = {
      {"five", 5, CFile::readOnly},
      {".hidden", 0, CFile::hidden},
      {"sub", 0, CFile::directory},
  };
  for (const Case& c : cases) {
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(folder.Wide(c.name), status)) << c.name;
    EXPECT_EQ(status.m_size, c.size) << c.name;
    EXPECT_EQ(status.m_attribute, c.attribute) << c.name;
    EXPECT_EQ(status.m_szFullName, folder.Wide(c.name)) << c.name;
  }
  CFileStatus status;
  EXPECT_FALSE(CFile::GetStatus(folder.Wide("missing"), status));

  CFile file(folder.Wide("FIVE"), CFile::modeRead);
  ASSERT_TRUE(file.GetStatus(status));
  EXPECT_EQ(status.m_size, 5u);
  EXPECT_EQ(status.m_mtime, st.st_mtim.tv_sec);
  EXPECT_EQ(status.m_attribute, CFile::readOnly);
}

TEST(CFile, RemoveAndRename) {
  TestFolder folder;
  folder.Write("a", "A");
  folder.Write("b", "B");
  EXPECT_EQ(Thrown([&] { CFile::Rename(folder.Wide("a"), folder.Wide("b")); }).second, EEXIST);
  EXPECT_EQ(folder.Read("b"), "B");
  EXPECT_EQ(Thrown([&] { CFile::Rename(folder.Wide("a"), folder.Wide("c")); }).first, -1);
  EXPECT_EQ(folder.Read("c"), "A");
  EXPECT_EQ(Thrown([&] { CFile::Remove(folder.Wide("C")); }).first, -1);
  EXPECT_FALSE(folder.Exists("c"));
  EXPECT_EQ(Thrown([&] { CFile::Remove(folder.Wide("c")); }).first, CFileException::fileNotFound);
}
