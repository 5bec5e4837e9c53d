#pragma once
// The process environment with Win32's functions. Names are found as Windows finds them, without
// regard to case: the exact name wins, otherwise the first variable whose name differs only in
// case is read or changed, so "path" reads and sets PATH. Every call holds one process-wide lock.
// Values that are not UTF-8 keep their bytes (see codepage.h).

#include "platform/core/wintypes.h"

// Copies the value when it and its terminator fit into `size` units and answers its length;
// otherwise answers the size needed, terminator included. A missing variable answers 0 with
// ERROR_ENVVAR_NOT_FOUND; an empty one answers 0 with ERROR_SUCCESS.
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
// Sets the variable; a null value removes it (removing a missing variable succeeds).
BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value);
