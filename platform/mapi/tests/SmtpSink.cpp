#include "platform/mapi/tests/SmtpSink.h"

#include "platform/core/CString.h"
#include "platform/core/registry.h"

#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> out;
  std::string piece;
  std::istringstream in(text);
  while (std::getline(in, piece, separator)) out.push_back(piece);
  return out;
}

}  // namespace

SmtpSink::SmtpSink(Mode mode) {
  char pattern[] = "/tmp/qv-smtp-sink-XXXXXX";
  if (!::mkdtemp(pattern)) return;
  m_folder = pattern;
  int out[2];
  if (::pipe(out) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  // Debian's interpreter, which has python3-aiosmtpd, whatever else PATH offers.
  std::string python = "/usr/bin/python3", script = QV_SMTP_SINK_SCRIPT, folder = m_folder.string(),
              how = mode == Mode::Drop ? "drop" : "accept";
  char* argv[] = {python.data(), script.data(), folder.data(), how.data(), nullptr};
  const int spawned = posix_spawn(&m_pid, argv[0], &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    m_pid = -1;
    ::close(out[0]);
    return;
  }
  std::string line;
  char c = 0;
  while (::read(out[0], &c, 1) == 1 && c != '\n') line += c;
  ::close(out[0]);
  m_port = std::atoi(line.c_str());
}

SmtpSink::~SmtpSink() {
  if (m_pid > 0) {
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  std::error_code error;
  if (!m_folder.empty()) fs::remove_all(m_folder, error);
}

std::vector<ReceivedMail> SmtpSink::Mails() const {
  std::vector<ReceivedMail> mails;
  for (int n = 1;; ++n) {
    const fs::path folder = m_folder / std::to_string(n);
    if (!fs::is_directory(folder)) break;
    ReceivedMail mail;
    const auto envelope = Split(ReadAll(folder / "envelope.txt"), '\n');
    if (!envelope.empty()) {
      mail.from = envelope[0];
      mail.recipients.assign(envelope.begin() + 1, envelope.end());
    }
    for (const std::string& line : Split(ReadAll(folder / "headers.txt"), '\n')) {
      const auto fields = Split(line, '\t');
      if (fields.size() < 2) continue;
      if (fields[0] == "Subject") mail.subject = line.substr(8);
      if (fields[0] == "Bcc") mail.bccHeader = true;
      ReceivedAddress address { fields[1], fields.size() > 2 ? fields[2] : "" };
      if (fields[0] == "To") mail.to.push_back(address);
      if (fields[0] == "Cc") mail.cc.push_back(address);
      if (fields[0] == "From") mail.sender = address;
    }
    mail.body = ReadAll(folder / "body.txt");
    for (const auto& entry : fs::directory_iterator(folder / "attachments"))
      mail.attachments[entry.path().filename().string()] = ReadAll(entry.path());
    mail.raw = ReadAll(folder / "raw.eml");
    mails.push_back(std::move(mail));
  }
  return mails;
}

int SmtpSink::UnusedPort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  int port = 0;
  if (::bind(s, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
      ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0)
    port = ntohs(address.sin_port);
  ::close(s);
  return port;
}

void RegisterMailProgram(const std::string& name, const std::string& provider,
                         const std::map<std::string, std::string>& values, bool makeDefault) {
  const auto set = [](HKEY key, const std::string& value, const std::string& text) {
    const CString wide = CString::FromUtf8(text);
    RegSetValueExW(key, value.empty() ? nullptr : CString::FromUtf8(value).GetString(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(wide.GetString()), DWORD((wide.GetLength() + 1) * sizeof(WCHAR)));
  };
  HKEY clients = nullptr;
  RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Clients\\Mail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &clients,
                  nullptr);
  HKEY key = nullptr;
  RegCreateKeyExW(clients, CString::FromUtf8(name), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  set(key, "DLLPath", provider);
  for (const auto& [value, text] : values) set(key, value, text);
  RegCloseKey(key);
  if (makeDefault) set(clients, "", name);
  RegCloseKey(clients);
}
