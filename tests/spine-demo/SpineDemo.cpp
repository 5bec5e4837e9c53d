// The demonstration program: its application, menu, main frame, bars and assistant panel.

#include "tests/spine-demo/SpineDemo.h"

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVAssistantDialog.h"
#include "framework/app/CQVDocument.h"
#include "framework/app/CQVHotKeyList.h"
#include "framework/app/CQVIDRegistry.h"
#include "framework/app/CQVMenu.h"
#include "framework/app/CQVGUIRegistry.h"
#include "platform/core/paths.h"
#include "platform/gdi/CDC.h"
#include "platform/ui/win/windc.h"
#include "platform/ui/afx/MessageMap.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>

namespace {

class DemoMenu : public CQVMenu {
  DECLARE_DYNCREATE(DemoMenu)
public:
  DemoMenu() { SetShowHotKeys(TRUE); }

protected:
  void Menu_Script() override {
    BeginPopupMenu(u"MNU_FILE");
    AddItem(ID_FILE_OPEN, FALSE, FALSE);
    AddItem(ID_DEMO_EXIT, u"MNU_APP_EXIT", FALSE, FALSE);
    EndPopup();
    BeginPopupMenu(u"MNU_VIEW");
    AddItem(ID_VIEW_THUMBS, FALSE, FALSE);
    AddItem(ID_VIEW_NOTES, FALSE, FALSE);
    EndPopup();
    BeginPopupMenu(u"MNU_HELP");
    AddItem(ID_HELP_ASSISTANT, FALSE, FALSE);
    EndPopup();
    Menu_Language_Script();
  }
};
IMPLEMENT_DYNCREATE(DemoMenu, CQVMenu)

class DemoAssistant : public CQVAssistantDialog {
  DECLARE_DYNCREATE(DemoAssistant)
public:
  DemoAssistant() {
    SetRCMModule(nullptr);  // the program's language file
    m_strOutlineKey = u"ASSISTANT_OUTLINE";
  }
};
IMPLEMENT_DYNCREATE(DemoAssistant, CQVAssistantDialog)

// A pane in a dockable bar: its bar's title on a colour of its own.
class PaneView : public CWnd {
  DECLARE_DYNCREATE(PaneView)
protected:
  void OnPaint() {
    CPaintDC dc(this);
    CRect all;
    GetClientRect(&all);
    CWnd* bar = GetParent() ? GetParent()->GetParent() : nullptr;
    const bool thumbs = bar && bar->GetDlgCtrlID() == ID_BAR_THUMBS;
    dc.FillSolidRect(&all, thumbs ? RGB(0xC8, 0xDC, 0xF0) : RGB(0xF0, 0xE6, 0xC8));
    CString title;
    if (bar) bar->GetWindowText(title);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(8, 8, title);
  }
  DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(PaneView, CWnd)
BEGIN_MESSAGE_MAP(PaneView, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

void WritePage(const CString& folder, const char* name, const char* text) {
  std::ofstream(PathToNative(folder + CString::FromUtf8(name)), std::ios::binary)
      << "<html><body><h2>" << text << "</h2></body></html>";
}

}  // namespace

// ---- Tool bar -----------------------------------------------------------------------------------

BOOL DemoToolBar::OnUpdate() {
  const UINT ids[] = {ID_FILE_OPEN, 0, ID_VIEW_THUMBS, ID_VIEW_NOTES, 0, ID_HELP_ASSISTANT};
  return SetButtons(ids, 6) && SetImageList(&m_images);
}

// ---- Main frame ---------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(DemoFrame, CQVMainFrame)

BEGIN_MESSAGE_MAP(DemoFrame, CQVMainFrame)
  ON_WM_CREATE()
  ON_WM_CLOSE()
  ON_WM_SIZE()
  ON_COMMAND(ID_FILE_OPEN, &DemoFrame::OnFileOpen)
  ON_COMMAND_RANGE(ID_VIEW_THUMBS, ID_VIEW_NOTES, &DemoFrame::OnToggleBar)
  ON_UPDATE_COMMAND_UI_RANGE(ID_VIEW_THUMBS, ID_VIEW_NOTES, &DemoFrame::OnUpdateBar)
  ON_COMMAND(ID_HELP_ASSISTANT, &DemoFrame::OnAssistant)
  ON_UPDATE_COMMAND_UI(ID_HELP_ASSISTANT, &DemoFrame::OnUpdateAssistant)
  ON_COMMAND(ID_DEMO_EXIT, &DemoFrame::OnExit)
END_MESSAGE_MAP()

DemoFrame::DemoFrame() {
  m_pMenuClass = RUNTIME_CLASS(DemoMenu);
  m_pAssistantClass = RUNTIME_CLASS(DemoAssistant);
}

int DemoFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  EnableDocking(CBRS_ALIGN_ANY);
  if (!m_wndToolBar.m_images.Create(u"TOOLS", RGB(255, 0, 255)) || !m_wndToolBar.Create(this, AFX_IDW_TOOLBAR)) return -1;
  m_wndToolBar.ShowIconText(2);
  m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndToolBar, AFX_IDW_DOCKBAR_TOP);

  const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC;
  if (!m_wndThumbs.Create(this, RUNTIME_CLASS(PaneView), nullptr, u"", style, ID_BAR_THUMBS) ||
      !m_wndNotes.Create(this, RUNTIME_CLASS(PaneView), nullptr, u"", style, ID_BAR_NOTES))
    return -1;
  TitleBars();
  m_wndThumbs.m_szVert = CSize(180, 300);
  m_wndNotes.m_szHorz = CSize(300, 110);
  m_wndNotes.m_szFloat = CSize(240, 160);
  m_wndThumbs.EnableDocking(CBRS_ALIGN_ANY);
  m_wndNotes.EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_wndThumbs, AFX_IDW_DOCKBAR_LEFT);
  DockControlBar(&m_wndNotes, AFX_IDW_DOCKBAR_BOTTOM);
  CQVWinApp::RegisterGUI(ID_BAR_THUMBS, &m_wndThumbs);
  CQVWinApp::RegisterGUI(ID_BAR_NOTES, &m_wndNotes);
  return 0;
}

void DemoFrame::RestoreLayout() {
  const CString file = DemoApp::DockStateFile();
  if (file.IsEmpty() || !std::ifstream(PathToNative(file))) Say("DOCKSTATE none");
  else if (LoadDockStateFile(file)) Say("DOCKSTATE restored");
  else Say("DOCKSTATE refused: the file is damaged or does not fit these bars; the bars stay where they are");
}

void DemoFrame::OnClose() {
  const CString file = DemoApp::DockStateFile();
  Say(!file.IsEmpty() && SaveDockStateFile(file) ? "DOCKSTATE saved" : "DOCKSTATE not saved: the file there stays");
  CQVWinApp::UnregisterGUI(&m_wndThumbs);
  CQVWinApp::UnregisterGUI(&m_wndNotes);
  CFrameWnd::OnClose();
}

void DemoFrame::OnSize(UINT type, int cx, int cy) {
  if (type == SIZE_MINIMIZED) m_bMinimised = TRUE;
  else if (m_bMinimised && (type == SIZE_RESTORED || type == SIZE_MAXIMIZED)) {
    m_bMinimised = FALSE;
    Say("RESTORED");
  }
  CQVMainFrame::OnSize(type, cx, cy);
}

void DemoFrame::UpdateMainTitle() {
  CQVRCM::LoadText(u"STR_TITLE", m_strMainTitle);
  CQVMainFrame::UpdateMainTitle();
}

void DemoFrame::OnLanguageChange() {
  CQVMainFrame::OnLanguageChange();
  ResetMenuIcons();
  m_wndToolBar.LoadToolBarText();
  TitleBars();
  RecalcLayout();
  // The page the panel shows is one of the language's own.
  if (IsAssistantVisible()) ShowHelpID(u"HELP_START");
}

void DemoFrame::TitleBars() {
  CString text;
  CQVRCM::LoadText(u"STR_BAR_THUMBS", text);
  m_wndThumbs.SetWindowText(text);
  CQVRCM::LoadText(u"STR_BAR_NOTES", text);
  m_wndNotes.SetWindowText(text);
  for (CQVDockableBar* bar : {&m_wndThumbs, &m_wndNotes})
    bar->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

void DemoFrame::OnToggleBar(UINT id) {
  const UINT bar = id == ID_VIEW_THUMBS ? ID_BAR_THUMBS : ID_BAR_NOTES;
  CQVWinApp::ShowGUI(bar, !CQVWinApp::IsGUIVisible(bar));
}

void DemoFrame::OnUpdateBar(CCmdUI* cmdUI) { cmdUI->SetCheck(BarOf(cmdUI->m_nID).IsVisible()); }

void DemoFrame::OnAssistant() {
  if (IsAssistantVisible()) HideAssistant();
  else {
    ShowHelpID(u"HELP_START");
    ShowAssistant();
  }
}

void DemoFrame::OnUpdateAssistant(CCmdUI* cmdUI) { cmdUI->SetCheck(IsAssistantVisible()); }

// ---- Application --------------------------------------------------------------------------------

DemoApp::DemoApp() {
  m_nTemplateID = 1;
  m_pDocumentClass = RUNTIME_CLASS(CQVDocument);
  m_pFrameClass = RUNTIME_CLASS(DemoFrame);
}

void DemoApp::ReadArguments(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--appdir" && i + 1 < argc) m_strAppDir = PathFromNative(argv[++i]);
    else if (arg == "--class" && i + 1 < argc) m_strClass = CString::FromUtf8(argv[++i]);
    else if (arg == "--minimised") m_bMinimised = TRUE;
  }
  if (!m_strAppDir.IsEmpty() && m_strAppDir[m_strAppDir.GetLength() - 1] != u'/') m_strAppDir += u'/';
}

void DemoApp::_GetAppDir(CString& path) {
  if (m_strAppDir.IsEmpty()) CQVWinApp::_GetAppDir(path);
  else path = m_strAppDir;
}

CString DemoApp::DockStateFile() {
  CString folder;
  if (!GetWorkstationDir(folder, 1, TRUE)) return CString();
  return folder + u"SPINEDEMO.dockstate";
}

BOOL DemoApp::OnInitInstance() {
  if (!InitResourceManager(u"SpineDemo.drs", u"en-us") || !InitGUIRegistry(RUNTIME_CLASS(CQVGUIRegistry)) ||
      !InitIDRegistry(RUNTIME_CLASS(CQVIDRegistry)))
    return FALSE;
  const std::pair<UINT, LPCWSTR> commands[] = {{ID_FILE_OPEN, u"FILE_OPEN"},
                                               {ID_VIEW_THUMBS, u"VIEW_THUMBS"},
                                               {ID_VIEW_NOTES, u"VIEW_NOTES"},
                                               {ID_HELP_ASSISTANT, u"HELP_ASSISTANT"},
                                               {ID_DEMO_EXIT, u"APP_EXIT"}};
  for (const auto& [id, name] : commands)
    if (!RegisterID(id, name)) return FALSE;
  if (!InitHotKeyList(u"HOTKEYS", RUNTIME_CLASS(CQVHotKeyList))) return FALSE;
  EnableMainFrameHotKey(TRUE);
  CString help;
  if (GetWorkgroupDir(help, 2, TRUE)) {
    WritePage(help, "start.html", "Welcome. The assistant shows help for what you are doing.");
    WritePage(help, "start-de.html", "Willkommen. Der Assistent zeigt Hilfe zu dem, was Sie gerade tun.");
    WritePage(help, "open.html", "Open a batch from a disc or a folder.");
    WritePage(help, "open-de.html", "Öffnen Sie einen Stapel von einer Disc oder aus einem Ordner.");
  }
  return TRUE;
}

BOOL DemoApp::OnFoundPreviousInstance(CWnd* previous) {
  Say("FOUND");
  return CQVWinApp::OnFoundPreviousInstance(previous);
}

void DemoApp::OnPostShowMainFrame(CWnd* main) {
  auto* frame = static_cast<DemoFrame*>(main);
  frame->RestoreLayout();
  if (m_bMinimised) frame->ShowWindow(SW_MINIMIZE);
  StartControl(frame);
  Say("READY");
}

DemoApp g_app;

int main(int argc, char** argv) {
  g_app.ReadArguments(argc, argv);
  return AfxWinMain(argc, argv);
}
