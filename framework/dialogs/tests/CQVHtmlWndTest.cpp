// The HTML window: the view it makes over its client area, pages shown through it, the rule for
// right clicks in the page, and the view's end with the window.

#include "framework/dialogs/CQVHtmlWnd.h"

#include "platform/ui/tests/UiTestSupport.h"

#include <QApplication>

#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>

#include <gtest/gtest.h>

#include <string>

namespace {

class HtmlWindow : public ::testing::Test {
protected:
  void SetUp() override { parent = MakeParentWindow(u"HtmlWindowTestParent", ::DefWindowProcW); }
  void TearDown() override { ::DestroyWindow(parent); }
  QTextBrowser* BrowserOf(CQVHtmlWnd& wnd) {
    if (!wnd.GetHtmlView() || !wnd.GetHtmlView()->GetBrowserWindow()) return nullptr;
    return dynamic_cast<QTextBrowser*>(ClientOf(wnd.GetHtmlView()->GetBrowserWindow()->GetSafeHwnd()));
  }

  HWND parent {};
};

TEST_F(HtmlWindow, TheViewFillsTheWindowAndShowsPagesOnlyOnceItIsThere) {
  CQVHtmlWnd html;
  html.Navigate(u"/no/window/yet.html");  // nothing to show it in
  EXPECT_EQ(html.GetHtmlView(), nullptr);

  ASSERT_TRUE(html.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 210, 160), CWnd::FromHandle(parent)));
  EXPECT_EQ(html.GetDlgCtrlID(), 0);
  __CQVHtmlView* view = html.GetHtmlView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetParent(), &html);
  EXPECT_EQ(view->GetDlgCtrlID(), 0);
  EXPECT_TRUE(view->GetStyle() & WS_VISIBLE);
  CRect client, placed;
  html.GetClientRect(&client);
  view->GetWindowRect(&placed);
  html.ScreenToClient(&placed);
  EXPECT_EQ(placed, client);

  QTemporaryDir dir;
  QFile page(dir.filePath(QStringLiteral("about.html")));
  ASSERT_TRUE(page.open(QIODevice::WriteOnly));
  page.write("<html><body><h1>About this program</h1></body></html>");
  page.close();
  const std::u16string path = page.fileName().toStdU16String();
  html.Navigate(path.c_str());
  QTextBrowser* browser = BrowserOf(html);
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("About this program")));
  html.Navigate(u"/no/such/page.html");
  EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("About this program"))) << "a missing page changes nothing";

  html.DestroyWindow();
  EXPECT_EQ(html.GetHtmlView(), nullptr) << "the view ends with the window";
  html.Navigate(path.c_str());
}

TEST_F(HtmlWindow, RightClicksInThePageAreSwallowedUnlessMenusAreAllowed) {
  for (BOOL allow : {FALSE, TRUE}) {
    CQVHtmlWnd html;
    ASSERT_TRUE(html.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), CWnd::FromHandle(parent), allow));
    const HWND pane = html.GetHtmlView()->GetBrowserWindow()->GetSafeHwnd();
    struct Case {
      HWND target;
      UINT message;
      bool swallowedUnlessAllowed;
    } cases[] = {
        {pane, WM_CONTEXTMENU, true},           {pane, WM_RBUTTONDOWN, true},
        {pane, WM_RBUTTONUP, true},             {pane, WM_LBUTTONDOWN, false},
        {pane, WM_RBUTTONDBLCLK, false},        {html.GetSafeHwnd(), WM_CONTEXTMENU, false},
        {html.GetHtmlView()->GetSafeHwnd(), WM_RBUTTONDOWN, false},
    };
    for (const Case& c : cases) {
      MSG msg {};
      msg.hwnd = c.target;
      msg.message = c.message;
      EXPECT_EQ(html.PreTranslateMessage(&msg), c.swallowedUnlessAllowed && !allow)
          << "allow " << allow << ": " << MessageName(c.message) << (c.target == pane ? " in the page" : " elsewhere");
    }
    EXPECT_FALSE(html.PreTranslateMessage(nullptr));
  }
}

// A right click reaching the page through the message queue, as the program's message loop hands
// it on: shows the page's menu or not.
TEST_F(HtmlWindow, ARightClickInThePageShowsTheMenuOnlyWhenAllowed) {
  const PreTranslatingLoop loop;
  for (BOOL allow : {FALSE, TRUE}) {
    CQVHtmlWnd html;
    ASSERT_TRUE(html.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), CWnd::FromHandle(parent), allow));
    const HWND pane = html.GetHtmlView()->GetBrowserWindow()->GetSafeHwnd();
    bool menuShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
      if (QWidget* popup = QApplication::activePopupWidget()) {
        menuShown = true;
        popup->close();
      }
    });
    closer.start(20);
    ::PostMessageW(pane, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 20));
    ::PostMessageW(pane, WM_RBUTTONUP, 0, MAKELPARAM(20, 20));
    Pump(200);
    EXPECT_EQ(menuShown, static_cast<bool>(allow)) << "menus allowed: " << allow;
  }
}

TEST_F(HtmlWindow, DeletingAWindowThatIsStillOpenEndsItsView) {
  auto* html = new CQVHtmlWnd;
  ASSERT_TRUE(html->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 100), CWnd::FromHandle(parent)));
  const HWND view = html->GetHtmlView()->GetSafeHwnd();
  delete html;
  EXPECT_FALSE(::IsWindow(view));
}

}  // namespace
