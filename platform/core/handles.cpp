#include "platform/core/handles.h"

#include <mutex>
#include <new>
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

// The entry of a live handle, or the end (with ERROR_INVALID_HANDLE). Callers hold the table lock.
auto Find(Table& table, HANDLE handle) {
  auto it = table.live.find(reinterpret_cast<std::uintptr_t>(handle));
  if (it == table.live.end()) SetLastError(ERROR_INVALID_HANDLE);
  return it;
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
  try {
    table.live.emplace(value, std::move(object));
  } catch (const std::bad_alloc&) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  table.next += 4;
  return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<CKernelObject> GetKernelObject(HANDLE handle) {
  Table& table = Handles();
  std::lock_guard guard(table.lock);
  auto it = Find(table, handle);
  return it == table.live.end() ? nullptr : it->second;
}

BOOL CloseHandle(HANDLE handle) {
  std::shared_ptr<CKernelObject> object;
  {
    Table& table = Handles();
    std::lock_guard guard(table.lock);
    auto it = Find(table, handle);
    if (it == table.live.end()) return FALSE;
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
