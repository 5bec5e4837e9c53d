// The viewer's assistant panel as the main window keeps it: where the settings say it stood and
// whether it showed come back when the window opens, and go into the settings when it closes.

#include "MainTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVAssistantDialog.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

struct PanelState {
  BOOL bVisible;
  BOOL bPlaced;  // GetAssistantPosition's answer
  int x, y;
};

PanelState Panel() {
  PanelState state {CQVMainFrame::IsAssistantVisible(), FALSE, 0, 0};
  state.bPlaced = CQVMainFrame::GetAssistantPosition(state.x, state.y);
  return state;
}

std::string SettingsLine(const char* key, int value) { return std::string(key) + " = " + std::to_string(value); }

class Assistant : public ::testing::Test {
protected:
  void TearDown() override { Stop(); }

  // Starts the viewer on the application folder, after writing its assistant settings when asked.
  void Start(int show = -1, int left = 0, int top = 0) {
    if (show >= 0) {
      fs::create_directories(folder.Path() / "Workstation/Sys");
      WriteBytes(SettingsFile(), "[ScreenLayout]\r\n" + SettingsLine("ShowAssistant", show) + "\r\n" +
                                     SettingsLine("AssistantLeft", left) + "\r\n" + SettingsLine("AssistantTop", top) +
                                     "\r\n");
    }
    app = std::make_unique<MainTestApp>(folder.Path());
    ASSERT_TRUE(app->InitInstance());
    frame = CMainFrame::GetMainFrameWnd();
    ASSERT_NE(frame, nullptr);
  }

  // Closes the window as the user does, which writes the settings.
  void Close() {
    frame->SendMessage(WM_CLOSE);
    frame = nullptr;
    Stop();
  }

  void Stop() {
    if (frame && ::IsWindow(frame->GetSafeHwnd())) frame->DestroyWindow();
    frame = nullptr;
    CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE);
    app.reset();
  }

  fs::path SettingsFile() const { return folder.Path() / "Workstation/Sys/SXS.dat"; }

  TempFolder folder;
  std::unique_ptr<MainTestApp> app;
  CMainFrame* frame {nullptr};
};

// A saved place on the screen (lower bounds included, upper bounds not) is where the panel stands,
// shown or not; any other place is not used: the panel shows at its default place or stays hidden
// and placeless.
TEST_F(Assistant, OpensAtItsSavedPlaceOnlyWhenThatLiesOnTheScreen) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_GT(width, 1);
  ASSERT_GT(height, 1);
  struct Case {
    int x, y;
    bool onScreen;
  };
  const Case cases[] = {
      {120, 80, true},         {0, 0, true},           {width - 1, height - 1, true}, {width, 10, false},
      {10, height, false},     {width + 500, 10, false}, {-1, 10, false},             {10, -1, false},
      {CQVAssistantDialog::kNoPosition, CQVAssistantDialog::kNoPosition, false},
  };
  for (const Case& c : cases) {
    for (const int show : {0, 1}) {
      const std::string what = std::to_string(c.x) + "," + std::to_string(c.y) + " show " + std::to_string(show);
      Start(show, c.x, c.y);
      const PanelState panel = Panel();
      EXPECT_EQ(panel.bVisible, show) << what;
      EXPECT_EQ(panel.bPlaced, show) << what;
      if (c.onScreen) {
        EXPECT_EQ(panel.x, c.x) << what;
        EXPECT_EQ(panel.y, c.y) << what;
      } else if (show) {
        // The default place: the middle of the screen.
        CRect rect;
        CQVMainFrame::GetAssistant()->GetWindowRect(&rect);
        EXPECT_NEAR(panel.x, (width - rect.Width()) / 2, 1) << what;
        EXPECT_NEAR(panel.y, (height - rect.Height()) / 2, 1) << what;
      } else {
        EXPECT_EQ(panel.x, CQVAssistantDialog::kNoPosition) << what;
        EXPECT_EQ(panel.y, CQVAssistantDialog::kNoPosition) << what;
      }
      Stop();
    }
  }
}

// The panel shows in the viewer's outline and colours, drawn to its size.
TEST_F(Assistant, ShowsInTheViewersOutlineAndBackground) {
  Start(1, 60, 40);
  CQVAssistantDialog* panel = CQVMainFrame::GetAssistant();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(panel->IsAssistantVisible());
  CRect window, client;
  panel->GetWindowRect(&window);
  panel->GetClientRect(&client);
  const std::pair<LPCWSTR, CSize> pictures[] = {{u"BMP_DLG_ASSISTANT_OUTLINE", window.Size()},
                                                 {u"BMP_DLG_ASSISTANT_BKBMP", client.Size()}};
  for (const auto& [key, size] : pictures) {
    CQVBitmapHandle picture;
    ASSERT_TRUE(CQVRCM::LoadBitmapW(key, picture)) << CString(key).ToUtf8();
    EXPECT_EQ(CSize(picture.GetWidth(), picture.GetHeight()), size) << CString(key).ToUtf8();
  }
  // The outline cuts the corners off.
  HRGN shape = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(panel->GetSafeHwnd(), shape), ERROR);
  EXPECT_FALSE(PtInRegion(shape, 0, 0));
  EXPECT_TRUE(PtInRegion(shape, window.Width() / 2, 0));
  DeleteObject(shape);
}

// Closing writes whether the panel shows and where it stands; the next start puts it back. Hidden
// by the user it stays hidden, its place kept; hidden only because the window was minimised it
// counts as shown.
TEST_F(Assistant, ItsStateWrittenOnCloseComesBackAtTheNextStart) {
  Start();
  EXPECT_FALSE(Panel().bVisible) << "hidden by default";
  CQVMainFrame::ShowAssistant(140, 90);
  Close();
  std::string settings = ReadBytes(SettingsFile());
  for (const char* line : {"ShowAssistant = 1", "AssistantLeft = 140", "AssistantTop = 90"})
    EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;

  Start();
  PanelState panel = Panel();
  EXPECT_TRUE(panel.bVisible);
  EXPECT_EQ(CPoint(panel.x, panel.y), CPoint(140, 90));
  // A double click on the panel hides it.
  CQVMainFrame::GetAssistant()->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(2, 2));
  EXPECT_FALSE(Panel().bVisible);
  Close();
  settings = ReadBytes(SettingsFile());
  for (const char* line : {"ShowAssistant = 0", "AssistantLeft = 140", "AssistantTop = 90"})
    EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;

  Start();
  panel = Panel();
  EXPECT_FALSE(panel.bVisible);
  EXPECT_EQ(CPoint(panel.x, panel.y), CPoint(140, 90)) << "the place is kept for the next show";
  CQVMainFrame::ShowAssistant();
  EXPECT_EQ(CPoint(Panel().x, Panel().y), CPoint(140, 90));
  frame->ShowWindow(SW_MINIMIZE);
  ASSERT_TRUE(PumpUntil([] { return !CQVMainFrame::IsAssistantVisible(); }, 5000)) << "minimising hides the panel";
  Close();
  settings = ReadBytes(SettingsFile());
  for (const char* line : {"ShowAssistant = 1", "AssistantLeft = 140", "AssistantTop = 90"})
    EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
}

}  // namespace
