#include "foundation/util/CQVGPMManager.h"

#include "foundation/util/CDPXTempFilename.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "platform/core/CFileFind.h"
#include "platform/core/fileapi.h"

IMPLEMENT_DYNAMIC(CQVGPMManager, CObject)

namespace {

constexpr LPCWSTR kForbidden = u"\\/:.()[]{}*?%&+-<>|\"";

}  // namespace

CQVGPMManager::CQVGPMManager(int kind) : m_nKind(kind) {}

int CQVGPMManager::MaximumLength() { return 20; }

BOOL CQVGPMManager::CheckID(LPCWSTR name) {
  CString id(name);
  id.Trim();
  if (id.IsEmpty() || id.GetLength() > MaximumLength()) return FALSE;
  for (WCHAR c : id.View()) {
    if (c < 0x20 || c == 0x7F) return FALSE;
  }
  return id.FindOneOf(kForbidden) < 0;
}

BOOL CQVGPMManager::NormalizeID(CString& name) {
  name.Trim();
  return CheckID(name);
}

CString CQVGPMManager::DottedExtension() const {
  CString extension = m_strExtension;
  extension.Trim();
  return extension.IsEmpty() ? extension : CString(u".") + extension;
}

BOOL CQVGPMManager::GetFullPath(LPCWSTR name, CString& path) {
  CString id(name);
  if (!NormalizeID(id)) return FALSE;
  CString root = m_strRoot;
  DPXAppendBackslash(root);
  const CString wanted = id + DottedExtension();
  path = root + wanted;
  // An entry written in another case is the same entry: take its name as it is on disk, so that
  // every writer derives the same lock file from it.
  CFileFind find;
  BOOL more = find.FindFile(path);
  while (more) {
    more = find.FindNextFile();
    const CString found = find.GetFileName();
    if (found.CompareNoCase(wanted) != 0) continue;
    path = root + found;
    if (found == wanted) break;
  }
  return TRUE;
}

BOOL CQVGPMManager::IDExist(LPCWSTR name) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __IDExist_File(name) : __IDExist_Folder(name);
}

BOOL CQVGPMManager::__IDExist_File(LPCWSTR name) {
  CString path;
  return GetFullPath(name, path) && DPXFileExists(path);
}

BOOL CQVGPMManager::__IDExist_Folder(LPCWSTR name) {
  CString path;
  return GetFullPath(name, path) && DPXFolderExists(path);
}

BOOL CQVGPMManager::FindIDs(CDPXStringList& list, BOOL includeEmpty) {
  if (!IsKnownKind()) {
    list.RemoveAll();
    return FALSE;
  }
  return m_nKind == kindFile ? __FindIDs_File(list, includeEmpty) : __FindIDs_Folder(list, includeEmpty);
}

BOOL CQVGPMManager::__FindIDs_File(CDPXStringList& list, BOOL includeEmpty) { return FindEntries(list, includeEmpty, FALSE); }

BOOL CQVGPMManager::__FindIDs_Folder(CDPXStringList& list, BOOL includeEmpty) { return FindEntries(list, includeEmpty, TRUE); }

BOOL CQVGPMManager::FindEntries(CDPXStringList& list, BOOL includeEmpty, BOOL folders) {
  list.RemoveAll();
  CString root = m_strRoot;
  DPXAppendBackslash(root);
  const CString extension = DottedExtension();
  CFileFind find;
  BOOL more = find.FindFile(root + (extension.IsEmpty() ? CString(u"*.*") : CString(u"*") + extension));
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots() || (find.IsDirectory() ? !folders : folders)) continue;
    // Only entries named as IDs with this store's extension: never a lock file, nor a stray or
    // temporary entry, which could not be opened by its listed name anyway.
    const CString title = find.GetFileTitle();
    CString id = title;
    if (!NormalizeID(id) || id != title || find.GetFileName().CompareNoCase(title + extension) != 0) continue;
    if (OnFindID(title, find.GetFilePath(), includeEmpty)) list.Add(title);
  }
  return TRUE;
}

BOOL CQVGPMManager::OnFindID(LPCWSTR title, LPCWSTR path, BOOL includeEmpty) {
  return includeEmpty || !IsEmpty(path);
}

BOOL CQVGPMManager::IsEmpty(LPCWSTR path) {
  if (m_nKind == kindFile) {
    CFileStatus status;
    return CFile::GetStatus(path, status) && status.m_size == 0;
  }
  CFileFind find;
  BOOL more = find.FindFile(CString(path) + u"/*.*");
  while (more) {
    more = find.FindNextFile();
    if (!find.IsDots()) return FALSE;
  }
  return TRUE;
}

BOOL CQVGPMManager::Create(LPCWSTR name) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __Create_File(name) : __Create_Folder(name);
}

BOOL CQVGPMManager::__Create_File(LPCWSTR name) { return CreateEntry(name, FALSE); }

BOOL CQVGPMManager::__Create_Folder(LPCWSTR name) { return CreateEntry(name, TRUE); }

BOOL CQVGPMManager::CreateEntry(LPCWSTR name, BOOL folder) {
  CString path;
  if (!GetFullPath(name, path) || DPXFileExists(path) || DPXFolderExists(path)) return FALSE;
  CQVGPMLock lock;
  if (!lock.LockFile(path, 0)) return FALSE;
  // Another writer may have made it before the lock was ours.
  if (DPXFileExists(path) || DPXFolderExists(path)) return FALSE;
  if (folder) return CreateDirectoryW(path, nullptr);
  CFile file;
  if (!file.Open(path, CFile::modeCreate | CFile::modeWrite)) return FALSE;
  try {
    file.Close();
  } catch (CException* e) {
    e->Delete();
    return FALSE;
  }
  return TRUE;
}

BOOL CQVGPMManager::Delete(LPCWSTR name) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __Delete_File(name) : __Delete_Folder(name);
}

BOOL CQVGPMManager::__Delete_File(LPCWSTR name) { return DeleteEntry(name, FALSE); }

BOOL CQVGPMManager::__Delete_Folder(LPCWSTR name) { return DeleteEntry(name, TRUE); }

BOOL CQVGPMManager::DeleteEntry(LPCWSTR name, BOOL folder) {
  CString path;
  if (!GetFullPath(name, path)) return FALSE;
  CQVGPMLock lock;
  if (!lock.LockFile(path, 0)) return FALSE;
  if (folder) {
    DPXDeleteFolderTree(path);
    return !DPXFolderExists(path);
  }
  DeleteFileW(path);
  return !DPXFileExists(path);
}

BOOL CQVGPMManager::DeleteAll() {
  if (!IsKnownKind()) return FALSE;
  CDPXStringList ids;
  if (!FindIDs(ids, TRUE)) return FALSE;
  CString id;
  for (int i = 0; ids.GetAtIndex(i, id); ++i) {
    if (m_nKind == kindFile) {
      __Delete_File(id);
    } else {
      __Delete_Folder(id);
    }
  }
  return TRUE;
}

BOOL CQVGPMManager::Open(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __Open_File(name, io, readOnly) : __Open_Folder(name, io, readOnly);
}

BOOL CQVGPMManager::__Open_File(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) { return __Open_xxxx(name, io, readOnly); }

BOOL CQVGPMManager::__Open_Folder(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) { return __Open_xxxx(name, io, readOnly); }

BOOL CQVGPMManager::__Open_xxxx(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) {
  CString id(name);
  CString path;
  if (!NormalizeID(id) || !GetFullPath(id, path)) return FALSE;
  if (!io || io->IsOpen()) return FALSE;
  CString working;
  if (!CreateWorkingPath(working)) return FALSE;
  // Readers take no lock: they are never kept out, and they copy an entry that is only ever
  // replaced as a whole.
  BOOL opened = readOnly || io->m_lock.LockFile(path, 0);
  if (opened) {
    io->m_strID = id;
    io->m_strWorkingPath = working;
    opened = CopyToWorkingPath(id, working) && io->Open(readOnly);
  }
  if (!opened) {
    io->m_lock.Unlock();
    io->m_strID.Empty();
    io->m_strWorkingPath.Empty();
    DeleteWorkingPath(working);
  }
  return opened;
}

BOOL CQVGPMManager::Close(LPCWSTR name, CQVGPMIO* io) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __Close_File(name, io) : __Close_Folder(name, io);
}

BOOL CQVGPMManager::Discard(LPCWSTR name, CQVGPMIO* io) {
  if (!IsKnownKind()) return FALSE;
  return m_nKind == kindFile ? __Discard_File(name, io) : __Discard_Folder(name, io);
}

BOOL CQVGPMManager::__Close_File(LPCWSTR name, CQVGPMIO* io) { return __Close_xxxx(name, io, FALSE); }

BOOL CQVGPMManager::__Close_Folder(LPCWSTR name, CQVGPMIO* io) { return __Close_xxxx(name, io, FALSE); }

BOOL CQVGPMManager::__Discard_File(LPCWSTR name, CQVGPMIO* io) { return __Close_xxxx(name, io, TRUE); }

BOOL CQVGPMManager::__Discard_Folder(LPCWSTR name, CQVGPMIO* io) { return __Close_xxxx(name, io, TRUE); }

BOOL CQVGPMManager::__Close_xxxx(LPCWSTR name, CQVGPMIO* io, BOOL discard) {
  BOOL readOnly = FALSE;
  if (!io || !io->IsOpen(readOnly)) return FALSE;
  // The copy goes back into the ID it was taken from, under that ID's lock, and nowhere else.
  CString id(name);
  if (NormalizeID(id) && id.CompareNoCase(io->m_strID) != 0) return FALSE;
  io->Close(discard);
  const BOOL result = (discard || readOnly) ? TRUE : CopyFromWorkingPath(io->m_strID, io->m_strWorkingPath);
  DeleteWorkingPath(io->m_strWorkingPath);
  io->m_strID.Empty();
  io->m_strWorkingPath.Empty();
  io->m_lock.Unlock();
  return result;
}

int CQVGPMManager::IDList_Refresh() {
  if (FindIDs(m_list, FALSE)) {
    m_list.Sort(1, FALSE);
  } else {
    m_list.RemoveAll();
  }
  return m_list.GetCount();
}

BOOL CQVGPMManager::IDList_Get(int index, CString& name) const { return m_list.GetAtIndex(index, name); }

BOOL CQVGPMManager::CreateWorkingPath(CString& path) {
  CDPXTempFilename name;
  if (!name.Create(path)) return FALSE;
  name.Detach();
  return TRUE;
}

void CQVGPMManager::DeleteWorkingPath(LPCWSTR path) {
  DPXDeleteFolderTree(path);
  DeleteFileW(path);
}

BOOL CQVGPMManager::CopyToWorkingPath(LPCWSTR name, LPCWSTR workingPath) {
  CString path;
  if (!IsKnownKind() || !GetFullPath(name, path)) return FALSE;
  // A file replaces the working file as a whole; nothing is removed first.
  if (m_nKind == kindFile) return CopyFileW(path, workingPath, FALSE);
  // The working folder is made afresh where the working file was; making it fails when anything
  // took the name meanwhile, so nothing is ever copied through somebody else's link.
  DeleteWorkingPath(workingPath);
  if (!CreateDirectoryW(workingPath, nullptr)) return FALSE;
  return DPXFolderExists(path) ? DPXCopyFolderTree(path, workingPath) : TRUE;
}

BOOL CQVGPMManager::CopyFromWorkingPath(LPCWSTR name, LPCWSTR workingPath) {
  CString path;
  if (!IsKnownKind() || !GetFullPath(name, path)) return FALSE;
  return m_nKind == kindFile ? CopyFromWorkingFile(path, workingPath) : CopyFromWorkingFolder(path, workingPath);
}

BOOL CQVGPMManager::CopyFromWorkingFile(LPCWSTR entry, LPCWSTR workingPath) {
  // The copy replaces the entry whole, so a failure leaves the old entry.
  return CopyFileW(workingPath, entry, FALSE);
}

BOOL CQVGPMManager::CopyFromWorkingFolder(LPCWSTR entry, LPCWSTR workingPath) {
  if (!DPXFolderExists(workingPath)) return FALSE;
  // The new folder is built beside the entry, then swapped in by two renames; until the second
  // one has succeeded the old entry is kept (and put back when it fails).
  CString root = m_strRoot;
  DPXAppendBackslash(root);
  // A new empty file reserves a unique name for the two folders.
  WCHAR reserved[MAX_PATH] = {};
  if (!GetTempFileNameW(root, u"dp", 0, reserved)) return FALSE;
  const CString staging = CString(reserved) + u".new";
  const CString previous = CString(reserved) + u".old";
  const BOOL hadEntry = DPXFolderExists(entry);
  BOOL replaced = DPXCopyFolderTree(workingPath, staging);
  if (replaced && hadEntry) replaced = MoveFileExW(entry, previous, 0);
  if (replaced) {
    replaced = MoveFileExW(staging, entry, 0);
    if (!replaced && hadEntry) MoveFileExW(previous, entry, 0);
  }
  DPXDeleteFolderTree(replaced ? previous : staging);
  DeleteFileW(reserved);
  return replaced;
}
