#include "platform/core/fileidentity.h"

#include "platform/core/paths.h"

#include <sys/stat.h>

BOOL IsSameFileW(LPCWSTR a, LPCWSTR b) {
  if (!a || !b) return FALSE;
  struct stat first;
  struct stat second;
  if (::stat(ResolvePath(a).c_str(), &first) != 0 || ::stat(ResolvePath(b).c_str(), &second) != 0) return FALSE;
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}
