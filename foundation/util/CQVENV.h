#pragma once
// The process environment behind a process-wide lock: one variable read or written at a time, and
// the program search path read, replaced or extended. Names are found without regard to case, so
// "path" is PATH. Folders in the search path are separated by ':' on this platform.
//
// A caller that saves the path, changes it and later puts it back holds g_csPath around the whole
// sequence. Lock order: g_csPath (taken by the caller) before g_csVariable (taken inside).

#include "platform/core/CString.h"
#include "platform/core/sync.h"

class CQVENV {
public:
  // A null value removes the variable.
  static BOOL SetVariable(LPCWSTR name, LPCWSTR value);
  // FALSE, with an empty value, when the variable is missing, empty or 32,768 units or longer.
  static BOOL GetVariable(LPCWSTR name, CString& value);
  static BOOL SetPath(LPCWSTR path);
  static BOOL GetPath(CString& path);
  // Appends the separator and the folder to the path; FALSE when there is no path to extend.
  static BOOL AddPath(LPCWSTR folder);

  static CCriticalSection g_csPath;

private:
  CQVENV() = delete;

  static CCriticalSection g_csVariable;
};
