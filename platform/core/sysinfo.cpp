#include "platform/core/sysinfo.h"

#include <sys/time.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

namespace {

void FillSystemTime(const struct tm& fields, long nanoseconds, LPSYSTEMTIME time) {
  time->wYear = static_cast<WORD>(fields.tm_year + 1900);
  time->wMonth = static_cast<WORD>(fields.tm_mon + 1);
  time->wDayOfWeek = static_cast<WORD>(fields.tm_wday);
  time->wDay = static_cast<WORD>(fields.tm_mday);
  time->wHour = static_cast<WORD>(fields.tm_hour);
  time->wMinute = static_cast<WORD>(fields.tm_min);
  time->wSecond = static_cast<WORD>(fields.tm_sec);
  time->wMilliseconds = static_cast<WORD>(nanoseconds / 1000000);
}

void FillNow(LPSYSTEMTIME time, struct tm* (*convert)(const time_t*, struct tm*)) {
  if (!time) return;
  struct timespec now;
  ::clock_gettime(CLOCK_REALTIME, &now);
  struct tm fields;
  convert(&now.tv_sec, &fields);
  FillSystemTime(fields, now.tv_nsec, time);
}

}  // namespace

DWORD GetTickCount() { return static_cast<DWORD>(GetTickCount64()); }

ULONGLONG GetTickCount64() {
  struct timespec now;
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<ULONGLONG>(now.tv_sec) * 1000u + static_cast<ULONGLONG>(now.tv_nsec / 1000000);
}

void Sleep(DWORD milliseconds) {
  if (milliseconds == INFINITE) {
    for (;;) ::pause();
  }
  struct timespec wanted { static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L };
  while (::nanosleep(&wanted, &wanted) != 0 && errno == EINTR) {
  }
}

void GetLocalTime(LPSYSTEMTIME time) { FillNow(time, ::localtime_r); }

void GetSystemTime(LPSYSTEMTIME time) { FillNow(time, ::gmtime_r); }

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

DWORD GetCurrentThreadId() { return static_cast<DWORD>(::gettid()); }
