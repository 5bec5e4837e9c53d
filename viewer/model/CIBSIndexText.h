#pragma once
// The text of a published index file ("index.dat", "indexhdr.dat") held as UTF-8 and read line by
// line. The encoding comes from the byte-order mark: EF BB BF UTF-8, FF FE UTF-16 little-endian,
// FE FF UTF-16 big-endian. Without a mark a line is UTF-8 when it is valid UTF-8, else it is in the
// ANSI code page, as the library's text files read it. Lines end at LF; a CR before it belongs to
// the line end; a line ends early at a NUL character, as a line read into a zero-terminated
// buffer does.
//
// The whole file is read and decoded at once rather than line by line: an index of a million
// lines is read at every search. It is read straight into memory that is not cleared first.

#include "platform/core/wintypes.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CIBSIndexText {
public:
  // Reads the whole file, into the memory of the text read before where it fits; FALSE (and an
  // empty text) when it cannot be opened or read.
  BOOL Read(LPCWSTR path);
  void Clear();
  // Adds a line at the end of the text; answers the offset where it starts.
  size_t AppendLine(std::string_view line);

  std::string_view GetText() const { return {m_pText.get() + m_nStart, m_nSize - m_nStart}; }

  // The character that starts at byte `at` of UTF-8 text; answers how many bytes it takes. A
  // sequence cut off by the end of the text ends there.
  static size_t DecodeChar(std::string_view text, size_t at, char32_t& code) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const size_t wanted = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    const size_t length = wanted < text.size() - at ? wanted : text.size() - at;
    code = length == 1 ? lead : length == 2 ? (lead & 0x1F) : length == 3 ? (lead & 0x0F) : (lead & 0x07);
    for (size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    return length;
  }
  // The line that starts at `pos`, moving `pos` to the next one; false at the end of the text.
  bool NextLine(size_t& pos, std::string_view& line) const;
  // The lines the file held when it was read (lines added later are not among them): line
  // `index` is the one NextLine gives from its start, which is at LineStart(index).
  size_t GetLineCount() const { return m_lineStarts.empty() ? 0 : m_lineStarts.size() - 1; }
  size_t LineStart(size_t index) const { return m_lineStarts[index]; }
  std::string_view Line(size_t index) const {
    return LineAt(m_lineStarts[index], m_lineStarts[index + 1] - 1 - m_lineStarts[index]);
  }
  // The line of `length` bytes (its LF left out) that starts at `pos`, without its CR and cut at a
  // NUL character, as NextLine gives it.
  std::string_view LineAt(size_t pos, size_t length) const;

private:
  void Decode();
  // Room for `capacity` bytes, the text kept.
  void Reserve(size_t capacity);
  void Assign(std::string_view text);

  struct FreeMemory {
    void operator()(char* memory) const { std::free(memory); }
  };
  using TextMemory = std::unique_ptr<char[], FreeMemory>;

  TextMemory m_pText;
  // Where each line starts, and after the last one where a line would start after it.
  std::vector<uint64_t> m_lineStarts;
  size_t m_nSize { 0 };
  size_t m_nCapacity { 0 };
  size_t m_nStart { 0 };  // where the text begins after a byte-order mark
  bool m_bHasNul { false };
};
