// The provider's Simple MAPI entry points. A session is a profile that logged on; sending without
// one logs on to the default profile for that mail alone. Reading mail is not offered.
#include "platform/mapi/MailTransport.h"
#include "platform/mapi/mapi.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <pwd.h>
#include <unistd.h>

namespace qvmapi {
namespace {

struct Sessions {
  std::mutex lock;
  std::map<LHANDLE, MailProfile> open;
  LHANDLE next { 1 };
};

Sessions& AllSessions() {
  static Sessions sessions;
  return sessions;
}

std::string Text(LPCSTR text) { return text ? std::string(text) : std::string(); }

// The user at this host, for a profile that names no sender.
MailAddress DefaultSender() {
  const passwd* user = ::getpwuid(::getuid());
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) != 0 || !*host) std::strcpy(host, "localhost");
  return {{}, std::string(user && user->pw_name ? user->pw_name : "user") + "@" + host};
}

// A recipient's address as given, an "SMTP:" prefix dropped, else read from its name.
bool ReadRecipient(const MapiRecipDesc& recip, MailAddress& out) {
  std::string address = Text(recip.lpszAddress);
  if (address.size() > 5 && strncasecmp(address.c_str(), "smtp:", 5) == 0) address.erase(0, 5);
  if (address.empty()) {
    if (!ParseAddress(Text(recip.lpszName), out)) return false;
    return true;
  }
  if (!ParseAddress(address, out)) return false;
  if (recip.lpszName && *recip.lpszName) out.name = recip.lpszName;
  return true;
}

ULONG ReadMessage(const MapiMessage& message, const MailProfile& profile, MailContent& content) {
  content.subject = Text(message.lpszSubject);
  content.body = Text(message.lpszNoteText);
  for (ULONG i = 0; i < message.nRecipCount; ++i) {
    const MapiRecipDesc& recip = message.lpRecips[i];
    std::vector<MailAddress>* list = recip.ulRecipClass == MAPI_TO   ? &content.to
                                     : recip.ulRecipClass == MAPI_CC ? &content.cc
                                     : recip.ulRecipClass == MAPI_BCC ? &content.bcc
                                                                      : nullptr;
    if (!list) return MAPI_E_BAD_RECIPTYPE;
    MailAddress address;
    if (!ReadRecipient(recip, address)) return MAPI_E_INVALID_RECIPS;
    list->push_back(std::move(address));
  }
  for (ULONG i = 0; i < message.nFileCount; ++i) {
    const MapiFileDesc& file = message.lpFiles[i];
    if (!file.lpszPathName || !*file.lpszPathName) return MAPI_E_ATTACHMENT_NOT_FOUND;
    content.attachments.push_back({file.lpszPathName, Text(file.lpszFileName)});
  }
  MailAddress sender;
  if (message.lpOriginator && ReadRecipient(*message.lpOriginator, sender))
    content.from = sender;
  else if (ParseAddress(profile.from, sender))
    content.from = sender;
  else
    content.from = DefaultSender();
  return SUCCESS_SUCCESS;
}

ULONG Deliver(const MailProfile& profile, const MapiMessage& message) {
  MailContent content;
  if (const ULONG result = ReadMessage(message, profile, content); result != SUCCESS_SUCCESS) return result;
  if (profile.transport == Transport::Desktop) return SendWithDesktop(content);
  // The server and sendmail need someone to deliver to; the desktop's program lets the user add them.
  if (content.to.empty() && content.cc.empty() && content.bcc.empty()) return MAPI_E_INVALID_RECIPS;
  std::string bytes;
  if (const ULONG result = BuildMessage(content, bytes); result != SUCCESS_SUCCESS) return result;
  return profile.transport == Transport::Smtp ? SendSmtp(profile, content, bytes)
                                              : SendWithSendmail(profile, content, bytes);
}

}  // namespace
}  // namespace qvmapi

using namespace qvmapi;

extern "C" {

// A named profile is that mail program's; without a name, the default program's. The password,
// when given, is used in place of the profile's.
ULONG MAPILogon(ULONG_PTR, LPSTR profileName, LPSTR password, FLAGS, ULONG, LPLHANDLE session) {
  if (!session) return MAPI_E_FAILURE;
  MailProfile profile;
  if (!LoadMailProfile(Text(profileName), profile)) return MAPI_E_LOGON_FAILURE;
  if (password && *password) profile.password = password;
  if (ProbeTransport(profile) != SUCCESS_SUCCESS) return MAPI_E_LOGON_FAILURE;
  Sessions& sessions = AllSessions();
  std::lock_guard guard(sessions.lock);
  *session = sessions.next++;
  sessions.open.emplace(*session, std::move(profile));
  return SUCCESS_SUCCESS;
}

ULONG MAPILogoff(LHANDLE session, ULONG_PTR, FLAGS, ULONG) {
  Sessions& sessions = AllSessions();
  std::lock_guard guard(sessions.lock);
  return sessions.open.erase(session) ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
}

// With a desktop profile the mail opens in the user's mail program whether or not MAPI_DIALOG is
// given; the other profiles deliver at once, MAPI_DIALOG or not, since the caller has had the
// user compose the mail already.
ULONG MAPISendMail(LHANDLE session, ULONG_PTR, lpMapiMessage message, FLAGS, ULONG) {
  if (!message) return MAPI_E_INVALID_MESSAGE;
  if ((message->nRecipCount && !message->lpRecips) || (message->nFileCount && !message->lpFiles))
    return MAPI_E_INVALID_MESSAGE;
  MailProfile profile;
  if (session) {
    Sessions& sessions = AllSessions();
    std::lock_guard guard(sessions.lock);
    const auto found = sessions.open.find(session);
    if (found == sessions.open.end()) return MAPI_E_INVALID_SESSION;
    profile = found->second;
  } else if (!LoadMailProfile({}, profile)) {
    return MAPI_E_LOGON_FAILURE;
  }
  return Deliver(profile, *message);
}

// "Name <address>" or an address: the name and the address as one record, freed by MAPIFreeBuffer.
ULONG MAPIResolveName(LHANDLE, ULONG_PTR, LPSTR name, FLAGS, ULONG, lpMapiRecipDesc* recip) {
  if (!recip) return MAPI_E_FAILURE;
  MailAddress address;
  if (!ParseAddress(Text(name), address)) return MAPI_E_UNKNOWN_RECIPIENT;
  if (address.name.empty()) address.name = address.address;
  const size_t size = sizeof(MapiRecipDesc) + address.name.size() + 1 + address.address.size() + 1;
  auto* block = static_cast<char*>(std::calloc(1, size));
  if (!block) return MAPI_E_INSUFFICIENT_MEMORY;
  auto* record = reinterpret_cast<MapiRecipDesc*>(block);
  char* text = block + sizeof(MapiRecipDesc);
  std::memcpy(text, address.name.c_str(), address.name.size() + 1);
  record->lpszName = text;
  text += address.name.size() + 1;
  std::memcpy(text, address.address.c_str(), address.address.size() + 1);
  record->lpszAddress = text;
  record->ulRecipClass = MAPI_TO;
  *recip = record;
  return SUCCESS_SUCCESS;
}

ULONG MAPIFreeBuffer(LPVOID buffer) {
  std::free(buffer);
  return SUCCESS_SUCCESS;
}

ULONG MAPIReadMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*) { return MAPI_E_NOT_SUPPORTED; }
ULONG MAPIFindNext(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR) { return MAPI_E_NOT_SUPPORTED; }
ULONG MAPIDeleteMail(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG) { return MAPI_E_NOT_SUPPORTED; }

}  // extern "C"
