#include "platform/mapi/MailProfile.h"

#include "platform/core/CString.h"
#include "platform/core/registry.h"

#include <vector>

namespace qvmapi {
namespace {

constexpr const char16_t* kClientsKey = u"Software\\Clients\\Mail";

// A REG_SZ value as UTF-8; false when it is missing or of another type.
bool ReadText(HKEY key, LPCWSTR name, std::string& out) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ) return false;
  std::vector<WCHAR> buffer(size / sizeof(WCHAR) + 1, 0);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer.data()), &size) != ERROR_SUCCESS)
    return false;
  out = CString(buffer.data()).ToUtf8();
  return true;
}

bool ReadDword(HKEY key, LPCWSTR name, DWORD& out) {
  DWORD type = 0;
  DWORD size = sizeof(out);
  return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&out), &size) == ERROR_SUCCESS &&
         type == REG_DWORD;
}

}  // namespace

bool LoadMailProfile(const std::string& wanted, MailProfile& profile) {
  HKEY clients = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_READ, &clients) != ERROR_SUCCESS) return false;
  std::string name = wanted;
  HKEY key = nullptr;
  const bool found = (!name.empty() || ReadText(clients, nullptr, name)) && !name.empty() &&
                     RegOpenKeyExW(clients, CString::FromUtf8(name), 0, KEY_READ, &key) == ERROR_SUCCESS;
  RegCloseKey(clients);
  if (!found) return false;

  MailProfile read;
  read.name = name;
  std::string transport;
  ReadText(key, u"Transport", transport);
  const CString kind = CString::FromUtf8(transport);
  bool known = true;
  if (kind.CompareNoCase(u"smtp") == 0)
    read.transport = Transport::Smtp;
  else if (kind.CompareNoCase(u"sendmail") == 0)
    read.transport = Transport::Sendmail;
  else if (kind.CompareNoCase(u"desktop") == 0)
    read.transport = Transport::Desktop;
  else
    known = false;
  ReadText(key, u"Server", read.server);
  DWORD tls = 0;
  read.requireTls = ReadDword(key, u"RequireTLS", tls) && tls != 0;
  ReadText(key, u"User", read.user);
  ReadText(key, u"Password", read.password);
  ReadText(key, u"From", read.from);
  if (std::string program; ReadText(key, u"Sendmail", program) && !program.empty()) read.sendmail = program;
  RegCloseKey(key);
  if (!known || (read.transport == Transport::Smtp && read.server.empty())) return false;
  profile = std::move(read);
  return true;
}

}  // namespace qvmapi
