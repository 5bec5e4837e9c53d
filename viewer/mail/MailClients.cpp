#include "viewer/mail/MailClients.h"

#include "platform/core/registry.h"

#include <algorithm>

namespace {

constexpr const char16_t* kClientsKey = u"Software\\Clients\\Mail";
// Programs that register for mail but do not take it this way.
constexpr const char16_t* kExcludedClients[] = {u"Juno"};

std::vector<CString> Subkeys() {
  std::vector<CString> names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS) return names;
  WCHAR name[256];
  for (DWORD index = 0;; ++index) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    names.emplace_back(name);
  }
  RegCloseKey(key);
  return names;
}

}  // namespace

BOOL ReadDefaultMailClient(CString& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return FALSE;
  WCHAR buffer[256] = {};
  DWORD size = sizeof(buffer) - sizeof(WCHAR), type = 0;
  const BOOL read = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) ==
                        ERROR_SUCCESS &&
                    type == REG_SZ;
  RegCloseKey(key);
  if (read) name = buffer;
  return read;
}

BOOL WriteDefaultMailClient(const CString& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return FALSE;
  const LSTATUS status = RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(name.GetString()),
                                        static_cast<DWORD>(name.GetLength() * sizeof(WCHAR)));
  RegCloseKey(key);
  return status == ERROR_SUCCESS;
}

BOOL FindMailClient(const CString& name, CString& registered) {
  for (const CString& subkey : Subkeys()) {
    if (subkey.CompareNoCase(name) == 0) {
      registered = subkey;
      return TRUE;
    }
  }
  return FALSE;
}

std::vector<CString> ListMailClients() {
  std::vector<CString> clients;
  for (const CString& name : Subkeys()) {
    const bool excluded = std::any_of(std::begin(kExcludedClients), std::end(kExcludedClients),
                                      [&name](LPCWSTR other) { return name.CompareNoCase(other) == 0; });
    CString path;
    path.Format(u"%s\\%s", kClientsKey, name.GetString());
    HKEY client = nullptr;
    if (excluded || RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &client) != ERROR_SUCCESS) continue;
    DWORD size = 0;
    if (RegQueryValueExW(client, u"DLLPath", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS)
      clients.push_back(name);
    RegCloseKey(client);
  }
  return clients;
}
