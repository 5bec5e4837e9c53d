#include "viewer/app/CMainView.h"

#include "viewer/app/CMainApp.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"

IMPLEMENT_DYNCREATE(CMainView, CDocumentBrowserView)

CMainView::CMainView() : m_adapter(*GetBrowser()) {}

CMainView::~CMainView() {
  CMainDoc* document = CMainDoc::GetMainDoc();
  if (document && document->GetBrowser() == &m_adapter) document->SetBrowser(nullptr);
}

CIBSPlant* CMainView::GetDocumentStore() {
  CDocument* document = GetDocument();
  return document && document->IsKindOf(RUNTIME_CLASS(CMainDoc)) ? &static_cast<CMainDoc*>(document)->GetPlant()
                                                                  : nullptr;
}

void CMainView::OnInitialUpdate() {
  CDocumentBrowserView::OnInitialUpdate();
  CDocument* document = GetDocument();
  if (!document || !document->IsKindOf(RUNTIME_CLASS(CMainDoc))) return;
  auto* mainDoc = static_cast<CMainDoc*>(document);
  // The store's messages, wait cursor and title go through the main frame.
  mainDoc->GetPlant().SetWindowLink(CMainFrame::GetMainFrameWnd());
  if (CMainApp* app = CMainApp::GetMainApp()) {
    GetBrowser()->SetSettings(&app->m_settings);
    const auto& layout = app->m_settings.m_screenLayout;
    GetBrowser()->SetFPCMode(layout.nViewBrowserCols, layout.nViewBrowserRows);
  }
  GetBrowser()->SetOutput(&mainDoc->GetOutput());
  mainDoc->SetBrowser(&m_adapter);
}
