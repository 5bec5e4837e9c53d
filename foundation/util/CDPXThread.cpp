#include "foundation/util/CDPXThread.h"

#include "platform/core/thread.h"

IMPLEMENT_DYNAMIC(CDPXThread, CObject)

namespace {
constexpr DWORD exitCompleted = 1;
constexpr DWORD exitBadParameter = 0;
constexpr DWORD exitTerminated = 100;
constexpr DWORD pollInterval = 100;
}  // namespace

CDPXThread::~CDPXThread() {
  RequestStop(FALSE);
  if (!WaitForExit()) Terminate();
  Close();
  if (m_hAbandoned) {
    WaitForSingleObject(m_hAbandoned, INFINITE);
    CloseHandle(m_hAbandoned);
  }
}

BOOL CDPXThread::Start() {
  CSingleLock guard(&m_lock);
  if (!guard.Lock() || m_nState != stateIdle) return FALSE;
  if (m_hAbandoned) {
    if (WaitForSingleObject(m_hAbandoned, 0) != WAIT_OBJECT_0) return FALSE;
    CloseHandle(m_hAbandoned);
    m_hAbandoned = nullptr;
  }
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &id);
  if (!thread) return FALSE;
  if (!SetThreadPriority(thread, m_nPriority)) {
    // The thread has not run yet, so it can still be ended without running a step.
    TerminateThread(thread, exitBadParameter);
    CloseHandle(thread);
    return FALSE;
  }
  m_nState = stateStarted;
  m_hThread = thread;
  m_dwThreadId = id;
  m_bStop = FALSE;
  ResumeThread(thread);
  return TRUE;
}

BOOL CDPXThread::RequestStop(BOOL wait) {
  {
    CSingleLock guard(&m_lock);
    if (!guard.Lock()) return FALSE;
    m_bStop = TRUE;
  }
  return wait ? WaitForExit() : TRUE;
}

BOOL CDPXThread::IsStopRequested() {
  CSingleLock guard(&m_lock);
  return guard.Lock() ? m_bStop : FALSE;
}

BOOL CDPXThread::WaitForExit() {
  int rounds = m_nStopWait / static_cast<int>(pollInterval);
  for (;;) {
    {
      CSingleLock guard(&m_lock);
      if (!guard.Lock()) return FALSE;
      if (m_nState == stateIdle || m_nState == stateFinished || m_nState == stateTerminated) return TRUE;
    }
    Sleep(pollInterval);
    if (m_nStopWait != -1) {
      if (rounds <= 0) return FALSE;
      --rounds;
    }
  }
}

BOOL CDPXThread::IsFinished() {
  CSingleLock guard(&m_lock);
  if (!guard.Lock()) return FALSE;
  return m_nState == stateIdle || m_nState == stateFinished;
}

BOOL CDPXThread::Terminate() {
  CSingleLock guard(&m_lock);
  if (!guard.Lock()) return FALSE;
  if (m_nState == stateIdle || m_nState == stateFinished || m_nState == stateTerminated) return TRUE;
  // The worker cannot be stopped from outside: it is told to stop and runs no step after its
  // current one (see EnterState).
  m_nState = stateTerminated;
  m_bStop = TRUE;
  return TRUE;
}

BOOL CDPXThread::Close() {
  HANDLE thread = nullptr;
  BOOL finished = FALSE;
  {
    CSingleLock guard(&m_lock);
    if (!guard.Lock()) return FALSE;
    if (m_nState == stateIdle) return TRUE;
    if (m_nState != stateFinished && m_nState != stateTerminated) return FALSE;
    finished = m_nState == stateFinished;
    thread = m_hThread;
    m_hThread = nullptr;
    m_dwThreadId = 0;
    m_nState = stateIdle;
  }
  // A finished worker only has to return from its routine; after that it no longer touches the
  // object, whose lock may then go. A terminated one may still be inside a step.
  if (finished || WaitForSingleObject(thread, 0) == WAIT_OBJECT_0) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  } else {
    m_hAbandoned = thread;
  }
  return TRUE;
}

BOOL CDPXThread::EnterState(int state, BOOL* stopRequested) {
  CSingleLock guard(&m_lock);
  if (!guard.Lock()) return FALSE;
  if (m_nState == stateTerminated || m_dwThreadId != GetCurrentThreadId()) return FALSE;
  m_nState = state;
  if (stopRequested) *stopRequested = m_bStop;
  return TRUE;
}

DWORD CDPXThread::ThreadProc(LPVOID parameter) {
  auto* self = static_cast<CDPXThread*>(parameter);
  if (!self) return exitBadParameter;
  if (!self->EnterState(stateInitialising)) return exitTerminated;
  self->OnInitialize();
  if (!self->EnterState(stateRunning)) return exitTerminated;
  self->OnProcess();
  BOOL stopRequested = FALSE;
  if (!self->EnterState(stateEnding, &stopRequested)) return exitTerminated;
  if (stopRequested) {
    self->OnAbort();
    if (!self->EnterState(stateEnding)) return exitTerminated;
  }
  self->OnExit();
  return self->EnterState(stateFinished) ? exitCompleted : exitTerminated;
}
