#include "framework/dialogs/CQVHtmlWnd.h"

IMPLEMENT_DYNCREATE(__CQVHtmlView, CHtmlView)
IMPLEMENT_DYNAMIC(CQVHtmlWnd, CWnd)

BEGIN_MESSAGE_MAP(CQVHtmlWnd, CWnd)
  ON_WM_CREATE()
END_MESSAGE_MAP()

CQVHtmlWnd::~CQVHtmlWnd() {
  // Ending the window here, while this class is still whole, lets PostNcDestroy free the view.
  if (GetSafeHwnd()) DestroyWindow();
  DeleteView();
}

BOOL CQVHtmlWnd::Create(DWORD style, const RECT& rect, CWnd* parent, BOOL allowContextMenu) {
  m_bAllowContextMenu = allowContextMenu;
  return CWnd::Create(nullptr, nullptr, style, rect, parent, 0);
}

int CQVHtmlWnd::OnCreate(LPCREATESTRUCT cs) {
  if (CWnd::OnCreate(cs) == -1) return -1;
  DeleteView();
  CRect client;
  GetClientRect(&client);
  m_pView = new __CQVHtmlView;
  if (!m_pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, 0)) {
    DeleteView();
    return -1;
  }
  return 0;
}

void CQVHtmlWnd::Navigate(LPCWSTR url) {
  if (m_pView && m_pView->GetSafeHwnd()) m_pView->Navigate(url, 0, nullptr, nullptr, nullptr, 0);
}

BOOL CQVHtmlWnd::PreTranslateMessage(MSG* msg) {
  if (msg && !m_bAllowContextMenu &&
      (msg->message == WM_CONTEXTMENU || msg->message == WM_RBUTTONDOWN || msg->message == WM_RBUTTONUP)) {
    WCHAR className[33] {};
    if (::GetClassNameW(msg->hwnd, className, 33) > 0 && CString(className).CompareNoCase(WC_HTMLPANEW) == 0)
      return TRUE;
  }
  return CWnd::PreTranslateMessage(msg);
}

void CQVHtmlWnd::PostNcDestroy() { DeleteView(); }

void CQVHtmlWnd::DeleteView() {
  if (!m_pView) return;
  if (m_pView->GetSafeHwnd()) m_pView->DestroyWindow();
  delete m_pView;
  m_pView = nullptr;
}
