#include "framework/dialogs/CQVBlankView.h"

#include "platform/gdi/CDC.h"
#include "platform/ui/afx/MessageMap.h"

IMPLEMENT_DYNCREATE(CQVBlankView, CView)

CQVBlankView::CQVBlankView() : m_backColor(s_defaultBackColor) {}

void CQVBlankView::OnDraw(CDC* dc) {
  if (!dc) return;
  CRect client;
  GetClientRect(&client);
  dc->FillSolidRect(&client, m_backColor);
}

IMPLEMENT_DYNCREATE(CQVChildFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CQVChildFrame, CFrameWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

int CQVChildFrame::OnCreate(LPCREATESTRUCT cs) {
  if (CFrameWnd::OnCreate(cs) == -1) return -1;
  HWND hwnd = GetSafeHwnd();
  ::SetClassLongW(hwnd, GCL_STYLE, static_cast<LONG>(::GetClassLongW(hwnd, GCL_STYLE) & ~(CS_HREDRAW | CS_VREDRAW)));
  return 0;
}
