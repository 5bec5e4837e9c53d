#include "platform/core/CAtomicFile.h"

#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

  const int fd = qvcore::CreateUniqueFile(folder, "." + name + ".", ".tmp", 0666, m_tempPath, nullptr);
  if (fd < 0) return Fail(errno, error);
  m_hFile = fd;
  struct stat st;
  if (::stat(m_targetPath.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
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
