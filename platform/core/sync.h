#pragma once
// Synchronisation objects. A critical section is re-entrant, as on Win32: the thread that holds it
// may take it again and must release it as often.

#include "platform/core/wintypes.h"

#include <mutex>

class CSyncObject {
public:
  virtual ~CSyncObject() = default;
  virtual BOOL Lock(DWORD timeout = INFINITE) = 0;
  virtual BOOL Unlock() = 0;
};

class CCriticalSection : public CSyncObject {
public:
  BOOL Lock(DWORD timeout = INFINITE) override;
  BOOL Unlock() override;

private:
  std::recursive_timed_mutex m_mutex;
};

// Holds a sync object for a scope; the destructor releases what is still held.
class CSingleLock {
public:
  explicit CSingleLock(CSyncObject* object, BOOL initialLock = FALSE);
  ~CSingleLock();
  BOOL Lock(DWORD timeout = INFINITE);
  BOOL Unlock();
  BOOL IsLocked() const { return m_locked; }

private:
  CSingleLock(const CSingleLock&) = delete;
  CSingleLock& operator=(const CSingleLock&) = delete;

  CSyncObject* m_object { nullptr };
  BOOL m_locked { FALSE };
};
