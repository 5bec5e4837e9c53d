#pragma once
// The provider's profiles: one per mail program registered under "Software\Clients\Mail" of the
// local machine. The key's default value names the program that is the default; each program's
// subkey says how its mail is delivered:
//
//   "DLLPath"    the provider library (what lists the program as one that takes Simple MAPI)
//   "Transport"  "smtp", "sendmail" or "desktop"
//   "Server"     smtp: the server's URL, "smtp://host:port" or "smtps://host:port"
//   "RequireTLS" smtp: dword 1 refuses a server that does not offer STARTTLS
//   "User", "Password"  smtp: the log-in, when the server asks for one
//   "From"       the sender, "Name <address>" or an address; else the user at this host
//   "Sendmail"   sendmail: the program [/usr/sbin/sendmail]
//
// "desktop" hands each message to the user's own mail program through xdg-email, which shows it
// in its compose window.
//
// Internal to the provider.

#include <string>

namespace qvmapi {

enum class Transport { Smtp, Sendmail, Desktop };

struct MailProfile {
  std::string name;
  Transport transport { Transport::Smtp };
  std::string server;
  bool requireTls { false };
  std::string user;
  std::string password;
  std::string from;
  std::string sendmail { "/usr/sbin/sendmail" };
};

// The profile of the named program (empty: the default program). False when there is no such
// program or it names no transport this provider knows.
bool LoadMailProfile(const std::string& name, MailProfile& profile);

}  // namespace qvmapi
