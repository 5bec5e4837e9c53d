#include "platform/mapi/MimeMessage.h"

#include "platform/core/paths.h"
#include "platform/mapi/mapi.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace qvmapi {
namespace {

constexpr std::string_view kBase64Digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string_view Trim(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsPrintableAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
  return true;
}

bool IsAtext(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::string_view("!#$%&'*+-/=?^_`{|}~").find(c) != std::string_view::npos;
}

// Controls (line breaks included) become blanks: a header holds one line of text.
std::string OneLine(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return out;
}

// Encoded words of at most 39 bytes of text each (64 characters a word, so that a header's name
// fits before the first), cut between characters.
std::string EncodedWords(std::string_view utf8) {
  std::string out;
  while (!utf8.empty()) {
    size_t cut = std::min<size_t>(39, utf8.size());
    while (cut < utf8.size() && cut > 0 && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
    if (cut == 0) cut = std::min<size_t>(39, utf8.size());
    if (!out.empty()) out += "\r\n ";
    out += "=?UTF-8?B?" + Base64(utf8.substr(0, cut), false) + "?=";
    utf8.remove_prefix(cut);
  }
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

std::string BaseName(std::string_view path) {
  const size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ShownName(const MailAttachment& attachment) {
  std::string name = OneLine(Trim(BaseName(attachment.fileName.empty() ? attachment.path : attachment.fileName)));
  return name.empty() ? "attachment" : name;
}

std::string ContentType(std::string_view name) {
  const size_t dot = name.rfind('.');
  std::string ext(dot == std::string_view::npos ? "" : name.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == "tif" || ext == "tiff") return "image/tiff";
  if (ext == "pdf") return "application/pdf";
  if (ext == "jpg" || ext == "jpeg") return "image/jpeg";
  if (ext == "png") return "image/png";
  if (ext == "txt") return "text/plain";
  return "application/octet-stream";
}

// The file name parameter on lines of its own: quoted when short plain ASCII, else percent-encoded
// UTF-8 in numbered pieces of at most 60 characters (RFC 2231).
std::string FileNameParameter(const std::string& name) {
  if (IsPrintableAscii(name) && name.size() <= 60) return " filename=" + Quoted(name);
  std::vector<std::string> pieces { "UTF-8''" };
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    char encoded[4] = {c, 0};
    if (!std::isalnum(byte) && std::string_view("!#$&+-.^_`|~").find(c) == std::string_view::npos)
      std::snprintf(encoded, sizeof encoded, "%%%02X", byte);
    if (pieces.back().size() + std::strlen(encoded) > 60) pieces.emplace_back();
    pieces.back() += encoded;
  }
  std::string out;
  for (size_t i = 0; i < pieces.size(); ++i)
    out += (i ? ";\r\n" : "") + std::string(" filename*") + std::to_string(i) + "*=" + pieces[i];
  return out;
}

// Every line end, lone CR and lone LF included, as CR LF.
std::string CanonicalLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += "\r\n";
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (text[i] == '\n') {
      out += "\r\n";
    } else {
      out += text[i];
    }
  }
  return out;
}

std::string AddressList(const std::vector<MailAddress>& list) {
  std::string out;
  for (const MailAddress& address : list) {
    if (!out.empty()) out += ",\r\n ";
    out += FormatAddress(address);
  }
  return out;
}

std::string DateHeader() {
  static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t now = std::time(nullptr);
  std::tm utc {};
  gmtime_r(&now, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d +0000", kDays[utc.tm_wday], utc.tm_mday,
                kMonths[utc.tm_mon], utc.tm_year + 1900, utc.tm_hour, utc.tm_min, utc.tm_sec);
  return text;
}

std::string RandomHex(int digits) {
  static thread_local std::mt19937_64 generator { std::random_device {}() };
  std::string out;
  while (static_cast<int>(out.size()) < digits) out += "0123456789abcdef"[generator() & 15];
  return out;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0 || !*name) return "localhost";
  return name;
}

ULONG ReadAttachment(const std::string& path, std::string& bytes) {
  const std::string native = ResolveNativePath(path);
  struct stat st {};
  if (::stat(native.c_str(), &st) != 0)
    return errno == ENOENT ? MAPI_E_ATTACHMENT_NOT_FOUND : MAPI_E_ATTACHMENT_OPEN_FAILURE;
  if (!S_ISREG(st.st_mode)) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
  std::ifstream in(native, std::ios::binary);
  if (!in) return MAPI_E_ATTACHMENT_OPEN_FAILURE;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.bad() ? MAPI_E_ATTACHMENT_OPEN_FAILURE : SUCCESS_SUCCESS;
}

}  // namespace

std::string Base64(std::string_view bytes, bool breakLines) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4 + bytes.size() / 57 * 2 + 2);
  int onLine = 0;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (n > 1) group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (n > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += kBase64Digits[(group >> 18) & 63];
    out += kBase64Digits[(group >> 12) & 63];
    out += n > 1 ? kBase64Digits[(group >> 6) & 63] : '=';
    out += n > 2 ? kBase64Digits[group & 63] : '=';
    if (breakLines && (onLine += 4) == 76) {
      out += "\r\n";
      onLine = 0;
    }
  }
  if (breakLines && onLine) out += "\r\n";
  return out;
}

bool IsUsableAddress(std::string_view address) {
  const size_t at = address.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 == address.size()) return false;
  if (address.find('@', at + 1) != std::string_view::npos) return false;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
    if (std::string_view("<>\",;()[]\\").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool ParseAddress(std::string_view text, MailAddress& out) {
  text = Trim(text);
  MailAddress parsed;
  const size_t open = text.rfind('<');
  if (open != std::string_view::npos) {
    const size_t close = text.find('>', open);
    if (close == std::string_view::npos) return false;
    parsed.address = std::string(Trim(text.substr(open + 1, close - open - 1)));
    std::string_view name = Trim(text.substr(0, open));
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
      name = name.substr(1, name.size() - 2);
      for (size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 1 < name.size()) ++i;
        parsed.name += name[i];
      }
    } else {
      parsed.name = std::string(name);
    }
  } else {
    parsed.address = std::string(text);
  }
  if (!IsUsableAddress(parsed.address)) return false;
  out = std::move(parsed);
  return true;
}

std::vector<std::string> EnvelopeRecipients(const MailContent& content) {
  std::vector<std::string> out;
  for (const auto* list : {&content.to, &content.cc, &content.bcc})
    for (const MailAddress& address : *list) out.push_back(address.address);
  return out;
}

std::string EncodeHeaderText(std::string_view utf8) {
  const std::string line = OneLine(utf8);
  if (IsPrintableAscii(line) && line.size() <= 900 && line.find("=?") == std::string::npos) return line;
  return EncodedWords(line);
}

std::string FormatAddress(const MailAddress& address) {
  const std::string name = OneLine(Trim(address.name));
  if (name.empty() || name == address.address) return address.address;
  std::string phrase;
  if (!IsPrintableAscii(name) || name.find("=?") != std::string::npos) {
    phrase = EncodedWords(name);
  } else {
    bool plain = true;
    for (const char c : name) plain = plain && (IsAtext(c) || c == ' ');
    phrase = plain ? name : Quoted(name);
  }
  return phrase + " <" + address.address + ">";
}

std::string PlainAddress(const MailAddress& address) {
  const std::string name = OneLine(Trim(address.name));
  if (name.empty() || name == address.address) return address.address;
  bool plain = true;
  for (const char c : name) plain = plain && (IsAtext(c) || c == ' ' || static_cast<unsigned char>(c) >= 0x80);
  return (plain ? name : Quoted(name)) + " <" + address.address + ">";
}

ULONG BuildMessage(const MailContent& content, std::string& out) {
  std::vector<std::string> files(content.attachments.size());
  for (size_t i = 0; i < files.size(); ++i)
    if (const ULONG result = ReadAttachment(content.attachments[i].path, files[i]); result != SUCCESS_SUCCESS)
      return result;

  std::string message = "From: " + FormatAddress(content.from) + "\r\n";
  if (!content.to.empty())
    message += "To: " + AddressList(content.to) + "\r\n";
  else if (content.cc.empty())
    message += "To: undisclosed-recipients:;\r\n";
  if (!content.cc.empty()) message += "Cc: " + AddressList(content.cc) + "\r\n";
  message += "Subject: " + EncodeHeaderText(content.subject) + "\r\n";
  message += "Date: " + DateHeader() + "\r\n";
  message += "Message-ID: <" + RandomHex(24) + "@" + HostName() + ">\r\n";
  message += "MIME-Version: 1.0\r\n";

  const std::string text = "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
                           Base64(CanonicalLines(content.body), true);
  if (files.empty()) {
    out = message + text;
    return SUCCESS_SUCCESS;
  }
  // Every part is base64, whose digits never hold "=_": the boundary cannot occur inside a part.
  const std::string boundary = "=_" + RandomHex(32);
  message += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n";
  message += "This is a message in several parts.\r\n";
  message += "--" + boundary + "\r\n" + text;
  for (size_t i = 0; i < files.size(); ++i) {
    const std::string name = ShownName(content.attachments[i]);
    message += "--" + boundary + "\r\n";
    message += "Content-Type: " + ContentType(name) + "\r\n";
    message += "Content-Transfer-Encoding: base64\r\n";
    message += "Content-Disposition: attachment;\r\n" + FileNameParameter(name) + "\r\n\r\n";
    message += Base64(files[i], true);
    files[i].clear();
  }
  message += "--" + boundary + "--\r\n";
  out = std::move(message);
  return SUCCESS_SUCCESS;
}

}  // namespace qvmapi
