#include "framework/dialogs/CQVDialog.h"

#include "platform/ui/afx/MessageMap.h"

IMPLEMENT_DYNAMIC(CQVDialog, CDialog)

BEGIN_MESSAGE_MAP(CQVDialog, CDialog)
  ON_WM_ACTIVATE()
  ON_WM_CLOSE()
  ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, &CQVDialog::OnToolTipNotify)
  ON_WM_LBUTTONDOWN()
  ON_WM_MOUSEMOVE()
  ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

CQVDialog::CQVDialog() : CQVDialogHelper(this) { CommonConstructor(); }

CQVDialog::CQVDialog(CWnd* parent) : CQVDialog(u"QVKERNEL_IDD_EMPTYPOPUP", parent) {}

CQVDialog::CQVDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), CQVDialogHelper(this), m_nTemplateID(templateId) {
  CommonConstructor();
}

CQVDialog::CQVDialog(LPCWSTR templateName, CWnd* parent)
    : CDialog(templateName, parent), CQVDialogHelper(this), m_strTemplateName(templateName ? templateName : u"") {
  CommonConstructor();
}

void CQVDialog::CommonConstructor() {
  m_bModal = FALSE;
  m_bLayout = TRUE;
  m_bTranslate = TRUE;
  m_bTopmost = FALSE;
  m_bCloseOnDeactivate = TRUE;
  m_bAutoDelete = FALSE;
  m_bToolTips = TRUE;
  m_bDrag = FALSE;
  m_bLockOK = FALSE;
  m_bLockCancel = FALSE;
  m_bDragging = FALSE;
}

int CQVDialog::ShowModal() {
  if (GetSafeHwnd()) return IDCANCEL;
  return static_cast<int>(DoModal());
}

INT_PTR CQVDialog::DoModal() {
  if (GetSafeHwnd()) return -1;
  m_bModal = TRUE;
  const INT_PTR result = CDialog::DoModal();
  m_bModal = FALSE;
  return result;
}

void CQVDialog::ShowModeless(CWnd* parent) {
  if (m_bModal) return;
  if (GetSafeHwnd()) DestroyWindow();
  const BOOL made = m_nTemplateID ? Create(m_nTemplateID, parent) : Create(m_strTemplateName.GetString(), parent);
  if (!made || !GetSafeHwnd()) return;
  ShowWindow(SW_SHOWNORMAL);
  UpdateWindow();
}

void CQVDialog::HideModeless() {
  if (!m_bModal && GetSafeHwnd()) DestroyWindow();
}

BOOL CQVDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  if (!OnInitControls() || !OnInitIDMap() || !OnInitLayout() || !OnInitSettings()) return FALSE;
  EnableToolTips(m_bToolTips);
  return TRUE;
}

BOOL CQVDialog::OnInitLayout() {
  if (!InitLayout(m_bLayout, m_bTranslate)) return FALSE;
  if (m_bTopmost) SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  return TRUE;
}

void CQVDialog::OnOK() {
  if (!m_bLockOK) CDialog::OnOK();
}

void CQVDialog::OnCancel() {
  if (!m_bLockCancel) CDialog::OnCancel();
}

void CQVDialog::OnActivate(UINT state, CWnd* other, BOOL minimized) {
  // A box or modal dialog of the dialog's own disables it while it runs: losing the activation to
  // one of them is not the user leaving the dialog.
  const BOOL ownModal = IsShowingMessage() || !IsWindowEnabled();
  if (!m_bModal && state == WA_INACTIVE && m_bCloseOnDeactivate && !ownModal) {
    PostMessage(WM_CLOSE);
    return;
  }
  CDialog::OnActivate(state, other, minimized);
}

void CQVDialog::OnClose() {
  if (m_bModal) {
    Default();
    return;
  }
  DestroyWindow();
}

void CQVDialog::PostNcDestroy() {
  CDialog::PostNcDestroy();
  if (m_bAutoDelete) delete this;
}

BOOL CQVDialog::OnToolTipNotify(UINT id, NMHDR* nmhdr, LRESULT* result) { return _OnToolTipNotify(id, nmhdr, result); }

void CQVDialog::OnLButtonDown(UINT flags, CPoint point) {
  if (m_bDragging || !m_bDrag || !CanDragByMouse(flags, point)) {
    Default();
    return;
  }
  m_ptDragStart = point;
  ClientToScreen(&m_ptDragStart);
  GetWindowRect(&m_rcDragStart);
  m_bDragging = TRUE;
  SetCapture();
}

void CQVDialog::OnMouseMove(UINT, CPoint point) {
  if (!m_bDragging) {
    Default();
    return;
  }
  POINT cursor = point;
  ClientToScreen(&cursor);
  CRect rect(m_rcDragStart);
  rect.OffsetRect(cursor.x - m_ptDragStart.x, cursor.y - m_ptDragStart.y);
  MoveWindow(&rect, TRUE);
}

void CQVDialog::OnLButtonUp(UINT, CPoint) {
  if (!m_bDragging) {
    Default();
    return;
  }
  m_bDragging = FALSE;
  ::ReleaseCapture();
}
