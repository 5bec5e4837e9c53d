// The message the provider builds from the caller's texts: the input holds a display name, an
// address, a subject and a body, separated by form feeds. Whatever they hold, the headers keep to
// their lines (no line break of the texts starts a header of its own), no line is longer than
// mail allows, and an address is only taken when it is usable.

#include "platform/mapi/MimeMessage.h"
#include "platform/mapi/mapi.h"
#include "tools/fuzz/FuzzSupport.h"

#include <vector>

using namespace qvmapi;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\f' && parts.size() < 4)
      parts.emplace_back();
    else
      parts.back() += static_cast<char>(data[i]);
  }
  parts.resize(4);

  MailAddress parsed;
  if (ParseAddress(parts[1], parsed)) fuzz::Check(IsUsableAddress(parsed.address), "a parsed address is not usable");

  MailContent content;
  content.from = {parts[0], "desk@example.org"};
  content.to = {{parts[0], "a@example.org"}, {parts[2], "b@example.org"}};
  content.subject = parts[2];
  content.body = parts[3];
  std::string message;
  fuzz::Check(BuildMessage(content, message) == SUCCESS_SUCCESS, "a message without attachments is not built");

  const size_t headersEnd = message.find("\r\n\r\n");
  fuzz::Check(headersEnd != std::string::npos, "the message has no end of its headers");
  size_t lineStart = 0;
  for (size_t i = 0; i < message.size(); ++i) {
    const bool inHeaders = i < headersEnd;
    if (message[i] == '\n') {
      fuzz::Check(i > 0 && message[i - 1] == '\r', "a line ends without CR LF");
      fuzz::Check(i - lineStart <= 998, "a line is longer than mail allows");
      // A header line that follows another either starts a known header or continues one.
      if (inHeaders && i + 1 < headersEnd) {
        const std::string_view next(message.data() + i + 1, headersEnd - i - 1);
        const bool continued = next.front() == ' ' || next.front() == '\t';
        const bool known = next.starts_with("From: ") || next.starts_with("To: ") || next.starts_with("Cc: ") ||
                           next.starts_with("Subject: ") || next.starts_with("Date: ") ||
                           next.starts_with("Message-ID: ") || next.starts_with("MIME-Version: ") ||
                           next.starts_with("Content-Type: ") || next.starts_with("Content-Transfer-Encoding: ");
        fuzz::Check(continued || known, "a text of the caller starts a header of its own");
      }
      lineStart = i + 1;
    } else if (message[i] == '\r') {
      fuzz::Check(i + 1 < message.size() && message[i + 1] == '\n', "a lone CR in the message");
    }
  }
  return 0;
}
