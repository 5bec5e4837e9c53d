#include "batchstore/CQVBDEDisk.h"

#include "batchstore/CQVBDEHelper.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

#include <dirent.h>

namespace {

// The ID of an eight-digit name, 0 when it is no ID text.
ULONG IDOfName(const char* name, size_t length) {
  if (length != 8) return 0;
  ULONG id = 0;
  for (size_t i = 0; i < 8; ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    id = id * 10 + static_cast<ULONG>(name[i] - '0');
  }
  return CQVBDEHelper::IsValidID(id) ? id : 0;
}

bool IsFolderEntry(int dirFd, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
  struct stat st;
  return ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

template <typename Accept>
BOOL ListIDs(const std::string& folder, std::vector<ULONG>& ids, Accept accept) {
  ids.clear();
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return FALSE;
  while (const dirent* entry = ::readdir(dir))
    if (ULONG id = accept(::dirfd(dir), entry)) ids.push_back(id);
  ::closedir(dir);
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return TRUE;
}

}  // namespace

BOOL __CQVBDEDisk::ListFolderIDs(const std::string& folder, std::vector<ULONG>& ids) {
  return ListIDs(folder, ids, [](int dirFd, const dirent* entry) -> ULONG {
    ULONG id = IDOfName(entry->d_name, std::strlen(entry->d_name));
    return id && IsFolderEntry(dirFd, entry) ? id : 0;
  });
}

BOOL __CQVBDEDisk::ListImageIDs(const std::string& folder, std::vector<ULONG>& ids) {
  return ListIDs(folder, ids, [](int dirFd, const dirent* entry) -> ULONG {
    size_t length = std::strlen(entry->d_name);
    if (length != 12 || ::strcasecmp(entry->d_name + 8, ".tif") != 0) return 0;
    ULONG id = IDOfName(entry->d_name, 8);
    return id && !IsFolderEntry(dirFd, entry) ? id : 0;
  });
}

BOOL __CQVBDEDisk::ListEntryIDs(const std::string& folder, std::vector<ULONG>& ids) {
  return ListIDs(folder, ids, [](int, const dirent* entry) -> ULONG {
    return std::strlen(entry->d_name) > 9 && entry->d_name[8] == '.' ? IDOfName(entry->d_name, 8) : 0;
  });
}

BOOL __CQVBDEDisk::ListEntryFiles(const std::string& stem, std::vector<std::string>& names) {
  names.clear();
  size_t slash = stem.rfind('/');
  std::string folder = slash == std::string::npos ? "." : stem.substr(0, slash);
  std::string prefix = (slash == std::string::npos ? stem : stem.substr(slash + 1)) + ".";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return errno == ENOENT ? TRUE : FALSE;
  while (const dirent* entry = ::readdir(dir)) {
    // The stem is digits, so comparing it without regard to case changes nothing; the whole
    // prefix is compared so that "0000000" never matches "00000001.tif".
    if (::strncasecmp(entry->d_name, prefix.c_str(), prefix.size()) == 0) names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return TRUE;
}

BOOL __CQVBDEDisk::RenameNoReplace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
  if (errno != EINVAL && errno != ENOSYS) return FALSE;
  // A file system without the flag: the batch's lock keeps other writers of the store away.
  if (Exists(to)) {
    errno = EEXIST;
    return FALSE;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

BOOL __CQVBDEDisk::Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

BOOL __CQVBDEDisk::IsFolder(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string __CQVBDEDisk::Name(ULONG id) {
  char text[16];
  std::snprintf(text, sizeof text, "%08u", static_cast<unsigned>(id));
  return text;
}
