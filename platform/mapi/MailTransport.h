#pragma once
// The three ways the provider delivers a mail (see MailProfile.h). Each answers a Simple MAPI
// code: SUCCESS_SUCCESS only when the mail was handed over whole.
//
// Internal to the provider.

#include "platform/mapi/MailProfile.h"
#include "platform/mapi/MimeMessage.h"

namespace qvmapi {

// Whether the profile's server answers (smtp), its program can be run (sendmail), or xdg-email
// is there (desktop): SUCCESS_SUCCESS or MAPI_E_LOGON_FAILURE.
ULONG ProbeTransport(const MailProfile& profile);

// Refused or lost connections give MAPI_E_NETWORK_FAILURE, a refused log-in
// MAPI_E_LOGON_FAILURE, a recipient the server refuses MAPI_E_UNKNOWN_RECIPIENT, anything else
// the server refuses MAPI_E_FAILURE.
ULONG SendSmtp(const MailProfile& profile, const MailContent& content, const std::string& message);
// The program's exit status: 0 sent, 67 (no such user) MAPI_E_UNKNOWN_RECIPIENT, else MAPI_E_FAILURE.
ULONG SendWithSendmail(const MailProfile& profile, const MailContent& content, const std::string& message);
// Copies the attachments under their shown names into a folder of the user's own (the mail
// program reads them after xdg-email has returned) and hands the mail to xdg-email.
ULONG SendWithDesktop(const MailContent& content);

}  // namespace qvmapi
