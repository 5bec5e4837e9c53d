// The document's own commands: outputs of the shown document through the browser, tool modes,
// grids, zoom and fit, the tool bars, paging, scrolling, the cell keys, help and closing.

#include "framework/app/CQVWinApp.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainBrowser.h"
#include "viewer/app/CMainCommands.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainHelp.h"

namespace {

int ToolModeOf(UINT id) {
  switch (id) {
    case ID_APP_TBRPRINT: return CMainBrowser::toolPrint;
    case ID_APP_TBREMAIL: return CMainBrowser::toolEmail;
    case ID_TOOLS_ROTATE_90: return CMainBrowser::toolRotate90;
    case ID_TOOLS_ROTATE_180: return CMainBrowser::toolRotate180;
    case ID_TOOLS_ROTATE_270: return CMainBrowser::toolRotate270;
    case ID_TOOLS_SCROLL: return CMainBrowser::toolScroll;
    case ID_TOOLS_MAGNIFY: return CMainBrowser::toolMagnify;
    case ID_TOOLS_COPY: return CMainBrowser::toolCopy;
    case ID_TOOLS_COPYAREA: return CMainBrowser::toolCopyArea;
    default: return -1;
  }
}

}  // namespace

void CMainDoc::OnAppPrint() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app || !m_pBrowser) return;
  // The print command always starts from one image per sheet and the whole document.
  PrintSetting& print = app->m_settings.m_print;
  print.nPrintRange = 1;
  print.nNumPerSheet = 1;
  print.nRowNumber = 1;
  print.nColNumber = 1;
  m_pBrowser->PrintDocument();
}

void CMainDoc::OnAppEmail() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app || !m_pBrowser) return;
  app->m_settings.m_email.nRangeMode = 1;
  app->m_settings.m_email.nCombineTIFF = 1;
  m_pBrowser->EmailDocument();
}

void CMainDoc::OnAppSaveAsPdf() {
  if (m_pBrowser) m_pBrowser->SaveDocumentAsPdf();
}

void CMainDoc::OnAppExit() {
  if (CMainFrame* frame = CMainFrame::GetMainFrameWnd()) frame->SendMessage(WM_CLOSE);
}

void CMainDoc::OnToolMode(UINT id) {
  if (m_pBrowser) m_pBrowser->SetToolMode(ToolModeOf(id));
}

void CMainDoc::OnBrowserLayout(UINT id) {
  static constexpr int kGrids[][2] = {{1, 1}, {1, 2}, {2, 1}, {2, 2}, {2, 4}, {4, 8}};
  const auto& grid = kGrids[id - ID_VIEW_BROWSERLAYOUT_1_1];
  SetBrowserLayout(grid[0], grid[1]);
  if (id == ID_VIEW_BROWSERLAYOUT_1_2) m_bLayoutToggle = FALSE;
  else if (id == ID_VIEW_BROWSERLAYOUT_2_1) m_bLayoutToggle = TRUE;
}

void CMainDoc::OnZoomIn() {
  CMainApp* app = CMainApp::GetMainApp();
  if (app && m_pBrowser)
    m_pBrowser->ApplyViewAction(CMainBrowser::viewZoomIn, TRUE, app->m_settings.m_screenLayout.nViewZoomStep * 100);
}

void CMainDoc::OnZoomOut() {
  CMainApp* app = CMainApp::GetMainApp();
  if (app && m_pBrowser)
    m_pBrowser->ApplyViewAction(CMainBrowser::viewZoomOut, TRUE, app->m_settings.m_screenLayout.nViewZoomStep * 100);
}

void CMainDoc::OnFit(UINT id) {
  if (!m_pBrowser) return;
  const int action = id == ID_VIEW_FIT_NONE    ? CMainBrowser::viewActualSize
                     : id == ID_VIEW_FIT_WIDTH ? CMainBrowser::viewFitWidth
                                               : CMainBrowser::viewFitWhole;
  m_pBrowser->ApplyViewAction(action, TRUE, 100);
}

void CMainDoc::OnShowBar(UINT id) {
  const UINT gui = id == ID_VIEW_SHOW_CMDTBR ? CMainFrame::kCommandBarGUI : CMainFrame::kViewBarGUI;
  CQVWinApp::ShowGUI(gui, !CQVWinApp::IsGUIVisible(gui));
}

void CMainDoc::OnDocumentPrevious() {
  m_plant.PreviousDocument();
  RefreshTitle();
}

void CMainDoc::OnDocumentNext() {
  m_plant.NextDocument();
  RefreshTitle();
}

void CMainDoc::OnFirstImage() {
  if (m_pBrowser) m_pBrowser->GoToFirst();
}

void CMainDoc::OnLastImage() {
  if (m_pBrowser) m_pBrowser->GoToLast();
}

void CMainDoc::OnPreviousScreen() {
  if (m_pBrowser) m_pBrowser->PagePrevious();
}

void CMainDoc::OnNextScreen() {
  if (m_pBrowser) m_pBrowser->PageNext();
}

void CMainDoc::OnScroll(UINT id) {
  if (!m_pBrowser) return;
  // The to-the-edge commands take no step; the step commands move by a fixed 100.
  static constexpr int kActions[] = {
      CMainBrowser::viewTopEdge, CMainBrowser::viewLeftEdge, CMainBrowser::viewRightEdge,
      CMainBrowser::viewBottomEdge, CMainBrowser::viewUp, CMainBrowser::viewLeft,
      CMainBrowser::viewRight, CMainBrowser::viewDown,
  };
  const int action = kActions[id - ID_DOCUMENT_SCROLL_TO_TOP];
  m_pBrowser->ApplyViewAction(action, TRUE, id >= ID_DOCUMENT_SCROLL_UP ? 100 : 0);
}

void CMainDoc::OnOtherCtrl(UINT id) {
  if (m_pBrowser) m_pBrowser->ActOnCell(static_cast<int>(id - ID_OTHER_CTRL_1));
}

void CMainDoc::OnHelpFile() {
  CString workstation;
  CString language;
  if (!CQVWinApp::GetWorkstationDir(workstation, 0, FALSE) || !GetShownLanguage(language)) return;
  CMainFrame* frame = CMainFrame::GetMainFrameWnd();
  CString file;
  if (!FindHelpFile(workstation, language, file)) {
    if (frame) frame->ErrorMsg(u"MSG_ERR_HELPFILE_MISSING", {{u"<%helpfile%>", HelpFileBase(workstation, language)}});
    return;
  }
  if (!OpenWithDesktop(file) && frame) frame->ErrorMsg(u"MSG_ERR_LAUNCH_HELPWINDOW", {});
}
