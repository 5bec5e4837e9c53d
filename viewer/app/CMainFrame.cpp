#include "viewer/app/CMainFrame.h"

#include "foundation/language/CQVRCM.h"
#include "framework/dialogs/CQVDialogHelper.h"
#include "platform/core/module.h"
#include "platform/gdi/CDC.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainAssistant.h"
#include "viewer/app/CMainBrowser.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainMenu.h"
#include "viewer/app/CMainStartup.h"
#include "viewer/model/CIBSDocument.h"

IMPLEMENT_DYNCREATE(CMainFrame, CQVMainFrame)

BEGIN_MESSAGE_MAP(CMainFrame, CQVMainFrame)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SYSCOLORCHANGE()
ON_WM_SIZE()
ON_MESSAGE(CMainFrame::WM_MAIN_REFRESH, &CMainFrame::OnRefresh)
END_MESSAGE_MAP()

namespace {

CString LoadKeyText(LPCWSTR key, const CIBSPlaceholders& placeholders) {
  CString text;
  CQVRCM::LoadText(key, text);
  return FillPlaceholders(text, placeholders);
}

}  // namespace

CMainFrame::CMainFrame() {
  m_pMenuClass = RUNTIME_CLASS(CMainMenu);
  m_pAssistantClass = RUNTIME_CLASS(CMainAssistant);
  CQVWinApp::RegisterGUI(kCommandBarGUI, &m_commandBar);
  CQVWinApp::RegisterGUI(kViewBarGUI, &m_viewBar);
}

CMainFrame::~CMainFrame() {
  CQVWinApp::UnregisterGUI(&m_commandBar);
  CQVWinApp::UnregisterGUI(&m_viewBar);
  if (CMainDoc* document = CMainDoc::GetMainDoc(); document && document->GetPlant().GetWindowLink() == this)
    document->GetPlant().SetWindowLink(nullptr);
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

CMainFrame* CMainFrame::GetMainFrameWnd() {
  CQVMainFrame* frame = CQVWinApp::GetMainFrame();
  return frame && frame->IsKindOf(RUNTIME_CLASS(CMainFrame)) ? static_cast<CMainFrame*>(frame) : nullptr;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs) {
  if (!CQVMainFrame::PreCreateWindow(cs)) return FALSE;
  // The viewer writes the whole title itself.
  cs.style &= ~(FWS_ADDTOTITLE | FWS_PREFIXTITLE);
  return TRUE;
}

int CMainFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  // The window layer does not give windows their class's icon; the desktop shows this one.
  if (HICON icon = LoadIconW(GetModuleHandleW(nullptr), u"IDI_ORBELMAIN")) {
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  if (!m_commandBar.Create(this, kCommandBarGUI) || !m_viewBar.Create(this, kViewBarGUI)) return 0;
  EnableDocking(CBRS_ALIGN_ANY);
  m_commandBar.EnableDocking(CBRS_ALIGN_ANY);
  m_viewBar.EnableDocking(CBRS_ALIGN_ANY);
  DockControlBar(&m_commandBar, AFX_IDW_DOCKBAR_TOP);
  DockControlBar(&m_viewBar, AFX_IDW_DOCKBAR_LEFT);
  RestoreLayout(FALSE);
  UpdateMainTitle();
  m_commandBar.UpdateCaption();
  m_viewBar.UpdateCaption();
  return 0;
}

void CMainFrame::OnClose() {
  if (CMainDoc* document = CMainDoc::GetMainDoc()) document->GetPlant().Close();
  SaveLayout(FALSE);
  CQVMainFrame::OnClose();
}

void CMainFrame::UpdateMainTitle() {
  CMainTitleParts parts;
  CQVRCM::LoadText(u"CAP_MAINFRAME", parts.strIdle);
  CQVRCM::LoadText(u"CAP_MAINFRAME_ACTIVE", parts.strActive);
  if (CMainDoc* document = CMainDoc::GetMainDoc()) {
    CIBSPlant& plant = document->GetPlant();
    if (plant.GetCurrentDocument()) {
      plant.GetCurrentBatchDisplayName(parts.strBatch);
      plant.GetCurrentDocumentNumber(parts.strDocument);
      parts.nPageCount = plant.GetCurrentDocument()->GetPageCount();
    }
    if (CMainBrowser* browser = document->GetBrowser()) parts.nImageCount = browser->GetImageCount();
  }
  if (const CMainApp* app = CMainApp::GetMainApp()) {
    parts.bDisplayPageCount = app->m_settings.m_general.nDisplayPageCount;
    parts.bSwitch = app->HasSwitch();
  }
  m_strMainTitle = ComposeMainTitle(parts);
  CQVMainFrame::UpdateMainTitle();
}

void CMainFrame::OnLanguageChange() {
  if (CMainApp* app = CMainApp::GetMainApp()) app->ReloadHotKeys();
  CQVMainFrame::OnLanguageChange();
  m_commandBar.UpdateCaption();
  m_viewBar.UpdateCaption();
  UpdateMainTitle();
  if (CMainDoc* document = CMainDoc::GetMainDoc()) {
    document->UpdateAllViews(nullptr);
    document->ReloadResultsTexts();
  }
}

void CMainFrame::OnSysColorChange() {
  CheckDisplayColors();
  CQVMainFrame::OnSysColorChange();
}

void CMainFrame::CheckDisplayColors() {
  HDC dc = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
  if (!dc) return;
  const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  DeleteDC(dc);
  if (bits <= 8) InfoMsg(u"MSG_LOW_DISPLAYCOLORMODE", {});
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg) {
  CMainDoc* document = CMainDoc::GetMainDoc();
  CMainBrowser* browser = document ? document->GetBrowser() : nullptr;
  if (browser && msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) >= 0) {
    const BOOL shift = GetKeyState(VK_SHIFT) < 0;
    if (!shift && (msg->wParam == 0x32 || msg->wParam == VK_NUMPAD2)) {
      document->ToggleBrowserLayout();
      return TRUE;
    }
    if (msg->wParam == VK_TAB) {
      if (shift) browser->SelectPreviousCell();
      else browser->SelectNextCell();
      return TRUE;
    }
  }
  return CQVMainFrame::PreTranslateMessage(msg);
}

LRESULT CMainFrame::OnRefresh(WPARAM, LPARAM flags) {
  if (flags & refreshTitle) UpdateMainTitle();
  if (flags & refreshMenu) UpdateMainMenu();
  if (flags & refreshViewBar) {
    m_viewBar.Update();
    m_viewBar.UpdateCaption();
  }
  if (flags & refreshCommandBar) {
    m_commandBar.Update();
    m_commandBar.UpdateCaption();
  }
  if (flags & (refreshViewBar | refreshCommandBar)) RecalcLayout();
  return 0;
}

void CMainFrame::ErrorMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) {
  CQVDialogHelper(this)._ErrorMsg(LoadKeyText(textKey, placeholders));
}

void CMainFrame::InfoMsg(LPCWSTR textKey, const CIBSPlaceholders& placeholders) {
  CQVDialogHelper(this)._InfoMsg(LoadKeyText(textKey, placeholders));
}

BOOL CMainFrame::OKCancelMsg(LPCWSTR textKey, LPCWSTR captionKey, const CIBSPlaceholders& placeholders) {
  const CString caption = captionKey ? LoadKeyText(captionKey, {}) : CString();
  return CQVDialogHelper(this)._OKCancelMsg(LoadKeyText(textKey, placeholders), captionKey ? caption.GetString() : nullptr);
}

void CMainFrame::BeginWaitCursor() {
  if (m_nWaitCursor++ == 0) m_hCursorBeforeWait = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void CMainFrame::EndWaitCursor() {
  if (m_nWaitCursor > 0 && --m_nWaitCursor == 0) SetCursor(m_hCursorBeforeWait);
}
