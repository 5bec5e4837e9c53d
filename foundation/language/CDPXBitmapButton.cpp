#include "foundation/language/CDPXBitmapButton.h"

#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CDPXBitmapButton, CButton)

BOOL CDPXBitmapButton::SetImages(CDPXDIBHandle& image1, CDPXDIBHandle& image2, CDPXDIBHandle& image3,
                                 CDPXDIBHandle& image4, CDPXDIBHandle& image5, CDPXDIBHandle& image6, int number1,
                                 int number2, int number3, int number4) {
  for (CBitmap& bitmap : m_images) bitmap.DeleteObject();
  if (!image1.CreateDDB(m_images[0], nullptr)) return FALSE;
  CDPXDIBHandle* others[] = {&image2, &image3, &image4, &image5, &image6};
  for (int i = 0; i < 5; ++i)
    if (!others[i]->IsEmpty()) others[i]->CreateDDB(m_images[i + 1], nullptr);
  m_numbers[0] = number1;
  m_numbers[1] = number2;
  m_numbers[2] = number3;
  m_numbers[3] = number4;
  if (m_hWnd) Invalidate();
  return TRUE;
}

void CDPXBitmapButton::SizeToContent() {
  BITMAP bm {};
  if (!m_hWnd || !m_images[0].GetSafeHandle() || !m_images[0].GetBitmap(&bm)) return;
  SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CDPXBitmapButton::DrawItem(LPDRAWITEMSTRUCT item) {
  if (!item) return;
  int index = 1;
  if (item->itemState & ODS_DISABLED) index = 4;
  else if (item->itemState & ODS_SELECTED) index = 2;
  else if (item->itemState & ODS_FOCUS) index = 3;
  CBitmap* bitmap = &GetImage(index);
  if (!bitmap->GetSafeHandle()) bitmap = &GetImage(1);
  if (!bitmap->GetSafeHandle()) return;
  CDC* dc = CDC::FromHandle(item->hDC);
  CDC memory;
  memory.CreateCompatibleDC(dc);
  CBitmap* old = memory.SelectObject(bitmap);
  const RECT& r = item->rcItem;
  dc->BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &memory, 0, 0, SRCCOPY);
  memory.SelectObject(old);
}
