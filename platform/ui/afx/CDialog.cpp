#include "platform/ui/afx/CDialog.h"

#include "platform/ui/afx/CWinApp.h"
#include "platform/ui/internal/DialogManager.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
  ON_COMMAND(IDOK, &CDialog::OnOK)
  ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

namespace {

// The modal loop offers each message for the dialog to the windows from it up to the dialog.
BOOL ModalPreTranslate(HWND dialog, MSG* msg) { return CWnd::WalkPreTranslateTree(dialog, msg); }

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent) {
  SetTemplateName(MAKEINTRESOURCEW(templateId));
  m_nIDHelp = templateId;
}

CDialog::CDialog(LPCWSTR templateName, CWnd* parent) : m_pParentWnd(parent) { SetTemplateName(templateName); }

CDialog::~CDialog() {
  if (m_hWnd && ::IsWindow(m_hWnd) && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

void CDialog::SetTemplateName(LPCWSTR name) {
  if (name && !IS_INTRESOURCE(name)) {
    m_templateName = name;
    m_lpszTemplateName = m_templateName.GetString();
  } else {
    m_lpszTemplateName = name;
  }
}

const DialogTemplate* CDialog::FindTemplate() const {
  return m_pTemplate ? m_pTemplate : FindDialogTemplate(nullptr, m_lpszTemplateName);
}

HWND CDialog::ModalOwnerWindow() const {
  CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  return qvui::ModalOwner(parent ? parent->GetSafeHwnd() : nullptr);
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) { return Create(MAKEINTRESOURCEW(templateId), parent); }

BOOL CDialog::Create(LPCWSTR templateName, CWnd* parent) {
  SetTemplateName(templateName);
  if (parent) m_pParentWnd = parent;
  return CreateIndirect(FindTemplate(), m_pParentWnd);
}

BOOL CDialog::CreateIndirect(const DialogTemplate* dialogTemplate, CWnd* parent) {
  if (!dialogTemplate || m_hWnd) return FALSE;
  m_pTemplate = dialogTemplate;
  if (parent) m_pParentWnd = parent;
  CWnd* owner = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
  HWND hwnd = qvui::CreateDialogWindow(*dialogTemplate, AfxGetResourceHandle(), owner ? owner->GetSafeHwnd() : nullptr,
                                       nullptr, 0, this);
  return hwnd != nullptr;
}

BOOL CDialog::InitModalIndirect(const DialogTemplate* dialogTemplate, CWnd* parent) {
  if (!dialogTemplate) return FALSE;
  m_pTemplate = dialogTemplate;
  if (parent) m_pParentWnd = parent;
  return TRUE;
}

INT_PTR CDialog::DoModal() {
  const DialogTemplate* dialogTemplate = FindTemplate();
  if (!dialogTemplate || m_hWnd) return -1;
  HWND owner = ModalOwnerWindow();
  bool disabled = owner && ::IsWindowEnabled(owner);
  HWND focus = ::GetFocus();  // the owner's, given back when the dialog ends
  if (disabled) ::EnableWindow(owner, FALSE);
  m_bModal = TRUE;
  INT_PTR result = -1;
  HWND dialog = qvui::CreateDialogWindow(*dialogTemplate, AfxGetResourceHandle(), owner, nullptr, 0, this);
  if (dialog) result = qvui::RunModalLoop(dialog, &ModalPreTranslate);
  m_bModal = FALSE;
  if (disabled && ::IsWindow(owner)) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
    if (focus && ::IsWindow(focus) && (focus == owner || ::IsChild(owner, focus))) ::SetFocus(focus);
  }
  if (m_hWnd) DestroyWindow();
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_hWnd) ::EndDialog(m_hWnd, result);
}

// A top-level dialog that its initialisation neither moved nor showed opens centred on its owner
// (on the screen when it has none).
LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  CRect before;
  ::GetWindowRect(m_hWnd, &before);
  BOOL result = OnInitDialog();
  if (!::IsWindow(m_hWnd) || (GetStyle() & (WS_CHILD | WS_VISIBLE))) return result;
  CRect after;
  ::GetWindowRect(m_hWnd, &after);
  if (after == before) CenterWindow();
  return result;
}

BOOL CDialog::OnInitDialog() {
  // The members go into the controls; a failure here ends the dialog.
  if (!UpdateData(FALSE)) {
    EndDialog(-1);
    return FALSE;
  }
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::NextDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
void CDialog::PrevDlgCtrl() const { ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
void CDialog::GotoDlgCtrl(CWnd* control) {
  if (control) ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->GetSafeHwnd()), 1);
}
void CDialog::SetDefID(UINT id) { ::SendMessageW(m_hWnd, DM_SETDEFID, id, 0); }
DWORD CDialog::GetDefID() const { return static_cast<DWORD>(::SendMessageW(m_hWnd, DM_GETDEFID, 0, 0)); }
void CDialog::MapDialogRect(LPRECT rect) const { ::MapDialogRect(m_hWnd, rect); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcW(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefDlgProcW(m_hWnd, message, wParam, lParam);
}
