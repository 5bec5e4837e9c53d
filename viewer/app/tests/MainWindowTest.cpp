// The viewer's main window as a user meets it: started by the real application object, with its
// menus, tool bars and hot keys routed to the main document, which passes them on to the document
// browser; the layout and settings written when it closes and found again at the next start.

#include "MainTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVWinApp.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainMenu.h"
#include "platform/ui/afx/CView.h"

#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

// Items of a menu and its sub-menus, each brought up to date the way opening it does.
struct MenuItemState {
  bool enabled;
  bool checked;
};

void CollectMenu(CWnd* frame, HMENU menu, std::map<UINT, MenuItemState>& items) {
  frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), 0);
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    if (HMENU sub = GetSubMenu(menu, i)) {
      CollectMenu(frame, sub, items);
      continue;
    }
    const UINT id = GetMenuItemID(menu, i);
    if (id == 0) continue;
    const UINT state = GetMenuState(menu, i, MF_BYPOSITION);
    items[id] = {(state & MF_GRAYED) == 0, (state & MF_CHECKED) != 0};
  }
}

CString MenuText(HMENU menu, int position) {
  WCHAR text[128] {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return CString(text);
}

CString WindowText(CWnd* window) {
  CString text;
  window->GetWindowText(text);
  return text;
}

// A batch of two documents with images, so that one can be shown.
BatchFiles TwoDocuments() {
  BatchFiles files;
  files.header = Header("Invoices", {"Customer"});
  files.index = "001;1;00012345;B;D;0;0;0;0;0;0;2;0;ACME\r\n"
                "001;1;00012346;B;D;0;0;0;0;0;0;1;0;Baker\r\n";
  files.folders = {"5/34", "6/34"};
  files.images = {"5/34/00012001.TIF", "5/34/00012002.TIF", "6/34/00012001.TIF"};
  return files;
}

class MainWindow : public ::testing::Test {
protected:
  void SetUp() override { Start(); }
  void TearDown() override { Stop(); }

  void Start(const fs::path& appDir = {}, std::vector<const char*> args = {"OrbelMain"},
             const char16_t* hotKeys = u"HOTKEYS") {
    app = std::make_unique<MainTestApp>(appDir);
    app->m_strHotKeyTable = hotKeys;
    app->SetArguments(static_cast<int>(args.size()), args.data());
    ASSERT_TRUE(app->InitInstance());
    frame = CMainFrame::GetMainFrameWnd();
    document = CMainDoc::GetMainDoc();
    ASSERT_NE(frame, nullptr);
    ASSERT_NE(document, nullptr);
  }

  void Stop() {
    if (frame && ::IsWindow(frame->GetSafeHwnd())) frame->DestroyWindow();
    frame = nullptr;
    document = nullptr;
    CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE);
    app.reset();
  }

  // The browser joins the document and the store, as the browser's view does.
  void AttachBrowser() {
    document->SetBrowser(&browser);
    document->GetPlant().SetBrowser(&browser);
  }

  // Brings the store to a state: -1 closed, 0 opened, 2 searched, 3 a document shown.
  void BringStoreTo(int state) {
    CIBSPlant& plant = document->GetPlant();
    plant.Close();
    if (state < 0) return;
    TwoDocuments().Write(batches.Path() / "A");
    plant.SetOpenMode(CIBSPlant::openFolder, batches.Wide());
    ASSERT_TRUE(plant.Load());
    if (state < 2) return;
    plant.SetDocumentPattern(u"*");
    int searched = 0;
    int hits = 0;
    plant.Search(searched, hits);
    ASSERT_EQ(hits, 2);
    if (state < 3) return;
    ASSERT_TRUE(plant.OpenDocument(u"Invoices", u"00012345"));
  }

  void Command(UINT id) { frame->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  // Sends the key to the page area, through the frame's key handling and hot keys.
  void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    PreTranslatingLoop loop;
    QWidget* target = HostOf(frame->GetActiveView()->GetSafeHwnd());
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
    Pump(10);
  }

  TempFolder batches;
  RecordingBrowser browser;
  std::unique_ptr<MainTestApp> app;
  CMainFrame* frame {nullptr};
  CMainDoc* document {nullptr};
};

TEST_F(MainWindow, OpensWithTitleMenusAndBothToolBarsWithTheirPictures) {
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show"));
  EXPECT_NE(frame->SendMessage(WM_GETICON, ICON_BIG), 0) << "no program icon";

  HMENU bar = ::GetMenu(frame->GetSafeHwnd());
  ASSERT_NE(bar, nullptr);
  std::vector<CString> titles;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) titles.push_back(MenuText(bar, i));
  EXPECT_EQ(titles, (std::vector<CString> {u"&File", u"&View", u"&Document", u"&Tools", u"&Help"}));
  // Items carry their labels and hot keys; the view menu ends with the languages.
  EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0).Left(10), CString(u"&Search...")) << MenuText(GetSubMenu(bar, 0), 0).ToUtf8();
  HMENU view = GetSubMenu(bar, 1);
  EXPECT_NE(GetSubMenu(view, GetMenuItemCount(view) - 1), nullptr);

  const std::vector<UINT> commandBar(CommandToolBarButtons().begin(), CommandToolBarButtons().end());
  const std::vector<UINT> viewBar(ViewToolBarButtons().begin(), ViewToolBarButtons().end());
  EXPECT_EQ(ButtonIds(frame->GetCommandBar()), commandBar);
  EXPECT_EQ(ButtonIds(frame->GetViewBar()), viewBar);
  UINT id = 0;
  UINT style = 0;
  int image = 0;
  frame->GetCommandBar().GetButtonInfo(1, id, style, image);
  EXPECT_EQ(image, kToolBarSeparatorWidth);
  EXPECT_EQ(frame->GetCommandBar().GetToolBarCtrl().GetButtonSize(), CSize(32 + 7, 32 + 6));
  EXPECT_EQ(WindowText(&frame->GetCommandBar()), CString(u"Commands"));

  ASSERT_NE(frame->GetCommandBar().m_pDockBar, nullptr);
  ASSERT_NE(frame->GetViewBar().m_pDockBar, nullptr);
  EXPECT_EQ(frame->GetCommandBar().m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(frame->GetViewBar().m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_LEFT);
  EXPECT_TRUE(fs::is_directory(app->SysDir()));
}

// Every command of the table is offered by a menu, a tool bar or a hot key, and is enabled exactly
// in the states it names, wherever it is offered.
TEST_F(MainWindow, EveryCommandIsReachableAndEnabledInItsStatesOnly) {
  // Commands whose dialogs or windows are built elsewhere stay disabled until they are.
  const std::set<UINT> notBuilt {ID_APP_SEARCH, ID_VIEW_ZOOMSTEP, ID_VIEW_SHOW_SEARCHRESULTS, ID_DOCUMENT_GOTODOC,
                                 ID_DOCUMENT_GOTOIMG, ID_TOOLS_MAGNIFICATIONRATIO, ID_OUTPUT_VIEW, ID_OUTPUT_EMAIL,
                                 ID_OUTPUT_SAVEASPDF, ID_OUTPUT_PRINTIMAGES, ID_OUTPUT_PRINTHITLIST};
  // Outputs of the shown document need one on screen.
  const std::set<UINT> needDocument {ID_APP_PRINT, ID_APP_EMAIL, ID_APP_SAVEASPDF, ID_APP_EXPORT};

  AttachBrowser();
  std::map<UINT, MenuItemState> outputMenu;
  {
    COutputMenu output;
    HMENU menu = output.CreateMenu(FALSE);
    ASSERT_NE(menu, nullptr);
    CollectMenu(frame, menu, outputMenu);
    DestroyMenu(menu);
  }

  for (const int state : {-1, 0, 2, 3}) {
    BringStoreTo(state);
    ASSERT_EQ(document->GetPlant().GetState(), state);
    std::map<UINT, MenuItemState> menu;
    CollectMenu(frame, ::GetMenu(frame->GetSafeHwnd()), menu);
    menu.insert(outputMenu.begin(), outputMenu.end());
    app->OnIdle(0);

    for (const ViewerCommand& command : ViewerCommands()) {
      const UINT id = command.nID;
      const bool expected = !notBuilt.count(id) && (!needDocument.count(id) || state == 3);
      const std::string what = command.pszName ? CString(command.pszName).ToUtf8() + " in state " + std::to_string(state) : "";
      bool reached = false;
      if (auto item = menu.find(id); item != menu.end()) {
        reached = true;
        if (id < ID_OUTPUT_VIEW) {
          EXPECT_EQ(item->second.enabled, expected) << what << " (menu)";
        }
      }
      for (CMainToolBar* bar : {static_cast<CMainToolBar*>(&frame->GetCommandBar()), static_cast<CMainToolBar*>(&frame->GetViewBar())}) {
        if (bar->CommandToIndex(id) < 0) continue;
        reached = true;
        EXPECT_EQ(bool(bar->GetToolBarCtrl().IsButtonEnabled(static_cast<int>(id))), expected) << what << " (tool bar)";
      }
      CString key;
      if (CQVWinApp::FindKeyDescription(id, key)) reached = true;
      EXPECT_TRUE(reached) << what << " is offered nowhere";
      if (id >= ID_OUTPUT_VIEW && id <= ID_OUTPUT_PRINTHITLIST) {
        EXPECT_TRUE(menu.count(id)) << what << " is not in the output menu";
      }
    }
  }
}

// The check marks follow the browser and the settings, in menus and tool bars alike.
TEST_F(MainWindow, CheckMarksFollowToolModeFitGridAndBars) {
  AttachBrowser();
  browser.toolMode = CMainBrowser::toolRotate180;
  browser.fitMode = CMainBrowser::viewFitWidth;
  document->SetBrowserLayout(2, 1);
  app->OnIdle(0);
  std::map<UINT, MenuItemState> menu;
  CollectMenu(frame, ::GetMenu(frame->GetSafeHwnd()), menu);

  const std::set<UINT> checked {ID_TOOLS_ROTATE_180, ID_VIEW_FIT_WIDTH, ID_VIEW_BROWSERLAYOUT_2_1,
                                ID_VIEW_SHOW_CMDTBR, ID_VIEW_SHOW_ORBTBR};
  for (const auto& [id, item] : menu)
    if (id < CQVMenu::kFirstLanguageID) {
      EXPECT_EQ(item.checked, checked.count(id) == 1) << CString(FindViewerCommandName(id)).ToUtf8();
    }
  EXPECT_TRUE(frame->GetCommandBar().GetToolBarCtrl().IsButtonChecked(ID_TOOLS_ROTATE_180));
  EXPECT_FALSE(frame->GetCommandBar().GetToolBarCtrl().IsButtonChecked(ID_TOOLS_MAGNIFY));
  EXPECT_TRUE(frame->GetViewBar().GetToolBarCtrl().IsButtonChecked(ID_VIEW_BROWSERLAYOUT_2_1));

  // Hiding a bar clears its mark.
  Command(ID_VIEW_SHOW_ORBTBR);
  EXPECT_FALSE(CQVWinApp::IsGUIVisible(CMainFrame::kViewBarGUI));
  menu.clear();
  CollectMenu(frame, ::GetMenu(frame->GetSafeHwnd()), menu);
  EXPECT_FALSE(menu[ID_VIEW_SHOW_ORBTBR].checked);
  Command(ID_VIEW_SHOW_ORBTBR);
  EXPECT_TRUE(CQVWinApp::IsGUIVisible(CMainFrame::kViewBarGUI));
}

TEST_F(MainWindow, CommandsReachTheBrowserWithTheirModesActionsAndSteps) {
  AttachBrowser();
  BringStoreTo(3);
  ScreenLayout& layout = app->m_settings.m_screenLayout;
  layout.nViewZoomStep = 25;
  const struct {
    UINT id;
    std::vector<std::string> calls;
  } cases[] = {
      {ID_APP_TBRPRINT, {"SetToolMode 2"}},
      {ID_APP_TBREMAIL, {"SetToolMode 3"}},
      {ID_TOOLS_ROTATE_90, {"SetToolMode 4"}},
      {ID_TOOLS_ROTATE_180, {"SetToolMode 5"}},
      {ID_TOOLS_ROTATE_270, {"SetToolMode 6"}},
      {ID_TOOLS_SCROLL, {"SetToolMode 1"}},
      {ID_TOOLS_MAGNIFY, {"SetToolMode 0"}},
      {ID_TOOLS_COPY, {"SetToolMode 7"}},
      {ID_TOOLS_COPYAREA, {"SetToolMode 8"}},
      {ID_VIEW_ZOOMIN, {"ApplyViewAction 5 1 2500"}},
      {ID_VIEW_ZOOMOUT, {"ApplyViewAction 6 1 2500"}},
      {ID_VIEW_FIT_NONE, {"ApplyViewAction 1 1 100"}},
      {ID_VIEW_FIT_WIDTH, {"ApplyViewAction 2 1 100"}},
      {ID_VIEW_FIT_WHOLE, {"ApplyViewAction 4 1 100"}},
      // A new grid keeps the fit mode the browser has (fit whole page, from the line before).
      {ID_VIEW_BROWSERLAYOUT_1_1, {"SetFPCMode 1 1", "ApplyViewAction 4 1 100"}},
      {ID_VIEW_BROWSERLAYOUT_1_2, {"SetFPCMode 2 1", "ApplyViewAction 4 1 100"}},
      {ID_VIEW_BROWSERLAYOUT_2_1, {"SetFPCMode 1 2", "ApplyViewAction 4 1 100"}},
      {ID_VIEW_BROWSERLAYOUT_2_2, {"SetFPCMode 2 2", "ApplyViewAction 4 1 100"}},
      {ID_VIEW_BROWSERLAYOUT_2_4, {"SetFPCMode 4 2", "ApplyViewAction 4 1 100"}},
      {ID_VIEW_BROWSERLAYOUT_4_8, {"SetFPCMode 8 4", "ApplyViewAction 4 1 100"}},
      {ID_DOCUMENT_FIRSTIMAGE, {"GoToFirst"}},
      {ID_DOCUMENT_LASTIMAGE, {"GoToLast"}},
      {ID_DOCUMENT_PRESCREEN, {"PagePrevious"}},
      {ID_DOCUMENT_NXTSCREEN, {"PageNext"}},
      {ID_DOCUMENT_SCROLL_TO_TOP, {"ApplyViewAction 13 1 0"}},
      {ID_DOCUMENT_SCROLL_TO_LEFT, {"ApplyViewAction 11 1 0"}},
      {ID_DOCUMENT_SCROLL_TO_RIGHT, {"ApplyViewAction 12 1 0"}},
      {ID_DOCUMENT_SCROLL_TO_BOTTOM, {"ApplyViewAction 14 1 0"}},
      {ID_DOCUMENT_SCROLL_UP, {"ApplyViewAction 9 1 100"}},
      {ID_DOCUMENT_SCROLL_LEFT, {"ApplyViewAction 7 1 100"}},
      {ID_DOCUMENT_SCROLL_RIGHT, {"ApplyViewAction 8 1 100"}},
      {ID_DOCUMENT_SCROLL_DOWN, {"ApplyViewAction 10 1 100"}},
      {ID_OTHER_CTRL_1, {"ActOnCell 0"}},
      {ID_OTHER_CTRL_1 + 8, {"ActOnCell 8"}},
      {ID_OTHER_CTRL_0, {"ActOnCell 9"}},
      {ID_APP_SAVEASPDF, {"SaveDocumentAsPdf"}},
  };
  for (const auto& c : cases) {
    browser.calls.clear();
    Command(c.id);
    EXPECT_EQ(browser.calls, c.calls) << CString(FindViewerCommandName(c.id)).ToUtf8();
  }

  // The grid commands keep the grid in the settings.
  EXPECT_EQ(layout.nViewBrowserRows, 4);
  EXPECT_EQ(layout.nViewBrowserCols, 8);
}

// Print and e-mail of the shown document always start from the whole document, one image a sheet
// and one combined file, whatever was used last.
TEST_F(MainWindow, PrintAndEmailStartFromTheWholeDocument) {
  AttachBrowser();
  BringStoreTo(3);
  PrintSetting& print = app->m_settings.m_print;
  print.nPrintRange = 2;
  print.nNumPerSheet = 8;
  print.nRowNumber = 4;
  print.nColNumber = 2;
  Command(ID_APP_PRINT);
  EXPECT_EQ((std::vector<int> {print.nPrintRange, print.nNumPerSheet, print.nRowNumber, print.nColNumber}),
            (std::vector<int> {1, 1, 1, 1}));
  EmailSetting& email = app->m_settings.m_email;
  email.nRangeMode = 3;
  email.nCombineTIFF = 0;
  Command(ID_APP_EMAIL);
  EXPECT_EQ(email.nRangeMode, 1);
  EXPECT_EQ(email.nCombineTIFF, 1);
  EXPECT_EQ(browser.calls, (std::vector<std::string> {"PrintDocument", "EmailDocument"}));
}

TEST_F(MainWindow, NextAndPreviousDocumentRetitleTheWindow) {
  AttachBrowser();
  BringStoreTo(3);
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show - Invoices - Document 00012345"));
  Command(ID_DOCUMENT_NEXT);
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show - Invoices - Document 00012346"));
  Command(ID_DOCUMENT_NEXT);  // the last stays
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show - Invoices - Document 00012346"));
  app->m_settings.m_general.nDisplayPageCount = 1;
  Command(ID_DOCUMENT_PREVIOUS);
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show - Invoices - Document 00012345 (2 Pages,2 Images)"));
}

// Keys of the page area: 2 alternates between the two two-page grids, Tab moves between cells;
// with Ctrl they are hot keys.
TEST_F(MainWindow, KeyTwoTogglesTheGridsTabMovesBetweenCellsCtrlKeysAreHotKeys) {
  AttachBrowser();
  BringStoreTo(3);
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<std::string> calls;
  } steps[] = {
      {Qt::Key_2, Qt::NoModifier, {"SetFPCMode 2 1", "ApplyViewAction 4 1 100"}},
      {Qt::Key_2, Qt::KeypadModifier, {"SetFPCMode 1 2", "ApplyViewAction 4 1 100"}},
      {Qt::Key_2, Qt::NoModifier, {"SetFPCMode 2 1", "ApplyViewAction 4 1 100"}},
      {Qt::Key_Tab, Qt::NoModifier, {"SelectNextCell"}},
      {Qt::Key_Backtab, Qt::ShiftModifier, {"SelectPreviousCell"}},
      {Qt::Key_2, Qt::ControlModifier, {"ActOnCell 1"}},
      {Qt::Key_0, Qt::ControlModifier, {"ActOnCell 9"}},
      {Qt::Key_Down, Qt::ControlModifier, {"ApplyViewAction 10 1 100"}},
      {Qt::Key_Up, Qt::ControlModifier | Qt::ShiftModifier, {"ApplyViewAction 13 1 0"}},
  };
  for (const auto& s : steps) {
    browser.calls.clear();
    Key(s.key, s.modifiers);
    EXPECT_EQ(browser.calls, s.calls) << QTest::toString(s.key) << " " << int(s.modifiers);
  }
  // The menu's 1 by 2 grid makes the next 2 go to 2 by 1.
  Command(ID_VIEW_BROWSERLAYOUT_1_2);
  browser.calls.clear();
  Key(Qt::Key_2);
  EXPECT_EQ(browser.calls, (std::vector<std::string> {"SetFPCMode 1 2", "ApplyViewAction 4 1 100"}));
}

TEST_F(MainWindow, ThePendingSearchRunsOnceAndOnlyWithTheSwitch) {
  PendingSearchDoc::runs = 0;
  for (LONG i = 0; i < 5; ++i) app->OnIdle(i % 2);
  EXPECT_EQ(PendingSearchDoc::runs, 0) << "started without -M:";
  Stop();

  Start({}, {"OrbelMain", "-M:/media/disc/orbel.dps"});
  EXPECT_TRUE(app->HasSwitch());
  EXPECT_EQ(app->GetSwitchLocation(), CString(u"/media/disc/orbel.dps"));
  // The search lets the loop idle inside (as its dialog does); it still runs once.
  for (LONG i = 0; i < 5; ++i) app->OnIdle(i % 2);
  EXPECT_EQ(PendingSearchDoc::runs, 1);
}

// OK in the settings dialog: later searches go by the search mode, large pictures rebuild both
// tool bars, the title follows the page-count option.
TEST_F(MainWindow, GeneralOptionsFromTheSettingsDialogTakeEffectAtOnce) {
  Stop();
  Start({}, {"OrbelMain", "-M:/media/disc/orbel.dps"});
  AttachBrowser();
  BringStoreTo(3);
  QVSettings options = app->m_settings.m_general;
  options.nLargeIcon = 1;
  options.nDisplayPageCount = 1;
  options.nSearchMode = 2;
  document->ApplyGeneralOptions(options);
  EXPECT_FALSE(app->HasSwitch());
  EXPECT_EQ(app->m_settings.m_general.nSearchMode, 2);
  EXPECT_EQ(app->GetIconSize(), 40);
  EXPECT_EQ(frame->GetCommandBar().GetToolBarCtrl().GetButtonSize(), CSize(40 + 7, 40 + 6));
  EXPECT_EQ(frame->GetViewBar().GetToolBarCtrl().GetButtonSize(), CSize(40 + 7, 40 + 6));
  EXPECT_EQ(WindowText(frame), CString(u"Seek and Show - Invoices - Document 00012345 (2 Pages,2 Images)"));
}

TEST_F(MainWindow, TheLanguageSwitchesMenusBarCaptionsAndBack) {
  Command(CQVMenu::kFirstLanguageID + 1);
  HMENU bar = ::GetMenu(frame->GetSafeHwnd());
  EXPECT_EQ(MenuText(bar, 0), CString(u"&Datei"));
  EXPECT_EQ(WindowText(&frame->GetCommandBar()), CString(u"Befehle"));
  // The hot keys are still there in the new language.
  AttachBrowser();
  Key(Qt::Key_1, Qt::ControlModifier);
  EXPECT_EQ(browser.calls, (std::vector<std::string> {"ActOnCell 0"}));
  Command(CQVMenu::kFirstLanguageID);
  EXPECT_EQ(MenuText(::GetMenu(frame->GetSafeHwnd()), 0), CString(u"&File"));
  EXPECT_EQ(WindowText(&frame->GetCommandBar()), CString(u"Commands"));
}

// Closing writes the settings with the window's place, the language, the grid and the bars'
// docking; the next start puts everything back.
TEST_F(MainWindow, LayoutAndSettingsWrittenOnCloseComeBackAtTheNextStart) {
  Stop();
  TempFolder folder;
  Start(folder.Path());
  frame->ShowWindow(SW_SHOWNORMAL);
  frame->MoveWindow(40, 30, 700, 500, TRUE);
  Command(ID_VIEW_BROWSERLAYOUT_2_2);
  Command(CQVMenu::kFirstLanguageID + 1);
  frame->DockControlBar(&frame->GetViewBar(), AFX_IDW_DOCKBAR_RIGHT);
  CRect placed;
  frame->GetWindowRect(&placed);
  const HWND window = frame->GetSafeHwnd();
  frame->SendMessage(WM_CLOSE);
  EXPECT_FALSE(::IsWindow(window));
  frame = nullptr;
  Stop();

  const std::string settings = ReadBytes(folder.Path() / "Workstation/Sys/SXS.dat");
  for (const char* line : {"ViewBrowserRows = 2", "ViewBrowserCols = 2", "LanguageID = de-de", "IsMaximized = 0",
                           "WindowWidth = 700", "WindowHeight = 500"})
    EXPECT_NE(settings.find(line), std::string::npos) << line << " in\n" << settings;
  EXPECT_TRUE(fs::exists(folder.Path() / "Workstation/Sys/SXS.dockstate"));

  Start(folder.Path());
  EXPECT_EQ(MenuText(::GetMenu(frame->GetSafeHwnd()), 0), CString(u"&Datei"));
  ASSERT_NE(frame->GetViewBar().m_pDockBar, nullptr);
  EXPECT_EQ(frame->GetViewBar().m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_RIGHT);
  EXPECT_EQ(frame->GetCommandBar().m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_TOP);
  EXPECT_EQ(app->m_settings.m_screenLayout.nViewBrowserRows, 2);
  EXPECT_EQ(app->m_settings.m_screenLayout.nViewBrowserCols, 2);
  CRect restored;
  frame->GetWindowRect(&restored);
  EXPECT_EQ(restored.Size(), placed.Size());
}

// The dock-state file is always the one beside the settings: a path in the settings file does not
// make the viewer read, write or delete another file.
TEST_F(MainWindow, ADockStatePathInTheSettingsIsNotFollowed) {
  Stop();
  TempFolder folder;
  const fs::path victim = folder.Path() / "precious.txt";
  WriteBytes(victim, "keep me");
  fs::create_directories(folder.Path() / "Workstation/Sys");
  WriteBytes(folder.Path() / "Workstation/Sys/SXS.dat",
             "[ScreenLayout]\r\nDockstateFile = " + victim.string() + "\r\n");
  fs::permissions(folder.Path() / "Workstation/Sys", fs::perms::owner_read | fs::perms::owner_exec,
                  fs::perm_options::replace);
  Start(folder.Path());
  frame->SendMessage(WM_CLOSE);
  frame = nullptr;
  fs::permissions(folder.Path() / "Workstation/Sys", fs::perms::owner_all, fs::perm_options::replace);
  EXPECT_EQ(ReadBytes(victim), "keep me");
}

// A language file without the hot-key table leaves the program without hot keys, not without a
// window: it starts and says so once.
TEST_F(MainWindow, WithoutHotKeysItStartsAndSaysSoOnce) {
  Stop();
  Start({}, {"OrbelMain"}, u"NO_SUCH_TABLE");
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_EQ(RecordingFrame::boxes, (std::vector<std::string> {"error MSG_ERR_NOHOTKEYS"}));
  AttachBrowser();
  Command(ID_TOOLS_SCROLL);
  EXPECT_EQ(browser.calls, (std::vector<std::string> {"SetToolMode 1"}));
}

TEST_F(MainWindow, HelpWithoutItsFileSaysWhichFileIsMissing) {
  EXPECT_TRUE(RecordingFrame::boxes.empty());
  Command(ID_HELP_FILE);
  const std::string missing = (app->Dir() / "Workstation/Help/Seek-and-Show_en_us").string();
  EXPECT_EQ(RecordingFrame::boxes, (std::vector<std::string> {"error MSG_ERR_HELPFILE_MISSING <%helpfile%>=" + missing}));
}

}  // namespace
