// Item ID lists as paths, the user's folders and the shell's allocator.

#include "platform/ui/shlobj.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// A list is a block holding the path's length and its UTF-16 units.
struct PathList {
  std::uint32_t length;
  char16_t text[1];
};

LPITEMIDLIST MakeList(const std::u16string& path) {
  size_t bytes = offsetof(PathList, text) + (path.size() + 1) * sizeof(char16_t);
  auto* list = static_cast<PathList*>(std::malloc(bytes));
  if (!list) return nullptr;
  list->length = static_cast<std::uint32_t>(path.size());
  std::memcpy(list->text, path.c_str(), (path.size() + 1) * sizeof(char16_t));
  return reinterpret_cast<LPITEMIDLIST>(list);
}

class ShellAllocator : public IMalloc {
public:
  void* Alloc(SIZE_T size) override { return std::malloc(size); }
  void Free(void* block) override { std::free(block); }
  ULONG AddRef() override { return 1; }
  ULONG Release() override { return 1; }
};

QString FolderPath(int folder) {
  switch (folder & 0xFF) {
  case CSIDL_DESKTOP:
  case CSIDL_DESKTOPDIRECTORY: return QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
  case CSIDL_PERSONAL: return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  case CSIDL_MYPICTURES: return QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
  case CSIDL_APPDATA: return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
  case CSIDL_LOCAL_APPDATA: return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  case CSIDL_PROFILE: return QDir::homePath();
  case CSIDL_DRIVES: return QStringLiteral("/");
  default: return QString();
  }
}

}  // namespace

HRESULT SHGetMalloc(LPMALLOC* allocator) {
  static ShellAllocator shell;
  if (!allocator) return E_INVALIDARG;
  *allocator = &shell;
  return S_OK;
}

void CoTaskMemFree(void* block) { std::free(block); }
void ILFree(LPITEMIDLIST list) { std::free(list); }

LPITEMIDLIST ILCreateFromPathW(LPCWSTR path) {
  if (!path || path[0] != u'/') return nullptr;
  return MakeList(path);
}

LPITEMIDLIST SHSimpleIDListFromPath(LPCWSTR path) { return ILCreateFromPathW(path); }

BOOL SHGetPathFromIDListW(LPCITEMIDLIST list, LPWSTR path) {
  if (!path) return FALSE;
  path[0] = 0;
  if (!list) return FALSE;
  auto* p = reinterpret_cast<const PathList*>(list);
  if (p->length >= MAX_PATH) return FALSE;
  std::memcpy(path, p->text, (p->length + 1) * sizeof(char16_t));
  return TRUE;
}

HRESULT SHGetFolderLocation(HWND, int folder, HANDLE, DWORD, LPITEMIDLIST* list) {
  if (!list) return E_INVALIDARG;
  *list = nullptr;
  QString path = FolderPath(folder);
  if (path.isEmpty()) return E_INVALIDARG;
  if (folder & CSIDL_FLAG_CREATE) QDir().mkpath(path);
  *list = MakeList(path.toStdU16String());
  return *list ? S_OK : E_FAIL;
}

HRESULT SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path) {
  if (!path) return E_INVALIDARG;
  path[0] = 0;
  QString found = FolderPath(folder);
  if (found.isEmpty() || found.size() >= MAX_PATH) return E_FAIL;
  if (folder & CSIDL_FLAG_CREATE) QDir().mkpath(found);
  std::memcpy(path, found.utf16(), (static_cast<size_t>(found.size()) + 1) * sizeof(char16_t));
  return S_OK;
}
