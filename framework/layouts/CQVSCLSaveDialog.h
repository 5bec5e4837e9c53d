#pragma once
// CQVSCLSaveDialog: saves the current screen layout in the shared store under a name typed or
// picked from the layouts there. The list shows display names: a text that is one of them means
// that layout, whatever its ID; any other text is the ID of the layout to save. The layout is
// locked from opening to closing, so another workstation saving it at the same time is refused
// (and told so); a save that fails puts nothing in place and leaves an existing layout as it was.
// The store's ID list is read as it stands: the caller refreshes it (IDList_Refresh) first.

#include "framework/dialogs/CQVComboBox.h"
#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CStatic.h"

class CQVSCLItem;
class CQVSCLManager;

class CQVSCLSaveDialog : public CQVDialog {
  DECLARE_DYNAMIC(CQVSCLSaveDialog)
public:
  explicit CQVSCLSaveDialog(CWnd* parent = nullptr);

  // TRUE when the dialog ended with OK, the layout saved.
  BOOL DoDialog(CQVSCLManager& store);

protected:
  // Writes the program's keys and dock state into the opened layout; FALSE fails the save. The
  // base writes nothing.
  virtual BOOL SaveLayout(CQVSCLItem&) { return TRUE; }

  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;

  CQVSCLManager* m_pStore { nullptr };
  CStatic m_stName;
  CQVComboBox m_cbName;
};
