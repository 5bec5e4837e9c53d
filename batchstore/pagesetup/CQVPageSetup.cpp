#include "batchstore/pagesetup/CQVPageSetup.h"

#include "batchstore/QVNameRule.h"
#include "foundation/language/CQVRCM.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "foundation/util/DPXReplaceFile.h"
#include "platform/core/CFileFind.h"
#include "platform/core/fileapi.h"
#include "platform/core/paths.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>

IMPLEMENT_DYNCREATE(CQVPageSetup, CObject)

void CQVPageSetup::SetRootDir(LPCWSTR dir) {
  m_strRootDir = dir ? dir : u"";
  m_strRootDir.Trim();
  BuildPageSetupList();
}

BOOL CQVPageSetup::CheckID(LPCWSTR id) { return QVCheckName(id, 50); }

BOOL CQVPageSetup::NormalizeID(CString& id) {
  id.Trim();
  return CheckID(id);
}

void CQVPageSetup::Sort() {
  std::stable_sort(m_ids.begin(), m_ids.end(), [](const CString& a, const CString& b) { return a.CompareNoCase(b) < 0; });
}

BOOL CQVPageSetup::BuildPageSetupList() {
  m_ids.clear();
  CString root(m_strRootDir);
  DPXAppendBackslash(root);
  if (root.IsEmpty()) return FALSE;
  CFileFind find;
  for (BOOL more = find.FindFile(root + u"*.pagesetup"); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || find.IsDirectory()) continue;
    CString title = find.GetFileTitle();
    if (NormalizeID(title) && FindPageSetup(title) < 0) m_ids.push_back(title);
  }
  Sort();
  return TRUE;
}

int CQVPageSetup::FindPageSetup(LPCWSTR id) const {
  CString wanted(id ? id : u"");
  if (!NormalizeID(wanted)) return -1;
  for (int i = 0; i < GetPageSetupCount(); ++i)
    if (m_ids[static_cast<size_t>(i)].CompareNoCase(wanted) == 0) return i;
  return -1;
}

BOOL CQVPageSetup::GetPageSetupID(int index, CString& id) const {
  id.Empty();
  if (index < 0 || index >= GetPageSetupCount()) return FALSE;
  id = m_ids[static_cast<size_t>(index)];
  return TRUE;
}

BOOL CQVPageSetup::FileName(int index, LPCWSTR extension, CString& path) const {
  CString id;
  path = m_strRootDir;
  DPXAppendBackslash(path);
  if (path.IsEmpty() || !GetPageSetupID(index, id) || !CheckID(id)) {
    path.Empty();
    return FALSE;
  }
  path += id + extension;
  return TRUE;
}

BOOL CQVPageSetup::GetPageSetupInfoFilename(int index, CString& path) const { return FileName(index, u".pagesetup", path); }

BOOL CQVPageSetup::GetPageSetupDataFilename(int index, CString& path) const { return FileName(index, u".data", path); }

BOOL CQVPageSetup::GetPageSetupName(int index, CString& name) const {
  CString path, title, text;
  if (!GetPageSetupID(index, name) || !CheckID(name)) return FALSE;
  CDPXScriptFile file;
  if (GetPageSetupInfoFilename(index, path) && file.Open(path) && file.GetString(u"Title", title, FALSE, u"Title") &&
      !title.IsEmpty() && CQVRCM::LoadText(title, text) && !text.IsEmpty())
    name = text;
  return TRUE;
}

int CQVPageSetup::AddPageSetup(LPCWSTR id, BOOL sort) {
  CString wanted(id ? id : u"");
  if (!NormalizeID(wanted)) return -1;
  // Adding a page setup that is there used to delete its two files first.
  const int existing = FindPageSetup(wanted);
  if (existing >= 0) return existing;
  m_ids.push_back(wanted);
  if (sort) Sort();
  return FindPageSetup(wanted);
}

void CQVPageSetup::DeletePageSetup(int index) {
  if (index < 0 || index >= GetPageSetupCount()) return;
  CString path;
  if (GetPageSetupInfoFilename(index, path)) DeleteFileW(path);
  if (GetPageSetupDataFilename(index, path)) DeleteFileW(path);
  m_ids.erase(m_ids.begin() + index);
}

void CQVPageSetup::DeleteAllPageSetups() {
  while (GetPageSetupCount() > 0) DeletePageSetup(GetPageSetupCount() - 1);
}

BOOL CQVPageSetup::GetPageSetupInfo(int index, QVPAGESETUP_INFO& record, BOOL info, BOOL data) const {
  CString path;
  if (info) {
    if (!GetPageSetupInfoFilename(index, path)) return FALSE;
    const HGLOBAL block = record.Data;
    record.Init();
    record.Data = block;
    CDPXScriptFile file;
    if (!file.Open(path) || !record.Get(&file)) return FALSE;
  }
  if (data) {
    if (!GetPageSetupDataFilename(index, path)) return FALSE;
    if (record.Data) GlobalFree(record.Data);
    record.Data = nullptr;
    if (DPXFileExists(path)) {
      std::ifstream in(ResolvePath(path), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!in.good() && !in.eof()) return FALSE;
      if (bytes.empty()) return FALSE;
      const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
      void* target = block ? GlobalLock(block) : nullptr;
      if (!target) {
        if (block) GlobalFree(block);
        return FALSE;
      }
      std::copy(bytes.begin(), bytes.end(), static_cast<char*>(target));
      GlobalUnlock(block);
      record.Data = block;
    }
  }
  return TRUE;
}

BOOL CQVPageSetup::SetPageSetupInfo(int index, const QVPAGESETUP_INFO& record, BOOL info, BOOL data) const {
  CString path;
  if (info) {
    if (!GetPageSetupInfoFilename(index, path)) return FALSE;
    CDPXScriptFile file;
    // A missing profile starts empty; one that is there but cannot be read is not overwritten.
    if (!file.Open(path) && DPXFileExists(path)) return FALSE;
    // One save for the whole record.
    file.SetAutoSave(FALSE);
    if (!record.Set(&file) || !file.Save()) return FALSE;
  }
  if (data) {
    if (!GetPageSetupDataFilename(index, path)) return FALSE;
    if (!record.Data) return !DPXFileExists(path) || DeleteFileW(path);
    const void* bytes = GlobalLock(record.Data);
    if (!bytes) return FALSE;
    const BOOL written = DPXReplaceFile(path, bytes, GlobalSize(record.Data));
    GlobalUnlock(record.Data);
    return written;
  }
  return TRUE;
}
