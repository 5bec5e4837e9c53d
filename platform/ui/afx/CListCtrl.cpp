#include "platform/ui/afx/CListCtrl.h"

#include "platform/ui/afx/CImageList.h"

#include <functional>
#include <string>

IMPLEMENT_DYNAMIC(CHeaderCtrl, CWnd)
IMPLEMENT_DYNAMIC(CListCtrl, CWnd)

namespace {

// Owner-drawn items come back to the control that asked its parent to draw them.
BOOL DrawReflected(UINT message, LPARAM lParam, LRESULT* result, const std::function<void(LPDRAWITEMSTRUCT)>& draw) {
  if (message != WM_DRAWITEM) return FALSE;
  draw(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
  if (result) *result = TRUE;
  return TRUE;
}

}  // namespace

BOOL CHeaderCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (DrawReflected(message, lParam, result, [this](LPDRAWITEMSTRUCT dis) { DrawItem(dis); })) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, result);
}

BOOL CListCtrl::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
  if (DrawReflected(message, lParam, result, [this](LPDRAWITEMSTRUCT dis) { DrawItem(dis); })) return TRUE;
  return CWnd::OnChildNotify(message, wParam, lParam, result);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const {
  return static_cast<CHeaderCtrl*>(FromHandle(reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER))));
}

int CListCtrl::InsertColumn(int index, LPCWSTR heading, int format, int width, int subItem) {
  LVCOLUMNW column {LVCF_TEXT | LVCF_FMT, format, width, const_cast<LPWSTR>(heading), 0, subItem};
  if (width != -1) column.mask |= LVCF_WIDTH;
  if (subItem != -1) column.mask |= LVCF_SUBITEM;
  return InsertColumn(index, &column);
}

int CListCtrl::InsertItem(int index, LPCWSTR text) { return InsertItem(LVIF_TEXT, index, text, 0, 0, 0, 0); }

int CListCtrl::InsertItem(UINT mask, int index, LPCWSTR text, UINT state, UINT stateMask, int image, LPARAM param) {
  LVITEMW item {mask, index, 0, state, stateMask, const_cast<LPWSTR>(text), 0, image, param};
  return InsertItem(&item);
}

int CListCtrl::GetItemText(int index, int subItem, LPWSTR text, int length) const {
  LVITEMW item {LVIF_TEXT, index, subItem, 0, 0, text, length, 0, 0};
  return static_cast<int>(SendMessage(LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

CString CListCtrl::GetItemText(int index, int subItem) const {
  std::u16string buffer(1024, u'\0');
  GetItemText(index, subItem, buffer.data(), static_cast<int>(buffer.size()));
  return CString(buffer.c_str());
}

BOOL CListCtrl::SetItemText(int index, int subItem, LPCWSTR text) {
  LVITEMW item {LVIF_TEXT, index, subItem, 0, 0, const_cast<LPWSTR>(text), 0, 0, 0};
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

DWORD_PTR CListCtrl::GetItemData(int index) const {
  LVITEMW item {LVIF_PARAM, index, 0, 0, 0, nullptr, 0, 0, 0};
  return GetItem(&item) ? static_cast<DWORD_PTR>(item.lParam) : 0;
}

BOOL CListCtrl::SetItemData(int index, DWORD_PTR data) {
  LVITEMW item {LVIF_PARAM, index, 0, 0, 0, nullptr, 0, 0, static_cast<LPARAM>(data)};
  return SetItem(&item);
}

BOOL CListCtrl::SetItemState(int index, UINT state, UINT mask) {
  LVITEMW item {LVIF_STATE, index, 0, state, mask, nullptr, 0, 0, 0};
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
}

BOOL CListCtrl::GetCheck(int index) const {
  return (GetItemState(index, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

BOOL CListCtrl::SetCheck(int index, BOOL check) {
  return SetItemState(index, INDEXTOSTATEIMAGEMASK(check ? 2 : 1), LVIS_STATEIMAGEMASK);
}

BOOL CListCtrl::GetItemRect(int index, LPRECT rect, UINT code) const {
  if (!rect) return FALSE;
  rect->left = static_cast<LONG>(code);
  return static_cast<BOOL>(SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)));
}

int CListCtrl::HitTest(CPoint point, UINT* flags) const {
  LVHITTESTINFO hit {point, 0, -1, 0};
  int index = static_cast<int>(SendMessage(LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (flags) *flags = hit.flags;
  return index;
}

HIMAGELIST CListCtrl::SetImageList(CImageList* list, int which) {
  return reinterpret_cast<HIMAGELIST>(SendMessage(LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                                                  reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr)));
}
