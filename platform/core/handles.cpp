#include "platform/core/handles.h"

#include <mutex>
#include <unordered_map>

namespace {

struct Table {
  std::mutex lock;
  std::unordered_map<std::uintptr_t, std::shared_ptr<CKernelObject>> live;
  std::uintptr_t next = 4;
};

Table& Handles() {
  static Table* table = new Table;
  return *table;
}

}  // namespace

HANDLE OpenKernelObjectHandle(std::shared_ptr<CKernelObject> object) {
  if (!object) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Table& table = Handles();
  std::lock_guard guard(table.lock);
  // Multiples of 4, as on Win32; they never meet INVALID_HANDLE_VALUE.
  const std::uintptr_t value = table.next;
  table.next += 4;
  table.live.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<CKernelObject> GetKernelObject(HANDLE handle) {
  Table& table = Handles();
  std::lock_guard guard(table.lock);
  auto it = table.live.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.live.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return it->second;
}

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<CKernelObject> object;
  {
    Table& table = Handles();
    std::lock_guard guard(table.lock);
    auto it = table.live.find(reinterpret_cast<std::uintptr_t>(handle));
    if (it == table.live.end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    object = std::move(it->second);
    table.live.erase(it);
  }
  // The object may be destroyed here, outside the table lock.
  return TRUE;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  std::shared_ptr<CKernelObject> object = GetKernelObject(handle);
  if (!object) return WAIT_FAILED;
  return object->WaitSignalled(milliseconds) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
}
