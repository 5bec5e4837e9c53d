#include "platform/core/CMapStringToPtr.h"

IMPLEMENT_DYNAMIC(CMapStringToPtr, CObject)

namespace {

std::u16string KeyOf(LPCWSTR key) { return key ? std::u16string(key) : std::u16string(); }

}  // namespace

CMapStringToPtr::CMapStringToPtr(INT_PTR) {}

BOOL CMapStringToPtr::Lookup(LPCWSTR key, void*& value) const {
  auto found = m_byKey.find(KeyOf(key));
  if (found == m_byKey.end()) return FALSE;
  value = m_entries.At(found->second)->second;
  return TRUE;
}

void*& CMapStringToPtr::operator[](LPCWSTR key) {
  std::u16string text = KeyOf(key);
  auto found = m_byKey.find(text);
  if (found == m_byKey.end()) {
    POSITION pos = m_entries.AddTail(Entry(CString(text), nullptr));
    found = m_byKey.emplace(std::move(text), pos).first;
  }
  return m_entries.At(found->second)->second;
}

BOOL CMapStringToPtr::RemoveKey(LPCWSTR key) {
  auto found = m_byKey.find(KeyOf(key));
  if (found == m_byKey.end()) return FALSE;
  m_entries.Remove(found->second);
  m_byKey.erase(found);
  return TRUE;
}

void CMapStringToPtr::RemoveAll() {
  m_byKey.clear();
  m_entries.Clear();
}

void CMapStringToPtr::GetNextAssoc(POSITION& pos, CString& key, void*& value) const {
  const Entry* entry = m_entries.At(pos);
  pos = m_entries.Next(pos);
  key = entry ? entry->first : CString();
  value = entry ? entry->second : nullptr;
}
