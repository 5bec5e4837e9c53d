#include "batchstore/CQVBDEIDList.h"

#include "batchstore/CQVBDEHelper.h"

#include <algorithm>
#include <new>

IMPLEMENT_DYNCREATE(CQVBDEIDList, CObject)

BOOL CQVBDEIDList::_SetSize(int n) {
  if (n <= 0) {
    m_items.reset();
    m_nCapacity = m_nSize = 0;
    return TRUE;
  }
  int capacity = ((n - 1) / 100 + 1) * 100;
  if (capacity == m_nCapacity) {
    std::fill(m_items.get() + std::min(m_nSize, n), m_items.get() + capacity, 0u);
    m_nSize = n;
    return TRUE;
  }
  std::unique_ptr<ULONG[]> items(new (std::nothrow) ULONG[capacity]());
  if (!items) return FALSE;
  std::copy(m_items.get(), m_items.get() + std::min(n, m_nSize), items.get());
  m_items = std::move(items);
  m_nCapacity = capacity;
  m_nSize = n;
  return TRUE;
}

int CQVBDEIDList::_FindID(ULONG id) const {
  if (id == 0) return -2;
  for (int i = 0; i < m_nSize; ++i)
    if (m_items[i] == id) return i;
  return -1;
}

BOOL CQVBDEIDList::SetSize(int n) {
  CSingleLock lock(&m_cs, TRUE);
  return _SetSize(n);
}

int CQVBDEIDList::GetSize() {
  CSingleLock lock(&m_cs, TRUE);
  return m_nSize;
}

int CQVBDEIDList::GetCapacity() {
  CSingleLock lock(&m_cs, TRUE);
  return m_nCapacity;
}

BOOL CQVBDEIDList::Add(ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  if (!_SetSize(m_nSize + 1)) return FALSE;
  m_items[m_nSize - 1] = id;
  return TRUE;
}

BOOL CQVBDEIDList::SetAt(int index, ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  if (index < 0 || index >= m_nSize) return FALSE;
  m_items[index] = id;
  return TRUE;
}

BOOL CQVBDEIDList::GetAt(int index, ULONG& id) {
  CSingleLock lock(&m_cs, TRUE);
  if (index < 0 || index >= m_nSize) return FALSE;
  id = m_items[index];
  return TRUE;
}

BOOL CQVBDEIDList::InsertAt(int index, int count) {
  CSingleLock lock(&m_cs, TRUE);
  if (index < 0 || index >= m_nSize || count <= 0 || count > 0x7FFFFFFF - m_nSize) return FALSE;
  int oldSize = m_nSize;
  if (!_SetSize(oldSize + count)) return FALSE;
  std::copy_backward(m_items.get() + index, m_items.get() + oldSize, m_items.get() + oldSize + count);
  std::fill(m_items.get() + index, m_items.get() + index + count, 0u);
  return TRUE;
}

BOOL CQVBDEIDList::RemoveAt(int index, int count) {
  CSingleLock lock(&m_cs, TRUE);
  if (index < 0 || index >= m_nSize || count <= 0 || count > m_nSize - index) return FALSE;
  std::copy(m_items.get() + index + count, m_items.get() + m_nSize, m_items.get() + index);
  return _SetSize(m_nSize - count);
}

BOOL CQVBDEIDList::Sort() {
  CSingleLock lock(&m_cs, TRUE);
  if (m_nSize == 0) return TRUE;
  std::sort(m_items.get(), m_items.get() + m_nSize);
  ULONG* end = std::unique(m_items.get(), m_items.get() + m_nSize);
  ULONG* begin = m_items.get();
  if (*begin == 0) ++begin;  // sorted, so a zero can only stand first
  int kept = static_cast<int>(end - begin);
  std::copy(begin, end, m_items.get());
  return _SetSize(kept);
}

int CQVBDEIDList::FindID(ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  return _FindID(id);
}

BOOL CQVBDEIDList::CalcForInsertID(ULONG id, ULONG& first, ULONG& last) {
  CSingleLock lock(&m_cs, TRUE);
  first = last = 0;
  if (id == 0) return FALSE;
  int i = _FindID(id);
  if (i < 0) return TRUE;
  first = last = id;
  for (++i; i < m_nSize && m_items[i] == last + 1; ++i) last = m_items[i];
  return TRUE;
}

BOOL CQVBDEIDList::CalcForMove(ULONG id, ULONG targetId, int& index, int& targetIndex, ULONG& tempId) {
  CSingleLock lock(&m_cs, TRUE);
  index = targetIndex = -1;
  tempId = 0;
  if (id == targetId || m_nSize == 0) return FALSE;
  index = _FindID(id);
  if (index < 0) return FALSE;
  targetIndex = _FindID(targetId);
  if (targetIndex == -2 || targetIndex == index) return FALSE;
  if (targetIndex >= 0) {
    tempId = m_items[m_nSize - 1] + 1;
    if (!CQVBDEHelper::IsValidID(tempId)) return FALSE;
  }
  return TRUE;
}
