#pragma once
// Modules: the program and the shared libraries loaded into it.
//
// An HINSTANCE (HMODULE) is the record of one loaded module: the program itself, or a shared
// library, found by the address of anything inside it or loaded by path. Records live as long as
// the process, so a handle stays safe to pass around; after the last FreeLibrary of a library
// the handle no longer names a module and the functions fail on it.

#include "platform/core/wintypes.h"

// A generic function pointer, cast by the caller to the function's real type (GCC lets
// void (*)() convert to any function pointer without a warning).
using FARPROC = void (*)();

#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008

// Null names the program. A name finds a loaded library by its file name, without regard to case.
HMODULE GetModuleHandleW(LPCWSTR moduleName);
// The module that holds `address` (code or data), or null when no module does.
HMODULE GetModuleFromAddress(const void* address);
// The full path of the module's file (null: the program). The answer is the length copied; when
// the buffer is too small the path is cut to size - 1 units, `size` is answered and the last
// error is ERROR_INSUFFICIENT_BUFFER.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);

// Loads a shared library by path, resolved as paths.h describes; a name without a folder is
// looked for in the program's folder first, then where the dynamic loader looks. Every symbol is
// bound at once, so a library that lacks one fails to load. Loading a library twice gives the
// same handle and needs two FreeLibrary calls.
HMODULE LoadLibraryW(LPCWSTR path);
// The flags are accepted and have no effect: a library's own dependencies are found through its
// RPATH.
HMODULE LoadLibraryExW(LPCWSTR path, HANDLE file, DWORD flags);
FARPROC GetProcAddress(HMODULE module, LPCSTR procName);
BOOL FreeLibrary(HMODULE module);

// Built-in modules: a library of the platform layer can offer a module of its own under the file
// name of a system library (the window layer's common controls answer as "comctl32.dll"), with a
// table of exported functions. LoadLibraryW and GetModuleHandleW find such a module by its bare
// name (no folder), without regard to case, before any file is looked for; GetProcAddress finds
// its exports by their exact names. A built-in module stays loaded for the life of the process:
// FreeLibrary balances LoadLibraryW and fails beyond that, and the handle keeps naming the module.
// GetModuleFileNameW answers the name.
struct BUILTIN_EXPORT {
  LPCSTR name;
  FARPROC proc;
};
// Registers a built-in module, or gives a module already registered under that name (without
// regard to case) the new exports, and answers its handle; the table is copied. Null (and
// ERROR_INVALID_PARAMETER) for an empty name, a name with a folder, or a null table of entries.
HMODULE RegisterBuiltinModule(LPCWSTR name, const BUILTIN_EXPORT* exports, int count);
