#include "platform/ui/afx/CTreeCtrl.h"

#include "platform/ui/afx/CImageList.h"

#include <string>

IMPLEMENT_DYNAMIC(CTreeCtrl, CWnd)

HTREEITEM CTreeCtrl::InsertItem(UINT mask, LPCWSTR text, int image, int selectedImage, UINT state, UINT stateMask,
                                LPARAM param, HTREEITEM parent, HTREEITEM after) {
  TVINSERTSTRUCTW insert {parent, after, TVITEMW {mask, nullptr, state, stateMask, const_cast<LPWSTR>(text), 0, image,
                                                  selectedImage, 0, param}};
  return InsertItem(&insert);
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
  std::u16string buffer(1024, u'\0');
  TVITEMW tv {TVIF_TEXT | TVIF_HANDLE, item, 0, 0, buffer.data(), static_cast<int>(buffer.size()), 0, 0, 0, 0};
  return GetItem(&tv) ? CString(buffer.c_str()) : CString();
}

BOOL CTreeCtrl::SetItemText(HTREEITEM item, LPCWSTR text) {
  TVITEMW tv {TVIF_TEXT | TVIF_HANDLE, item, 0, 0, const_cast<LPWSTR>(text), 0, 0, 0, 0, 0};
  return SetItem(&tv);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
  TVITEMW tv {TVIF_PARAM | TVIF_HANDLE, item, 0, 0, nullptr, 0, 0, 0, 0, 0};
  return GetItem(&tv) ? static_cast<DWORD_PTR>(tv.lParam) : 0;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
  TVITEMW tv {TVIF_PARAM | TVIF_HANDLE, item, 0, 0, nullptr, 0, 0, 0, 0, static_cast<LPARAM>(data)};
  return SetItem(&tv);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
  TVITEMW tv {TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE, item, 0, 0, nullptr, 0, 0, 0, 0, 0};
  if (!GetItem(&tv)) return FALSE;
  image = tv.iImage;
  selectedImage = tv.iSelectedImage;
  return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM item, int image, int selectedImage) {
  TVITEMW tv {TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE, item, 0, 0, nullptr, 0, image, selectedImage, 0, 0};
  return SetItem(&tv);
}

UINT CTreeCtrl::GetItemState(HTREEITEM item, UINT mask) const {
  TVITEMW tv {TVIF_STATE | TVIF_HANDLE, item, 0, mask, nullptr, 0, 0, 0, 0, 0};
  return GetItem(&tv) ? tv.state : 0;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
  TVITEMW tv {TVIF_STATE | TVIF_HANDLE, item, state, mask, nullptr, 0, 0, 0, 0, 0};
  return SetItem(&tv);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
  TVITEMW tv {TVIF_CHILDREN | TVIF_HANDLE, item, 0, 0, nullptr, 0, 0, 0, 0, 0};
  return GetItem(&tv) && tv.cChildren;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM item, LPRECT rect, BOOL textOnly) const {
  if (!rect) return FALSE;
  *reinterpret_cast<HTREEITEM*>(rect) = item;
  return static_cast<BOOL>(SendMessage(TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(rect)));
}

HTREEITEM CTreeCtrl::HitTest(CPoint point, UINT* flags) const {
  TVHITTESTINFO hit {point, 0, nullptr};
  auto item = reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (flags) *flags = hit.flags;
  return item;
}

HIMAGELIST CTreeCtrl::SetImageList(CImageList* list, int which) {
  return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_SETIMAGELIST, static_cast<WPARAM>(which),
                                                  reinterpret_cast<LPARAM>(list ? list->GetSafeHandle() : nullptr)));
}
