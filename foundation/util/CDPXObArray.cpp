#include "foundation/util/CDPXObArray.h"

#include <algorithm>
#include <limits>
#include <new>

IMPLEMENT_DYNCREATE(CDPXObArray, CObject)

CDPXObArray::~CDPXObArray() { SetSize(0); }

void CDPXObArray::Clear(Slot& slot) {
  CObject* object = slot.owned ? slot.object : nullptr;
  slot = Slot{};
  delete object;
}

CObject* CDPXObArray::GetAt(int index) const {
  return (index >= 0 && index < m_nCount) ? m_pSlots[index].object : nullptr;
}

BOOL CDPXObArray::SetSize(int n) {
  n = std::max(n, 0);
  if (n > std::numeric_limits<int>::max() - m_nGrowBy) return FALSE;
  int capacity = n == 0 ? 0 : (n + m_nGrowBy - 1) / m_nGrowBy * m_nGrowBy;
  Slot* slots = m_pSlots;
  if (capacity != m_nCapacity && capacity > 0) {
    slots = new (std::nothrow) Slot[static_cast<size_t>(capacity)];
    if (!slots) {
      // Shrinking never fails: the old storage is large enough.
      if (capacity > m_nCapacity) return FALSE;
      slots = m_pSlots;
      capacity = m_nCapacity;
    }
  }
  // Every slot past the new end is cleared, borrowed ones too, so that growing again shows
  // empty slots and never a stale pointer.
  for (int i = n; i < m_nCount; ++i) Clear(m_pSlots[i]);
  if (slots != m_pSlots) {
    std::copy(m_pSlots, m_pSlots + std::min(m_nCount, n), slots);
    delete[] m_pSlots;
  } else if (capacity == 0) {
    delete[] m_pSlots;
    slots = nullptr;
  }
  m_pSlots = slots;
  m_nCapacity = capacity;
  m_nCount = n;
  return TRUE;
}

BOOL CDPXObArray::SetAtNew(int index, CRuntimeClass* cls, CObject*& created, BOOL grow) {
  created = nullptr;
  if (index < 0 || (index >= m_nCount && !grow)) return FALSE;
  CObject* object = cls ? cls->CreateObject() : nullptr;
  if (!object) return FALSE;
  if (index >= m_nCount && !SetSize(index + 1)) {
    delete object;
    return FALSE;
  }
  Clear(m_pSlots[index]);
  m_pSlots[index] = Slot{object, TRUE};
  created = object;
  return TRUE;
}

int CDPXObArray::AddNew(CRuntimeClass* cls, CObject*& created) {
  const int index = m_nCount;
  return SetAtNew(index, cls, created, TRUE) ? index : -1;
}

BOOL CDPXObArray::InsertEmptyAt(int index, int n) {
  if (index < 0 || index >= m_nCount || n <= 0 || n > std::numeric_limits<int>::max() - m_nCount) return FALSE;
  const int oldCount = m_nCount;
  if (!SetSize(oldCount + n)) return FALSE;
  std::move_backward(m_pSlots + index, m_pSlots + oldCount, m_pSlots + oldCount + n);
  std::fill(m_pSlots + index, m_pSlots + index + n, Slot{});
  return TRUE;
}

BOOL CDPXObArray::RemoveAt(int index, int n) {
  if (index < 0 || index >= m_nCount || n <= 0 || n > m_nCount - index) return FALSE;
  for (int i = index; i < index + n; ++i) Clear(m_pSlots[i]);
  std::move(m_pSlots + index + n, m_pSlots + m_nCount, m_pSlots + index);
  std::fill(m_pSlots + m_nCount - n, m_pSlots + m_nCount, Slot{});
  return SetSize(m_nCount - n);
}
