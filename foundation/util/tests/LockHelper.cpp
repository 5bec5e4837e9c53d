// A second process for the lock-file tests. Commands:
//   count <protected path> <counter file> <rounds>  take the lock (waiting without limit), add one
//                                                  to the number in the counter file by plain
//                                                  reading and rewriting, release; `rounds` times
//   hold <protected path> <milliseconds>            take the lock at once, print "locked" (or
//                                                  "refused"), keep it for the time, release
//   wait <protected path>                            take the lock, waiting without limit; release

#include "foundation/util/CQVGPMLock.h"
#include "platform/core/sysinfo.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include <unistd.h>

namespace {

CString Wide(const char* text) { return CString::FromUtf8(text); }

int Count(const char* path, const char* counter, int rounds) {
  std::mt19937 random(static_cast<unsigned>(getpid()));
  CQVGPMLock lock;
  for (int i = 0; i < rounds; ++i) {
    if (!lock.LockFile(Wide(path), INFINITE)) return 2;
    long value = 0;
    {
      std::ifstream in(counter);
      in >> value;
    }
    // Widen the window between reading and writing, so that two holders would lose counts.
    usleep(random() % 200);
    {
      std::ofstream out(counter, std::ios::trunc);
      out << value + 1 << '\n';
    }
    if (!lock.Unlock()) return 3;
  }
  return 0;
}

int Hold(const char* path, DWORD milliseconds) {
  CQVGPMLock lock;
  const BOOL locked = lock.LockFile(Wide(path), 0);
  std::printf(locked ? "locked\n" : "refused\n");
  std::fflush(stdout);
  if (!locked) return 1;
  Sleep(milliseconds);
  return lock.Unlock() ? 0 : 3;
}

int Wait(const char* path) {
  CQVGPMLock lock;
  if (!lock.LockFile(Wide(path), INFINITE)) return 2;
  return lock.Unlock() ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "count" && argc == 5) return Count(argv[2], argv[3], std::atoi(argv[4]));
  if (command == "hold" && argc == 4) return Hold(argv[2], static_cast<DWORD>(std::atol(argv[3])));
  if (command == "wait" && argc == 3) return Wait(argv[2]);
  std::fprintf(stderr, "usage: count <path> <counter> <rounds> | hold <path> <ms> | wait <path>\n");
  return 64;
}
