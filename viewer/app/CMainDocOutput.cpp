// Export of the results, the settings dialog and the about box, built in viewer/output and
// viewer/dialogs.

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/dialogs/CAboutDialog.h"
#include "viewer/dialogs/CQVSettingDlg.h"
#include "viewer/output/ExportCommand.h"

void CMainDoc::OnAppExport() {
  if (CMainApp* app = CMainApp::GetMainApp())
    ExportSearchResults(CMainFrame::GetMainFrameWnd(), m_plant, app->m_settings.m_bIncludeIndexHeader);
}

void CMainDoc::OnAppSetting() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  CQVSettingDlg dialog(CMainFrame::GetMainFrameWnd());
  dialog.m_settings = app->m_settings.m_general;
  if (dialog.ShowModal() == IDOK) ApplyGeneralOptions(dialog.m_settings);
}

void CMainDoc::OnHelpAbout() {
  CAboutDialog about(CMainFrame::GetMainFrameWnd());
  about.ShowModal();
}
