#include "platform/core/CObList.h"

IMPLEMENT_DYNAMIC(CObList, CObject)

CObList::CObList(INT_PTR) {}

CObject* CObList::GetNext(POSITION& pos) const {
  CObject* const* entry = m_list.At(pos);
  pos = m_list.Next(pos);
  return entry ? *entry : nullptr;
}

CObject* CObList::GetAt(POSITION pos) const {
  CObject* const* entry = m_list.At(pos);
  return entry ? *entry : nullptr;
}

POSITION CObList::Find(CObject* object, POSITION startAfter) const {
  POSITION pos = startAfter ? m_list.Next(startAfter) : m_list.Head();
  for (; pos; pos = m_list.Next(pos))
    if (*m_list.At(pos) == object) return pos;
  return nullptr;
}
