// Export of the results, the results' output requests, the settings dialog and the about box.

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

void CMainDoc::RunResultsOutput(int request, CSearchResultsDlg& dialog) {
  switch (request) {
    case 1: m_output.EmailResults(dialog); break;
    case 2: m_output.SaveResultsAsPdf(dialog); break;
    case 3: m_output.PrintResults(dialog); break;
    case 4: m_output.PrintHitList(dialog); break;
    default: break;
  }
}
