#include "platform/core/CFile.h"

#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

IMPLEMENT_DYNAMIC(CFile, CObject)

namespace {

void FillStatus(const std::string& native, const struct stat& st, CFileStatus& status) {
  const DWORD attributes = qvcore::AttributesOf(native, st);
  status.m_mtime = st.st_mtim.tv_sec;
  status.m_size = S_ISREG(st.st_mode) ? static_cast<ULONGLONG>(st.st_size) : 0;
  status.m_attribute = static_cast<BYTE>(attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
}

int OpenFlagsFor(UINT openFlags) {
  int flags = O_CLOEXEC;
  switch (openFlags & 3) {
    case CFile::modeRead: flags |= O_RDONLY; break;
    case CFile::modeWrite: flags |= O_WRONLY; break;
    case CFile::modeReadWrite: flags |= O_RDWR; break;
    default: return -1;
  }
  if (openFlags & CFile::modeCreate) flags |= (openFlags & CFile::modeNoTruncate) ? O_CREAT : O_CREAT | O_TRUNC;
  return flags;
}

}  // namespace

CFile::CFile(LPCWSTR path, UINT openFlags) {
  CFileException error;
  if (!Open(path, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

CFile::~CFile() { CFile::Abort(); }

BOOL CFile::Open(LPCWSTR path, UINT openFlags, CFileException* error) {
  CFile::Abort();
  const std::string native = ResolvePath(path);
  const int flags = OpenFlagsFor(openFlags);
  int failure = native.empty() ? ENOENT : (flags < 0 ? EINVAL : 0);
  int fd = -1;
  if (!failure) {
    do {
      fd = ::open(native.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) failure = errno;
  }
  struct stat st;
  if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    fd = -1;
    failure = EISDIR;
  }
  if (fd < 0) return qvcore::FailToOpen(failure, native, path, error);
  m_hFile = fd;
  m_strFileName = CString(qvcore::FullPath(PathFromNative(native).View()));
  return TRUE;
}

void CFile::Close() {
  if (m_hFile == hFileNull) return;
  const int result = ::close(m_hFile);
  const int failure = errno;
  m_hFile = hFileNull;
  // After EINTR Linux has released the descriptor; only a real error means lost data.
  if (result != 0 && failure != EINTR) {
    const CString name = m_strFileName;
    m_strFileName.Empty();
    AfxThrowFileException(CFileException::CauseFromErrno(failure), failure, name);
  }
  m_strFileName.Empty();
}

void CFile::Abort() {
  if (m_hFile != hFileNull) ::close(m_hFile);
  m_hFile = hFileNull;
  m_strFileName.Empty();
}

UINT CFile::Read(void* buffer, UINT count) {
  UINT done = 0;
  while (done < count) {
    const ssize_t n = ::read(m_hFile, static_cast<BYTE*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(errno);
    if (n == 0) break;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CFile::Write(const void* buffer, UINT count) {
  UINT done = 0;
  while (done < count) {
    const ssize_t n = ::write(m_hFile, static_cast<const BYTE*>(buffer) + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) ThrowErrno(errno);
    if (n == 0) ThrowErrno(ENOSPC);
    done += static_cast<UINT>(n);
  }
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  const int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : from == end ? SEEK_END : -1;
  if (whence < 0) ThrowErrno(EINVAL);
  const off_t position = ::lseek(m_hFile, offset, whence);
  if (position < 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetPosition() const {
  const off_t position = ::lseek(m_hFile, 0, SEEK_CUR);
  if (position < 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(position);
}

ULONGLONG CFile::GetLength() const {
  struct stat st;
  if (::fstat(m_hFile, &st) != 0) ThrowErrno(errno);
  return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG length) {
  int result;
  do {
    result = ::ftruncate(m_hFile, static_cast<off_t>(length));
  } while (result != 0 && errno == EINTR);
  if (result != 0) ThrowErrno(errno);
}

void CFile::Flush() {
  if (m_hFile == hFileNull) return;
  // Pipes and devices cannot be synchronised (EINVAL); they hold nothing to lose.
  if (::fsync(m_hFile) != 0 && errno != EINVAL) ThrowErrno(errno);
}

CString CFile::GetFileName() const { return m_strFileName.Mid(m_strFileName.ReverseFind(u'/') + 1); }

CString CFile::GetFileTitle() const { return qvcore::TitleOf(GetFileName()); }

BOOL CFile::GetStatus(CFileStatus& status) const {
  struct stat st;
  if (m_hFile == hFileNull || ::fstat(m_hFile, &st) != 0) return FALSE;
  FillStatus(PathToNative(m_strFileName), st, status);
  status.m_szFullName = m_strFileName;
  return TRUE;
}

BOOL CFile::GetStatus(LPCWSTR path, CFileStatus& status) {
  const std::string native = ResolvePath(path);
  struct stat st;
  if (native.empty() || ::lstat(native.c_str(), &st) != 0) {
    qvcore::SetPathError(native.empty() ? ENOENT : errno, native);
    return FALSE;
  }
  // A link reports what it leads to, with the link's own name.
  struct stat target;
  if (S_ISLNK(st.st_mode) && ::stat(native.c_str(), &target) == 0) st = target;
  FillStatus(native, st, status);
  status.m_szFullName = CString(qvcore::FullPath(PathFromNative(native).View()));
  return TRUE;
}

void CFile::Remove(LPCWSTR path) {
  const std::string native = ResolvePath(path);
  if (const int failure = native.empty() ? ENOENT : qvcore::DeleteNative(native))
    AfxThrowFileException(CFileException::CauseFromErrno(failure), failure, path);
}

void CFile::Rename(LPCWSTR oldPath, LPCWSTR newPath) {
  if (const int failure = qvcore::MovePath(oldPath, newPath, MOVEFILE_COPY_ALLOWED))
    AfxThrowFileException(CFileException::CauseFromErrno(failure), failure, oldPath);
}

void CFile::ThrowErrno(int error) const {
  AfxThrowFileException(CFileException::CauseFromErrno(error), error, m_strFileName);
}
