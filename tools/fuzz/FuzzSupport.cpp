#include "tools/fuzz/FuzzSupport.h"

#include "platform/core/paths.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fuzz {

namespace {

// The folder lives as long as the process and is removed, with what the target left in it, when
// the process ends normally.
class TemporaryFolder {
public:
  TemporaryFolder() {
    m_path = (std::filesystem::temp_directory_path() / "qvfuzz-XXXXXX").string();
    if (!::mkdtemp(m_path.data())) {
      std::perror("qvfuzz: cannot make a temporary folder");
      std::abort();
    }
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::string& Path() const { return m_path; }

private:
  std::string m_path;
};

}  // namespace

const std::string& Folder() {
  static const TemporaryFolder folder;
  return folder.Path();
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

// Targets that open windows start Qt, whose font setup keeps what the font library hands it until
// the process ends; the leak checker would stop every such run at its first input.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
