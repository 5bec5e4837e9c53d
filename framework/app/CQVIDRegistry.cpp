#include "framework/app/CQVIDRegistry.h"

IMPLEMENT_DYNCREATE(__CQVIDRegistryItem, CObject)
IMPLEMENT_DYNCREATE(CQVIDRegistry, CObject)

namespace {

__CQVIDRegistryItem* ItemAt(const CDPXObList& items, POSITION pos) {
  return static_cast<__CQVIDRegistryItem*>(items.GetAt(pos));
}

}  // namespace

BOOL CQVIDRegistry::Register(UINT id, LPCWSTR name) {
  if (id == 0 || !name || FindItem(id)) return FALSE;
  auto* item = static_cast<__CQVIDRegistryItem*>(m_items.AddNewTail(RUNTIME_CLASS(__CQVIDRegistryItem)));
  if (!item) return FALSE;
  item->m_nID = id;
  item->m_strName = name;
  return TRUE;
}

void CQVIDRegistry::Unregister(UINT id) {
  if (POSITION pos = FindItem(id)) m_items.RemoveAt(pos);
}

BOOL CQVIDRegistry::Find(LPCWSTR name, UINT& id) const {
  id = 0;
  POSITION pos = FindItem(name);
  if (!pos) return FALSE;
  id = ItemAt(m_items, pos)->m_nID;
  return TRUE;
}

BOOL CQVIDRegistry::Find(UINT id, CString& name) const {
  name.Empty();
  POSITION pos = FindItem(id);
  if (!pos) return FALSE;
  name = ItemAt(m_items, pos)->m_strName;
  return TRUE;
}

POSITION CQVIDRegistry::FindItem(LPCWSTR name) const {
  if (!name) return nullptr;
  for (POSITION pos = m_items.GetHeadPosition(); pos; m_items.GetNext(pos))
    if (ItemAt(m_items, pos)->m_strName.CompareNoCase(name) == 0) return pos;
  return nullptr;
}

POSITION CQVIDRegistry::FindItem(UINT id) const {
  if (id == 0) return nullptr;
  for (POSITION pos = m_items.GetHeadPosition(); pos; m_items.GetNext(pos))
    if (ItemAt(m_items, pos)->m_nID == id) return pos;
  return nullptr;
}
