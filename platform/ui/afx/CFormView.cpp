#include "platform/ui/afx/CFormView.h"

#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/DialogManager.h"

IMPLEMENT_DYNAMIC(CFormView, CView)

CFormView::CFormView(UINT templateId) { m_lpszTemplateName = MAKEINTRESOURCEW(templateId); }

CFormView::CFormView(LPCWSTR templateName) : m_templateName(templateName) {
  m_lpszTemplateName = IS_INTRESOURCE(templateName) ? templateName : m_templateName.GetString();
}

BOOL CFormView::Create(LPCWSTR, LPCWSTR, DWORD style, const RECT& rect, CWnd* parent, UINT id, void* context) {
  const DialogTemplate* t = FindDialogTemplate(nullptr, m_lpszTemplateName);
  if (!t || !parent) return FALSE;
  RECT place = rect;
  qvui::ChildPlacement child {static_cast<DWORD>(style | WS_CHILD), id, &place};
  return qvui::CreateDialogWindow(*t, AfxGetResourceHandle(), parent->GetSafeHwnd(), nullptr,
                                  reinterpret_cast<LPARAM>(context), this, &child) != nullptr;
}

void CFormView::OnInitialUpdate() {
  UpdateData(FALSE);
  CView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CFormView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefDlgProcW(m_hWnd, message, wParam, lParam);
}
