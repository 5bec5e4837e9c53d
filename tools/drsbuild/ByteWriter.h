#pragma once
// A growing little-endian byte image with fields that are filled in later (chain links, offsets).

#include <cstdint>
#include <string>
#include <vector>

namespace drsbuild {

class ByteWriter {
public:
  std::size_t Size() const { return m_bytes.size(); }

  void U16(std::uint16_t value) {
    m_bytes.push_back(static_cast<std::uint8_t>(value));
    m_bytes.push_back(static_cast<std::uint8_t>(value >> 8));
  }
  void U32(std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) m_bytes.push_back(static_cast<std::uint8_t>(value >> shift));
  }
  void Bytes(const void* data, std::size_t count) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    m_bytes.insert(m_bytes.end(), p, p + count);
  }
  // A byte count, then the text as UTF-16LE without a terminator.
  void CountedString(const std::u16string& text) {
    U32(static_cast<std::uint32_t>(2 * text.size()));
    for (char16_t unit : text) U16(static_cast<std::uint16_t>(unit));
  }
  // Overwrites a 32-bit field written earlier.
  void PatchU32(std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) m_bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
  }
  std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
  std::vector<std::uint8_t> m_bytes;
};

}  // namespace drsbuild
