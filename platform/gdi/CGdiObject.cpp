#include "platform/gdi/CGdiObject.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPalette.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/WrapperMap.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)

namespace {

void Forget(CGdiObject& wrapper) { wrapper.m_hObject = nullptr; }

using Wrappers = gdi::WrapperMap<HGDIOBJ, CGdiObject, &Forget>;

std::unique_ptr<CGdiObject> WrapperFor(DWORD type) {
  switch (type) {
    case OBJ_PEN: return std::make_unique<CPen>();
    case OBJ_BRUSH: return std::make_unique<CBrush>();
    case OBJ_FONT: return std::make_unique<CFont>();
    case OBJ_BITMAP: return std::make_unique<CBitmap>();
    case OBJ_REGION: return std::make_unique<CRgn>();
    case OBJ_PAL: return std::make_unique<CPalette>();
    default: return std::make_unique<CGdiObject>();
  }
}

}  // namespace

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ handle) {
  if (!handle) return nullptr;
  return Wrappers::Get().Find(handle, [handle] {
    std::unique_ptr<CGdiObject> wrapper = WrapperFor(::GetObjectType(handle));
    wrapper->m_hObject = handle;
    return wrapper;
  });
}

void CGdiObject::DeleteTempMap() { Wrappers::ClearTemporaries(); }

BOOL CGdiObject::Attach(HGDIOBJ handle) {
  if (!handle || m_hObject) return FALSE;
  m_hObject = handle;
  Wrappers::Get().Attach(handle, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = m_hObject;
  if (!handle) return nullptr;
  m_hObject = nullptr;
  Wrappers::Get().Detach(handle, this);
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }
