#pragma once
// Kernel-object handles. A handle names a reference to an object that can be waited for (a thread,
// for now); handles are small numbers that are never reused, so a closed or foreign handle fails
// instead of reaching another object. The object lives until its last handle is closed and nothing
// else (its own thread, for example) still uses it.

#include "platform/core/wintypes.h"

#include <memory>

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu

// The common base of everything a handle can name.
class CKernelObject {
public:
  virtual ~CKernelObject() = default;
  // Blocks until the object is signalled or the time-out (milliseconds, INFINITE) has passed;
  // TRUE when it is signalled.
  virtual BOOL WaitSignalled(DWORD timeout) = 0;
};

// A new handle for the object; null (ERROR_NOT_ENOUGH_MEMORY) when none can be made.
HANDLE OpenKernelObjectHandle(std::shared_ptr<CKernelObject> object);
// The object a live handle names, or null (ERROR_INVALID_HANDLE).
std::shared_ptr<CKernelObject> GetKernelObject(HANDLE handle);

BOOL CloseHandle(HANDLE handle);
// WAIT_OBJECT_0 when the object is signalled, WAIT_TIMEOUT, or WAIT_FAILED for a bad handle.
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
