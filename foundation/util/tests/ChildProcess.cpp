#include "foundation/util/tests/ChildProcess.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

ChildProcess::ChildProcess(const std::vector<std::string>& arguments) {
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
  std::vector<std::string> args;
  args.push_back(QV_LOCK_HELPER);
  args.insert(args.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) m_pid = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  m_output = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
  if (m_pid > 0) {
    kill(m_pid, SIGKILL);
    Wait();
  }
  if (m_output >= 0) close(m_output);
}

std::string ChildProcess::ReadLine() {
  std::string line;
  char c = 0;
  while (m_output >= 0 && read(m_output, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

int ChildProcess::Wait(struct rusage* usage) {
  if (m_pid <= 0) return -1;
  int status = 0;
  struct rusage used {};
  const pid_t pid = wait4(m_pid, &status, 0, &used);
  m_pid = -1;
  if (usage) *usage = used;
  if (pid <= 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}
