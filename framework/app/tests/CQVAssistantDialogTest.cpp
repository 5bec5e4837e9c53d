// The assistant panel through the main frame's statics: lazy making, the help address kept while
// the panel comes and goes, its place, its outline, help asked for from another thread, and the
// panel hidden while the program is minimised or inactive.

#include "SpineTestApp.h"

#include "framework/app/CQVAssistantDialog.h"
#include "framework/app/CQVDocument.h"
#include "framework/app/CQVMainFrame.h"
#include "platform/core/sysinfo.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QColor>
#include <QImage>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

std::atomic<DWORD> g_panelMadeOn {0};

class TestAssistant : public CQVAssistantDialog {
  DECLARE_DYNCREATE(TestAssistant)
public:
  TestAssistant() {
    g_panelMadeOn = GetCurrentThreadId();
    SetRCMModule(nullptr);  // the test program's language file
  }
  static inline CString outlineKey;
  static inline CString backgroundKey;

  QTextBrowser* Browser() {
    CQVHtmlWnd& html = GetHtmlWnd();
    if (!html.GetHtmlView() || !html.GetHtmlView()->GetBrowserWindow()) return nullptr;
    return dynamic_cast<QTextBrowser*>(ClientOf(html.GetHtmlView()->GetBrowserWindow()->GetSafeHwnd()));
  }
  QString Page() {
    QTextBrowser* browser = Browser();
    return browser ? browser->toPlainText() : QString();
  }

protected:
  BOOL OnInitSettings() override {
    m_strOutlineKey = outlineKey;
    m_strBackgroundKey = backgroundKey;
    return CQVAssistantDialog::OnInitSettings();
  }
};
IMPLEMENT_DYNCREATE(TestAssistant, CQVAssistantDialog)

class AssistantFrame : public CQVMainFrame {
  DECLARE_DYNCREATE(AssistantFrame)
public:
  AssistantFrame() { m_pAssistantClass = withAssistant ? RUNTIME_CLASS(TestAssistant) : nullptr; }
  static inline bool withAssistant = true;
};
IMPLEMENT_DYNCREATE(AssistantFrame, CQVMainFrame)

class AssistantApp : public SpineTestApp {
public:
  AssistantApp() {
    m_nTemplateID = 1;
    m_pDocumentClass = RUNTIME_CLASS(CQVDocument);
    m_pFrameClass = RUNTIME_CLASS(AssistantFrame);
  }
};

TestAssistant* Panel() { return static_cast<TestAssistant*>(CQVMainFrame::GetAssistant()); }

class Assistant : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<AssistantApp>();
    app->WriteFile("Workgroup/Help/start.html", "<html><body>Getting started</body></html>");
    app->WriteFile("Workgroup/Help/search.html", "<html><body>Searching</body></html>");
    ASSERT_TRUE(app->InitInstance());
    frame = CQVWinApp::GetMainFrame();
    ASSERT_NE(frame, nullptr);
  }
  void TearDown() override {
    TestAssistant::outlineKey.Empty();
    TestAssistant::backgroundKey.Empty();
    AssistantFrame::withAssistant = true;
    app->DestroyMainFrame();
    app.reset();
  }
  CString HelpPage(const char16_t* name) { return app->AppDir() + u"Workgroup/Help/" + name; }

  std::unique_ptr<AssistantApp> app;
  CQVMainFrame* frame {};
};

TEST_F(Assistant, KeepsItsPageAndItsPlaceWhileItComesAndGoes) {
  int x = 0, y = 0;
  EXPECT_FALSE(CQVMainFrame::GetAssistantPosition(x, y));
  EXPECT_EQ(x, CQVAssistantDialog::kNoPosition);
  EXPECT_EQ(y, CQVAssistantDialog::kNoPosition);

  // Asked for while hidden, the page is shown by the next window.
  CQVMainFrame::ShowHelpID(u"HELP_START");
  EXPECT_FALSE(CQVMainFrame::IsAssistantVisible());
  CQVMainFrame::ShowAssistant(120, 90);
  ASSERT_TRUE(CQVMainFrame::IsAssistantVisible());
  TestAssistant* panel = Panel();
  EXPECT_TRUE(PumpUntil([&] { return panel->Page().contains("Getting started"); }));
  EXPECT_TRUE(CQVMainFrame::GetAssistantPosition(x, y));
  EXPECT_EQ(CPoint(x, y), CPoint(120, 90));
  EXPECT_TRUE(panel->GetExStyle() & WS_EX_TOOLWINDOW);

  // The same address, in other letters or with blanks, is not loaded again.
  panel->Browser()->setPlainText("untouched");
  CQVMainFrame::ShowHelp(u"  " + HelpPage(u"START.HTML") + u" ");
  Pump(30);
  EXPECT_EQ(panel->Page(), QString("untouched"));
  CQVMainFrame::ShowHelp(HelpPage(u"search.html"));
  EXPECT_TRUE(PumpUntil([&] { return panel->Page().contains("Searching"); }));

  // Enter and Escape leave it open; a double click hides it; it comes back where it was, with its
  // page.
  panel->SendMessage(WM_COMMAND, IDOK);
  panel->SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_TRUE(CQVMainFrame::IsAssistantVisible());
  panel->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(CQVMainFrame::IsAssistantVisible());
  EXPECT_FALSE(CQVMainFrame::GetAssistantPosition(x, y));
  EXPECT_EQ(CPoint(x, y), CPoint(120, 90)) << "where the last window was";
  CQVMainFrame::ShowAssistant();
  EXPECT_TRUE(CQVMainFrame::GetAssistantPosition(x, y));
  EXPECT_EQ(CPoint(x, y), CPoint(120, 90));
  EXPECT_TRUE(PumpUntil([&] { return panel->Page().contains("Searching"); }));
  EXPECT_EQ(Panel(), panel) << "one panel for the frame's life";
}

TEST_F(Assistant, TakesItsOutlineAndBackgroundFromBitmapsAndNeedsThem) {
  TestAssistant::outlineKey = u"ASSISTANT_OUTLINE";
  TestAssistant::backgroundKey = u"ASSISTANT_BACKGROUND";  // red on the left, blue on the right
  CQVMainFrame::ShowAssistant(50, 50);
  ASSERT_TRUE(CQVMainFrame::IsAssistantVisible());
  QWidget* host = HostOf(Panel()->GetSafeHwnd());
  const QRegion shape = host->mask();
  EXPECT_TRUE(shape.contains(QPoint(40, 5))) << "the tab of the outline";
  EXPECT_FALSE(shape.contains(QPoint(200, 5))) << "black in the outline and outside the pane";
  EXPECT_TRUE(shape.contains(QPoint(100, 100))) << "the pane";
  Pump(30);
  const QImage picture = host->grab().toImage();
  EXPECT_EQ(picture.pixelColor(2, 2), QColor(255, 0, 0));
  EXPECT_EQ(picture.pixelColor(28, 2), QColor(0, 0, 255));
  CQVMainFrame::HideAssistant();

  // Without either bitmap no half-made window remains.
  const struct {
    const char16_t* outline;
    const char16_t* background;
  } missing[] = {{u"NO_SUCH_BITMAP", u""}, {u"", u"NO_SUCH_BITMAP"}};
  for (const auto& m : missing) {
    TestAssistant::outlineKey = m.outline;
    TestAssistant::backgroundKey = m.background;
    CQVMainFrame::ShowAssistant(50, 50);
    EXPECT_FALSE(CQVMainFrame::IsAssistantVisible());
    EXPECT_EQ(Panel()->GetSafeHwnd(), nullptr);
  }
}

TEST_F(Assistant, HelpFromAnotherThreadMakesNoWindowThere) {
  const DWORD uiThread = GetCurrentThreadId();
  g_panelMadeOn = 0;
  std::thread worker([&] { CQVMainFrame::ShowHelpID(u"HELP_START"); });
  worker.join();
  EXPECT_EQ(g_panelMadeOn.load(), 0u) << "nothing made before the frame's thread gets to it";
  Pump(30);
  EXPECT_EQ(g_panelMadeOn.load(), uiThread);
  ASSERT_NE(Panel(), nullptr);
  EXPECT_EQ(Panel()->GetHelpAddress(), HelpPage(u"start.html"));

  // A shown panel loads a page asked for on another thread once its own thread runs.
  CQVMainFrame::ShowAssistant();
  ASSERT_TRUE(CQVMainFrame::IsAssistantVisible());
  std::thread again([&] { CQVMainFrame::ShowHelp(HelpPage(u"search.html")); });
  again.join();
  EXPECT_TRUE(PumpUntil([] { return Panel()->Page().contains("Searching"); }));
}

TEST_F(Assistant, WithoutAnAssistantClassThereIsNoPanel) {
  TearDown();
  AssistantFrame::withAssistant = false;
  SetUp();
  CQVMainFrame::ShowHelp(u"/anything.html");
  CQVMainFrame::ShowAssistant();
  int x = 0, y = 0;
  EXPECT_FALSE(CQVMainFrame::GetAssistantPosition(x, y));
  EXPECT_EQ(CPoint(x, y), CPoint(CQVAssistantDialog::kNoPosition, CQVAssistantDialog::kNoPosition));
  EXPECT_EQ(CQVMainFrame::GetAssistant(), nullptr);
}

TEST_F(Assistant, HidesWhileTheProgramIsAwayAndComesBackOnlyWhenItShould) {
  enum Step { Show, Hide, Minimise, Restore, Maximise, Deactivate, Activate };
  const struct {
    const char* what;
    std::vector<Step> steps;
    bool visible;
  } cases[] = {
      {"minimised", {Show, Minimise}, false},
      {"restored", {Show, Minimise, Restore}, true},
      {"maximised", {Show, Minimise, Maximise}, true},
      {"hidden before minimising", {Hide, Minimise, Restore}, false},
      {"hidden by hand after a restore, then resized", {Show, Minimise, Restore, Hide, Restore}, false},
      {"inactive", {Show, Deactivate}, false},
      {"active again", {Show, Deactivate, Activate}, true},
      {"hidden by hand after activation, then activated", {Show, Deactivate, Activate, Hide, Deactivate, Activate}, false},
      {"minimised and inactive, activated while still minimised", {Show, Minimise, Deactivate, Activate}, false},
      {"minimised and inactive, activated and restored", {Show, Minimise, Deactivate, Activate, Restore}, true},
      {"inactive, restored while inactive", {Show, Deactivate, Minimise, Restore}, false},
  };
  for (const auto& c : cases) {
    frame->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    frame->ShowWindow(SW_RESTORE);
    CQVMainFrame::HideAssistant();
    for (Step step : c.steps) {
      switch (step) {
        case Show: CQVMainFrame::ShowAssistant(); break;
        case Hide: CQVMainFrame::HideAssistant(); break;
        case Minimise: frame->ShowWindow(SW_MINIMIZE); break;
        case Restore: frame->ShowWindow(SW_RESTORE); break;
        case Maximise: frame->ShowWindow(SW_MAXIMIZE); break;
        case Deactivate: frame->SendMessage(WM_ACTIVATEAPP, FALSE, 0); break;
        case Activate: frame->SendMessage(WM_ACTIVATEAPP, TRUE, 0); break;
      }
      Pump(10);
    }
    EXPECT_EQ(CQVMainFrame::IsAssistantVisible(), c.visible) << c.what;
  }
}

}  // namespace
