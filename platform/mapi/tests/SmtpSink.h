#pragma once
// A local SMTP server for tests (smtp_sink.py over Debian's python3-aiosmtpd), started in a
// folder of its own on a free port of 127.0.0.1 and stopped with the object. What arrives is kept
// decoded; see smtp_sink.py for the layout.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <sys/types.h>

struct ReceivedAddress {
  std::string name;
  std::string address;
  bool operator==(const ReceivedAddress&) const = default;
};

struct ReceivedMail {
  std::string from;                     // the envelope's
  std::vector<std::string> recipients;  // the envelope's
  std::vector<ReceivedAddress> to, cc;  // the headers'
  ReceivedAddress sender;               // the From header's
  std::string subject;
  bool bccHeader { false };
  std::string body;
  std::map<std::string, std::string> attachments;  // file name -> bytes
  std::string raw;
};

class SmtpSink {
public:
  enum class Mode { Accept, Drop };
  explicit SmtpSink(Mode mode = Mode::Accept);
  ~SmtpSink();
  SmtpSink(const SmtpSink&) = delete;
  SmtpSink& operator=(const SmtpSink&) = delete;

  bool IsRunning() const { return m_port > 0; }
  int Port() const { return m_port; }
  std::string Url() const { return "smtp://127.0.0.1:" + std::to_string(m_port); }
  // The mails kept so far, in the order they arrived.
  std::vector<ReceivedMail> Mails() const;

  // A port of 127.0.0.1 that nothing listens on.
  static int UnusedPort();

private:
  std::filesystem::path m_folder;
  pid_t m_pid { -1 };
  int m_port { 0 };
};

// Registers a mail program for the provider under the local machine's "Software\Clients\Mail"
// (the registry of $QV_REGISTRY_DIR): "DLLPath" = `provider` and the given values (all texts),
// and makes it the default when asked.
void RegisterMailProgram(const std::string& name, const std::string& provider,
                         const std::map<std::string, std::string>& values, bool makeDefault);
