// The standard controls: selection in combo and list boxes as Win32 keeps it, which changes are
// reported, edits, buttons, scroll bars and progress bars.

#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CSpinButtonCtrl.h"
#include "platform/ui/win/windc.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/comctl/commctrl.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QListWidget>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

struct Note {
  int id;
  int code;
};
std::vector<Note> g_notes;

LRESULT ParentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam) g_notes.push_back({LOWORD(wParam), HIWORD(wParam)});
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class Controls : public ::testing::Test {
protected:
  void SetUp() override {
    parent = MakeParentWindow(u"ControlTestParent", ParentProc);
    ASSERT_NE(parent, nullptr);
    g_notes.clear();
  }
  void TearDown() override { DestroyWindow(parent); }

  HWND Make(LPCWSTR cls, DWORD style, int id, LPCWSTR text = u"", int height = 20) {
    HWND h = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, 150, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    EXPECT_NE(h, nullptr);
    return h;
  }
  static LRESULT Send(HWND h, UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessageW(h, m, w, l); }
  static LRESULT SendText(HWND h, UINT m, WPARAM w, LPCWSTR text) {
    return SendMessageW(h, m, w, reinterpret_cast<LPARAM>(text));
  }
  static int Count(int code) {
    int n = 0;
    for (const Note& note : g_notes) n += note.code == code;
    return n;
  }
  static CString ItemText(HWND h, UINT getText, int index) {
    char16_t buffer[64] {};
    SendMessageW(h, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer));
    return CString(buffer);
  }

  HWND parent {};
};

std::u16string WindowText(HWND hwnd) {
  char16_t text[64] {};
  ::GetWindowTextW(hwnd, text, 64);
  return text;
}

// The same selection rules hold for combo boxes and list boxes: one table, run on both.
struct SelectionKind {
  const char* name;
  LPCWSTR cls;
  DWORD style;
  UINT add, insert, remove, reset, getSel, setSel, count, find, findExact, select, getText;
  int selChange;
};

class Selection : public Controls, public ::testing::WithParamInterface<SelectionKind> {};

TEST_P(Selection, NothingIsSelectedUntilSomeoneSelects) {
  const SelectionKind& k = GetParam();
  HWND box = Make(k.cls, k.style, 10, u"", 100);
  EXPECT_EQ(Send(box, k.getSel), -1) << "an empty box has no selection";
  for (LPCWSTR s : {u"beta", u"alpha", u"Gamma"}) SendText(box, k.add, 0, s);
  EXPECT_EQ(Send(box, k.count), 3);
  EXPECT_EQ(Send(box, k.getSel), -1) << "adding items selects none (Qt would select the first)";
  EXPECT_EQ(ItemText(box, k.getText, 0), CString(u"beta")) << "no sorting without the sort style";

  EXPECT_EQ(Send(box, k.setSel, 1), 1);
  EXPECT_EQ(Send(box, k.getSel), 1);
  SendText(box, k.insert, 0, u"zeta");
  EXPECT_EQ(ItemText(box, k.getText, 0), CString(u"zeta")) << "insert puts the item where it is told";
  EXPECT_EQ(Send(box, k.getSel), 2) << "the selection stays on its item";
  Send(box, k.remove, 0);
  EXPECT_EQ(Send(box, k.getSel), 1);
  Send(box, k.remove, 1);
  EXPECT_EQ(Send(box, k.getSel), -1) << "deleting the selected item leaves none selected";
  EXPECT_EQ(Send(box, k.count), 2);

  EXPECT_EQ(Send(box, k.setSel, 5), -1) << "an index past the end fails";
  EXPECT_EQ(Send(box, k.getSel), -1);
  EXPECT_EQ(SendText(box, k.find, static_cast<WPARAM>(-1), u"GAM"), 1) << "a prefix, without regard to case";
  EXPECT_EQ(SendText(box, k.findExact, static_cast<WPARAM>(-1), u"gam"), -1);
  EXPECT_EQ(SendText(box, k.findExact, static_cast<WPARAM>(-1), u"gamma"), 1);
  EXPECT_EQ(SendText(box, k.find, 1, u"g"), 1) << "the search wraps around to the start";
  EXPECT_EQ(SendText(box, k.select, static_cast<WPARAM>(-1), u"be"), 0);
  EXPECT_EQ(SendText(box, k.select, static_cast<WPARAM>(-1), u"x"), -1);
  EXPECT_EQ(Send(box, k.getSel), 0) << "a failed select leaves the selection";
  EXPECT_EQ(Count(k.selChange), 0) << "changes by the program are not reported";
  Send(box, k.reset);
  EXPECT_EQ(Send(box, k.count), 0);
  EXPECT_EQ(Send(box, k.getSel), -1);
}

TEST_P(Selection, TheSortStyleSortsAddedItemsOnly) {
  const SelectionKind& k = GetParam();
  HWND box = Make(k.cls, k.style | (k.cls == CString(WC_COMBOBOXW) ? CBS_SORT : LBS_SORT), 10, u"", 100);
  for (LPCWSTR s : {u"beta", u"Alpha", u"gamma"}) SendText(box, k.add, 0, s);
  EXPECT_EQ(SendText(box, k.insert, static_cast<WPARAM>(-1), u"aardvark"), 3) << "insert does not sort";
  EXPECT_EQ(ItemText(box, k.getText, 0), CString(u"Alpha")) << "sorted without regard to case";
  EXPECT_EQ(ItemText(box, k.getText, 2), CString(u"gamma"));
  EXPECT_EQ(SendText(box, k.add, 0, u"delta"), 2) << "added between beta and gamma";
}

TEST_P(Selection, TheUsersChoiceIsReported) {
  const SelectionKind& k = GetParam();
  HWND box = Make(k.cls, k.style, 10, u"", 100);
  for (LPCWSTR s : {u"one", u"two", u"three"}) SendText(box, k.add, 0, s);
  Send(box, k.setSel, 0);
  SetFocus(box);
  PressKey(Qt::Key_Down);
  EXPECT_EQ(Send(box, k.getSel), 1);
  EXPECT_EQ(Count(k.selChange), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, Selection,
    ::testing::Values(
        SelectionKind {"ComboBox", WC_COMBOBOXW, CBS_DROPDOWNLIST, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING,
                       CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL, CB_GETCOUNT, CB_FINDSTRING, CB_FINDSTRINGEXACT,
                       CB_SELECTSTRING, CB_GETLBTEXT, CBN_SELCHANGE},
        SelectionKind {"EditableComboBox", WC_COMBOBOXW, CBS_DROPDOWN, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING,
                       CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL, CB_GETCOUNT, CB_FINDSTRING, CB_FINDSTRINGEXACT,
                       CB_SELECTSTRING, CB_GETLBTEXT, CBN_SELCHANGE},
        SelectionKind {"SimpleComboBox", WC_COMBOBOXW, CBS_SIMPLE, CB_ADDSTRING, CB_INSERTSTRING, CB_DELETESTRING,
                       CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL, CB_GETCOUNT, CB_FINDSTRING, CB_FINDSTRINGEXACT,
                       CB_SELECTSTRING, CB_GETLBTEXT, CBN_SELCHANGE},
        SelectionKind {"ListBox", WC_LISTBOXW, LBS_NOTIFY, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING,
                       LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL, LB_GETCOUNT, LB_FINDSTRING, LB_FINDSTRINGEXACT,
                       LB_SELECTSTRING, LB_GETTEXT, LBN_SELCHANGE}),
    [](const ::testing::TestParamInfo<SelectionKind>& info) { return std::string(info.param.name); });

TEST_F(Controls, AClickOnAListBoxRowSelectsItAndIsReported) {
  HWND box = Make(WC_LISTBOXW, LBS_NOTIFY, 10, u"", 100);
  for (LPCWSTR s : {u"one", u"two", u"three"}) SendText(box, LB_ADDSTRING, 0, s);
  RECT row {};
  ASSERT_EQ(Send(box, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)), 0);
  QWidget* list = ClientOf(box);
  QPoint at((row.left + row.right) / 2, (row.top + row.bottom) / 2);
  QWidget* target = list->childAt(at) ? list->childAt(at) : list;
  QPoint local = target->mapFrom(list, at);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(local), QPointF(target->mapToGlobal(local)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(target, &release);
  EXPECT_EQ(Send(box, LB_GETCURSEL), 1);
  EXPECT_EQ(Count(LBN_SELCHANGE), 1);
}

TEST_F(Controls, AnEditableComboKeepsItsTextWhileItemsChange) {
  HWND box = Make(WC_COMBOBOXW, CBS_DROPDOWN, 10, u"", 100);
  SetWindowTextW(box, u"typed");
  SendText(box, CB_ADDSTRING, 0, u"one");
  SendText(box, CB_INSERTSTRING, 0, u"two");
  char16_t text[32] {};
  GetWindowTextW(box, text, 32);
  EXPECT_EQ(std::u16string(text), u"typed");
  Send(box, CB_SETCURSEL, 1);
  GetWindowTextW(box, text, 32);
  EXPECT_EQ(std::u16string(text), u"one") << "selecting shows the item in the edit field";
  SendText(box, CB_SETITEMDATA, 1, nullptr);
  Send(box, CB_SETITEMDATA, 1, 0x1234567890LL);
  EXPECT_EQ(Send(box, CB_GETITEMDATA, 1), 0x1234567890LL) << "item data holds a pointer's width";
}

TEST_F(Controls, ADropDownListShowsOnlyItsItems) {
  HWND box = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST, 10, u"", 100);
  SendText(box, CB_ADDSTRING, 0, u"one");
  SendText(box, CB_ADDSTRING, 0, u"two");
  EXPECT_EQ(SendText(box, WM_SETTEXT, 0, u"TWO"), TRUE) << "setting an item's text selects it";
  EXPECT_EQ(Send(box, CB_GETCURSEL), 1);
  EXPECT_EQ(SendText(box, WM_SETTEXT, 0, u"three"), CB_ERR);
  EXPECT_EQ(Send(box, CB_GETCURSEL), 1);
  EXPECT_EQ(GetWindowTextLengthW(box), 3);
}

TEST_F(Controls, AComboBoxChangesBetweenListAndEditFieldWithItsStyle) {
  HWND box = Make(WC_COMBOBOXW, CBS_DROPDOWNLIST, 10, u"", 100);
  SendText(box, CB_ADDSTRING, 0, u"one");
  SendText(box, CB_ADDSTRING, 0, u"two");
  Send(box, CB_SETCURSEL, 1);
  auto* combo = qobject_cast<QComboBox*>(ClientOf(box));
  ASSERT_NE(combo, nullptr);
  CWnd::ModifyStyle(box, 3, CBS_DROPDOWN, 0);
  EXPECT_TRUE(combo->isEditable());
  EXPECT_EQ(Send(box, CB_GETCURSEL), 1) << "the items and the selection stay";
  EXPECT_EQ(WindowText(box), u"two");
  SetFocus(box);
  Send(box, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
  TypeText(QStringLiteral("free"));
  EXPECT_EQ(WindowText(box), u"free") << "the new edit field takes what is typed";
  EXPECT_GE(Count(CBN_EDITCHANGE), 1);
  CWnd::ModifyStyle(box, 3, CBS_DROPDOWNLIST, 0);
  EXPECT_FALSE(combo->isEditable());
  EXPECT_EQ(Send(box, CB_GETCOUNT), 2);
}

// An edit that keeps a strip at its right end for a button of its own, as the edit with a
// button does: the frame's room, its painting and its clicks are the program's.
class EditWithStrip : public CEdit {
public:
  static constexpr int kStrip = 18;
  std::vector<UINT> frameClicks;
  int framePaints = 0;

protected:
  void OnNcCalcSize(BOOL calcValidRects, NCCALCSIZE_PARAMS* params) {
    CEdit::OnNcCalcSize(calcValidRects, params);
    params->rgrc[0].right -= kStrip;
  }
  LRESULT OnNcHitTest(CPoint point) {
    LRESULT hit = CEdit::OnNcHitTest(point);
    return hit == HTNOWHERE ? HTBORDER : hit;
  }
  void OnNcPaint() {
    CEdit::OnNcPaint();
    ++framePaints;
    CWindowDC dc(this);
    CRect window;
    GetWindowRect(&window);
    dc.FillSolidRect(window.Width() - kStrip, 0, kStrip, window.Height(), RGB(0, 0, 255));
  }
  void OnNcLButtonDown(UINT hit, CPoint) { frameClicks.push_back(hit); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(EditWithStrip, CEdit)
  ON_WM_NCCALCSIZE()
  ON_WM_NCHITTEST()
  ON_WM_NCPAINT()
  ON_WM_NCLBUTTONDOWN()
END_MESSAGE_MAP()

TEST_F(Controls, AnEditsFrameCanHoldAStripOfTheProgramsOwn) {
  EditWithStrip edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 160, 32), CWnd::FromHandle(parent), 50));
  edit.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  CRect client, window;
  edit.GetClientRect(&client);
  edit.GetWindowRect(&window);
  EXPECT_EQ(client.Width(), window.Width() - EditWithStrip::kStrip) << "the client area gives up the strip";
  EXPECT_EQ(ClientOf(edit.GetSafeHwnd())->width(), client.Width()) << "and the text field with it";
  edit.RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(edit.framePaints, 1);
  QImage shown = HostOf(edit.GetSafeHwnd())->grab().toImage();
  EXPECT_EQ(shown.pixelColor(window.Width() - EditWithStrip::kStrip / 2, window.Height() / 2), QColor(0, 0, 255))
      << "the strip shows what the program painted in the frame";

  QWidget* host = HostOf(edit.GetSafeHwnd());
  QPoint at(window.Width() - EditWithStrip::kStrip / 2, window.Height() / 2);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(host->mapToGlobal(at)), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QCoreApplication::sendEvent(host, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(host->mapToGlobal(at)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(host, &release);
  EXPECT_EQ(edit.frameClicks, (std::vector<UINT> {HTBORDER})) << "a press on the strip is a press on the frame";
  edit.DestroyWindow();
}

TEST_F(Controls, EditsReportChangesAndFilterWhatIsTyped) {
  HWND edit = Make(WC_EDITW, ES_AUTOHSCROLL | ES_NUMBER, 11);
  SetWindowTextW(edit, u"12");
  EXPECT_EQ(Count(EN_CHANGE), 1) << "a single-line edit reports text set by the program";
  SetFocus(edit);
  Send(edit, EM_SETSEL, 2, 2);
  TypeText(QStringLiteral("3x4"));
  char16_t text[32] {};
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"1234") << "a number edit refuses other characters";
  EXPECT_EQ(Count(EN_CHANGE), 3);
  EXPECT_TRUE(Send(edit, EM_GETMODIFY));

  Send(edit, EM_LIMITTEXT, 5);
  TypeText(QStringLiteral("56"));
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"12345") << "the limit stops typing";
  EXPECT_EQ(Count(EN_MAXTEXT), 1);

  Send(edit, EM_SETREADONLY, TRUE);
  TypeText(QStringLiteral("7"));
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"12345");
  EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
}

TEST_F(Controls, AMultiLineEditKeepsItsLinesAndStaysQuietWhenSet) {
  HWND edit = Make(WC_EDITW, ES_MULTILINE | ES_WANTRETURN, 12, u"", 60);
  SetWindowTextW(edit, u"first\r\nsecond");
  EXPECT_EQ(Count(EN_CHANGE), 0);
  EXPECT_EQ(Send(edit, EM_GETLINECOUNT), 2);
  EXPECT_EQ(Send(edit, EM_LINEINDEX, 1), 7) << "indices count the line break as two units";
  EXPECT_EQ(GetWindowTextLengthW(edit), 13);
  Send(edit, EM_SETSEL, 7, 13);
  SendText(edit, EM_REPLACESEL, 0, u"2nd");
  char16_t text[32] {};
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"first\r\n2nd");
}

TEST_F(Controls, PasswordEditsHideWhatIsTyped) {
  HWND edit = Make(WC_EDITW, ES_PASSWORD, 13);
  EXPECT_EQ(Send(edit, EM_GETPASSWORDCHAR), u'*');
  SetWindowTextW(edit, u"secret");
  char16_t text[32] {};
  GetWindowTextW(edit, text, 32);
  EXPECT_EQ(std::u16string(text), u"secret") << "the program still reads the text";
}

struct ButtonCase {
  const char* name;
  DWORD style;
  UINT afterClick;
  UINT afterSecondClick;
};

TEST_F(Controls, ButtonsChangeByThemselvesOnlyInTheirAutomaticStyles) {
  const ButtonCase cases[] = {
      {"auto check box", BS_AUTOCHECKBOX, BST_CHECKED, BST_UNCHECKED},
      {"check box", BS_CHECKBOX, BST_UNCHECKED, BST_UNCHECKED},
      {"auto three-state", BS_AUTO3STATE, BST_CHECKED, BST_INDETERMINATE},
      {"radio button", BS_RADIOBUTTON, BST_UNCHECKED, BST_UNCHECKED},
      {"auto radio button", BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED},
  };
  for (const ButtonCase& c : cases) {
    SCOPED_TRACE(c.name);
    g_notes.clear();
    HWND button = Make(WC_BUTTONW, c.style, 20, u"Button");
    Send(button, BM_CLICK);
    EXPECT_EQ(Send(button, BM_GETCHECK), c.afterClick);
    ClickControl(button);
    EXPECT_EQ(Send(button, BM_GETCHECK), c.afterSecondClick);
    EXPECT_EQ(Count(BN_CLICKED), 2) << "every click is reported";
    Send(button, BM_SETCHECK, BST_CHECKED);
    EXPECT_EQ(Count(BN_CLICKED), 2) << "setting the check is not";
    DestroyWindow(button);
  }
}

TEST_F(Controls, AnAutomaticRadioButtonClearsItsGroupOnly) {
  HWND a = Make(WC_BUTTONW, BS_AUTORADIOBUTTON | WS_GROUP, 21, u"A");
  HWND b = Make(WC_BUTTONW, BS_AUTORADIOBUTTON, 22, u"B");
  HWND c = Make(WC_BUTTONW, BS_AUTORADIOBUTTON | WS_GROUP, 23, u"C");
  Send(a, BM_SETCHECK, BST_CHECKED);
  Send(c, BM_SETCHECK, BST_CHECKED);
  Send(b, BM_CLICK);
  EXPECT_EQ(Send(a, BM_GETCHECK), BST_UNCHECKED);
  EXPECT_EQ(Send(b, BM_GETCHECK), BST_CHECKED);
  EXPECT_EQ(Send(c, BM_GETCHECK), BST_CHECKED) << "C starts a group of its own";
}

TEST_F(Controls, ADisabledButtonIgnoresClicks) {
  HWND button = Make(WC_BUTTONW, BS_PUSHBUTTON | WS_DISABLED, 24, u"Off");
  Send(button, BM_CLICK);
  ClickControl(button);
  EXPECT_EQ(Count(BN_CLICKED), 0);
}

TEST_F(Controls, OwnerDrawnButtonsAskTheirParentToDrawThem) {
  static int draws = 0;
  static UINT state = 0;
  state = 0;
  WNDPROC before = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent, GWLP_WNDPROC));
  static WNDPROC chained = before;
  SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_DRAWITEM) {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
      ++draws;
      state = dis->itemState;
      return TRUE;
    }
    return chained(h, m, w, l);
  }));
  HWND button = Make(WC_BUTTONW, BS_OWNERDRAW, 25, u"Drawn");
  UpdateWindow(button);
  EXPECT_GE(draws, 1);
  EXPECT_FALSE(state & ODS_SELECTED);
  ClickControl(button);
  EXPECT_EQ(Count(BN_CLICKED), 1);
  SetWindowLongPtrW(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before));
}

TEST_F(Controls, ScrollBarsKeepTheThumbWithinRangeLessPage) {
  HWND bar = Make(WC_SCROLLBARW, SBS_HORZ, 30);
  SCROLLINFO info {sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 95, 0};
  EXPECT_EQ(SetScrollInfo(bar, SB_CTL, &info, TRUE), 90) << "the largest position is max - page + 1";
  EXPECT_EQ(SetScrollPos(bar, SB_CTL, -5, TRUE), 90);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 0);
  SCROLLINFO read {sizeof read, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(bar, SB_CTL, &read));
  EXPECT_EQ(read.nMax, 99);
  EXPECT_EQ(read.nPage, 10u);
}

TEST_F(Controls, AWindowsScrollBarComesAndGoesWithWhatThereIsToScroll) {
  HWND view = CreateWindowExW(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, parent, nullptr, nullptr, nullptr);
  RECT before {};
  GetClientRect(view, &before);
  SCROLLINFO info {sizeof info, SIF_RANGE | SIF_PAGE, 0, 299, 100, 0, 0};
  SetScrollInfo(view, SB_VERT, &info, TRUE);
  EXPECT_TRUE(GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL);
  RECT with {};
  GetClientRect(view, &with);
  EXPECT_EQ(with.right, before.right - GetSystemMetrics(SM_CXVSCROLL)) << "the bar takes its room from the client area";
  info.nMax = 50;
  SetScrollInfo(view, SB_VERT, &info, TRUE);
  EXPECT_FALSE(GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) << "a page that covers the range hides the bar";
  info.fMask |= SIF_DISABLENOSCROLL;
  SetScrollInfo(view, SB_VERT, &info, TRUE);
  EXPECT_TRUE(GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) << "unless it is to stay, disabled";
  DestroyWindow(view);
}

// Controls that scroll their contents themselves answer for their own bars: each case makes a
// control, lets it lay out its contents, scrolls it its own way or as the user does, and says
// where the control itself says it stands then (-1: anywhere past the start) and the range's
// maximum as the desktop's controls report it (-1: not checked).
struct Scrolled {
  HWND control;
  int bar;
  int position;
  int maximum;
};

struct ScrollCase {
  const char* name;
  Scrolled (*scroll)(HWND parent);
};

HWND MakeChild(HWND parent, LPCWSTR cls, DWORD style) {
  return CreateWindowExW(0, cls, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 160, 100, parent, nullptr, nullptr, nullptr);
}

HWND MakeRows(HWND parent, int columnWidth, int rows) {
  HWND list = MakeChild(parent, WC_LISTVIEWW, LVS_REPORT);
  LVCOLUMNW column {LVCF_TEXT | LVCF_WIDTH, 0, columnWidth, const_cast<LPWSTR>(u"Name"), 0, 0};
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  for (int i = 0; i < rows; ++i) {
    LVITEMW item {LVIF_TEXT, i, 0, 0, 0, const_cast<LPWSTR>(u"row"), 0, 0, 0};
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
  Pump();
  return list;
}

std::vector<HTREEITEM> MakeBranches(HWND tree, int count, LPCWSTR text) {
  std::vector<HTREEITEM> items;
  for (int i = 0; i < count; ++i) {
    TVINSERTSTRUCTW insert {TVI_ROOT, TVI_LAST, TVITEMW {TVIF_TEXT, nullptr, 0, 0, const_cast<LPWSTR>(text), 0, 0, 0, 0, 0}};
    items.push_back(reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert))));
  }
  Pump();
  return items;
}

int TextLeft(HWND tree, HTREEITEM item) {
  RECT r {};
  std::memcpy(&r, &item, sizeof item);  // the item goes in, its rectangle comes out
  SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
  return r.left;
}

const ScrollCase kScrollCases[] = {
    {"ListViewRows",
     [](HWND parent) {
       HWND list = MakeRows(parent, 100, 50);
       SendMessageW(list, LVM_ENSUREVISIBLE, 40, FALSE);
       return Scrolled {list, SB_VERT, static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0)), 49};
     }},
    {"ListViewSideways",
     [](HWND parent) {
       HWND list = MakeRows(parent, 600, 3);
       // The user moves the bar a page to the right.
       ClientOf(list)->findChild<QAbstractScrollArea*>()->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
       RECT row {LVIR_BOUNDS, 0, 0, 0};
       SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
       return Scrolled {list, SB_HORZ, -row.left, 599};
     }},
    {"TreeRows",
     [](HWND parent) {
       HWND tree = MakeChild(parent, WC_TREEVIEWW, 0);
       std::vector<HTREEITEM> items = MakeBranches(tree, 50, u"branch");
       SendMessageW(tree, WM_VSCROLL, SB_PAGEDOWN, 0);
       auto first = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
       return Scrolled {tree, SB_VERT, static_cast<int>(std::find(items.begin(), items.end(), first) - items.begin()), 49};
     }},
    {"TreeSideways",
     [](HWND parent) {
       HWND tree = MakeChild(parent, WC_TREEVIEWW, 0);
       HTREEITEM item = MakeBranches(tree, 1, u"a branch whose name is far wider than the tree")[0];
       int before = TextLeft(tree, item);
       SendMessageW(tree, WM_HSCROLL, SB_PAGEDOWN, 0);
       return Scrolled {tree, SB_HORZ, before - TextLeft(tree, item), -1};
     }},
    {"ListBoxRows",
     [](HWND parent) {
       HWND box = MakeChild(parent, WC_LISTBOXW, WS_VSCROLL);
       for (int i = 0; i < 50; ++i) SendMessageW(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"line"));
       Pump();
       SendMessageW(box, LB_SETTOPINDEX, 20, 0);
       return Scrolled {box, SB_VERT, static_cast<int>(SendMessageW(box, LB_GETTOPINDEX, 0, 0)), 49};
     }},
    {"MultiLineEditLines",
     [](HWND parent) {
       HWND edit = MakeChild(parent, WC_EDITW, ES_MULTILINE | WS_VSCROLL);
       std::u16string text;
       for (int i = 0; i < 50; ++i) text += u"line\r\n";
       SetWindowTextW(edit, text.c_str());
       Pump();
       SendMessageW(edit, EM_SETSEL, text.size(), text.size());
       SendMessageW(edit, EM_SCROLLCARET, 0, 0);
       return Scrolled {edit, SB_VERT, -1, static_cast<int>(SendMessageW(edit, EM_GETLINECOUNT, 0, 0)) - 1};
     }},
};

class ScrollingControls : public Controls, public ::testing::WithParamInterface<ScrollCase> {};

TEST_P(ScrollingControls, AnswerForTheBarsTheyScrollWith) {
  Scrolled s = GetParam().scroll(parent);
  ASSERT_NE(s.control, nullptr);
  SCROLLINFO info {sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
  ASSERT_TRUE(GetScrollInfo(s.control, s.bar, &info));
  EXPECT_GT(info.nPos, 0) << "the control was scrolled";
  if (s.position >= 0) {
    EXPECT_EQ(info.nPos, s.position);
  }
  if (s.maximum >= 0) {
    EXPECT_EQ(info.nMax, s.maximum);
  }
  EXPECT_LE(info.nPos, info.nMax - static_cast<int>(info.nPage) + 1) << "the largest position is max - page + 1";
  EXPECT_EQ(GetScrollPos(s.control, s.bar), info.nPos);
  EXPECT_EQ(GetScrollPos(s.control, s.bar == SB_VERT ? SB_HORZ : SB_VERT), 0) << "the other bar did not move";
}

INSTANTIATE_TEST_SUITE_P(Controls, ScrollingControls, ::testing::ValuesIn(kScrollCases),
                         [](const ::testing::TestParamInfo<ScrollCase>& info) { return std::string(info.param.name); });

TEST_F(Controls, ProgressBarsKeepTheirPositionInRangeAndStepAround) {
  HWND bar = Make(PROGRESS_CLASSW, 0, 31);
  EXPECT_EQ(Send(bar, PBM_SETRANGE32, 0, 50), MAKELRESULT(0, 100));
  Send(bar, PBM_SETPOS, 80);
  EXPECT_EQ(Send(bar, PBM_GETPOS), 50);
  Send(bar, PBM_SETSTEP, 20);
  Send(bar, PBM_SETPOS, 40);
  EXPECT_EQ(Send(bar, PBM_STEPIT), 40) << "step answers the position before";
  EXPECT_EQ(Send(bar, PBM_GETPOS), 10) << "and wraps around past the end";
  PBRANGE range {};
  EXPECT_EQ(Send(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range)), 50);
  EXPECT_EQ(range.iLow, 0);
}

TEST_F(Controls, AWindowsScrollBarCanStayShownButDisabled) {
  CWnd view;
  ASSERT_TRUE(view.CreateEx(0, u"AfxWnd", u"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), CWnd::FromHandle(parent), 0));
  view.ShowScrollBar(SB_VERT, TRUE);
  view.EnableScrollBarCtrl(SB_VERT, FALSE);
  EXPECT_TRUE(view.GetStyle() & WS_VSCROLL) << "disabling leaves the bar where it is";
  auto bars = HostOf(view.GetSafeHwnd())->findChildren<QScrollBar*>();
  ASSERT_EQ(bars.size(), 1);
  EXPECT_FALSE(bars.front()->isEnabled());
  view.EnableScrollBarCtrl(SB_BOTH, TRUE);
  EXPECT_TRUE(bars.front()->isEnabled());
}

TEST_F(Controls, UpDownArrowsStepTheNumberOfTheirBuddyWithinTheRange) {
  HWND dialog = CreateDialogParamW(nullptr, u"IDD_SPIN", parent, nullptr, 0);
  ASSERT_NE(dialog, nullptr);
  HWND edit = GetDlgItem(dialog, 1210), arrows = GetDlgItem(dialog, 1211);
  CSpinButtonCtrl spin;
  ASSERT_TRUE(spin.Attach(arrows));
  EXPECT_EQ(spin.GetBuddy()->GetSafeHwnd(), edit) << "the window before it is its buddy";
  RECT e {}, a {};
  GetWindowRect(edit, &e);
  GetWindowRect(arrows, &a);
  EXPECT_EQ(a.left, e.right) << "the arrows sit at the buddy's right end, which gave up their width";
  EXPECT_EQ((std::vector<LONG> {a.top, a.bottom}), (std::vector<LONG> {e.top, e.bottom}));

  spin.SetRange(1, 100);
  int lower = 0, upper = 0;
  spin.GetRange32(lower, upper);
  EXPECT_EQ((std::vector<int> {lower, upper}), (std::vector<int> {1, 100}));
  spin.SetPos(150);
  EXPECT_EQ(WindowText(edit), u"100") << "a position beyond the range is its end, and the buddy shows it";

  struct Typed {
    const char16_t* text;
    int pos;
    BOOL error;
  };
  const Typed typed[] = {{u"7", 7, FALSE}, {u" 12 ", 12, FALSE}, {u"abc", 12, TRUE}, {u"500", 12, TRUE}, {u"0", 12, TRUE}};
  for (const Typed& t : typed) {
    SetWindowTextW(edit, t.text);
    BOOL error = -1;
    EXPECT_EQ(spin.GetPos32(&error), t.pos) << QString::fromStdU16String(t.text).toStdString();
    EXPECT_EQ(error, t.error) << QString::fromStdU16String(t.text).toStdString();
  }

  auto buttons = ClientOf(arrows)->findChildren<QToolButton*>();
  ASSERT_EQ(buttons.size(), 2);
  SetWindowTextW(edit, u"99");
  buttons[0]->click();
  EXPECT_EQ(WindowText(edit), u"100") << "the upper arrow counts up from what the buddy shows";
  buttons[0]->click();
  EXPECT_EQ(WindowText(edit), u"100") << "and stops at the end";
  spin.ModifyStyle(0, UDS_WRAP);
  buttons[0]->click();
  EXPECT_EQ(WindowText(edit), u"1") << "unless the arrows wrap around";
  buttons[1]->click();
  EXPECT_EQ(WindowText(edit), u"100");
  spin.Detach();
  DestroyWindow(dialog);
}

TEST_F(Controls, StaticsLetTheMouseThroughUnlessTheyNotify) {
  HWND plain = Make(WC_STATICW, SS_LEFT, 40, u"&Label");
  HWND notify = Make(WC_STATICW, SS_NOTIFY, 41, u"Link");
  EXPECT_EQ(Send(plain, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTTRANSPARENT);
  EXPECT_EQ(Send(notify, WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTCLIENT);
  Send(notify, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(Count(STN_CLICKED), 1);
}

}  // namespace
