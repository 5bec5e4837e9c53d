#pragma once
// CQVSCLDeleteDialog: deletes one screen layout of the shared store, or all of them. A layout
// that another workstation holds open cannot be deleted, which the dialog tells, staying open.
// The store's ID list is read as it stands: the caller refreshes it (IDList_Refresh) first.

#include "framework/dialogs/CQVComboBox.h"
#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CButton.h"
#include "platform/ui/afx/CStatic.h"

class CQVSCLManager;

class CQVSCLDeleteDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVSCLDeleteDialog)
public:
  explicit CQVSCLDeleteDialog(CWnd* parent = nullptr);

  // With no layout in the store's list, tells so and answers FALSE without showing the dialog;
  // else TRUE when it ended with OK.
  BOOL DoDialog(CQVSCLManager& store);

protected:
  // Base: the store's Delete.
  virtual BOOL DeleteLayout(LPCWSTR id);

  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  // The list takes input only while "delete all" is not checked.
  void OnDeleteAll();

  DECLARE_MESSAGE_MAP()

  CQVSCLManager* m_pStore { nullptr };
  CStatic m_stName;
  CQVComboBox m_cbName;
  CButton m_btnDeleteAll;
};
