#pragma once
// CFormulaSetupDlg edits one e-mail formula (see CFormula): index fields are picked from a list
// and added as field items, the last item or the whole formula can be deleted, and OK checks the
// formula before it is taken.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CEdit.h"
#include "platform/ui/afx/CListBox.h"
#include "viewer/mail/CFormula.h"

#include <vector>

class CFormulaSetupDlg : public CQVDialog {
  DECLARE_DYNAMIC(CFormulaSetupDlg)
public:
  explicit CFormulaSetupDlg(CWnd* parent = nullptr);

  // The listed index fields, and the items also allowed but not listed.
  void SetLabels(const std::vector<CString>& labels) { m_labels = labels; }
  void SetExtraItems(const std::vector<CString>& items) { m_extraItems = items; }
  // Shows the formula; after OK it holds the edited text and the answer is TRUE.
  BOOL Edit(CString& formula);

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnAddItem();
  void OnDeleteItem();
  void OnDeleteFormula();
  DECLARE_MESSAGE_MAP()

private:
  std::vector<CString> m_labels;
  std::vector<CString> m_extraItems;
  CString m_strFormula;
  CListBox m_list;
  CEdit m_edit;
};

// Checks the formula of an edit of `dialog`: TRUE when it is valid; otherwise the error is shown
// ("MSG_DLG_EML_ERRORSETUP_INDEX" for an unknown field, "MSG_DLG_EML_ERRORSETUP_TEXT" for
// anything else) and the character where the fault begins is selected in the edit.
BOOL CheckFormulaEdit(CQVDialog& dialog, CEdit& edit, const CFormula& formula);

// The formula without its last item: a whole literal or field item when it ends with one, else
// its last line break (CR LF together).
CString WithoutLastItem(const CString& formula);
