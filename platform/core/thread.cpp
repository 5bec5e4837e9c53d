#include "platform/core/thread.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <sys/resource.h>
#include <unistd.h>

namespace {

class CThreadObject : public CKernelObject {
public:
  BOOL WaitSignalled(DWORD timeout) override {
    std::unique_lock guard(lock);
    auto done = [this] { return finished; };
    if (timeout == INFINITE) {
      changed.wait(guard, done);
      return TRUE;
    }
    return changed.wait_for(guard, std::chrono::milliseconds(timeout), done) ? TRUE : FALSE;
  }

  std::mutex lock;
  std::condition_variable changed;
  DWORD suspendCount { 0 };
  bool started { false };
  bool cancelled { false };
  bool finished { false };
  DWORD exitCode { STILL_ACTIVE };
  pid_t tid { 0 };
  int baseNice { 0 };
};

std::shared_ptr<CThreadObject> FindThread(HANDLE handle) {
  std::shared_ptr<CThreadObject> thread = std::dynamic_pointer_cast<CThreadObject>(GetKernelObject(handle));
  if (!thread) SetLastError(ERROR_INVALID_HANDLE);
  return thread;
}

void Run(std::shared_ptr<CThreadObject> self, LPTHREAD_START_ROUTINE routine, LPVOID parameter) {
  DWORD exitCode = 0;
  bool cancelled = false;
  {
    std::unique_lock guard(self->lock);
    self->tid = gettid();
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    self->baseNice = errno ? 0 : nice;
    self->started = true;
    self->changed.notify_all();
    // The start gate: a suspended thread waits here until it is resumed or cancelled.
    self->changed.wait(guard, [&] { return self->suspendCount == 0 || self->cancelled; });
    cancelled = self->cancelled;
    exitCode = self->exitCode;
  }
  if (!cancelled) exitCode = routine(parameter);
  std::lock_guard guard(self->lock);
  self->exitCode = exitCode;
  self->finished = true;
  self->changed.notify_all();
}

// The nice value for a priority, relative to the one the thread started with.
int NiceFor(int priority, int baseNice) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE: return 19;
    case THREAD_PRIORITY_TIME_CRITICAL: return -20;
    default: return std::clamp(baseNice - 2 * priority, -20, 19);
  }
}

}  // namespace

HANDLE CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T, LPTHREAD_START_ROUTINE routine, LPVOID parameter,
                    DWORD flags, LPDWORD threadId) {
  if (!routine) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto self = std::make_shared<CThreadObject>();
  const bool suspended = (flags & CREATE_SUSPENDED) != 0;
  self->suspendCount = suspended ? 1 : 0;
  try {
    std::thread(Run, self, routine, parameter).detach();
  } catch (const std::system_error&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  pid_t tid = 0;
  {
    std::unique_lock guard(self->lock);
    self->changed.wait(guard, [&] { return self->started; });
    tid = self->tid;
  }
  HANDLE handle = OpenKernelObjectHandle(self);
  if (!handle) {
    if (suspended) {
      std::lock_guard guard(self->lock);
      self->cancelled = true;
      self->changed.notify_all();
    }
    return nullptr;
  }
  if (threadId) *threadId = static_cast<DWORD>(tid);
  return handle;
}

DWORD ResumeThread(HANDLE handle) {
  std::shared_ptr<CThreadObject> thread = FindThread(handle);
  if (!thread) return static_cast<DWORD>(-1);
  std::lock_guard guard(thread->lock);
  const DWORD previous = thread->suspendCount;
  if (previous > 0 && --thread->suspendCount == 0) thread->changed.notify_all();
  return previous;
}

BOOL TerminateThread(HANDLE handle, DWORD exitCode) {
  std::shared_ptr<CThreadObject> thread = FindThread(handle);
  if (!thread) return FALSE;
  std::lock_guard guard(thread->lock);
  if (thread->finished || thread->cancelled) return TRUE;
  if (thread->suspendCount == 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  thread->cancelled = true;
  thread->exitCode = exitCode;
  thread->changed.notify_all();
  return TRUE;
}

BOOL SetThreadPriority(HANDLE handle, int priority) {
  switch (priority) {
    case THREAD_PRIORITY_IDLE: case THREAD_PRIORITY_LOWEST: case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL: case THREAD_PRIORITY_ABOVE_NORMAL: case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL: break;
    default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
  }
  std::shared_ptr<CThreadObject> thread = FindThread(handle);
  if (!thread) return FALSE;
  std::lock_guard guard(thread->lock);
  if (thread->finished) return TRUE;
  const id_t tid = static_cast<id_t>(thread->tid);
  const int nice = NiceFor(priority, thread->baseNice);
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, tid);
  if (errno == 0 && current == nice) return TRUE;
  if (setpriority(PRIO_PROCESS, tid, nice) == 0) return TRUE;
  // Raising a priority needs a privilege this process may lack; the thread keeps its priority.
  if ((errno == EACCES || errno == EPERM) && nice < current) return TRUE;
  SetLastError(ErrorFromErrno(errno));
  return FALSE;
}

BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
  std::shared_ptr<CThreadObject> thread = FindThread(handle);
  if (!thread || !exitCode) return FALSE;
  std::lock_guard guard(thread->lock);
  *exitCode = thread->exitCode;
  return TRUE;
}
