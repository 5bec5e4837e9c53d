// Item ID lists as paths, the user's folders, the shell's allocator and opening documents.

#include "platform/ui/shell/shlobj.h"

#include "platform/core/paths.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
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

namespace {
DocumentOpener g_opener = nullptr;
}

DocumentOpener SetDocumentOpener(DocumentOpener opener) {
  DocumentOpener before = g_opener;
  g_opener = opener;
  return before;
}

HINSTANCE ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR, LPCWSTR directory, int) {
  auto answer = [](std::uintptr_t code) { return reinterpret_cast<HINSTANCE>(code); };
  if (!file || !*file) return answer(SE_ERR_FNF);
  if (verb && std::u16string_view(verb) != u"open") return answer(SE_ERR_NOASSOC);
  QString text = QString::fromStdU16String(file);
  // An address starts with its scheme (two letters or more); anything else, a drive path such as
  // C:\x among them, is a path.
  QUrl url(text, QUrl::StrictMode);
  if (!url.isValid() || url.scheme().size() < 2 || url.isLocalFile()) {
    std::u16string path = file;
    if (directory && *directory && path.front() != u'/' && path.front() != u'\\')
      path = std::u16string(directory) + u"/" + path;
    if (url.isLocalFile()) path = url.toLocalFile().toStdU16String();
    std::string native = ResolvePath(path.c_str());
    if (!QFileInfo::exists(QFile::decodeName(QByteArray::fromStdString(native)))) return answer(SE_ERR_FNF);
    url = QUrl::fromLocalFile(QFile::decodeName(QByteArray::fromStdString(native)));
  }
  bool opened = g_opener ? g_opener(url.toString(QUrl::FullyEncoded).toStdU16String().c_str()) != FALSE
                         : QDesktopServices::openUrl(url);
  // Any value above 32 means success.
  return answer(opened ? 33 : SE_ERR_NOASSOC);
}
