#pragma once
// The new-search dialog: the user states a query over the store of published batches. It opens the
// store as it starts, offers "all batches" and each batch found, one row per index field of the
// chosen batch (CIndexDlg) and the document number; what was typed is kept per choice of batch and
// across searches (the last values). OK writes the query into the store; the search command runs it.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "viewer/search/CIndexDlg.h"

class CIBSPlant;

class CNewSearchDialog : public CQVDialog {
  DECLARE_DYNAMIC(CNewSearchDialog)
public:
  enum {
    IDC_INFO_BATCHNAME = 1105,
    IDC_BATCHNAME = 1106,
    IDC_DOCNUMBER = 1107,
    IDC_INFO_DOCNUMBER = 1108,
    IDC_SPACEHOLDER = 1109,
    kMostVisibleRows = 10,
  };

  CNewSearchDialog(CIBSPlant* plant, CWnd* parent = nullptr);

  // The last values: pairs (field name, pattern), the document number under "__DOCUMENT__".
  // SetLastValues appends them as they come; GetLastValues gives them all back.
  void SetLastValues(const CSearchPairs& pairs, LPCWSTR batchName, BOOL allBatches);
  void GetLastValues(CSearchPairs& pairs, CString& batchName, BOOL& allBatches) const;
  // With the switch ("-M:") and exactly one batch, that batch is chosen at once.
  void SetSwitchMode(BOOL on) { m_bSwitchMode = on; }

  CIndexDlg& GetIndexDlg() { return m_index; }

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnBatchChange();
  DECLARE_MESSAGE_MAP()

private:
  // What was typed for one item of the batch choice.
  struct Entry {
    CSearchPairs pairs;
    BOOL bNeedsFilling { TRUE };
  };

  // Places the rows of the chosen item and the buttons under them.
  void LayoutFields();
  // The selection of the store that an item of the batch choice stands for.
  void SelectionOf(int item, int& mode, CString& name) const;
  CString LastValue(const CString& name) const;
  void SetLastValue(const CString& name, const CString& value);
  // The rows' texts into the entry of the item, and from there into the last values.
  void KeepTyped(int item);
  CString DocumentText() const;

  CIBSPlant* m_pPlant;
  CIndexDlg m_index;
  CComboBox m_comboBatch;
  CEdit m_editDocument;
  CStatic m_placeholder;
  std::vector<Entry> m_entries;
  CSearchPairs m_lastValues;
  CString m_strBatchName;
  BOOL m_bAllBatches { FALSE };
  int m_nSelection { -1 };
  int m_nTemplateClientWidth { 0 };
  BOOL m_bSwitchMode { FALSE };
};
