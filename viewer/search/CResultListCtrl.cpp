#include "viewer/search/CResultListCtrl.h"

#include "foundation/util/CDPXStringList.h"
#include "platform/ui/afx/MessageMap.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNAMIC(CResultRow, CObject)
IMPLEMENT_DYNAMIC(CResultListCtrl, CQVListCtrl)

BEGIN_MESSAGE_MAP(CResultListCtrl, CQVListCtrl)
  ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, &CResultListCtrl::OnColumnClick)
  ON_NOTIFY_REFLECT(LVN_GETDISPINFOW, &CResultListCtrl::OnGetDispInfo)
  ON_NOTIFY_REFLECT(LVN_DELETEALLITEMS, &CResultListCtrl::OnDeleteAllItems)
END_MESSAGE_MAP()

const CString& CResultRow::GetText(int column) const {
  static const CString empty;
  if (column == 0) return m_strBatchName;
  if (column == 1) return m_strDocumentNumber;
  const size_t value = static_cast<size_t>(column - 2);
  return column >= 2 && value < m_values.size() ? m_values[value] : empty;
}

CResultListCtrl::~CResultListCtrl() = default;

BOOL CResultListCtrl::SetFixedColumns(LPCWSTR batchTitle, LPCWSTR numberTitle) {
  Clear();
  ClearColumnInfoList();
  if (AddColumnInfo(batchTitle, LVCFMT_LEFT, kColumnWidth, TRUE) < 0 ||
      AddColumnInfo(numberTitle, LVCFMT_LEFT, kColumnWidth, TRUE) < 0) {
    return FALSE;
  }
  if (!GetSafeHwnd()) return TRUE;
  for (int column = 0; column < 2; ++column) {
    const CQVListColumnInfo* info = GetColumnInfo(column);
    LVCOLUMNW description {LVCF_TEXT, 0, 0, const_cast<LPWSTR>(info->m_strTitle.GetString()), 0, 0};
    SetColumn(column, &description);
  }
  return TRUE;
}

BOOL CResultListCtrl::AddFieldColumns(const CDPXStringList& names) {
  CString name;
  for (POSITION pos = names.GetHeadPosition(); names.GetNext(pos, name);) {
    const int column = AddColumnInfo(name, LVCFMT_LEFT, kColumnWidth, TRUE);
    if (column < 0) return FALSE;
    if (GetSafeHwnd() && InsertColumn(column, name, LVCFMT_LEFT, kColumnWidth, column) != column) return FALSE;
  }
  return TRUE;
}

void CResultListCtrl::Clear() {
  if (GetSafeHwnd()) {
    DeleteAllItems();
    for (int column = GetColumnInfoCount() - 1; column >= 2; --column) DeleteColumn(column);
  }
  if (GetColumnInfoCount() > 2) {
    // The declared columns follow the window's: the first two stay, unsorted.
    const CString batchTitle = GetColumnInfo(0)->m_strTitle;
    const CString numberTitle = GetColumnInfo(1)->m_strTitle;
    ClearColumnInfoList();
    AddColumnInfo(batchTitle, LVCFMT_LEFT, kColumnWidth, TRUE);
    AddColumnInfo(numberTitle, LVCFMT_LEFT, kColumnWidth, TRUE);
  }
  m_rows.clear();
}

int CResultListCtrl::AddRow(std::unique_ptr<CResultRow> row) {
  if (!row || !GetSafeHwnd()) return -1;
  try {
    m_rows.push_back(std::move(row));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  LVITEMW item {};
  item.mask = LVIF_TEXT | LVIF_PARAM;
  item.iItem = static_cast<int>(m_rows.size()) - 1;  // the list holds the rows before this one
  item.pszText = LPSTR_TEXTCALLBACKW;
  item.lParam = reinterpret_cast<LPARAM>(m_rows.back().get());
  const int inserted = InsertItem(&item);
  if (inserted < 0) m_rows.pop_back();
  return inserted;
}

CResultRow* CResultListCtrl::GetRow(int item) const {
  // An item the list lacks has no data.
  return item < 0 ? nullptr : reinterpret_cast<CResultRow*>(GetItemData(item));
}

CString CResultListCtrl::GetSortText(int item, int column) const {
  const CResultRow* row = GetRow(item);
  return row ? row->GetText(column) : CString();
}

BOOL CResultListCtrl::SortByColumn(int column, BOOL ascending) {
  CQVListColumnInfo* info = GetColumnInfo(column);
  if (!info) return FALSE;
  info->m_nSortState = ascending ? CQVListColumnInfo::stateAscending : CQVListColumnInfo::stateDescending;
  return SortItems(column, FALSE);
}

int CResultListCtrl::GetSortColumn(BOOL& ascending) const {
  int state = CQVListColumnInfo::stateNone;
  const int column = CQVListCtrl::GetSortColumn(state);
  ascending = state != CQVListColumnInfo::stateDescending;
  return column;
}

void CResultListCtrl::SetMultiSelect(BOOL multi) {
  if (GetSafeHwnd()) ModifyStyle(multi ? LVS_SINGLESEL : 0, multi ? 0 : LVS_SINGLESEL);
}

// A click sorts ascending, a second click on the same column descending, and so on in turn.
BOOL CResultListCtrl::OnColumnClick(UINT, NMHDR* nmhdr, LRESULT*) {
  const auto* click = reinterpret_cast<const NMLISTVIEW*>(nmhdr);
  if (!click) return FALSE;
  BOOL ascending = TRUE;
  const BOOL wasAscending = GetSortColumn(ascending) == click->iSubItem && ascending;
  SortByColumn(click->iSubItem, !wasAscending);
  return FALSE;  // the parent hears of the click as well
}

// The rows belong to the list, not to its items: no item needs to be told that it goes.
void CResultListCtrl::OnDeleteAllItems(NMHDR*, LRESULT* result) { *result = TRUE; }

void CResultListCtrl::OnGetDispInfo(NMHDR* nmhdr, LRESULT* result) {
  *result = 0;
  auto* info = reinterpret_cast<NMLVDISPINFOW*>(nmhdr);
  if (!(info->item.mask & LVIF_TEXT) || !info->item.pszText || info->item.cchTextMax <= 0) return;
  const CResultRow* row = reinterpret_cast<const CResultRow*>(info->item.lParam);
  if (!row) row = GetRow(info->item.iItem);
  const CString& text = row ? row->GetText(info->item.iSubItem) : CString();
  // The list's buffer may be shorter than the text: the text is cut, never written past it.
  const int length = std::min(text.GetLength(), info->item.cchTextMax - 1);
  std::copy_n(text.GetString(), length, info->item.pszText);
  info->item.pszText[length] = 0;
}
