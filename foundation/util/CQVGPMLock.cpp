#include "foundation/util/CQVGPMLock.h"

#include "platform/core/fileapi.h"
#include "platform/core/paths.h"
#include "platform/core/sysinfo.h"

#include <fcntl.h>
#include <sys/stat.h>

IMPLEMENT_DYNAMIC(CQVGPMLock, CObject)

namespace {
// How often one attempt reopens a lock file that was replaced while it was being locked.
constexpr int kReopenLimit = 16;
}  // namespace

CQVGPMLock::CQVGPMLock(LPCWSTR lockFile, BOOL lockNow) : m_strLockFile(lockFile) {
  if (lockNow) Lock(0);
}

CQVGPMLock::~CQVGPMLock() { Unlock(); }

BOOL CQVGPMLock::SetLockFile(LPCWSTR lockFile) {
  if (m_bLocked) return FALSE;
  m_strLockFile = lockFile;
  return TRUE;
}

BOOL CQVGPMLock::SetProtectedFile(LPCWSTR protectedPath) {
  if (m_bLocked) return FALSE;
  m_strLockFile = protectedPath;
  m_strLockFile.Trim();
  m_strLockFile += u".lck";
  return TRUE;
}

BOOL CQVGPMLock::Lock(DWORD timeout) {
  if (m_bLocked) return TRUE;
  if (m_strLockFile.IsEmpty()) return FALSE;
  const DWORD start = GetTickCount();
  for (;;) {
    if (TryLock()) {
      m_bLocked = TRUE;
      return TRUE;
    }
    if (timeout == 0) return FALSE;
    if (timeout != INFINITE && GetTickCount() - start >= timeout) return FALSE;
    Sleep(1);
  }
}

BOOL CQVGPMLock::LockFile(LPCWSTR protectedPath, DWORD timeout) {
  if (!SetProtectedFile(protectedPath)) return FALSE;
  return Lock(timeout);
}

BOOL CQVGPMLock::Unlock() {
  if (!m_bLocked) return FALSE;
  // Deleted before it is closed, so that nobody can lock this file once it is free: a locker that
  // opened it meanwhile finds it gone from the path and takes a new one.
  if (IsFileAtPath()) DeleteFileW(m_strLockFile);
  try {
    m_file.Close();
  } catch (CException* e) {
    e->Delete();
    m_file.Abort();
  }
  m_bLocked = FALSE;
  return TRUE;
}

BOOL CQVGPMLock::IsLocked(LPCWSTR lockFile) {
  CQVGPMLock probe(lockFile);
  return probe.Lock(0) ? FALSE : TRUE;
}

BOOL CQVGPMLock::IsFileLocked(LPCWSTR protectedPath) {
  CQVGPMLock probe;
  return probe.LockFile(protectedPath, 0) ? FALSE : TRUE;
}

BOOL CQVGPMLock::IsLockedByOther() const {
  if (m_bLocked) return FALSE;
  return IsLocked(m_strLockFile);
}

BOOL CQVGPMLock::TryLock() {
  for (int attempt = 0; attempt < kReopenLimit; ++attempt) {
    m_file.Abort();
    if (!m_file.Open(m_strLockFile, CFile::modeCreate | CFile::modeNoInherit | CFile::shareExclusive | CFile::modeReadWrite))
      return FALSE;
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (fcntl(m_file.m_hFile, F_OFD_SETLK, &whole) != 0) break;
    if (IsFileAtPath()) return TRUE;
  }
  m_file.Abort();
  return FALSE;
}

BOOL CQVGPMLock::IsFileAtPath() const {
  struct stat held {}, named {};
  if (fstat(m_file.m_hFile, &held) != 0) return FALSE;
  const std::string native = ResolvePath(m_strLockFile);
  if (native.empty() || stat(native.c_str(), &named) != 0) return FALSE;
  return held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}
