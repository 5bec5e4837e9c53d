// Delivery to an SMTP server through libcurl: the envelope names every recipient (Bcc too), the
// message goes up as it was built. What the server last said after which command tells a refused
// recipient from other refusals.
#include "platform/mapi/MailTransport.h"
#include "platform/mapi/mapi.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

namespace qvmapi {
namespace {

struct Upload {
  const std::string* data { nullptr };
  size_t sent { 0 };
};

size_t ReadChunk(char* buffer, size_t size, size_t count, void* user) {
  auto* upload = static_cast<Upload*>(user);
  const size_t n = std::min(size * count, upload->data->size() - upload->sent);
  std::memcpy(buffer, upload->data->data() + upload->sent, n);
  upload->sent += n;
  return n;
}

// The command last sent, and the first one the server refused for good (a 5xx reply).
struct Dialogue {
  std::string lastCommand;
  std::string refused;
};

int Watch(CURL*, curl_infotype type, char* data, size_t size, void* user) {
  auto* dialogue = static_cast<Dialogue*>(user);
  const std::string_view text(data, size);
  if (type == CURLINFO_HEADER_OUT)
    dialogue->lastCommand = std::string(text.substr(0, text.find_first_of(" \r\n")));
  else if (type == CURLINFO_HEADER_IN && !text.empty() && text.front() == '5' && dialogue->refused.empty())
    dialogue->refused = dialogue->lastCommand;
  return 0;
}

struct CurlDeleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct ListDeleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

std::unique_ptr<CURL, CurlDeleter> OpenSession(const MailProfile& profile) {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
  std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
  if (!curl) return curl;
  curl_easy_setopt(curl.get(), CURLOPT_URL, profile.server.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_CONNECTTIMEOUT, 30L);
  // A server that stops answering in the middle ends the send rather than hanging it.
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_LOW_SPEED_TIME, 60L);
  curl_easy_setopt(curl.get(), CURLOPT_USE_SSL, profile.requireTls ? CURLUSESSL_ALL : CURLUSESSL_TRY);
  if (!profile.user.empty()) {
    curl_easy_setopt(curl.get(), CURLOPT_USERNAME, profile.user.c_str());
    curl_easy_setopt(curl.get(), CURLOPT_PASSWORD, profile.password.c_str());
  }
  return curl;
}

std::string Bracketed(const std::string& address) { return "<" + address + ">"; }

}  // namespace

ULONG ProbeSmtp(const MailProfile& profile) {
  auto curl = OpenSession(profile);
  if (!curl) return MAPI_E_INSUFFICIENT_MEMORY;
  curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
  return curl_easy_perform(curl.get()) == CURLE_OK ? SUCCESS_SUCCESS : MAPI_E_LOGON_FAILURE;
}

ULONG SendSmtp(const MailProfile& profile, const MailContent& content, const std::string& message) {
  auto curl = OpenSession(profile);
  if (!curl) return MAPI_E_INSUFFICIENT_MEMORY;
  std::unique_ptr<curl_slist, ListDeleter> recipients;
  for (const std::string& address : EnvelopeRecipients(content)) {
    curl_slist* grown = curl_slist_append(recipients.get(), Bracketed(address).c_str());
    if (!grown) return MAPI_E_INSUFFICIENT_MEMORY;
    recipients.release();
    recipients.reset(grown);
  }
  const std::string from = Bracketed(content.from.address);
  Upload upload { &message, 0 };
  Dialogue dialogue;
  curl_easy_setopt(curl.get(), CURLOPT_MAIL_FROM, from.c_str());
  curl_easy_setopt(curl.get(), CURLOPT_MAIL_RCPT, recipients.get());
  curl_easy_setopt(curl.get(), CURLOPT_UPLOAD, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(message.size()));
  curl_easy_setopt(curl.get(), CURLOPT_READFUNCTION, ReadChunk);
  curl_easy_setopt(curl.get(), CURLOPT_READDATA, &upload);
  curl_easy_setopt(curl.get(), CURLOPT_DEBUGFUNCTION, Watch);
  curl_easy_setopt(curl.get(), CURLOPT_DEBUGDATA, &dialogue);
  curl_easy_setopt(curl.get(), CURLOPT_VERBOSE, 1L);

  const CURLcode result = curl_easy_perform(curl.get());
  if (result == CURLE_OK) return SUCCESS_SUCCESS;
  if (dialogue.refused == "RCPT") return MAPI_E_UNKNOWN_RECIPIENT;
  if (!dialogue.refused.empty()) return result == CURLE_LOGIN_DENIED ? MAPI_E_LOGON_FAILURE : MAPI_E_FAILURE;
  switch (result) {
    case CURLE_LOGIN_DENIED: return MAPI_E_LOGON_FAILURE;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_USE_SSL_FAILED:
      return MAPI_E_NETWORK_FAILURE;
    case CURLE_OUT_OF_MEMORY: return MAPI_E_INSUFFICIENT_MEMORY;
    default: return MAPI_E_FAILURE;
  }
}

}  // namespace qvmapi
