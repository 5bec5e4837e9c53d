#include "viewer/app/CMainDoc.h"

#include "framework/app/CQVWinApp.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainBrowser.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainFrame.h"

IMPLEMENT_DYNCREATE(CMainDoc, CQVDocument)

BEGIN_MESSAGE_MAP(CMainDoc, CQVDocument)
ON_UPDATE_COMMAND_UI_RANGE(ID_APP_SEARCH, ID_OTHER_CTRL_0, &CMainDoc::OnUpdateCommand)
ON_COMMAND(ID_APP_SEARCH, &CMainDoc::OnAppSearch)
ON_COMMAND(ID_APP_PRINT, &CMainDoc::OnAppPrint)
ON_COMMAND(ID_APP_EMAIL, &CMainDoc::OnAppEmail)
ON_COMMAND(ID_APP_SAVEASPDF, &CMainDoc::OnAppSaveAsPdf)
ON_COMMAND(ID_APP_EXPORT, &CMainDoc::OnAppExport)
ON_COMMAND(ID_APP_SETTING, &CMainDoc::OnAppSetting)
ON_COMMAND(ID_APP_EXIT, &CMainDoc::OnAppExit)
ON_COMMAND_RANGE(ID_APP_TBRPRINT, ID_APP_TBREMAIL, &CMainDoc::OnToolMode)
ON_COMMAND_RANGE(ID_VIEW_BROWSERLAYOUT_1_1, ID_VIEW_BROWSERLAYOUT_4_8, &CMainDoc::OnBrowserLayout)
ON_COMMAND(ID_VIEW_ZOOMIN, &CMainDoc::OnZoomIn)
ON_COMMAND(ID_VIEW_ZOOMOUT, &CMainDoc::OnZoomOut)
ON_COMMAND(ID_VIEW_ZOOMSTEP, &CMainDoc::OnZoomStep)
ON_COMMAND_RANGE(ID_VIEW_FIT_NONE, ID_VIEW_FIT_WHOLE, &CMainDoc::OnFit)
ON_COMMAND_RANGE(ID_VIEW_SHOW_CMDTBR, ID_VIEW_SHOW_ORBTBR, &CMainDoc::OnShowBar)
ON_COMMAND(ID_VIEW_SHOW_SEARCHRESULTS, &CMainDoc::OnShowSearchResults)
ON_COMMAND(ID_DOCUMENT_PREVIOUS, &CMainDoc::OnDocumentPrevious)
ON_COMMAND(ID_DOCUMENT_NEXT, &CMainDoc::OnDocumentNext)
ON_COMMAND(ID_DOCUMENT_GOTODOC, &CMainDoc::OnGotoDocument)
ON_COMMAND(ID_DOCUMENT_FIRSTIMAGE, &CMainDoc::OnFirstImage)
ON_COMMAND(ID_DOCUMENT_LASTIMAGE, &CMainDoc::OnLastImage)
ON_COMMAND(ID_DOCUMENT_PRESCREEN, &CMainDoc::OnPreviousScreen)
ON_COMMAND(ID_DOCUMENT_NXTSCREEN, &CMainDoc::OnNextScreen)
ON_COMMAND(ID_DOCUMENT_GOTOIMG, &CMainDoc::OnGotoImage)
ON_COMMAND_RANGE(ID_DOCUMENT_SCROLL_TO_TOP, ID_DOCUMENT_SCROLL_DOWN, &CMainDoc::OnScroll)
ON_COMMAND_RANGE(ID_TOOLS_ROTATE_90, ID_TOOLS_MAGNIFY, &CMainDoc::OnToolMode)
ON_COMMAND(ID_TOOLS_MAGNIFICATIONRATIO, &CMainDoc::OnMagnificationRatio)
ON_COMMAND_RANGE(ID_TOOLS_COPY, ID_TOOLS_COPYAREA, &CMainDoc::OnToolMode)
ON_COMMAND(ID_HELP_ABOUT, &CMainDoc::OnHelpAbout)
ON_COMMAND(ID_HELP_FILE, &CMainDoc::OnHelpFile)
ON_COMMAND_RANGE(ID_OUTPUT_VIEW, ID_OUTPUT_PRINTHITLIST, &CMainDoc::OnOutput)
ON_COMMAND_RANGE(ID_OTHER_CTRL_1, ID_OTHER_CTRL_0, &CMainDoc::OnOtherCtrl)
END_MESSAGE_MAP()

CMainDoc::CMainDoc() = default;

CMainDoc::~CMainDoc() { m_plant.SetWindowLink(nullptr); }

CMainDoc* CMainDoc::GetMainDoc() {
  CQVDocument* document = CQVWinApp::GetDocument();
  return document && document->IsKindOf(RUNTIME_CLASS(CMainDoc)) ? static_cast<CMainDoc*>(document) : nullptr;
}

BOOL CMainDoc::OnNewDocument() { return CQVDocument::OnNewDocument(); }

BOOL CMainDoc::CanCloseFrame(CFrameWnd* frame) {
  if (CMainApp* app = CMainApp::GetMainApp()) app->m_settings.SaveSettings();
  return CQVDocument::CanCloseFrame(frame);
}

BOOL CMainDoc::IsCommandAvailable(UINT id) {
  return IsSearchCommandAvailable(id) && IsBrowserCommandAvailable(id);
}

CMainCommandState CMainDoc::GetCommandState() const {
  CMainCommandState state;
  state.nPlantState = m_plant.GetState();
  if (m_pBrowser) {
    state.bHasBrowser = TRUE;
    state.nToolMode = m_pBrowser->GetToolMode();
    state.nFitMode = m_pBrowser->GetFitMode();
  }
  if (const CMainApp* app = CMainApp::GetMainApp()) {
    state.nBrowserRows = app->m_settings.m_screenLayout.nViewBrowserRows;
    state.nBrowserCols = app->m_settings.m_screenLayout.nViewBrowserCols;
  }
  state.bCommandBarVisible = CQVWinApp::IsGUIVisible(CMainFrame::kCommandBarGUI);
  state.bViewBarVisible = CQVWinApp::IsGUIVisible(CMainFrame::kViewBarGUI);
  state.bResultsWindow = HasResultsWindow();
  state.bResultsVisible = state.bResultsWindow && IsResultsWindowVisible();
  state.bResultsOneSelected = state.bResultsWindow && ResultsAllowOneDocumentOutput();
  state.bResultsPrintable = state.bResultsWindow && ResultsAllowImagePrinting();
  return state;
}

void CMainDoc::OnUpdateCommand(CCmdUI* cmdUI) {
  if (!FindViewerCommandName(cmdUI->m_nID)) return;
  if (!IsCommandAvailable(cmdUI->m_nID)) {
    cmdUI->Enable(FALSE);
    return;
  }
  const CMainCommandUpdate update = UpdateMainCommand(cmdUI->m_nID, GetCommandState());
  if (update.nEnable >= 0) cmdUI->Enable(update.nEnable);
  else cmdUI->Enable(TRUE);
  if (update.nCheck >= 0) cmdUI->SetCheck(update.nCheck);
}

void CMainDoc::SetBrowserLayout(int rows, int columns) {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  app->m_settings.m_screenLayout.nViewBrowserRows = rows;
  app->m_settings.m_screenLayout.nViewBrowserCols = columns;
  if (!m_pBrowser) return;
  CMainFrame* frame = CMainFrame::GetMainFrameWnd();
  if (frame) frame->BeginWaitCursor();
  m_pBrowser->SetFPCMode(columns, rows);
  m_pBrowser->ApplyViewAction(m_pBrowser->GetFitMode(), TRUE, 100);
  if (frame) frame->EndWaitCursor();
}

void CMainDoc::ToggleBrowserLayout() {
  if (m_bLayoutToggle) SetBrowserLayout(1, 2);
  else SetBrowserLayout(2, 1);
  m_bLayoutToggle = !m_bLayoutToggle;
}

void CMainDoc::ApplyGeneralOptions(const QVSettings& options) {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  app->m_settings.m_general = options;
  app->ClearSwitch();
  app->UpdateIconSize();
  if (CMainFrame* frame = CMainFrame::GetMainFrameWnd())
    frame->SendMessage(CMainFrame::WM_MAIN_REFRESH, 0,
                       CMainFrame::refreshTitle | CMainFrame::refreshViewBar | CMainFrame::refreshCommandBar);
  ApplyResultsOptions();
}

void CMainDoc::RefreshTitle() {
  if (CMainFrame* frame = CMainFrame::GetMainFrameWnd())
    frame->SendMessage(CMainFrame::WM_MAIN_REFRESH, 0, CMainFrame::refreshTitle);
}
