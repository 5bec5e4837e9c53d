#include "foundation/util/CDPXStringList.h"

#include <new>

IMPLEMENT_DYNCREATE(__CDPXStringObject, CObject)
IMPLEMENT_DYNCREATE(CDPXStringList, CDPXObList)

const CString* CDPXStringList::TextOf(CObject* object) {
  return (object && object->IsKindOf(RUNTIME_CLASS(__CDPXStringObject)))
             ? &static_cast<__CDPXStringObject*>(object)->m_strText
             : nullptr;
}

int CDPXStringList::Compare(CObject* a, CObject* b) {
  static const CString empty;
  const CString* textA = TextOf(a);
  const CString* textB = TextOf(b);
  return (textA ? *textA : empty).Compare(textB ? *textB : empty);
}

BOOL CDPXStringList::Normalize(LPCWSTR text, CString& normalized) const {
  normalized = text;
  switch (m_nTrimMode) {
    case trimLeft: normalized.TrimLeft(); break;
    case trimRight: normalized.TrimRight(); break;
    case trimBoth: normalized.Trim(); break;
    default: break;
  }
  if (m_nCaseMode == caseLower) normalized.MakeLower();
  if (m_nCaseMode == caseUpper) normalized.MakeUpper();
  return !normalized.IsEmpty() || m_bAllowEmpty;
}

POSITION CDPXStringList::Add(LPCWSTR text) {
  CString normalized;
  if (!Normalize(text, normalized)) return nullptr;
  POSITION start = nullptr;
  if (m_bUnique && FindPosition(normalized, start)) return nullptr;
  // The entry gets its text before it is placed, so that a sorted list puts it where it belongs.
  auto* entry = new (std::nothrow) __CDPXStringObject;
  if (!entry) return nullptr;
  entry->m_strText = normalized;
  POSITION pos = AddTail(entry);
  if (!pos) {
    delete entry;
    return nullptr;
  }
  SetOwnership(pos, TRUE);
  return pos;
}

POSITION CDPXStringList::Find(LPCWSTR text) {
  POSITION start = nullptr;
  return FindPosition(text, start);
}

POSITION CDPXStringList::FindPosition(LPCWSTR text, POSITION& start) {
  CString normalized;
  if (!Normalize(text, normalized)) return nullptr;
  __CDPXStringObject key;
  key.m_strText = normalized;
  return CDPXObList::Find(&key, start);
}

BOOL CDPXStringList::GetNext(POSITION& pos, CString& text) const {
  const CString* found = TextOf(CDPXObList::GetNext(pos));
  if (!found) return FALSE;
  text = *found;
  return TRUE;
}

BOOL CDPXStringList::GetAtIndex(int index, CString& text) const {
  const CString* found = TextOf(CDPXObList::GetAtIndex(index));
  if (!found) return FALSE;
  text = *found;
  return TRUE;
}

void CDPXStringList::SetCaseMode(int mode, BOOL reapply) {
  m_nCaseMode = (mode == caseLower || mode == caseUpper) ? mode : caseKeep;
  if (reapply) Reapply();
}

void CDPXStringList::SetTrimMode(int mode, BOOL reapply) {
  m_nTrimMode = (mode >= trimLeft && mode <= trimBoth) ? mode : trimNone;
  if (reapply) Reapply();
}

void CDPXStringList::SetUnique(BOOL unique, BOOL reapply) {
  m_bUnique = unique == 1 ? TRUE : FALSE;
  if (reapply) Reapply();
}

void CDPXStringList::SetAllowEmpty(BOOL allowEmpty, BOOL reapply) {
  m_bAllowEmpty = allowEmpty ? TRUE : FALSE;
  if (reapply) Reapply();
}

void CDPXStringList::Reapply() {
  Rebuild([this](CObject* object) -> BOOL {
    if (!TextOf(object)) return FALSE;
    auto* entry = static_cast<__CDPXStringObject*>(object);
    CString normalized;
    if (!Normalize(entry->m_strText, normalized)) return FALSE;
    // The list holds only the entries kept so far, so an earlier equal text wins.
    POSITION start = nullptr;
    if (m_bUnique && FindPosition(normalized, start)) return FALSE;
    entry->m_strText = normalized;
    return TRUE;
  });
}
