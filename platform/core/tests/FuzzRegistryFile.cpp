// The registry's text file: the input is taken for the file of HKEY_CURRENT_USER, every key and
// value is read, then a change makes the registry write the file again, which must read back to
// the same keys and values.

#include "platform/core/registry.h"
#include "tools/fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Deeper keys are not followed: a tree of the registry has at most that many levels.
constexpr int kMaxDepth = 512;

// Puts the input in place as a new file, so that the registry sees another file and reads it.
void Install(const uint8_t* data, size_t size) {
  static const bool once = [] { return ::setenv("QV_REGISTRY_DIR", fuzz::Folder().c_str(), 1) == 0; }();
  fuzz::Check(once, "the registry folder cannot be set");
  fuzz::WriteFile("HKEY_CURRENT_USER.new", data, size);
  const std::string folder = fuzz::Folder();
  fuzz::Check(std::rename((folder + "/HKEY_CURRENT_USER.new").c_str(), (folder + "/HKEY_CURRENT_USER.reg").c_str()) == 0,
              "the registry file cannot be put in place");
}

void Append(std::string& out, const std::u16string& units) {
  for (char16_t unit : units) out.append({static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)});
  out.push_back('\0');
}

// Every key below `key` and every value, in the order the registry lists them.
void Dump(HKEY key, std::string& out, int depth) {
  std::vector<WCHAR> name(32768);
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size()), type = 0, size = 0;
    const LSTATUS status = RegEnumValueW(key, index, name.data(), &length, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    fuzz::Check(status == ERROR_SUCCESS, "a value cannot be listed");
    // Listed, not queried by name: a name may hold a NUL (written "\\0" in the file).
    std::vector<BYTE> data(size + 1);
    length = static_cast<DWORD>(name.size());
    fuzz::Check(RegEnumValueW(key, index, name.data(), &length, nullptr, &type, data.data(), &size) == ERROR_SUCCESS,
                "a listed value cannot be read");
    out += "value ";
    Append(out, std::u16string(name.data(), length));
    out += std::to_string(type) + ":" + std::string(data.begin(), data.begin() + size) + "\n";
  }
  if (depth >= kMaxDepth) return;
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(name.size());
    const LSTATUS status = RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    fuzz::Check(status == ERROR_SUCCESS, "a key cannot be listed");
    out += "key ";
    Append(out, std::u16string(name.data(), length));
    HKEY child = nullptr;
    fuzz::Check(RegOpenKeyExW(key, name.data(), 0, KEY_READ, &child) == ERROR_SUCCESS, "a listed key cannot be opened");
    Dump(child, out, depth + 1);
    RegCloseKey(child);
    out += "end\n";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Install(data, size);
  std::string read;
  Dump(HKEY_CURRENT_USER, read, 0);
  if (read.empty()) return 0;

  // Making and deleting a key writes the whole file twice; a copy of it is then read afresh.
  HKEY made = nullptr;
  fuzz::Check(RegCreateKeyExW(HKEY_CURRENT_USER, u"qvfuzz-written", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &made, nullptr) ==
                  ERROR_SUCCESS,
              "a key cannot be made");
  RegCloseKey(made);
  fuzz::Check(RegDeleteKeyW(HKEY_CURRENT_USER, u"qvfuzz-written") == ERROR_SUCCESS, "a made key cannot be deleted");
  const std::string folder = fuzz::Folder();
  std::FILE* in = std::fopen((folder + "/HKEY_CURRENT_USER.reg").c_str(), "rb");
  fuzz::Check(in != nullptr, "the written registry file is missing");
  std::string written;
  for (int c; (c = std::fgetc(in)) != EOF;) written.push_back(static_cast<char>(c));
  std::fclose(in);
  Install(reinterpret_cast<const uint8_t*>(written.data()), written.size());
  std::string again;
  Dump(HKEY_CURRENT_USER, again, 0);
  fuzz::Check(again == read, "the registry file does not read back as it was written");
  return 0;
}
