#include "platform/gdi/CBitmap.h"

#include "platform/gdi/CDC.h"

IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)

CBitmap* CBitmap::FromHandle(HBITMAP handle) { return static_cast<CBitmap*>(CGdiObject::FromHandle(handle)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return dc ? Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height)) : FALSE;
}
