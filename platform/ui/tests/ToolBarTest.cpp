// Tool bars: buttons laid out by size, clicks that become commands of the frame (unless their
// update handler disables them), check and drop-down buttons, tips, labels from the string pool,
// rows and columns by docking, wraps of floating bars, borders and gripper, controls over
// separators; and the version the common controls report.

#include "platform/core/module.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CToolBar.h"
#include "platform/ui/shell/shlobj.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <ostream>
#include <string>

// Found by argument lookup from gtest's messages (CRect, CPoint and CSize print through
// UiTestSupport.h).
static std::ostream& operator<<(std::ostream& out, const SIZE& s) { return out << s.cx << " x " << s.cy; }

namespace {

enum : UINT { ID_OPEN = 201, ID_PRINT, ID_ZOOM };

// A bar as a derived bar sees it: its layout state, the dock side it records on every position
// change, and tips it may answer itself before its frame is asked.
class TestBar : public CToolBar {
public:
  using CToolBar::m_bDelayedButtonLayout;
  using CToolBar::m_nMRUWidth;
  using CToolBar::m_pStringMap;
  UINT dockSide = 0;
  int positionChanges = 0;
  const char16_t* ownTip = nullptr;

protected:
  void OnWindowPosChanging(WINDOWPOS* pos) {
    pos->flags |= SWP_FRAMECHANGED;
    CToolBar::OnWindowPosChanging(pos);
    dockSide = static_cast<UINT>(GetParent()->GetDlgCtrlID());
    ++positionChanges;
  }
  BOOL OnTip(UINT, NMHDR* hdr, LRESULT* result) {
    if (!ownTip) return FALSE;
    reinterpret_cast<NMTTDISPINFOW*>(hdr)->lpszText = const_cast<LPWSTR>(ownTip);
    *result = 1;
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TestBar, CToolBar)
  ON_WM_WINDOWPOSCHANGING()
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &TestBar::OnTip)
END_MESSAGE_MAP()

bool Near(QRgb a, COLORREF b) {
  return std::abs(qRed(a) - GetRValue(b)) < 8 && std::abs(qGreen(a) - GetGValue(b)) < 8 && std::abs(qBlue(a) - GetBValue(b)) < 8;
}

// What the screen shows of a window at a point of its client area.
QRgb PixelAt(HWND hwnd, CPoint client) {
  QPoint at = ClientOf(hwnd)->mapTo(HostOf(hwnd), QPoint(client.x, client.y));
  return HostOf(hwnd)->grab().toImage().pixel(at);
}

// A bar along the parent's edge with buttons of the size and commands given (0: a separator).
bool MakeBar(TestBar& bar, CWnd* parent, DWORD style, CSize button, std::initializer_list<UINT> ids,
             CRect margins = CRect(0, 0, 0, 0), UINT id = AFX_IDW_TOOLBAR) {
  if (!bar.CreateEx(parent, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | style, margins, id)) return false;
  bar.SetSizes(button, CSize(16, 15));
  return bar.SetButtons(ids.begin(), static_cast<int>(ids.size()));
}

// The bar's window rectangle, and its client rectangle in the same coordinates.
void BarRects(CWnd& bar, CRect& window, CRect& client) {
  bar.GetWindowRect(&window);
  bar.GetClientRect(&client);
  bar.ClientToScreen(&client);
  client.OffsetRect(-window.left, -window.top);
  window.OffsetRect(-window.left, -window.top);
}

class Frame : public CFrameWnd {
public:
  void OnOpen() { ++opened; }
  void OnPrint() { ++printed; }
  void OnZoom() { ++zoomed; }
  void OnUpdatePrint(CCmdUI* ui) { ui->Enable(canPrint); }
  void OnDropDown(NMHDR* hdr, LRESULT* result) {
    droppedFor = reinterpret_cast<NMTOOLBARW*>(hdr)->iItem;
    *result = TBDDRET_DEFAULT;
  }
  BOOL OnTip(UINT, NMHDR* hdr, LRESULT*) {
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(hdr);
    tipFor = static_cast<int>(hdr->idFrom);
    info->lpszText = const_cast<LPWSTR>(u"Open a batch");
    return TRUE;
  }
  int opened = 0, printed = 0, zoomed = 0, droppedFor = 0, tipFor = 0;
  bool canPrint = false;
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Frame, CFrameWnd)
  ON_COMMAND(ID_OPEN, &Frame::OnOpen)
  ON_COMMAND(ID_PRINT, &Frame::OnPrint)
  ON_COMMAND(ID_ZOOM, &Frame::OnZoom)
  ON_UPDATE_COMMAND_UI(ID_PRINT, &Frame::OnUpdatePrint)
  ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, &Frame::OnDropDown)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &Frame::OnTip)
END_MESSAGE_MAP()

void Click(CToolBar& bar, int index, int fromRight = -1) {
  CRect r;
  bar.GetItemRect(index, &r);
  QWidget* widget = ClientOf(bar.GetSafeHwnd());
  QPoint at(fromRight >= 0 ? r.right - fromRight : r.CenterPoint().x, r.CenterPoint().y);
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(widget->mapToGlobal(at)), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(widget, &release);
}

class ToolBars : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new Frame;
    ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
    ASSERT_TRUE(MakeBar(bar, frame, CBRS_TOP | CBRS_TOOLTIPS, CSize(24, 22), {ID_OPEN, 0, ID_PRINT, ID_ZOOM}));
    // Three pictures side by side.
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    strip.CreateBitmap(48, 15, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&strip);
    dc.FillSolidRect(0, 0, 48, 15, RGB(0, 0, 128));
    dc.SelectObject(old);
    ASSERT_TRUE(bar.SetBitmap(static_cast<HBITMAP>(strip.GetSafeHandle())));
    frame->RecalcLayout();
  }
  void TearDown() override {
    bar.DestroyWindow();
    frame->DestroyWindow();
  }
  Frame* frame {};
  TestBar bar;
  CBitmap strip;
};

TEST_F(ToolBars, ButtonsSitSideBySideAndTheBarAlongTheTop) {
  CRect open, separator, print;
  bar.GetItemRect(0, &open);
  bar.GetItemRect(1, &separator);
  bar.GetItemRect(2, &print);
  EXPECT_EQ(open, CRect(0, 0, 24, 22));
  EXPECT_EQ(separator.Width(), 8);
  EXPECT_EQ(print.left, 32);
  EXPECT_EQ(bar.GetItemID(2), ID_PRINT);
  EXPECT_EQ(bar.GetItemID(1), 0u) << "a separator has no command";
  EXPECT_EQ(bar.CommandToIndex(ID_ZOOM), 3);
  CRect place, client;
  bar.GetWindowRect(&place);
  frame->ScreenToClient(&place);
  frame->GetClientRect(&client);
  EXPECT_EQ(place.top, client.top);
  EXPECT_EQ(place.Width(), client.Width()) << "a bar docked on top is as wide as the frame";
  EXPECT_EQ(place.Height(), 24) << "the buttons and the border below them";
}

TEST_F(ToolBars, ClicksAreCommandsUnlessTheUpdateHandlerDisablesThem) {
  Click(bar, 0);
  EXPECT_EQ(frame->opened, 1);
  bar.OnUpdateCmdUI(frame, TRUE);
  EXPECT_TRUE(bar.GetButtonStyle(2) & TBBS_DISABLED);
  Click(bar, 2);
  EXPECT_EQ(frame->printed, 0) << "a disabled button does nothing";
  frame->canPrint = true;
  bar.OnUpdateCmdUI(frame, TRUE);
  EXPECT_FALSE(bar.GetButtonStyle(2) & TBBS_DISABLED);
  Click(bar, 2);
  EXPECT_EQ(frame->printed, 1);
  // Shown enabled, but disabled by the time the click arrives: the frame asks again.
  bar.GetToolBarCtrl().EnableButton(ID_PRINT, TRUE);
  frame->canPrint = false;
  Click(bar, 2);
  EXPECT_EQ(frame->printed, 1);
}

TEST_F(ToolBars, CheckButtonsToggleAndDropDownsAskTheFrame) {
  bar.SetButtonStyle(3, TBBS_CHECKBOX);
  Click(bar, 3);
  EXPECT_TRUE(bar.GetToolBarCtrl().IsButtonChecked(ID_ZOOM));
  Click(bar, 3);
  EXPECT_FALSE(bar.GetToolBarCtrl().IsButtonChecked(ID_ZOOM));
  EXPECT_EQ(frame->zoomed, 2);

  bar.GetToolBarCtrl().SetExtendedStyle(TBSTYLE_EX_DRAWDDARROWS);
  bar.SetButtonStyle(0, TBBS_DROPDOWN);
  Click(bar, 0, 4);
  EXPECT_EQ(frame->droppedFor, static_cast<int>(ID_OPEN)) << "the arrow drops the menu";
  EXPECT_EQ(frame->opened, 0);
  Click(bar, 0, 30);
  EXPECT_EQ(frame->opened, 1) << "the face runs the command";
}

TEST_F(ToolBars, TipsComeFromTheFrameByCommand) {
  CRect open;
  bar.GetItemRect(0, &open);
  QWidget* widget = ClientOf(bar.GetSafeHwnd());
  QPoint at = QPoint(open.CenterPoint().x, open.CenterPoint().y);
  QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
  QCoreApplication::sendEvent(widget, &help);
  EXPECT_EQ(frame->tipFor, static_cast<int>(ID_OPEN));
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Open a batch"));
}

TEST_F(ToolBars, ButtonTextsShowBelowThePictures) {
  int heightBefore = bar.CalcFixedLayout(FALSE, TRUE).cy;
  ASSERT_TRUE(bar.SetButtonText(0, u"Open"));
  EXPECT_EQ(bar.GetButtonText(0), CString(u"Open"));
  EXPECT_GT(bar.CalcFixedLayout(FALSE, TRUE).cy, heightBefore) << "a row of text under the pictures";
  bar.GetToolBarCtrl().SetMaxTextRows(0);
  EXPECT_EQ(bar.CalcFixedLayout(FALSE, TRUE).cy, heightBefore) << "no text rows, no texts";
}

TEST_F(ToolBars, TheBarIsAskedForTipsBeforeItsFrame) {
  CRect zoom;
  bar.GetItemRect(3, &zoom);
  QWidget* widget = ClientOf(bar.GetSafeHwnd());
  QPoint at(zoom.CenterPoint().x, zoom.CenterPoint().y);
  QHelpEvent help(QEvent::ToolTip, at, widget->mapToGlobal(at));
  bar.ownTip = u"Zoom in";
  QCoreApplication::sendEvent(widget, &help);
  EXPECT_EQ(QToolTip::text(), QStringLiteral("Zoom in"));
  EXPECT_EQ(frame->tipFor, 0) << "answered by the bar";
  bar.ownTip = nullptr;
  QCoreApplication::sendEvent(widget, &help);
  EXPECT_EQ(frame->tipFor, static_cast<int>(ID_ZOOM)) << "left to the frame";
}

TEST_F(ToolBars, EachDistinctLabelEntersTheStringPoolOnce) {
  EXPECT_EQ(bar.m_pStringMap, nullptr);
  ASSERT_TRUE(bar.SetButtonText(0, u"Open"));
  ASSERT_TRUE(bar.SetButtonText(2, u"Open"));
  ASSERT_TRUE(bar.SetButtonText(3, u"open"));
  ASSERT_NE(bar.m_pStringMap, nullptr);
  EXPECT_EQ(bar.m_pStringMap->GetCount(), 2);
  TBBUTTON open {}, print {}, zoom {};
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  ctrl.GetButton(0, &open);
  ctrl.GetButton(2, &print);
  ctrl.GetButton(3, &zoom);
  EXPECT_EQ(open.iString, print.iString);
  EXPECT_NE(open.iString, zoom.iString);
  EXPECT_EQ(bar.GetButtonText(2), CString(u"Open"));
  EXPECT_EQ(bar.GetButtonText(3), CString(u"open"));

  // The pool held two texts; a list of texts gets the next indexes and answers the first.
  EXPECT_EQ(ctrl.AddStrings(u"One\0Two\0"), 2);
  EXPECT_EQ(ctrl.AddStrings(u""), 4) << "an empty text is a text";
  EXPECT_EQ(ctrl.AddStrings(u"Three\0"), 5);
  EXPECT_EQ(ctrl.SendMessage(TB_ADDSTRINGW, 0, 0), -1);
  TBBUTTON extra {0, 300, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, 3};
  ASSERT_TRUE(ctrl.InsertButton(4, &extra));
  EXPECT_EQ(bar.GetButtonText(4), CString(u"Two"));
  // Rewriting a button (here its style) keeps its label, also one that was given by pointer: the
  // caller's text is its own again once the button is in.
  bar.SetButtonStyle(4, TBBS_CHECKBOX);
  EXPECT_EQ(bar.GetButtonText(4), CString(u"Two"));
  std::u16string callers = u"Zoom in";
  TBBUTTON byPointer {1, 301, TBSTATE_ENABLED, BTNS_BUTTON, {}, 0, reinterpret_cast<INT_PTR>(callers.c_str())};
  ASSERT_TRUE(ctrl.InsertButton(5, &byPointer));
  callers.assign(u"Changed");
  bar.SetButtonStyle(5, TBBS_CHECKBOX);
  EXPECT_EQ(bar.GetButtonText(5), CString(u"Zoom in"));
}

TEST_F(ToolBars, LabelsMakeButtonsAsLargeAsTheyNeed) {
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  bar.SetSizes(CSize(23, 21), CSize(16, 15));
  const int open = ctrl.AddStrings(u"Open a batch\0");
  const int print = ctrl.AddStrings(u"Print\0");
  // Open: autosized, its label shown; Print: autosized, label not asked for beside the picture;
  // Zoom: a plain button without a label.
  auto restyle = [&](int index, BYTE style, INT_PTR label) {
    TBBUTTON b {};
    ctrl.GetButton(index, &b);
    b.fsStyle = style;
    b.iString = label;
    ctrl.DeleteButton(index);
    ctrl.InsertButton(index, &b);
  };
  restyle(0, BTNS_AUTOSIZE | BTNS_SHOWTEXT, open);
  restyle(2, BTNS_AUTOSIZE, print);
  auto sizeOf = [&](int index) {
    CRect r;
    ctrl.GetItemRect(index, &r);
    return r.Size();
  };
  const CSize imageOnly(23, 21);
  struct Case {
    const char* what;
    bool list;
    DWORD exStyle;
    int rows;
    bool openWide, printWide, tall;
  };
  const Case cases[] = {
      {"no text rows: pictures only", true, TBSTYLE_EX_MIXEDBUTTONS, 0, false, false, false},
      {"beside the pictures, only where asked", true, TBSTYLE_EX_MIXEDBUTTONS, 1, true, false, false},
      {"beside the pictures, every label", true, 0, 1, true, true, false},
      {"below the pictures, every label", false, TBSTYLE_EX_MIXEDBUTTONS, 1, true, true, true},
  };
  for (const Case& c : cases) {
    ctrl.SendMessage(TB_SETSTYLE, 0, static_cast<LPARAM>(c.list ? bar.GetStyle() | TBSTYLE_LIST : bar.GetStyle() & ~TBSTYLE_LIST));
    ctrl.SetExtendedStyle(c.exStyle);
    ctrl.SetMaxTextRows(c.rows);
    const CSize button = ctrl.GetButtonSize();
    EXPECT_EQ(sizeOf(3), button) << c.what << ": a plain button has the size every button has";
    EXPECT_EQ(button.cx, 23) << c.what;
    EXPECT_EQ(button.cy > 21, c.tall) << c.what << ": " << button;
    EXPECT_EQ(sizeOf(0).cx > 23, c.openWide) << c.what << ": " << sizeOf(0);
    EXPECT_EQ(sizeOf(2).cx > 23, c.printWide) << c.what << ": " << sizeOf(2);
    EXPECT_EQ(sizeOf(0).cy, button.cy) << c.what;
    if (!c.openWide && !c.tall) {
      EXPECT_EQ(sizeOf(0), imageOnly) << c.what;
    }
    if (c.tall) {
      EXPECT_GT(sizeOf(0).cx, sizeOf(2).cx) << c.what << ": the longer label is wider";
    }
  }
}

TEST_F(ToolBars, WhileRedrawIsOffTheBarKeepsWhatItShowed) {
  Pump();
  CRect open;
  bar.GetItemRect(0, &open);
  const CPoint inPicture(open.left + 5, open.CenterPoint().y);
  const QRgb picture = PixelAt(bar.GetSafeHwnd(), inPicture);
  ASSERT_EQ(picture, qRgb(0, 0, 128));
  bar.SendMessage(WM_SETREDRAW, FALSE);
  bar.GetToolBarCtrl().HideButton(ID_OPEN);
  bar.Invalidate();
  Pump();
  EXPECT_EQ(PixelAt(bar.GetSafeHwnd(), inPicture), picture) << "nothing painted while redraw is off";
  bar.SendMessage(WM_SETREDRAW, TRUE);
  EXPECT_TRUE(Near(PixelAt(bar.GetSafeHwnd(), inPicture), GetSysColor(COLOR_BTNFACE))) << "the button is gone";
}

TEST_F(ToolBars, AControlOverAPlaceholderPaintsAboveTheBar) {
  const int index = bar.CommandToIndex(ID_ZOOM);
  bar.SetButtonInfo(index, ID_ZOOM, TBBS_SEPARATOR, 80);
  EXPECT_EQ(bar.CommandToIndex(ID_ZOOM), index) << "a placeholder keeps its command";
  CRect place;
  bar.GetItemRect(index, &place);
  EXPECT_EQ(place.Width(), 80) << "a separator is as wide as its image";
  EXPECT_EQ(place.Height(), 22);

  CEdit edit;
  ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(place.left, place.top + 2, place.right, place.bottom - 2),
                          &bar, ID_ZOOM));
  ASSERT_NE(bar.GetFont(), nullptr);
  edit.SetFont(bar.GetFont());
  bar.ModifyStyle(0, WS_CLIPCHILDREN);
  bar.Invalidate();
  Pump();
  EXPECT_TRUE(Near(PixelAt(bar.GetSafeHwnd(), place.CenterPoint()), GetSysColor(COLOR_WINDOW)));

  // Hidden by its command, the placeholder takes no room.
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  ASSERT_TRUE(ctrl.HideButton(ID_ZOOM));
  EXPECT_TRUE(ctrl.IsButtonHidden(ID_ZOOM));
  CRect hidden;
  EXPECT_FALSE(ctrl.GetItemRect(index, &hidden));
  edit.DestroyWindow();
}

TEST_F(ToolBars, ADerivedBarSeesEveryPositionChangeAndItsParent) {
  CWnd dock;
  ASSERT_TRUE(dock.Create(nullptr, u"", WS_CHILD | WS_VISIBLE, CRect(0, 100, 300, 200), frame, AFX_IDW_DOCKBAR_LEFT));
  bar.SetParent(&dock);
  bar.positionChanges = 0;
  bar.SetWindowPos(nullptr, 0, 0, 30, 90, SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(bar.dockSide, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
  bar.ShowWindow(SW_HIDE);
  bar.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_GE(bar.positionChanges, 2) << "hidden bars hear of position changes too";
  bar.SetParent(frame);
  bar.DestroyWindow();
  dock.DestroyWindow();
}

TEST(CommonControls, TheirModuleReportsTheVersionTheControlsFollow) {
  HMODULE comctl = LoadLibraryW(u"COMCTL32.dll");
  ASSERT_NE(comctl, nullptr);
  EXPECT_EQ(GetModuleHandleW(u"comctl32.dll"), comctl);
  auto getVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(comctl, "DllGetVersion"));
  ASSERT_NE(getVersion, nullptr);
  auto ask = [&](DWORD size, DLLVERSIONINFO& info) {
    info = DLLVERSIONINFO {};
    info.cbSize = size;
    return getVersion(&info);
  };
  DLLVERSIONINFO info {};
  ASSERT_EQ(ask(20, info), S_OK);
  EXPECT_EQ(info.dwMajorVersion, 6u);
  EXPECT_EQ(info.dwMinorVersion, 0u);
  EXPECT_EQ(ask(16, info), E_INVALIDARG);
  EXPECT_EQ(getVersion(nullptr), E_INVALIDARG);

  struct Case {
    DWORD major, minor;
    HRESULT result;
  };
  const Case cases[] = {{4, 70, S_OK}, {4, 71, S_OK}, {5, 80, S_OK}, {0, 0, E_FAIL}};
  for (const Case& c : cases) {
    SetCommonControlsVersion(c.major, c.minor);
    EXPECT_EQ(ask(20, info), c.result) << c.major << "." << c.minor;
    if (c.result == S_OK) {
      EXPECT_EQ(info.dwMajorVersion << 16 | info.dwMinorVersion, c.major << 16 | c.minor);
    }
  }
  SetCommonControlsVersion(6, 0);
  EXPECT_EQ(GetProcAddress(comctl, "DllInstall"), nullptr);
  EXPECT_TRUE(FreeLibrary(comctl));
}

// A bar of 23 x 21 buttons A, B, a separator (8 wide), C, D, E and F (commands 1-6): 146 wide in
// one row. Without borders, margins or gripper its size is its buttons' size.
class ToolBarLayouts : public ::testing::Test {
protected:
  void SetUp() override {
    frame = new CFrameWnd;
    ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
    ASSERT_TRUE(MakeBar(bar, frame, CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC, CSize(23, 21), {1, 2, 0, 3, 4, 5, 6}));
  }
  void TearDown() override {
    bar.DestroyWindow();
    frame->DestroyWindow();
  }
  CRect ItemRect(int index) {
    CRect r;
    bar.GetToolBarCtrl().GetItemRect(index, &r);
    return r;
  }
  CFrameWnd* frame {};
  TestBar bar;
};

TEST_F(ToolBarLayouts, DockedAlongTheTopARowAlongASideAColumn) {
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), CSize(146, 21));
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_STRETCH | LM_HORZ | LM_HORZDOCK), CSize(32767, 21));
  // Every button in a row of its own; the separator ends B's row and opens an 8-pixel gap.
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_VERTDOCK), CSize(23, 6 * 21 + 8));
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_STRETCH | LM_VERTDOCK), CSize(23, 32767));

  // Measuring leaves the control as it is; committing writes the rows into it.
  EXPECT_EQ(ItemRect(6), CRect(123, 0, 146, 21));
  bar.CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
  const int tops[] = {0, 21, -1, 50, 71, 92, 113};
  for (int i = 0; i < 7; ++i) {
    if (tops[i] < 0) continue;
    EXPECT_EQ(ItemRect(i), CRect(0, tops[i], 23, tops[i] + 21)) << "button " << i;
  }
  // Rows stay as they are with CBRS_SIZE_FIXED.
  bar.SetBarStyle(bar.GetBarStyle() | CBRS_SIZE_FIXED);
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), CSize(23, 134));
}

TEST_F(ToolBarLayouts, AWrappedSeparatorOpensAGapAsTallAsItIsWide) {
  bar.SetButtonInfo(2, 0, TBBS_SEPARATOR, 12);
  bar.CalcDynamicLayout(0, LM_HORZ | LM_HORZDOCK | LM_COMMIT);
  EXPECT_EQ(ItemRect(2), CRect(46, 0, 58, 21)) << "in a row: its width, a button's height";
  bar.CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
  EXPECT_TRUE(bar.GetButtonStyle(2) & TBBS_WRAPPED);
  EXPECT_EQ(ItemRect(2), CRect(23, 42, 35, 54)) << "wrapped: at the end of its row, as tall as it is wide";
  EXPECT_EQ(ItemRect(3).top, 54);
  EXPECT_EQ(bar.GetToolBarCtrl().GetButtonSize(), CSize(23, 21));
}

TEST_F(ToolBarLayouts, AFloatingBarWrapsToTheWidthItWasLastGiven) {
  bar.SetBarStyle(bar.GetBarStyle() | CBRS_FLOATING);
  struct Case {
    int width;
    CSize size;  // and the width it keeps
  };
  const Case cases[] = {
      {500, {146, 21}},
      {146, {146, 21}},
      {100, {92, 21 + 8 + 21}},       // A B | C D E F: the row ends at the separator
      {60, {46, 21 + 8 + 21 + 21}},   // A B | C D | E F
      {0, {23, 6 * 21 + 8}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(bar.CalcDynamicLayout(c.width, LM_HORZ | LM_COMMIT), c.size) << c.width;
    EXPECT_EQ(bar.m_nMRUWidth, c.size.cx) << c.width;
    EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), c.size) << c.width;
    EXPECT_EQ(bar.CalcFixedLayout(FALSE, TRUE), c.size) << c.width << ": floating, no length: the kept width";
    EXPECT_EQ(ItemRect(6).bottom, c.size.cy) << c.width;
  }
  // Without CBRS_SIZE_DYNAMIC a length is not asked for: one row.
  bar.SetBarStyle(bar.GetBarStyle() & ~CBRS_SIZE_DYNAMIC);
  EXPECT_EQ(bar.CalcDynamicLayout(60, LM_HORZ | LM_COMMIT), CSize(146, 21));
  EXPECT_EQ(bar.m_nMRUWidth, 23) << "only a dynamic bar keeps its width";
}

TEST_F(ToolBarLayouts, ByHeightTheNarrowestLayoutThatFits) {
  bar.SetBarStyle(bar.GetBarStyle() | CBRS_FLOATING);
  struct Case {
    int height;
    CSize size;
  };
  const Case cases[] = {
      {10, {146, 21}},  // nothing fits: one row
      {21, {146, 21}},
      {49, {146, 21}},
      {50, {92, 50}},
      {70, {92, 50}},
      {71, {46, 71}},
      {134, {23, 134}},
      {1000, {23, 134}},
  };
  for (const Case& c : cases) EXPECT_EQ(bar.CalcDynamicLayout(c.height, LM_HORZ | LM_LENGTHY), c.size) << c.height;
}

TEST_F(ToolBarLayouts, HiddenButtonsTakeNoRoom) {
  CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
  ASSERT_TRUE(ctrl.HideButton(3));
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), CSize(123, 21));
  EXPECT_EQ(bar.CalcDynamicLayout(-1, LM_VERTDOCK), CSize(23, 5 * 21 + 8));
  ASSERT_TRUE(ctrl.HideButton(0));  // the separator: the first button with command 0
  bar.CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
  EXPECT_EQ(ItemRect(4), CRect(0, 42, 23, 63)) << "D right below B";
  CRect hidden;
  EXPECT_FALSE(ctrl.GetItemRect(3, &hidden));
  EXPECT_FALSE(ctrl.GetItemRect(2, &hidden));
}

TEST_F(ToolBarLayouts, TheFrameDocksItAsARowOrAColumnAndTheControlFollows) {
  frame->RecalcLayout();
  CRect client, place;
  frame->GetClientRect(&client);
  bar.GetWindowRect(&place);
  frame->ScreenToClient(&place);
  EXPECT_EQ(place, CRect(0, 0, client.Width(), 21));
  CRect last;
  bar.GetItemRect(6, &last);
  EXPECT_EQ(last, CRect(123, 0, 146, 21));

  bar.SetBarStyle((bar.GetBarStyle() & ~CBRS_ALIGN_ANY) | CBRS_ALIGN_LEFT);
  EXPECT_TRUE(bar.m_bDelayedButtonLayout);
  frame->RecalcLayout();
  bar.GetWindowRect(&place);
  frame->ScreenToClient(&place);
  EXPECT_EQ(place, CRect(0, 0, 23, client.Height()));
  bar.GetItemRect(6, &last);
  EXPECT_EQ(last, CRect(0, 113, 23, 134));
  EXPECT_FALSE(bar.m_bDelayedButtonLayout);
}

TEST_F(ToolBarLayouts, BordersMarginsAndTheGripperSurroundTheButtons) {
  struct Case {
    const char* what;
    DWORD style;
    CRect margins;  // as given to CreateEx
    DWORD mode;
    CRect inside;  // the client area's insets in the window: left, top, right, bottom
  };
  const Case cases[] = {
      {"top with a gripper", CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_GRIPPER, {}, LM_HORZ | LM_HORZDOCK, {7, 0, 0, 2}},
      {"left with a gripper", CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT | CBRS_GRIPPER, {}, LM_VERTDOCK, {0, 7, 2, 0}},
      {"floating: no gripper", CBRS_ALIGN_TOP | CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_FLOATING, {}, LM_HORZ | LM_HORZDOCK,
       {2, 2, 2, 2}},
      {"margins", CBRS_ALIGN_TOP, {4, 1, 6, 3}, LM_HORZ | LM_HORZDOCK, {4, 1, 6, 3}},
      {"margins turn with the bar", CBRS_ALIGN_LEFT, {4, 1, 6, 3}, LM_VERTDOCK, {1, 4, 3, 6}},
  };
  for (const Case& c : cases) {
    TestBar other;
    ASSERT_TRUE(MakeBar(other, frame, CBRS_SIZE_DYNAMIC | c.style, CSize(23, 21), {1, 2}, c.margins, 0xE805));
    const CSize content = (c.mode & LM_HORZ) ? CSize(46, 21) : CSize(23, 42);
    const CSize size = other.CalcDynamicLayout(-1, c.mode);
    EXPECT_EQ(size, CSize(content.cx + c.inside.left + c.inside.right, content.cy + c.inside.top + c.inside.bottom))
        << c.what;
    other.SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CRect window, client;
    BarRects(other, window, client);
    EXPECT_EQ(client, CRect(c.inside.left, c.inside.top, size.cx - c.inside.right, size.cy - c.inside.bottom)) << c.what;
    other.DestroyWindow();
  }
}

}  // namespace
