#include "platform/gdi/CGdiObject.h"

#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPalette.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

#include <memory>
#include <mutex>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CGdiObject, CObject)

namespace {

// Wrappers attached to handles, shared by all threads.
struct PermanentMap {
  std::mutex lock;
  std::unordered_map<HGDIOBJ, CGdiObject*> wrappers;
};

PermanentMap& Permanent() {
  static PermanentMap* map = new PermanentMap;
  return *map;
}

// Temporary wrappers of the calling thread; they never delete the objects they show.
struct TemporaryMap {
  std::unordered_map<HGDIOBJ, std::unique_ptr<CGdiObject>> wrappers;
  ~TemporaryMap() { Clear(); }
  void Clear() {
    for (auto& [handle, wrapper] : wrappers) wrapper->m_hObject = nullptr;
    wrappers.clear();
  }
};

thread_local TemporaryMap temporaries;

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
  {
    PermanentMap& map = Permanent();
    std::lock_guard guard(map.lock);
    auto found = map.wrappers.find(handle);
    if (found != map.wrappers.end()) return found->second;
  }
  auto& slot = temporaries.wrappers[handle];
  if (!slot) {
    slot = WrapperFor(::GetObjectType(handle));
    slot->m_hObject = handle;
  }
  return slot.get();
}

void CGdiObject::DeleteTempMap() { temporaries.Clear(); }

BOOL CGdiObject::Attach(HGDIOBJ handle) {
  if (!handle || m_hObject) return FALSE;
  m_hObject = handle;
  PermanentMap& map = Permanent();
  std::lock_guard guard(map.lock);
  map.wrappers[handle] = this;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = m_hObject;
  if (!handle) return nullptr;
  m_hObject = nullptr;
  PermanentMap& map = Permanent();
  std::lock_guard guard(map.lock);
  auto found = map.wrappers.find(handle);
  if (found != map.wrappers.end() && found->second == this) map.wrappers.erase(found);
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int index) { return Attach(::GetStockObject(index)); }
