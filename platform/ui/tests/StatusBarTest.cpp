// Status bars along a frame's bottom edge.

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CStatusBar.h"
#include "platform/gdi/CDC.h"
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

TEST(StatusBars, APaneMadeOwnerDrawnThroughTheControlStaysSoUntilGivenATextAgain) {
  auto* frame = new Frame;
  ASSERT_TRUE(frame->Create(nullptr, u"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 300)));
  Bar bar;
  ASSERT_TRUE(bar.CreateEx(frame, SBARS_SIZEGRIP));
  const UINT panes[] = {ID_SEPARATOR, ID_SEPARATOR, ID_SEPARATOR};
  ASSERT_TRUE(bar.SetIndicators(panes, 3));
  bar.SetPaneInfo(1, 0, SBPS_NORMAL, 80);
  bar.SetPaneText(1, u"Ready");
  frame->RecalcLayout();
  auto type = [&bar](int pane) {
    int t = 0;
    bar.GetStatusBarCtrl().GetTextLength(pane, &t);
    return t;
  };
  EXPECT_EQ(type(1), 0);

  bar.SendMessage(SB_SETTEXTW, 1 | SBT_OWNERDRAW, 0);
  EXPECT_EQ(type(1), SBT_OWNERDRAW) << "the control tells the drawing type of an owner-drawn part";
  EXPECT_EQ(bar.GetStatusBarCtrl().GetTextLength(1), 0);
  bar.SetPaneText(2, u"other");
  bar.SetPaneInfo(2, 0, SBPS_NORMAL, 60);
  EXPECT_EQ(type(1), SBT_OWNERDRAW) << "sending the other panes again keeps this one owner-drawn";
  bar.draws = 0;
  bar.Invalidate();
  bar.UpdateWindow();
  EXPECT_GE(bar.draws, 1);
  EXPECT_EQ(bar.drawnPane, 1);

  bar.SendMessage(SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(bar.GetPaneText(1).GetString()));
  EXPECT_EQ(type(1), 0);
  EXPECT_EQ(bar.GetStatusBarCtrl().GetText(1), CString(u"Ready")) << "the pane kept its text meanwhile";
  bar.SetPaneText(2, u"again");
  EXPECT_EQ(type(1), 0);
  bar.DestroyWindow();
  frame->DestroyWindow();
}

TEST(StatusBars, APartShowsItsIconBeforeItsText) {
  HWND parent = ::CreateWindowExW(0, u"AfxWnd", u"", WS_POPUP | WS_VISIBLE, 0, 0, 300, 40, nullptr, nullptr, nullptr, nullptr);
  CStatusBarCtrl status;
  ASSERT_TRUE(status.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), CWnd::FromHandle(parent), 5));
  status.SendMessage(WM_SIZE, 0, 0);
  int rights[] = {150, -1};
  ASSERT_TRUE(status.SetParts(2, rights));
  // A red square with a transparent middle.
  CBitmap colour, mask;
  HDC screen = ::GetDC(nullptr);
  colour.Attach(::CreateCompatibleBitmap(screen, 16, 16));
  mask.Attach(::CreateCompatibleBitmap(screen, 16, 16));
  ::ReleaseDC(nullptr, screen);
  CDC dc;
  dc.CreateCompatibleDC(nullptr);
  CBitmap* old = dc.SelectObject(&colour);
  dc.FillSolidRect(0, 0, 16, 16, RGB(255, 0, 0));
  dc.SelectObject(&mask);
  dc.FillSolidRect(0, 0, 16, 16, RGB(0, 0, 0));
  dc.FillSolidRect(4, 4, 8, 8, RGB(255, 255, 255));
  dc.SelectObject(old);
  ICONINFO info {TRUE, 0, 0, static_cast<HBITMAP>(mask.GetSafeHandle()), static_cast<HBITMAP>(colour.GetSafeHandle())};
  HICON icon = ::CreateIconIndirect(&info);
  ASSERT_NE(icon, nullptr);
  status.SetIcon(1, icon);
  status.UpdateWindow();
  CRect part;
  status.GetRect(1, &part);
  CDC* window = status.GetDC();
  int top = part.top + 1 + (part.Height() - 2 - 16) / 2;
  EXPECT_EQ(window->GetPixel(part.left + 2 + 1, top + 1), RGB(255, 0, 0)) << "the icon's edge";
  EXPECT_EQ(window->GetPixel(part.left + 2 + 8, top + 8), GetSysColor(COLOR_BTNFACE)) << "its transparent middle";
  status.ReleaseDC(window);
  ::DestroyIcon(icon);
  ::DestroyWindow(parent);
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
