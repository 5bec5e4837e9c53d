#pragma once
// Clocks, sleeping, and the identities of the process and thread.

#include "platform/core/wintypes.h"

// Milliseconds of a monotonic clock; the 32-bit form wraps after about 49.7 days, so callers
// compare unsigned differences.
DWORD GetTickCount();
ULONGLONG GetTickCount64();
// INFINITE sleeps for ever.
void Sleep(DWORD milliseconds);
// The wall-clock time, in the local time zone and in UTC.
void GetLocalTime(LPSYSTEMTIME time);
void GetSystemTime(LPSYSTEMTIME time);
DWORD GetCurrentProcessId();
// The kernel's thread ID, unique among the threads alive in the system.
DWORD GetCurrentThreadId();
