#pragma once
// Asks for a result document by its batch and document number. The batches offered are those that
// hold results; the number is completed to eight digits with leading zeros.

#include "framework/dialogs/CQVDialog.h"

class CIBSPlant;

class CGotoDocumentDlg : public CQVDialog {
  DECLARE_DYNAMIC(CGotoDocumentDlg)
public:
  // The store is not owned.
  CGotoDocumentDlg(CIBSPlant* store, CWnd* parent = nullptr);

  // The batch display name and document number chosen with OK.
  void GetSelection(CString& batch, CString& number) const;

  // The message key for the typed number, null when it is one; `number` takes its eight digits.
  // More than eight digits (leading zeros aside) name no document.
  static LPCWSTR CheckNumber(const CString& text, CString& number);

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void OnOK() override;

  CIBSPlant* m_pStore { nullptr };
  CString m_strBatch;
  CString m_strNumber;
  int m_nBatchCount { 0 };
};
