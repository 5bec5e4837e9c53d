#include "batchstore/CQVBDEHelper.h"

#include "foundation/util/DPXPath.h"

BOOL CQVBDEHelper::ID(ULONG id, CString& text) {
  if (!IsValidID(id)) return FALSE;
  text.Format(u"%08d", static_cast<int>(id));
  return TRUE;
}

BOOL CQVBDEHelper::ID(LPCWSTR text, ULONG& id) {
  if (!text) return FALSE;
  ULONG value = 0;
  int length = 0;
  for (; text[length]; ++length) {
    if (length == 8 || text[length] < u'0' || text[length] > u'9') return FALSE;
    value = value * 10 + static_cast<ULONG>(text[length] - u'0');
  }
  if (length != 8) return FALSE;
  id = value;
  return IsValidID(value);
}

BOOL CQVBDEHelper::SetJobRootDir(LPCWSTR path) {
  CSingleLock lock(&m_cs, TRUE);
  CString value(path ? path : u"");
  DPXAppendBackslash(value);
  m_values.root = value;
  return TRUE;
}

BOOL CQVBDEHelper::GetJobRootDir(CString& path) {
  CSingleLock lock(&m_cs, TRUE);
  path = m_values.root;
  return TRUE;
}

BOOL CQVBDEHelper::SetActiveBatch(LPCWSTR name) {
  CSingleLock lock(&m_cs, TRUE);
  CString value(name ? name : u"");
  m_values.batch = value.Trim();
  return TRUE;
}

BOOL CQVBDEHelper::GetActiveBatch(CString& name) {
  CSingleLock lock(&m_cs, TRUE);
  name = m_values.batch;
  return TRUE;
}

BOOL CQVBDEHelper::SetActiveDocument(ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  m_values.document = id;
  return TRUE;
}

BOOL CQVBDEHelper::SetActivePage(ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  m_values.page = id;
  return TRUE;
}

BOOL CQVBDEHelper::SetActiveImage(ULONG id) {
  CSingleLock lock(&m_cs, TRUE);
  m_values.image = id;
  return TRUE;
}

BOOL CQVBDEHelper::GetActiveDocument(ULONG& id) {
  CSingleLock lock(&m_cs, TRUE);
  id = m_values.document;
  return TRUE;
}

BOOL CQVBDEHelper::GetActivePage(ULONG& id) {
  CSingleLock lock(&m_cs, TRUE);
  id = m_values.page;
  return TRUE;
}

BOOL CQVBDEHelper::GetActiveImage(ULONG& id) {
  CSingleLock lock(&m_cs, TRUE);
  id = m_values.image;
  return TRUE;
}

BOOL CQVBDEHelper::Copy(CQVBDEHelper& from, CQVBDEHelper& to) {
  // The lower address first, whichever way the copy goes; the sections are re-entrant, so a record
  // synced with itself takes its own lock twice.
  CQVBDEHelper* first = &from < &to ? &from : &to;
  CQVBDEHelper* second = first == &from ? &to : &from;
  CSingleLock lockFirst(&first->m_cs, TRUE);
  CSingleLock lockSecond(&second->m_cs, TRUE);
  if (&from != &to) {
    to.m_values.root = from.m_values.root;
    to.m_values.batch = from.m_values.batch;
    to.m_values.document = from.m_values.document;
    to.m_values.page = from.m_values.page;
    to.m_values.image = from.m_values.image;
  }
  return TRUE;
}

BOOL CQVBDEHelper::SyncTo(CQVBDEHelper* other) { return other ? Copy(*this, *other) : FALSE; }

BOOL CQVBDEHelper::SyncFrom(CQVBDEHelper* other) { return other ? Copy(*other, *this) : FALSE; }
