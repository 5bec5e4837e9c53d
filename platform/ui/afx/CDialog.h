#pragma once
// CDialog: a window made from a dialog template, modal (DoModal) or modeless (Create). The dialog
// manager's keys reach it through PreTranslateMessage: Enter sends IDOK (or the focused or default
// push button's ID) and Escape IDCANCEL as commands, so OnOK and OnCancel decide what happens; the
// close box does what Cancel does.

#include "platform/ui/afx/CWnd.h"
#include "platform/ui/win/winctrl.h"

struct DialogTemplate;

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
public:
  CDialog() = default;
  explicit CDialog(UINT templateId, CWnd* parent = nullptr);
  explicit CDialog(LPCWSTR templateName, CWnd* parent = nullptr);
  ~CDialog() override;

  // Modeless: makes the dialog (visible when its template says WS_VISIBLE).
  virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
  virtual BOOL Create(LPCWSTR templateName, CWnd* parent = nullptr);
  BOOL CreateIndirect(const DialogTemplate* dialogTemplate, CWnd* parent = nullptr);
  // Makes DoModal use this template (it must live as long as the dialog).
  BOOL InitModalIndirect(const DialogTemplate* dialogTemplate, CWnd* parent = nullptr);
  // Modal: disables the owner (the parent's top-level window, else the main window), runs until
  // EndDialog and answers its code; -1 when the template is missing or the dialog cannot be made.
  virtual INT_PTR DoModal();
  void EndDialog(int result);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();

  void NextDlgCtrl() const;
  void PrevDlgCtrl() const;
  void GotoDlgCtrl(CWnd* control);
  void SetDefID(UINT id);
  DWORD GetDefID() const;
  void MapDialogRect(LPRECT rect) const;
  BOOL IsModal() const { return m_bModal; }

  BOOL PreTranslateMessage(MSG* msg) override;
  LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  LPCWSTR m_lpszTemplateName {};
  UINT m_nIDHelp {};
  CWnd* m_pParentWnd {};

protected:
  // The template this dialog is made from: the one given, else the one found by name or ID.
  const DialogTemplate* FindTemplate() const;
  // The window a modal run disables.
  HWND ModalOwnerWindow() const;
  LRESULT HandleInitDialog(WPARAM, LPARAM);

  DECLARE_MESSAGE_MAP()

private:
  void SetTemplateName(LPCWSTR name);
  CString m_templateName;
  const DialogTemplate* m_pTemplate {};
  BOOL m_bModal {};
};
