// The shared store of screen layouts: a layout's keys and dock state, the save and delete dialogs
// with their questions and messages, and what each leaves on disk (never a lock file).

#include "framework/layouts/CQVSCLDeleteDialog.h"
#include "framework/layouts/CQVSCLItem.h"
#include "framework/layouts/CQVSCLManager.h"
#include "framework/layouts/CQVSCLSaveDialog.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/util/CDPXBuffer.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <QDir>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace {

enum : int { kSaveName = 1031, kDeleteList = 1034, kDeleteAll = 1035 };

std::string U8(const CString& text) { return text.ToUtf8(); }
void Click(CWnd& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
bool Open(CWnd& dialog) { return dialog.GetSafeHwnd() && dialog.IsWindowVisible(); }

std::vector<std::string> Entries(CWnd& dialog, int id) {
  std::vector<std::string> entries;
  const int count = static_cast<int>(dialog.SendDlgItemMessage(id, CB_GETCOUNT));
  for (int i = 0; i < count; ++i) {
    WCHAR text[64] {};
    dialog.SendDlgItemMessage(id, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    entries.push_back(U8(CString(text)));
  }
  return entries;
}

std::vector<std::string> Texts(const BoxRecorder& boxes) {
  std::vector<std::string> texts;
  for (const AskedBox& box : boxes.asked) texts.push_back(U8(box.text));
  return texts;
}

// A program's save: a window rectangle, a display name and a dock state; or a failure.
class Saving : public CQVSCLSaveDialog {
public:
  bool fail = false;
  std::string state = "dock state";
  CString displayName;

protected:
  BOOL SaveLayout(CQVSCLItem& item) override {
    if (fail) return FALSE;
    CDPXGMemBuffer buffer;
    buffer.Alloc(static_cast<DWORD>(state.size()));
    std::copy(state.begin(), state.end(), buffer.Lock());
    return item.Set_WindowRect(CRect(10, 20, 810, 620)) && (displayName.IsEmpty() || item.Set(u"SCL.DisplayName", displayName)) &&
           item.Set_DockState(buffer);
  }
};

class SharedStore : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<LayoutsTestApp>();
    root = app->Path("store/");
    QDir().mkpath(QString::fromStdString(root.ToUtf8()));
    store.SetRootDir(root);
  }
  void TearDown() override { app.reset(); }

  // Saves a layout through the store, as a program would without the dialog.
  void Put(LPCWSTR id, const std::function<void(CQVSCLItem&)>& write) {
    ASSERT_TRUE(store.IDExist(id) || store.Create(id));
    CQVSCLItem item;
    ASSERT_TRUE(store.Open(id, &item, FALSE));
    write(item);
    ASSERT_TRUE(store.Close(id, &item));
  }

  INT_PTR Save(CQVSCLSaveDialog& dialog, const std::function<void(CDialog&)>& script) {
    store.IDList_Refresh();
    return RunModal(dialog, [&] { return static_cast<INT_PTR>(dialog.DoDialog(store)); }, script);
  }

  // Types the name, presses OK, and tells whether the dialog is still open; then cancels it.
  bool SaveAs(CQVSCLSaveDialog& dialog, LPCWSTR name) {
    bool open = false;
    Save(dialog, [&](CDialog& d) {
      d.SetDlgItemText(kSaveName, name);
      Click(d, IDOK);
      open = Open(d);
      if (open) Click(d, IDCANCEL);
    });
    return open;
  }

  std::unique_ptr<LayoutsTestApp> app;
  CString root;
  CQVSCLManager store;
};

TEST_F(SharedStore, ALayoutKeepsItsKeysAndDockStateInItsFolder) {
  Put(u"Work", [](CQVSCLItem& item) {
    EXPECT_TRUE(item.Set_ScreenSize(1920, 1080));
    EXPECT_TRUE(item.Set_WindowRect(CRect(900, 700, 100, 50))) << "given right to left, bottom to top";
    EXPECT_TRUE(item.Set_Language(u"de-de"));
    CDPXGMemBuffer state;
    state.Alloc(5);
    std::copy_n("a\0b\r\n", 5, state.Lock());
    EXPECT_TRUE(item.Set_DockState(state));
  });
  const std::string profile = ReadBytes(root + u"Work/profile");
  EXPECT_EQ(profile.rfind("\xEF\xBB\xBF[Screen Layout]\r\n", 0), 0u) << profile;
  EXPECT_EQ(ReadBytes(root + u"Work/dockstate"), std::string("a\0b\r\n", 5));

  CQVSCLItem item;
  ASSERT_TRUE(store.Open(u"work", &item, TRUE));
  int width = -1, height = -1;
  item.Get_ScreenSize(width, height);
  EXPECT_EQ(width, 1920);
  EXPECT_EQ(height, 1080);
  CRect rect;
  item.Get_WindowRect(rect);
  EXPECT_EQ(rect, CRect(100, 50, 900, 700));
  CString language;
  EXPECT_TRUE(item.Get_Language(language));
  EXPECT_EQ(U8(language), "de-de");
  CDPXGMemBuffer state;
  ASSERT_TRUE(item.Get_DockState(state));
  EXPECT_EQ(state.GetSize(), 5u);
}

TEST_F(SharedStore, MissingOrUnfitValuesReadAsTheirDefaults) {
  const struct {
    const char* profile;
    CRect rect;
    int width, height;
    const char* what;
  } rows[] = {
      {"", CRect(0, 0, 0, 0), 7, 8, "no keys"},
      {"SCL.WindowLeft=5\r\nSCL.WindowTop=6\r\nSCL.WindowWidth=-5\r\nSCL.WindowHeight=40\r\nSCL.ScreenWidth=640\r\n",
       CRect(5, 6, 5, 46), 640, 8, "a negative width"},
      {"SCL.WindowLeft=2147483000\r\nSCL.WindowWidth=2147483000\r\nSCL.WindowHeight=abc\r\n", CRect(2147483000, 0, INT_MAX, 0), 7,
       8, "an edge past the range, a height that is no number"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    QDir().mkpath(QString::fromStdString(U8(root + u"Odd")));
    WriteBytes(root + u"Odd/profile", std::string("[Screen Layout]\r\n") + row.profile);
    CQVSCLItem item;
    ASSERT_TRUE(store.Open(u"Odd", &item, TRUE));
    CRect rect(1, 1, 1, 1);
    item.Get_WindowRect(rect);
    EXPECT_EQ(rect, row.rect);
    int width = 7, height = 8;
    item.Get_ScreenSize(width, height);
    EXPECT_EQ(width, row.width);
    EXPECT_EQ(height, row.height);
    CDPXGMemBuffer state;
    EXPECT_FALSE(item.Get_DockState(state)) << "no dock-state file";
    EXPECT_EQ(state.GetSize(), 0u);
  }
}

TEST_F(SharedStore, DisplayNamesComeFromTheTextKeyTheNameOrTheID) {
  Put(u"A", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayNameID", u"STR_LAYOUT_REVIEW"); });
  Put(u"B", [](CQVSCLItem& item) {
    item.Set(u"SCL.DisplayNameID", u"NO_SUCH_KEY");
    item.Set(u"SCL.DisplayName", u"  Night shift ");
  });
  Put(u"C", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"   "); });
  ASSERT_EQ(store.IDList_Refresh(), 3);
  const char* expected[] = {"Reviewing", "Night shift", "C"};
  for (int i = 0; i < 3; ++i) {
    CString name;
    EXPECT_TRUE(store.IDList_GetDisplayName(i, name));
    EXPECT_EQ(U8(name), expected[i]) << "layout " << i;
  }
  CString name;
  EXPECT_FALSE(store.IDList_GetDisplayName(3, name));
}

TEST_F(SharedStore, SavingANewNameWritesTheLayoutUnderTheTrimmedNameAndLeavesNoLock) {
  Saving dialog;
  BoxRecorder boxes;
  EXPECT_FALSE(SaveAs(dialog, u"  Evening  "));
  EXPECT_TRUE(boxes.asked.empty()) << Texts(boxes)[0];
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"Evening"});
  EXPECT_EQ(FolderNames(root + u"Evening"), (std::vector<std::string> {"dockstate", "profile"}));
  EXPECT_EQ(ReadBytes(root + u"Evening/dockstate"), "dock state");
  EXPECT_NE(ReadBytes(root + u"Evening/profile").find("SCL.WindowWidth = 800"), std::string::npos);
}

TEST_F(SharedStore, SavingRefusesNamesAgainstTheRule) {
  // (The box takes no more than 20 characters.)
  for (const char16_t* name : {u"My.Layout", u"Layout-2", u"../Up", u"   "}) {
    SCOPED_TRACE(U8(CString(name)));
    Saving dialog;
    BoxRecorder boxes;
    EXPECT_TRUE(SaveAs(dialog, name));
    EXPECT_EQ(Texts(boxes), std::vector<std::string> {
                                "The name is not valid. It may have up to 20 characters, none of \\ / : . ( ) [ ] { } * ? % & + - < >."});
  }
  EXPECT_TRUE(FolderNames(root).empty());
}

TEST_F(SharedStore, OverwritingAsksFirstAndNoChangesNothing) {
  Put(u"Work", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"Old"); });
  const std::string before = ReadBytes(root + u"Work/profile");
  {
    Saving dialog;
    BoxRecorder boxes({IDNO});
    EXPECT_TRUE(SaveAs(dialog, u"Work"));
    EXPECT_EQ(Texts(boxes), std::vector<std::string> {"A screen layout of this name exists. Do you want to replace it?"})
        << "No ends quietly";
    EXPECT_EQ(ReadBytes(root + u"Work/profile"), before);
    EXPECT_EQ(FolderNames(root + u"Work"), std::vector<std::string> {"profile"});
  }
  Saving dialog;
  BoxRecorder boxes({IDYES});
  dialog.state = "replaced";
  EXPECT_FALSE(SaveAs(dialog, u"Work"));
  EXPECT_EQ(ReadBytes(root + u"Work/dockstate"), "replaced");
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"Work"});
}

TEST_F(SharedStore, PickingAListedDisplayNameSavesThatLayout) {
  Put(u"L1", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayNameID", u"STR_LAYOUT_SCAN"); });
  Put(u"L2", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"Archive"); });
  Put(u"Zoo", [](CQVSCLItem& item) { item.Set_Language(u"en-us"); });
  Saving dialog;
  BoxRecorder boxes({IDYES});
  std::vector<std::string> entries;
  bool open = true;
  Save(dialog, [&](CDialog& d) {
    entries = Entries(d, kSaveName);
    d.SendDlgItemMessage(kSaveName, CB_SETCURSEL, 1);
    Click(d, IDOK);
    open = Open(d);
  });
  EXPECT_EQ(entries, (std::vector<std::string> {"Archive", "Scanning", "Zoo"})) << "sorted by the box";
  EXPECT_FALSE(open);
  EXPECT_EQ(Texts(boxes), std::vector<std::string> {"A screen layout of this name exists. Do you want to replace it?"});
  EXPECT_EQ(FolderNames(root), (std::vector<std::string> {"L1", "L2", "Zoo"})) << "no layout named after the display name";
  EXPECT_EQ(ReadBytes(root + u"L1/dockstate"), "dock state");
}

TEST_F(SharedStore, AFailedSaveKeepsAnExistingLayoutAndRemovesANewOne) {
  Put(u"Work", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"Old"); });
  const std::string before = ReadBytes(root + u"Work/profile");
  for (const char16_t* name : {u"Work", u"Fresh"}) {
    SCOPED_TRACE(U8(CString(name)));
    Saving dialog;
    dialog.fail = true;
    BoxRecorder boxes({IDYES});
    EXPECT_TRUE(SaveAs(dialog, name));
    ASSERT_FALSE(boxes.asked.empty());
    EXPECT_EQ(U8(boxes.asked.back().text), "The screen layout could not be saved. Another workstation may be saving it.");
  }
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"Work"});
  EXPECT_EQ(ReadBytes(root + u"Work/profile"), before);
}

TEST_F(SharedStore, ALayoutHeldByAnotherWriterCannotBeSavedNorDeleted) {
  Put(u"Work", [](CQVSCLItem& item) { item.Set_Language(u"en-us"); });
  Put(u"Spare", [](CQVSCLItem& item) { item.Set_Language(u"en-us"); });
  CQVSCLManager elsewhere;
  elsewhere.SetRootDir(root);
  auto held = std::make_unique<CQVSCLItem>();
  ASSERT_TRUE(elsewhere.Open(u"Work", held.get(), FALSE));
  {
    Saving dialog;
    BoxRecorder boxes({IDYES});
    EXPECT_TRUE(SaveAs(dialog, u"Work"));
    EXPECT_EQ(U8(boxes.asked.back().text), "The screen layout could not be saved. Another workstation may be saving it.");
  }
  {
    CQVSCLDeleteDialog dialog;
    BoxRecorder boxes({IDYES});
    bool open = false;
    store.IDList_Refresh();
    RunModal(dialog, [&] { return static_cast<INT_PTR>(dialog.DoDialog(store)); },
             [&](CDialog& d) {
               d.CheckDlgButton(kDeleteAll, BST_CHECKED);
               Click(d, kDeleteAll);
               Click(d, IDOK);
               open = Open(d);
               if (open) Click(d, IDCANCEL);
             });
    EXPECT_TRUE(open) << "a delete-all that left a layout is no success";
    EXPECT_EQ(Texts(boxes), (std::vector<std::string> {"Do you want to delete all screen layouts?",
                                                        "The screen layout could not be deleted. Another workstation may be using it."}));
  }
  EXPECT_EQ(FolderNames(root), (std::vector<std::string> {"Work", "Work.lck"})) << "the other layout is gone";
  held.reset();
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"Work"}) << "the holder's lock goes with it";
}

TEST_F(SharedStore, DeletingAsksAndDeletesTheChosenLayout) {
  Put(u"B", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"Second"); });
  Put(u"A", [](CQVSCLItem& item) { item.Set(u"SCL.DisplayName", u"First"); });
  CQVSCLDeleteDialog dialog;
  BoxRecorder boxes({IDNO, IDYES});
  std::vector<std::string> entries;
  bool listEnabled = false, openAfterNo = false, open = true;
  store.IDList_Refresh();
  const INT_PTR result = RunModal(dialog, [&] { return static_cast<INT_PTR>(dialog.DoDialog(store)); },
                                  [&](CDialog& d) {
                                    entries = Entries(d, kDeleteList);
                                    listEnabled = d.GetDlgItem(kDeleteList)->IsWindowEnabled();
                                    d.SendDlgItemMessage(kDeleteList, CB_SETCURSEL, 1);
                                    Click(d, IDOK);
                                    openAfterNo = Open(d);
                                    Click(d, IDOK);
                                    open = Open(d);
                                  });
  EXPECT_EQ(result, TRUE);
  EXPECT_FALSE(open);
  EXPECT_TRUE(openAfterNo);
  EXPECT_TRUE(listEnabled);
  EXPECT_EQ(entries, (std::vector<std::string> {"First", "Second"}));
  EXPECT_EQ(Texts(boxes), (std::vector<std::string> {"Do you want to delete the chosen screen layout?",
                                                      "Do you want to delete the chosen screen layout?"}));
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"A"});
}

TEST_F(SharedStore, DeletingFromAnEmptyOrUnrefreshedListShowsOnlyAMessage) {
  Put(u"A", [](CQVSCLItem&) {});
  CQVSCLDeleteDialog dialog;
  BoxRecorder boxes;
  EXPECT_FALSE(dialog.DoDialog(store)) << "the list was never refreshed";
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_EQ(Texts(boxes), std::vector<std::string> {"There is no saved screen layout."});
  EXPECT_EQ(FolderNames(root), std::vector<std::string> {"A"});
}

}  // namespace
