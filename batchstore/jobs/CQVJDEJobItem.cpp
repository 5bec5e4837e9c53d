#include "batchstore/jobs/CQVJDEJobItem.h"

#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/CFileFind.h"
#include "platform/core/paths.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <unistd.h>

IMPLEMENT_DYNCREATE(CQVJDEDocTypeItem, CQVJDECommonItem)
IMPLEMENT_DYNCREATE(CQVJDEDocTypeItemList, CQVJDECommonItemList)
IMPLEMENT_DYNCREATE(CQVJDEJobItem, CQVJDECommonItem)
IMPLEMENT_DYNCREATE(CQVJDEJobNameItem, CQVJDECommonItem)
IMPLEMENT_DYNCREATE(CQVJDEJobNameItemList, CQVJDECommonItemList)

namespace {

BOOL FolderFile(LPCWSTR folder, LPCWSTR name, CString& path) {
  path = folder ? folder : u"";
  DPXAppendBackslash(path);
  if (path.IsEmpty()) return FALSE;
  path += name;
  return TRUE;
}

// A new, empty folder beside `native` (which has no trailing separator); empty on failure.
std::string MakeSibling(const std::string& native, const char* tag) {
  std::string pattern = native + tag + "XXXXXX";
  return ::mkdtemp(pattern.data()) ? pattern : std::string();
}

// TRUE when `inner` names `outer` or a place below it on disk.
BOOL IsInside(const std::string& inner, const std::string& outer) {
  std::error_code error;
  const auto a = std::filesystem::weakly_canonical(inner, error);
  if (error) return FALSE;
  const auto b = std::filesystem::weakly_canonical(outer, error);
  if (error) return FALSE;
  auto ai = a.begin();
  for (auto bi = b.begin(); bi != b.end(); ++bi, ++ai) {
    if (bi->empty()) continue;  // the trailing separator
    if (ai == a.end() || *ai != *bi) return FALSE;
  }
  return TRUE;
}

}  // namespace

BOOL CQVJDEDocTypeItem::ToScript(CString& text) {
  text.Empty();
  return NameToScript(text);
}

BOOL CQVJDEDocTypeItem::FromScript(CDPXScriptFile& file) { return NameFromScript(file); }

void CQVJDEJobItem::SetJobRootDir(LPCWSTR path) {
  m_strJobRootDir = path ? path : u"";
  DPXAppendBackslash(m_strJobRootDir);
}

BOOL CQVJDEJobItem::ToScript(CString& text) {
  text.Empty();
  return NameToScript(text) && QVJDEAppendKey(text, u"JobRootDir", m_strJobRootDir);
}

BOOL CQVJDEJobItem::FromScript(CDPXScriptFile& file) {
  if (!NameFromScript(file)) return FALSE;
  CString root;
  file.GetString(u"JobRootDir", root);
  SetJobRootDir(root);
  return TRUE;
}

BOOL CQVJDEJobItem::GetJobInfoFilename(LPCWSTR folder, CString& path) { return FolderFile(folder, u"job.info", path); }

BOOL CQVJDEJobItem::GetBatchIndexFieldsFilename(LPCWSTR folder, CString& path) {
  return FolderFile(folder, u"batch.indexfields", path);
}

BOOL CQVJDEJobItem::GetDocTypeIndexFieldsFilename(LPCWSTR folder, LPCWSTR docType, CString& path) {
  CString name(docType ? docType : u"");
  if (!NormalizeName(name)) return FALSE;
  return FolderFile(folder, u"doc." + name + u".indexfields", path);
}

BOOL CQVJDEJobItem::WriteFolder(const CString& folder) {
  CString path, text;
  if (!GetBatchIndexFieldsFilename(folder, path) || !m_batchFields.Save(path)) return FALSE;
  for (int i = 0; i < m_docTypes.GetCount(); ++i) {
    CQVJDEDocTypeItem* type = m_docTypes.GetDocType(i);
    CString name;
    type->GetName(name);
    if (!GetDocTypeIndexFieldsFilename(folder, name, path) || !type->GetIndexFieldItems().Save(path)) return FALSE;
  }
  CString job, types;
  if (!ToScript(job) || !m_docTypes.ToScript(types) || !GetJobInfoFilename(folder, path)) return FALSE;
  return QVJDEWriteScript(path, u"[General]\r\n" + job + u"\r\n" + types);
}

BOOL CQVJDEJobItem::Save(LPCWSTR folder) {
  CString target(folder ? folder : u"");
  DPXAppendBackslash(target);
  if (target.IsEmpty()) return FALSE;
  std::string native = ResolvePath(target);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  if (!m_strJobRootDir.IsEmpty() && IsInside(ResolvePath(m_strJobRootDir), native)) return FALSE;

  const std::string building = MakeSibling(native, ".new-");
  if (building.empty()) return FALSE;
  if (!WriteFolder(PathFromNative(building))) {
    DPXDeleteFolderTree(PathFromNative(building));
    return FALSE;
  }
  // The old folder steps aside under a name of its own, so that it can come back if the new one
  // cannot take its place.
  std::string old;
  if (std::filesystem::exists(native)) {
    old = MakeSibling(native, ".old-");
    if (old.empty() || std::rename(native.c_str(), old.c_str()) != 0) {
      if (!old.empty()) ::rmdir(old.c_str());
      DPXDeleteFolderTree(PathFromNative(building));
      return FALSE;
    }
  }
  if (std::rename(building.c_str(), native.c_str()) != 0) {
    if (!old.empty()) std::rename(old.c_str(), native.c_str());
    DPXDeleteFolderTree(PathFromNative(building));
    return FALSE;
  }
  if (!old.empty()) DPXDeleteFolderTree(PathFromNative(old));
  return TRUE;
}

BOOL CQVJDEJobItem::Load(LPCWSTR folder) {
  CString source(folder ? folder : u"");
  DPXAppendBackslash(source);
  m_batchFields.DeleteAll();
  m_docTypes.DeleteAll();
  CString path;
  CDPXScriptFile file;
  if (!GetJobInfoFilename(source, path) || !file.Open(path)) return FALSE;
  file.SetCurrentSection(u"General");
  if (!FromScript(file) || !m_docTypes.FromScript(file)) {
    m_docTypes.DeleteAll();
    return FALSE;
  }
  for (int i = 0; i < m_docTypes.GetCount(); ++i) {
    CQVJDEDocTypeItem* type = m_docTypes.GetDocType(i);
    CString name;
    type->GetName(name);
    if (GetDocTypeIndexFieldsFilename(source, name, path)) type->GetIndexFieldItems().Load(path);
  }
  if (GetBatchIndexFieldsFilename(source, path)) m_batchFields.Load(path);
  return TRUE;
}

void CQVJDEJobNameItem::SetDir(LPCWSTR path) {
  m_strDir = path ? path : u"";
  DPXAppendBackslash(m_strDir);
}

BOOL CQVJDEJobNameItemList::FindJobs(LPCWSTR folder) {
  // The workgroup's Jobs folder, which an empty folder stands for, belongs to the application
  // layer; without it there is nothing to list.
  CString root(folder ? folder : u"");
  DPXAppendBackslash(root);
  DeleteAll();
  if (root.IsEmpty()) return FALSE;
  CFileFind find;
  for (BOOL more = find.FindFile(root + u"*.*"); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || !find.IsDirectory()) continue;
    const CString dir = root + find.GetFileName();
    CQVJDEJobItem job;
    if (!job.Load(dir)) continue;
    int index = -1;
    auto* entry = static_cast<CQVJDEJobNameItem*>(Add(index));
    if (!entry) {
      DeleteAll();
      return FALSE;
    }
    CString text;
    job.GetName(text);
    entry->SetName(text);
    job.GetDescription(text);
    entry->SetDescription(text);
    entry->SetDir(dir);
  }
  return TRUE;
}
