#include "platform/core/CAtomicFile.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>

namespace {

// Writes `text` through `file`; FALSE when a write throws.
BOOL WriteAll(CFile& file, const std::string& text) {
  try {
    file.Write(text.data(), static_cast<UINT>(text.size()));
    return TRUE;
  } catch (CFileException* e) {
    e->Delete();
    return FALSE;
  }
}

}  // namespace

TEST(CAtomicFile, CommitReplacesTheTargetWhole) {
  TestFolder folder;
  folder.Write("settings.dps", "old settings");
  CAtomicFile file;
  ASSERT_TRUE(file.Open(folder.Wide("settings.dps")));
  EXPECT_EQ(file.GetFilePath(), folder.Wide("settings.dps"));
  ASSERT_TRUE(WriteAll(file, "new"));
  EXPECT_EQ(folder.Read("settings.dps"), "old settings");  // readers see the old file until the commit
  EXPECT_EQ(folder.Names().size(), 2u);
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(folder.Read("settings.dps"), "new");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"settings.dps"}));
  EXPECT_EQ(file.m_hFile, CFile::hFileNull);
}

TEST(CAtomicFile, WithoutCommitOnlyTheTemporaryFileGoes) {
  struct Case {
    const char* what;
    void (*finish)(CAtomicFile&);
  };
  const Case cases[] = {
      {"Abort", [](CAtomicFile& file) { file.Abort(); }},
      {"destruction", [](CAtomicFile&) {}},
      {"Open again", [](CAtomicFile& file) { file.Open(nullptr); }},
  };
  for (const Case& c : cases) {
    TestFolder folder;
    folder.Write("index.dat", "old index");
    {
      CAtomicFile file;
      ASSERT_TRUE(file.Open(folder.Wide("index.dat")));
      WriteAll(file, "half a new ind");
      c.finish(file);
    }
    EXPECT_EQ(folder.Read("index.dat"), "old index") << c.what;
    EXPECT_EQ(folder.Names(), std::set<std::string>({"index.dat"})) << c.what;
  }
}

TEST(CAtomicFile, AFailedWriteFailsTheCommitAndKeepsTheOldFile) {
  TestFolder folder;
  folder.Write("store.bin", "old store");
  CAtomicFile file;
  ASSERT_TRUE(file.Open(folder.Wide("store.bin")));
  {
    FileSizeLimit limit(4);
    EXPECT_FALSE(WriteAll(file, "more than four bytes"));
  }
  CFileException error;
  EXPECT_FALSE(file.Commit(&error));
  EXPECT_EQ(error.m_cause, CFileException::diskFull);
  EXPECT_EQ(error.m_lOsError, EFBIG);
  EXPECT_EQ(error.m_strFileName, folder.Wide("store.bin"));
  EXPECT_EQ(folder.Read("store.bin"), "old store");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"store.bin"}));
}

TEST(CAtomicFile, AFailedRenameFailsTheCommit) {
  TestFolder folder;
  folder.MakeFolder("target");
  folder.Write("target/keep", "kept");
  CAtomicFile file;
  ASSERT_TRUE(file.Open(folder.Wide("target")));
  WriteAll(file, "data");
  CFileException error;
  EXPECT_FALSE(file.Commit(&error));
  EXPECT_NE(error.m_lOsError, 0);
  EXPECT_EQ(folder.Read("target/keep"), "kept");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"target"}));
}

TEST(CAtomicFile, CloseCommitsAndThrowsWhenItCannot) {
  TestFolder folder;
  folder.Write("a", "old a");
  {
    CAtomicFile file;
    ASSERT_TRUE(file.Open(folder.Wide("a")));
    WriteAll(file, "new a");
    CFile& plain = file;  // code written for a CFile
    plain.Close();
  }
  EXPECT_EQ(folder.Read("a"), "new a");

  CAtomicFile file;
  ASSERT_TRUE(file.Open(folder.Wide("a")));
  {
    FileSizeLimit limit(2);
    WriteAll(file, "too long");
  }
  bool thrown = false;
  try {
    file.Close();
  } catch (CFileException* e) {
    thrown = true;
    e->Delete();
  }
  EXPECT_TRUE(thrown);
  EXPECT_EQ(folder.Read("a"), "new a");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"a"}));
}

TEST(CAtomicFile, TargetsAreResolvedAndKeepTheirPermissions) {
  TestFolder folder;
  folder.Write("Profile.DPS", "old");
  ::chmod(folder.Native("Profile.DPS").c_str(), 0600);
  CAtomicFile file;
  ASSERT_TRUE(file.Open(folder.Wide("profile.dps")));
  WriteAll(file, "new");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(folder.Names(), std::set<std::string>({"Profile.DPS"}));
  EXPECT_EQ(folder.Read("Profile.DPS"), "new");
  struct stat st;
  ::stat(folder.Native("Profile.DPS").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// A read-only file is not replaced: Open fails with "access denied" and leaves it alone.
TEST(CAtomicFile, AReadOnlyTargetIsRefused) {
  TestFolder folder;
  folder.Write("locked.dps", "kept");
  ::chmod(folder.Native("locked.dps").c_str(), 0444);
  CAtomicFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(folder.Wide("locked.dps"), CFile::modeWrite, &error));
  EXPECT_EQ(error.m_lOsError, EACCES);
  EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
  EXPECT_EQ(folder.Read("locked.dps"), "kept");
  EXPECT_EQ(folder.Names(), std::set<std::string>({"locked.dps"}));
}

// Temporary files that killed writers of a target left behind go with the next replacement of
// that target; those of a writer still at work, and those of other targets, stay.
TEST(CAtomicFile, LeftoversOfKilledWritersAreRemovedByTheNextWriter) {
  TestFolder folder;
  folder.Write("index.dat", "old");
  folder.Write(".index.dat.0000BEEF.tmp", "left by a killed writer");
  folder.Write(".index.dat.notmine.tmp", "not a temporary name");
  folder.Write(".other.dat.0000BEEF.tmp", "another target's");
  CAtomicFile working;
  ASSERT_TRUE(working.Open(folder.Wide("index.dat")));
  CAtomicFile next;
  ASSERT_TRUE(next.Open(folder.Wide("index.dat")));
  ASSERT_TRUE(WriteAll(next, "new"));
  ASSERT_TRUE(next.Commit());
  EXPECT_EQ(folder.Read("index.dat"), "new");
  const std::set<std::string> names = folder.Names();
  EXPECT_EQ(names.count(".index.dat.0000BEEF.tmp"), 0u);
  EXPECT_EQ(names.count(".index.dat.notmine.tmp"), 1u);
  EXPECT_EQ(names.count(".other.dat.0000BEEF.tmp"), 1u);
  EXPECT_EQ(names.size(), 4u) << "the working writer's file stays";
  ASSERT_TRUE(WriteAll(working, "newer"));
  EXPECT_TRUE(working.Commit());
  EXPECT_EQ(folder.Read("index.dat"), "newer");
}

TEST(CAtomicFile, OpenFailsInAMissingFolder) {
  TestFolder folder;
  CAtomicFile file;
  CFileException error;
  EXPECT_FALSE(file.Open(folder.Wide("missing/file"), CFile::modeWrite, &error));
  EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(error.m_lOsError, ENOENT);
  EXPECT_FALSE(file.Commit());
  EXPECT_TRUE(folder.Names().empty());
}
