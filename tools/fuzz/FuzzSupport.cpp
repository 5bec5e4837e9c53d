#include "tools/fuzz/FuzzSupport.h"

#include "platform/core/paths.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {

namespace {

void RemoveFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(Folder(), ignored);
}

}  // namespace

const std::string& Folder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "qvfuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
      std::perror("qvfuzz: cannot make a temporary folder");
      std::abort();
    }
    return pattern;
  }();
  static const bool removedAtExit = std::atexit(RemoveFolder) == 0;
  (void)removedAtExit;
  return folder;
}

CString PathOf(std::string_view name) { return PathFromNative(Folder() + "/" + std::string(name)); }

CString WriteFile(std::string_view name, std::string_view bytes) {
  const std::string native = Folder() + "/" + std::string(name);
  std::ofstream out(native, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  Check(out.good(), "the input could not be written to the temporary folder");
  return PathFromNative(native);
}

CString WriteFile(std::string_view name, const uint8_t* data, size_t size) {
  return WriteFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "qvfuzz: check failed: %s\n", what);
  std::abort();
}

}  // namespace fuzz
