#pragma once
// CNewEmailDlg: the e-mail options before images are sent: the mail program, subject, To, Cc, Bcc
// and attachment name as formulas over the documents' index fields, the images to attach, the
// body (with or without the document's index data), one combined TIFF or not, and the daily log.
// The caller sets the record, the index-field names and the number of images, shows the dialog
// modally and after OK reads the record back.

#include "framework/dialogs/CQVDialog.h"
#include "platform/ui/afx/CComboBox.h"
#include "platform/ui/afx/CEdit.h"
#include "viewer/model/CMainSettings.h"

#include <vector>

class CNewEmailDlg : public CQVDialog {
  DECLARE_DYNAMIC(CNewEmailDlg)
public:
  explicit CNewEmailDlg(CWnd* parent = nullptr);

  void SetLabels(const std::vector<CString>& labels) { m_labels = labels; }

  EmailSetting m_setting;
  // 0 when the caller has no ranges of images (the search results): all images are sent.
  int m_nRangeAvailable { -1 };
  int m_nImageCount { 0 };
  BOOL m_bNoClients { FALSE };

protected:
  // Lets the user edit one formula (CFormulaSetupDlg); TRUE after OK.
  virtual BOOL EditFormula(CString& formula, const std::vector<CString>& extraItems);
  // Lets the user pick the log folder; TRUE with a folder.
  virtual BOOL BrowseFolder(CString& folder);

  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnOK() override;
  void OnSetupSubject() { SetupFormula(kSubjectEdit); }
  void OnSetupTo() { SetupFormula(kToEdit); }
  void OnSetupCc() { SetupFormula(kCcEdit); }
  void OnSetupBcc() { SetupFormula(kBccEdit); }
  void OnSetupAttachName() { SetupFormula(kAttachNameEdit); }
  void OnSetupBody();
  void OnIndexDataClicked();
  void OnBodyChanged();
  void OnRangeClicked();
  void OnLogClicked();
  void OnBrowse();
  DECLARE_MESSAGE_MAP()

private:
  enum : int {
    kSubjectEdit = 1237,
    kToEdit = 1240,
    kCcEdit = 1243,
    kBccEdit = 1246,
    kAttachNameEdit = 1249,
    kBodyEdit = 1261,
  };
  void FillMailClients();
  void SetupFormula(int editId);
  // The index-data field item: "<Associated Document Index Data>".
  static CString IndexDataItem();
  CString ItemText(int id) const;
  void UpdateRangeEdits();
  // Checks the formula in the edit; the error is shown on it.
  BOOL CheckFormula(int editId, BOOL body);

  std::vector<CString> m_labels;
  CComboBox m_clients;
  CEdit m_edits[6];
};
