#pragma once
// Files for the language tests: a temporary folder, whole-file reads and writes, and the bytes
// of a little-endian record.

#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace languagetest {

using Bytes = std::vector<std::uint8_t>;

// Where the build put the test's language files and modules.
inline std::filesystem::path TestDir() { return LANGUAGE_TEST_DIR; }

inline CString Wide(const std::filesystem::path& path) { return CString::FromUtf8(path.string()); }

inline Bytes ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const std::filesystem::path& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline void PutDWord(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// The 32-byte header of a typed file: the mark shared by all typed files, then the signature of
// the language file kind, or 16 zero bytes (the base kind's).
inline Bytes TypedFileHeader(bool languageFile) {
  static const std::uint8_t mark[16] = {0x3E, 0x11, 0x9B, 0x16, 0xBC, 0x95, 0xD7, 0xEC,
                                        0x0C, 0xC7, 0xB1, 0x05, 0xE7, 0x23, 0x5E, 0x7E};
  static const std::uint8_t languageSignature[16] = {0x0C, 0xB3, 0x40, 0xF2, 0xEB, 0x2B, 0x92, 0x7A,
                                                     0x5E, 0x45, 0xBD, 0x27, 0x9C, 0x55, 0xF7, 0xAC};
  Bytes header(32, 0);
  std::copy(std::begin(mark), std::end(mark), header.begin());
  if (languageFile) std::copy(std::begin(languageSignature), std::end(languageSignature), header.begin() + 16);
  return header;
}

// Appends fields as a language file stores them.
class RecordWriter {
public:
  explicit RecordWriter(Bytes& bytes) : m_bytes(bytes) {}
  RecordWriter& DWord(std::uint32_t value) {
    for (int i = 0; i < 4; ++i) m_bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return *this;
  }
  // A byte count, then UTF-16LE without a terminator.
  RecordWriter& Counted(std::u16string_view text) {
    DWord(static_cast<std::uint32_t>(2 * text.size()));
    for (char16_t c : text) m_bytes.push_back(static_cast<std::uint8_t>(c)), m_bytes.push_back(static_cast<std::uint8_t>(c >> 8));
    return *this;
  }
  RecordWriter& Raw(std::string_view bytes) {
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
  }

private:
  Bytes& m_bytes;
};

// Where a key's UTF-16LE bytes stand in a file (after its count), or npos.
inline std::size_t FindKey(const Bytes& bytes, std::u16string_view key) {
  Bytes pattern;
  RecordWriter(pattern).Counted(key);
  const auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
  return at == bytes.end() ? std::string::npos : static_cast<std::size_t>(at - bytes.begin()) + 4;
}

class TempFolder {
public:
  TempFolder() {
    char pattern[] = "/tmp/qv-language-XXXXXX";
    m_path = ::mkdtemp(pattern);
  }
  ~TempFolder() { std::filesystem::remove_all(m_path); }
  const std::filesystem::path& Path() const { return m_path; }
  std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
  std::filesystem::path m_path;
};

}  // namespace languagetest
