#include "framework/layouts/CQVSCLManager.h"

#include "foundation/util/CQVGPMLock.h"
#include "foundation/util/DPXFolderTree.h"
#include "foundation/util/DPXPath.h"
#include "framework/layouts/CQVSCLItem.h"
#include "platform/core/fileapi.h"

#include <sys/stat.h>

IMPLEMENT_DYNAMIC(CQVSCLManager, CQVGPMManager)

CQVSCLManager::CQVSCLManager() : CQVGPMManager(kindFolder) {}

BOOL CQVSCLManager::IDList_GetDisplayName(int index, CString& name) {
  name.Empty();
  CString id;
  if (!IDList_Get(index, id)) return FALSE;
  CQVSCLItem item;
  if (!Open(id, &item, TRUE)) return FALSE;
  item.Get_DisplayName(name);
  Close(id, &item);
  return !name.IsEmpty();
}

BOOL CQVSCLManager::DeleteIfEmpty(LPCWSTR id) {
  CString path;
  if (!GetFullPath(id, path)) return FALSE;
  CQVGPMLock lock;
  if (!lock.LockFile(path, 0) || !DPXFolderExists(path) || !IsEmpty(path)) return FALSE;
  return DeleteOutOfPlace(path);
}

BOOL CQVSCLManager::__Delete_Folder(LPCWSTR name) {
  CString path;
  if (!GetFullPath(name, path)) return FALSE;
  CQVGPMLock lock;
  if (!lock.LockFile(path, 0)) return FALSE;
  return !DPXFolderExists(path) || DeleteOutOfPlace(path);
}

BOOL CQVSCLManager::DeleteOutOfPlace(const CString& path) {
  CString root;
  GetRootDir(root);
  DPXAppendBackslash(root);
  // A new empty file reserves a name with a dot, which is never an ID.
  WCHAR reserved[MAX_PATH] = {};
  if (!GetTempFileNameW(root, u"dl", 0, reserved)) return FALSE;
  const CString gone = CString(reserved) + u".del";
  const BOOL moved = MoveFileExW(path, gone, 0);
  if (moved) DPXDeleteFolderTree(gone);
  DeleteFileW(reserved);
  return moved && !DPXFolderExists(path);
}

namespace {
// What changes when a folder is swapped or deleted at its path: the folder itself, or a file in it.
struct FolderMark {
  bool there = false;
  dev_t device {};
  ino_t inode {};
  struct timespec changed {};
  bool operator==(const FolderMark& o) const {
    return there == o.there && (!there || (device == o.device && inode == o.inode && changed.tv_sec == o.changed.tv_sec &&
                                           changed.tv_nsec == o.changed.tv_nsec));
  }
};

FolderMark MarkOf(const CString& path) {
  FolderMark mark;
  struct stat st {};
  if (stat(path.ToUtf8().c_str(), &st) != 0) return mark;
  mark.there = true;
  mark.device = st.st_dev;
  mark.inode = st.st_ino;
  mark.changed = st.st_mtim;
  return mark;
}
}  // namespace

BOOL CQVSCLManager::__Open_Folder(LPCWSTR name, CQVGPMIO* io, BOOL readOnly) {
  if (!readOnly) return CQVGPMManager::__Open_Folder(name, io, readOnly);
  CString path;
  if (!io || !GetFullPath(name, path)) return FALSE;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const FolderMark before = MarkOf(path);
    if (!CQVGPMManager::__Open_Folder(name, io, readOnly)) return FALSE;
    if (MarkOf(path) == before) return TRUE;
    Discard(name, io);
  }
  return FALSE;
}
