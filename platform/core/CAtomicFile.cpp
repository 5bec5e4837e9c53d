#include "platform/core/CAtomicFile.h"

#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>

IMPLEMENT_DYNAMIC(CAtomicFile, CFile)

namespace {

// Names longer than this are shortened in the temporary name, which must stay within NAME_MAX.
constexpr size_t kMaxNameInTemporary = 200;

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // The rename has happened; a folder that cannot be synchronised changes nothing about that.
  ::fsync(fd);
  ::close(fd);
}

// Whether `entry` is a temporary file of a replacement of the file whose name starts `prefix`:
// the prefix, eight hexadecimal digits, ".tmp".
bool IsTemporaryOf(std::string_view entry, std::string_view prefix) {
  if (entry.size() != prefix.size() + 12 || entry.substr(0, prefix.size()) != prefix ||
      entry.substr(entry.size() - 4) != ".tmp") {
    return false;
  }
  for (char c : entry.substr(prefix.size(), 8)) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

// Deletes the temporary files that writers of the same target left behind when they were killed.
// A live writer holds a lock on its file; the lock of a dead one is gone with its process.
void RemoveLeftovers(const std::string& folder, const std::string& prefix) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsTemporaryOf(entry->d_name, prefix)) continue;
    const std::string path = folder + entry->d_name;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) continue;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(path.c_str());
    ::close(fd);
  }
  ::closedir(dir);
}

// Creates the temporary file and locks it for as long as it is open. Another writer may have
// taken the new file for a leftover between its creation and the lock; it is made again then.
int CreateLockedTemporary(const std::string& folder, const std::string& prefix, std::string& path) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    const int fd = qvcore::CreateUniqueFile(folder, prefix, ".tmp", 0666, path, nullptr);
    if (fd < 0) return -1;
    struct stat held, named;
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
        held.st_ino == named.st_ino && held.st_dev == named.st_dev) {
      return fd;
    }
    ::close(fd);
  }
  errno = EAGAIN;
  return -1;
}

}  // namespace

CAtomicFile::~CAtomicFile() { CAtomicFile::Abort(); }

BOOL CAtomicFile::Open(LPCWSTR target, UINT, CFileException* error) {
  Abort();
  m_targetPath = ResolvePath(target);
  m_strFileName = target;
  if (m_targetPath.empty() || m_targetPath.back() == '/') return Fail(ENOENT, error);
  const size_t slash = m_targetPath.rfind('/');
  const std::string folder = slash == std::string::npos ? std::string() : m_targetPath.substr(0, slash + 1);
  const std::string name = m_targetPath.substr(slash == std::string::npos ? 0 : slash + 1, kMaxNameInTemporary);
  const std::string prefix = "." + name + ".";

  // A read-only file is not replaced, as it would not be written over.
  struct stat st;
  const bool exists = ::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (exists && ((st.st_mode & 0222) == 0 || ::access(m_targetPath.c_str(), W_OK) != 0)) return Fail(EACCES, error);
  RemoveLeftovers(folder, prefix);
  const int fd = CreateLockedTemporary(folder, prefix, m_tempPath);
  if (fd < 0) return Fail(errno, error);
  m_hFile = fd;
  // The lock goes with the last descriptor of the file: a second one keeps it until the rename.
  m_lockFile = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (m_lockFile < 0) return Fail(errno, error);
  if (exists) ::fchmod(fd, st.st_mode & 07777);
  m_strFileName = CString(qvcore::FullPath(PathFromNative(m_targetPath).View()));
  m_writeFailure = 0;
  return TRUE;
}

BOOL CAtomicFile::Commit(CFileException* error) {
  if (m_hFile == hFileNull) return Fail(EBADF, error);
  if (m_writeFailure) return Fail(m_writeFailure, error);
  if (::fsync(m_hFile) != 0) return Fail(errno, error);
  const int closed = ::close(m_hFile);
  m_hFile = hFileNull;
  if (closed != 0 && errno != EINTR) return Fail(errno, error);
  if (::rename(m_tempPath.c_str(), m_targetPath.c_str()) != 0) return Fail(errno, error);
  m_tempPath.clear();
  ::close(m_lockFile);
  m_lockFile = -1;
  const size_t slash = m_targetPath.rfind('/');
  SyncFolder(slash == std::string::npos ? "." : m_targetPath.substr(0, slash + 1));
  m_strFileName.Empty();
  return TRUE;
}

void CAtomicFile::Close() {
  if (m_hFile == hFileNull) return;
  CFileException error;
  if (!Commit(&error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

void CAtomicFile::Abort() {
  CFile::Abort();
  if (!m_tempPath.empty()) ::unlink(m_tempPath.c_str());
  m_tempPath.clear();
  if (m_lockFile >= 0) ::close(m_lockFile);
  m_lockFile = -1;
}

void CAtomicFile::Write(const void* buffer, UINT count) {
  try {
    CFile::Write(buffer, count);
  } catch (CFileException* e) {
    m_writeFailure = e->m_lOsError > 0 ? static_cast<int>(e->m_lOsError) : EIO;
    throw;
  }
}

BOOL CAtomicFile::Fail(int failure, CFileException* error) {
  const CString name = m_strFileName.IsEmpty() ? PathFromNative(m_targetPath) : m_strFileName;
  Abort();
  return qvcore::FailToOpen(failure, m_targetPath, name, error);
}
