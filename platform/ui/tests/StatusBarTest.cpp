// Status bars along a frame's bottom edge.

#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CStatusBar.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

namespace {

enum : UINT { ID_PAGE = 101, ID_CLOCK = 102, ID_ZOOM = 103 };

class Bar : public CStatusBar {
public:
  void DrawItem(LPDRAWITEMSTRUCT dis) override {
    ++draws;
    drawnPane = static_cast<int>(dis->itemID);
    drawnData = dis->itemData;
  }
  int draws = 0;
  int drawnPane = -1;
  ULONG_PTR drawnData = 0;
};

class Frame : public CFrameWnd {
public:
  void OnUpdateZoom(CCmdUI* ui) { ui->SetText(u"100%"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(Frame, CFrameWnd)
  ON_UPDATE_COMMAND_UI(ID_ZOOM, &Frame::OnUpdateZoom)
END_MESSAGE_MAP()

TEST(StatusBars, PanesStretchDrawAndFollowTheirUpdateHandlers) {
  auto* frame = new Frame;
  ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
  Bar bar;
  ASSERT_TRUE(bar.CreateEx(frame, SBARS_SIZEGRIP));
  const UINT indicators[] = {ID_SEPARATOR, ID_PAGE, ID_CLOCK, ID_ZOOM};
  ASSERT_TRUE(bar.SetIndicators(indicators, 4));
  bar.SetPaneInfo(1, ID_PAGE, SBPS_NORMAL, 60);
  bar.SetPaneInfo(2, ID_CLOCK, SBPS_OWNERDRAW, 40);
  bar.SetPaneInfo(3, ID_ZOOM, SBPS_NORMAL, 50);
  frame->RecalcLayout();

  CRect client, place;
  frame->GetClientRect(&client);
  bar.GetWindowRect(&place);
  frame->ScreenToClient(&place);
  EXPECT_EQ(place.bottom, client.bottom) << "the bar keeps to the frame's bottom edge";
  EXPECT_EQ(place.Width(), client.Width());
  EXPECT_GT(place.Height(), 12);

  CRect first, second;
  bar.GetItemRect(0, &first);
  bar.GetItemRect(1, &second);
  EXPECT_EQ(second.Width(), 64) << "a pane's width and its borders";
  EXPECT_GT(first.Width(), client.Width() - 250) << "the separator pane takes what is left";
  EXPECT_EQ(bar.CommandToIndex(ID_CLOCK), 2);
  EXPECT_EQ(bar.CommandToIndex(999), -1);

  bar.SetPaneText(1, u"Page 3 of 7");
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(1), CString(u"Page 3 of 7"));
  EXPECT_EQ(bar.GetPaneText(1), CString(u"Page 3 of 7"));
  EXPECT_FALSE(bar.SetPaneText(9, u"x")) << "a pane that is not there";

  bar.UpdateWindow();
  EXPECT_GE(bar.draws, 1);
  EXPECT_EQ(bar.drawnPane, 2);
  EXPECT_EQ(bar.drawnData, static_cast<ULONG_PTR>(ID_CLOCK));

  // Panes without an update handler go blank; a handler's text shows.
  bar.OnUpdateCmdUI(frame, TRUE);
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(1), CString(u""));
  EXPECT_TRUE(bar.GetPaneStyle(1) & SBPS_DISABLED);
  EXPECT_EQ(bar.GetPaneText(3), CString(u"100%"));
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(3), CString(u"100%"));
  bar.DestroyWindow();
  frame->DestroyWindow();
}

TEST(StatusBars, TheControlAlignsItselfToItsParentUnlessToldNotTo) {
  HWND parent = ::CreateWindowExW(0, u"AfxWnd", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
  CStatusBarCtrl status;
  ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE | SBT_TOOLTIPS, CRect(0, 0, 10, 10), CWnd::FromHandle(parent), 5));
  status.SendMessage(WM_SIZE, 0, 0);
  CRect r;
  status.GetWindowRect(&r);
  EXPECT_EQ(r.Width(), 300);
  EXPECT_EQ(r.bottom, 200);
  int rights[] = {100, -1};
  ASSERT_TRUE(status.SetParts(2, rights));
  CRect part;
  ASSERT_TRUE(status.GetRect(1, &part));
  EXPECT_EQ(part.right, 300) << "-1 reaches the end";
  status.SetTipText(1, u"Tip");
  WCHAR tip[16] {};
  status.SendMessage(SB_GETTIPTEXTW, MAKEWPARAM(1, 16), reinterpret_cast<LPARAM>(tip));
  EXPECT_EQ(std::u16string(tip), u"Tip");
  EXPECT_EQ(status.SetBkColor(RGB(1, 2, 3)), static_cast<COLORREF>(CLR_DEFAULT)) << "the colour before";
  ::DestroyWindow(parent);
}

}  // namespace
