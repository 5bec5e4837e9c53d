#include "viewer/browser/CGotoImageDlg.h"

#include "viewer/browser/DigitText.h"

IMPLEMENT_DYNAMIC(CGotoImageDlg, CQVDialog)

namespace {
constexpr int kNumberEdit = 1054;
constexpr int kFirstInvalid = 1000;
}  // namespace

CGotoImageDlg::CGotoImageDlg(CWnd* parent) : CQVDialog(u"IDD_GOTO_IMAGE", parent) {}

BOOL CGotoImageDlg::OnInitIDMap() {
  BeginIDMap(u"GTIMG_DLG");
  DlgItem(1053, u"DLG_GTIMG_IMAGE", TRUE);
  DlgItem(kNumberEdit, u"DLG_GTIMG_IMAGENUMBER", TRUE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CGotoImageDlg::OnInitSettings() {
  SetDlgItemText(kNumberEdit, u"");
  return TRUE;
}

LPCWSTR CGotoImageDlg::CheckNumber(const CString& text, int highest, int& number) {
  if (!browserdialogs::IsDigits(text)) return u"MSG_DLG_GTIMG_ERR_NOTNUMBER";
  const int n = browserdialogs::DigitValue(text);
  if (n >= kFirstInvalid || n <= 0) return u"MSG_DLG_GTIMG_ERR_INVALIDNUMBER";
  if (n > highest) return u"MSG_DLG_GTIMG_ERR_NOTFOUND";
  number = n;
  return nullptr;
}

void CGotoImageDlg::OnOK() {
  CString text;
  GetDlgItemText(kNumberEdit, text);
  if (LPCWSTR key = CheckNumber(text, m_nImageCount, m_nNumber)) {
    InfoMsg(key);
    return;
  }
  CQVDialog::OnOK();
}
