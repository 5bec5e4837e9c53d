#include "platform/core/coreinternal.h"

#include "platform/core/paths.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <random>

using namespace std::literals;

namespace qvcore {

namespace {

UINT RandomNumber() {
  UINT value = 0;
  if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
    static thread_local std::mt19937 generator { std::random_device {}() };
    value = static_cast<UINT>(generator());
  }
  return value;
}

std::string_view WithoutTrailingSlashes(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return path;
}

std::string_view LastComponent(std::string_view path) {
  path = WithoutTrailingSlashes(path);
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string ParentOf(std::string_view path) {
  path = WithoutTrailingSlashes(path);
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  return slash == 0 ? "/" : std::string(path.substr(0, slash));
}

}  // namespace

DWORD CopyToBuffer(std::u16string_view text, LPWSTR buffer, DWORD size) {
  const auto length = static_cast<DWORD>(text.size());
  if (!buffer || length >= size) return length + 1;
  std::copy(text.begin(), text.end(), buffer);
  buffer[length] = 0;
  return length;
}

std::u16string FullPath(std::u16string_view path) {
  std::u16string text(path);
  std::replace(text.begin(), text.end(), u'\\', u'/');
  if (text.empty() || text[0] != u'/') {
    std::string cwd(256, '\0');
    while (!::getcwd(cwd.data(), cwd.size())) {
      if (errno != ERANGE) return {};
      cwd.resize(cwd.size() * 2);
    }
    cwd.resize(cwd.find('\0'));
    text = PathFromNative(cwd).Str() + u"/" + text;
  }
  const bool trailing = text.back() == u'/';
  std::vector<std::u16string_view> parts;
  const std::u16string_view view(text);
  for (size_t at = 0; at <= view.size();) {
    const size_t slash = std::min(view.find(u'/', at), view.size());
    const std::u16string_view part = view.substr(at, slash - at);
    if (part == u".."sv) {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u"."sv) {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::u16string full;
  for (const auto& part : parts) full.append(u"/").append(part);
  if (full.empty() || trailing) full += u'/';
  return full;
}

CString TitleOf(const CString& name) {
  const int dot = name.ReverseFind(u'.');
  return dot > 0 && name != u".." ? name.Left(dot) : name;
}

DWORD AttributesOf(const std::string& native, const struct stat& st) {
  DWORD attributes = 0;
  if (S_ISLNK(st.st_mode)) {
    attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    struct stat target;
    if (::stat(native.c_str(), &target) == 0 && S_ISDIR(target.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  } else {
    if (S_ISDIR(st.st_mode)) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((st.st_mode & 0222) == 0) attributes |= FILE_ATTRIBUTE_READONLY;
  }
  const std::string_view name = LastComponent(native);
  if (name.size() > 1 && name[0] == '.' && name != ".."sv) attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes ? attributes : FILE_ATTRIBUTE_NORMAL;
}

FILETIME FileTimeOf(const struct timespec& time) {
  // 100-nanosecond intervals since 1601-01-01.
  constexpr LONGLONG kSecondsFrom1601To1970 = 11644473600LL;
  const ULONGLONG ticks = static_cast<ULONGLONG>(time.tv_sec + kSecondsFrom1601To1970) * 10000000ULL +
                          static_cast<ULONGLONG>(time.tv_nsec / 100);
  return FILETIME { static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32) };
}

DWORD SetPathError(int error, const std::string& native) {
  DWORD code = ErrorFromErrno(error);
  if (error == ENOENT) {
    struct stat st;
    if (::stat(ParentOf(native).c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) code = ERROR_PATH_NOT_FOUND;
  }
  SetLastError(code);
  return code;
}

BOOL FailToOpen(int failure, const std::string& native, const CString& name, CFileException* error) {
  SetPathError(failure, native);
  if (error) {
    error->m_cause = CFileException::CauseFromErrno(failure);
    error->m_lOsError = failure;
    error->m_strFileName = name;
  }
  return FALSE;
}

int CreateUniqueFile(const std::string& folder, std::string_view prefix, std::string_view suffix, mode_t mode,
                     std::string& path, UINT* number) {
  // Names are random, so a folder full of old files costs retries, not failure.
  for (int attempt = 0; attempt < 100; ++attempt) {
    UINT value = 0;
    while (value == 0) value = RandomNumber();
    char digits[9];
    std::snprintf(digits, sizeof digits, "%08X", value);
    std::string candidate = folder;
    candidate.append(prefix).append(digits).append(suffix);
    int fd;
    do {
      fd = ::open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
      path = std::move(candidate);
      if (number) *number = value;
      return fd;
    }
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace qvcore
