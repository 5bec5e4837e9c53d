#pragma once
// Threads. A thread is made with CreateThread, optionally suspended behind a start gate that
// ResumeThread opens; its handle is waited for with WaitForSingleObject (signalled once the thread
// routine has returned) and released with CloseHandle, which never stops the thread.
//
// A running thread is never killed: TerminateThread only ends a thread that was created suspended
// and never resumed, so its routine never runs. Priorities follow the process's nice value: a lower
// priority makes the thread nicer; a higher one is applied where the process may raise it, and is
// otherwise ignored, since only a privileged process may do so on this platform.

#include "platform/core/handles.h"
#include "platform/core/sysinfo.h"

#define CREATE_SUSPENDED 0x00000004u
#define STILL_ACTIVE 259u

#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15

using LPTHREAD_START_ROUTINE = DWORD (*)(LPVOID parameter);

// Starts `routine(parameter)` on a new thread with the default stack (the size argument is a hint
// this platform does not take). With CREATE_SUSPENDED the routine waits until ResumeThread. The
// thread's identifier, as GetCurrentThreadId gives it on the thread, goes to *threadId. Null when
// no thread can be made.
HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize, LPTHREAD_START_ROUTINE routine,
                    LPVOID parameter, DWORD flags, LPDWORD threadId);
// The suspend count before the call (0: was running, 1: now released); (DWORD)-1 for a bad handle.
DWORD ResumeThread(HANDLE thread);
// Ends a thread that was created suspended and never resumed, with the given exit code; FALSE
// (ERROR_ACCESS_DENIED) for a thread that has begun to run.
BOOL TerminateThread(HANDLE thread, DWORD exitCode);
// FALSE (ERROR_INVALID_PARAMETER) for a value other than the THREAD_PRIORITY_ constants.
BOOL SetThreadPriority(HANDLE thread, int priority);
// STILL_ACTIVE until the routine has returned, then its result.
BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
