#include "platform/core/sync.h"

#include <chrono>

BOOL CCriticalSection::Lock(DWORD timeout) {
  if (timeout == INFINITE) {
    m_mutex.lock();
    return TRUE;
  }
  return m_mutex.try_lock_for(std::chrono::milliseconds(timeout)) ? TRUE : FALSE;
}

BOOL CCriticalSection::Unlock() {
  m_mutex.unlock();
  return TRUE;
}

CSingleLock::CSingleLock(CSyncObject* object, BOOL initialLock) : m_object(object) {
  if (initialLock) Lock();
}

CSingleLock::~CSingleLock() {
  if (m_locked) Unlock();
}

BOOL CSingleLock::Lock(DWORD timeout) {
  if (!m_object || m_locked) return m_locked;
  m_locked = m_object->Lock(timeout);
  return m_locked;
}

BOOL CSingleLock::Unlock() {
  if (!m_object || !m_locked) return FALSE;
  m_locked = FALSE;
  return m_object->Unlock();
}
