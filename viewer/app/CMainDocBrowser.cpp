// The browser's dialogs: zoom step, go to a document, go to an image, magnifier ratio.

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainBrowser.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"
#include "viewer/browser/CGotoDocumentDlg.h"
#include "viewer/browser/CGotoImageDlg.h"
#include "viewer/browser/CZoomStepDlg.h"

// OK stores the new "ViewZoomStep".
void CMainDoc::OnZoomStep() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  CZoomStepDlg dialog(CMainFrame::GetMainFrameWnd());
  int step = app->m_settings.m_screenLayout.nViewZoomStep;
  if (dialog.Run(step)) app->m_settings.m_screenLayout.nViewZoomStep = step;
}

// OK opens the chosen batch's document, then the title follows.
void CMainDoc::OnGotoDocument() {
  CGotoDocumentDlg dialog(&m_plant, CMainFrame::GetMainFrameWnd());
  if (dialog.DoModal() != IDOK) return;
  CString batch;
  CString number;
  dialog.GetSelection(batch, number);
  OpenResult(batch, number);
}

// OK moves the browser to the chosen image (the dialog counts from 1, the browser from 0).
void CMainDoc::OnGotoImage() {
  if (!m_pBrowser) return;
  CGotoImageDlg dialog(CMainFrame::GetMainFrameWnd());
  dialog.SetImageCount(m_pBrowser->GetImageCount());
  if (dialog.DoModal() != IDOK) return;
  int number = 0;
  dialog.GetNumber(number);
  if (number > 0) m_pBrowser->GoToImage(number - 1);
}

// OK stores the new "ViewMagnifierRatio".
void CMainDoc::OnMagnificationRatio() {
  CMainApp* app = CMainApp::GetMainApp();
  if (!app) return;
  CMagRatioSetupDlg dialog(CMainFrame::GetMainFrameWnd());
  int ratio = app->m_settings.m_screenLayout.nViewMagnifierRatio;
  if (dialog.Run(ratio)) app->m_settings.m_screenLayout.nViewMagnifierRatio = ratio;
}
