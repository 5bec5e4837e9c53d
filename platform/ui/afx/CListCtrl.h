#pragma once
// CListCtrl: a list view in report view.

#include "platform/core/CRect.h"
#include "platform/ui/afx/CHeaderCtrl.h"

class CImageList;

class CListCtrl : public CWnd {
  DECLARE_DYNAMIC(CListCtrl)
public:
  BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    return CWnd::Create(WC_LISTVIEWW, nullptr, style, rect, parent, id);
  }
  CHeaderCtrl* GetHeaderCtrl() const;
  int InsertColumn(int index, const LVCOLUMNW* column) {
    return static_cast<int>(SendMessage(LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(column)));
  }
  int InsertColumn(int index, LPCWSTR heading, int format = LVCFMT_LEFT, int width = -1, int subItem = -1);
  BOOL DeleteColumn(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(index))); }
  BOOL GetColumn(int index, LVCOLUMNW* column) const {
    return static_cast<BOOL>(SendMessage(LVM_GETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(column)));
  }
  BOOL SetColumn(int index, const LVCOLUMNW* column) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(column)));
  }
  int GetColumnWidth(int index) const { return static_cast<int>(SendMessage(LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(index))); }
  BOOL SetColumnWidth(int index, int width) {
    return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(index), MAKELPARAM(width, 0)));
  }
  int InsertItem(const LVITEMW* item) { return static_cast<int>(SendMessage(LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  int InsertItem(int index, LPCWSTR text);
  int InsertItem(UINT mask, int index, LPCWSTR text, UINT state, UINT stateMask, int image, LPARAM param);
  BOOL DeleteItem(int index) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(index))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL GetItem(LVITEMW* item) const { return static_cast<BOOL>(SendMessage(LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  BOOL SetItem(const LVITEMW* item) { return static_cast<BOOL>(SendMessage(LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(item))); }
  CString GetItemText(int index, int subItem) const;
  int GetItemText(int index, int subItem, LPWSTR text, int length) const;
  BOOL SetItemText(int index, int subItem, LPCWSTR text);
  DWORD_PTR GetItemData(int index) const;
  BOOL SetItemData(int index, DWORD_PTR data);
  UINT GetItemState(int index, UINT mask) const {
    return static_cast<UINT>(SendMessage(LVM_GETITEMSTATE, static_cast<WPARAM>(index), static_cast<LPARAM>(mask)));
  }
  BOOL SetItemState(int index, UINT state, UINT mask);
  int GetNextItem(int start, int flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), flags));
  }
  UINT GetSelectedCount() const { return static_cast<UINT>(SendMessage(LVM_GETSELECTEDCOUNT)); }
  int GetSelectionMark() const { return static_cast<int>(SendMessage(LVM_GETSELECTIONMARK)); }
  int SetSelectionMark(int index) { return static_cast<int>(SendMessage(LVM_SETSELECTIONMARK, 0, index)); }
  BOOL GetCheck(int index) const;
  BOOL SetCheck(int index, BOOL check = TRUE);
  BOOL SortItems(PFNLVCOMPARE compare, DWORD_PTR data) {
    return static_cast<BOOL>(SendMessage(LVM_SORTITEMS, data, reinterpret_cast<LPARAM>(compare)));
  }
  // The comparison gets the items' indices (their places before the sort) instead of their data.
  BOOL SortItemsEx(PFNLVCOMPARE compare, DWORD_PTR data) {
    return static_cast<BOOL>(SendMessage(LVM_SORTITEMSEX, data, reinterpret_cast<LPARAM>(compare)));
  }
  int FindItem(LVFINDINFOW* find, int start = -1) const {
    return static_cast<int>(SendMessage(LVM_FINDITEMW, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(find)));
  }
  BOOL EnsureVisible(int index, BOOL) { return static_cast<BOOL>(SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index))); }
  BOOL GetItemRect(int index, LPRECT rect, UINT code) const;
  int HitTest(CPoint point, UINT* flags = nullptr) const;
  int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
  int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
  DWORD SetExtendedStyle(DWORD style) { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style)); }
  DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
  // Answers the list before; the control does not own the list.
  HIMAGELIST SetImageList(CImageList* list, int which);
  BOOL RedrawItems(int first, int last) { return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, static_cast<WPARAM>(first), last)); }

  // Owner-drawn lists (LVS_OWNERDRAWFIXED) draw each row here.
  virtual void DrawItem(LPDRAWITEMSTRUCT) {}

protected:
  BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
};
