// Tool bars: buttons laid out by size, clicks that become commands of the frame (unless their
// update handler disables them), check and drop-down buttons, tips.

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/CFrameWnd.h"
#include "platform/ui/CToolBar.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

enum : UINT { ID_OPEN = 201, ID_PRINT, ID_ZOOM };

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
    ASSERT_TRUE(bar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS));
    bar.SetSizes(CSize(24, 22), CSize(16, 15));
    const UINT ids[] = {ID_OPEN, 0, ID_PRINT, ID_ZOOM};
    ASSERT_TRUE(bar.SetButtons(ids, 4));
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
  CToolBar bar;
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
  EXPECT_EQ(place.Height(), 26);
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

}  // namespace
