// The screen-layout dialog of a profile: what each mode shows, the hooks it asks, the questions
// before deleting, and that a save the hook refuses leaves the layouts as they were.

#include "framework/layouts/CQVScreenLayoutDialog.h"
#include "framework/layouts/CQVScreenLayoutProfile.h"
#include "framework/layouts/tests/LayoutsTestApp.h"

#include "foundation/util/CDPXBuffer.h"
#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/win/winctrl.h"

#include <memory>

#include <gtest/gtest.h>

namespace {

enum : int { kInfoName = 1010, kList = 1012, kDeleteAll = 1013, kNameBox = 1014 };

std::string U8(const CString& text) { return text.ToUtf8(); }

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

bool Shows(CWnd& dialog, int id) { return dialog.GetDlgItem(id) && dialog.GetDlgItem(id)->IsWindowVisible(); }
bool Enabled(CWnd& dialog, int id) { return dialog.GetDlgItem(id) && dialog.GetDlgItem(id)->IsWindowEnabled(); }
bool Open(CWnd& dialog) { return dialog.GetSafeHwnd() && dialog.IsWindowVisible(); }
void Click(CWnd& dialog, int id) { dialog.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

void SaveState(CQVScreenLayoutProfile& profile, int index, const std::string& bytes) {
  CDPXGMemBuffer state;
  ASSERT_TRUE(state.Alloc(static_cast<DWORD>(bytes.size())));
  std::copy(bytes.begin(), bytes.end(), state.Lock());
  ASSERT_TRUE(profile.SaveDockState(index, state));
}

std::string StateOf(CQVScreenLayoutProfile& profile, int index) {
  CDPXGMemBuffer state;
  if (!profile.LoadDockState(index, state)) return "(none)";
  return std::string(reinterpret_cast<const char*>(state.Lock()), state.GetSize());
}

// A program's save: re-creates the layout with a title and a dock state, then answers as told.
class Saving : public CQVScreenLayoutDialog {
public:
  BOOL accept = TRUE;
  std::vector<std::string> names;

protected:
  BOOL OnSaveScreenLayout(CQVScreenLayoutProfile& profile, LPCWSTR name) override {
    names.push_back(U8(CString(name)));
    const int index = profile.CreateLayout(name);
    if (index < 0) return FALSE;
    profile.SetLayoutInfo(index, u"Title", u"Saved anew");
    SaveState(profile, index, "new state");
    return accept;
  }
};

class ScreenLayoutDialog : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<LayoutsTestApp>();
    profile.SetFilename(app->Path("layouts.ini"));
    for (const char16_t* name : {u"Scan", u"Review", u"Default"}) {
      const int index = profile.CreateLayout(name);
      SaveState(profile, index, "state of " + U8(CString(name)));
    }
    profile.SetLayoutInfo(1, u"Title", u"STR_LAYOUT_REVIEW");
  }
  void TearDown() override { app.reset(); }

  std::unique_ptr<LayoutsTestApp> app;
  CQVScreenLayoutProfile profile;
};

TEST_F(ScreenLayoutDialog, SaveModeListsTheTitlesByIndexAndTheKernelsOwnSaveNeverCloses) {
  const std::string before = ReadBytes(app->Path("layouts.ini"));
  CQVScreenLayoutDialog dialog;
  BoxRecorder boxes;
  std::vector<std::string> entries;
  std::string title, label, text;
  bool nameBox = false, list = true, deleteAll = true, stillOpen = false;
  const INT_PTR result = RunModal(
      dialog, [&] { return static_cast<INT_PTR>(dialog.DoSave(profile)); },
      [&](CDialog& d) {
        entries = Entries(d, kNameBox);
        nameBox = Shows(d, kNameBox);
        list = Shows(d, kList);
        deleteAll = Shows(d, kDeleteAll);
        CString caption;
        d.GetWindowText(caption);
        title = U8(caption);
        label = U8(ItemText(d, kInfoName));
        text = U8(ItemText(d, kNameBox));
        d.SetDlgItemText(kNameBox, u"Fresh");
        Click(d, IDOK);
        stillOpen = Open(d);
        Click(d, IDCANCEL);
      });
  EXPECT_EQ(result, FALSE);
  EXPECT_TRUE(stillOpen) << "nothing saves in the kernel's own dialog";
  EXPECT_EQ(entries, (std::vector<std::string> {"Scan", "Reviewing", "Default"})) << "index order, not sorted";
  EXPECT_TRUE(nameBox);
  EXPECT_FALSE(list);
  EXPECT_FALSE(deleteAll);
  EXPECT_EQ(title, "Save screen layout");
  EXPECT_EQ(label, "Layout name:");
  EXPECT_EQ(text, "");
  EXPECT_TRUE(boxes.asked.empty());
  EXPECT_EQ(ReadBytes(app->Path("layouts.ini")), before);
}

TEST_F(ScreenLayoutDialog, ASaveTheHookRefusesLeavesTheLayoutsAsTheyWere) {
  const struct {
    const char16_t* name;
    bool accept;
    const char* what;
  } rows[] = {
      {u"Review", false, "an existing layout, refused after it was re-created"},
      {u"Fresh", false, "a new layout, refused after it was made"},
      {u"review", true, "an existing layout, saved"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string profileBefore = ReadBytes(app->Path("layouts.ini"));
    Saving dialog;
    dialog.accept = row.accept;
    bool stillOpen = false;
    const INT_PTR result = RunModal(
        dialog, [&] { return static_cast<INT_PTR>(dialog.DoSave(profile)); },
        [&](CDialog& d) {
          d.SetDlgItemText(kNameBox, row.name);
          Click(d, IDOK);
          stillOpen = Open(d);
          if (stillOpen) Click(d, IDCANCEL);
        });
    EXPECT_EQ(dialog.names, std::vector<std::string> {U8(CString(row.name))}) << "the name as typed";
    EXPECT_EQ(result, row.accept);
    EXPECT_EQ(stillOpen, !row.accept);
    if (row.accept) {
      EXPECT_EQ(profile.LayoutExist(u"Review"), 2) << "re-created at the end";
      EXPECT_EQ(StateOf(profile, 2), "new state");
      continue;
    }
    EXPECT_EQ(ReadBytes(app->Path("layouts.ini")), profileBefore);
    ASSERT_EQ(profile.GetLayoutCount(), 3);
    EXPECT_EQ(profile.LayoutExist(u"Review"), 1);
    CString title;
    profile.GetLayoutName(1, title);
    EXPECT_EQ(U8(title), "Reviewing");
    EXPECT_EQ(StateOf(profile, 1), "state of Review");
    EXPECT_FALSE(Exists(app->Path("LAYOUTS.Fresh.dockstate")));
  }
}

TEST_F(ScreenLayoutDialog, DeleteModeAsksForTheChosenLayoutAndStaysOpenOnNo) {
  CQVScreenLayoutDialog dialog;
  BoxRecorder boxes({IDNO, IDYES});
  std::vector<std::string> entries;
  int selected = -1;
  bool nameBox = true, list = false, deleteAll = false, openAfterNo = false;
  const INT_PTR result = RunModal(
      dialog, [&] { return static_cast<INT_PTR>(dialog.DoDelete(profile)); },
      [&](CDialog& d) {
        entries = Entries(d, kList);
        selected = static_cast<int>(d.SendDlgItemMessage(kList, CB_GETCURSEL));
        nameBox = Shows(d, kNameBox);
        list = Shows(d, kList);
        deleteAll = Shows(d, kDeleteAll);
        d.SendDlgItemMessage(kList, CB_SETCURSEL, 1);
        Click(d, IDOK);
        openAfterNo = Open(d);
        Click(d, IDOK);
      });
  EXPECT_EQ(result, TRUE);
  EXPECT_EQ(entries, (std::vector<std::string> {"Scan", "Reviewing", "Default"}));
  EXPECT_EQ(selected, 0) << "the first entry is chosen";
  EXPECT_FALSE(nameBox);
  EXPECT_TRUE(list);
  EXPECT_TRUE(deleteAll);
  EXPECT_TRUE(openAfterNo);
  ASSERT_EQ(boxes.asked.size(), 2u);
  EXPECT_EQ(U8(boxes.asked[0].text), "Do you want to delete the screen layout “Reviewing”?");
  EXPECT_EQ(U8(boxes.asked[0].caption), "Question");
  EXPECT_EQ(profile.GetLayoutCount(), 2);
  EXPECT_EQ(profile.LayoutExist(u"Review"), -1);
  EXPECT_FALSE(Exists(app->Path("LAYOUTS.Review.dockstate")));
}

TEST_F(ScreenLayoutDialog, DeleteAllDisablesTheListAndAsksItsOwnQuestion) {
  CQVScreenLayoutDialog dialog;
  BoxRecorder boxes({IDYES});
  bool listBefore = false, listChecked = true, listUnchecked = false;
  const INT_PTR result = RunModal(
      dialog, [&] { return static_cast<INT_PTR>(dialog.DoDelete(profile)); },
      [&](CDialog& d) {
        listBefore = Enabled(d, kList);
        d.CheckDlgButton(kDeleteAll, BST_CHECKED);
        Click(d, kDeleteAll);
        listChecked = Enabled(d, kList);
        d.CheckDlgButton(kDeleteAll, BST_UNCHECKED);
        Click(d, kDeleteAll);
        listUnchecked = Enabled(d, kList);
        d.CheckDlgButton(kDeleteAll, BST_CHECKED);
        Click(d, kDeleteAll);
        Click(d, IDOK);
      });
  EXPECT_EQ(result, TRUE);
  EXPECT_TRUE(listBefore);
  EXPECT_FALSE(listChecked);
  EXPECT_TRUE(listUnchecked);
  ASSERT_EQ(boxes.asked.size(), 1u);
  EXPECT_EQ(U8(boxes.asked[0].text), "Do you want to delete all screen layouts?");
  EXPECT_EQ(profile.GetLayoutCount(), 0);
  EXPECT_EQ(FolderNames(app->Path("")), std::vector<std::string> {"layouts.ini"});
}

TEST_F(ScreenLayoutDialog, DeleteShowsNothingForAProfileWithoutLayouts) {
  profile.DeleteAllLayouts();
  CQVScreenLayoutDialog dialog;
  BoxRecorder boxes;
  EXPECT_FALSE(dialog.DoDelete(profile));
  EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
  EXPECT_TRUE(boxes.asked.empty());
}

}  // namespace
