#include "viewer/model/CIBSIndexLine.h"

#include "viewer/model/CIBSIndexText.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

namespace {

bool IsWhiteSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

// The first UTF-16 code units of a UTF-8 line, each with the byte offset where its character
// starts. The second unit of a surrogate pair has no offset of its own (kInside).
struct Prefix {
  static constexpr size_t kUnits = 20;
  static constexpr uint32_t kInside = UINT32_MAX;
  // Only the first `count` entries are set.
  char16_t unit[kUnits];
  uint32_t start[kUnits];
  size_t count { 0 };

  void Decode(std::string_view text) {
    size_t i = 0;
    while (count < kUnits && i < text.size()) {
      char32_t code = 0;
      const size_t length = CIBSIndexText::DecodeChar(text, i, code);
      if (code >= 0x10000 && code <= 0x10FFFF) {
        code -= 0x10000;
        Add(static_cast<char16_t>(0xD800 + (code >> 10)), static_cast<uint32_t>(i));
        Add(static_cast<char16_t>(0xDC00 + (code & 0x3FF)), kInside);
      } else {
        Add(code > 0xFFFF ? u'\uFFFD' : static_cast<char16_t>(code), static_cast<uint32_t>(i));
      }
      i += length;
    }
  }
  void Add(char16_t ch, uint32_t offset) {
    if (count == kUnits) return;
    unit[count] = ch;
    start[count] = offset;
    ++count;
  }
};

size_t EncodeUtf8(char16_t ch, char* out) {
  if (ch < 0x80) {
    out[0] = static_cast<char>(ch);
    return 1;
  }
  if (ch < 0x800) {
    out[0] = static_cast<char>(0xC0 | (ch >> 6));
    out[1] = static_cast<char>(0x80 | (ch & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (ch >> 12));
  out[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (ch & 0x3F));
  return 3;
}

// A decimal read the way the library reads numbers: leading blanks, a sign, then the digits up to
// the first other character; no digits at all read as 0.
int ReadDecimal(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsWhiteSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = INT_MAX;
      break;
    }
  }
  return static_cast<int>(negative ? -value : value);
}

inline CIBSIndexLine::Span Trimmed(const char* line, size_t begin, size_t end) {
  while (begin < end && IsWhiteSpace(line[begin])) ++begin;
  while (end > begin && IsWhiteSpace(line[end - 1])) --end;
  return {static_cast<uint32_t>(begin), static_cast<uint32_t>(end - begin)};
}

}  // namespace

bool CIBSIndexLine::Parse(std::string_view line, int fieldCount, FolderCheck& folders) {
  m_bValid = false;
  m_bQuoted = false;
  m_nNumberLength = 0;
  m_nPageCount = 0;
  m_values.clear();
  if (!ReadColumns(line)) return false;
  if (m_nNumberLength < kNumberLength || !folders.ImageFolderExists(GetNumber())) return false;

  size_t end = line.size();
  while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
  // Fields after the last index field are no one's: cutting stops once the fields are all there.
  m_nWantedPieces = kFirstValueField + static_cast<size_t>(fieldCount > 0 ? fieldCount : 0);
  Split(line.substr(0, end));
  if (m_pieces.size() < kMinFields) return false;

  const Span pages = FieldValue(line, kPageCountField);
  m_nPageCount = ReadDecimal(line.substr(pages.offset, pages.length));
  // The values the line has; fields it does not reach are missing and take no memory.
  const size_t count = std::min(m_nWantedPieces, m_pieces.size()) - kMinFields;
  m_values.resize(count);
  for (size_t i = 0; i < count; ++i) m_values[i] = FieldValue(line, kFirstValueField + i);
  m_bValid = true;
  return true;
}

// Quote mark, delimiter and document number come from fixed columns of the line as it was read;
// the number is taken as if the delimiter had already been appended to the line.
bool CIBSIndexLine::ReadColumns(std::string_view line) {
  // Most lines begin with ASCII, where a column is a byte.
  if (line.size() >= kMinLength) {
    uint64_t words[3] = {};
    std::memcpy(words, line.data(), kMinLength);
    if (((words[0] | words[1] | words[2]) & 0x8080808080808080ull) == 0) return ReadAsciiColumns(line);
  }
  Prefix prefix;
  prefix.Decode(line);
  if (prefix.count < kMinLength) return false;
  m_bQuoted = line[0] == '"';
  const size_t column = m_bQuoted ? 11 : 6;

  const char16_t delimiter = prefix.unit[m_bQuoted ? 5 : 3];
  if (delimiter >= 0xD800 && delimiter <= 0xDFFF) return false;  // half a character cannot cut fields
  m_nDelimiterLength = EncodeUtf8(delimiter, m_delimiter);
  m_bDelimiterIsSpace = delimiter < 0x80 && IsWhiteSpace(static_cast<char>(delimiter));

  size_t end = line.size();
  while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
  size_t units = 0;  // units of the line without its trailing CR and LF, as far as the prefix goes
  while (units < prefix.count) {
    size_t first = units;
    while (prefix.start[first] == Prefix::kInside) --first;
    if (prefix.start[first] >= end) break;
    ++units;
  }
  for (size_t k = 0; k < kNumberLength; ++k) {
    const size_t at = column + k;
    if (at < units) {
      m_number[m_nNumberLength++] = prefix.unit[at];
    } else {
      if (at == units) m_number[m_nNumberLength++] = delimiter;
      break;
    }
  }
  return true;
}

bool CIBSIndexLine::ReadAsciiColumns(std::string_view line) {
  m_bQuoted = line[0] == '"';
  const char delimiter = line[m_bQuoted ? 5 : 3];
  m_delimiter[0] = delimiter;
  m_nDelimiterLength = 1;
  m_bDelimiterIsSpace = IsWhiteSpace(delimiter);
  size_t end = line.size();
  while (end > 0 && (line[end - 1] == '\r' || line[end - 1] == '\n')) --end;
  const size_t column = m_bQuoted ? 11 : 6;
  for (size_t at = column; at < column + kNumberLength && at <= end; ++at) {
    m_number[m_nNumberLength++] = static_cast<unsigned char>(at < end ? line[at] : delimiter);
  }
  return true;
}

// Cuts the line (already without its trailing CR and LF) into trimmed pieces, as if one delimiter
// had been appended and the whole text trimmed first: a delimiter that is white space is trimmed
// away with the line's end, any other one adds an empty last piece.
void CIBSIndexLine::Split(std::string_view line) {
  m_pieces.clear();
  size_t begin = 0;
  size_t end = line.size();
  while (begin < end && IsWhiteSpace(line[begin])) ++begin;
  if (m_bDelimiterIsSpace) {
    while (end > begin && IsWhiteSpace(line[end - 1])) --end;
    if (begin < end) SplitPlain(line, begin, end);
    return;
  }
  // A quoted line may hold the delimiter inside a quoted value; such a value is one field. A
  // line whose quotes do not pair up is cut at every delimiter.
  int quoted = -1;  // the quoted split's answer: -1 not tried or failed, 0 stopped early, 1 reached the end
  if (m_bQuoted && m_delimiter[0] != '"') quoted = SplitQuoted(line, begin, end);
  if (quoted < 0) {
    m_pieces.clear();
    quoted = SplitPlain(line, begin, end) ? 1 : 0;
  }
  if (quoted == 1) m_pieces.push_back({static_cast<uint32_t>(end), 0});
}

bool CIBSIndexLine::SplitPlain(std::string_view line, size_t begin, size_t end) {
  const char* text = line.data();
  const char first = m_delimiter[0];
  const size_t length = m_nDelimiterLength;
  size_t pieceStart = begin;
  size_t i = begin;
  if (length == 1 && std::endian::native == std::endian::little) {
    // Eight bytes at a time: the mask has the high bit of every byte that is the delimiter.
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
    const uint64_t pattern = 0x0101010101010101ull * static_cast<unsigned char>(first);
    for (; i + 8 <= end; i += 8) {
      uint64_t word;
      std::memcpy(&word, text + i, 8);
      word ^= pattern;
      uint64_t mask = ~(((word & kLow7) + kLow7) | word | kLow7);
      while (mask) {
        const size_t at = i + static_cast<size_t>(std::countr_zero(mask)) / 8;
        m_pieces.push_back(Trimmed(text, pieceStart, at));
        if (m_pieces.size() >= m_nWantedPieces) return false;
        pieceStart = at + 1;
        mask &= mask - 1;
      }
    }
  }
  while (i < end) {
    if (text[i] == first && (length == 1 || line.substr(i, length) == std::string_view(m_delimiter, length))) {
      m_pieces.push_back(Trimmed(text, pieceStart, i));
      if (m_pieces.size() >= m_nWantedPieces) return false;
      i += length;
      pieceStart = i;
    } else {
      ++i;
    }
  }
  m_pieces.push_back(Trimmed(text, pieceStart, end));
  return true;
}

int CIBSIndexLine::SplitQuoted(std::string_view line, size_t begin, size_t end) {
  const std::string_view delimiter(m_delimiter, m_nDelimiterLength);
  size_t pos = begin;
  while (true) {
    size_t at = pos;
    while (at < end && IsWhiteSpace(line[at])) ++at;
    size_t next = at;
    if (at < end && line[at] == '"') {
      // A quoted value ends at a quote mark that is not doubled; only blanks may follow it
      // before the delimiter or the line's end.
      size_t close = at + 1;
      while (close < end && !(line[close] == '"' && (close + 1 >= end || line[close + 1] != '"'))) {
        close += line[close] == '"' ? 2 : 1;
      }
      if (close >= end) return -1;
      next = close + 1;
      while (next < end && IsWhiteSpace(line[next])) ++next;
      if (next < end && line.substr(next, delimiter.size()) != delimiter) return -1;
    } else {
      next = line.find(delimiter, at);
      if (next == std::string_view::npos || next > end) next = end;
    }
    m_pieces.push_back(Trimmed(line.data(), pos, next));
    if (next >= end) return 1;
    if (m_pieces.size() >= m_nWantedPieces) return 0;
    pos = next + delimiter.size();
  }
}

// A field's text as the document keeps it: the piece trimmed of CR and LF, of its quote marks
// when the line is quoted, and of blanks. Doubled quote marks inside stay doubled here.
CIBSIndexLine::Span CIBSIndexLine::FieldValue(std::string_view line, size_t field) const {
  size_t begin = m_pieces[field].offset;
  size_t end = begin + m_pieces[field].length;
  const auto trim = [&](auto drop) {
    while (begin < end && drop(line[begin])) ++begin;
    while (end > begin && drop(line[end - 1])) --end;
  };
  trim([](char ch) { return ch == '\r' || ch == '\n'; });
  // One quote mark at each end: a quote mark that ends the value inside them is written twice.
  if (m_bQuoted && begin < end && line[begin] == '"') ++begin;
  if (m_bQuoted && begin < end && line[end - 1] == '"') --end;
  trim([](char ch) { return ch == ' '; });
  return {static_cast<uint32_t>(begin), static_cast<uint32_t>(end - begin)};
}
