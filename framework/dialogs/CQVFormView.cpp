#include "framework/dialogs/CQVFormView.h"

#include "platform/ui/afx/MessageMap.h"

IMPLEMENT_DYNCREATE(CQVFormView, CFormView)

BEGIN_MESSAGE_MAP(CQVFormView, CFormView)
  ON_MESSAGE(WM_INITDIALOG, &CQVFormView::OnInitDialog)
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &CQVFormView::OnToolTipNotify)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CQVFormView::CQVFormView() : CFormView(u"QVKERNEL_IDD_EMPTYFORM"), CQVDialogHelper(this) {
  m_strTemplateName = u"QVKERNEL_IDD_EMPTYFORM";
  m_bLayout = FALSE;
  m_bTranslate = FALSE;
  m_bToolTips = TRUE;
  m_bEraseBackground = TRUE;
}

CQVFormView::CQVFormView(UINT templateId) : CFormView(templateId), CQVDialogHelper(this), m_nTemplateID(templateId) {
  CommonConstructor();
}

CQVFormView::CQVFormView(LPCWSTR templateName)
    : CFormView(templateName), CQVDialogHelper(this), m_strTemplateName(templateName ? templateName : u"") {
  CommonConstructor();
}

void CQVFormView::CommonConstructor() {
  m_bLayout = TRUE;
  m_bTranslate = TRUE;
  m_bToolTips = TRUE;
  m_bEraseBackground = TRUE;
}

LRESULT CQVFormView::OnInitDialog(WPARAM, LPARAM) {
  UpdateData(FALSE);
  if (OnInitControls() && OnInitIDMap() && OnInitLayout() && OnInitSettings()) EnableToolTips(m_bToolTips);
  return 0;
}

BOOL CQVFormView::OnInitLayout() { return InitLayout(m_bLayout, m_bTranslate); }

BOOL CQVFormView::OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result) { return _OnToolTipNotify(id, nmhdr, result); }

BOOL CQVFormView::OnEraseBkgnd(CDC*) {
  if (m_bEraseBackground) return static_cast<BOOL>(Default());
  return TRUE;
}

// ---- A view of one control ----------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CQVCtrlView, CQVFormView)

BEGIN_MESSAGE_MAP(CQVCtrlView, CQVFormView)
  ON_WM_CREATE()
  ON_WM_SIZE()
END_MESSAGE_MAP()

int CQVCtrlView::OnCreate(LPCREATESTRUCT cs) {
  if (CQVFormView::OnCreate(cs) == -1) return -1;
  ::SetClassLongW(GetSafeHwnd(), GCL_STYLE, static_cast<LONG>(::GetClassLongW(GetSafeHwnd(), GCL_STYLE) & ~CS_SAVEBITS));
  return OnCreateCtrl(GetCtrl()) ? 0 : -1;
}

BOOL CQVCtrlView::OnCreateCtrl(CWnd* ctrl) {
  if (!ctrl || ctrl->GetSafeHwnd()) return FALSE;
  CRect client;
  GetClientRect(&client);
  return ctrl->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, client, this, 1000);
}

void CQVCtrlView::OnSize(UINT type, int cx, int cy) {
  CQVFormView::OnSize(type, cx, cy);
  OnSizeCtrl(GetCtrl(), cx, cy);
}

BOOL CQVCtrlView::OnSizeCtrl(CWnd* ctrl, int cx, int cy) {
  if (ctrl && ctrl->GetSafeHwnd()) ctrl->MoveWindow(0, 0, cx, cy, TRUE);
  return FALSE;
}
