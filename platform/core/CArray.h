#pragma once
// CArray: a growable array of values, indexed from 0. Elements are copied in and out; the array
// owns its storage, not what elements point to.

#include "platform/core/wintypes.h"

#include <utility>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return m_items.empty(); }
  void SetSize(INT_PTR size) { m_items.resize(static_cast<size_t>(size)); }

  INT_PTR Add(ARG_TYPE item) {
    m_items.push_back(item);
    return GetSize() - 1;
  }
  void RemoveAll() { m_items.clear(); }
  void RemoveAt(INT_PTR index, INT_PTR count = 1) { m_items.erase(m_items.begin() + index, m_items.begin() + index + count); }
  void InsertAt(INT_PTR index, ARG_TYPE item) { m_items.insert(m_items.begin() + index, item); }
  // Gives back storage beyond the elements held.
  void FreeExtra() { std::vector<TYPE>(m_items).swap(m_items); }

  TYPE& ElementAt(INT_PTR index) { return m_items[static_cast<size_t>(index)]; }
  const TYPE& GetAt(INT_PTR index) const { return m_items[static_cast<size_t>(index)]; }
  void SetAt(INT_PTR index, ARG_TYPE item) { m_items[static_cast<size_t>(index)] = item; }
  TYPE& operator[](INT_PTR index) { return ElementAt(index); }
  const TYPE& operator[](INT_PTR index) const { return GetAt(index); }
  TYPE* GetData() { return m_items.data(); }
  const TYPE* GetData() const { return m_items.data(); }

private:
  std::vector<TYPE> m_items;
};
