#include "viewer/browser/CDocumentBrowserView.h"

#include "viewer/model/CIBSPlant.h"

IMPLEMENT_DYNCREATE(CDocumentBrowserView, CQVCtrlView)

BOOL CDocumentBrowserView::OnCreateCtrl(CWnd* ctrl) {
  if (ctrl != &m_browser) return FALSE;
  if (!m_browser.GetSafeHwnd()) {
    CRect client;
    GetClientRect(&client);
    if (!m_browser.CreateEx(0, WS_CHILD | WS_VISIBLE, client, this, 1000)) return FALSE;
  }
  CIBSPlant* store = GetDocumentStore();
  if (!store) return FALSE;
  m_browser.SetStore(store);
  store->SetBrowser(&m_browser);
  return TRUE;
}

BOOL CDocumentBrowserView::PreTranslateMessage(MSG*) { return FALSE; }
