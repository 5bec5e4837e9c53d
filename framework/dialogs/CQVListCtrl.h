#pragma once
// CQVListCtrl: a report list whose columns are declared before its window is made, each sortable
// or not. Clicking a sortable column's header (or SortItems(column, TRUE)) cycles it through
// ascending, descending and unsorted; the sorted column shows an arrow in the header, and the
// other columns fall back to unsorted.
//
// Rows sort by the texts of the sorted column, the way a reader expects: when every non-empty
// text of the column is a number the column sorts by value, when every one is a date (2024-03-05,
// 05.03.2024 or 03/05/2024, optionally with a time) by date, otherwise as text without regard to
// case. Empty texts come first. Equal rows keep their order, and rows need no item data of their
// own: the comparison function SortProc is given the rows' places in the list, not their data.

#include "platform/ui/afx/CListCtrl.h"
#include "platform/gdi/CBitmap.h"

#include <memory>
#include <vector>

class CQVListColumnInfo : public CObject {
  DECLARE_DYNAMIC(CQVListColumnInfo)
public:
  enum { stateNone = 0, stateSortable = 1, stateAscending = 2, stateDescending = 3 };

  CString m_strTitle;
  int m_nIndex { -1 };
  int m_nFormat { 0 };  // LVCFMT_...
  int m_nWidth { 100 };
  int m_nSortState { stateNone };
};

class CQVListCtrl : public CListCtrl {
  DECLARE_DYNAMIC(CQVListCtrl)
public:
  CQVListCtrl() = default;
  ~CQVListCtrl() override;

  // The column's index, or -1 (nothing added) when memory runs out.
  int AddColumnInfo(LPCWSTR title, UINT format, UINT width, BOOL sortable);
  // Null outside 0 .. count - 1.
  CQVListColumnInfo* GetColumnInfo(int column);
  int GetColumnInfoCount() const { return static_cast<int>(m_columns.size()); }
  void ClearColumnInfoList() { m_columns.clear(); }

  // FALSE without declared columns, or when a column cannot be put in its place (no window is
  // left then). The extended list-view style becomes exStyle.
  BOOL Create(DWORD style, DWORD exStyle, CRect rect, CWnd* parent, UINT id);

  // Sorts by the column: with toggle the column moves on to its next state; FALSE for a column
  // that is not declared or not sortable.
  BOOL SortItems(int column, BOOL toggle);
  // Sorts again by the present state (after rows changed) and refreshes the arrows.
  BOOL SortItems();
  // Sorts with the caller's comparison of the rows' item data; FALSE without one.
  BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data);
  static int SortProc(LPARAM first, LPARAM second, LPARAM list);
  // The first sorted column and its state; -1 when none is sorted.
  int GetSortColumn(int& state) const;

  void UpdateHeader();
  // The two header arrows, shared by every list; rebuilt when missing or forced.
  static void CreateSortIndicator(BOOL force);
  static CBitmap& SortArrow(BOOL descending) { return descending ? s_bmpSortDesc : s_bmpSortAsc; }

  int CountSelectedItem() const;
  // The n-th selected row in index order; -1 when n < 0 or fewer are selected.
  int GetSelectedItem(int n) const;
  BOOL IsItemSelected(int item) const;
  int CountCheckedItem() const;
  int GetCheckedItem(int n) const;
  BOOL IsItemChecked(int item) const;

protected:
  // The text a row sorts by in the column; the list's own text unless a derived list has it at hand.
  virtual CString GetSortText(int item, int column) const { return GetItemText(item, column); }

  BOOL OnColumnClick(UINT id, NMHDR* nmhdr, LRESULT* result);
  void OnSysColorChange();
  DECLARE_MESSAGE_MAP()

private:
  // How a column's texts compare.
  struct SortKey {
    int kind {};  // 0 empty, 1 number, 2 date, 3 text
    double number {};
    CString text;
    CString folded;  // the text in lower case, made once rather than at every comparison
  };
  BOOL SortByTexts();

  std::vector<std::unique_ptr<CQVListColumnInfo>> m_columns;
  int m_nSortColumn { -1 };
  int m_nSortState { CQVListColumnInfo::stateSortable };
  std::vector<SortKey> m_sortKeys;  // by row, while the list sorts

  static inline CBitmap s_bmpSortAsc;
  static inline CBitmap s_bmpSortDesc;
};
