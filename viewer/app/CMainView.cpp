#include "viewer/app/CMainView.h"

#include "platform/gdi/CDC.h"
#include "viewer/app/CMainDoc.h"
#include "viewer/app/CMainFrame.h"

IMPLEMENT_DYNCREATE(CMainView, CView)

void CMainView::OnDraw(CDC* dc) {
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, GetSysColor(COLOR_APPWORKSPACE));
}

void CMainView::OnInitialUpdate() {
  CView::OnInitialUpdate();
  // The store's messages, wait cursor and title go through the main frame.
  CDocument* document = GetDocument();
  if (document && document->IsKindOf(RUNTIME_CLASS(CMainDoc)))
    static_cast<CMainDoc*>(document)->GetPlant().SetWindowLink(CMainFrame::GetMainFrameWnd());
}
