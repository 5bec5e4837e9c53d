#include "foundation/util/DPXPath.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <string>

TEST(DPXPath, SplitsPaths) {
  struct Case {
    const char16_t* path;
    const char* folder;
    const char* title;
    const char* extension;
  };
  const Case cases[] = {
      {u"/data/batch/index.dat", "/data/batch/", "index", ".dat"},
      {u"DOC_CD\\Database\\index.dat", "DOC_CD\\Database\\", "index", ".dat"},
      {u"archive.tar.gz", "", "archive.tar", ".gz"},
      {u"/data/.profile", "/data/", "", ".profile"},
      {u"/data/folder.d/name", "/data/folder.d/", "name", ""},
      {u"/data/", "/data/", "", ""},
      {u"  /a b/ c .txt  ", "/a b/", "c", ".txt"},
      {u"", "", "", ""},
      {nullptr, "", "", ""},
  };
  for (const Case& c : cases) {
    CString drive = u"x", folder = u"x", title = u"x", extension = u"x";
    DPXSplitPath(c.path, drive, folder, title, extension);
    const std::string what = c.path ? CString(c.path).ToUtf8() : "(null)";
    EXPECT_TRUE(drive.IsEmpty()) << what;
    EXPECT_EQ(folder.ToUtf8(), c.folder) << what;
    EXPECT_EQ(title.ToUtf8(), c.title) << what;
    EXPECT_EQ(extension.ToUtf8(), c.extension) << what;
  }
}

TEST(DPXPath, DoesFolderArithmetic) {
  struct Case {
    const char16_t* path;
    const char* appended;
    const char* folderOf;
    const char* fileName;
    const char* parent;
  };
  const Case cases[] = {
      {u"/a/b", "/a/b/", "/a/", "b", "/a/"},
      {u"/a/b/", "/a/b/", "/a/b/", "", "/a/"},
      {u"/a", "/a/", "/", "a", "/"},
      {u"/", "/", "/", "", ""},
      {u"abc", "abc/", "", "abc", ""},
      {u"\\\\srv\\share\\dir", "\\\\srv\\share\\dir/", "\\\\srv\\share\\", "dir", "\\\\srv\\share\\"},
      {u"C:\\a\\b\\", "C:\\a\\b\\", "C:\\a\\b\\", "", "C:\\a\\"},
      {u"C:\\", "C:\\", "C:\\", "", ""},
      {u"/mnt/c:x/", "/mnt/c:x/", "/mnt/c:x/", "", "/mnt/"},
      {u"  /a/b.txt  ", "/a/b.txt/", "/a/", "b.txt", "/a/"},
      {u"   ", "", "", "", ""},
  };
  for (const Case& c : cases) {
    const std::string what = CString(c.path).ToUtf8();
    CString text = c.path;
    DPXAppendBackslash(text);
    EXPECT_EQ(text.ToUtf8(), c.appended) << "append: " << what;
    DPXGetFolderOfPath(c.path, text);
    EXPECT_EQ(text.ToUtf8(), c.folderOf) << "folder of: " << what;
    DPXGetFileNameOfPath(c.path, text);
    EXPECT_EQ(text.ToUtf8(), c.fileName) << "file name of: " << what;
    DPXGetParentFolder(c.path, text);
    EXPECT_EQ(text.ToUtf8(), c.parent) << "parent of: " << what;
  }
}

TEST(DPXPath, FindsTheTemporaryAndModuleFolders) {
  {
    ScopedEnvironment tmp("TMPDIR", "/var/tmp");
    CString path;
    DPXGetTempPath(path);
    EXPECT_EQ(path, u"/var/tmp/");
  }
  {
    ScopedEnvironment tmp("TMPDIR", nullptr);
    CString path;
    DPXGetTempPath(path);
    EXPECT_EQ(path, u"/tmp/");
  }
  // The program's own file, however long its path.
  const std::string exe = std::filesystem::canonical("/proc/self/exe").string();
  CString path, folder;
  DPXGetModuleFilePath(nullptr, path);
  EXPECT_EQ(path.ToUtf8(), exe);
  DPXGetModuleFolder(nullptr, folder);
  EXPECT_EQ(folder.ToUtf8(), exe.substr(0, exe.rfind('/') + 1));
  DPXGetModuleFilePath(reinterpret_cast<HMODULE>(&folder), path);
  EXPECT_TRUE(path.IsEmpty()) << "not a module";
  DPXGetModuleFolder(reinterpret_cast<HMODULE>(&folder), folder);
  EXPECT_TRUE(folder.IsEmpty());
}
