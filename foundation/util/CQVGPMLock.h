#pragma once
// A lock file: mutual exclusion between processes and threads over one protected file or folder.
// The lock file ("<protected path>.lck", empty) exists and is held open with an exclusive lock
// while the lock is held, and is deleted on release. A lock file that nobody holds, for example
// one left behind by a process that ended, blocks nobody.
//
// The lock belongs to the open file (not to the process), so two objects exclude each other in
// one process as in two. After locking, the file is checked to be still the one at the path: a
// releaser deletes the file before closing it, and a locker that opened the file just before it
// was deleted would otherwise hold a lock on a file that no longer exists. Network folders need
// a file system with working byte-range locks; and anybody who deletes a held lock file defeats
// the lock.

#include "platform/core/CFile.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"

class CQVGPMLock : public CObject {
  DECLARE_DYNAMIC(CQVGPMLock)
public:
  // The path is the lock file's own (no ".lck" is added); with lockNow one attempt is made.
  explicit CQVGPMLock(LPCWSTR lockFile = nullptr, BOOL lockNow = FALSE);
  ~CQVGPMLock() override;

  // Both refuse (FALSE) while the lock is held.
  BOOL SetLockFile(LPCWSTR lockFile);
  // The lock file of a protected path: the trimmed path + ".lck".
  BOOL SetProtectedFile(LPCWSTR protectedPath);
  void GetLockFile(CString& lockFile) const { lockFile = m_strLockFile; }

  // Milliseconds to keep trying: 0 one attempt, INFINITE without limit; tries are 1 ms apart.
  // TRUE at once when this object holds the lock already.
  BOOL Lock(DWORD timeout);
  BOOL LockFile(LPCWSTR protectedPath, DWORD timeout);
  // Deletes the lock file and closes it; FALSE when the lock was not held.
  BOOL Unlock();

  // Whether this object holds its lock.
  BOOL IsLocked() const { return m_bLocked; }
  // Whether the lock file is held by somebody (or cannot be made at all): one attempt to take it,
  // which is released again at once.
  static BOOL IsLocked(LPCWSTR lockFile);
  // The same for the lock file of a protected path.
  static BOOL IsFileLocked(LPCWSTR protectedPath);
  // FALSE when this object holds the lock; otherwise whether another holder has it.
  BOOL IsLockedByOther() const;

private:
  BOOL TryLock();
  // Whether the open file is still the one that the lock-file path names.
  BOOL IsFileAtPath() const;

  CString m_strLockFile;
  BOOL m_bLocked { FALSE };
  CFile m_file;
};
