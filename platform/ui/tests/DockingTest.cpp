// Docking: the frame's dock bars and their rows, the fixed order of the frame's layout, where a
// dragged bar may dock, floating frames, the drag and resize loops driven by queued mouse and key
// messages, and the dock state written to an archive and read back.

#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/gdi/gdi.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/bars/CDockContext.h"
#include "platform/ui/bars/CDockState.h"
#include "platform/ui/bars/CMiniFrameWnd.h"
#include "platform/ui/bars/CToolBar.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr UINT ID_BAR_A = 0xE840, ID_BAR_B = 0xE841, ID_BAR_C = 0xE842, ID_BAR_D = 0xE843;

// A bar of a fixed size: `horz` when horizontal, turned when vertical; stretched, as long as its
// side. With CBRS_SIZE_DYNAMIC it answers the layout modes as a tool bar does and notes each
// request.
class TestBar : public CControlBar {
public:
  explicit TestBar(CSize horz) : m_horz(horz), m_width(horz.cx) {}

  BOOL Create(CWnd* parent, UINT id, DWORD style = CBRS_ALIGN_TOP, LPCWSTR title = u"bar") {
    m_dwStyle = style & CBRS_ALL;
    return CWnd::Create(nullptr, title, WS_CHILD | WS_VISIBLE | (style & ~CBRS_ALL), CRect(0, 0, 0, 0), parent, id);
  }
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override {
    CSize size = horz ? m_horz : CSize(m_horz.cy, m_horz.cx);
    if (stretch) (horz ? size.cx : size.cy) = 32767;
    return size;
  }
  CSize CalcDynamicLayout(int length, DWORD mode) override {
    if (!(m_dwStyle & CBRS_SIZE_DYNAMIC)) return CControlBar::CalcDynamicLayout(length, mode);
    requests.push_back({length, mode});
    if (mode & LM_VERTDOCK) return CSize(m_horz.cy, m_width);
    if (mode & LM_COMMIT) m_width = length;
    if (mode & (LM_HORZDOCK | LM_MRUWIDTH | LM_COMMIT) || length < 0) return CSize(m_width, m_horz.cy);
    return CSize(std::max(40, length), m_horz.cy);
  }
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

  struct Request {
    int length;
    DWORD mode;
  };
  std::vector<Request> requests;
  CSize m_horz;
  int m_width;
};

CRect ScreenRect(const CWnd& wnd) {
  CRect r;
  wnd.GetWindowRect(&r);
  return r;
}

// The window rectangle in its parent's client coordinates.
CRect InParent(const CWnd& wnd) {
  CRect r = ScreenRect(wnd);
  wnd.GetParent()->ScreenToClient(&r);
  return r;
}

LPARAM At(const CWnd& wnd, CPoint screen) {
  wnd.ScreenToClient(&screen);
  return MAKELPARAM(screen.x, screen.y);
}

UINT ParentId(const CWnd& wnd) { return static_cast<UINT>(wnd.GetParent()->GetDlgCtrlID()); }

std::vector<CControlBar*> Rows(const CDockBar* dockBar) {
  std::vector<CControlBar*> rows;
  for (INT_PTR i = 0; i < dockBar->m_arrBars.GetSize(); ++i) rows.push_back(dockBar->m_arrBars[i]);
  return rows;
}

class Docking : public ::testing::Test {
protected:
  void SetUp() override {
    frame = MakeFrameWithView(view, u"frame", CRect(60, 60, 700, 520));
    ASSERT_NE(frame, nullptr);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->GetClientRect(&client);
    origin = CPoint(0, 0);
    frame->ClientToScreen(&origin);
  }
  void TearDown() override {
    if (frame && IsWindow(frame->GetSafeHwnd())) frame->DestroyWindow();
  }

  CDockBar* DockBar(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }
  // A bar made in the frame and docked on a side, at a rectangle (screen coordinates) when given.
  void Dock(TestBar& bar, UINT id, UINT side, const CRect* at = nullptr, DWORD style = CBRS_ALIGN_TOP) {
    ASSERT_TRUE(bar.Create(frame, id, style));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, side, at);
  }
  CMiniDockFrameWnd* FloatingFrameOf(CControlBar& bar) {
    return bar.m_pDockBar ? dynamic_cast<CMiniDockFrameWnd*>(bar.m_pDockBar->GetParent()) : nullptr;
  }
  // Presses the left button on the bar at `grab` (its client coordinates) while the messages
  // posted before wait in the queue: the drag loop reads them.
  void PressOn(CWnd& wnd, CPoint grab) { wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y)); }

  CFrameWnd* frame {};
  CWnd view;
  CRect client;
  CPoint origin;  // the frame's client area on the screen
};

// ---- Dock bars, rows and layout ----------------------------------------------------------------

TEST_F(Docking, EnableDockingMakesTheDockBarsAskedFor) {
  struct Case {
    UINT id;
    DWORD align;
  };
  const Case sides[] = {{AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                        {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                        {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
                        {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM}};
  for (const Case& side : sides) {
    CControlBar* bar = frame->GetControlBar(side.id);
    ASSERT_NE(bar, nullptr) << std::hex << side.id;
    EXPECT_TRUE(bar->IsKindOf(RUNTIME_CLASS(CDockBar)));
    EXPECT_TRUE(bar->IsDockBar());
    EXPECT_EQ(bar->GetParent(), frame);
    EXPECT_EQ(bar->GetBarStyle() & CBRS_ALIGN_ANY, side.align) << std::hex << side.id;
    EXPECT_EQ(DockBar(side.id)->GetDockedCount(), 0);
    EXPECT_EQ(Rows(DockBar(side.id)), std::vector<CControlBar*> {nullptr});
  }
  frame->EnableDocking(CBRS_ALIGN_ANY);
  int dockBars = 0;
  for (CControlBar* bar : frame->m_listControlBars) dockBars += bar->IsDockBar() ? 1 : 0;
  EXPECT_EQ(dockBars, 4) << "enabling again makes no second set";

  auto* other = new CFrameWnd;
  ASSERT_TRUE(other->Create(nullptr, u"other", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200)));
  other->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
  EXPECT_NE(other->GetControlBar(AFX_IDW_DOCKBAR_TOP), nullptr);
  EXPECT_NE(other->GetControlBar(AFX_IDW_DOCKBAR_LEFT), nullptr);
  EXPECT_EQ(other->GetControlBar(AFX_IDW_DOCKBAR_RIGHT), nullptr);
  EXPECT_EQ(other->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM), nullptr);
  other->DestroyWindow();
}

TEST_F(Docking, BarsDockedOnOneSideFormRows) {
  TestBar a(CSize(100, 26)), b(CSize(80, 26)), c(CSize(60, 26)), d(CSize(50, 26)), e(CSize(70, 26));
  Dock(a, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  CDockBar* top = DockBar(AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(a.m_pDockBar, top);
  EXPECT_EQ(ParentId(a), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(InParent(a), CRect(-2, -2, 98, 24)) << "the first bar tucks its outer 2 pixels under the edges";

  // To the right of a, in its row: the same row, where it was put.
  CRect right = ScreenRect(a);
  right.OffsetRect(right.Width() + 10, 0);
  Dock(b, ID_BAR_B, AFX_IDW_DOCKBAR_TOP, &right);
  EXPECT_EQ(Rows(top), (std::vector<CControlBar*> {nullptr, &a, &b, nullptr}));
  EXPECT_EQ(InParent(b), CRect(108, -2, 188, 24));

  // Below the row: a second row.
  CRect below = ScreenRect(a);
  below.OffsetRect(0, 20);
  Dock(c, ID_BAR_C, AFX_IDW_DOCKBAR_TOP, &below);
  EXPECT_EQ(Rows(top), (std::vector<CControlBar*> {nullptr, &a, &b, nullptr, &c, nullptr}));
  EXPECT_EQ(InParent(c), CRect(-2, 24, 58, 50));
  EXPECT_EQ(InParent(*top), CRect(0, 0, client.Width(), 50)) << "two rows of 26, the first tucked by 2";

  // Between a and b: between them in the row, which makes room for it.
  CRect between = ScreenRect(a);
  between.OffsetRect(60, 0);
  Dock(d, ID_BAR_D, AFX_IDW_DOCKBAR_TOP, &between);
  EXPECT_EQ(Rows(top), (std::vector<CControlBar*> {nullptr, &a, &d, &b, nullptr, &c, nullptr}));
  EXPECT_EQ(InParent(d).left, 96) << "pushed along to the end of a, less the shared 2 pixels";
  EXPECT_EQ(InParent(b).left, 144);

  // Without a rectangle: a new last row. Taking the only bar of a row out removes the row.
  Dock(e, ID_BAR_A + 10, AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(Rows(top), (std::vector<CControlBar*> {nullptr, &a, &d, &b, nullptr, &c, nullptr, &e, nullptr}));
  frame->DockControlBar(&c, AFX_IDW_DOCKBAR_LEFT);
  EXPECT_EQ(Rows(top), (std::vector<CControlBar*> {nullptr, &a, &d, &b, nullptr, &e, nullptr}));
  EXPECT_EQ(InParent(e).top, 24);
  EXPECT_EQ(top->GetDockedCount(), 4);
}

TEST_F(Docking, TheFrameCarvesStatusBarDockBarsAndViewInAFixedOrder) {
  TestBar top(CSize(120, 26)), bottom(CSize(80, 20)), left(CSize(90, 30)), status(CSize(100, 18));
  ASSERT_TRUE(status.Create(frame, AFX_IDW_STATUS_BAR, CBRS_ALIGN_BOTTOM));
  Dock(top, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  Dock(bottom, ID_BAR_B, AFX_IDW_DOCKBAR_BOTTOM);
  Dock(left, ID_BAR_C, AFX_IDW_DOCKBAR_LEFT);
  frame->RecalcLayout();
  const int w = client.Width(), h = client.Height();
  struct Expect {
    const char* what;
    const CWnd* wnd;
    CRect rect;
  };
  const Expect expected[] = {
      {"status bar", &status, CRect(0, h - 18, w, h)},
      {"bottom dock bar", DockBar(AFX_IDW_DOCKBAR_BOTTOM), CRect(0, h - 38, w, h - 18)},
      {"top dock bar", DockBar(AFX_IDW_DOCKBAR_TOP), CRect(0, 0, w, 24)},
      {"left dock bar", DockBar(AFX_IDW_DOCKBAR_LEFT), CRect(0, 24, 30, h - 38)},
      {"right dock bar (empty)", DockBar(AFX_IDW_DOCKBAR_RIGHT), CRect(w, 24, w, h - 38)},
      {"view", &view, CRect(30, 24, w, h - 38)},
      {"bar on top", &top, CRect(-2, -2, 118, 24)},
      {"bar at the bottom", &bottom, CRect(-2, 0, 78, 20)},
      {"bar on the left", &left, CRect(0, -2, 30, 88)},
  };
  for (const Expect& e : expected) EXPECT_EQ(InParent(*e.wnd), e.rect) << e.what;

  // A hidden bar gives its room back, at once or at the next layout.
  frame->ShowControlBar(&left, FALSE, TRUE);
  EXPECT_FALSE(left.IsVisible()) << "counts as hidden before the layout";
  EXPECT_TRUE(left.GetStyle() & WS_VISIBLE);
  frame->RecalcLayout();
  EXPECT_FALSE(left.GetStyle() & WS_VISIBLE);
  EXPECT_EQ(InParent(view), CRect(0, 24, w, h - 38));
  frame->ShowControlBar(&left, TRUE, FALSE);
  EXPECT_EQ(InParent(view), CRect(30, 24, w, h - 38));
}

TEST_F(Docking, ADynamicBarIsAskedForItsSizeOnTheSideItDocksOn) {
  TestBar bar(CSize(120, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_LEFT, nullptr, CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC);
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_LEFT));
  ASSERT_FALSE(bar.requests.empty());
  EXPECT_EQ(bar.requests.back().length, -1);
  EXPECT_EQ(bar.requests.back().mode, static_cast<DWORD>(LM_VERTDOCK));
  EXPECT_EQ(InParent(bar), CRect(0, -2, 26, 118));

  bar.requests.clear();
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_TOP);
  ASSERT_FALSE(bar.requests.empty());
  EXPECT_EQ(bar.requests.back().mode, static_cast<DWORD>(LM_HORZ | LM_HORZDOCK));
  EXPECT_EQ(InParent(bar), CRect(-2, -2, 118, 24));
}

TEST_F(Docking, CanDockFindsTheFirstAllowedSideUnderTheRectangle) {
  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);  // the top dock bar is 24 high, the others empty
  const int w = client.Width(), h = client.Height();
  struct Case {
    const char* what;
    CRect rect;  // client coordinates of the frame
    DWORD dockStyle;
    DWORD side;
  };
  const Case cases[] = {
      {"over the top row", CRect(50, 5, 150, 30), CBRS_ALIGN_ANY, CBRS_ALIGN_TOP},
      {"top comes before left", CRect(-10, 10, 20, 60), CBRS_ALIGN_ANY, CBRS_ALIGN_TOP},
      {"an empty left side reaches 4 pixels in", CRect(3, 100, 30, 200), CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT},
      {"and no further", CRect(4, 100, 30, 200), CBRS_ALIGN_ANY, 0},
      {"an empty side reaches 4 pixels out", CRect(-30, 100, -3, 200), CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT},
      {"bottom edge", CRect(100, h - 3, 200, h + 20), CBRS_ALIGN_ANY, CBRS_ALIGN_BOTTOM},
      {"right edge", CRect(w - 3, 100, w + 20, 200), CBRS_ALIGN_ANY, CBRS_ALIGN_RIGHT},
      {"a side the style does not allow", CRect(50, 5, 150, 30), CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT, 0},
      {"the next side the style allows", CRect(-10, 10, 20, 60), CBRS_ALIGN_LEFT, CBRS_ALIGN_LEFT},
      {"the middle", CRect(100, 100, 200, 150), CBRS_ALIGN_ANY, 0},
  };
  for (const Case& c : cases) {
    CRect rect = c.rect;
    rect.OffsetRect(origin.x, origin.y);
    CDockBar* found = reinterpret_cast<CDockBar*>(1);
    EXPECT_EQ(frame->CanDock(rect, c.dockStyle, &found), c.side) << c.what;
    if (c.side == CBRS_ALIGN_LEFT) {
      EXPECT_EQ(found, DockBar(AFX_IDW_DOCKBAR_LEFT)) << c.what;
    }
    if (!c.side) {
      EXPECT_EQ(found, nullptr) << c.what;
    }
  }
}

// ---- Floating ----------------------------------------------------------------------------------

TEST_F(Docking, AFloatingBarLivesInAMiniFrameSizedToIt) {
  TestBar bar(CSize(100, 26));
  ASSERT_TRUE(bar.Create(frame, ID_BAR_A, CBRS_ALIGN_TOP, u"Tools"));
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  frame->FloatControlBar(&bar, CPoint(300, 250));

  EXPECT_TRUE(bar.IsFloating());
  EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
  ASSERT_NE(bar.m_pDockBar, nullptr);
  EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_FLOAT);
  EXPECT_TRUE(bar.m_pDockBar->m_bFloating);
  EXPECT_EQ(bar.m_pDockSite, frame);
  EXPECT_EQ(bar.GetDockingFrame(), FloatingFrameOf(bar));
  CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
  ASSERT_NE(mini, nullptr);
  EXPECT_TRUE(mini->IsWindowVisible());
  EXPECT_EQ(::GetWindow(mini->GetSafeHwnd(), GW_OWNER), frame->GetSafeHwnd());
  EXPECT_EQ(std::count(frame->m_listControlBars.begin(), frame->m_listControlBars.end(), bar.m_pDockBar), 1)
      << "the floating dock bar is one of the frame's bars";

  // The frame: at the point, with a small caption and thick border around the bar less its
  // tucked 2 pixels each side; its title is the bar's.
  const int border = GetSystemMetrics(SM_CXFRAME), caption = GetSystemMetrics(SM_CYSMCAPTION);
  EXPECT_EQ(ScreenRect(*mini), CRect(300, 250, 300 + 96 + 2 * border, 250 + 22 + 2 * border + caption));
  CRect inside;
  mini->GetClientRect(&inside);
  EXPECT_EQ(inside.Size(), CSize(96, 22));
  EXPECT_EQ(InParent(bar), CRect(-2, -2, 98, 24));
  CString title;
  mini->GetWindowText(title);
  EXPECT_EQ(title, CString(u"Tools"));
  EXPECT_EQ(InParent(*DockBar(AFX_IDW_DOCKBAR_TOP)).Height(), 0) << "the top side gave its room back";
  bar.SetWindowText(u"Drawing");
  mini->RecalcLayout();
  mini->GetWindowText(title);
  EXPECT_EQ(title, CString(u"Drawing")) << "the caption follows the bar's title";

  // Floating it again moves its frame; docking it again takes the frame away.
  HWND miniWindow = mini->GetSafeHwnd();
  frame->FloatControlBar(&bar, CPoint(320, 260));
  EXPECT_EQ(FloatingFrameOf(bar)->GetSafeHwnd(), miniWindow);
  EXPECT_EQ(ScreenRect(*FloatingFrameOf(bar)).TopLeft(), CPoint(320, 260));
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  EXPECT_FALSE(IsWindow(miniWindow));
  EXPECT_FALSE(bar.IsFloating());
  EXPECT_FALSE(bar.GetBarStyle() & CBRS_FLOATING);
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
}

TEST_F(Docking, ADoubleClickTogglesBetweenTheLastDockedAndFloatingPlaces) {
  TestBar a(CSize(100, 26)), b(CSize(80, 26));
  Dock(a, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  CRect right = ScreenRect(a);
  right.OffsetRect(150, 0);
  Dock(b, ID_BAR_B, AFX_IDW_DOCKBAR_TOP, &right);
  const CRect docked = ScreenRect(b);

  // Never floated: its frame floats where it is docked.
  b.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_TRUE(b.IsFloating());
  EXPECT_EQ(ScreenRect(*FloatingFrameOf(b)).TopLeft(), docked.TopLeft());

  // A place left of the screen's origin is a place like any other (on a desktop of several
  // screens it is one).
  frame->FloatControlBar(&b, CPoint(-40, 300));
  const CRect floating = ScreenRect(b);
  b.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_FALSE(b.IsFloating());
  EXPECT_EQ(ParentId(b), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(ScreenRect(b), docked) << "back in its row, where it was";

  b.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  ASSERT_TRUE(b.IsFloating());
  EXPECT_EQ(ScreenRect(b), floating);
  EXPECT_EQ(ScreenRect(*FloatingFrameOf(b)).TopLeft(), CPoint(-40, 300));

  // A double click on the floating frame's caption docks it too.
  CMiniDockFrameWnd* mini = FloatingFrameOf(b);
  CRect caption = mini->GetCaptionRect();
  CPoint onCaption = ScreenRect(*mini).TopLeft() + CSize(caption.left + 10, caption.CenterPoint().y);
  mini->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
  EXPECT_FALSE(b.IsFloating());
  EXPECT_EQ(ScreenRect(b), docked);
}

// ---- Dragging ----------------------------------------------------------------------------------

TEST_F(Docking, DraggingFloatsABarAndDocksItAtTheSideUnderIt) {
  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  const CRect before = ScreenRect(bar);
  const CPoint grab(10, 10);
  const CPoint start = before.TopLeft() + CSize(grab.x, grab.y);
  const CPoint middle = origin + CSize(client.Width() / 2, client.Height() / 2);

  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, middle));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, middle));
  PressOn(bar, grab);
  ASSERT_TRUE(bar.IsFloating()) << "dropped over no side";
  EXPECT_EQ(::GetCapture(), nullptr);
  const CSize moved = middle - start;
  EXPECT_EQ(ScreenRect(bar), CRect(before.TopLeft() + moved, before.Size())) << "where its outline was";
  CRect outline = before;
  CMiniFrameWnd::CalcBorders(&outline);
  outline.DeflateRect(2, 2);
  outline.OffsetRect(moved);
  EXPECT_EQ(ScreenRect(*FloatingFrameOf(bar)), outline);
  EXPECT_EQ(bar.m_pDockContext->m_ptMRUFloatPos, outline.TopLeft());

  // From the caption of its frame to the left edge of the frame's client area.
  CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
  HWND miniWindow = mini->GetSafeHwnd();
  const CPoint onCaption = outline.TopLeft() + CSize(30, mini->GetCaptionRect().CenterPoint().y);
  const CPoint leftEdge = origin + CSize(2, 150);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, leftEdge));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, leftEdge));
  mini->SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(onCaption.x, onCaption.y));
  EXPECT_FALSE(bar.IsFloating());
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_EQ(bar.GetBarStyle() & CBRS_ALIGN_ANY, static_cast<DWORD>(CBRS_ALIGN_LEFT));
  EXPECT_EQ(InParent(bar).Size(), CSize(26, 100)) << "turned upright";
  EXPECT_FALSE(IsWindow(miniWindow)) << "its empty frame is gone";
  EXPECT_EQ(bar.m_pDockContext->m_uMRUDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
}

TEST_F(Docking, EscapeOrTheRightButtonCancelADragAndCtrlKeepsTheBarFloating) {
  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  const CRect home = ScreenRect(bar);
  const CPoint grab(10, 10);
  const CPoint middle = origin + CSize(client.Width() / 2, client.Height() / 2);
  // Along the top row, still over the top dock bar.
  const CPoint alongTop = home.TopLeft() + CSize(grab.x + 40, grab.y);
  struct Step {
    UINT message;
    WPARAM wParam;
    CPoint at;  // screen point of a mouse message
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
    bool floats;
    CPoint barAt;  // top-left corner afterwards
  };
  const Case cases[] = {
      {"Escape", {{WM_MOUSEMOVE, MK_LBUTTON, middle}, {WM_KEYDOWN, VK_ESCAPE, {}}, {WM_LBUTTONUP, 0, middle}}, false,
       home.TopLeft()},
      {"right button", {{WM_MOUSEMOVE, MK_LBUTTON, middle}, {WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, middle}}, false,
       home.TopLeft()},
      {"moved along its row", {{WM_MOUSEMOVE, MK_LBUTTON, alongTop}, {WM_LBUTTONUP, 0, alongTop}}, false,
       home.TopLeft() + CSize(40, 0)},
      {"Ctrl held",
       {{WM_KEYDOWN, VK_CONTROL, {}}, {WM_MOUSEMOVE, MK_LBUTTON | MK_CONTROL, alongTop}, {WM_LBUTTONUP, MK_CONTROL, alongTop}},
       true, home.TopLeft() + CSize(40, 0)},
      {"Ctrl pressed and let go", {{WM_KEYDOWN, VK_CONTROL, {}}, {WM_MOUSEMOVE, MK_LBUTTON, alongTop}, {WM_KEYUP, VK_CONTROL, {}},
       {WM_LBUTTONUP, 0, alongTop}}, false, home.TopLeft() + CSize(40, 0)},
  };
  for (const Case& c : cases) {
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP, &home);
    ASSERT_EQ(ScreenRect(bar), home) << c.what;
    for (const Step& s : c.steps) {
      bool mouse = s.message >= WM_MOUSEFIRST && s.message <= WM_MOUSELAST;
      bar.PostMessage(s.message, s.wParam, mouse ? At(bar, s.at) : 0);
    }
    PressOn(bar, grab);
    EXPECT_EQ(bool(bar.IsFloating()), c.floats) << c.what;
    EXPECT_EQ(ScreenRect(bar).TopLeft(), c.barAt) << c.what;
    if (!c.floats) {
      EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_TOP) << c.what;
    }
    EXPECT_EQ(::GetCapture(), nullptr) << c.what;
    Pump(10);  // what the loop left in the queue
  }

  // A quit request ends the drag as Escape does and stays for the program's own loop.
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP, &home);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, middle));
  PostQuitMessage(7);
  PressOn(bar, grab);
  EXPECT_FALSE(bar.IsFloating());
  EXPECT_EQ(ScreenRect(bar), home);
  MSG msg {};
  bool quit = false;
  while (!quit && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) quit = msg.message == WM_QUIT;
  EXPECT_TRUE(quit);
  EXPECT_EQ(msg.wParam, 7u);
}

// A message the drag or the close button's loop hands on may take the bar or the frame away: the
// loop ends there, lets the screen go, and leaves what came after for the program's own loop.
TEST_F(Docking, ALoopWhoseWindowIsDestroyedMeanwhileEndsThere) {
  // A bar made on the heap that goes with its window.
  struct OwnBar : TestBar {
    using TestBar::TestBar;
    void PostNcDestroy() override { delete this; }
  };
  CWnd marker;  // receives the release that follows the destruction
  ASSERT_TRUE(marker.CreateEx(0, nullptr, u"marker", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
  const CPoint middle = origin + CSize(client.Width() / 2, client.Height() / 2);
  auto markerLeft = [&] {
    MSG msg {};
    return PeekMessageW(&msg, marker.GetSafeHwnd(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE) != 0;
  };
  auto screenUnlocked = [&] {
    const BOOL locked = ::LockWindowUpdate(marker.GetSafeHwnd());
    ::LockWindowUpdate(nullptr);
    return locked != FALSE;
  };

  for (bool deleted : {false, true}) {
    const char* what = deleted ? "bar deleted with its window" : "bar's window destroyed";
    TestBar kept(CSize(100, 26));
    TestBar* bar = deleted ? new OwnBar(CSize(100, 26)) : &kept;
    Dock(*bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
    const HWND barWindow = bar->GetSafeHwnd();
    bar->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(*bar, middle));
    bar->PostMessage(WM_CLOSE);
    marker.PostMessage(WM_LBUTTONUP, 0, 0);
    PressOn(*bar, CPoint(10, 10));
    EXPECT_FALSE(IsWindow(barWindow)) << what;
    EXPECT_EQ(::GetCapture(), nullptr) << what;
    EXPECT_TRUE(markerLeft()) << what << ": the loop ended with the bar";
    EXPECT_TRUE(screenUnlocked()) << what;
    EXPECT_EQ(DockBar(AFX_IDW_DOCKBAR_TOP)->GetDockedCount(), 0) << what;
  }

  // While the close button is held, a frame whose window goes but whose object stays, and the
  // floating frame of a bar when its main frame closes (it goes with its owner and deletes itself).
  struct KeptFrame : CMiniFrameWnd {
    void PostNcDestroy() override {}
  };
  auto pressClose = [&](CMiniFrameWnd& mini, CWnd& closing) {
    const HWND miniWindow = mini.GetSafeHwnd();
    const CPoint button = ScreenRect(mini).TopLeft() + CSize(mini.GetCloseButtonRect().CenterPoint().x,
                                                             mini.GetCloseButtonRect().CenterPoint().y);
    closing.PostMessage(WM_CLOSE);
    marker.PostMessage(WM_LBUTTONUP, 0, 0);
    mini.SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(button.x, button.y));
    EXPECT_FALSE(IsWindow(miniWindow));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_TRUE(markerLeft()) << "the close button's loop ended with its frame";
  };
  KeptFrame kept;
  ASSERT_TRUE(kept.CreateEx(0, nullptr, u"kept", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, CRect(200, 200, 300, 260), frame));
  pressClose(kept, kept);

  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  frame->FloatControlBar(&bar, CPoint(300, 250));
  CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
  ASSERT_NE(mini, nullptr);
  pressClose(*mini, *frame);
  frame = nullptr;  // gone with its window
  marker.DestroyWindow();
}

TEST_F(Docking, TheBorderOfAFloatingDynamicBarResizesIt) {
  TestBar bar(CSize(120, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP, nullptr, CBRS_ALIGN_TOP | CBRS_SIZE_DYNAMIC);
  const int border = GetSystemMetrics(SM_CXFRAME);
  struct Case {
    const char* what;
    UINT hit;
    int dx;
    int barWidth;  // afterwards
  };
  const Case cases[] = {
      {"right border outwards", HTRIGHT, 40, 160},
      {"left border outwards", HTLEFT, -30, 190},
      {"right border far inwards: the bar's least width", HTRIGHT, -300, 40},
  };
  for (const Case& c : cases) {
    frame->FloatControlBar(&bar, CPoint(300, 300));
    CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
    ASSERT_NE(mini, nullptr) << c.what;
    EXPECT_TRUE(mini->GetStyle() & MFS_4THICKFRAME);
    EXPECT_FALSE(mini->GetStyle() & MFS_MOVEFRAME) << "a dynamic bar's frame sizes";
    const CRect before = ScreenRect(*mini);
    const CPoint on(c.hit == HTLEFT ? before.left + 1 : before.right - 2, before.CenterPoint().y);
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(on.x, on.y)), static_cast<LRESULT>(c.hit)) << c.what;
    const CPoint to = on + CSize(c.dx, 0);
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, to));
    bar.PostMessage(WM_LBUTTONUP, 0, At(bar, to));
    bar.requests.clear();
    mini->SendMessage(WM_NCLBUTTONDOWN, c.hit, MAKELPARAM(on.x, on.y));
    ASSERT_TRUE(bar.IsFloating()) << c.what;
    EXPECT_EQ(bar.m_width, c.barWidth) << c.what << ": the width the bar committed";
    const CRect after = ScreenRect(*FloatingFrameOf(bar));
    EXPECT_EQ(after.Width(), c.barWidth - 4 + 2 * border) << c.what;
    const bool fromLeft = c.hit == HTLEFT;
    EXPECT_EQ(fromLeft ? after.right : after.left, fromLeft ? before.right : before.left) << c.what << ": the other edge stays";
  }
}

TEST_F(Docking, AToolBarIsDraggedByItsGripperAndTurnsUprightOnTheLeft) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_SIZE_DYNAMIC));
  bar.SetSizes(CSize(24, 22), CSize(16, 15));
  const UINT ids[] = {201, 202, 203};
  ASSERT_TRUE(bar.SetButtons(ids, 3));
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  const CRect docked = ScreenRect(bar);
  ASSERT_GT(docked.Width(), docked.Height());

  // A press on a button is the button's: no drag.
  CRect button;
  bar.GetItemRect(0, &button);
  const CPoint onButton = button.CenterPoint();
  bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(onButton.x, onButton.y));
  EXPECT_EQ(::GetCapture(), bar.GetSafeHwnd()) << "the button holds the mouse";
  bar.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(onButton.x, onButton.y));
  EXPECT_EQ(ScreenRect(bar), docked);

  // A press on the gripper (left of the client area) drags the bar.
  CRect client;
  bar.GetClientRect(&client);
  const CPoint onGripper(client.left - 3, client.Height() / 2);
  ASSERT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(docked.left + 4, docked.top + 10)), HTCLIENT);
  const CPoint leftEdge = origin + CSize(2, 150);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, leftEdge));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, leftEdge));
  PressOn(bar, onGripper);
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
  const CRect upright = ScreenRect(bar);
  EXPECT_GT(upright.Height(), upright.Width()) << "one column of buttons";
  EXPECT_EQ(InParent(*DockBar(AFX_IDW_DOCKBAR_LEFT)).Width(), upright.Width());
}

TEST_F(Docking, APressOnAToolBarsSeparatorDragsTheBar) {
  CToolBar bar;
  ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
  const UINT ids[] = {201, ID_SEPARATOR, 202};
  ASSERT_TRUE(bar.SetButtons(ids, 3));
  bar.EnableDocking(CBRS_ALIGN_ANY);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
  CRect separator;
  bar.GetItemRect(1, &separator);
  const CPoint middle = origin + CSize(250, 200);
  bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, middle));
  bar.PostMessage(WM_LBUTTONUP, 0, At(bar, middle));
  PressOn(bar, separator.CenterPoint());
  EXPECT_TRUE(bar.IsFloating());
}

// ---- Floating frames ---------------------------------------------------------------------------

TEST_F(Docking, TheCloseButtonHidesTheBarsOfAFloatingFrame) {
  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  frame->FloatControlBar(&bar, CPoint(300, 250));
  CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
  ASSERT_NE(mini, nullptr);
  const CPoint corner = ScreenRect(*mini).TopLeft();
  const CPoint button = mini->GetCloseButtonRect().CenterPoint();
  const CPoint onButton = corner + CSize(button.x, button.y);
  const CPoint onCaption = corner + CSize(mini->GetCaptionRect().left + 5, mini->GetCaptionRect().top + 5);
  EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(onButton.x, onButton.y)), HTCLOSE);
  EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(onCaption.x, onCaption.y)), HTCAPTION);
  const CPoint onBorder = corner + CSize(1, 20);
  EXPECT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(onBorder.x, onBorder.y)), HTCAPTION)
      << "the border of a fixed bar's frame moves it";

  // Released away from the button: nothing.
  mini->PostMessage(WM_LBUTTONUP, 0, At(*mini, onCaption));
  mini->SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(onButton.x, onButton.y));
  EXPECT_TRUE(bar.IsVisible());
  EXPECT_TRUE(mini->IsWindowVisible());

  mini->PostMessage(WM_LBUTTONUP, 0, At(*mini, onButton));
  mini->SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(onButton.x, onButton.y));
  EXPECT_FALSE(bar.IsVisible());
  EXPECT_FALSE(mini->IsWindowVisible());
  EXPECT_TRUE(bar.IsFloating()) << "hidden, not docked";

  frame->ShowControlBar(&bar, TRUE, FALSE);
  EXPECT_TRUE(bar.IsVisible());
  EXPECT_TRUE(mini->IsWindowVisible());
}

TEST_F(Docking, TheIdleMomentShowsAFloatingBarThatWaitsForIt) {
  CWinApp app(u"docking");
  app.m_pMainWnd = frame;
  TestBar bar(CSize(100, 26));
  Dock(bar, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  frame->FloatControlBar(&bar, CPoint(300, 250));
  CMiniDockFrameWnd* mini = FloatingFrameOf(bar);
  ASSERT_NE(mini, nullptr);
  frame->ShowControlBar(&bar, FALSE, FALSE);
  EXPECT_FALSE(mini->IsWindowVisible());

  frame->ShowControlBar(&bar, TRUE, TRUE);
  EXPECT_TRUE(bar.IsVisible()) << "counts as shown at once";
  EXPECT_FALSE(mini->IsWindowVisible()) << "its frame waits for the idle moment";
  frame->PostMessage(WM_NULL);  // the idle moment follows a message
  EXPECT_TRUE(PumpUntil([&] { return mini->IsWindowVisible(); }));
  EXPECT_TRUE(bar.GetStyle() & WS_VISIBLE);
  app.m_pMainWnd = nullptr;
}

// A frame whose minimum tracking size is its own.
class SizedFrame : public CMiniFrameWnd {
public:
  void OnGetMinMaxInfo(MINMAXINFO* info) {
    CMiniFrameWnd::OnGetMinMaxInfo(info);
    info->ptMinTrackSize = POINT {150, 100};
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(SizedFrame, CMiniFrameWnd)
  ON_WM_GETMINMAXINFO()
END_MESSAGE_MAP()

TEST_F(Docking, AnOrdinaryMiniFrameMovesAndSizesWithinItsMinimum) {
  auto* mini = new SizedFrame;
  ASSERT_TRUE(mini->Create(nullptr, u"palette", WS_POPUP | WS_CAPTION | WS_SYSMENU | MFS_THICKFRAME,
                           CRect(200, 200, 400, 340), frame));
  mini->ShowWindow(SW_SHOWNA);
  struct Case {
    const char* what;
    UINT hit;
    CSize by;
    UINT endMessage;
    CRect expected;
  };
  const Case cases[] = {
      {"bottom-right corner", HTBOTTOMRIGHT, CSize(50, 30), WM_LBUTTONUP, CRect(200, 200, 450, 370)},
      {"top-left corner", HTTOPLEFT, CSize(-10, -20), WM_LBUTTONUP, CRect(190, 180, 450, 370)},
      {"down to the minimum", HTBOTTOMRIGHT, CSize(-500, -500), WM_LBUTTONUP, CRect(190, 180, 340, 280)},
      {"the caption moves", HTCAPTION, CSize(15, 25), WM_LBUTTONUP, CRect(205, 205, 355, 305)},
      {"Escape puts it back", HTRIGHT, CSize(80, 0), WM_KEYDOWN, CRect(205, 205, 355, 305)},
  };
  for (const Case& c : cases) {
    const CRect before = ScreenRect(*mini);
    CPoint from;
    switch (c.hit) {
    case HTBOTTOMRIGHT: from = before.BottomRight() - CSize(1, 1); break;
    case HTTOPLEFT: from = before.TopLeft(); break;
    case HTRIGHT: from = CPoint(before.right - 1, before.CenterPoint().y); break;
    default: from = before.TopLeft() + CSize(40, 10); break;
    }
    ASSERT_EQ(mini->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(from.x, from.y)), static_cast<LRESULT>(c.hit)) << c.what;
    const CPoint to = from + c.by;
    mini->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(*mini, to));
    // The button comes up where the mouse went, which is in the same place in the window when
    // the move took the window's corner along.
    const CPoint end = c.expected.TopLeft() == before.TopLeft() ? to : from;
    mini->PostMessage(c.endMessage, c.endMessage == WM_KEYDOWN ? VK_ESCAPE : 0, At(*mini, end));
    mini->SendMessage(WM_NCLBUTTONDOWN, c.hit, MAKELPARAM(from.x, from.y));
    EXPECT_EQ(ScreenRect(*mini), c.expected) << c.what;
    EXPECT_EQ(::GetCapture(), nullptr) << c.what;
  }
  mini->DestroyWindow();
}

// ---- Dock state --------------------------------------------------------------------------------

std::vector<BYTE> Store(CDockState& state) {
  CMemFile file;
  CArchive ar(&file, CArchive::store);
  state.Serialize(ar);
  ar.Close();
  std::vector<BYTE> bytes(static_cast<size_t>(file.GetLength()));
  file.SeekToBegin();
  file.Read(bytes.data(), static_cast<UINT>(bytes.size()));
  return bytes;
}

// Loads a state; the archive's error cause, or -1 when it loaded.
int Load(std::vector<BYTE> bytes, CDockState& state) {
  CMemFile file(bytes.data(), static_cast<UINT>(bytes.size()));
  try {
    CArchive ar(&file, CArchive::load);
    state.Serialize(ar);
    ar.Close();
  } catch (CArchiveException* e) {
    int cause = e->m_cause;
    e->Delete();
    return cause;
  }
  return -1;
}

TEST_F(Docking, TheDockStateBringsBackRowsSidesFloatingPlacesAndVisibility) {
  TestBar a(CSize(100, 26)), b(CSize(80, 26)), c(CSize(60, 26)), d(CSize(90, 30)), e(CSize(70, 24)),
      f(CSize(50, 20));
  Dock(a, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  CRect right = ScreenRect(a);
  right.OffsetRect(150, 0);
  Dock(b, ID_BAR_B, AFX_IDW_DOCKBAR_TOP, &right);
  Dock(c, ID_BAR_C, AFX_IDW_DOCKBAR_TOP);
  Dock(d, ID_BAR_D, AFX_IDW_DOCKBAR_LEFT);
  Dock(e, ID_BAR_D + 1, AFX_IDW_DOCKBAR_TOP);
  frame->FloatControlBar(&e, CPoint(420, 310));
  Dock(f, ID_BAR_D + 2, AFX_IDW_DOCKBAR_BOTTOM);
  frame->ShowControlBar(&f, FALSE, FALSE);
  const CRect bAt = InParent(b), eAt = ScreenRect(e);

  CDockState saved;
  frame->GetDockState(saved);
  const std::vector<BYTE> bytes = Store(saved);

  // Everything somewhere else.
  frame->FloatControlBar(&a, CPoint(200, 200));
  frame->DockControlBar(&b, AFX_IDW_DOCKBAR_BOTTOM);
  frame->DockControlBar(&c, AFX_IDW_DOCKBAR_RIGHT);
  frame->DockControlBar(&e, AFX_IDW_DOCKBAR_TOP);
  frame->ShowControlBar(&f, TRUE, FALSE);
  frame->ShowControlBar(&d, FALSE, FALSE);

  CDockState loaded;
  ASSERT_EQ(Load(bytes, loaded), -1);
  ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), saved.m_arrBarInfo.GetSize());
  frame->SetDockState(loaded);

  EXPECT_EQ(Rows(DockBar(AFX_IDW_DOCKBAR_TOP)), (std::vector<CControlBar*> {nullptr, &a, &b, nullptr, &c, nullptr}));
  EXPECT_EQ(InParent(b), bAt) << "its place along the row";
  EXPECT_EQ(ParentId(d), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_TRUE(d.IsVisible());
  EXPECT_EQ(ParentId(f), AFX_IDW_DOCKBAR_BOTTOM);
  EXPECT_FALSE(f.IsVisible());
  ASSERT_TRUE(e.IsFloating());
  EXPECT_EQ(ScreenRect(e), eAt);
  EXPECT_EQ(ScreenRect(*FloatingFrameOf(e)).TopLeft(), CPoint(420, 310));
  EXPECT_TRUE(e.m_pDockContext->m_bMRUFloatPosSet);
  EXPECT_EQ(e.m_pDockContext->m_ptMRUFloatPos, CPoint(420, 310));
  EXPECT_FALSE(a.IsFloating());
  EXPECT_EQ(InParent(*DockBar(AFX_IDW_DOCKBAR_RIGHT)).Width(), 0) << "c left the right side";

  // Taken again, the state says the same of every bar (the records' order may differ: the new
  // floating frame's dock bar joins the frame's bars last).
  CDockState again;
  frame->GetDockState(again);
  ASSERT_EQ(again.m_arrBarInfo.GetSize(), saved.m_arrBarInfo.GetSize());
  for (INT_PTR i = 0; i < saved.m_arrBarInfo.GetSize(); ++i) {
    const CControlBarInfo& was = *saved.m_arrBarInfo[i];
    const CControlBarInfo* now = nullptr;
    for (INT_PTR k = 0; k < again.m_arrBarInfo.GetSize(); ++k)
      if (again.m_arrBarInfo[k]->m_nBarID == was.m_nBarID) now = again.m_arrBarInfo[k];
    ASSERT_NE(now, nullptr) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_pointPos, was.m_pointPos) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_bVisible, was.m_bVisible) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_bFloating, was.m_bFloating) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_uMRUDockID, was.m_uMRUDockID) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_rectMRUDockPos, was.m_rectMRUDockPos) << std::hex << was.m_nBarID;
    EXPECT_EQ(now->m_arrBarID.GetSize(), was.m_arrBarID.GetSize()) << std::hex << was.m_nBarID;
  }
}

TEST_F(Docking, ADamagedOrForeignDockStateDoesNotLoad) {
  TestBar a(CSize(100, 26)), b(CSize(80, 26));
  Dock(a, ID_BAR_A, AFX_IDW_DOCKBAR_TOP);
  Dock(b, ID_BAR_B, AFX_IDW_DOCKBAR_LEFT);
  CDockState saved;
  frame->GetDockState(saved);
  const std::vector<BYTE> good = Store(saved);
  ASSERT_GT(good.size(), 40u);

  auto with = [](std::vector<BYTE> bytes, size_t at, std::vector<BYTE> patch) {
    std::copy(patch.begin(), patch.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
  };
  // A state of one dock bar with one slot: its count of slots is 8 bytes from the end.
  CDockState one;
  auto* info = new CControlBarInfo;
  info->m_bDockBar = TRUE;
  info->m_arrBarID.Add(0);
  one.m_arrBarInfo.Add(info);
  const std::vector<BYTE> single = Store(one);
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
    int cause;
  };
  const Case cases[] = {
      {"empty", {}, CArchiveException::endOfFile},
      {"cut short", std::vector<BYTE>(good.begin(), good.end() - 3), CArchiveException::endOfFile},
      {"another kind of record", with(good, 0, {'X', 'O', 'C', 'K'}), CArchiveException::badSchema},
      {"another version", with(good, 4, {2, 0}), CArchiveException::badSchema},
      {"a count of records past the limit", with(good, 6, {0x01, 0x10, 0, 0}), CArchiveException::badIndex},
      {"a count of slots past the limit", with(single, single.size() - 8, {0x01, 0x10, 0, 0}), CArchiveException::badIndex},
      // The record's place follows the header (10 bytes), its bar ID and its flags.
      {"a place far off every screen", with(single, 15, {0xFE, 0xFF, 0xFF, 0x7F}), CArchiveException::badIndex},
      {"a floating place far off every screen", with(single, 15 + 8 + 4 + 16 + 4 + 4, {0x00, 0x00, 0x00, 0x80}),
       CArchiveException::badIndex},
  };
  {
    CDockState loaded;
    ASSERT_EQ(Load(with(single, single.size() - 8, {0x00, 0x10, 0, 0}), loaded), CArchiveException::endOfFile)
        << "4096 slots are allowed (and missing here)";
  }
  const CRect aAt = ScreenRect(a), bAt = ScreenRect(b);
  for (const Case& c : cases) {
    CDockState loaded;
    EXPECT_EQ(Load(c.bytes, loaded), c.cause) << c.what;
    EXPECT_EQ(loaded.m_arrBarInfo.GetSize(), 0) << c.what << ": nothing half-read is kept";
  }
  EXPECT_EQ(ScreenRect(a), aAt);
  EXPECT_EQ(ScreenRect(b), bAt);

  // A state that names bars the frame no longer has: those are passed over.
  CDockState stale;
  ASSERT_EQ(Load(good, stale), -1);
  for (INT_PTR i = 0; i < stale.m_arrBarInfo.GetSize(); ++i) {
    CControlBarInfo* info = stale.m_arrBarInfo[i];
    if (info->m_nBarID == AFX_IDW_DOCKBAR_LEFT) {
      info->m_arrBarID.InsertAt(1, 0x9999);
      info->m_arrBarID.InsertAt(1, ID_BAR_A);
    }
    if (info->m_nBarID == ID_BAR_B) info->m_nBarID = 0x9998;
  }
  frame->SetDockState(stale);
  EXPECT_EQ(Rows(DockBar(AFX_IDW_DOCKBAR_LEFT)), (std::vector<CControlBar*> {nullptr, &a, &b, nullptr}));
  EXPECT_EQ(Rows(DockBar(AFX_IDW_DOCKBAR_TOP)), std::vector<CControlBar*> {nullptr});
}

// ---- On a real X display ----------------------------------------------------------------------

// A bar that shows a row (or a column) of small raised buttons, as a tool bar does.
class ButtonRowBar : public CControlBar {
public:
  explicit ButtonRowBar(int buttons) : m_buttons(buttons) {}
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override {
    CSize size = CControlBar::CalcFixedLayout(stretch, horz);
    if (!stretch || !horz) size.cx += horz ? m_buttons * kButton : kButton;
    if (!stretch || horz) size.cy += horz ? kButton : m_buttons * kButton;
    return size;
  }
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect all;
    GetClientRect(&all);
    dc.FillSolidRect(&all, GetSysColor(COLOR_BTNFACE));
    const bool horz = m_dwStyle & CBRS_ORIENT_HORZ;
    for (int i = 0; i < m_buttons; ++i) {
      CRect button(CPoint(horz ? i * kButton : 0, horz ? 0 : i * kButton), CSize(kButton, kButton));
      button.DeflateRect(2, 2);
      dc.FillSolidRect(&button, RGB(0x30 + 0x28 * (i % 5), 0x60, 0xA0 - 0x18 * (i % 5)));
      dc.Draw3dRect(&button, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
    }
  }
  DECLARE_MESSAGE_MAP()

private:
  static constexpr int kButton = 24;
  int m_buttons;
};
BEGIN_MESSAGE_MAP(ButtonRowBar, CControlBar)
  ON_WM_PAINT()
END_MESSAGE_MAP()

// A frame with a bar docked at the top, one docked at the left and one floating, on a real X
// display (the test runs under xvfb-run). The picture is kept with the artefacts.
TEST(DockingOnX11, AFrameWithDockedAndFloatingBars) {
  if (QGuiApplication::platformName() != QStringLiteral("xcb")) GTEST_SKIP() << "needs an X display";
  CWnd view;
  CFrameWnd* frame = MakeFrameWithView(view, u"Docking", CRect(40, 40, 680, 460), true);
  ASSERT_NE(frame, nullptr);
  frame->EnableDocking(CBRS_ALIGN_ANY);
  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM | CBRS_GRIPPER;
  ButtonRowBar top(7), second(4), left(5), floating(6);
  struct Made {
    ButtonRowBar* bar;
    UINT id;
    LPCWSTR title;
  };
  for (const Made& m : {Made {&top, ID_BAR_A, u"File"}, Made {&second, ID_BAR_B, u"View"},
                        Made {&left, ID_BAR_C, u"Tools"}, Made {&floating, ID_BAR_D, u"Palette"}}) {
    m.bar->m_dwStyle = style & CBRS_ALL;
    m.bar->SetBorders(2, 2, 2, 2);
    ASSERT_TRUE(m.bar->Create(nullptr, m.title, style & ~CBRS_ALL, CRect(0, 0, 0, 0), frame, m.id));
    m.bar->EnableDocking(CBRS_ALIGN_ANY);
  }
  frame->DockControlBar(&top, AFX_IDW_DOCKBAR_TOP);
  CRect beside = ScreenRect(top);
  beside.OffsetRect(beside.Width() + 20, 0);
  frame->DockControlBar(&second, AFX_IDW_DOCKBAR_TOP, &beside);
  frame->DockControlBar(&left, AFX_IDW_DOCKBAR_LEFT);
  frame->DockControlBar(&floating, AFX_IDW_DOCKBAR_TOP);
  CRect inside;
  frame->GetClientRect(&inside);
  frame->ClientToScreen(&inside);
  frame->FloatControlBar(&floating, CPoint(inside.right - 260, inside.top + 120));
  CMiniDockFrameWnd* mini = dynamic_cast<CMiniDockFrameWnd*>(floating.m_pDockBar->GetParent());
  ASSERT_NE(mini, nullptr);

  const CRect miniRect = ScreenRect(*mini);
  const CRect topRect = ScreenRect(top);
  const QRgb face = QColor(GetRValue(GetSysColor(COLOR_BTNFACE)), GetGValue(GetSysColor(COLOR_BTNFACE)),
                           GetBValue(GetSysColor(COLOR_BTNFACE))).rgb();
  auto colour = [](int index) {
    COLORREF c = GetSysColor(index);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c)).rgb();
  };
  QImage shot;
  const int border = GetSystemMetrics(SM_CXFRAME);
  const QPoint caption(miniRect.left + border + 1, miniRect.top + border + 1);
  bool captionActive = false;
  // The window manager's work is asynchronous: wait until the floating frame is on the screen and
  // its caption shows the activation it has (which the window manager may still be changing).
  EXPECT_TRUE(PumpUntil([&] {
    captionActive = mini->IsCaptionActive();
    shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    return shot.pixel(miniRect.left, miniRect.top) == colour(COLOR_3DLIGHT) &&
           shot.pixel(topRect.left + 4, topRect.top + topRect.Height() / 2) == colour(COLOR_BTNHIGHLIGHT) &&
           shot.pixel(caption) == colour(captionActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
  }, 5000));
  QDir().mkpath(QStringLiteral(QV_TEST_ARTIFACT_DIR));
  CRect whole = ScreenRect(*frame);
  whole.InflateRect(10, 10);
  shot.copy(whole.left, whole.top, whole.Width(), whole.Height()).save(QStringLiteral(QV_TEST_ARTIFACT_DIR "/docking_x11.png"));

  // The docked bar's gripper: a raised grip 3 pixels wide, 2 pixels in from the bar's start.
  const int midY = topRect.top + topRect.Height() / 2;
  EXPECT_EQ(shot.pixel(topRect.left + 4, midY), colour(COLOR_BTNHIGHLIGHT)) << "the grip's light side";
  EXPECT_EQ(shot.pixel(topRect.left + 6, midY), colour(COLOR_BTNSHADOW)) << "the grip's dark side";
  EXPECT_EQ(shot.pixel(topRect.left + 8, midY), face) << "room after the grip";
  // The bar's bottom border: shadow, then highlight.
  EXPECT_EQ(shot.pixel(topRect.left + 40, topRect.bottom - 2), colour(COLOR_BTNSHADOW));
  EXPECT_EQ(shot.pixel(topRect.left + 40, topRect.bottom - 1), colour(COLOR_BTNHIGHLIGHT));
  // The floating frame: its raised border and a caption in the colour of the active one.
  EXPECT_EQ(shot.pixel(miniRect.left, miniRect.top + 30), colour(COLOR_3DLIGHT));
  EXPECT_EQ(shot.pixel(miniRect.right - 1, miniRect.top + 30), colour(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.pixel(caption), colour(captionActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
  frame->DestroyWindow();
}

// ---- Batches of moves --------------------------------------------------------------------------

TEST(DeferWindowPos, ABatchMovesItsWindowsTogetherAndMergesEntriesForOneWindow) {
  CWnd parent, a, b;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, u"parent", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
  ASSERT_TRUE(a.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &parent, 1));
  ASSERT_TRUE(b.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &parent, 2));
  HDWP batch = BeginDeferWindowPos(2);
  batch = DeferWindowPos(batch, a.GetSafeHwnd(), nullptr, 5, 6, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  batch = DeferWindowPos(batch, b.GetSafeHwnd(), nullptr, 0, 0, 40, 30, SWP_NOMOVE | SWP_NOZORDER);
  batch = DeferWindowPos(batch, a.GetSafeHwnd(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  ASSERT_NE(batch, nullptr);
  EXPECT_EQ(InParent(a), CRect(0, 0, 10, 10)) << "nothing moves before the batch ends";
  EXPECT_TRUE(EndDeferWindowPos(batch));
  EXPECT_EQ(InParent(a), CRect(5, 6, 15, 16)) << "the move stays when a later entry only shows";
  EXPECT_TRUE(a.GetStyle() & WS_VISIBLE);
  EXPECT_EQ(InParent(b), CRect(0, 0, 40, 30));

  HWND gone = a.GetSafeHwnd();
  a.DestroyWindow();
  batch = BeginDeferWindowPos(1);
  EXPECT_EQ(DeferWindowPos(batch, gone, nullptr, 0, 0, 1, 1, SWP_NOZORDER), nullptr) << "no window: the batch is given up";
  parent.DestroyWindow();
}

}  // namespace
