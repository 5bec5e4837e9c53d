// Dockable bars with a caption: the hosted frame and view, the caption's room and close button on
// each side, closing by the button, and the caption following the focus.

#include "framework/bars/CQVDockableBar.h"
#include "framework/bars/tests/BarTestSupport.h"

#include "platform/ui/win/windc.h"

#include <QImage>
#include <QWidget>

namespace {

constexpr UINT ID_DOCKABLE = 0xE870;

// A view that can be made from its run-time class; one that refuses to be made.
class PaneView : public CWnd {
  DECLARE_DYNCREATE(PaneView)
};
IMPLEMENT_DYNCREATE(PaneView, CWnd)

class RefusingView : public CWnd {
  DECLARE_DYNCREATE(RefusingView)
public:
  BOOL PreCreateWindow(CREATESTRUCT&) override { return FALSE; }
};
IMPLEMENT_DYNCREATE(RefusingView, CWnd)

class DockableBars : public BarFrame {
protected:
  void MakeDockable(CQVDockableBar& bar, UINT side) {
    ASSERT_TRUE(bar.Create(frame, RUNTIME_CLASS(PaneView), nullptr, u"Pane title",
                           WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, ID_DOCKABLE));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, side);
    Settle();
  }
  CPoint ButtonCentre(CQVDockableBar& bar) {
    return ScreenRect(bar).TopLeft() + CSize(bar.GetBtnRect().CenterPoint().x, bar.GetBtnRect().CenterPoint().y);
  }
};

TEST_F(DockableBars, TheBarHostsAFrameWithTheViewItIsGiven) {
  CQVDockableBar bar;
  MakeDockable(bar, AFX_IDW_DOCKBAR_TOP);
  CWnd* inner = bar.GetInnerWnd();
  ASSERT_NE(inner, nullptr);
  EXPECT_TRUE(inner->IsKindOf(RUNTIME_CLASS(CFrameWnd)));
  CWnd* view = inner->GetDlgItem(AFX_IDW_PANE_FIRST);
  ASSERT_NE(view, nullptr);
  EXPECT_NE(dynamic_cast<PaneView*>(CWnd::FromHandlePermanent(view->GetSafeHwnd())), nullptr);
  CRect barClient, innerRect;
  bar.GetClientRect(&barClient);
  inner->GetWindowRect(&innerRect);
  bar.ScreenToClient(&innerRect);
  EXPECT_EQ(innerRect, barClient) << "the inner frame fills the bar";

  struct Case {
    const char* what;
    CRuntimeClass* view;
    CRuntimeClass* frameClass;
  };
  const Case failing[] = {
      {"an inner class that is no frame", RUNTIME_CLASS(PaneView), RUNTIME_CLASS(PaneView)},
      {"a view that cannot be made", RUNTIME_CLASS(RefusingView), nullptr},
  };
  for (const Case& c : failing) {
    CQVDockableBar other;
    EXPECT_FALSE(other.Create(frame, c.view, nullptr, u"x", WS_CHILD | CBRS_TOP, ID_DOCKABLE + 1, c.frameClass)) << c.what;
    EXPECT_EQ(other.GetSafeHwnd(), nullptr) << c.what;
  }
}

TEST_F(DockableBars, TheCaptionTakesRoomOnTheSideAwayFromTheRowAndNoneWhileFloating) {
  CQVDockableBar bar;
  MakeDockable(bar, AFX_IDW_DOCKBAR_TOP);
  struct Case {
    const char* what;
    UINT side;  // 0: floating
    CRect client;  // the client area's insets from the window's edges: left, top, right, bottom
    CPoint button;  // from the window's top-left; right-relative for side docking is checked apart
  };
  const Case cases[] = {
      {"docked at the top: a strip on the left", AFX_IDW_DOCKBAR_TOP, {5 + 16, 5, 5, 5}, {5 + 16 - 14, 5}},
      {"docked at the bottom", AFX_IDW_DOCKBAR_BOTTOM, {5 + 16, 5, 5, 5}, {5 + 16 - 14, 5}},
      {"docked at the left: a strip on top", AFX_IDW_DOCKBAR_LEFT, {5, 5 + 16, 5, 5}, {-(5 + 15), 5 + 16 - 14}},
      {"docked at the right", AFX_IDW_DOCKBAR_RIGHT, {5, 5 + 16, 5, 5}, {-(5 + 15), 5 + 16 - 14}},
      {"floating", 0, {3, 5, 3, 3}, {}},
  };
  for (const Case& c : cases) {
    if (c.side) frame->DockControlBar(&bar, c.side);
    else frame->FloatControlBar(&bar, CPoint(300, 300));
    Settle();
    const CRect window = ScreenRect(bar);
    const CRect client = ClientRectInWindow(&bar);
    EXPECT_EQ(CRect(client.left, client.top, window.Width() - client.right, window.Height() - client.bottom), c.client)
        << c.what;
    EXPECT_EQ(bool(bar.HasGripper()), c.side != 0) << c.what;
    if (!c.side) continue;
    const CPoint expected(c.button.x < 0 ? window.Width() + c.button.x : c.button.x, c.button.y);
    EXPECT_EQ(bar.GetBtnRect().TopLeft(), expected) << c.what;
    const CPoint centre = ButtonCentre(bar);
    EXPECT_EQ(bar.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTCLOSE) << c.what;
  }
}

TEST_F(DockableBars, OnlyAPressAndAReleaseOnTheCloseButtonHideTheBar) {
  CQVDockableBar bar;
  MakeDockable(bar, AFX_IDW_DOCKBAR_LEFT);
  const CPoint button = ButtonCentre(bar);
  const CPoint elsewhere = ScreenRect(bar).CenterPoint();
  struct Case {
    const char* what;
    bool pressOnButton;
    CPoint release;
    bool hidden;
  };
  const Case cases[] = {
      {"pressed and released elsewhere", true, elsewhere, false},
      {"pressed elsewhere and released on it", false, button, false},
      {"pressed and released on it", true, button, true},
  };
  for (const Case& c : cases) {
    if (c.pressOnButton) {
      bar.SendMessage(WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(button.x, button.y));
      EXPECT_EQ(::GetCapture(), bar.GetSafeHwnd()) << c.what;
      bar.SendMessage(WM_LBUTTONUP, 0, At(bar, c.release));
    } else {
      bar.SendMessage(WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(c.release.x, c.release.y));
    }
    Settle();
    EXPECT_EQ(::GetCapture(), nullptr) << c.what;
    EXPECT_EQ(!bar.IsWindowVisible(), c.hidden) << c.what;
  }
  frame->ShowControlBar(&bar, TRUE, FALSE);
  Settle();
  EXPECT_TRUE(bar.IsWindowVisible()) << "the frame shows it again";
}

TEST_F(DockableBars, TheCaptionIsActiveWhileTheFocusIsInsideTheBar) {
  CQVDockableBar bar;
  MakeDockable(bar, AFX_IDW_DOCKBAR_LEFT);
  CWnd* paneView = bar.GetInnerWnd()->GetDlgItem(AFX_IDW_PANE_FIRST);
  ASSERT_NE(paneView, nullptr);
  auto captionColour = [&] {
    const QImage picture = HostOf(bar.GetSafeHwnd())->grab().toImage();
    const CRect client = ClientRectInWindow(&bar);
    const QColor c = picture.pixelColor(client.left + 2, client.top - 3);
    return RGB(c.red(), c.green(), c.blue());
  };
  struct Step {
    const char* what;
    CWnd* focus;
    BOOL active;
  };
  const Step steps[] = {
      {"focus in the bar's view", paneView, TRUE},
      {"focus in the frame's view", &view, FALSE},
      {"focus back in the bar", paneView, TRUE},
  };
  for (const Step& s : steps) {
    s.focus->SetFocus();
    Settle();
    EXPECT_EQ(bar.HasFocus(), s.active) << s.what << ": the idle moment follows the focus";
    Pump(20);
    EXPECT_EQ(captionColour(), ::GetSysColor(s.active ? COLOR_ACTIVECAPTION : COLOR_BTNFACE)) << s.what;
  }
}

}  // namespace
