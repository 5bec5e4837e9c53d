#include "framework/layouts/CQVSCLManager.h"

#include "foundation/util/CQVGPMLock.h"
#include "foundation/util/DPXFolderTree.h"
#include "framework/layouts/CQVSCLItem.h"

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
  DPXDeleteFolderTree(path);
  return !DPXFolderExists(path);
}
