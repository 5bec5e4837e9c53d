#pragma once
// The text of a published index file ("index.dat", "indexhdr.dat") held as UTF-8 and read line by
// line. The encoding comes from the byte-order mark: EF BB BF UTF-8, FF FE UTF-16 little-endian,
// FE FF UTF-16 big-endian. Without a mark a line is UTF-8 when it is valid UTF-8, else it is in the
// ANSI code page, as the library's text files read it. Lines end at LF; a CR before it belongs to
// the line end; a line ends early at a NUL character, as a line read into a zero-terminated
// buffer does.
//
// The whole file is read and decoded at once rather than line by line: an index of a million
// lines is read at every search.

#include "platform/core/wintypes.h"

#include <string>
#include <string_view>

class CIBSIndexText {
public:
  // Reads the whole file, into the memory of the text read before where it fits; FALSE (and an
  // empty text) when it cannot be opened or read.
  BOOL Read(LPCWSTR path);
  void Clear();
  // Adds a line at the end of the text; answers the offset where it starts.
  size_t AppendLine(std::string_view line);

  std::string_view GetText() const { return std::string_view(m_text).substr(m_nStart); }

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

private:
  void Decode();

  std::string m_text;
  size_t m_nStart { 0 };  // where the text begins after a byte-order mark
  bool m_bHasNul { false };
};
