#include "platform/core/CFileFind.h"

#include "platform/core/coreinternal.h"

IMPLEMENT_DYNAMIC(CFileFind, CObject)

BOOL CFileFind::FindFile(LPCWSTR pattern, DWORD) {
  Close();
  return qvcore::ListMatches(pattern, m_root, m_entries);
}

BOOL CFileFind::FindNextFile() {
  if (m_next >= m_entries.size()) return FALSE;
  ++m_next;
  return m_next < m_entries.size();
}

void CFileFind::Close() {
  m_root.Empty();
  m_entries.clear();
  m_next = 0;
}

const WIN32_FIND_DATAW* CFileFind::Current() const { return m_next ? &m_entries[m_next - 1] : nullptr; }

BOOL CFileFind::HasAttribute(DWORD attribute) const {
  const WIN32_FIND_DATAW* entry = Current();
  return entry && (entry->dwFileAttributes & attribute) ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const {
  const WIN32_FIND_DATAW* entry = Current();
  return entry ? CString(entry->cFileName) : CString();
}

CString CFileFind::GetFilePath() const { return Current() ? m_root + GetFileName() : CString(); }

CString CFileFind::GetFileTitle() const { return qvcore::TitleOf(GetFileName()); }

ULONGLONG CFileFind::GetLength() const {
  const WIN32_FIND_DATAW* entry = Current();
  return entry ? (static_cast<ULONGLONG>(entry->nFileSizeHigh) << 32) | entry->nFileSizeLow : 0;
}

BOOL CFileFind::IsDots() const {
  const CString name = GetFileName();
  return name == u"." || name == u"..";
}
