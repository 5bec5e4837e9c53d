#include "platform/core/module.h"

#include "platform/core/CString.h"
#include "platform/core/coreinternal.h"
#include "platform/core/paths.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/auxv.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct HINSTANCE__ {
  std::string path;             // native path of the module's file
  const void* base = nullptr;   // where the loader mapped it
  bool program = false;
  void* handle = nullptr;       // from dlopen, while LoadLibrary references are held
  int loads = 0;
  bool live = true;
  bool builtin = false;         // offered by the platform layer itself (RegisterBuiltinModule)
  std::vector<std::pair<std::string, FARPROC>> exports;  // of a built-in module
};

namespace {

struct ModuleTable {
  std::mutex lock;
  std::unordered_map<const void*, HINSTANCE__*> byBase;
  std::unordered_set<const HINSTANCE__*> all;  // records are never freed
  std::vector<HINSTANCE__*> builtins;
};

ModuleTable& Modules() {
  static auto* table = new ModuleTable;
  return *table;
}

std::string ProgramPath() {
  std::string path(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
    if (n < 0) return {};
    if (static_cast<size_t>(n) < path.size()) return path.substr(0, static_cast<size_t>(n));
    path.resize(path.size() * 2);
  }
}

const void* ProgramHeaders() { return reinterpret_cast<const void*>(::getauxval(AT_PHDR)); }

const void* ProgramBase() {
  static const void* base = [] {
    Dl_info info;
    return ::dladdr(ProgramHeaders(), &info) ? info.dli_fbase : nullptr;
  }();
  return base;
}

// The path with '.' and '..' worked out, as the loader may report "$ORIGIN/../lib/x.so".
std::string Absolute(const std::string& native) {
  return native.empty() ? native : PathToNative(qvcore::FullPath(PathFromNative(native).View()).c_str());
}

// The record of the module mapped at `base`, made on first sight. dladdr and dlopen take the
// loader's lock, and constructors of libraries being loaded come here, so the table's lock is
// never held while calling the loader.
HINSTANCE__* RecordFor(const void* base, const char* fileName) {
  const bool program = base == ProgramBase();
  const std::string path = program ? ProgramPath() : Absolute(fileName ? fileName : "");
  ModuleTable& table = Modules();
  std::lock_guard guard(table.lock);
  // A record whose file differs belongs to a library unloaded from the same address.
  auto found = table.byBase.find(base);
  if (found != table.byBase.end() && found->second->path == path) return found->second;
  auto* record = new HINSTANCE__;
  record->base = base;
  record->program = program;
  record->path = path;
  table.byBase[base] = record;
  table.all.insert(record);
  return record;
}

// A live record, copied out under the lock; false (ERROR_MOD_NOT_FOUND) when it names none.
bool LiveRecord(HMODULE module, HINSTANCE__& copy) {
  if (!module) module = GetModuleHandleW(nullptr);
  ModuleTable& table = Modules();
  std::lock_guard guard(table.lock);
  if (!module || !table.all.count(module) || !module->live) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return false;
  }
  copy = *module;
  return true;
}

bool HasFolder(LPCWSTR path) { return std::u16string_view(path).find_first_of(u"/\\") != std::u16string_view::npos; }

// The built-in module of that bare name, or null. The caller holds the table's lock.
HINSTANCE__* FindBuiltin(ModuleTable& table, LPCWSTR name) {
  if (HasFolder(name)) return nullptr;
  const CString wanted(name);
  for (HINSTANCE__* record : table.builtins)
    if (PathFromNative(record->path).CompareNoCase(wanted) == 0) return record;
  return nullptr;
}

std::string FolderOf(const std::string& native) { return native.substr(0, native.rfind('/') + 1); }

// Where a library named by `path` is: its resolved path, or for a bare name the program's folder
// when it is there, else the bare name for the loader's own search.
std::string LibraryPath(LPCWSTR path) {
  if (HasFolder(path)) return Absolute(ResolvePath(path));
  const std::string beside = ResolveNativePath(FolderOf(ProgramPath()) + PathToNative(path));
  struct stat st;
  return ::stat(beside.c_str(), &st) == 0 ? beside : PathToNative(path);
}

}  // namespace

HMODULE GetModuleFromAddress(const void* address) {
  Dl_info info;
  if (!address || !::dladdr(address, &info) || !info.dli_fbase) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return RecordFor(info.dli_fbase, info.dli_fname);
}

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
  if (!moduleName) return GetModuleFromAddress(ProgramHeaders());
  {
    ModuleTable& table = Modules();
    std::lock_guard guard(table.lock);
    if (HINSTANCE__* builtin = FindBuiltin(table, moduleName)) return builtin;
  }
  const CString wanted(moduleName);
  const std::string program = ProgramPath();
  std::vector<std::pair<std::string, const void*>> loaded;
  ::dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        static_cast<decltype(loaded)*>(data)->emplace_back(info->dlpi_name ? info->dlpi_name : "", info->dlpi_phdr);
        return 0;
      },
      &loaded);
  for (const auto& [name, headers] : loaded) {
    const std::string& file = name.empty() ? program : name;
    if (PathFromNative(file.substr(file.rfind('/') + 1)).CompareNoCase(wanted) == 0)
      return GetModuleFromAddress(headers);
  }
  SetLastError(ERROR_MOD_NOT_FOUND);
  return nullptr;
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
  HINSTANCE__ record;
  if (!LiveRecord(module, record)) return 0;
  const CString path = PathFromNative(record.path);
  const DWORD answer = qvcore::CopyToBuffer(path.View(), buffer, size);
  if (answer < size) {
    SetLastError(ERROR_SUCCESS);
    return answer;
  }
  if (buffer && size) qvcore::CopyToBuffer(path.View().substr(0, size - 1), buffer, size);
  SetLastError(ERROR_INSUFFICIENT_BUFFER);
  return size;
}

HMODULE LoadLibraryW(LPCWSTR path) {
  if (!path || !*path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  {
    ModuleTable& table = Modules();
    std::lock_guard guard(table.lock);
    if (HINSTANCE__* builtin = FindBuiltin(table, path)) {
      ++builtin->loads;
      return builtin;
    }
  }
  const std::string native = LibraryPath(path);
  void* handle = ::dlopen(native.c_str(), RTLD_NOW | RTLD_LOCAL);
  link_map* map = nullptr;
  Dl_info info;
  if (!handle || ::dlinfo(handle, RTLD_DI_LINKMAP, &map) != 0 || !::dladdr(map->l_ld, &info)) {
    if (handle) ::dlclose(handle);
    struct stat st;
    const bool exists = native.find('/') == std::string::npos || ::stat(native.c_str(), &st) == 0;
    SetLastError(exists ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  HINSTANCE__* record = RecordFor(info.dli_fbase, info.dli_fname);
  ModuleTable& table = Modules();
  std::lock_guard guard(table.lock);
  record->handle = handle;
  ++record->loads;
  return record;
}

HMODULE LoadLibraryExW(LPCWSTR path, HANDLE, DWORD) { return LoadLibraryW(path); }

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  HINSTANCE__ record;
  if (!LiveRecord(module, record)) return nullptr;
  // Windows lets a number stand for the name; shared libraries export by name only.
  if (reinterpret_cast<UINT_PTR>(procName) <= 0xFFFF) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  if (record.builtin) {
    for (const auto& [name, proc] : record.exports)
      if (name == procName) return proc;
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* handle = record.program ? ::dlopen(nullptr, RTLD_LAZY) : ::dlopen(record.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  void* symbol = handle ? ::dlsym(handle, procName) : nullptr;
  if (handle) ::dlclose(handle);
  // dlsym also searches the module's dependencies; only the module's own symbols count.
  Dl_info info;
  if (!symbol || !::dladdr(symbol, &info) || info.dli_fbase != record.base) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
  ModuleTable& table = Modules();
  void* handle = nullptr;
  bool last = false;
  {
    std::lock_guard guard(table.lock);
    if (!module || !table.all.count(module) || !module->live || module->loads == 0) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    if (module->builtin) {
      --module->loads;
      return TRUE;
    }
    handle = module->handle;
    last = --module->loads == 0;
  }
  // The library's destructors run here and may still look their module up.
  ::dlclose(handle);
  if (last) {
    std::lock_guard guard(table.lock);
    if (module->loads == 0) {
      module->live = false;
      module->handle = nullptr;
      if (table.byBase[module->base] == module) table.byBase.erase(module->base);
    }
  }
  return TRUE;
}

HMODULE RegisterBuiltinModule(LPCWSTR name, const BUILTIN_EXPORT* exports, int count) {
  if (!name || !*name || HasFolder(name) || count < 0 || (count > 0 && !exports)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::vector<std::pair<std::string, FARPROC>> table;
  for (int i = 0; i < count; ++i)
    if (exports[i].name) table.emplace_back(exports[i].name, exports[i].proc);
  ModuleTable& modules = Modules();
  std::lock_guard guard(modules.lock);
  HINSTANCE__* record = FindBuiltin(modules, name);
  if (!record) {
    record = new HINSTANCE__;
    record->path = PathToNative(name);
    record->builtin = true;
    modules.all.insert(record);
    modules.builtins.push_back(record);
  }
  record->exports = std::move(table);
  return record;
}
