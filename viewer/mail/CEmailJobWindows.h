#pragma once
// CEmailJobWindows: the e-mail job's questions and messages as message boxes with texts of the
// viewer's language file, and its sending on a worker behind a CProgressDlg.

#include "framework/dialogs/CQVDialogHelper.h"
#include "viewer/mail/CEmailJobUI.h"

class CEmailJobWindows : public CEmailJobUI {
public:
  // Boxes and the progress window belong to `parent` (null: the main window).
  explicit CEmailJobWindows(CWnd* parent = nullptr) : m_pParent(parent), m_helper(parent) {}

  void ErrorMsg(LPCWSTR textKey, const CString& mailClient) override;
  BOOL YesNoMsg(LPCWSTR textKey) override;
  void RunWithProgress(int steps, const std::function<void(const Step& step)>& work) override;

private:
  CWnd* m_pParent { nullptr };
  CQVDialogHelper m_helper;
};
