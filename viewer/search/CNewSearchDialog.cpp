#include "viewer/search/CNewSearchDialog.h"

#include "foundation/util/CDPXStringList.h"
#include "platform/ui/afx/CDataExchange.h"
#include "platform/ui/afx/MessageMap.h"
#include "viewer/model/CIBSPlant.h"
#include "viewer/model/CMainSettings.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CNewSearchDialog, CQVDialog)

BEGIN_MESSAGE_MAP(CNewSearchDialog, CQVDialog)
  ON_CBN_SELCHANGE(CNewSearchDialog::IDC_BATCHNAME, &CNewSearchDialog::OnBatchChange)
END_MESSAGE_MAP()

CNewSearchDialog::CNewSearchDialog(CIBSPlant* plant, CWnd* parent)
    : CQVDialog(u"IDD_NEWSEARCH_DLG", parent), m_pPlant(plant) {}

void CNewSearchDialog::SetLastValues(const CSearchPairs& pairs, LPCWSTR batchName, BOOL allBatches) {
  m_lastValues.insert(m_lastValues.end(), pairs.begin(), pairs.end());
  m_strBatchName = batchName ? batchName : u"";
  m_bAllBatches = allBatches;
}

void CNewSearchDialog::GetLastValues(CSearchPairs& pairs, CString& batchName, BOOL& allBatches) const {
  pairs = m_lastValues;
  batchName = m_strBatchName;
  allBatches = m_bAllBatches;
}

CString CNewSearchDialog::LastValue(const CString& name) const {
  const auto found = std::find_if(m_lastValues.begin(), m_lastValues.end(), [&](const auto& pair) { return pair.first == name; });
  return found == m_lastValues.end() ? CString() : found->second;
}

void CNewSearchDialog::SetLastValue(const CString& name, const CString& value) {
  const auto found = std::find_if(m_lastValues.begin(), m_lastValues.end(), [&](const auto& pair) { return pair.first == name; });
  if (found == m_lastValues.end()) m_lastValues.emplace_back(name, value);
  else found->second = value;
}

BOOL CNewSearchDialog::OnInitIDMap() {
  BeginIDMap(u"DLG_NEWSRH");
  DlgItem(IDC_INFO_BATCHNAME, u"DLG_NEWSRH_INFO_NSDBATCHNAME", TRUE);
  DlgItem(IDC_INFO_DOCNUMBER, u"DLG_NEWSRH_INFO_NSDDOCNUMBER", TRUE);
  DlgItem(IDC_BATCHNAME, u"DLG_NEWSRH_NSDBATCHNAME", FALSE);
  DlgItem(IDC_DOCNUMBER, u"DLG_NEWSRH_NSDDOCNUMBER", FALSE);
  DlgItem(IDC_SPACEHOLDER, u"DLG_NEWSRH_NSDSPACEHOLDER", FALSE);
  DlgItem(IDOK, u"DLG_OK", TRUE);
  DlgItem(IDCANCEL, u"DLG_CANCEL", TRUE);
  EndIDMap();
  return TRUE;
}

void CNewSearchDialog::DoDataExchange(CDataExchange* dx) {
  CQVDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_BATCHNAME, m_comboBatch);
  DDX_Control(dx, IDC_DOCNUMBER, m_editDocument);
  DDX_Control(dx, IDC_SPACEHOLDER, m_placeholder);
}

BOOL CNewSearchDialog::OnInitSettings() {
  if (!m_pPlant || !m_index.Create(this)) return FALSE;
  // The placeholder only marks the place of the rows, which lie over it.
  m_placeholder.ShowWindow(SW_HIDE);
  m_index.SetWindowPos(&CWnd::wndTop, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  m_pPlant->Load();
  CDPXStringList names;
  m_pPlant->GetBatchDisplayNames(names);
  m_comboBatch.ResetContent();
  int select = 0;
  CString text;
  if (names.GetCount() > 0) {
    LoadText(u"TXT_DLG_NEWSRH_CAPTION_NSDALLBATCH", text);
    m_comboBatch.AddString(text);
    for (POSITION pos = names.GetHeadPosition(); names.GetNext(pos, text);) {
      const int item = m_comboBatch.AddString(text);
      if (!m_bAllBatches && !select && text == m_strBatchName && m_pPlant->FindBatch(text)) select = item;
    }
  } else {
    LoadText(u"TXT_DLG_NEWSRH_CAPTION_NSDNOBATCH", text);
    m_comboBatch.AddString(text);
  }
  m_entries.assign(static_cast<size_t>(std::max(0, m_comboBatch.GetCount())), Entry {});
  if (m_bSwitchMode && m_comboBatch.GetCount() == 2) {
    select = 1;
    m_comboBatch.GetLBText(1, m_strBatchName);
  }
  m_comboBatch.SetCurSel(select);
  LayoutFields();
  return TRUE;
}

void CNewSearchDialog::SelectionOf(int item, int& mode, CString& name) const {
  if (m_comboBatch.GetCount() <= 1) {
    mode = -1;
    name = u"No";
  } else if (item == 0) {
    mode = 0;
    name = u"All";
  } else {
    mode = 1;
    m_comboBatch.GetLBText(item, name);
  }
}

CString CNewSearchDialog::DocumentText() const {
  CString text;
  m_editDocument.GetWindowText(text);
  return text;
}

void CNewSearchDialog::LayoutFields() {
  CRect place, batchLabel, documentLabel, documentEdit;
  GetDlgItemTemplate(IDC_SPACEHOLDER, place, FALSE);
  GetDlgItemTemplate(IDC_INFO_BATCHNAME, batchLabel, FALSE);
  GetDlgItemTemplate(IDC_INFO_DOCNUMBER, documentLabel, FALSE);
  GetDlgItemTemplate(IDC_DOCNUMBER, documentEdit, FALSE);
  const int horizontalGap = documentEdit.left - documentLabel.right;
  const int verticalGap = documentLabel.top - batchLabel.bottom;
  if (!m_lastValues.empty()) m_editDocument.SetWindowText(LastValue(CMainSettings::kDocumentKey));

  m_index.MoveWindow(&place);
  m_index.SetGeometry(documentLabel, documentEdit, horizontalGap, verticalGap);
  m_nSelection = m_comboBatch.GetCurSel();
  int rows = 0;
  if (m_nSelection >= 0 && m_nSelection < static_cast<int>(m_entries.size())) {
    int mode = -1;
    CString name;
    SelectionOf(m_nSelection, mode, name);
    CDPXStringList fields;
    m_pPlant->GetFieldNames(mode, name, fields);
    Entry& entry = m_entries[static_cast<size_t>(m_nSelection)];
    if (fields.GetCount() > 0) {
      if (entry.bNeedsFilling) {
        entry.pairs.clear();
        CString field;
        for (POSITION pos = fields.GetHeadPosition(); fields.GetNext(pos, field);) entry.pairs.emplace_back(field, CString());
        entry.bNeedsFilling = FALSE;
      }
      for (auto& [field, value] : entry.pairs) value = LastValue(field);
      if (m_index.BuildRows(entry.pairs)) rows = m_index.GetRowCount();
    }
  }
  if (rows == 0) {
    m_index.BuildRows({});
    m_index.ShowWindow(SW_HIDE);
    place.bottom = place.top;
  } else {
    const int pitch = documentLabel.Height() + verticalGap;
    const int rowsWidth = place.Width();
    place.bottom = place.top + pitch * std::min<int>(rows, kMostVisibleRows);
    // Rows that scroll get room for the scroll bar beside them.
    if (rows > kMostVisibleRows) place.right += GetSystemMetrics(SM_CXVSCROLL);
    m_index.MoveWindow(&place);
    m_index.ShowWindow(SW_SHOW);
    m_index.SetScrollSize(rowsWidth, pitch * rows);
  }
  MoveDlgItem(IDC_SPACEHOLDER, place, FALSE);

  AlignDlgItems(IDC_SPACEHOLDER, IDCANCEL, 9, 3, 0, verticalGap, FALSE);
  AlignDlgItems(IDCANCEL, IDOK, 7, 5, -horizontalGap, 0, FALSE);
  CRect cancel, client, window;
  GetDlgItemTemplate(IDCANCEL, cancel, FALSE);
  GetClientRect(&client);
  GetWindowRect(&window);
  if (m_nTemplateClientWidth <= 0) m_nTemplateClientWidth = client.Width();
  const int width = std::max(m_nTemplateClientWidth, place.right + place.left) - client.Width();
  const int height = cancel.bottom + verticalGap - client.Height();
  SetWindowPos(nullptr, 0, 0, window.Width() + width, window.Height() + height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Invalidate();
}

void CNewSearchDialog::KeepTyped(int item) {
  if (item < 0 || item >= static_cast<int>(m_entries.size())) return;
  Entry& entry = m_entries[static_cast<size_t>(item)];
  if (!m_index.GetValues(entry.pairs)) return;
  for (const auto& [field, value] : entry.pairs) SetLastValue(field, value);
  entry.bNeedsFilling = FALSE;
}

void CNewSearchDialog::OnBatchChange() {
  SetLastValue(CMainSettings::kDocumentKey, DocumentText());
  KeepTyped(m_nSelection);
  LayoutFields();
}

void CNewSearchDialog::OnOK() {
  if (!m_index.GetSafeHwnd() || !m_pPlant) return;
  const CString document = DocumentText();
  SetLastValue(CMainSettings::kDocumentKey, document);
  m_pPlant->SetDocumentPattern(document.IsEmpty() ? CString(u"*") : document);
  m_pPlant->ClearQuery();
  const int item = m_comboBatch.GetCurSel();
  if (item < 0 || item >= static_cast<int>(m_entries.size())) return;
  int mode = -1;
  CString name;
  SelectionOf(item, mode, name);
  KeepTyped(item);
  for (const auto& [field, value] : m_entries[static_cast<size_t>(item)].pairs) {
    m_pPlant->AddQueryPair(field, value.IsEmpty() ? CString(u"*") : value);
  }
  m_pPlant->SetBatchSelection(mode, name);
  m_bAllBatches = mode != 1;
  m_strBatchName = mode == 1 ? name : CString();
  CQVDialog::OnOK();
}
