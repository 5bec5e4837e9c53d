#include "platform/core/environment.h"

#include "platform/core/CString.h"
#include "platform/core/codepage.h"
#include "platform/core/coreinternal.h"

#include <cstdlib>
#include <cstring>
#include <mutex>

extern char** environ;

namespace {

std::mutex& EnvironmentLock() {
  static auto* lock = new std::mutex;
  return *lock;
}

// The name under which the variable is stored: `name` itself when set, else the first name that
// equals it without regard to case, else `name`. Called under the lock.
std::string StoredName(const std::string& name) {
  if (std::getenv(name.c_str())) return name;
  const CString wanted = CString(Utf8ToWideKeepingBytes(name));
  for (char** entry = environ; entry && *entry; ++entry) {
    const char* equals = std::strchr(*entry, '=');
    if (!equals) continue;
    const std::string candidate(*entry, static_cast<size_t>(equals - *entry));
    if (wanted.CompareNoCase(CString(Utf8ToWideKeepingBytes(candidate))) == 0) return candidate;
  }
  return name;
}

bool ValidName(LPCWSTR name) { return name && *name && std::u16string_view(name).find(u'=') == std::u16string_view::npos; }

}  // namespace

namespace qvcore {

std::optional<std::string> ReadEnvironment(const char* name) {
  std::lock_guard guard(EnvironmentLock());
  const char* value = std::getenv(name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

}  // namespace qvcore

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  if (!ValidName(name)) {
    SetLastError(ERROR_ENVVAR_NOT_FOUND);
    return 0;
  }
  std::u16string value;
  {
    std::lock_guard guard(EnvironmentLock());
    const char* stored = std::getenv(StoredName(WideToUtf8KeepingBytes(name)).c_str());
    if (!stored) {
      SetLastError(ERROR_ENVVAR_NOT_FOUND);
      return 0;
    }
    value = Utf8ToWideKeepingBytes(stored);
  }
  SetLastError(ERROR_SUCCESS);
  return qvcore::CopyToBuffer(value, buffer, size);
}

BOOL SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value) {
  if (!ValidName(name)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::lock_guard guard(EnvironmentLock());
  const std::string stored = StoredName(WideToUtf8KeepingBytes(name));
  const int result = value ? ::setenv(stored.c_str(), WideToUtf8KeepingBytes(value).c_str(), 1) : ::unsetenv(stored.c_str());
  if (result != 0) {
    SetLastError(ErrorFromErrno(errno));
    return FALSE;
  }
  SetLastError(ERROR_SUCCESS);
  return TRUE;
}
