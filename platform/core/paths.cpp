#include "platform/core/paths.h"

#include "platform/core/codepage.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>

using namespace std::literals;

namespace {

std::u16string Folded(std::string_view native) {
  std::u16string text = Utf8ToWideKeepingBytes(native);
  for (auto& unit : text) unit = FoldLower(unit);
  return text;
}

bool Exists(const std::string& native) {
  struct stat st;
  return ::lstat(native.c_str(), &st) == 0;
}

// The entry of `folder` whose name equals `name` without regard to case; the first in byte order
// when several do. Empty when there is none or the folder cannot be read.
std::string FindIgnoringCase(const std::string& folder, std::string_view name) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return {};
  const std::u16string wanted = Folded(name);
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view candidate(entry->d_name);
    if (candidate == "."sv || candidate == ".."sv) continue;
    if ((found.empty() || candidate < found) && Folded(candidate) == wanted) found = candidate;
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::string PathToNative(LPCWSTR path) {
  if (!path) return {};
  std::u16string text(path);
  std::replace(text.begin(), text.end(), u'\\', u'/');
  return WideToUtf8KeepingBytes(text);
}

CString PathFromNative(std::string_view native) { return CString(Utf8ToWideKeepingBytes(native)); }

std::string ResolvePath(LPCWSTR path) { return ResolveNativePath(PathToNative(path)); }

std::string ResolveNativePath(std::string_view native) {
  std::string path(native);
  if (path.empty() || Exists(path)) return path;

  std::string resolved;
  size_t at = 0;
  if (path[0] == '/') {
    resolved = "/";
    at = 1;
  }
  while (at <= path.size()) {
    const size_t slash = std::min(path.find('/', at), path.size());
    const std::string_view component = std::string_view(path).substr(at, slash - at);
    if (component.empty() || component == "."sv || component == ".."sv || Exists(resolved + std::string(component))) {
      resolved += component;
    } else {
      const std::string match = FindIgnoringCase(resolved, component);
      if (match.empty()) return resolved + path.substr(at);
      resolved += match;
    }
    if (slash == path.size()) break;
    resolved += '/';
    at = slash + 1;
  }
  return resolved;
}
