#include "platform/gdi/CBrush.h"

#include "platform/gdi/CBitmap.h"

IMPLEMENT_DYNAMIC(CBrush, CGdiObject)

CBrush* CBrush::FromHandle(HBRUSH handle) { return static_cast<CBrush*>(CGdiObject::FromHandle(handle)); }

BOOL CBrush::CreatePatternBrush(CBitmap* bitmap) {
  return bitmap ? Attach(::CreatePatternBrush(static_cast<HBITMAP>(bitmap->m_hObject))) : FALSE;
}

BOOL CBrush::CreateSysColorBrush(int index) { return Attach(::GetSysColorBrush(index)); }
