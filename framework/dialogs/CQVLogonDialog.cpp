#include "framework/dialogs/CQVLogonDialog.h"

#include "foundation/language/KernelEntry.h"
#include "platform/ui/afx/CDataExchange.h"

IMPLEMENT_DYNAMIC(CQVLogonDialog, CQVDialog)
IMPLEMENT_DYNAMIC(CQVChangePasswordDialog, CQVDialog)

namespace {
enum : int {
  kLogonInfoUserName = 1014,
  kLogonInfoPassword = 1015,
  kLogonUserName = 1016,
  kLogonPassword = 1017,
  kCpwInfoNew = 1019,
  kCpwNew = 1020,
  kCpwInfoRetype = 1021,
  kCpwRetype = 1022,
  kCpwInfoOld = 1023,
  kCpwOld = 1024,
};

CString TextOf(const CEdit& edit) {
  CString text;
  edit.GetWindowText(text);
  return text;
}
}  // namespace

// ---- Logon ------------------------------------------------------------------------------------

CQVLogonDialog::CQVLogonDialog(CWnd* parent) : CQVDialog(u"QVKERNEL_IDD_LOGON", parent) {
  SetRCMModule(QVKernelInstance());
}

BOOL CQVLogonDialog::DoLogon(LPCWSTR userName) {
  m_strUserName = userName ? userName : u"";
  m_strUserName.Trim();
  m_strPassword.Empty();
  return ShowModal() == IDOK;
}

BOOL CQVLogonDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_LOGON");
  DlgItem(kLogonInfoUserName, u"DLG_LOGON_INFO_USERNAME", TRUE);
  DlgItem(kLogonInfoPassword, u"DLG_LOGON_INFO_PASSWORD", TRUE);
  DlgItem(kLogonUserName, u"DLG_LOGON_USERNAME", FALSE);
  DlgItem(kLogonPassword, u"DLG_LOGON_PASSWORD", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVLogonDialog::OnInitSettings() {
  m_editUserName.SetWindowText(m_strUserName);
  m_editPassword.SetWindowText(m_strPassword);
  return TRUE;
}

void CQVLogonDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kLogonUserName, m_editUserName);
  DDX_Control(dx, kLogonPassword, m_editPassword);
}

void CQVLogonDialog::OnOK() {
  m_strUserName = TextOf(m_editUserName);
  m_strPassword = TextOf(m_editPassword);
  if (!Logon(m_strUserName, m_strPassword)) {
    InfoMsg(u"MSG_DLG_LOGON_WRONGUSERNAMEORPASSWORD");
    return;
  }
  CQVDialog::OnOK();
}

// ---- Change password --------------------------------------------------------------------------

CQVChangePasswordDialog::CQVChangePasswordDialog(CWnd* parent) : CQVDialog(u"QVKERNEL_IDD_CHANGEPASSWORD", parent) {
  SetRCMModule(QVKernelInstance());
}

BOOL CQVChangePasswordDialog::DoChangePassword(LPCWSTR userName) {
  m_strUserName = userName ? userName : u"";
  return ShowModal() == IDOK;
}

BOOL CQVChangePasswordDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_CPW");
  DlgItem(kCpwInfoOld, u"DLG_CPW_INFO_OLDPASSWORD", TRUE);
  DlgItem(kCpwInfoNew, u"DLG_CPW_INFO_NEWPASSWORD", TRUE);
  DlgItem(kCpwInfoRetype, u"DLG_CPW_INFO_RETYPE", TRUE);
  DlgItem(kCpwOld, u"DLG_CPW_OLDPASSWORD", FALSE);
  DlgItem(kCpwNew, u"DLG_CPW_NEWPASSWORD", FALSE);
  DlgItem(kCpwRetype, u"DLG_CPW_RETYPE", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CQVChangePasswordDialog::OnInitSettings() {
  for (CEdit* edit : {&m_editOldPassword, &m_editNewPassword, &m_editRetype}) {
    edit->LimitText(kMaxLength + 1);
    edit->SetWindowText(u"");
  }
  return TRUE;
}

void CQVChangePasswordDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, kCpwOld, m_editOldPassword);
  DDX_Control(dx, kCpwNew, m_editNewPassword);
  DDX_Control(dx, kCpwRetype, m_editRetype);
}

void CQVChangePasswordDialog::OnOK() {
  const CString oldPassword = TextOf(m_editOldPassword);
  const CString newPassword = TextOf(m_editNewPassword);
  const CString retyped = TextOf(m_editRetype);
  LPCWSTR refusal = nullptr;
  if (!CheckUserPassword(oldPassword)) refusal = u"MSG_DLG_CPW_INVALIDOLDPASSWORD";
  else if (newPassword != retyped) refusal = u"MSG_DLG_CPW_PASSWORDIDENTICAL";
  else if (newPassword.GetLength() < kMinLength) refusal = u"MSG_DLG_CPW_LOWVALUE";
  else if (newPassword.GetLength() > kMaxLength) refusal = u"MSG_DLG_CPW_OVERLENGTH";
  else if (!ChangePassword(newPassword)) refusal = u"MSG_DLG_CPW_CANNOTCHANGEPASSWORD";
  if (refusal) {
    InfoMsg(refusal);
    return;
  }
  CQVDialog::OnOK();
}
