// Command routing through view, document, frame and application; update handlers that keep a
// disabled command from running whether it comes from a menu, a key or a tool bar; reflection of
// control notifications.

#include "platform/ui/afx/CDocTemplate.h"
#include "platform/ui/afx/CDocument.h"
#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/afx/CMenu.h"
#include "platform/ui/afx/CView.h"
#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/bars/CControlBar.h"
#include "platform/ui/tests/DialogTestSupport.h"
#include "platform/ui/tests/UiTestSupport.h"
#include "platform/ui/win/windc.h"
#include "platform/gdi/CDC.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

enum : UINT {
  ID_VIEW_ONLY = 100,
  ID_FRAME_ONLY,
  ID_DOC_ONLY,
  ID_APP_ONLY,
  ID_EVERYWHERE,
  ID_GATED,
  ID_NOBODY,
  ID_BUTTON = 300,
};

std::vector<std::string> g_ran;
bool g_gateOpen = true;

class RouteDoc : public CDocument {
  DECLARE_DYNCREATE(RouteDoc)
protected:
  void OnDocOnly() { g_ran.push_back("doc"); }
  void OnEverywhere() { g_ran.push_back("doc"); }
  void OnGated() { g_ran.push_back("gated"); }
  void OnUpdateGated(CCmdUI* ui) { ui->Enable(g_gateOpen); }
  void OnButton() { g_ran.push_back("doc button"); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RouteDoc, CDocument)
BEGIN_MESSAGE_MAP(RouteDoc, CDocument)
  ON_COMMAND(ID_DOC_ONLY, &RouteDoc::OnDocOnly)
  ON_COMMAND(ID_EVERYWHERE, &RouteDoc::OnEverywhere)
  ON_COMMAND(ID_GATED, &RouteDoc::OnGated)
  ON_UPDATE_COMMAND_UI(ID_GATED, &RouteDoc::OnUpdateGated)
  ON_CONTROL(0, ID_BUTTON, &RouteDoc::OnButton)
END_MESSAGE_MAP()

class RouteView : public CView {
  DECLARE_DYNCREATE(RouteView)
public:
  void OnDraw(CDC*) override {}

protected:
  void OnViewOnly() { g_ran.push_back("view"); }
  void OnEverywhere() { g_ran.push_back("view"); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RouteView, CView)
BEGIN_MESSAGE_MAP(RouteView, CView)
  ON_COMMAND(ID_VIEW_ONLY, &RouteView::OnViewOnly)
  ON_COMMAND(ID_EVERYWHERE, &RouteView::OnEverywhere)
END_MESSAGE_MAP()

class RouteFrame : public CFrameWnd {
  DECLARE_DYNCREATE(RouteFrame)
protected:
  void OnFrameOnly() { g_ran.push_back("frame"); }
  void OnEverywhere() { g_ran.push_back("frame"); }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(RouteFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(RouteFrame, CFrameWnd)
  ON_COMMAND(ID_FRAME_ONLY, &RouteFrame::OnFrameOnly)
  ON_COMMAND(ID_EVERYWHERE, &RouteFrame::OnEverywhere)
END_MESSAGE_MAP()

class RouteApp : public CWinApp {
protected:
  void OnAppOnly() { g_ran.push_back("app"); }
  void OnEverywhere() { g_ran.push_back("app"); }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(RouteApp, CWinApp)
  ON_COMMAND(ID_APP_ONLY, &RouteApp::OnAppOnly)
  ON_COMMAND(ID_EVERYWHERE, &RouteApp::OnEverywhere)
END_MESSAGE_MAP()

// A bar that sends its buttons' commands to its frame, as a tool bar does.
class ButtonBar : public CControlBar {
public:
  void OnUpdateCmdUI(CFrameWnd*, BOOL) override { ++updates; }
  // As tall as a row of buttons, along the whole side.
  CSize CalcFixedLayout(BOOL stretch, BOOL horz) override {
    CSize size = CControlBar::CalcFixedLayout(stretch, horz);
    return CSize(std::max<LONG>(size.cx, 50), std::max<LONG>(size.cy, 24));
  }
  void Click(UINT id) { GetOwner()->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(m_hWnd)); }
  int updates = 0;
};

class Commands : public ::testing::Test {
protected:
  void SetUp() override {
    g_ran.clear();
    g_gateOpen = true;
    app.AddDocTemplate(new CSingleDocTemplate(1, RUNTIME_CLASS(RouteDoc), RUNTIME_CLASS(RouteFrame),
                                              RUNTIME_CLASS(RouteView)));
    app.OnFileNew();
    frame = static_cast<CFrameWnd*>(app.m_pMainWnd);
    ASSERT_NE(frame, nullptr);
    hwnd = frame->GetSafeHwnd();
  }
  void TearDown() override {
    if (IsWindow(hwnd)) frame->DestroyWindow();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  void Send(UINT id) { SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

  RouteApp app;
  CFrameWnd* frame {};
  HWND hwnd {};
};

TEST_F(Commands, FileNewMakesTheDocumentFrameAndActiveView) {
  CDocument* doc = frame->GetActiveDocument();
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(doc->IsKindOf(RUNTIME_CLASS(RouteDoc)));
  ASSERT_NE(frame->GetActiveView(), nullptr);
  EXPECT_EQ(frame->GetActiveView()->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
  EXPECT_TRUE(frame->IsWindowVisible());
  // The view fills the client area.
  CRect client, view;
  frame->GetClientRect(&client);
  frame->GetActiveView()->GetWindowRect(&view);
  EXPECT_EQ(view.Width(), client.Width());
  EXPECT_EQ(view.Height(), client.Height());
}

TEST_F(Commands, CommandsGoToViewDocumentFrameAndApplicationInThatOrder) {
  struct Case {
    UINT id;
    std::vector<std::string> ran;
  };
  const Case cases[] = {
      {ID_VIEW_ONLY, {"view"}}, {ID_DOC_ONLY, {"doc"}},       {ID_FRAME_ONLY, {"frame"}},
      {ID_APP_ONLY, {"app"}},   {ID_EVERYWHERE, {"view"}},    {ID_NOBODY, {}},
  };
  for (const Case& c : cases) {
    g_ran.clear();
    Send(c.id);
    EXPECT_EQ(g_ran, c.ran) << "command " << c.id;
  }
}

TEST_F(Commands, ControlNotificationsFollowTheSameRoute) {
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_BUTTON, 0), 0);
  EXPECT_EQ(g_ran, std::vector<std::string> {"doc button"});
}

TEST_F(Commands, ADisabledCommandRunsFromNowhere) {
  HMENU bar = CreateMenu();
  HMENU popup = CreatePopupMenu();
  AppendMenuW(popup, MF_STRING, ID_GATED, u"&Gated");
  AppendMenuW(popup, MF_STRING, ID_DOC_ONLY, u"&Doc");
  AppendMenuW(popup, MF_STRING, ID_NOBODY, u"&Nobody");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), u"&Test");
  ASSERT_TRUE(SetMenu(hwnd, bar));
  ACCEL accel {FVIRTKEY | FCONTROL, 'G', ID_GATED};
  frame->m_hAccelTable = CreateAcceleratorTableW(&accel, 1);
  auto* toolBar = new ButtonBar;
  ASSERT_TRUE(toolBar->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), frame, AFX_IDW_TOOLBAR));
  QWidget* keyTarget = HostOf(frame->GetActiveView()->GetSafeHwnd());

  QMenuBar* menuBar = HostOf(hwnd)->findChild<QMenuBar*>();
  ASSERT_NE(menuBar, nullptr);
  QAction* item = nullptr;
  struct Way {
    const char* name;
    std::function<void()> prepare;  // runs while the command is enabled
    std::function<void()> fire;
  };
  const Way ways[] = {
      {"menu item",
       [&] {
         QMenu* menu = menuBar->actions().at(0)->menu();
         emit menu->aboutToShow();
         for (QAction* a : menu->actions())
           if (a->data().toUInt() == ID_GATED) item = a;
         ASSERT_TRUE(item && item->isEnabled());
       },
       [&] { item->trigger(); }},
      {"accelerator", [] {}, [&] { QTest::keyClick(keyTarget, Qt::Key_G, Qt::ControlModifier); }},
      {"tool bar", [] {}, [&] { toolBar->Click(ID_GATED); }},
      {"posted command", [] {}, [&] { PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(ID_GATED, 0), 0); }},
  };
  for (const Way& way : ways) {
    for (bool open : {true, false}) {
      g_gateOpen = true;
      g_ran.clear();
      way.prepare();
      // What the user saw was enabled; the state changes before the click or key arrives.
      g_gateOpen = open;
      way.fire();
      Pump(30);
      EXPECT_EQ(g_ran.size(), open ? 1u : 0u) << way.name << (open ? " enabled" : " disabled");
    }
  }

  // The menu shows the state too: disabled by the handler, and by having no handler at all.
  g_gateOpen = false;
  SendMessageW(hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
  EXPECT_TRUE(GetMenuState(popup, ID_GATED, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_FALSE(GetMenuState(popup, ID_DOC_ONLY, MF_BYCOMMAND) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(popup, ID_NOBODY, MF_BYCOMMAND) & MF_GRAYED);
  DestroyAcceleratorTable(frame->m_hAccelTable);
  frame->m_hAccelTable = nullptr;
}

TEST_F(Commands, AcceleratorsMatchTheExactModifiers) {
  ACCEL table[] = {
      {FVIRTKEY | FCONTROL, 'O', ID_DOC_ONLY},
      {FVIRTKEY | FCONTROL | FSHIFT, 'O', ID_FRAME_ONLY},
      {FVIRTKEY, VK_F5, ID_VIEW_ONLY},
      {0, 'x', ID_APP_ONLY},
  };
  frame->m_hAccelTable = CreateAcceleratorTableW(table, 4);
  QWidget* target = HostOf(frame->GetActiveView()->GetSafeHwnd());
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    std::vector<std::string> ran;
  };
  const Case cases[] = {
      {Qt::Key_O, Qt::ControlModifier, {"doc"}},
      {Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier, {"frame"}},
      {Qt::Key_O, Qt::NoModifier, {}},
      {Qt::Key_O, Qt::AltModifier | Qt::ControlModifier, {}},
      {Qt::Key_F5, Qt::NoModifier, {"view"}},
      {Qt::Key_F5, Qt::ShiftModifier, {}},
      {Qt::Key_X, Qt::NoModifier, {"app"}},  // a character entry matches the typed character
  };
  for (const Case& c : cases) {
    g_ran.clear();
    QTest::keyClick(target, c.key, c.mods);
    Pump(10);
    EXPECT_EQ(g_ran, c.ran) << "key " << c.key << " modifiers " << c.mods;
  }
  // Under a modal dialog the frame is disabled: its keys are taken but run nothing.
  EnableWindow(hwnd, FALSE);
  g_ran.clear();
  MSG msg {hwnd, WM_KEYDOWN, VK_F5, 1, 0, {}};
  EXPECT_TRUE(TranslateAcceleratorW(hwnd, frame->m_hAccelTable, &msg));
  EXPECT_TRUE(g_ran.empty());
  EnableWindow(hwnd, TRUE);
  DestroyAcceleratorTable(frame->m_hAccelTable);
  frame->m_hAccelTable = nullptr;
}

TEST_F(Commands, IdleUpdatesTheBarsAndAFrameLaysThemOut) {
  auto* bar = new ButtonBar;
  bar->m_dwStyle = CBRS_TOP;
  ASSERT_TRUE(bar->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 24), frame, AFX_IDW_TOOLBAR));
  EXPECT_EQ(frame->GetControlBar(AFX_IDW_TOOLBAR), bar);
  frame->RecalcLayout();
  CRect client, barRect, viewRect;
  frame->GetClientRect(&client);
  bar->GetWindowRect(&barRect);
  frame->GetActiveView()->GetWindowRect(&viewRect);
  frame->ScreenToClient(&barRect);
  frame->ScreenToClient(&viewRect);
  EXPECT_EQ(barRect, CRect(0, 0, client.Width(), 24));
  EXPECT_EQ(viewRect, CRect(0, 24, client.Width(), client.Height()));
  PostMessageW(hwnd, WM_NULL, 0, 0);  // the idle moment follows a message
  ASSERT_TRUE(PumpUntil([&] { return bar->updates > 0; }));
  frame->ShowControlBar(bar, FALSE, FALSE);
  frame->GetActiveView()->GetWindowRect(&viewRect);
  frame->ScreenToClient(&viewRect);
  EXPECT_EQ(viewRect.top, 0);
}

TEST_F(Commands, ClosingTheMainFrameClosesTheDocumentAndEndsTheProgram) {
  frame->SendMessage(WM_CLOSE);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(app.GetDocTemplate(0)->GetDocumentCount(), 0);
  MSG msg;
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

// ---- Reflection ------------------------------------------------------------------------------------

constexpr UINT NM_TESTCLICK = static_cast<UINT>(-2);

class ReflectingChild : public CWnd {
public:
  int reflected = 0;

protected:
  void OnReflectedClick(NMHDR*, LRESULT* result) {
    ++reflected;
    *result = 5;
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ReflectingChild, CWnd)
  ON_NOTIFY_REFLECT(NM_TESTCLICK, &ReflectingChild::OnReflectedClick)
END_MESSAGE_MAP()

class NotifiedParent : public CWnd {
public:
  int notified = 0;

protected:
  void OnClick(NMHDR*, LRESULT*) { ++notified; }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(NotifiedParent, CWnd)
  ON_NOTIFY(NM_TESTCLICK, 77, &NotifiedParent::OnClick)
  ON_NOTIFY(NM_TESTCLICK, 78, &NotifiedParent::OnClick)
END_MESSAGE_MAP()

TEST(Reflection, AChildHandlesItsOwnNotificationBeforeItsParent) {
  NotifiedParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
  ReflectingChild reflecting;
  CWnd plain;
  ASSERT_TRUE(reflecting.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &parent, 77));
  ASSERT_TRUE(plain.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &parent, 78));
  NMHDR header {reflecting.GetSafeHwnd(), 77, NM_TESTCLICK};
  EXPECT_EQ(parent.SendMessage(WM_NOTIFY, 77, reinterpret_cast<LPARAM>(&header)), 5);
  EXPECT_EQ(reflecting.reflected, 1);
  EXPECT_EQ(parent.notified, 0);
  NMHDR other {plain.GetSafeHwnd(), 78, NM_TESTCLICK};
  parent.SendMessage(WM_NOTIFY, 78, reinterpret_cast<LPARAM>(&other));
  EXPECT_EQ(parent.notified, 1);
  parent.DestroyWindow();
}

// ---- Colours and system commands ------------------------------------------------------------------

class ColouringParent : public CWnd {
public:
  std::vector<UINT> kinds;
  std::vector<UINT> commands;
  CBrush red {RGB(255, 0, 0)};

protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
    kinds.push_back(kind);
    if (kind != CTLCOLOR_STATIC) return CWnd::OnCtlColor(dc, wnd, kind);
    dc->SetTextColor(RGB(0, 0, 255));
    return static_cast<HBRUSH>(red.GetSafeHandle());
  }
  void OnSysCommand(UINT id, LPARAM lParam) {
    commands.push_back(id & 0xFFF0);
    if ((id & 0xFFF0) != SC_KEYMENU) CWnd::OnSysCommand(id, lParam);
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ColouringParent, CWnd)
  ON_WM_CTLCOLOR()
  ON_WM_SYSCOMMAND()
END_MESSAGE_MAP()

TEST(ControlColours, OneHandlerAnswersEveryKindOfControlAndItsBrushPaintsTheControl) {
  ColouringParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  CWnd label;
  ASSERT_TRUE(label.Create(u"Static", u"", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 20), &parent, 1));
  label.Invalidate();
  label.UpdateWindow();
  ASSERT_FALSE(parent.kinds.empty());
  EXPECT_EQ(parent.kinds.back(), static_cast<UINT>(CTLCOLOR_STATIC));
  CDC* dc = label.GetDC();
  EXPECT_EQ(dc->GetPixel(2, 2), RGB(255, 0, 0)) << "the static is filled with the parent's brush";
  label.ReleaseDC(dc);

  parent.kinds.clear();
  const UINT messages[] = {WM_CTLCOLORMSGBOX, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN,
                           WM_CTLCOLORDLG, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC};
  HDC screen = ::GetDC(nullptr);
  for (UINT message : messages) parent.SendMessage(message, reinterpret_cast<WPARAM>(screen), reinterpret_cast<LPARAM>(label.GetSafeHwnd()));
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(parent.kinds, (std::vector<UINT> {CTLCOLOR_MSGBOX, CTLCOLOR_EDIT, CTLCOLOR_LISTBOX, CTLCOLOR_BTN,
                                              CTLCOLOR_DLG, CTLCOLOR_SCROLLBAR, CTLCOLOR_STATIC}));

  parent.SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
  EXPECT_TRUE(parent.GetSafeHwnd()) << "a handled system command does nothing more";
  parent.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(parent.commands, (std::vector<UINT> {SC_KEYMENU, SC_CLOSE}));
  EXPECT_FALSE(parent.GetSafeHwnd()) << "the default of the close command closes the window";
}

TEST(SystemCommands, F10AsksForTheMenuWithAKeyMenuCommandAlsoWithShift) {
  ColouringParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  parent.SetFocus();
  PressKey(Qt::Key_F10);
  PressKey(Qt::Key_F10, Qt::ShiftModifier);
  PressKey(Qt::Key_F9);
  EXPECT_EQ(parent.commands, (std::vector<UINT> {SC_KEYMENU, SC_KEYMENU}));
  parent.DestroyWindow();
}

// A parent with a picture behind its labels, as an about box has.
class PictureParent : public CWnd {
protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect r;
    GetClientRect(&r);
    dc.FillSolidRect(&r, RGB(0, 128, 0));
  }
  HBRUSH OnCtlColor(CDC* dc, CWnd*, UINT) {
    dc->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }
  DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(PictureParent, CWnd)
  ON_WM_PAINT()
  ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

TEST(ControlColours, AHollowBrushLetsTheParentsPictureShowThroughAStatic) {
  PictureParent parent;
  ASSERT_TRUE(parent.CreateEx(0, nullptr, u"", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr));
  parent.UpdateWindow();
  CWnd label;
  ASSERT_TRUE(label.Create(u"Static", u"Version", WS_CHILD | WS_VISIBLE, CRect(20, 30, 120, 50), &parent, 1));
  label.UpdateWindow();
  CDC* dc = label.GetDC();
  EXPECT_EQ(dc->GetPixel(98, 18), RGB(0, 128, 0)) << "the parent's picture under the label";
  label.ReleaseDC(dc);
  parent.DestroyWindow();
}

}  // namespace
