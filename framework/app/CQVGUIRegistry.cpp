#include "framework/app/CQVGUIRegistry.h"

#include "platform/ui/afx/CFrameWnd.h"
#include "platform/ui/bars/CControlBar.h"

IMPLEMENT_DYNCREATE(__CQVGUIRegistryItem, CObject)
IMPLEMENT_DYNCREATE(CQVGUIRegistry, CObject)

namespace {

__CQVGUIRegistryItem* ItemAt(const CDPXObList& items, POSITION pos) {
  return static_cast<__CQVGUIRegistryItem*>(items.GetAt(pos));
}

BOOL HasWindow(const CWnd* window) { return ::IsWindow(window->GetSafeHwnd()); }

}  // namespace

CQVGUIRegistry::CQVGUIRegistry() { CWnd::WatchDeletes(&CQVGUIRegistry::WindowDeleted, this); }

CQVGUIRegistry::~CQVGUIRegistry() { CWnd::UnwatchDeletes(&CQVGUIRegistry::WindowDeleted, this); }

// The registry keeps plain pointers to windows it does not own. Window objects that delete
// themselves (modeless dialogs, floating bars) often go without unregistering; their entries go
// with them, or a later lookup would hand out freed memory, and a new window at the same address
// would be taken for one registered already.
void CQVGUIRegistry::WindowDeleted(void* registry, CWnd* window) {
  auto* self = static_cast<CQVGUIRegistry*>(registry);
  if (POSITION pos = self->FindItem(window)) self->m_items.RemoveAt(pos);
}

BOOL CQVGUIRegistry::Register(UINT id, CWnd* window) {
  if (id == 0 || !window || FindItem(window)) return FALSE;
  auto* item = static_cast<__CQVGUIRegistryItem*>(m_items.AddNewTail(RUNTIME_CLASS(__CQVGUIRegistryItem)));
  if (!item) return FALSE;
  item->m_nID = id;
  item->m_pWnd = window;
  return TRUE;
}

void CQVGUIRegistry::Unregister(CWnd* window) {
  if (POSITION pos = FindItem(window)) m_items.RemoveAt(pos);
}

CWnd* CQVGUIRegistry::Find(UINT id) const {
  POSITION pos = FindItem(id);
  return pos ? ItemAt(m_items, pos)->m_pWnd : nullptr;
}

void CQVGUIRegistry::Show(UINT id, BOOL show) {
  if (CWnd* window = Find(id)) OnShow(window, show);
}

BOOL CQVGUIRegistry::IsVisible(UINT id) {
  CWnd* window = Find(id);
  return window ? IsVisible(window) : FALSE;
}

BOOL CQVGUIRegistry::IsVisible(CWnd* window) {
  if (!HasWindow(window)) return FALSE;
  if (window->IsKindOf(RUNTIME_CLASS(CControlBar))) return (window->GetStyle() & WS_VISIBLE) != 0;
  return window->IsWindowVisible();
}

BOOL CQVGUIRegistry::OnShow(CWnd* window, BOOL show) {
  if (!HasWindow(window)) return FALSE;
  if (window->IsKindOf(RUNTIME_CLASS(CControlBar))) {
    CFrameWnd* frame = window->GetParentFrame();
    if (!frame) return FALSE;
    frame->ShowControlBar(static_cast<CControlBar*>(window), show, FALSE);
    return TRUE;
  }
  window->ShowWindow(show ? SW_SHOW : SW_HIDE);
  return TRUE;
}

POSITION CQVGUIRegistry::FindItem(CWnd* window) const {
  for (POSITION pos = m_items.GetHeadPosition(); pos; m_items.GetNext(pos))
    if (ItemAt(m_items, pos)->m_pWnd == window) return pos;
  return nullptr;
}

POSITION CQVGUIRegistry::FindItem(UINT id) const {
  for (POSITION pos = m_items.GetHeadPosition(); pos; m_items.GetNext(pos))
    if (ItemAt(m_items, pos)->m_nID == id) return pos;
  return nullptr;
}
