// Delivery through programs of this machine: the local sendmail, which takes the message on its
// input and the recipients as arguments (so Bcc stays out of the headers), and xdg-email, which
// opens the user's mail program with the mail filled in.
#include "platform/mapi/MailTransport.h"
#include "platform/mapi/mapi.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace qvmapi {

ULONG ProbeSmtp(const MailProfile& profile);

namespace {

namespace fs = std::filesystem;

// Runs `argv` with `input` on its standard input (nothing when empty) and answers its exit
// status, 127 when it could not be started, -1 when it did not end normally. The input goes
// through a socket pair, so a program that stops reading costs no SIGPIPE.
int Run(const std::vector<std::string>& args, const std::string& input, bool searchPath) {
  int sockets[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, sockets) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, sockets[1], 0);
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = searchPath ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                                 : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(sockets[1]);
  if (spawned != 0) {
    ::close(sockets[0]);
    return 127;
  }
  for (size_t sent = 0; sent < input.size();) {
    const ssize_t n = ::send(sockets[0], input.data() + sent, input.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    sent += static_cast<size_t>(n);
  }
  ::close(sockets[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool IsExecutable(const std::string& path) { return !path.empty() && ::access(path.c_str(), X_OK) == 0; }

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string_view folders(path ? path : "/usr/bin:/bin");
  while (!folders.empty()) {
    const size_t colon = folders.find(':');
    const std::string folder(folders.substr(0, colon));
    folders.remove_prefix(colon == std::string_view::npos ? folders.size() : colon + 1);
    if (!folder.empty() && IsExecutable(folder + "/" + program)) return folder + "/" + program;
  }
  return {};
}

// The folder the desktop's mail program reads attachments from; copies older than a day (their
// mails long since sent or dropped) are removed on the way.
fs::path OutboxFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const char* home = std::getenv("HOME");
  const fs::path base = cache && *cache ? fs::path(cache) : fs::path(home ? home : "/tmp") / ".cache";
  const fs::path outbox = base / "qv" / "mail-outbox";
  std::error_code error;
  fs::create_directories(outbox, error);
  fs::permissions(outbox, fs::perms::owner_all, error);
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(24);
  for (const auto& entry : fs::directory_iterator(outbox, error))
    if (entry.last_write_time(error) < old) fs::remove_all(entry.path(), error);
  return outbox;
}

// Line ends as the desktop's programs write them.
std::string UnixLines(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\r' ? '\n' : text[i];
  }
  return out;
}

}  // namespace

ULONG ProbeTransport(const MailProfile& profile) {
  switch (profile.transport) {
    case Transport::Smtp: return ProbeSmtp(profile);
    case Transport::Sendmail: return IsExecutable(profile.sendmail) ? SUCCESS_SUCCESS : MAPI_E_LOGON_FAILURE;
    case Transport::Desktop: return FindOnPath("xdg-email").empty() ? MAPI_E_LOGON_FAILURE : SUCCESS_SUCCESS;
  }
  return MAPI_E_LOGON_FAILURE;
}

ULONG SendWithSendmail(const MailProfile& profile, const MailContent& content, const std::string& message) {
  std::vector<std::string> args { profile.sendmail, "-oi", "-f", content.from.address, "--" };
  for (const std::string& address : EnvelopeRecipients(content)) args.push_back(address);
  switch (Run(args, message, false)) {
    case 0: return SUCCESS_SUCCESS;
    case 67: return MAPI_E_UNKNOWN_RECIPIENT;
    default: return MAPI_E_FAILURE;
  }
}

ULONG SendWithDesktop(const MailContent& content) {
  const std::string program = FindOnPath("xdg-email");
  if (program.empty()) return MAPI_E_NOT_SUPPORTED;
  std::vector<std::string> args { program, "--utf8" };
  if (!content.subject.empty()) args.insert(args.end(), {"--subject", content.subject});
  if (!content.body.empty()) args.insert(args.end(), {"--body", UnixLines(content.body)});
  for (const MailAddress& address : content.cc) args.insert(args.end(), {"--cc", PlainAddress(address)});
  for (const MailAddress& address : content.bcc) args.insert(args.end(), {"--bcc", PlainAddress(address)});
  if (!content.attachments.empty()) {
    std::string folder = (OutboxFolder() / "XXXXXX").string();
    if (!::mkdtemp(folder.data())) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
    for (size_t i = 0; i < content.attachments.size(); ++i) {
      const MailAttachment& attachment = content.attachments[i];
      std::string name = fs::path(attachment.fileName.empty() ? attachment.path : attachment.fileName).filename();
      if (name.empty() || name == "." || name == "..") name = "attachment";
      // Two attachments of one name each keep their own copy.
      const fs::path copy = fs::path(folder) / std::to_string(i + 1) / name;
      std::error_code error;
      fs::create_directories(copy.parent_path(), error);
      if (!fs::exists(attachment.path, error)) return MAPI_E_ATTACHMENT_NOT_FOUND;
      if (!fs::copy_file(attachment.path, copy, error)) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
      args.insert(args.end(), {"--attach", copy.string()});
    }
  }
  for (const MailAddress& address : content.to) args.push_back(PlainAddress(address));
  switch (Run(args, {}, false)) {
    case 0: return SUCCESS_SUCCESS;
    case 3: return MAPI_E_NOT_SUPPORTED;  // no mail program the desktop knows
    default: return MAPI_E_FAILURE;
  }
}

}  // namespace qvmapi
