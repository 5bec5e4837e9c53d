// Creation and destruction of windows: the messages and their order, failing creation, what a
// destroyed handle still answers, relations and window words.

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/tests/MessageSequence.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/gdi/gdi.h"

#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

using namespace msgseq;

LRESULT g_createAnswer = 0;

LRESULT LogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Recorder::Current().Record(hwnd, message, wParam, lParam);
  if (message == WM_CREATE && g_createAnswer) return g_createAnswer;
  return Recorder::Current().CallDefault(hwnd, message, wParam, lParam);
}

void RegisterLogClass() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSW wc {CS_DBLCLKS, LogProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, u"LifeLog"};
  ASSERT_NE(RegisterClassW(&wc), 0);
}

HWND Make(DWORD style, HWND parent, int id = 0) {
  return CreateWindowExW(0, u"LifeLog", u"", style, 0, 0, 100, 80, parent,
                         reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), nullptr, nullptr);
}

class WindowLife : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterLogClass();
    g_createAnswer = 0;
    rec.Only({WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_DESTROY,
              WM_NCDESTROY});
  }
  Recorder rec;
};

// A top-level window (0), then a visible child of it (1), 100 x 80 each.
const std::vector<Expected> kCreateTopThenChild = {
    {WM_GETMINMAXINFO, kSent | kWin(0)},
    {WM_NCCREATE, kSent | kWin(0)},
    {WM_NCCALCSIZE, kSent | kWin(0)},
    {WM_CREATE, kSent | kWin(0)},
    {WM_SIZE, kSent | kWin(0)},
    {WM_MOVE, kSent | kWin(0)},
    {WM_NCCREATE, kSent | kWin(1)},
    {WM_NCCALCSIZE, kSent | kWin(1)},
    {WM_CREATE, kSent | kWin(1)},
    // WM_SIZE carries the client size, WM_MOVE the client origin in the parent.
    {WM_SIZE, kSent | kWin(1) | kLParam, 0, MAKELPARAM(100, 80)},
    {WM_MOVE, kSent | kWin(1) | kLParam, 0, MAKELPARAM(0, 0)},
    {WM_SHOWWINDOW, kSent | kWin(1) | kWParam, TRUE},
};

// Destroying a top-level window (0) with children (1, 3) and a grandchild (2) under the first.
const std::vector<Expected> kDestroyParentFirstThenChildrenFirst = {
    {WM_DESTROY, kSent | kWin(0)},   {WM_DESTROY, kSent | kWin(1)},   {WM_DESTROY, kSent | kWin(2)},
    {WM_DESTROY, kSent | kWin(3)},   {WM_NCDESTROY, kSent | kWin(2)}, {WM_NCDESTROY, kSent | kWin(1)},
    {WM_NCDESTROY, kSent | kWin(3)}, {WM_NCDESTROY, kSent | kWin(0)},
};

// Destroying an owner (1) with an owned pop-up (0).
const std::vector<Expected> kDestroyOwnedFirst = {
    {WM_DESTROY, kSent | kWin(0)},
    {WM_NCDESTROY, kSent | kWin(0)},
    {WM_DESTROY, kSent | kWin(1)},
    {WM_NCDESTROY, kSent | kWin(1)},
};

// WM_CREATE answered with -1.
const std::vector<Expected> kCreateRefused = {
    {WM_CREATE, kSent},
    {WM_DESTROY, kSent},
    {WM_NCDESTROY, kSent},
};

TEST_F(WindowLife, CreationMessagesComeInOrder) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  ASSERT_TRUE(top);
  HWND child = Make(WS_CHILD | WS_VISIBLE, top, 7);
  ASSERT_TRUE(child);
  EXPECT_SEQUENCE(rec, kCreateTopThenChild, top, child);
  DestroyWindow(top);
}

TEST_F(WindowLife, DestructionGoesParentFirstThenChildrenFirst) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND first = Make(WS_CHILD, top, 1);
  HWND grandchild = Make(WS_CHILD, first, 3);
  HWND second = Make(WS_CHILD, top, 2);
  rec.Clear();
  ASSERT_TRUE(DestroyWindow(top));
  EXPECT_SEQUENCE(rec, kDestroyParentFirstThenChildrenFirst, top, first, grandchild, second);
  for (HWND h : {top, first, grandchild, second}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(WindowLife, OwnedWindowsGoBeforeTheirOwner) {
  HWND owner = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND owned = Make(WS_POPUP, owner);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);  // a pop-up's "parent" is its owner
  rec.Clear();
  DestroyWindow(owner);
  EXPECT_SEQUENCE(rec, kDestroyOwnedFirst, owned, owner);
  EXPECT_FALSE(IsWindow(owned));
}

TEST_F(WindowLife, RefusedCreationDestroysTheWindowAndGivesNull) {
  g_createAnswer = -1;
  rec.Only({WM_CREATE, WM_DESTROY, WM_NCDESTROY});
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW, nullptr);
  EXPECT_EQ(hwnd, nullptr);
  ASSERT_FALSE(rec.Log().empty());
  const HWND made = rec.Log().front().hwnd;
  EXPECT_SEQUENCE(rec, kCreateRefused);
  EXPECT_FALSE(IsWindow(made));
}

TEST_F(WindowLife, DestroyedHandleAnswersNothing) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW, nullptr);
  DestroyWindow(hwnd);
  RECT r {1, 2, 3, 4};
  SetLastError(0);
  EXPECT_FALSE(GetWindowRect(hwnd, &r));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
  EXPECT_FALSE(DestroyWindow(hwnd));
  EXPECT_FALSE(ShowWindow(hwnd, SW_SHOW));
  EXPECT_EQ(GetParent(hwnd), nullptr);
}

TEST_F(WindowLife, RelationsAndIdsFollowCreationOrder) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND a = Make(WS_CHILD, top, 10);
  HWND b = Make(WS_CHILD, top, 20);
  HWND c = Make(WS_CHILD, b, 30);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
  EXPECT_EQ(GetDlgItem(top, 20), b);
  EXPECT_EQ(GetDlgItem(top, 30), nullptr);  // only direct children
  EXPECT_EQ(GetDlgCtrlID(c), 30);
  EXPECT_TRUE(IsChild(top, c));
  EXPECT_FALSE(IsChild(a, c));
  EXPECT_EQ(GetAncestor(c, GA_ROOT), top);
  EXPECT_EQ(GetParent(c), b);
  DestroyWindow(top);
}

TEST_F(WindowLife, AChildMadeHiddenStaysHiddenWhenItsParentShows) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND hidden = Make(WS_CHILD, top, 10);
  HWND shown = Make(WS_CHILD | WS_VISIBLE, top, 20);
  ShowWindow(top, SW_SHOW);
  EXPECT_FALSE(IsWindowVisible(hidden));
  EXPECT_FALSE(HostOf(hidden)->isVisible()) << "its widget must not show with the parent's";
  EXPECT_TRUE(HostOf(shown)->isVisible());
  ShowWindow(hidden, SW_SHOW);
  EXPECT_TRUE(HostOf(hidden)->isVisible());
  DestroyWindow(top);
}

TEST_F(WindowLife, ClientAreaFollowsTheFrameStyles) {
  struct Case {
    DWORD style;
    DWORD exStyle;
    RECT client;  // within a 100 x 80 window
  };
  const Case cases[] = {
      {WS_CHILD, 0, {0, 0, 100, 80}},
      {WS_CHILD | WS_BORDER, 0, {1, 1, 99, 79}},
      {WS_CHILD, WS_EX_CLIENTEDGE, {2, 2, 98, 78}},
      {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, {3, 3, 97, 77}},
      {WS_CHILD | WS_THICKFRAME, 0, {4, 4, 96, 76}},
      {WS_CHILD | WS_VSCROLL, 0, {0, 0, 83, 80}},
      {WS_CHILD | WS_CAPTION, 0, {3, 22, 97, 77}},
  };
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  for (const Case& c : cases) {
    HWND w = CreateWindowExW(c.exStyle, u"LifeLog", u"", c.style, 10, 20, 100, 80, top, nullptr, nullptr, nullptr);
    RECT client;
    GetClientRect(w, &client);
    POINT origin {0, 0};
    MapWindowPoints(w, top, &origin, 1);
    EXPECT_EQ(origin.x - 10, c.client.left) << "style " << std::hex << c.style << " ex " << c.exStyle;
    EXPECT_EQ(origin.y - 20, c.client.top) << "style " << std::hex << c.style << " ex " << c.exStyle;
    EXPECT_EQ(client.right, c.client.right - c.client.left) << "style " << std::hex << c.style;
    EXPECT_EQ(client.bottom, c.client.bottom - c.client.top) << "style " << std::hex << c.style;
    RECT grown = c.client;
    AdjustWindowRectEx(&grown, c.style, FALSE, c.exStyle);
    EXPECT_EQ(grown.right - grown.left, 100) << "style " << std::hex << c.style;
    EXPECT_EQ(grown.bottom - grown.top, 80) << "style " << std::hex << c.style;
    DestroyWindow(w);
  }
  DestroyWindow(top);
}

TEST_F(WindowLife, SettingThePositionSendsMoveAndSizeOnlyForWhatChanged) {
  HWND top = Make(WS_OVERLAPPEDWINDOW, nullptr);
  HWND child = Make(WS_CHILD, top);
  const std::vector<Expected> kNothing = {};
  const std::vector<Expected> kMoved = {{WM_MOVE, kSent | kDefProc}};
  const std::vector<Expected> kSized = {{WM_SIZE, kSent | kDefProc}};
  const std::vector<Expected> kMovedAndSized = {{WM_MOVE, kSent | kDefProc}, {WM_SIZE, kSent | kDefProc}};
  struct Case {
    int x, y, cx, cy;
    UINT flags;
    const std::vector<Expected>& messages;
    const char* name;
  };
  const Case cases[] = {
      {5, 6, 0, 0, SWP_NOSIZE, kMoved, "moved"},
      {0, 0, 50, 40, SWP_NOMOVE, kSized, "sized"},
      {5, 6, 50, 40, 0, kNothing, "nothing"},
      {7, 8, 60, 30, 0, kMovedAndSized, "moved and sized"},
  };
  rec.Only({WM_MOVE, WM_SIZE});
  rec.Watch({child});
  for (const Case& c : cases) {
    rec.Clear();
    SetWindowPos(child, nullptr, c.x, c.y, c.cx, c.cy, c.flags | SWP_NOZORDER);
    EXPECT_TRUE(rec.Matches(c.name, c.messages)) << c.x << "," << c.y << " " << c.cx << "x" << c.cy;
  }
  RECT r;
  GetWindowRect(child, &r);
  POINT p {r.left, r.top};
  ScreenToClient(top, &p);
  EXPECT_EQ(p.x, 7);
  EXPECT_EQ(p.y, 8);
  EXPECT_EQ(r.right - r.left, 60);
  DestroyWindow(top);
}

// A window minimised by the program keeps its place in the record and comes back to it, whether
// the program restores it or the desktop does (a click on the task bar).
TEST_F(WindowLife, AMinimisedWindowComesBackWhereItWas) {
  const struct {
    void (*restore)(HWND);
    const char* name;
  } cases[] = {
      {[](HWND w) { ShowWindow(w, SW_RESTORE); }, "restored by the program"},
      {[](HWND w) { HostOf(w)->setWindowState(Qt::WindowActive); }, "restored by the desktop"},
  };
  rec.Only({WM_SIZE});
  for (const auto& c : cases) {
    HWND top = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
    SetWindowPos(top, nullptr, 200, 150, 320, 240, SWP_NOZORDER);
    Pump();  // the desktop's frame comes to the record
    CRect placed;
    GetWindowRect(top, &placed);
    ASSERT_EQ(placed.TopLeft(), CPoint(200, 150)) << c.name;
    RECT client;
    GetClientRect(top, &client);
    rec.Watch({top});
    rec.Clear();
    ShowWindow(top, SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([top] { return IsIconic(top); })) << c.name;
    CRect r;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, placed) << c.name << ": the record while minimised";
    WINDOWPLACEMENT placement {};
    placement.length = sizeof placement;
    GetWindowPlacement(top, &placement);
    EXPECT_EQ(placement.showCmd, UINT(SW_SHOWMINIMIZED)) << c.name;
    EXPECT_EQ(CRect(placement.rcNormalPosition), placed) << c.name;

    c.restore(top);
    EXPECT_TRUE(PumpUntil([top] { return !IsIconic(top); })) << c.name;
    GetWindowRect(top, &r);
    EXPECT_EQ(r, placed) << c.name;
    EXPECT_EQ(HostOf(top)->frameGeometry().topLeft(), QPoint(placed.left, placed.top)) << c.name << ": the window on the screen";
    const std::vector<Expected> kMinimisedAndBack = {
        {WM_SIZE, kSent | kDefProc | kWParam | kLParam, SIZE_MINIMIZED, 0},
        {WM_SIZE, kSent | kDefProc | kWParam | kLParam, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom)},
    };
    EXPECT_TRUE(rec.Matches(c.name, kMinimisedAndBack));
    DestroyWindow(top);
  }
}

// ---- The object side ------------------------------------------------------------------------------

struct Counters {
  int creates = 0, destroys = 0, ncDestroys = 0, postNc = 0;
};

class CountingWnd : public CWnd {
public:
  explicit CountingWnd(Counters& c, bool refuse = false) : m_counters(c), m_refuse(refuse) {}

protected:
  int OnCreate(LPCREATESTRUCT cs) {
    ++m_counters.creates;
    if (m_refuse) return -1;
    return CWnd::OnCreate(cs);
  }
  void OnDestroy() {
    ++m_counters.destroys;
    CWnd::OnDestroy();
  }
  void PostNcDestroy() override {
    ++m_counters.postNc;
    delete this;
  }

  Counters& m_counters;
  bool m_refuse;
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingWnd, CWnd)
  ON_WM_CREATE()
  ON_WM_DESTROY()
END_MESSAGE_MAP()

TEST_F(WindowLife, ObjectIsAttachedForTheWholeLifeAndDeletedAfterIt) {
  Counters counters;
  auto* wnd = new CountingWnd(counters);
  ASSERT_TRUE(wnd->CreateEx(0, nullptr, u"object", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  HWND hwnd = wnd->GetSafeHwnd();
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), wnd);
  EXPECT_EQ(CWnd::FromHandle(hwnd), wnd);
  EXPECT_EQ(counters.creates, 1);
  CString text;
  wnd->GetWindowText(text);
  EXPECT_EQ(text, CString(u"object"));
  wnd->DestroyWindow();  // deletes the object
  EXPECT_EQ(counters.destroys, 1);
  EXPECT_EQ(counters.postNc, 1);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
}

TEST_F(WindowLife, RefusingCreationFailsCreateAndStillCleansUp) {
  Counters counters;
  auto* wnd = new CountingWnd(counters, true);
  EXPECT_FALSE(wnd->CreateEx(0, nullptr, u"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr));
  EXPECT_EQ(counters.creates, 1);
  EXPECT_EQ(counters.postNc, 1);  // and the object is gone
}

TEST_F(WindowLife, WrapperOfAForeignWindowLivesAsLongAsTheWindow) {
  HWND hwnd = Make(WS_OVERLAPPEDWINDOW, nullptr);
  CWnd* wrapper = CWnd::FromHandle(hwnd);
  ASSERT_NE(wrapper, nullptr);
  EXPECT_EQ(CWnd::FromHandle(hwnd), wrapper);
  EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);
  EXPECT_EQ(wrapper->GetSafeHwnd(), hwnd);
  DestroyWindow(hwnd);
  EXPECT_EQ(CWnd::FromHandle(hwnd), nullptr);
}

TEST_F(WindowLife, TheStackingMarksMakeAWindowTopmostAndTakeItBack) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr));
  ASSERT_TRUE(wnd.SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE));
  EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOPMOST);
  ASSERT_TRUE(wnd.SetWindowPos(&CWnd::wndNoTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE));
  EXPECT_FALSE(wnd.GetExStyle() & WS_EX_TOPMOST);
  EXPECT_EQ(CWnd::wndTop.GetSafeHwnd(), HWND_TOP);
  EXPECT_EQ(CWnd::wndBottom.GetSafeHwnd(), HWND_BOTTOM);
  wnd.DestroyWindow();
}

TEST_F(WindowLife, ScrollingAWindowMovesItsChildrenWithWhatItShows) {
  CWnd wnd;
  ASSERT_TRUE(wnd.CreateEx(0, nullptr, u"", WS_POPUP, 0, 0, 200, 200, nullptr, nullptr));
  HWND first = Make(WS_CHILD | WS_VISIBLE, wnd.GetSafeHwnd(), 1);
  HWND second = Make(WS_CHILD | WS_VISIBLE, wnd.GetSafeHwnd(), 2);
  ::MoveWindow(second, 10, 120, 100, 80, FALSE);
  auto place = [&wnd](HWND child) {
    CRect r;
    ::GetWindowRect(child, &r);
    wnd.ScreenToClient(&r);
    return std::make_pair(r.left, r.top);
  };
  wnd.ScrollWindow(0, -60);
  EXPECT_EQ(place(first), (std::pair<LONG, LONG> {0, -60}));
  EXPECT_EQ(place(second), (std::pair<LONG, LONG> {10, 60}));
  CRect part(0, 0, 200, 50);
  wnd.ScrollWindow(5, 0, &part);
  EXPECT_EQ(place(second), (std::pair<LONG, LONG> {10, 60})) << "scrolling a part leaves the children";
  wnd.DestroyWindow();
}

TEST(Desktop, TheNonClientFontsAreTheDialogFontAndTheWheelScrollsLines) {
  LOGFONTW dialog {};
  ASSERT_TRUE(GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof dialog, &dialog));
  NONCLIENTMETRICSW metrics {};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
  EXPECT_EQ(std::u16string(metrics.lfMenuFont.lfFaceName), std::u16string(dialog.lfFaceName));
  EXPECT_EQ(metrics.lfMenuFont.lfHeight, dialog.lfHeight);
  EXPECT_EQ(metrics.lfMenuFont.lfWeight, FW_NORMAL);
  EXPECT_EQ(metrics.lfCaptionFont.lfWeight, FW_BOLD);
  EXPECT_EQ(metrics.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
  metrics.cbSize = 12;
  EXPECT_FALSE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 0, &metrics, 0)) << "a record of another size";
  UINT lines = 0;
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
  EXPECT_EQ(lines, 3u);
  EXPECT_FALSE(SystemParametersInfoW(0x1234, 0, &lines, 0));
}

}  // namespace
