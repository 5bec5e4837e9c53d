#pragma once
// Runs the lock helper program as a child process for the tests that need a second process.

#include <string>
#include <vector>

#include <sys/resource.h>

class ChildProcess {
public:
  // Starts the helper with the arguments; its standard output comes through a pipe.
  explicit ChildProcess(const std::vector<std::string>& arguments);
  // Kills a child that is still running and reaps it.
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return m_pid > 0; }
  // One line of the child's output, without its end; empty at the end of the output.
  std::string ReadLine();
  // Waits for the end; the exit status (-1 when it did not exit normally), and the processor
  // time it used in `usage`.
  int Wait(struct rusage* usage = nullptr);

private:
  int m_pid { -1 };
  int m_output { -1 };
};
