#pragma once
// CImageList: the object side of an image list.

#include "platform/core/CObject.h"
#include "platform/ui/comctl/commctrl.h"

class CBitmap;
class CDC;

class CImageList : public CObject {
  DECLARE_DYNAMIC(CImageList)
public:
  CImageList() = default;
  ~CImageList() override { DeleteImageList(); }
  CImageList(const CImageList&) = delete;
  CImageList& operator=(const CImageList&) = delete;

  BOOL Create(int cx, int cy, UINT flags, int initial, int grow);
  BOOL DeleteImageList();
  BOOL Attach(HIMAGELIST list);
  HIMAGELIST Detach();
  HIMAGELIST GetSafeHandle() const { return m_hImageList; }
  operator HIMAGELIST() const { return m_hImageList; }

  int GetImageCount() const { return ImageList_GetImageCount(m_hImageList); }
  int Add(CBitmap* image, CBitmap* mask);
  int Add(CBitmap* image, COLORREF mask);
  BOOL Remove(int index) { return ImageList_Remove(m_hImageList, index); }
  BOOL Replace(int index, CBitmap* image, CBitmap* mask);
  BOOL Draw(CDC* dc, int index, POINT at, UINT style);
  COLORREF SetBkColor(COLORREF colour) { return ImageList_SetBkColor(m_hImageList, colour); }

  HIMAGELIST m_hImageList {};
};
