#pragma once
// Asks for the number of a page of the current document (1 to 999, and at most its page count).

#include "framework/dialogs/CQVDialog.h"

class CGotoImageDlg : public CQVDialog {
  DECLARE_DYNAMIC(CGotoImageDlg)
public:
  explicit CGotoImageDlg(CWnd* parent = nullptr);

  // The highest page number that may be chosen.
  void SetImageCount(int count) { m_nImageCount = count; }
  // The number chosen with OK.
  void GetNumber(int& number) const { number = m_nNumber; }

  // The message key for the typed text, null when it is a page number; `number` takes it.
  static LPCWSTR CheckNumber(const CString& text, int highest, int& number);

protected:
  BOOL OnInitIDMap() override;
  BOOL OnInitSettings() override;
  void OnOK() override;

  int m_nImageCount { 0 };
  int m_nNumber { 0 };
};
