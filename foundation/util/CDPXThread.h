#pragma once
// A worker thread: one thread per object, running four steps (OnInitialize, OnProcess, OnAbort,
// OnExit) on the worker, with a cooperative stop request and a bounded wait for the end.
//
// A thread is never killed. Terminate gives up on a worker that ignores the stop request: the
// object counts as terminated, the worker runs no further step once its current one returns, and
// the object can be started again only after that worker has ended. The destructor waits for such
// a worker to leave its step, since the step runs on this object's memory.

#include "platform/core/CObject.h"
#include "platform/core/sync.h"

class CDPXThread : public CObject {
  DECLARE_DYNAMIC(CDPXThread)
public:
  CDPXThread() = default;
  ~CDPXThread() override;

  // Only from the idle state; FALSE when the thread cannot be made or its priority not applied.
  BOOL Start();
  // Sets the stop flag; with `wait`, the result of WaitForExit.
  BOOL RequestStop(BOOL wait);
  BOOL IsStopRequested();
  // Polls every 100 ms for up to the stop wait (-1: without limit); TRUE once the worker is done.
  BOOL WaitForExit();
  BOOL Terminate();
  // TRUE while no worker runs on the object: not started (or closed again), or finished. Answers
  // at once, for callers that must not wait.
  BOOL IsFinished();
  // Releases the finished or terminated thread and makes the object idle; FALSE while it runs.
  BOOL Close();

protected:
  // The steps, run on the worker without the lock held.
  virtual void OnInitialize() {}
  virtual void OnProcess() {}
  virtual void OnAbort() {}
  virtual void OnExit() {}

  // Derived classes may change these before Start.
  int m_nPriority { 0 };
  int m_nStopWait { 30000 };

private:
  enum State { stateIdle, stateStarted, stateInitialising, stateRunning, stateEnding, stateFinished, stateTerminated };

  static DWORD ThreadProc(LPVOID parameter);
  // Moves the worker on to `state`; FALSE when the object gave up on this worker.
  BOOL EnterState(int state, BOOL* stopRequested = nullptr);

  CCriticalSection m_lock;
  int m_nState { stateIdle };
  HANDLE m_hThread { nullptr };
  DWORD m_dwThreadId { 0 };
  BOOL m_bStop { FALSE };
  // A terminated worker that had not yet ended when the object was closed.
  HANDLE m_hAbandoned { nullptr };
};
