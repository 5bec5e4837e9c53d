// Option lists: one table of operations run against a list box and against a combo box, which
// must give the same items, item data, selection and results; filling from script files and
// formats; windows of other kinds; combo box modes; the folder browser.

#include "framework/dialogs/CQVComboBox.h"
#include "framework/dialogs/CQVFolderBrowser.h"
#include "framework/dialogs/CQVListBox.h"

#include "framework/dialogs/tests/DialogsTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

std::string U8(const CString& text) { return text.ToUtf8(); }

// The public operations of either control, and what it shows.
class Host {
public:
  virtual ~Host() = default;
  virtual CWnd& Wnd() = 0;
  virtual BOOL BuildFromProfile(LPCWSTR path, LPCWSTR section, LPCWSTR format) = 0;
  virtual BOOL BuildFromArray(const int* values, int count, LPCWSTR format) = 0;
  virtual void RemoveOptions(BOOL negative, BOOL zero, BOOL positive) = 0;
  virtual BOOL SelectOption(int value) = 0;
  virtual BOOL GetSelectedOption(int& value) = 0;
  virtual BOOL ForceSelect(BOOL last) = 0;
  virtual BOOL ForceSelectEx(int index, BOOL last) = 0;
  virtual BOOL CanMoveFirst(int index) = 0;
  virtual BOOL CanMovePrev(int index) = 0;
  virtual BOOL CanMoveNext(int index) = 0;
  virtual BOOL CanMoveLast(int index) = 0;
  virtual BOOL MoveFirst(int& index) = 0;
  virtual BOOL MovePrev(int& index) = 0;
  virtual BOOL MoveNext(int& index) = 0;
  virtual BOOL MoveLast(int& index) = 0;
  virtual void Select(int index) = 0;
  virtual int Selected() = 0;
  // "text=data" for every item, in order.
  virtual std::vector<std::string> Items() = 0;
};

template <class Control, UINT kGetText, UINT kGetTextLen, UINT kCount, UINT kData, UINT kSetSel, UINT kGetSel>
class HostOf : public Host {
public:
  HostOf(HWND parent, DWORD style) {
    EXPECT_TRUE(control.Create(style | WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 150), CWnd::FromHandle(parent), 100));
  }
  ~HostOf() override { control.DestroyWindow(); }
  CWnd& Wnd() override { return control; }
  BOOL BuildFromProfile(LPCWSTR path, LPCWSTR section, LPCWSTR format) override {
    return control.BuildFromProfile(path, section, format);
  }
  BOOL BuildFromArray(const int* values, int count, LPCWSTR format) override {
    return control.BuildFromArray(values, count, format);
  }
  void RemoveOptions(BOOL negative, BOOL zero, BOOL positive) override { control.RemoveOptions(negative, zero, positive); }
  BOOL SelectOption(int value) override { return control.SelectOption(value); }
  BOOL GetSelectedOption(int& value) override { return control.GetSelectedOption(value); }
  BOOL ForceSelect(BOOL last) override { return control.ForceSelect(last); }
  BOOL ForceSelectEx(int index, BOOL last) override { return control.ForceSelectEx(index, last); }
  BOOL CanMoveFirst(int index) override { return control.CanMoveFirst(index); }
  BOOL CanMovePrev(int index) override { return control.CanMovePrev(index); }
  BOOL CanMoveNext(int index) override { return control.CanMoveNext(index); }
  BOOL CanMoveLast(int index) override { return control.CanMoveLast(index); }
  BOOL MoveFirst(int& index) override { return control.MoveFirst(index); }
  BOOL MovePrev(int& index) override { return control.MovePrev(index); }
  BOOL MoveNext(int& index) override { return control.MoveNext(index); }
  BOOL MoveLast(int& index) override { return control.MoveLast(index); }
  void Select(int index) override { control.SendMessage(kSetSel, static_cast<WPARAM>(index)); }
  int Selected() override { return static_cast<int>(control.SendMessage(kGetSel)); }
  std::vector<std::string> Items() override {
    std::vector<std::string> items;
    const int count = static_cast<int>(control.SendMessage(kCount));
    for (int i = 0; i < count; ++i) {
      std::u16string text(static_cast<size_t>(control.SendMessage(kGetTextLen, static_cast<WPARAM>(i))), u'\0');
      control.SendMessage(kGetText, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
      const int data = static_cast<int>(control.SendMessage(kData, static_cast<WPARAM>(i)));
      items.push_back(CString(text.c_str()).ToUtf8() + "=" + std::to_string(data));
    }
    return items;
  }
  Control control;
};

using ListHost = HostOf<CQVListBox, LB_GETTEXT, LB_GETTEXTLEN, LB_GETCOUNT, LB_GETITEMDATA, LB_SETCURSEL, LB_GETCURSEL>;
using ComboHost =
    HostOf<CQVComboBox, CB_GETLBTEXT, CB_GETLBTEXTLEN, CB_GETCOUNT, CB_GETITEMDATA, CB_SETCURSEL, CB_GETCURSEL>;

using Items = std::vector<std::string>;
const Items kFive {"1=1", "2=2", "3=3", "4=4", "5=5"};

struct Case {
  const char* what;
  int selectedBefore;                // -1: none
  std::function<int(Host&)> run;     // its result, and for moves the index written back (x 100)
  int result;
  Items items;
  int selectedAfter;
};

const Case kCases[] = {
    {"select a value", -1, [](Host& h) { return h.SelectOption(3); }, TRUE, kFive, 2},
    {"select a value no item has", 3, [](Host& h) { return h.SelectOption(99); }, TRUE, kFive, 0},
    {"selected option without selection", -1, [](Host& h) { int v = 0; return h.GetSelectedOption(v); }, FALSE, kFive, -1},
    {"selected option", 3, [](Host& h) { int v = 0; return h.GetSelectedOption(v) ? v : -1; }, 4, kFive, 3},
    {"force the last", -1, [](Host& h) { return h.ForceSelect(TRUE); }, TRUE, kFive, 4},
    {"force the first", -1, [](Host& h) { return h.ForceSelect(FALSE); }, TRUE, kFive, 0},
    {"force keeps a selection", 2, [](Host& h) { return h.ForceSelect(TRUE); }, TRUE, kFive, 2},
    {"force beyond the end, none selected", -1, [](Host& h) { return h.ForceSelectEx(7, TRUE); }, TRUE, kFive, 4},
    {"force beyond the end keeps a selection", 2, [](Host& h) { return h.ForceSelectEx(7, TRUE); }, TRUE, kFive, 2},
    {"force an index in range", 2, [](Host& h) { return h.ForceSelectEx(1, TRUE); }, TRUE, kFive, 1},
    {"can move", -1,
     [](Host& h) {
       return h.CanMoveNext(2) * 1 + h.CanMoveNext(4) * 2 + h.CanMoveFirst(0) * 4 + h.CanMoveFirst(3) * 8 +
              h.CanMovePrev(0) * 16 + h.CanMovePrev(1) * 32 + h.CanMoveLast(4) * 64 + h.CanMoveLast(3) * 128 +
              h.CanMoveFirst(-1) * 256 + h.CanMoveNext(9) * 512;
     },
     1 + 8 + 32 + 128, kFive, -1},
    {"can move the selected item", 4, [](Host& h) { return h.CanMovePrev(-1) * 1 + h.CanMoveNext(-1) * 2; }, 1, kFive, 4},
    {"move next", -1, [](Host& h) { int i = 1; return h.MoveNext(i) * 100 + i; }, 102,
     {"1=1", "3=3", "2=2", "4=4", "5=5"}, -1},
    {"move the selected item first", 1, [](Host& h) { int i = -1; return h.MoveFirst(i) * 100 + i; }, 100,
     {"2=2", "1=1", "3=3", "4=4", "5=5"}, 0},
    {"move another item last: the selection stays on its item", 3,
     [](Host& h) { int i = 1; return h.MoveLast(i) * 100 + i; }, 104, {"1=1", "3=3", "4=4", "5=5", "2=2"}, 2},
    {"move another item back past the selected one", 2, [](Host& h) { int i = 4; return h.MoveFirst(i) * 100 + i; },
     100, {"5=5", "1=1", "2=2", "3=3", "4=4"}, 3},
    {"move previous", 0, [](Host& h) { int i = 3; return h.MovePrev(i) * 100 + i; }, 102,
     {"1=1", "2=2", "4=4", "3=3", "5=5"}, 0},
    {"move the selected item back", 4, [](Host& h) { int i = -1; return h.MovePrev(i) * 100 + i; }, 103,
     {"1=1", "2=2", "3=3", "5=5", "4=4"}, 3},
    {"move without selection", -1, [](Host& h) { int i = -1; return h.MoveFirst(i); }, FALSE, kFive, -1},
    {"move the last item next", -1, [](Host& h) { int i = 4; return h.MoveNext(i) * 100 + i; }, 4, kFive, -1},
    {"remove the zeros", -1,
     [](Host& h) {
       const int values[] = {-1, 0, 2, 0, 3};
       h.BuildFromArray(values, 5, nullptr);
       h.RemoveOptions(FALSE, TRUE, FALSE);
       return TRUE;
     },
     TRUE, {"-1=-1", "2=2", "3=3"}, -1},
    {"remove the negatives and positives", -1,
     [](Host& h) {
       const int values[] = {-1, 0, 2, 0, 3};
       h.BuildFromArray(values, 5, nullptr);
       h.RemoveOptions(TRUE, FALSE, TRUE);
       return TRUE;
     },
     TRUE, {"0=0", "0=0"}, -1},
    {"formats make the texts, and only %d is a conversion", -1,
     [](Host& h) {
       const int values[] = {50, -7};
       return h.BuildFromArray(values, 2, u"%d %% of %s%n [%04d] [%-4d] [%+d]");
     },
     TRUE, {"50 % of %s%n [0050] [50  ] [+50]=50", "-7 % of %s%n [-007] [-7  ] [-7]=-7"}, -1},
    {"no values empty the list", 2, [](Host& h) { return h.BuildFromArray(nullptr, 3, nullptr); }, FALSE, {}, -1},
    {"selecting in an empty list", -1,
     [](Host& h) {
       h.BuildFromArray(nullptr, 0, nullptr);
       int v = 0;
       return h.SelectOption(1) + h.ForceSelect(TRUE) + h.ForceSelectEx(0, FALSE) + h.GetSelectedOption(v);
     },
     FALSE, {}, -1},
};

class OptionList : public ::testing::Test {
protected:
  void SetUp() override { parent = MakeParentWindow(u"OptionListParent", ::DefWindowProcW); }
  void TearDown() override { ::DestroyWindow(parent); }

  std::vector<std::unique_ptr<Host>> Hosts() {
    std::vector<std::unique_ptr<Host>> hosts;
    hosts.push_back(std::make_unique<ListHost>(parent, LBS_NOTIFY));
    hosts.push_back(std::make_unique<ComboHost>(parent, CBS_DROPDOWNLIST));
    return hosts;
  }
  HWND parent {};
};

TEST_F(OptionList, EveryOperationGivesTheSameInAListBoxAndAComboBox) {
  const int five[] = {1, 2, 3, 4, 5};
  for (const Case& c : kCases) {
    for (std::unique_ptr<Host>& host : Hosts()) {
      const char* kind = host->Wnd().IsKindOf(RUNTIME_CLASS(CListBox)) ? "list box" : "combo box";
      ASSERT_TRUE(host->BuildFromArray(five, 5, nullptr));
      host->Select(c.selectedBefore);
      EXPECT_EQ(c.run(*host), c.result) << c.what << " in a " << kind;
      EXPECT_EQ(host->Items(), c.items) << c.what << " in a " << kind;
      EXPECT_EQ(host->Selected(), c.selectedAfter) << c.what << " in a " << kind;
    }
  }
}

TEST_F(OptionList, ProfilesGiveTheOptionLinesOfTheirSectionAndAnyFailureEmptiesTheList) {
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("options.dps"));
  WriteTextFile(path,
        "[Sizes]\r\n"
        "Option = 100\r\n"
        "Other = 5\r\n"
        "option = 200, Large, ignored\r\n"
        "OPTION = -3 ,  \r\n"
        "[Broken]\r\n"
        "Option = 100\r\n"
        "Option = 200, Large\r\n"
        "Option = x\r\n"
        "[Empty]\r\n"
        "Other = 1\r\n");
  const CString file = CString::FromUtf8(path.toStdString());
  struct ProfileCase {
    const char* what;
    LPCWSTR path;
    LPCWSTR section;
    LPCWSTR format;
    BOOL result;
    Items items;
  } cases[] = {
      {"the option lines", file, u"Sizes", nullptr, TRUE, {"100=100", "Large=200", "-3=-3"}},
      {"with a format", file, u" sizes ", u"%d px", TRUE, {"100 px=100", "Large=200", "-3 px=-3"}},
      {"a number that does not read", file, u"Broken", nullptr, FALSE, {}},
      {"a section without options", file, u"Empty", nullptr, FALSE, {}},
      {"a missing section", file, u"Nowhere", nullptr, FALSE, {}},
      {"a missing file", u"/nonexistent/options.dps", u"Sizes", nullptr, FALSE, {}},
      {"no section", file, nullptr, nullptr, FALSE, {}},
  };
  const int two[] = {7, 8};
  for (const ProfileCase& c : cases) {
    for (std::unique_ptr<Host>& host : Hosts()) {
      host->BuildFromArray(two, 2, nullptr);
      EXPECT_EQ(host->BuildFromProfile(c.path, c.section, c.format), c.result) << c.what;
      EXPECT_EQ(host->Items(), c.items) << c.what;
    }
  }
}

// The static operations, on windows of other kinds.
struct Statics : CQVListBox {
  using CQVListBox::__BuildFromArray;
  using CQVListBox::__CanMove;
  using CQVListBox::__GetCount;
  using CQVListBox::__GetItemData;
  using CQVListBox::__GetWindowType;
  using CQVListBox::__SelectOption;
};

TEST_F(OptionList, WindowsOfOtherKindsAreRefused) {
  CWnd plain;
  ASSERT_TRUE(plain.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), CWnd::FromHandle(parent), 5));
  const int values[] = {1};
  for (CWnd* wnd : {&plain, static_cast<CWnd*>(nullptr)}) {
    EXPECT_EQ(Statics::__GetWindowType(wnd), 0);
    EXPECT_EQ(Statics::__GetCount(wnd), -1);
    EXPECT_EQ(Statics::__GetItemData(wnd, 0), -1);
    EXPECT_FALSE(Statics::__BuildFromArray(wnd, values, 1, nullptr));
    EXPECT_FALSE(Statics::__SelectOption(wnd, 1));
    EXPECT_FALSE(Statics::__CanMove(wnd, 0, 0));
  }
  plain.DestroyWindow();
}

TEST_F(OptionList, AComboBoxChangesItsKindAndKeepsItsItems) {
  CQVComboBox unmade;
  int mode = -1;
  EXPECT_FALSE(unmade.GetMode(mode));
  EXPECT_FALSE(unmade.SetMode(1));

  ComboHost host(parent, CBS_DROPDOWN);
  const int three[] = {1, 2, 3};
  host.control.BuildFromArray(three, 3, nullptr);
  host.control.SelectOption(2);
  for (int wanted : {1, 3, 2}) {
    ASSERT_TRUE(host.control.SetMode(wanted));
    ASSERT_TRUE(host.control.GetMode(mode));
    EXPECT_EQ(mode, wanted);
    EXPECT_EQ(host.Items(), Items({"1=1", "2=2", "3=3"})) << "mode " << wanted;
    EXPECT_EQ(host.Selected(), 1) << "mode " << wanted;
  }
  EXPECT_FALSE(host.control.SetMode(4));
  EXPECT_FALSE(host.control.SetMode(0));
  host.control.GetMode(mode);
  EXPECT_EQ(mode, 2);
}

// A browser that notes what it hears and ends the way the test says once it shows.
class TestBrowser : public CQVFolderBrowser {
public:
  UINT end = IDOK;
  std::vector<std::string> selections;

protected:
  void OnInitialized(CWnd* dialog) override {
    CQVFolderBrowser::OnInitialized(dialog);
    SetStatusText(dialog, u"Pick one");
    dialog->SendMessage(WM_COMMAND, MAKEWPARAM(end, BN_CLICKED), 0);
  }
  void OnSelChanged(CWnd*, ITEMIDLIST* list) override {
    WCHAR path[MAX_PATH] {};
    if (SHGetPathFromIDListW(list, path)) selections.push_back(CString(path).ToUtf8());
  }
};

TEST(FolderBrowser, StartsAtTheInitialSelectionUnderTheRootAndCancelGivesNothing) {
  QTemporaryDir folder;
  QDir(folder.path()).mkpath(QStringLiteral("a"));
  QDir(folder.path()).mkpath(QStringLiteral("b/c"));
  const std::string root = folder.path().toStdString();
  TestBrowser browser;
  browser.SetTitle(u"Choose a folder");
  browser.SetFlags(BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT);
  browser.SetRoot(CString::FromUtf8("  " + root + "  "));
  browser.SetDefault(CString::FromUtf8(root + "/b/c"));
  CString path = u"before";
  ASSERT_TRUE(browser.Browse(path));
  EXPECT_EQ(U8(path), root + "/b/c");
  ASSERT_FALSE(browser.selections.empty());
  EXPECT_EQ(browser.selections.back(), root + "/b/c");

  browser.end = IDCANCEL;
  EXPECT_FALSE(browser.Browse(path));
  EXPECT_TRUE(path.IsEmpty());
}

}  // namespace
