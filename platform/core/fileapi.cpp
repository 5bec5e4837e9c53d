#include "platform/core/fileapi.h"

#include "platform/core/CAtomicFile.h"
#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <vector>

using namespace std::literals;

namespace {

std::string_view NameOf(std::string_view native) {
  const size_t slash = native.rfind('/');
  return slash == std::string_view::npos ? native : native.substr(slash + 1);
}

BOOL Succeed() {
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}

BOOL FailWith(DWORD code) {
  SetLastError(code);
  return FALSE;
}

BOOL FailOnPath(int error, const std::string& native) {
  qvcore::SetPathError(error, native);
  return FALSE;
}

// The native path of a non-empty path argument; empty for null or "".
std::string Resolved(LPCWSTR path) { return path && *path ? ResolvePath(path) : std::string(); }

// ---- copying -------------------------------------------------------------------------------

int CopyContents(const std::string& source, const std::string& target) {
  int in;
  do {
    in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
  } while (in < 0 && errno == EINTR);
  if (in < 0) return errno;
  struct stat st;
  const int unusable = ::fstat(in, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  if (unusable) {
    ::close(in);
    return unusable;
  }
  CAtomicFile out;
  CFileException error;
  const CString targetPath = PathFromNative(target);
  if (!out.Open(targetPath, CFile::modeReadWrite, &error)) {
    ::close(in);
    return static_cast<int>(error.m_lOsError);
  }
  int failure = 0;
  std::vector<BYTE> buffer(1 << 16);
  try {
    for (;;) {
      const ssize_t n = ::read(in, buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        failure = errno;
        break;
      }
      if (n == 0) break;
      out.Write(buffer.data(), static_cast<UINT>(n));
    }
  } catch (CFileException* e) {
    failure = static_cast<int>(e->m_lOsError);
    e->Delete();
  }
  ::close(in);
  if (!failure && ::fchmod(out.m_hFile, st.st_mode & 07777) != 0) failure = errno;
  const struct timespec times[2] = {st.st_atim, st.st_mtim};
  if (!failure && ::futimens(out.m_hFile, times) != 0) failure = errno;
  if (failure) return failure;
  return out.Commit(&error) ? 0 : static_cast<int>(error.m_lOsError);
}

// ---- pattern matching ----------------------------------------------------------------------

std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  for (auto& unit : folded) unit = FoldLower(unit);
  return folded;
}

bool HasWildcards(std::u16string_view pattern) { return pattern.find_first_of(u"*?") != std::u16string_view::npos; }

// '*' matches any run of characters and '?' one character; both sides are folded already.
bool Matches(std::u16string_view pattern, std::u16string_view name) {
  size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
      ++p, ++n;
    } else if (p < pattern.size() && pattern[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == u'*') ++p;
  return p == pattern.size();
}

// Windows' reading of a pattern: "*.*" is every name, and "name.*" also matches "name" itself.
bool MatchesPattern(std::u16string_view pattern, std::u16string_view name) {
  if (pattern == u"*.*"sv || Matches(pattern, name)) return true;
  return pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == u".*"sv &&
         Matches(pattern.substr(0, pattern.size() - 2), name);
}

bool FillFindData(const std::string& native, WIN32_FIND_DATAW& data) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) return false;
  data = WIN32_FIND_DATAW {};
  data.dwFileAttributes = qvcore::AttributesOf(native, st);
  data.ftLastWriteTime = qvcore::FileTimeOf(st.st_mtim);
  data.ftCreationTime = data.ftLastWriteTime;  // POSIX keeps no creation time
  data.ftLastAccessTime = qvcore::FileTimeOf(st.st_atim);
  const auto size = S_ISREG(st.st_mode) ? static_cast<ULONGLONG>(st.st_size) : 0;
  data.nFileSizeHigh = static_cast<DWORD>(size >> 32);
  data.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFFu);
  const CString name = PathFromNative(NameOf(native));
  std::copy_n(name.GetString(), std::min(name.GetLength(), MAX_PATH - 1), data.cFileName);
  return true;
}

// "." and ".." first, then by name without regard to case, then by code unit.
bool ListedBefore(const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
  const std::u16string_view nameA(a.cFileName), nameB(b.cFileName);
  const int rankA = nameA == u"."sv ? 0 : nameA == u".."sv ? 1 : 2;
  const int rankB = nameB == u"."sv ? 0 : nameB == u".."sv ? 1 : 2;
  if (rankA != rankB) return rankA < rankB;
  const CString foldedA(nameA);
  if (const int order = foldedA.CompareNoCase(b.cFileName)) return order < 0;
  return nameA < nameB;
}

// ---- find handles ----------------------------------------------------------------------------

struct FindState {
  std::vector<WIN32_FIND_DATAW> entries;
  size_t next = 1;
};

struct FindTable {
  std::mutex lock;
  std::unordered_set<FindState*> live;
};

FindTable& Finds() {
  static auto* table = new FindTable;
  return *table;
}

}  // namespace

namespace qvcore {

int DeleteNative(const std::string& native) {
  struct stat st;
  if (::lstat(native.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  return ::unlink(native.c_str()) == 0 ? 0 : errno;
}

int MovePath(LPCWSTR source, LPCWSTR target, DWORD flags) {
  const std::string from = Resolved(source);
  std::string to = Resolved(target);
  if (from.empty() || to.empty()) return from.empty() ? ENOENT : EINVAL;
  struct stat sourceStat;
  if (::lstat(from.c_str(), &sourceStat) != 0) return errno;
  struct stat targetStat;
  if (::lstat(to.c_str(), &targetStat) == 0) {
    if (to == from) {
      // The target is the source under another spelling: a change of case keeps the new one.
      const size_t slash = to.rfind('/');
      to = to.substr(0, slash == std::string::npos ? 0 : slash + 1) + std::string(NameOf(PathToNative(target)));
      if (to == from) return 0;
    } else if (!(flags & MOVEFILE_REPLACE_EXISTING)) {
      return EEXIST;
    } else if (S_ISDIR(targetStat.st_mode) || S_ISDIR(sourceStat.st_mode)) {
      return EACCES;  // a folder neither replaces nor is replaced
    }
  }
  if (::rename(from.c_str(), to.c_str()) == 0) return 0;
  if (errno != EXDEV || !(flags & MOVEFILE_COPY_ALLOWED) || !S_ISREG(sourceStat.st_mode)) return errno;
  if (const int failure = CopyContents(from, to)) return failure;
  return ::unlink(from.c_str()) == 0 ? 0 : errno;
}

BOOL ListMatches(LPCWSTR pattern, CString& root, std::vector<WIN32_FIND_DATAW>& entries) {
  root.Empty();
  entries.clear();
  const std::u16string full = FullPath(pattern && *pattern ? std::u16string_view(pattern) : std::u16string_view(u"*.*"));
  if (full.empty()) return FailWith(ErrorFromErrno(errno));
  const size_t slash = full.rfind(u'/');
  const std::u16string_view namePattern = std::u16string_view(full).substr(slash + 1);
  const std::string folder = ResolveNativePath(PathToNative(full.substr(0, slash + 1).c_str()));
  root = PathFromNative(folder);
  if (namePattern.empty()) return FailWith(ERROR_FILE_NOT_FOUND);

  if (!HasWildcards(namePattern)) {
    WIN32_FIND_DATAW data;
    const std::string native = ResolvePath(full.c_str());
    if (!FillFindData(native, data)) return FailOnPath(errno, native);
    entries.push_back(data);
    return Succeed();
  }
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return FailWith(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
  const std::u16string wanted = Folded(namePattern);
  while (const dirent* entry = ::readdir(dir)) {
    WIN32_FIND_DATAW data;
    if (MatchesPattern(wanted, Folded(PathFromNative(entry->d_name).View())) && FillFindData(folder + entry->d_name, data))
      entries.push_back(data);
  }
  ::closedir(dir);
  if (entries.empty()) return FailWith(ERROR_FILE_NOT_FOUND);
  std::sort(entries.begin(), entries.end(), ListedBefore);
  return Succeed();
}

}  // namespace qvcore

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
  const std::string native = Resolved(path);
  if (native.empty()) return FailWith(ERROR_PATH_NOT_FOUND);
  if (::mkdir(native.c_str(), 0777) == 0) return Succeed();
  return FailWith(errno == ENOENT ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
}

BOOL RemoveDirectoryW(LPCWSTR path) {
  const std::string native = Resolved(path);
  struct stat st;
  if (native.empty()) return FailWith(ERROR_PATH_NOT_FOUND);
  if (::lstat(native.c_str(), &st) != 0) return FailOnPath(errno, native);
  if (S_ISLNK(st.st_mode)) {
    // A link to a folder goes as the folder would; the folder it leads to stays.
    if (!(qvcore::AttributesOf(native, st) & FILE_ATTRIBUTE_DIRECTORY)) return FailWith(ERROR_DIRECTORY);
    return ::unlink(native.c_str()) == 0 ? Succeed() : FailOnPath(errno, native);
  }
  if (!S_ISDIR(st.st_mode)) return FailWith(ERROR_DIRECTORY);
  if (::rmdir(native.c_str()) == 0) return Succeed();
  return FailWith(errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(errno));
}

BOOL DeleteFileW(LPCWSTR path) {
  const std::string native = Resolved(path);
  if (native.empty()) return FailWith(ERROR_PATH_NOT_FOUND);
  const int failure = qvcore::DeleteNative(native);
  return failure ? FailOnPath(failure, native) : Succeed();
}

BOOL CopyFileW(LPCWSTR source, LPCWSTR target, BOOL failIfExists) {
  const std::string from = Resolved(source);
  const std::string to = Resolved(target);
  if (from.empty() || to.empty()) return FailWith(from.empty() ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  struct stat st;
  if (failIfExists && ::lstat(to.c_str(), &st) == 0) return FailWith(ERROR_FILE_EXISTS);
  if (::stat(from.c_str(), &st) != 0) return FailOnPath(errno, from);
  const int failure = CopyContents(from, to);
  return failure ? FailOnPath(failure, failure == ENOENT ? to : from) : Succeed();
}

BOOL MoveFileW(LPCWSTR source, LPCWSTR target) { return MoveFileExW(source, target, MOVEFILE_COPY_ALLOWED); }

BOOL MoveFileExW(LPCWSTR source, LPCWSTR target, DWORD flags) {
  const int failure = qvcore::MovePath(source, target, flags);
  if (!failure) return Succeed();
  // A missing entry is the source's when it is gone, else the target's folder.
  const std::string from = Resolved(source);
  struct stat st;
  return FailOnPath(failure, from.empty() || ::lstat(from.c_str(), &st) != 0 ? from : Resolved(target));
}

DWORD GetFileAttributesW(LPCWSTR path) {
  const std::string native = Resolved(path);
  struct stat st;
  if (native.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_FILE_ATTRIBUTES;
  }
  if (::lstat(native.c_str(), &st) != 0) {
    qvcore::SetPathError(errno, native);
    return INVALID_FILE_ATTRIBUTES;
  }
  SetLastError(ERROR_SUCCESS);
  return qvcore::AttributesOf(native, st);
}

BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
  const std::string native = Resolved(path);
  struct stat st;
  if (native.empty()) return FailWith(ERROR_PATH_NOT_FOUND);
  if (::stat(native.c_str(), &st) != 0) return FailOnPath(errno, native);
  const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (st.st_mode & ~0222) : (st.st_mode | S_IWUSR);
  if (mode != st.st_mode && ::chmod(native.c_str(), mode & 07777) != 0) return FailOnPath(errno, native);
  return Succeed();
}

DWORD GetTempPathW(DWORD size, LPWSTR buffer) {
  const std::optional<std::string> tmpdir = qvcore::ReadEnvironment("TMPDIR");
  std::u16string path = tmpdir && !tmpdir->empty() ? PathFromNative(*tmpdir).Str() : u"/tmp/";
  if (path.back() != u'/') path += u'/';
  return qvcore::CopyToBuffer(path, buffer, size);
}

UINT GetTempFileNameW(LPCWSTR folder, LPCWSTR prefix, UINT unique, LPWSTR name) {
  if (!folder || !name) return FailWith(ERROR_INVALID_PARAMETER);
  std::string native = ResolvePath(folder);
  if (!native.empty() && native.back() != '/') native += '/';
  const std::string start = PathToNative(CString(prefix).Left(3));
  // The longest name this can make must fit MAX_PATH units with the terminator.
  if (PathFromNative(native + start).GetLength() + 8 + 4 >= MAX_PATH) return FailWith(ERROR_BUFFER_OVERFLOW);
  std::string path;
  if (unique == 0) {
    const int fd = qvcore::CreateUniqueFile(native, start, ".tmp", 0600, path, &unique);
    if (fd < 0) return FailOnPath(errno, native + "x");
    ::close(fd);
  } else {
    char digits[5];
    std::snprintf(digits, sizeof digits, "%04X", unique & 0xFFFFu);
    path = native + start + digits + ".tmp";
  }
  qvcore::CopyToBuffer(PathFromNative(path).View(), name, MAX_PATH);
  SetLastError(ERROR_SUCCESS);
  return unique;
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR buffer) {
  const std::u16string path = qvcore::FullPath(u".");
  if (path.empty()) return FailWith(ErrorFromErrno(errno));
  return qvcore::CopyToBuffer(path, buffer, size);
}

DWORD GetFullPathNameW(LPCWSTR path, DWORD size, LPWSTR buffer, LPWSTR* filePart) {
  if (!path || !*path) return FailWith(ERROR_INVALID_NAME);
  const std::u16string full = qvcore::FullPath(path);
  if (full.empty()) return FailWith(ErrorFromErrno(errno));
  const DWORD answer = qvcore::CopyToBuffer(full, buffer, size);
  if (filePart) {
    const bool copied = answer < size;
    *filePart = copied && full.back() != u'/' ? buffer + full.rfind(u'/') + 1 : nullptr;
  }
  return answer;
}

HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
  if (!data) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  auto state = std::make_unique<FindState>();
  CString root;
  if (!qvcore::ListMatches(pattern, root, state->entries)) return INVALID_HANDLE_VALUE;
  *data = state->entries.front();
  FindTable& table = Finds();
  std::lock_guard guard(table.lock);
  table.live.insert(state.get());
  return state.release();
}

BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data) {
  FindTable& table = Finds();
  std::lock_guard guard(table.lock);
  auto* state = static_cast<FindState*>(find);
  if (!table.live.count(state) || !data) return FailWith(ERROR_INVALID_HANDLE);
  if (state->next >= state->entries.size()) return FailWith(ERROR_NO_MORE_FILES);
  *data = state->entries[state->next++];
  return TRUE;
}

BOOL FindClose(HANDLE find) {
  FindTable& table = Finds();
  std::lock_guard guard(table.lock);
  auto* state = static_cast<FindState*>(find);
  if (!table.live.erase(state)) return FailWith(ERROR_INVALID_HANDLE);
  delete state;
  return TRUE;
}
