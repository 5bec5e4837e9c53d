#pragma once
// CQVLogonDialog asks for a user name and a password; CQVChangePasswordDialog for the old password
// and a new one twice. Neither knows where users are kept: each asks virtual hooks that a derived
// class implements against the application's user store, and stays open with a message while a
// hook refuses. Password fields are masked. Cancel ends either without asking any hook.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CEdit.h"

class CQVLogonDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVLogonDialog)
public:
  explicit CQVLogonDialog(CWnd* parent = nullptr);

  // Offers the user name (trimmed) with an empty password; TRUE when the dialog ended with OK,
  // and then GetUserName and GetPassword give what was accepted.
  BOOL DoLogon(LPCWSTR userName);
  const CString& GetUserName() const { return m_strUserName; }
  const CString& GetPassword() const { return m_strPassword; }

protected:
  // Whether the user may log on; nobody may in the base.
  virtual BOOL Logon(LPCWSTR, LPCWSTR) { return FALSE; }

  void OnOK() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;

  CString m_strUserName;
  CString m_strPassword;
  CEdit m_editUserName;
  CEdit m_editPassword;
};

class CQVChangePasswordDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVChangePasswordDialog)
public:
  explicit CQVChangePasswordDialog(CWnd* parent = nullptr);

  // The user whose password changes, for the hooks; TRUE when the dialog ended with OK.
  BOOL DoChangePassword(LPCWSTR userName);
  const CString& GetUserName() const { return m_strUserName; }

  // New passwords have 4 to 20 characters; the fields take one more, so that too long a password
  // is told rather than cut.
  static constexpr int kMinLength = 4;
  static constexpr int kMaxLength = 20;

protected:
  // Both refuse in the base.
  virtual BOOL CheckUserPassword(LPCWSTR) { return FALSE; }
  virtual BOOL ChangePassword(LPCWSTR) { return FALSE; }

  void OnOK() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;

  CString m_strUserName;
  CEdit m_editOldPassword;
  CEdit m_editNewPassword;
  CEdit m_editRetype;
};
