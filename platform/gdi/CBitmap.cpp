#include "platform/gdi/CBitmap.h"

#include "platform/gdi/CDC.h"
#include "platform/gdi/ModuleImages.h"

IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)

CBitmap* CBitmap::FromHandle(HBITMAP handle) { return static_cast<CBitmap*>(CGdiObject::FromHandle(handle)); }

BOOL CBitmap::CreateCompatibleBitmap(CDC* dc, int width, int height) {
  return dc ? Attach(::CreateCompatibleBitmap(dc->GetSafeHdc(), width, height)) : FALSE;
}

BOOL CBitmap::LoadBitmap(LPCWSTR name) {
  HBITMAP bitmap = ::LoadBitmapW(FindModuleImageModule(ModuleImageKind::Bitmap, name), name);
  if (bitmap && Attach(bitmap)) return TRUE;
  if (bitmap) ::DeleteObject(bitmap);
  return FALSE;
}

BOOL CBitmap::LoadBitmap(UINT id) { return LoadBitmap(reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id))); }
