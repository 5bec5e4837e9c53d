#include "foundation/util/CQVENV.h"

#include "platform/core/environment.h"

#include <vector>

CCriticalSection CQVENV::g_csPath;
CCriticalSection CQVENV::g_csVariable;

namespace {
constexpr DWORD kValueBuffer = 32768;
constexpr LPCWSTR kPathName = u"path";
constexpr WCHAR kPathSeparator = u':';
}  // namespace

BOOL CQVENV::SetVariable(LPCWSTR name, LPCWSTR value) {
  CSingleLock guard(&g_csVariable);
  if (!guard.Lock()) return FALSE;
  return SetEnvironmentVariableW(name, value);
}

BOOL CQVENV::GetVariable(LPCWSTR name, CString& value) {
  value.Empty();
  CSingleLock guard(&g_csVariable);
  if (!guard.Lock()) return FALSE;
  std::vector<WCHAR> buffer(kValueBuffer, 0);
  const DWORD length = GetEnvironmentVariableW(name, buffer.data(), kValueBuffer);
  // A value that does not fit answers the size it needs, which is larger than the buffer.
  if (length == 0 || length >= kValueBuffer) return FALSE;
  value = CString(buffer.data(), static_cast<int>(length));
  return TRUE;
}

BOOL CQVENV::SetPath(LPCWSTR path) { return SetVariable(kPathName, path); }

BOOL CQVENV::GetPath(CString& path) { return GetVariable(kPathName, path); }

BOOL CQVENV::AddPath(LPCWSTR folder) {
  CString path;
  if (!GetPath(path)) return FALSE;
  path += kPathSeparator;
  path += folder;
  return SetPath(path);
}
