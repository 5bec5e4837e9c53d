#include "platform/ui/afx/CHtmlView.h"

#include <string>

IMPLEMENT_DYNCREATE(CHtmlView, CView)

BEGIN_MESSAGE_MAP(CHtmlView, CView)
  ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CHtmlView::Create(LPCWSTR className, LPCWSTR windowName, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                       void* context) {
  if (!CView::Create(className, windowName, style, rect, parent, id, context)) return FALSE;
  CRect client;
  GetClientRect(&client);
  m_hPane = ::CreateWindowExW(0, WC_HTMLPANEW, u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, client.Width(),
                              client.Height(), m_hWnd, nullptr, nullptr, nullptr);
  return m_hPane != nullptr;
}

BOOL CHtmlView::Navigate(LPCWSTR url, DWORD, LPCWSTR, LPCWSTR, void*, DWORD) {
  if (!m_hPane || !url) return FALSE;
  return static_cast<BOOL>(::SendMessageW(m_hPane, HPM_NAVIGATE, 0, reinterpret_cast<LPARAM>(url)));
}

CString CHtmlView::GetLocationURL() const {
  if (!m_hPane) return CString();
  std::u16string buffer(4096, u'\0');
  int n = static_cast<int>(::SendMessageW(m_hPane, HPM_GETLOCATION, buffer.size(), reinterpret_cast<LPARAM>(buffer.data())));
  return CString(buffer.c_str(), n);
}

void CHtmlView::GoBack() { ::SendMessageW(m_hPane, HPM_BACK, 0, 0); }
void CHtmlView::GoForward() { ::SendMessageW(m_hPane, HPM_FORWARD, 0, 0); }
void CHtmlView::Refresh() { ::SendMessageW(m_hPane, HPM_REFRESH, 0, 0); }

void CHtmlView::OnSize(UINT type, int cx, int cy) {
  CView::OnSize(type, cx, cy);
  if (m_hPane) ::MoveWindow(m_hPane, 0, 0, cx, cy, TRUE);
}
