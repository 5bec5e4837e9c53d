// The sizing bars' drag: where a moved bar docks, the outline it shows on the way, floating when
// it is mostly off the frame, and double clicks between the last docked and floating places.

#include "framework/bars/CQVDockContext.h"
#include "framework/bars/CQVMiniDockFrameWnd.h"
#include "framework/bars/tests/BarTestSupport.h"

#include <functional>

namespace {

constexpr UINT ID_BAR_A = 0xE860, ID_BAR_B = 0xE861;
constexpr UINT WM_PROBE = WM_APP + 7;

// A window whose message the drag loop hands on while it runs: the test looks at the drag then.
std::function<void()> g_probe;
LRESULT ProbeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PROBE && g_probe) g_probe();
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

class BarDrag : public BarFrame {
protected:
  void SetUp() override {
    BarFrame::SetUp();
    probe = MakeParentWindow(u"BarDragProbe", ProbeProc);
    ASSERT_NE(probe, nullptr);
  }
  void TearDown() override {
    g_probe = nullptr;
    DestroyWindow(probe);
    BarFrame::TearDown();
  }
  struct Seen {
    DWORD side;    // CBRS_ALIGN_* under the drag, 0 for floating
    CRect outline;
  };
  // Drags the bar from `grab` (its client coordinates) to the screen point `to`, holding Ctrl
  // when asked, and answers what the drag showed there before the button came up.
  Seen DragTo(CQVControlBar& bar, CPoint grab, CPoint to, bool ctrl = false) {
    Seen seen {};
    g_probe = [&] {
      seen.side = bar.m_pDockContext->m_dwOverDockStyle;
      seen.outline = bar.m_pDockContext->m_rectLast;
    };
    if (ctrl) bar.PostMessage(WM_KEYDOWN, VK_CONTROL);
    bar.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, At(bar, to));
    PostMessageW(probe, WM_PROBE, 0, 0);
    bar.PostMessage(WM_LBUTTONUP, 0, At(bar, to));
    bar.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab.x, grab.y));
    Settle();
    return seen;
  }
  HWND probe {};
};

TEST_F(BarDrag, TheOutlineShowsWhereTheBarWillSitAndAMostlyOffFrameBarFloats) {
  CQVControlBar a, b;
  Make(b, ID_BAR_B);
  frame->DockControlBar(&b, AFX_IDW_DOCKBAR_BOTTOM);
  Settle();
  const CPoint grab(30, 20);
  const CRect top = ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP));
  ASSERT_EQ(top.Height(), 0);

  // Over the empty top dock bar: the outline spans it.
  const CPoint overTop = origin + CSize(300, 2);
  Seen seen = DragTo(b, grab, overTop);
  EXPECT_EQ(seen.side, static_cast<DWORD>(CBRS_ALIGN_TOP));
  const int barTop = overTop.y - grab.y - 5;  // the client area starts below the bar's 5-pixel edge
  EXPECT_EQ(seen.outline, CRect(top.left + 1, barTop + 1, top.right - 1, barTop + b.m_szHorz.cy - 1));
  ASSERT_EQ(ParentId(b), AFX_IDW_DOCKBAR_TOP);

  // Into a row that holds another sizing bar, about as long as the row: shortened by the bar's
  // least length, and within the dock bar.
  Make(a, ID_BAR_A);
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_BOTTOM);
  Settle();
  const CRect row = ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP));
  a.m_szHorz.cx = row.Width() + 2;
  seen = DragTo(a, grab, row.TopLeft() + CSize(300, 40));
  EXPECT_EQ(seen.side, static_cast<DWORD>(CBRS_ALIGN_TOP));
  EXPECT_EQ(seen.outline.right, row.right - 1) << "pushed back inside the dock bar";
  EXPECT_EQ(seen.outline.Width(), row.Width() + 2 - 150 - 2);
  Settle();
  EXPECT_EQ(ParentId(a), AFX_IDW_DOCKBAR_TOP);

  // Ctrl held: floating whatever lies under it, with the floating frame's outline.
  seen = DragTo(a, grab, origin + CSize(300, 250), true);
  EXPECT_EQ(seen.side, 0u);
  EXPECT_TRUE(a.IsFloating());

  // Less than a third of the bar over the frame: floating, although the top dock bar is under it.
  frame->DockControlBar(&a, AFX_IDW_DOCKBAR_BOTTOM);
  Settle();
  const CRect site = ScreenRect(*frame);
  const CPoint above(origin.x + 300, site.top - a.m_szHorz.cy + 40 + grab.y);
  seen = DragTo(a, grab, above);
  EXPECT_EQ(seen.side, 0u);
  EXPECT_TRUE(a.IsFloating());
}

TEST_F(BarDrag, ALyingBarDraggedIntoASideDockBarDocksThere) {
  CQVControlBar top, side, lying;
  Make(top, ID_BAR_A);
  Make(side, ID_BAR_B);
  Make(lying, ID_BAR_B + 1);
  frame->DockControlBar(&top, AFX_IDW_DOCKBAR_TOP);
  frame->DockControlBar(&side, AFX_IDW_DOCKBAR_LEFT);
  frame->DockControlBar(&lying, AFX_IDW_DOCKBAR_BOTTOM);
  Settle();
  // The cursor inside the left dock bar, the lying bar's rectangle over the bottom dock bar: the
  // plain rule would keep it lying at the bottom.
  const CRect left = ScreenRect(*DockBar(AFX_IDW_DOCKBAR_LEFT));
  const CPoint inside(left.left + 30, ScreenRect(*DockBar(AFX_IDW_DOCKBAR_TOP)).bottom + 40);
  ASSERT_TRUE(left.PtInRect(inside));
  const Seen seen = DragTo(lying, CPoint(30, 20), inside);
  EXPECT_EQ(seen.side, static_cast<DWORD>(CBRS_ALIGN_LEFT));
  EXPECT_EQ(ParentId(lying), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_TRUE(lying.IsVertDocked());
}

TEST_F(BarDrag, DoubleClicksSwitchBetweenTheLastDockedAndFloatingPlaces) {
  CQVControlBar bar;
  Make(bar, ID_BAR_A);
  frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
  Settle();
  // Floating partly off the screen's left edge, where places are negative.
  frame->FloatControlBar(&bar, CPoint(-40, 150));
  Settle();
  auto* mini = dynamic_cast<CQVMiniDockFrameWnd*>(bar.GetParentFrame());
  ASSERT_NE(mini, nullptr);
  const CRect floating = ScreenRect(*mini);
  const CPoint caption = floating.TopLeft() + CSize(20, mini->GetCaptionRect().CenterPoint().y);
  mini->SendMessage(WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(caption.x, caption.y));
  Settle();
  ASSERT_FALSE(bar.IsFloating());
  EXPECT_EQ(ParentId(bar), AFX_IDW_DOCKBAR_LEFT);
  bar.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 20));
  Settle();
  ASSERT_TRUE(bar.IsFloating());
  EXPECT_EQ(ScreenRect(*bar.GetParentFrame()).TopLeft(), floating.TopLeft()) << "where it floated, negative or not";
}

}  // namespace
