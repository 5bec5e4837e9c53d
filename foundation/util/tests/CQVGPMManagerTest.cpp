#include "foundation/util/CQVGPMManager.h"
#include "foundation/util/tests/ChildProcess.h"
#include "platform/core/tests/TestFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

CString Wide(const std::string& text) { return CString::FromUtf8(text); }

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteAll(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

// The names in a folder, sorted.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) names.insert(entry.path().filename().string());
  return names;
}

// A record whose hooks the test sets.
class Record : public CQVGPMIO {
public:
  std::function<BOOL(const std::string&, BOOL)> onOpen = [](const std::string&, BOOL) { return TRUE; };
  std::function<void(const std::string&, BOOL, BOOL)> onClose = [](const std::string&, BOOL, BOOL) {};
  int closes { 0 };

  std::string WorkingPath() const {
    CString path;
    GetWorkingPath(path);
    return path.ToUtf8();
  }

protected:
  BOOL OnOpen(LPCWSTR path, BOOL readOnly) override { return onOpen(CString(path).ToUtf8(), readOnly); }
  void OnClose(LPCWSTR path, BOOL readOnly, BOOL discard) override {
    ++closes;
    onClose(CString(path).ToUtf8(), readOnly, discard);
  }
};

class Store : public CQVGPMManager {
public:
  Store(int kind, const std::string& root, LPCWSTR extension = u"") : CQVGPMManager(kind) {
    SetRootDir(Wide(root));
    m_strExtension = extension;
  }
  std::string FullPath(LPCWSTR name) {
    CString path;
    return GetFullPath(name, path) ? path.ToUtf8() : "<invalid>";
  }
  std::string List() {
    std::string names;
    CString name;
    for (int i = 0; IDList_Get(i, name); ++i) names += name.ToUtf8() + " ";
    return names;
  }
};

// Every test gets its own temporary folder for working copies, so leftovers show.
class IdStore : public ::testing::Test {
protected:
  IdStore() {
    m_folder.MakeFolder("tmp");
    m_folder.MakeFolder("store");
  }
  std::string Root() const { return m_folder.Native("store"); }
  std::set<std::string> WorkingCopies() const { return m_folder.Names("tmp"); }

  TestFolder m_folder;
  ScopedEnvironment m_tmp { "TMPDIR", m_folder.Native("tmp").c_str() };
};

}  // namespace

TEST(IdNames, CheckID) {
  struct Case {
    LPCWSTR name;
    BOOL valid;
  };
  const Case cases[] = {
      {u"abc_1", TRUE},        {u"12345678901234567890", TRUE}, {u"123456789012345678901", FALSE},
      {u"  padded  ", TRUE},   {u"", FALSE},                    {u"   ", FALSE},
      {nullptr, FALSE},        {u"a.b", FALSE},                 {u"a-b", FALSE},
      {u"a+b", FALSE},         {u"a%b", FALSE},                 {u"a(b)", FALSE},
      {u"a[b]", FALSE},        {u"a{b}", FALSE},                {u"a/b", FALSE},
      {u"a\\b", FALSE},        {u"a:b", FALSE},                 {u"a*", FALSE},
      {u"a?", FALSE},          {u"a&b", FALSE},                 {u"a<b>", FALSE},
      {u"a|b", FALSE},         {u"a\"b", FALSE},                {u"a\tb", FALSE},
      {u"blank inside", TRUE}, {u"\u00dcberblick", TRUE},
  };
  CQVGPMManager store(CQVGPMManager::kindFile);
  for (const Case& c : cases) EXPECT_EQ(store.CheckID(c.name), c.valid) << CString(c.name);
  CString name(u"  Layout1 ");
  EXPECT_TRUE(store.NormalizeID(name));
  EXPECT_EQ(name, CString(u"Layout1"));
}

TEST_F(IdStore, EntriesAndLockFilesLieBesideEachOther) {
  Store folders(CQVGPMManager::kindFolder, Root());
  EXPECT_EQ(folders.FullPath(u" Layout1 "), Root() + "/Layout1") << "a root without a trailing separator";
  Store files(CQVGPMManager::kindFile, Root() + "/", u" lay ");
  EXPECT_EQ(files.FullPath(u"Layout1"), Root() + "/Layout1.lay");
  EXPECT_EQ(files.FullPath(u"a.b"), "<invalid>");

  ASSERT_TRUE(folders.Create(u"Layout1"));
  Record record;
  ASSERT_TRUE(folders.Open(u"Layout1", &record, FALSE));
  EXPECT_EQ(Names(Root()), (std::set<std::string>{"Layout1", "Layout1.lck"})) << "the writer holds Layout1.lck";
  EXPECT_TRUE(folders.Close(nullptr, &record));
  EXPECT_EQ(Names(Root()), std::set<std::string>{"Layout1"});
}

TEST_F(IdStore, CreateRefusesTakenNamesAndHeldLocks) {
  Store store(CQVGPMManager::kindFile, Root());
  ASSERT_TRUE(store.Create(u"Layout1"));
  EXPECT_TRUE(store.IDExist(u"Layout1"));
  EXPECT_EQ(ReadAll(Root() + "/Layout1"), "") << "a new entry is empty";
  EXPECT_FALSE(store.Create(u"Layout1"));
  EXPECT_FALSE(store.Create(u"layout1")) << "a name that differs only in case is taken";
  EXPECT_FALSE(store.Create(u"bad.name"));

  ChildProcess holder({"hold", Root() + "/Layout2", "2000"});
  ASSERT_EQ(holder.ReadLine(), "locked");
  EXPECT_FALSE(store.Create(u"Layout2")) << "another process holds the entry's lock";
  EXPECT_FALSE(store.Delete(u"Layout2"));
  EXPECT_FALSE(store.IDExist(u"Layout2"));

  CQVGPMManager unknown(3);
  unknown.SetRootDir(Wide(Root()));
  EXPECT_FALSE(unknown.Create(u"x"));
  EXPECT_FALSE(unknown.IDExist(u"Layout1"));
}

TEST_F(IdStore, WritersAreKeptOutAcrossProcessesAndCaseReadersAreNot) {
  Store store(CQVGPMManager::kindFile, Root());
  ASSERT_TRUE(store.Create(u"Layout1"));
  WriteAll(Root() + "/Layout1", "v1");
  ChildProcess holder({"hold", Root() + "/Layout1", "3000"});
  ASSERT_EQ(holder.ReadLine(), "locked");

  Record writer;
  EXPECT_FALSE(store.Open(u"Layout1", &writer, FALSE));
  EXPECT_FALSE(store.Open(u"LAYOUT1", &writer, FALSE)) << "another spelling of the entry takes the same lock";
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_TRUE(WorkingCopies().empty()) << "a refused open leaves no working copy";

  Record reader;
  std::string seen;
  reader.onOpen = [&](const std::string& path, BOOL readOnly) {
    seen = ReadAll(path);
    return readOnly;
  };
  ASSERT_TRUE(store.Open(u"layout1", &reader, TRUE)) << "readers take no lock";
  EXPECT_EQ(seen, "v1");
  BOOL readOnly = FALSE;
  EXPECT_TRUE(reader.IsOpen(readOnly));
  EXPECT_TRUE(readOnly);
  EXPECT_FALSE(store.Open(u"Layout1", &reader, TRUE)) << "an open record cannot be opened again";
  EXPECT_TRUE(store.Close(nullptr, &reader));
  EXPECT_TRUE(WorkingCopies().empty());
}

TEST_F(IdStore, ClosingAFileEntryReplacesItAndDiscardKeepsIt) {
  Store store(CQVGPMManager::kindFile, Root(), u"lay");
  ASSERT_TRUE(store.Create(u"Layout1"));
  Record record;
  record.onClose = [](const std::string& path, BOOL, BOOL discard) {
    if (!discard) WriteAll(path, "edited");
  };
  EXPECT_FALSE(store.Open(u"Missing", &record, FALSE)) << "a file entry that does not exist cannot be opened";
  EXPECT_TRUE(WorkingCopies().empty());

  ASSERT_TRUE(store.Open(u"Layout1", &record, FALSE));
  CString id;
  record.GetID(id);
  EXPECT_EQ(id, CString(u"Layout1"));
  const std::string working = record.WorkingPath();
  EXPECT_TRUE(fs::is_regular_file(working));
  EXPECT_TRUE(store.Close(u"Layout1", &record));
  EXPECT_EQ(ReadAll(Root() + "/Layout1.lay"), "edited");
  EXPECT_FALSE(fs::exists(working));
  record.GetID(id);
  EXPECT_TRUE(id.IsEmpty());
  EXPECT_EQ(record.WorkingPath(), "");

  ASSERT_TRUE(store.Open(u"Layout1", &record, FALSE));
  record.onClose = [](const std::string& path, BOOL, BOOL) { WriteAll(path, "thrown away"); };
  EXPECT_TRUE(store.Discard(u"Layout1", &record));
  EXPECT_EQ(ReadAll(Root() + "/Layout1.lay"), "edited");
  EXPECT_EQ(Names(Root()), std::set<std::string>{"Layout1.lay"});
  EXPECT_TRUE(WorkingCopies().empty());
  EXPECT_FALSE(store.Close(u"Layout1", &record)) << "closing a closed record fails";
  EXPECT_EQ(record.closes, 2) << "and runs no hook";
}

TEST_F(IdStore, CloseWritesOnlyIntoTheIdThatWasOpened) {
  Store store(CQVGPMManager::kindFile, Root());
  ASSERT_TRUE(store.Create(u"A"));
  ASSERT_TRUE(store.Create(u"B"));
  Record record;
  record.onClose = [](const std::string& path, BOOL, BOOL) { WriteAll(path, "new A"); };
  ASSERT_TRUE(store.Open(u"A", &record, FALSE));
  EXPECT_FALSE(store.Close(u"B", &record)) << "B's entry without B's lock";
  EXPECT_TRUE(record.IsOpen());
  EXPECT_EQ(ReadAll(Root() + "/B"), "");
  EXPECT_TRUE(store.Close(u"not.valid", &record)) << "an invalid name stands for the record's own ID";
  EXPECT_EQ(ReadAll(Root() + "/A"), "new A");

  ASSERT_TRUE(store.Open(u"A", &record, FALSE));
  EXPECT_TRUE(store.Close(u" a ", &record)) << "the same ID in another spelling";
}

TEST_F(IdStore, FailedCopyBackKeepsTheEntry) {
  struct Case {
    int kind;
    const char* what;
  };
  for (const Case& c : {Case{CQVGPMManager::kindFile, "file"}, Case{CQVGPMManager::kindFolder, "folder"}}) {
    const std::string root = Root() + "/" + c.what;
    fs::create_directory(root);
    Store store(c.kind, root);
    ASSERT_TRUE(store.Create(u"Entry")) << c.what;
    const std::string entry = root + "/Entry";
    const std::string data = c.kind == CQVGPMManager::kindFile ? entry : entry + "/data.txt";
    WriteAll(data, "precious");

    Record record;
    // The working copy vanishes before it can be copied back.
    record.onClose = [](const std::string& path, BOOL, BOOL) { fs::remove_all(path); };
    ASSERT_TRUE(store.Open(u"Entry", &record, FALSE)) << c.what;
    EXPECT_FALSE(store.Close(nullptr, &record)) << c.what;
    EXPECT_EQ(ReadAll(data), "precious") << c.what << ": the entry must survive a failed copy back";
    EXPECT_FALSE(record.IsOpen()) << c.what;
    EXPECT_EQ(Names(root), std::set<std::string>{"Entry"}) << c.what << ": lock released, nothing left over";
  }
  EXPECT_TRUE(WorkingCopies().empty());
}

TEST_F(IdStore, ClosingAFolderEntryReplacesItWhole) {
  Store store(CQVGPMManager::kindFolder, Root());
  ASSERT_TRUE(store.Create(u"Layout1"));
  WriteAll(Root() + "/Layout1/keep.txt", "kept");
  WriteAll(Root() + "/Layout1/gone.txt", "removed while editing");
  fs::create_directory(Root() + "/Layout1/sub");
  WriteAll(Root() + "/Layout1/sub/deep.txt", "deep");

  Record record;
  std::set<std::string> seen;
  record.onOpen = [&](const std::string& path, BOOL) {
    seen = Names(path);
    return TRUE;
  };
  record.onClose = [](const std::string& path, BOOL, BOOL) {
    fs::remove(path + "/gone.txt");
    WriteAll(path + "/new.txt", "added");
    WriteAll(path + "/sub/deep.txt", "changed");
  };
  ASSERT_TRUE(store.Open(u"Layout1", &record, FALSE));
  EXPECT_EQ(seen, (std::set<std::string>{"gone.txt", "keep.txt", "sub"}));
  ASSERT_TRUE(store.Close(nullptr, &record));
  EXPECT_EQ(Names(Root() + "/Layout1"), (std::set<std::string>{"keep.txt", "new.txt", "sub"}))
      << "a file removed from the working copy must not come back";
  EXPECT_EQ(ReadAll(Root() + "/Layout1/sub/deep.txt"), "changed");
  EXPECT_EQ(Names(Root()), std::set<std::string>{"Layout1"}) << "no staging or old folder left beside it";
  EXPECT_TRUE(WorkingCopies().empty());

  Record fresh;
  ASSERT_TRUE(store.Open(u"Never", &fresh, FALSE)) << "a folder entry that does not exist opens empty";
  EXPECT_TRUE(Names(fresh.WorkingPath()).empty());
  EXPECT_TRUE(store.Discard(nullptr, &fresh));
  EXPECT_FALSE(store.IDExist(u"Never"));
}

TEST_F(IdStore, FailedOpenHookCleansUp) {
  Store store(CQVGPMManager::kindFolder, Root());
  ASSERT_TRUE(store.Create(u"Layout1"));
  Record record;
  record.onOpen = [](const std::string&, BOOL) { return FALSE; };
  EXPECT_FALSE(store.Open(u"Layout1", &record, FALSE));
  EXPECT_FALSE(record.IsOpen());
  EXPECT_TRUE(WorkingCopies().empty());
  EXPECT_EQ(Names(Root()), std::set<std::string>{"Layout1"}) << "the lock is released";
}

TEST_F(IdStore, RecordDestroyedOpenLeavesNothingBehind) {
  Store store(CQVGPMManager::kindFile, Root());
  ASSERT_TRUE(store.Create(u"Layout1"));
  {
    Record record;
    ASSERT_TRUE(store.Open(u"Layout1", &record, FALSE));
    EXPECT_EQ(WorkingCopies().size(), 1u);
  }
  EXPECT_TRUE(WorkingCopies().empty()) << "the working copy goes with the record";
  EXPECT_EQ(Names(Root()), std::set<std::string>{"Layout1"}) << "and so does the lock";
}

TEST_F(IdStore, ListsHoldOnlyNonEmptyIdsSorted) {
  Store store(CQVGPMManager::kindFile, Root());
  for (LPCWSTR name : {u"delta", u"alpha", u"empty", u"charlie"}) ASSERT_TRUE(store.Create(name));
  for (const char* name : {"delta", "alpha", "charlie"}) WriteAll(Root() + "/" + name, "data");
  // Strays that are no IDs of this store: lock files, names with an extension, a folder.
  for (const char* name : {"x.lck", "zulu.lck", "foo.txt", "a-b"}) WriteAll(Root() + "/" + name, "data");
  fs::create_directory(Root() + "/folder");

  EXPECT_EQ(store.IDList_Refresh(), 3);
  EXPECT_EQ(store.List(), "alpha charlie delta ");
  CString name;
  EXPECT_FALSE(store.IDList_Get(3, name));
  EXPECT_FALSE(store.IDList_Get(-1, name));
  CDPXStringList all;
  ASSERT_TRUE(store.FindIDs(all, TRUE));
  EXPECT_EQ(all.GetCount(), 4) << "with empty ones";

  EXPECT_TRUE(store.Delete(u"never"));
  EXPECT_FALSE(store.Delete(u"a-b"));
  EXPECT_TRUE(store.Delete(u"charlie"));
  EXPECT_FALSE(store.IDExist(u"charlie"));
  EXPECT_TRUE(store.DeleteAll());
  EXPECT_EQ(store.IDList_Refresh(), 0);
  EXPECT_EQ(Names(Root()), (std::set<std::string>{"a-b", "folder", "foo.txt", "x.lck", "zulu.lck"}))
      << "every ID is deleted, empty ones too, and nothing else";

  Store folders(CQVGPMManager::kindFolder, Root(), u"lay");
  ASSERT_TRUE(folders.Create(u"one"));
  ASSERT_TRUE(folders.Create(u"two"));
  WriteAll(Root() + "/two.lay/data", "x");
  EXPECT_EQ(folders.IDList_Refresh(), 1);
  EXPECT_EQ(folders.List(), "two ");
}
