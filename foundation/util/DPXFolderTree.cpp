#include "foundation/util/DPXFolderTree.h"

#include "foundation/util/DPXPath.h"
#include "platform/core/CFileFind.h"
#include "platform/core/fileapi.h"
#include "platform/core/fileidentity.h"

namespace {

// TRUE when the search finds an entry that `wanted` accepts.
template <class Wanted>
BOOL FindsEntry(LPCWSTR pattern, Wanted wanted) {
  if (!pattern) return FALSE;
  CFileFind find;
  for (BOOL more = find.FindFile(pattern); more;) {
    more = find.FindNextFile();
    if (!find.IsDots() && wanted(find)) return TRUE;
  }
  return FALSE;
}

// A folder to walk into: a real folder, never a link to one.
bool IsSubFolder(const CFileFind& find) { return !find.IsDots() && find.IsDirectory() && !find.IsSymbolicLink(); }

CString WithoutTrailingSeparator(CString path) {
  const int length = path.GetLength();
  if (length > 1 && (path[length - 1] == u'/' || path[length - 1] == u'\\')) path.Truncate(length - 1);
  return path;
}

}  // namespace

BOOL DPXFileExists(LPCWSTR path) {
  return FindsEntry(path, [](const CFileFind& find) { return !find.IsDirectory(); });
}

BOOL DPXFolderExists(LPCWSTR path) {
  return FindsEntry(path, [](const CFileFind& find) { return find.IsDirectory() != FALSE; });
}

BOOL DPXFindFileInTree(LPCWSTR folder, LPCWSTR name, CString& out) {
  out.Empty();
  CString root(folder);
  DPXAppendBackslash(root);
  if (root.IsEmpty()) return FALSE;
  const CString pattern = root + u"*.*";
  CFileFind find;
  for (BOOL more = find.FindFile(pattern); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || find.IsDirectory()) continue;
    CString fileName;
    DPXGetFileNameOfPath(find.GetFilePath(), fileName);
    if (fileName.CompareNoCase(name ? name : u"") == 0) {
      out = find.GetFilePath();
      return TRUE;
    }
  }
  for (BOOL more = find.FindFile(pattern); more;) {
    more = find.FindNextFile();
    if (IsSubFolder(find) && DPXFindFileInTree(find.GetFilePath(), name, out)) return TRUE;
  }
  return FALSE;
}

void DPXDeleteFolderTree(LPCWSTR folder) {
  if (!folder) return;
  CString root(folder);
  DPXAppendBackslash(root);
  if (root.IsEmpty()) return;
  const DWORD attributes = GetFileAttributesW(WithoutTrailingSeparator(root));
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    DeleteFileW(WithoutTrailingSeparator(root));
    return;
  }
  CFileFind find;
  for (BOOL more = find.FindFile(root + u"*.*"); more;) {
    more = find.FindNextFile();
    if (find.IsDots()) continue;
    if (IsSubFolder(find)) DPXDeleteFolderTree(find.GetFilePath());
    else DeleteFileW(find.GetFilePath());
  }
  RemoveDirectoryW(folder);
}

BOOL DPXCopyFolderTree(LPCWSTR source, LPCWSTR target) {
  if (!source || !target) return FALSE;
  CString from(source);
  DPXAppendBackslash(from);
  CString to(target);
  DPXAppendBackslash(to);
  if (from.IsEmpty() || to.IsEmpty()) return FALSE;
  to = WithoutTrailingSeparator(to);
  const CString fromFolder = WithoutTrailingSeparator(from);
  // Identity is the folder on disk, not the spelling: /a and /A are two folders when both exist.
  if (fromFolder == to || IsSameFileW(fromFolder, to)) return TRUE;
  // Never into itself: neither by name nor through any folder above the target.
  if (to.Left(from.GetLength()) == from) return FALSE;
  for (CString above = to; !above.IsEmpty();) {
    CString parent;
    DPXGetParentFolder(above, parent);
    parent = WithoutTrailingSeparator(parent);
    if (parent.IsEmpty() || parent == above) break;
    if (IsSameFileW(fromFolder, parent)) return FALSE;
    above = parent;
  }
  CreateDirectoryW(to, nullptr);
  CFileFind find;
  for (BOOL more = find.FindFile(from + u"*.*"); more;) {
    more = find.FindNextFile();
    if (find.IsDots() || find.IsSymbolicLink()) continue;
    const CString copy = to + u"/" + find.GetFileName();
    if (find.IsDirectory() ? !DPXCopyFolderTree(find.GetFilePath(), copy) : !CopyFileW(find.GetFilePath(), copy, FALSE))
      return FALSE;
  }
  return TRUE;
}
