#include "viewer/browser/CGotoDocumentDlg.h"

#include "platform/ui/win/winctrl.h"
#include "viewer/browser/DigitText.h"
#include "viewer/model/CIBSPlant.h"

IMPLEMENT_DYNAMIC(CGotoDocumentDlg, CQVDialog)

namespace {
constexpr int kBatchCombo = 1050;
constexpr int kNumberEdit = 1052;
constexpr int kNumberDigits = 8;
}  // namespace

CGotoDocumentDlg::CGotoDocumentDlg(CIBSPlant* store, CWnd* parent)
    : CQVDialog(u"IDD_GOTO_DOCUMENT", parent), m_pStore(store) {}

void CGotoDocumentDlg::GetSelection(CString& batch, CString& number) const {
  batch = m_strBatch;
  number = m_strNumber;
}

BOOL CGotoDocumentDlg::OnInitIDMap() {
  BeginIDMap(u"GTDOC_DLG");
  DlgItem(1049, u"DLG_GTDOC_BATCHNAME", TRUE);
  DlgItem(1051, u"DLG_GTDOC_DOCNUMBER", TRUE);
  DlgItem(kBatchCombo, u"DLG_GTDOC_COMBOBATCHNAME", FALSE);
  DlgItem(kNumberEdit, u"DLG_GTDOC_EDITDOCNUMBER", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

BOOL CGotoDocumentDlg::OnInitSettings() {
  CWnd* combo = GetDlgItem(kBatchCombo);
  if (!combo) return FALSE;
  CDPXStringList names;
  m_nBatchCount = m_pStore ? m_pStore->GetResultBatchDisplayNames(names) : 0;
  for (POSITION pos = names.GetHeadPosition(); pos;) {
    CString name;
    names.GetNext(pos, name);
    combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.GetString()));
  }
  if (m_nBatchCount == 0) {
    CString none;
    LoadText(u"TXT_DLG_GTDOC_NOBATCHES", none);
    combo->SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(none.GetString()));
  }
  CString current;
  if (m_nBatchCount == 0 || !m_pStore->GetCurrentBatchDisplayName(current) ||
      combo->SendMessage(CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(current.GetString())) == CB_ERR)
    combo->SendMessage(CB_SETCURSEL, 0, 0);
  if (CWnd* edit = GetDlgItem(kNumberEdit)) edit->SetFocus();
  return TRUE;
}

LPCWSTR CGotoDocumentDlg::CheckNumber(const CString& text, CString& number) {
  if (!browserdialogs::IsDigits(text)) return u"MSG_DLG_GTDOC_ERR_INVALIDNUMBER";
  int first = 0;
  while (first < text.GetLength() && text[first] == u'0') ++first;
  if (text.GetLength() - first > kNumberDigits) return u"MSG_DLG_GTDOC_ERR_NODOC";
  number.Format(u"%08d", browserdialogs::DigitValue(text));
  return nullptr;
}

void CGotoDocumentDlg::OnOK() {
  if (m_nBatchCount == 0) {
    InfoMsg(u"MSG_DLG_GTDOC_ERR_NOBATCH");
    return;
  }
  CString text, number, batch;
  GetDlgItemText(kNumberEdit, text);
  if (LPCWSTR key = CheckNumber(text, number)) {
    InfoMsg(key);
    return;
  }
  GetDlgItemText(kBatchCombo, batch);
  if (!m_pStore->IsResultDocument(batch, number)) {
    InfoMsg(u"MSG_DLG_GTDOC_ERR_NODOC");
    return;
  }
  m_strBatch = batch;
  m_strNumber = number;
  CQVDialog::OnOK();
}
