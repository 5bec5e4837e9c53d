// The application's start-up with its main frame: one instance, the menu bar and title in the
// chosen language, switched by the language pop-up, and hot keys that run enabled commands only.

#include "SpineTestApp.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVDocument.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVMainFrame.h"
#include "framework/app/CQVMenu.h"
#include "foundation/util/CDPXBuffer.h"
#include "framework/bars/CQVControlBar.h"
#include "platform/core/globalmem.h"
#include "platform/core/tests/TestFolder.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CDockBar.h"
#include "platform/ui/afx/CView.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<UINT> g_ran;
bool g_openEnabled = true;

class SpineMenu : public CQVMenu {
  DECLARE_DYNCREATE(SpineMenu)
public:
  SpineMenu() { SetShowHotKeys(TRUE); }

protected:
  void Menu_Script() override {
    BeginPopupMenu(u"MNU_FILE");
    AddItem(ID_FILE_OPEN, FALSE, FALSE);
    AddItem(ID_CUT, FALSE, FALSE);
    EndPopup();
    Menu_Language_Script();
  }
};
IMPLEMENT_DYNCREATE(SpineMenu, CQVMenu)

class SpineFrame : public CQVMainFrame {
  DECLARE_DYNCREATE(SpineFrame)
public:
  SpineFrame() { m_pMenuClass = RUNTIME_CLASS(SpineMenu); }
  using CQVMainFrame::GetDockState;
  using CQVMainFrame::LoadDockStateFile;
  using CQVMainFrame::SaveDockStateFile;
  using CQVMainFrame::SetDockState;
  void UpdateMainTitle() override {
    CQVRCM::LoadText(u"STR_TITLE", m_strMainTitle);
    CQVMainFrame::UpdateMainTitle();
  }
  void OnOpen() { g_ran.push_back(ID_FILE_OPEN); }
  void OnCut() { g_ran.push_back(ID_CUT); }
  void OnUpdateOpen(CCmdUI* cmdUI) { cmdUI->Enable(g_openEnabled); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(SpineFrame, CQVMainFrame)
BEGIN_MESSAGE_MAP(SpineFrame, CQVMainFrame)
ON_COMMAND(ID_FILE_OPEN, &SpineFrame::OnOpen)
ON_COMMAND(ID_CUT, &SpineFrame::OnCut)
ON_UPDATE_COMMAND_UI(ID_FILE_OPEN, &SpineFrame::OnUpdateOpen)
END_MESSAGE_MAP()

class StartingApp : public SpineTestApp {
public:
  StartingApp() {
    m_nTemplateID = 1;
    m_pDocumentClass = RUNTIME_CLASS(CQVDocument);
    m_pFrameClass = RUNTIME_CLASS(SpineFrame);
  }
  int previousFound { 0 };

protected:
  void GetMainFrameClass(CString& name) override {
    name = CString::FromUtf8("SpineFrame-" + std::to_string(QCoreApplication::applicationPid()));
  }
  BOOL OnInitInstance() override { return InitHotKeyList(u"SPINE_HOTKEYS", RUNTIME_CLASS(CQVHotKeyList)); }
  BOOL OnFoundPreviousInstance(CWnd* previous) override {
    ++previousFound;
    return CQVWinApp::OnFoundPreviousInstance(previous);
  }
};

CString MenuText(HMENU menu, int position) {
  WCHAR text[128] {};
  GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
  return CString(text);
}

CString Title(CWnd* window) {
  CString text;
  window->GetWindowText(text);
  return text;
}

class MainFrame : public ::testing::Test {
protected:
  void SetUp() override {
    app = std::make_unique<StartingApp>();
    ASSERT_TRUE(app->InitInstance());
    frame = CQVWinApp::GetMainFrame();
    ASSERT_NE(frame, nullptr);
  }
  void TearDown() override {
    app->DestroyMainFrame();
    CQVRCM::SetCurrentLanguage(u"en-us", nullptr, FALSE);
    app.reset();
  }

  std::unique_ptr<StartingApp> app;
  CQVMainFrame* frame { nullptr };
};

TEST_F(MainFrame, StartsOnceWithItsDocumentMenuAndTitle) {
  EXPECT_TRUE(frame->IsWindowVisible());
  EXPECT_NE(CQVWinApp::GetDocument(), nullptr);
  EXPECT_EQ(Title(frame), CString(u"Spine test"));
  HMENU bar = ::GetMenu(frame->GetSafeHwnd());
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(MenuText(GetSubMenu(bar, 0), 0), CString(u"&Open...\tCtrl+O"));

  // A second start finds the window of the first and ends.
  EXPECT_FALSE(app->InitInstance());
  EXPECT_EQ(app->previousFound, 1);
}

TEST_F(MainFrame, TheLanguagePopUpSwitchesTitleAndMenuBackAndForth) {
  const struct {
    UINT id;
    const char16_t* title;
    const char16_t* file;
    const char16_t* language;
  } steps[] = {
      {CQVMenu::kFirstLanguageID + 1, u"Rückgrat-Test", u"&Datei", u"de-de"},
      {CQVMenu::kFirstSysLayoutID, u"Rückgrat-Test", u"&Datei", u"de-de"},  // no language item
      {CQVMenu::kFirstLanguageID, u"Spine test", u"&File", u"en-us"},
  };
  for (const auto& s : steps) {
    frame->SendMessage(WM_COMMAND, MAKEWPARAM(s.id, 0), 0);
    EXPECT_EQ(Title(frame), CString(s.title)) << s.id;
    HMENU bar = ::GetMenu(frame->GetSafeHwnd());
    EXPECT_EQ(MenuText(bar, 0), CString(s.file)) << s.id;
    CString current;
    CQVRCM::GetCurrentLanguage(current);
    EXPECT_EQ(current, CString(s.language)) << s.id;

    // The language pop-up checks the current language when it opens.
    QMenuBar* menuBar = HostOf(frame->GetSafeHwnd())->findChild<QMenuBar*>();
    ASSERT_NE(menuBar, nullptr);
    QMenu* languages = menuBar->actions().at(1)->menu();
    ASSERT_NE(languages, nullptr);
    emit languages->aboutToShow();
    QStringList checked;
    for (QAction* a : languages->actions())
      if (a->isChecked()) checked << a->text();
    EXPECT_EQ(checked, QStringList {s.language == CString(u"de-de") ? "Deutsch" : "English"}) << s.id;
  }
}

TEST_F(MainFrame, HotKeysRunEnabledCommandsOnly) {
  PreTranslatingLoop loop;
  QWidget* target = HostOf(frame->GetActiveView()->GetSafeHwnd());
  ASSERT_NE(target, nullptr);
  const struct {
    Qt::Key key;
    bool openEnabled;
    bool listEnabled;
    std::vector<UINT> ran;
    const char* why;
  } cases[] = {
      {Qt::Key_O, true, true, {ID_FILE_OPEN}, "Ctrl+O opens"},
      {Qt::Key_O, false, true, {}, "a disabled command never runs by hot key"},
      {Qt::Key_X, true, false, {}, "hot keys switched off"},
      {Qt::Key_X, true, true, {ID_CUT}, "Ctrl+X cuts"},
  };
  for (const auto& c : cases) {
    g_ran.clear();
    g_openEnabled = c.openEnabled;
    CQVWinApp::EnableMainFrameHotKey(c.listEnabled);
    QTest::keyClick(target, c.key, Qt::ControlModifier);
    Pump(10);
    EXPECT_EQ(g_ran, c.ran) << c.why;
  }
  g_openEnabled = true;
}

TEST_F(MainFrame, TheMenuBarNeverHoldsAnIconTheCacheLetGo) {
  HMENU file = GetSubMenu(::GetMenu(frame->GetSafeHwnd()), 0);
  auto icon = [&](int position) {
    MENUITEMINFOW info {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_CHECKMARKS;
    GetMenuItemInfoW(file, static_cast<UINT>(position), TRUE, &info);
    return info.hbmpUnchecked;
  };
  ASSERT_NE(icon(0), nullptr) << "Open has its icon";
  EXPECT_EQ(icon(1), nullptr) << "Cut has none in the language files";
  frame->ResetMenuIcons();
  BITMAP bm {};
  ASSERT_NE(icon(0), nullptr) << "taken anew";
  EXPECT_NE(GetObjectW(icon(0), sizeof(bm), &bm), 0) << "a bitmap that still exists";
}

// ---- The docking layout ------------------------------------------------------------------------

HGLOBAL BlockOf(const std::vector<BYTE>& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (block && !bytes.empty()) {
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  return block;
}

std::vector<BYTE> BytesOf(CDPXGMemBuffer& buffer) {
  std::vector<BYTE> bytes(buffer.GetSize());
  if (!bytes.empty()) std::memcpy(bytes.data(), buffer.Lock(), bytes.size());
  buffer.Unlock();
  return bytes;
}

UINT DockSide(CWnd& bar) { return static_cast<UINT>(bar.GetParent()->GetDlgCtrlID()); }

TEST_F(MainFrame, TheDockingLayoutComesBackAndABlockThatDoesNotFitChangesNothing) {
  auto* spine = static_cast<SpineFrame*>(frame);
  spine->EnableDocking(CBRS_ALIGN_ANY);
  CQVControlBar thumbs, index, notes;
  const std::pair<CQVControlBar*, UINT> bars[] = {{&thumbs, 0xE901}, {&index, 0xE902}, {&notes, 0xE903}};
  for (auto [bar, id] : bars) {
    ASSERT_TRUE(bar->Create(u"bar", spine, id, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC));
    bar->EnableDocking(CBRS_ALIGN_ANY);
  }
  spine->DockControlBar(&thumbs, AFX_IDW_DOCKBAR_LEFT);
  spine->DockControlBar(&index, AFX_IDW_DOCKBAR_BOTTOM);
  spine->DockControlBar(&notes, AFX_IDW_DOCKBAR_RIGHT);
  thumbs.m_szVert = CSize(170, 300);
  notes.m_szFloat = CSize(210, 160);
  spine->RecalcLayout();
  Pump(10);

  CDPXGMemBuffer saved;
  ASSERT_TRUE(spine->GetDockState(saved));
  const std::vector<BYTE> block = BytesOf(saved);
  ASSERT_FALSE(block.empty());

  auto scramble = [&] {
    thumbs.m_szVert = CSize(40, 40);
    notes.m_szFloat = CSize(40, 40);
    spine->FloatControlBar(&thumbs, CPoint(300, 300));
    spine->RecalcLayout();
    Pump(10);
  };
  scramble();
  ASSERT_TRUE(spine->SetDockState(saved));
  Pump(10);
  EXPECT_EQ(DockSide(thumbs), UINT(AFX_IDW_DOCKBAR_LEFT));
  EXPECT_EQ(thumbs.m_szVert.cx, 170);
  EXPECT_EQ(notes.m_szFloat, CSize(210, 160));
  EXPECT_EQ(BytesOf(saved), block) << "the buffer keeps its block";

  // Kept in a file: written whole, read back; a failed write keeps the file that was there.
  TestFolder folder;
  const CString file = folder.Wide("layout.dockstate");
  ASSERT_TRUE(spine->SaveDockStateFile(file));
  EXPECT_EQ(folder.Read("layout.dockstate"), std::string(block.begin(), block.end()));
  scramble();
  ASSERT_TRUE(spine->LoadDockStateFile(file));
  EXPECT_EQ(DockSide(thumbs), UINT(AFX_IDW_DOCKBAR_LEFT));
  scramble();
  {
    FileSizeLimit limit(16);
    EXPECT_FALSE(spine->SaveDockStateFile(file));
  }
  EXPECT_EQ(folder.Read("layout.dockstate"), std::string(block.begin(), block.end()));
  EXPECT_EQ(folder.Names(), (std::set<std::string> {"layout.dockstate"})) << "no half-written file left";
  EXPECT_FALSE(spine->LoadDockStateFile(folder.Wide("missing.dockstate")));

  // Nothing moves and no size changes for a block that is not whole, not ours, or that places a
  // bar the frame no longer has.
  scramble();
  struct Case {
    const char* what;
    std::vector<BYTE> bytes;
  } cases[] = {
      {"empty", {}},
      {"cut short", std::vector<BYTE>(block.begin(), block.end() - 3)},
      {"of another kind", [&] {
         std::vector<BYTE> b = block;
         b[0] ^= 0xFF;
         return b;
       }()},
  };
  for (const Case& c : cases) {
    HGLOBAL h = BlockOf(c.bytes);
    EXPECT_FALSE(spine->SetDockState(h)) << c.what;
    GlobalFree(h);
    EXPECT_TRUE(thumbs.IsFloating()) << c.what;
    EXPECT_EQ(notes.m_szFloat, CSize(40, 40)) << c.what;
  }
  EXPECT_FALSE(spine->SetDockState(HGLOBAL {})) << "no block";
  index.DestroyWindow();
  EXPECT_FALSE(spine->SetDockState(saved)) << "the index bar is gone";
  EXPECT_TRUE(thumbs.IsFloating());
  EXPECT_EQ(thumbs.m_szVert, CSize(40, 40));
  EXPECT_EQ(notes.m_szFloat, CSize(40, 40));
}

}  // namespace
