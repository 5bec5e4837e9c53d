#include "foundation/util/DPXPath.h"

#include "platform/core/fileapi.h"
#include "platform/core/module.h"

namespace {

bool IsSeparator(WCHAR ch) { return ch == u'/' || ch == u'\\'; }

int LastSeparator(const CString& path) {
  for (int i = path.GetLength() - 1; i >= 0; --i)
    if (IsSeparator(path[i])) return i;
  return -1;
}

}  // namespace

void DPXSplitPath(LPCWSTR path, CString& drive, CString& folder, CString& title, CString& extension) {
  drive.Empty();
  folder.Empty();
  title.Empty();
  extension.Empty();
  if (!path) return;
  const CString whole(path);
  const int nameStart = LastSeparator(whole) + 1;
  folder = whole.Left(nameStart);
  const CString name = whole.Mid(nameStart);
  const int dot = name.ReverseFind(u'.');
  title = dot >= 0 ? name.Left(dot) : name;
  extension = dot >= 0 ? name.Mid(dot) : CString();
  folder.Trim();
  title.Trim();
  extension.Trim();
}

void DPXAppendBackslash(CString& path) {
  path.Trim();
  if (!path.IsEmpty() && !IsSeparator(path[path.GetLength() - 1])) path += u'/';
}

void DPXGetFolderOfPath(LPCWSTR path, CString& out) {
  CString drive, title, extension;
  DPXSplitPath(path, drive, out, title, extension);
  out = drive + out;
  DPXAppendBackslash(out);
}

void DPXGetFileNameOfPath(LPCWSTR path, CString& out) {
  CString drive, folder, title, extension;
  DPXSplitPath(path, drive, folder, title, extension);
  out = title + extension;
  out.Trim();
}

void DPXGetParentFolder(LPCWSTR folder, CString& out) {
  out = folder;
  DPXAppendBackslash(out);
  if (out.IsEmpty()) return;
  out.Truncate(out.GetLength() - 1);
  out.Truncate(LastSeparator(out) + 1);
  out.Trim();
  DPXAppendBackslash(out);
}

void DPXGetTempPath(CString& out) {
  out.Empty();
  const DWORD size = GetTempPathW(0, nullptr);
  if (size == 0) return;
  const DWORD length = GetTempPathW(size, out.GetBufferSetLength(static_cast<int>(size)));
  out.ReleaseBuffer(length < size ? static_cast<int>(length) : 0);
  DPXAppendBackslash(out);
}

void DPXGetModuleFilePath(HMODULE module, CString& out) {
  out.Empty();
  // Paths here may be longer than MAX_PATH: a cut path would name another file, so the buffer
  // grows until the whole path fits.
  for (DWORD size = MAX_PATH; size <= 0x8000; size *= 2) {
    const DWORD length = GetModuleFileNameW(module, out.GetBufferSetLength(static_cast<int>(size)), size);
    if (length == 0) break;
    if (length < size) {
      out.ReleaseBuffer(static_cast<int>(length));
      return;
    }
  }
  out.Empty();
}

void DPXGetModuleFolder(HMODULE module, CString& out) {
  CString path;
  DPXGetModuleFilePath(module, path);
  if (path.IsEmpty()) {
    out.Empty();
    return;
  }
  DPXGetFolderOfPath(path, out);
}
