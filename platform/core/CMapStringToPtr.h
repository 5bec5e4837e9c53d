#pragma once
// CMapStringToPtr: a map from texts (compared exactly, with case) to untyped pointers. The map
// does not own what the pointers point to. Walking it with GetStartPosition / GetNextAssoc visits
// every entry once, in the order the keys were first added; removing the entry just visited does
// not disturb the walk.

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/position.h"

#include <string>
#include <unordered_map>
#include <utility>

class CMapStringToPtr : public CObject {
  DECLARE_DYNAMIC(CMapStringToPtr)
public:
  // The block size tunes allocation on the desktop platform; entries are allocated one by one here.
  explicit CMapStringToPtr(INT_PTR blockSize = 10);

  INT_PTR GetCount() const { return static_cast<INT_PTR>(m_entries.Count()); }
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return m_entries.Count() == 0; }

  // TRUE and the value when the key is in the map; FALSE (value untouched) otherwise.
  BOOL Lookup(LPCWSTR key, void*& value) const;
  void SetAt(LPCWSTR key, void* value) { (*this)[key] = value; }
  // The value of the key, added as null when the key is new.
  void*& operator[](LPCWSTR key);
  BOOL RemoveKey(LPCWSTR key);
  void RemoveAll();

  // Null for an empty map.
  POSITION GetStartPosition() const { return m_entries.Head(); }
  // The entry at `pos`; `pos` moves to the next one (null after the last). A position that names
  // no entry gives an empty key, a null value and a null position.
  void GetNextAssoc(POSITION& pos, CString& key, void*& value) const;

private:
  using Entry = std::pair<CString, void*>;
  qvcore::PositionList<Entry> m_entries;
  std::unordered_map<std::u16string, POSITION> m_byKey;
};
