#include "viewer/app/CMainBrowserAdapter.h"

#include "viewer/browser/CDocumentBrowser.h"

int CMainBrowserAdapter::GetToolMode() { return m_browser.GetToolMode(); }
void CMainBrowserAdapter::SetToolMode(int mode) { m_browser.SetToolMode(mode); }
int CMainBrowserAdapter::GetFitMode() { return m_browser.GetFitMode(); }
void CMainBrowserAdapter::ApplyViewAction(int action, BOOL allCells, int step) {
  m_browser.ApplyViewAction(action, allCells, step);
}
void CMainBrowserAdapter::SetFPCMode(int columns, int rows) { m_browser.SetFPCMode(columns, rows); }
int CMainBrowserAdapter::GetImageCount() { return m_browser.GetImageCount(); }
void CMainBrowserAdapter::GoToFirst() { m_browser.GoToFirst(); }
void CMainBrowserAdapter::GoToLast() { m_browser.GoToLast(); }
void CMainBrowserAdapter::PagePrevious() { m_browser.PagePrevious(); }
void CMainBrowserAdapter::PageNext() { m_browser.PageNext(); }
void CMainBrowserAdapter::GoToImage(int index) { m_browser.GoToImage(index); }
void CMainBrowserAdapter::ActOnCell(int cell) { m_browser.ActOnCell(cell); }
void CMainBrowserAdapter::SelectNextCell() { m_browser.SelectNextCell(); }
void CMainBrowserAdapter::SelectPreviousCell() { m_browser.SelectPreviousCell(); }
void CMainBrowserAdapter::PrintDocument() { m_browser.PrintDocument(); }
void CMainBrowserAdapter::EmailDocument() { m_browser.EmailDocument(); }
void CMainBrowserAdapter::SaveDocumentAsPdf() { m_browser.SaveDocumentAsPdf(); }
