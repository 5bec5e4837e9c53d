#pragma once
// CQVScreenLayoutDialog: names a screen layout of a profile to save, or picks one (or all) to
// delete. The saving itself is the program's (OnSaveScreenLayout); the base refuses it, so the
// dialog stays open. A save that the hook refuses leaves the profile file and the layout's
// dock-state file as they were before the hook ran, whatever the hook changed on the way. The
// dialog keeps itself open while a hook refuses, so that the user can correct the name or cancel.

#include "framework/dialogs/CQVComboBox.h"
#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CButton.h"

class CQVScreenLayoutProfile;

class CQVScreenLayoutDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVScreenLayoutDialog)
public:
  enum { modeSave = 1, modeDelete = 2 };

  explicit CQVScreenLayoutDialog(CWnd* parent = nullptr);

  // Both TRUE when the dialog ended with OK. DoDelete shows nothing for a profile without layouts.
  BOOL DoSave(CQVScreenLayoutProfile& profile);
  BOOL DoDelete(CQVScreenLayoutProfile& profile);

protected:
  // Saves the current layout under the name as typed; FALSE keeps the dialog open.
  virtual BOOL OnSaveScreenLayout(CQVScreenLayoutProfile&, LPCWSTR) { return FALSE; }
  // Asks, then deletes layout `index`, or every layout for -1; FALSE (the user said No) keeps the
  // dialog open.
  virtual BOOL OnDeleteScreenLayout(CQVScreenLayoutProfile& profile, int index);

  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;

  // The titles of the layouts in index order; FALSE, with the list empty, on any failure.
  BOOL InitLayoutList();
  // In delete mode the list takes input only while "delete all" is not checked.
  void RefreshDialog();

  DECLARE_MESSAGE_MAP()

  int m_nMode { modeSave };
  CQVScreenLayoutProfile* m_pProfile { nullptr };
  CQVComboBox m_cbName;
  CButton m_btnDeleteAll;

private:
  BOOL Run(CQVScreenLayoutProfile& profile, int mode);
  void OnSaveOK();
  void OnDeleteOK();
};
