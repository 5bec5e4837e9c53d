#pragma once
// A mail as the provider delivers it, and the Internet message it is written as: UTF-8 text,
// headers that hold other than plain ASCII as encoded words, display names quoted where commas,
// quotes or other specials would break the address list, the text and the attachments as base64
// parts of a multipart message. Bcc recipients go to the envelope only, never into the headers.
//
// Internal to the provider.

#include "platform/core/wintypes.h"

#include <string>
#include <string_view>
#include <vector>

namespace qvmapi {

struct MailAddress {
  std::string name;     // UTF-8; empty or equal to the address: none shown
  std::string address;  // an addr-spec, "local@domain"
};

struct MailAttachment {
  std::string path;      // the file, read when the message is built
  std::string fileName;  // the name the receiver sees (its folders are dropped); empty: the path's
};

struct MailContent {
  MailAddress from;
  std::vector<MailAddress> to, cc, bcc;
  std::string subject;
  std::string body;
  std::vector<MailAttachment> attachments;
};

// "Name <address>", "address", or an address read out of the text; false when no usable address
// (one '@', no blanks, no controls, no brackets or quotes) is there.
bool ParseAddress(std::string_view text, MailAddress& out);
bool IsUsableAddress(std::string_view address);

// Every recipient's address, To then Cc then Bcc.
std::vector<std::string> EnvelopeRecipients(const MailContent& content);

// A header's text: as it stands when it is short printable ASCII, else as encoded words on folded
// lines.
std::string EncodeHeaderText(std::string_view utf8);
// One address of a To, Cc or From header.
std::string FormatAddress(const MailAddress& address);
std::string Base64(std::string_view bytes, bool breakLines);

// The message's bytes with CR LF line ends into `out`: SUCCESS_SUCCESS, or
// MAPI_E_ATTACHMENT_NOT_FOUND / MAPI_E_ATTACHMENT_OPEN_FAILURE for an attachment that cannot be read.
ULONG BuildMessage(const MailContent& content, std::string& out);

// The same addresses for the desktop's mail program, "Name <address>" with the name quoted as a
// header would quote it, but without encoded words.
std::string PlainAddress(const MailAddress& address);

}  // namespace qvmapi
