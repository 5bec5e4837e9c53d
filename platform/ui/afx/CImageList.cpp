#include "platform/ui/afx/CImageList.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CImageList, CObject)

BOOL CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
  DeleteImageList();
  m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
  return m_hImageList != nullptr;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  ImageList_Destroy(Detach());
  return TRUE;
}

BOOL CImageList::Attach(HIMAGELIST list) {
  if (m_hImageList || !list) return FALSE;
  m_hImageList = list;
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST list = m_hImageList;
  m_hImageList = nullptr;
  return list;
}

int CImageList::Add(CBitmap* image, CBitmap* mask) {
  return ImageList_Add(m_hImageList, image ? static_cast<HBITMAP>(image->GetSafeHandle()) : nullptr,
                       mask ? static_cast<HBITMAP>(mask->GetSafeHandle()) : nullptr);
}

int CImageList::Add(CBitmap* image, COLORREF mask) {
  return ImageList_AddMasked(m_hImageList, image ? static_cast<HBITMAP>(image->GetSafeHandle()) : nullptr, mask);
}

BOOL CImageList::Replace(int index, CBitmap* image, CBitmap* mask) {
  return ImageList_Replace(m_hImageList, index, image ? static_cast<HBITMAP>(image->GetSafeHandle()) : nullptr,
                           mask ? static_cast<HBITMAP>(mask->GetSafeHandle()) : nullptr);
}

BOOL CImageList::Draw(CDC* dc, int index, POINT at, UINT style) {
  return dc && ImageList_Draw(m_hImageList, index, dc->GetSafeHdc(), at.x, at.y, style);
}
