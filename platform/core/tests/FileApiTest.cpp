#include "platform/core/CFileFind.h"
#include "platform/core/fileapi.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <regex>
#include <vector>

namespace {

std::string Utf8(const CString& text) { return text.ToUtf8(); }

// The names a search answers, in its order; "!<error>" when it fails.
std::vector<std::string> Search(const CString& pattern) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(pattern, &data);
  if (find == INVALID_HANDLE_VALUE) return {"!" + std::to_string(GetLastError())};
  std::vector<std::string> names;
  do {
    names.push_back(Utf8(data.cFileName));
  } while (FindNextFileW(find, &data));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(find));
  return names;
}

// A folder with names that differ in case, extension and kind.
void MakeListingFixture(const TestFolder& folder) {
  for (const char* name : {"a.txt", "B.TXT", "c.Txt.bak", "d", "e.tif", ".hidden", "\xc3\xa4rger.TXT", "_under"})
    folder.Write(name, name);
  folder.MakeFolder("Sub");
}

}  // namespace

TEST(FindFirstFile, PatternsAndOrder) {
  TestFolder folder;
  MakeListingFixture(folder);
  using Names = std::vector<std::string>;
  const Names all = {".", "..", ".hidden", "_under", "a.txt", "B.TXT", "c.Txt.bak", "d", "e.tif", "Sub", "\xc3\xa4rger.TXT"};
  struct Case {
    const char* pattern;
    Names expected;
  };
  const Case cases[] = {
      {"*", all},
      {"*.*", all},
      {"*.txt", {"a.txt", "B.TXT", "\xc3\xa4rger.TXT"}},
      {"*.TXT*", {"a.txt", "B.TXT", "c.Txt.bak", "\xc3\xa4rger.TXT"}},
      {"?.tif", {"e.tif"}},
      {"?", {".", "d"}},
      {"d.*", {"d"}},  // "name.*" also finds the name without an extension
      {"b.txt", {"B.TXT"}},
      {"SUB", {"Sub"}},
      {"\xc3\x84RGER.txt", {"\xc3\xa4rger.TXT"}},
      {"*.jpg", {"!" + std::to_string(ERROR_FILE_NOT_FOUND)}},
      {"nothing", {"!" + std::to_string(ERROR_FILE_NOT_FOUND)}},
      {"missing/*", {"!" + std::to_string(ERROR_PATH_NOT_FOUND)}},
  };
  for (const Case& c : cases) EXPECT_EQ(Search(folder.Wide(c.pattern)), c.expected) << c.pattern;
  EXPECT_EQ(Search(folder.Wide("SUB\\*")), Names({".", ".."}));
}

TEST(FindFirstFile, HandlesAreChecked) {
  WIN32_FIND_DATAW data;
  int local = 0;
  EXPECT_FALSE(FindNextFileW(&local, &data));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(FindClose(&local));
  TestFolder folder;
  folder.Write("x", "");
  HANDLE find = FindFirstFileW(folder.Wide("x"), &data);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(FindClose(find));
  EXPECT_FALSE(FindClose(find));
}

TEST(CFileFind, WalksAFolder) {
  TestFolder folder;
  MakeListingFixture(folder);
  ::chmod(folder.Native("d").c_str(), 0444);
  ::symlink(folder.Native("Sub").c_str(), folder.Native("link").c_str());

  CFileFind find;
  BOOL more = find.FindFile(folder.Wide("*.*"));
  ASSERT_TRUE(more);
  EXPECT_EQ(find.GetFileName(), CString());  // nothing is current before FindNextFile
  std::vector<std::string> seen;
  while (more) {
    more = find.FindNextFile();
    EXPECT_EQ(find.GetRoot(), folder.Wide() + u"/");
    EXPECT_EQ(find.GetFilePath(), find.GetRoot() + find.GetFileName());
    std::string flags;
    if (find.IsDots()) flags += "dots ";
    if (find.IsDirectory()) flags += "dir ";
    if (find.IsSymbolicLink()) flags += "link ";
    if (find.IsReadOnly()) flags += "ro ";
    if (find.IsHidden()) flags += "hidden ";
    seen.push_back(Utf8(find.GetFileName()) + ": " + flags + std::to_string(find.GetLength()) + " " + Utf8(find.GetFileTitle()));
  }
  const std::vector<std::string> expected = {
      ".: dots dir 0 .",
      "..: dots dir 0 ..",
      ".hidden: hidden 7 .hidden",
      "_under: 6 _under",
      "a.txt: 5 a",
      "B.TXT: 5 B",
      "c.Txt.bak: 9 c.Txt",
      "d: ro 1 d",
      "e.tif: 5 e",
      "link: dir link 0 link",
      "Sub: dir 0 Sub",
      "\xc3\xa4rger.TXT: 10 \xc3\xa4rger",
  };
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(find.FindNextFile());

  EXPECT_FALSE(find.FindFile(folder.Wide("*.none")));
  EXPECT_FALSE(find.FindNextFile());
}

TEST(FileAttributes, FromModeNameAndKind) {
  TestFolder folder;
  folder.Write("plain", "");
  folder.Write("locked", "");
  ::chmod(folder.Native("locked").c_str(), 0444);
  folder.Write(".profile", "");
  folder.MakeFolder("dir");
  ::symlink(folder.Native("dir").c_str(), folder.Native("dirlink").c_str());
  ::symlink(folder.Native("plain").c_str(), folder.Native("filelink").c_str());
  ::symlink(folder.Native("gone").c_str(), folder.Native("dangling").c_str());
  struct Case {
    const char* name;
    DWORD attributes;
    DWORD lastError;
  };
  const Case cases[] = {
      {"plain", FILE_ATTRIBUTE_NORMAL, ERROR_SUCCESS},
      {"locked", FILE_ATTRIBUTE_READONLY, ERROR_SUCCESS},
      {".profile", FILE_ATTRIBUTE_HIDDEN, ERROR_SUCCESS},
      {"dir", FILE_ATTRIBUTE_DIRECTORY, ERROR_SUCCESS},
      {"DIR/", FILE_ATTRIBUTE_DIRECTORY, ERROR_SUCCESS},
      {"dirlink", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT, ERROR_SUCCESS},
      {"filelink", FILE_ATTRIBUTE_REPARSE_POINT, ERROR_SUCCESS},
      {"dangling", FILE_ATTRIBUTE_REPARSE_POINT, ERROR_SUCCESS},
      {"missing", INVALID_FILE_ATTRIBUTES, ERROR_FILE_NOT_FOUND},
      {"missing/deeper", INVALID_FILE_ATTRIBUTES, ERROR_PATH_NOT_FOUND},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(GetFileAttributesW(folder.Wide(c.name)), c.attributes) << c.name;
    EXPECT_EQ(GetLastError(), c.lastError) << c.name;
  }
  EXPECT_TRUE(SetFileAttributesW(folder.Wide("plain"), FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributesW(folder.Wide("plain")), DWORD(FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(SetFileAttributesW(folder.Wide("PLAIN"), FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesW(folder.Wide("plain")), DWORD(FILE_ATTRIBUTE_NORMAL));
  EXPECT_FALSE(SetFileAttributesW(folder.Wide("missing"), FILE_ATTRIBUTE_NORMAL));
}

TEST(Folders, CreateRemoveAndDelete) {
  TestFolder folder;
  folder.MakeFolder("full");
  folder.Write("full/file", "x");
  folder.MakeFolder("target");
  folder.Write("target/keep", "kept");
  ::symlink(folder.Native("target").c_str(), folder.Native("link").c_str());
  struct Case {
    const char* what;
    BOOL (*call)(LPCWSTR);
    const char* name;
    bool succeeds;
    DWORD lastError;
  };
  const auto create = [](LPCWSTR path) { return CreateDirectoryW(path, nullptr); };
  const Case cases[] = {
      {"create", create, "new", true, ERROR_SUCCESS},
      {"create existing in other case", create, "NEW", false, ERROR_ALREADY_EXISTS},
      {"create below a missing folder", create, "none/new", false, ERROR_PATH_NOT_FOUND},
      {"remove a full folder", RemoveDirectoryW, "full", false, ERROR_DIR_NOT_EMPTY},
      {"remove a file", RemoveDirectoryW, "full/file", false, ERROR_DIRECTORY},
      {"remove a missing folder", RemoveDirectoryW, "none", false, ERROR_FILE_NOT_FOUND},
      {"delete a folder", DeleteFileW, "full", false, ERROR_ACCESS_DENIED},
      {"delete a missing file", DeleteFileW, "full/none", false, ERROR_FILE_NOT_FOUND},
      {"delete a file", DeleteFileW, "FULL/FILE", true, ERROR_SUCCESS},
      {"remove an empty folder", RemoveDirectoryW, "Full", true, ERROR_SUCCESS},
      {"remove a link to a folder", RemoveDirectoryW, "link", true, ERROR_SUCCESS},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.call(folder.Wide(c.name)), c.succeeds ? TRUE : FALSE) << c.what;
    EXPECT_EQ(GetLastError(), c.lastError) << c.what;
  }
  EXPECT_EQ(folder.Names(), std::set<std::string>({"new", "target"}));
  EXPECT_EQ(folder.Read("target/keep"), "kept");  // removing the link left what it led to
}

TEST(CopyFile, CopiesBytesAndTimeAndNeverLeavesHalfAFile) {
  TestFolder folder;
  folder.Write("source", "source bytes");
  struct timespec times[2] = {{1000000000, 0}, {1200000000, 500000000}};
  ::utimensat(AT_FDCWD, folder.Native("source").c_str(), times, 0);
  folder.MakeFolder("dir");
  struct Case {
    const char* what;
    const char* source;
    const char* target;
    BOOL failIfExists;
    bool succeeds;
    DWORD lastError;
    const char* targetAfter;
  };
  const Case cases[] = {
      {"to a new file", "source", "copy", TRUE, true, ERROR_SUCCESS, "source bytes"},
      {"onto a file, refusing", "source", "old", TRUE, false, ERROR_FILE_EXISTS, "old bytes"},
      {"onto a file in other case, refusing", "source", "OLD", TRUE, false, ERROR_FILE_EXISTS, "old bytes"},
      {"onto a file, replacing", "SOURCE", "old", FALSE, true, ERROR_SUCCESS, "source bytes"},
      {"from a missing file", "none", "old", FALSE, false, ERROR_FILE_NOT_FOUND, "old bytes"},
      {"into a missing folder", "source", "none/copy", FALSE, false, ERROR_PATH_NOT_FOUND, nullptr},
      {"from a folder", "dir", "old", FALSE, false, ERROR_ACCESS_DENIED, "old bytes"},
  };
  for (const Case& c : cases) {
    folder.Write("old", "old bytes");
    EXPECT_EQ(CopyFileW(folder.Wide(c.source), folder.Wide(c.target), c.failIfExists), c.succeeds ? TRUE : FALSE) << c.what;
    EXPECT_EQ(GetLastError(), c.lastError) << c.what;
    if (c.targetAfter) {
      std::ifstream in(ResolvePath(folder.Wide(c.target)));
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.targetAfter) << c.what;
    }
  }
  struct stat st;
  ::stat(folder.Native("copy").c_str(), &st);
  EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
  EXPECT_EQ(st.st_mtim.tv_nsec, 500000000);

  folder.Write("old", "old bytes");
  {
    FileSizeLimit limit(4);
    EXPECT_FALSE(CopyFileW(folder.Wide("source"), folder.Wide("old"), FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
  }
  EXPECT_EQ(folder.Read("old"), "old bytes");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"copy", "dir", "old", "source"}));
}

TEST(MoveFile, RenamesReplacesAndRefuses) {
  TestFolder folder;
  struct Case {
    const char* what;
    const char* source;
    const char* target;
    DWORD flags;
    bool succeeds;
    DWORD lastError;
    std::set<std::string> namesAfter;
  };
  const Case cases[] = {
      {"rename", "a", "moved", 0, true, ERROR_SUCCESS, {"moved", "b", "dir1", "dir2"}},
      {"onto a file", "a", "b", 0, false, ERROR_ALREADY_EXISTS, {"a", "b", "dir1", "dir2"}},
      {"onto a file in other case", "a", "B", MOVEFILE_COPY_ALLOWED, false, ERROR_ALREADY_EXISTS, {"a", "b", "dir1", "dir2"}},
      {"replacing a file", "a", "B", MOVEFILE_REPLACE_EXISTING, true, ERROR_SUCCESS, {"b", "dir1", "dir2"}},
      {"a change of case", "a", "A", 0, true, ERROR_SUCCESS, {"A", "b", "dir1", "dir2"}},
      {"a folder", "dir1", "dir3", 0, true, ERROR_SUCCESS, {"a", "b", "dir3", "dir2"}},
      {"a folder onto a folder", "dir1", "dir2", MOVEFILE_REPLACE_EXISTING, false, ERROR_ACCESS_DENIED, {"a", "b", "dir1", "dir2"}},
      {"a file onto a folder", "a", "dir2", MOVEFILE_REPLACE_EXISTING, false, ERROR_ACCESS_DENIED, {"a", "b", "dir1", "dir2"}},
      {"a missing file", "none", "c", 0, false, ERROR_FILE_NOT_FOUND, {"a", "b", "dir1", "dir2"}},
      {"into a missing folder", "a", "none/c", 0, false, ERROR_PATH_NOT_FOUND, {"a", "b", "dir1", "dir2"}},
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(folder.Native());
    std::filesystem::create_directory(folder.Native());
    folder.Write("a", "A");
    folder.Write("b", "B");
    folder.MakeFolder("dir1");
    folder.MakeFolder("dir2");
    EXPECT_EQ(MoveFileExW(folder.Wide(c.source), folder.Wide(c.target), c.flags), c.succeeds ? TRUE : FALSE) << c.what;
    EXPECT_EQ(GetLastError(), c.lastError) << c.what;
    EXPECT_EQ(folder.Names(), c.namesAfter) << c.what;
  }
}

TEST(MoveFile, AcrossFileSystemsOnlyWhenCopyingIsAllowed) {
  TestFolder here;
  const char* elsewhere = "/dev/shm";
  struct stat a, b;
  if (::stat(elsewhere, &b) != 0 || ::stat(here.Native().c_str(), &a) != 0 || a.st_dev == b.st_dev)
    GTEST_SKIP() << "no second file system at hand";
  const std::string target = std::string(elsewhere) + "/qvcore-move-" + std::to_string(::getpid());
  here.Write("file", "travels");
  EXPECT_FALSE(MoveFileExW(here.Wide("file"), PathFromNative(target), 0));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SAME_DEVICE));
  EXPECT_TRUE(MoveFileW(here.Wide("file"), PathFromNative(target)));
  EXPECT_FALSE(here.Exists("file"));
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "travels");
  ::unlink(target.c_str());
  here.MakeFolder("dir");
  EXPECT_FALSE(MoveFileW(here.Wide("dir"), PathFromNative(target)));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SAME_DEVICE));
}

TEST(TempFiles, PathAndUniqueNames) {
  TestFolder folder;
  WCHAR buffer[MAX_PATH];
  {
    ScopedEnvironment tmpdir("TMPDIR", folder.Native().c_str());
    const DWORD length = GetTempPathW(MAX_PATH, buffer);
    EXPECT_EQ(CString(buffer), folder.Wide() + u"/");
    EXPECT_EQ(length, DWORD(folder.Wide().GetLength() + 1));
    EXPECT_EQ(GetTempPathW(length, buffer), length + 1);  // no room for the terminator
  }
  {
    ScopedEnvironment tmpdir("TMPDIR", nullptr);
    EXPECT_EQ(GetTempPathW(MAX_PATH, buffer), 5u);
    EXPECT_EQ(CString(buffer), CString(u"/tmp/"));
  }

  const std::regex name("dp[0-9A-F]{8}\\.tmp");
  WCHAR first[MAX_PATH], second[MAX_PATH];
  const UINT number = GetTempFileNameW(folder.Wide(), u"dp", 0, first);
  ASSERT_NE(number, 0u);
  ASSERT_NE(GetTempFileNameW(folder.Wide() + u"/", u"dp", 0, second), 0u);
  EXPECT_NE(CString(first), CString(second));
  for (const auto& file : folder.Names()) {
    EXPECT_TRUE(std::regex_match(file, name)) << file;
    struct stat st;
    ::stat(folder.Native(file).c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(st.st_size, 0);
  }
  char digits[9];
  std::snprintf(digits, sizeof digits, "%08X", number);
  EXPECT_EQ(CString(first), folder.Wide("dp" + std::string(digits) + ".tmp"));

  EXPECT_EQ(GetTempFileNameW(folder.Wide(), u"abcdef", 0x12A, first), 0x12Au);
  EXPECT_EQ(CString(first), folder.Wide("abc012A.tmp"));
  EXPECT_FALSE(folder.Exists("abc012A.tmp"));  // a given number only forms the name
  EXPECT_EQ(GetTempFileNameW(folder.Wide("missing"), u"dp", 0, first), 0u);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

TEST(FullPaths, WorkedOutWithoutTheDisk) {
  char cwd[4096];
  ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
  const CString current = PathFromNative(cwd);
  struct Case {
    const char16_t* path;
    CString full;
    const char16_t* filePart;
  };
  const Case cases[] = {
      {u"/a/b/../c", u"/a/c", u"c"},
      {u"/a/./b/", u"/a/b/", nullptr},
      {u"\\x\\y.txt", u"/x/y.txt", u"y.txt"},
      {u"/..", u"/", nullptr},
      {u"rel/name", current + u"/rel/name", u"name"},
  };
  for (const Case& c : cases) {
    WCHAR buffer[4096];
    LPWSTR filePart = nullptr;
    EXPECT_EQ(GetFullPathNameW(c.path, 4096, buffer, &filePart), DWORD(c.full.GetLength())) << CString(c.path);
    EXPECT_EQ(CString(buffer), c.full) << CString(c.path);
    EXPECT_EQ(filePart ? CString(filePart) : CString(u"(none)"), CString(c.filePart ? c.filePart : u"(none)")) << CString(c.path);
  }
  WCHAR small[3];
  EXPECT_EQ(GetFullPathNameW(u"/abc", 3, small, nullptr), 5u);
  EXPECT_EQ(GetFullPathNameW(u"", 3, small, nullptr), 0u);

  WCHAR buffer[4096];
  EXPECT_EQ(GetCurrentDirectoryW(4096, buffer), DWORD(current.GetLength()));
  EXPECT_EQ(CString(buffer), current);
  EXPECT_EQ(GetCurrentDirectoryW(0, nullptr), DWORD(current.GetLength() + 1));
}
