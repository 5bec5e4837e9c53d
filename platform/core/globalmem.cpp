#include "platform/core/globalmem.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

struct Block {
  SIZE_T size = 0;
  UINT lockCount = 0;
  BYTE* data = nullptr;
};

struct Table {
  std::mutex lock;
  std::unordered_set<Block*> live;
};

Table& Blocks() {
  static Table* table = new Table;
  return *table;
}

// The block of a live handle, or null (with ERROR_INVALID_HANDLE). Callers hold the table lock.
Block* Find(Table& table, HGLOBAL handle) {
  auto* block = static_cast<Block*>(handle);
  if (!block || !table.live.count(block)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return block;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, SIZE_T bytes) {
  // malloc(0) may give null; a block of zero bytes still has an address, as on Win32.
  BYTE* data = static_cast<BYTE*>((flags & GMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1));
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  auto* block = new (std::nothrow) Block{bytes, 0, data};
  if (!block) {
    std::free(data);
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  table.live.insert(block);
  return block;
}

HGLOBAL GlobalReAlloc(HGLOBAL handle, SIZE_T bytes, UINT flags) {
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = Find(table, handle);
  if (!block) return nullptr;
  if (flags & GMEM_MODIFY) return handle;
  BYTE* data = static_cast<BYTE*>(std::realloc(block->data, bytes ? bytes : 1));
  if (!data) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if ((flags & GMEM_ZEROINIT) && bytes > block->size) std::memset(data + block->size, 0, bytes - block->size);
  block->data = data;
  block->size = bytes;
  return handle;
}

LPVOID GlobalLock(HGLOBAL handle) {
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = Find(table, handle);
  if (!block) return nullptr;
  ++block->lockCount;
  return block->data;
}

BOOL GlobalUnlock(HGLOBAL handle) {
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = Find(table, handle);
  if (!block) return FALSE;
  if (block->lockCount == 0) {
    SetLastError(ERROR_NOT_LOCKED_BLOCK);
    return FALSE;
  }
  if (--block->lockCount == 0) {
    SetLastError(NO_ERROR);
    return FALSE;
  }
  return TRUE;
}

SIZE_T GlobalSize(HGLOBAL handle) {
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = Find(table, handle);
  return block ? block->size : 0;
}

UINT GlobalFlags(HGLOBAL handle) {
  Table& table = Blocks();
  std::lock_guard guard(table.lock);
  Block* block = Find(table, handle);
  return block ? (block->lockCount & 0xFF) : GMEM_INVALID_HANDLE;
}

HGLOBAL GlobalFree(HGLOBAL handle) {
  if (!handle) return nullptr;
  Block* block = nullptr;
  {
    Table& table = Blocks();
    std::lock_guard guard(table.lock);
    block = Find(table, handle);
    if (!block) return handle;
    table.live.erase(block);
  }
  std::free(block->data);
  delete block;
  return nullptr;
}

HLOCAL LocalAlloc(UINT flags, SIZE_T bytes) {
  if (flags & ~LMEM_ZEROINIT) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // malloc(0) may give null; a block of zero bytes still has an address.
  void* block = (flags & LMEM_ZEROINIT) ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
  if (!block) SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return block;
}

HLOCAL LocalFree(HLOCAL block) {
  std::free(block);
  return nullptr;
}
