#pragma once
// One line of a published batch's "index.dat", read the way the publisher writes it: by fixed
// columns (quote mark, delimiter, document number) and by fields cut at the delimiter.
//
// The parser works on UTF-8 text (see CIBSIndexText) so that a whole index can be read without
// converting every line; columns still count UTF-16 code units, as the rest of the system does.

#include "platform/core/wintypes.h"

#include <cstdint>
#include <string_view>
#include <vector>

class CIBSIndexLine {
public:
  // A piece of the line: byte offset from the line's start and length in bytes.
  struct Span {
    uint32_t offset { 0 };
    uint32_t length { 0 };
  };

  // Decides whether a document's image folder exists: called with the document number once the
  // number is known; the line is rejected when it answers false.
  class FolderCheck {
  public:
    virtual ~FolderCheck() = default;
    virtual bool ImageFolderExists(std::u16string_view number) = 0;
  };

  enum { kMinLength = 20, kMinFields = 13, kPageCountField = 11, kFirstValueField = 13, kNumberLength = 8 };

  // Parses `line` (without its line end) for a header of `fieldCount` index fields. Afterwards
  // IsValid tells whether the line stands for a document; the number is kept once it was read,
  // the values only for a valid line.
  bool Parse(std::string_view line, int fieldCount, FolderCheck& folders);

  bool IsValid() const { return m_bValid; }
  bool IsQuoted() const { return m_bQuoted; }
  std::u16string_view GetNumber() const { return {m_number, m_nNumberLength}; }
  int GetPageCount() const { return m_nPageCount; }
  // The values of the index fields the line reaches, in field order; fields after them are
  // missing from the line.
  const std::vector<Span>& GetValues() const { return m_values; }

private:
  bool ReadColumns(std::string_view line);
  bool ReadAsciiColumns(std::string_view line);
  void Split(std::string_view line);
  // Both cut pieces until the line ends (answering 1, or true) or the pieces up to the last index
  // field are there (0, or false); the quoted split answers -1 when the quotes do not pair up.
  int SplitQuoted(std::string_view line, size_t begin, size_t end);
  bool SplitPlain(std::string_view line, size_t begin, size_t end);
  Span FieldValue(std::string_view line, size_t field) const;

  bool m_bValid { false };
  bool m_bQuoted { false };
  char16_t m_number[kNumberLength] {};
  size_t m_nNumberLength { 0 };
  int m_nPageCount { 0 };
  std::vector<Span> m_values;

  // Scratch of the current line: the delimiter's UTF-8 bytes and the pieces cut by it.
  char m_delimiter[4] {};
  size_t m_nDelimiterLength { 0 };
  bool m_bDelimiterIsSpace { false };
  std::vector<Span> m_pieces;
  size_t m_nWantedPieces { 0 };
};
