// Where the main frame was left: restored from the settings when it opens, put back into them
// when it closes. The tool bars' docking goes into its own file beside the settings (a missing,
// damaged or foreign file leaves the default docking; a failed write keeps the file that was there).

#include "foundation/language/CQVRCM.h"
#include "framework/app/CQVAssistantDialog.h"
#include "platform/core/module.h"
#include "platform/gdi/gdi.h"
#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/app/CMainStartup.h"

namespace {

CSize ScreenSize() {
  HDC dc = CreateDCW(u"DISPLAY", nullptr, nullptr, nullptr);
  if (!dc) return CSize(0, 0);
  const CSize size(GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES));
  DeleteDC(dc);
  return size;
}

}  // namespace

void CMainFrame::RestoreLayout(BOOL menu) {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  const ScreenLayout& layout = app->m_settings.m_screenLayout;
  const CSize screen = ScreenSize();

  const CMainPlacement placement = PlaceMainWindow(layout, screen.cx, screen.cy);
  m_bStartMaximized = placement.bMaximized;
  if (!placement.bMaximized && !placement.rcNormal.IsRectEmpty()) {
    WINDOWPLACEMENT wp {};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(m_hWnd, &wp);
    wp.rcNormalPosition = placement.rcNormal;
    wp.showCmd = IsWindowVisible() ? SW_SHOWNORMAL : SW_HIDE;
    ::SetWindowPlacement(m_hWnd, &wp);
  }

  if (!layout.strLanguageID.IsEmpty()) CQVRCM::SetCurrentLanguage(layout.strLanguageID, GetModuleHandleW(nullptr), FALSE);
  app->ReloadHotKeys();
  LoadDockStateFile(layout.strDockstateFile);
  RestoreAssistant(layout, screen);
  if (menu) OnLanguageChange();
  if (CMainDoc* document = CMainDoc::GetMainDoc())
    document->SetBrowserLayout(layout.nViewBrowserRows, layout.nViewBrowserCols);
}

void CMainFrame::ShowRestoredPlacement() {
  if (!m_bStartMaximized) return;
  // The bars take their places again once the window has its maximised size: placed in the
  // smaller window first, they were moved up to fit it.
  CRect client;
  GetClientRect(&client);
  m_sizeBeforeMaximized = client.Size();
  m_bDockStateForMaximized = TRUE;
  ShowWindow(SW_SHOWMAXIMIZED);
}

void CMainFrame::OnSize(UINT type, int cx, int cy) {
  CQVMainFrame::OnSize(type, cx, cy);
  // The window manager may report the new state before the new size, and the state more than
  // once: the first change of size is what counts.
  if (!m_bDockStateForMaximized || type == SIZE_MINIMIZED || CSize(cx, cy) == m_sizeBeforeMaximized) return;
  m_bDockStateForMaximized = FALSE;
  if (CMainApp* app = CMainApp::GetMainApp()) LoadDockStateFile(app->m_settings.m_screenLayout.strDockstateFile);
}

void CMainFrame::SaveLayout(BOOL menu) {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  ScreenLayout& layout = app->m_settings.m_screenLayout;
  const CSize screen = ScreenSize();
  layout.nScreenWidth = screen.cx;
  layout.nScreenHeight = screen.cy;

  WINDOWPLACEMENT wp {};
  wp.length = sizeof(wp);
  if (::GetWindowPlacement(m_hWnd, &wp)) {
    if (wp.showCmd == SW_SHOWMAXIMIZED || IsZoomed()) {
      layout.nIsMaximized = 1;
    } else {
      CRect normal(wp.rcNormalPosition);
      normal.NormalizeRect();
      layout.nIsMaximized = 0;
      layout.nWindowLeft = normal.left;
      layout.nWindowTop = normal.top;
      layout.nWindowWidth = normal.Width();
      layout.nWindowHeight = normal.Height();
    }
  }

  CString language;
  if (CQVRCM::GetCurrentLanguage(language) && !language.IsEmpty()) layout.strLanguageID = language;
  SaveDockStateFile(layout.strDockstateFile);
  SaveAssistant(layout);
  if (menu) UpdateMainMenu();
}

void CMainFrame::RestoreAssistant(const ScreenLayout& layout, CSize screen) {
  // A place on the screen is used even while the panel stays hidden: it shows there when it is
  // next asked for.
  const int x = layout.nAssistantLeft;
  const int y = layout.nAssistantTop;
  if (x >= 0 && x < screen.cx && y >= 0 && y < screen.cy) {
    ShowAssistant(x, y);
    if (layout.nShowAssistant != 1) HideAssistant();
  } else if (layout.nShowAssistant == 1) {
    ShowAssistant();
  } else {
    HideAssistant();
  }
}

void CMainFrame::SaveAssistant(ScreenLayout& layout) {
  int x = CQVAssistantDialog::kNoPosition;
  int y = CQVAssistantDialog::kNoPosition;
  // Hidden only while the program is minimised or inactive, the panel counts as shown, at the
  // place it left: it comes back with the program, so it comes back at the next start too.
  const BOOL shown = GetAssistantPosition(x, y) || m_bAssistantWasVisible;
  layout.nShowAssistant = shown ? 1 : 0;
  layout.nAssistantLeft = x;
  layout.nAssistantTop = y;
}
