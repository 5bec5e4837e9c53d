#include "viewer/model/CIBSBatch.h"

#include "platform/core/fileapi.h"
#include "viewer/model/Wildcard.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <unordered_map>

IMPLEMENT_DYNCREATE(CIBSBatch, CObject)

// Answers whether image folders exist, looking at the disk once per folder during one read:
// a batch of a million documents has at most a thousand of them.
class CIBSBatch::FolderCache : public CIBSIndexLine::FolderCheck {
public:
  explicit FolderCache(const CIBSBatch& batch) : m_batch(batch) { std::fill(std::begin(m_digits), std::end(m_digits), kUnknown); }

  bool ImageFolderExists(std::u16string_view number) override {
    const char16_t d = number[7];
    const char16_t c1 = number[5];
    const char16_t c2 = number[6];
    if (IsDigit(d) && IsDigit(c1) && IsDigit(c2)) {
      int8_t& known = m_digits[(d - u'0') * 100 + (c1 - u'0') * 10 + (c2 - u'0')];
      if (known == kUnknown) known = m_batch.ImageFolderExists(number) ? 1 : 0;
      return known == 1;
    }
    const uint64_t key = static_cast<uint64_t>(d) << 32 | static_cast<uint64_t>(c1) << 16 | c2;
    const auto found = m_others.find(key);
    if (found != m_others.end()) return found->second;
    return m_others.emplace(key, m_batch.ImageFolderExists(number) != FALSE).first->second;
  }

private:
  static constexpr int8_t kUnknown = -1;
  static bool IsDigit(char16_t ch) { return ch >= u'0' && ch <= u'9'; }

  const CIBSBatch& m_batch;
  int8_t m_digits[1000];
  std::unordered_map<uint64_t, bool> m_others;
};

namespace {

CString HeaderText(std::string_view line) {
  CString text = CString::FromUtf8(line);
  text.Trim(u"\r\n");
  text.Trim(u'"');
  text.Trim(u' ');
  return text;
}

bool ReadCount(const CString& text, int& count) {
  if (text.IsEmpty() || text.GetLength() > 9) return false;
  count = 0;
  for (int i = 0; i < text.GetLength(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return false;
    count = count * 10 + (text[i] - u'0');
  }
  return true;
}

// The characters beyond ASCII that lower-case to ASCII ones (such as the Kelvin sign to 'k'):
// which ASCII characters they become, and the first bytes of their UTF-8 forms. Found once.
struct AsciiFolding {
  std::array<bool, 128> targets {};
  std::array<bool, 256> leads {};
};

const AsciiFolding& FoldingToAscii() {
  static const AsciiFolding folding = [] {
    AsciiFolding found;
    for (char32_t ch = 0x80; ch <= 0xFFFF; ++ch) {
      const WCHAR lower = FoldLower(static_cast<WCHAR>(ch));
      if (lower >= 0x80) continue;
      found.targets[lower] = true;
      found.leads[ch < 0x800 ? 0xC0 | (ch >> 6) : 0xE0 | (ch >> 12)] = true;
    }
    return found;
  }();
  return folding;
}

// A pattern of the query, lower-cased once for every document it is matched against.
class Pattern {
public:
  explicit Pattern(LPCWSTR pattern) {
    CString lower(pattern);
    lower.MakeLower();
    m_wide = lower.Str();
    m_narrow = lower.ToUtf8();
    m_any = !m_wide.empty() && IsAllWildcards(lower);
    // The longest run of plain ASCII characters: a value that matches holds it.
    for (size_t i = 0; i < m_wide.size();) {
      size_t end = i;
      while (end < m_wide.size() && m_wide[end] < 0x80 && m_wide[end] != u'*' && m_wide[end] != u'?') ++end;
      if (end - i > m_literal.size()) m_literal.assign(m_wide.begin() + i, m_wide.begin() + end);
      i = end + 1;
    }
    const AsciiFolding& folding = FoldingToAscii();
    m_bLiteralOnlyFromAscii = std::none_of(m_literal.begin(), m_literal.end(),
                                           [&folding](char ch) { return folding.targets[static_cast<unsigned char>(ch)]; });
  }

  // The run of plain text the pattern's matches hold, lower-case ASCII; empty when it has none.
  const std::string& Literal() const { return m_literal; }
  // Whether only ASCII characters of a text can make up the literal once lower-cased: no
  // character beyond ASCII lower-cases to one of its characters.
  bool IsLiteralOnlyFromAscii() const { return m_bLiteralOnlyFromAscii; }

  bool Matches(std::u16string_view text) {
    if (m_any) return true;
    m_scratchWide.assign(text);
    for (char16_t& ch : m_scratchWide) ch = FoldLower(ch);
    return WildcardMatchSpan<char16_t>(m_wide, m_scratchWide);
  }

  // Other text is decoded to lower-cased UTF-16 first. The index text is valid UTF-8.
  bool MatchesWide(std::string_view text) {
    m_scratchWide.resize(text.size());
    size_t units = 0;
    for (size_t i = 0; i < text.size();) {
      char32_t code = 0;
      i += CIBSIndexText::DecodeChar(text, i, code);
      if (code >= 0x10000 && code <= 0x10FFFF) {
        code -= 0x10000;
        m_scratchWide[units++] = static_cast<char16_t>(0xD800 + (code >> 10));
        m_scratchWide[units++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
      } else {
        m_scratchWide[units++] = FoldLower(code > 0xFFFF ? u'\uFFFD' : static_cast<char16_t>(code));
      }
    }
    return WildcardMatchSpan<char16_t>(m_wide, std::u16string_view(m_scratchWide).substr(0, units));
  }

  // Text of the index is UTF-8. Plain ASCII is matched byte by byte against the pattern's UTF-8
  // form, which gives the same answer as matching code units; other text is matched as UTF-16.
  bool Matches(std::string_view text) {
    if (m_any) return true;
    m_scratch.resize(text.size());
    unsigned char high = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto ch = static_cast<unsigned char>(text[i]);
      high |= ch;
      m_scratch[i] = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch + 32 : ch);
    }
    return high < 0x80 ? WildcardMatchSpan<char>(m_narrow, m_scratch) : MatchesWide(text);
  }

private:
  std::u16string m_wide;
  std::string m_narrow;
  std::string m_literal;
  bool m_bLiteralOnlyFromAscii { false };
  bool m_any { false };
  std::string m_scratch;
  std::u16string m_scratchWide;
};

bool IsWhiteSpace(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n' || ch == '\v' || ch == '\f'; }

// The high bit of every byte of `word` that is zero.
uint64_t ZeroBytes(uint64_t word) {
  constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  return ~(((word & kLow7) + kLow7) | word | kLow7);
}

// How many bytes of a ZeroBytes mask are marked, without a bit-count instruction.
size_t CountMarks(uint64_t mask) { return static_cast<size_t>(((mask >> 7) * 0x0101010101010101ull) >> 56); }

uint64_t Load8(const char* at) {
  uint64_t word;
  std::memcpy(&word, at, 8);
  return word;
}

// Whether ASCII text holds `literal` (lower-case ASCII) without regard to the case of letters.
bool ContainsNoCase(std::string_view text, const std::string& literal) {
  const size_t m = literal.size();
  if (m > text.size()) return false;
  const auto first = static_cast<unsigned char>(literal[0]);
  // A letter's two cases differ only in 0x20: with that bit set both read as the lower one.
  const uint64_t fold = first >= 'a' && first <= 'z' ? 0x2020202020202020ull : 0;
  const uint64_t pattern = 0x0101010101010101ull * first;
  const auto matchesAt = [&](size_t at) {
    for (size_t k = 1; k < m; ++k) {
      auto ch = static_cast<unsigned char>(text[at + k]);
      if (ch >= 'A' && ch <= 'Z') ch += 32;
      if (ch != static_cast<unsigned char>(literal[k])) return false;
    }
    return true;
  };
  const size_t last = text.size() - m;  // the last place the literal can start
  size_t i = 0;
  for (; i + 8 <= last + 1; i += 8) {
    for (uint64_t mask = ZeroBytes((Load8(text.data() + i) | fold) ^ pattern); mask; mask &= mask - 1) {
      if (matchesAt(i + static_cast<size_t>(std::countr_zero(mask)) / 8)) return true;
    }
  }
  for (; i <= last; ++i) {
    if ((static_cast<unsigned char>(text[i]) | static_cast<unsigned char>(fold)) == first && matchesAt(i)) return true;
  }
  return false;
}

// A query's condition: a field and the pattern its value must match.
using Condition = std::pair<int, Pattern>;

// Tells from a line's text alone that its document cannot match, where it can tell: a line read
// by byte columns (its first characters ASCII) without quotes and cut at a delimiter that is not
// white space reaches a condition's field but does not hold its pattern's plain text. Any other
// line is left to the full reading.
bool CannotMatch(std::string_view line, const std::vector<Condition>& conditions) {
  if (line.size() < CIBSIndexLine::kMinLength || line[0] == '"' || IsWhiteSpace(line[3])) return false;
  if ((Load8(line.data()) | Load8(line.data() + 8) | Load8(line.data() + CIBSIndexLine::kMinLength - 8)) & 0x8080808080808080ull) {
    return false;
  }
  // Such a line has as many pieces as delimiters and two more (one delimiter counts as appended);
  // bytes of other characters never equal an ASCII delimiter.
  const char delimiter = line[3];
  const uint64_t pattern = 0x0101010101010101ull * static_cast<unsigned char>(delimiter);
  uint64_t high = 0;
  size_t delimiters = 0;
  size_t i = 0;
  for (; i + 8 <= line.size(); i += 8) {
    const uint64_t word = Load8(line.data() + i);
    high |= word;
    delimiters += CountMarks(ZeroBytes(word ^ pattern));
  }
  for (; i < line.size(); ++i) {
    high |= static_cast<unsigned char>(line[i]);
    delimiters += line[i] == delimiter ? 1 : 0;
  }
  // Whether the line's letters beyond ASCII can lower-case to ASCII ones, asked once at most.
  int folds = (high & 0x8080808080808080ull) == 0 ? 0 : -1;
  const auto mayFoldToAscii = [&] {
    if (folds < 0) {
      const AsciiFolding& folding = FoldingToAscii();
      folds = std::any_of(line.begin(), line.end(), [&folding](char ch) { return folding.leads[static_cast<unsigned char>(ch)]; });
    }
    return folds == 1;
  };
  const size_t before = CIBSIndexLine::kFirstValueField - 1;  // delimiters before the first value's end, less one
  return std::any_of(conditions.begin(), conditions.end(), [&](const Condition& condition) {
    const Pattern& pattern = condition.second;
    return !pattern.Literal().empty() && delimiters >= before + static_cast<size_t>(condition.first) &&
           (pattern.IsLiteralOnlyFromAscii() || !mayFoldToAscii()) && !ContainsNoCase(line, pattern.Literal());
  });
}

}  // namespace

CIBSBatch::CIBSBatch() = default;
CIBSBatch::~CIBSBatch() = default;

void CIBSBatch::SetPaths(LPCWSTR root, LPCWSTR indexPath, LPCWSTR headerPath) {
  m_strRoot = root;
  m_strIndexPath = indexPath;
  m_strHeaderPath = headerPath;
}

void CIBSBatch::EmptyDocuments() {
  m_documents.clear();
  m_values.clear();
  m_values.shrink_to_fit();
  m_pFolders.reset();
  m_text.Clear();
}

BOOL CIBSBatch::ReadIndexHeader() {
  EmptyDocuments();
  m_fieldNames.RemoveAll();
  m_bHeaderRead = FALSE;
  m_bIndexRead = FALSE;
  CIBSIndexText file;
  if (!file.Read(m_strHeaderPath)) return FALSE;

  size_t pos = 0;
  std::string_view line;
  for (CString& header : m_strHeader) {
    if (!file.NextLine(pos, line)) return FALSE;
    header = HeaderText(line);
  }
  int count = 0;
  if (!file.NextLine(pos, line) || !ReadCount(HeaderText(line), count)) return FALSE;
  // Blank lines at the end of the file are not names: editors and publishers leave them there.
  std::vector<CString> names;
  while (file.NextLine(pos, line)) names.push_back(HeaderText(line));
  while (!names.empty() && names.back().IsEmpty() && static_cast<int>(names.size()) > count) names.pop_back();
  if (static_cast<int>(names.size()) != count) return FALSE;
  for (const CString& name : names) {
    if (!m_fieldNames.Add(name)) return FALSE;
  }
  m_bHeaderRead = TRUE;
  return TRUE;
}

// The memory of the previous read is used again where it suffices: every search reads afresh.
BOOL CIBSBatch::ReadIndex() {
  m_values.clear();
  ++m_nRead;
  m_pFolders = std::make_unique<FolderCache>(*this);
  m_bIndexRead = FALSE;
  if (!m_text.Read(m_strIndexPath)) {
    EmptyDocuments();
    return FALSE;
  }
  return TRUE;
}

CIBSDocument& CIBSBatch::DocumentOfLine(size_t index) {
  std::unique_ptr<CIBSDocument>& document = m_documents[index];
  if (!document) document = std::make_unique<CIBSDocument>();
  if (document->m_nRead != m_nRead) {
    const std::string_view line = m_text.Line(index);
    m_parser.Parse(line, GetFieldCount(), *m_pFolders);
    document->Assign(this, m_parser, static_cast<uint64_t>(line.data() - m_text.GetText().data()), GetFieldCount());
    document->m_nRead = m_nRead;
  }
  return *document;
}

int CIBSBatch::Search(LPCWSTR numberPattern, const CDPXStringList& names, const CDPXStringList& values,
                      CIBSDocumentList& results) {
  if (!m_bHeaderRead || !m_bIndexRead) return 0;

  // The query as conditions on fields: every field of the batch named exactly as a query name,
  // with the query's pattern for it unless that is all stars.
  Pattern number(numberPattern);
  std::vector<Condition> conditions;
  CString name;
  CString value;
  POSITION namePos = names.GetHeadPosition();
  POSITION valuePos = values.GetHeadPosition();
  while (names.GetNext(namePos, name) && values.GetNext(valuePos, value)) {
    if (IsAllWildcards(value)) continue;
    CString fieldName;
    int field = 0;
    for (POSITION pos = m_fieldNames.GetHeadPosition(); m_fieldNames.GetNext(pos, fieldName); ++field) {
      if (fieldName == name) conditions.emplace_back(field, Pattern(value));
    }
  }

  const size_t lines = static_cast<size_t>(GetDocumentCount());
  int hits = 0;
  std::string scratch;
  for (size_t i = 0; i < lines; ++i) {
    if (CannotMatch(m_text.Line(i), conditions)) continue;
    CIBSDocument& document = DocumentOfLine(i);
    if (!document.IsValid() || !number.Matches(document.NumberText())) continue;
    // A field the line does not reach cannot exclude the document; a value it has must match,
    // read as the document gives it (a doubled quote mark of a quoted line as one).
    const bool match = std::all_of(conditions.begin(), conditions.end(), [&document, &scratch](auto& condition) {
      return !document.HasValue(condition.first) || condition.second.Matches(document.ValueAsRead(condition.first, scratch));
    });
    if (!match) continue;
    document.SetHit(TRUE);
    results.push_back(&document);
    ++hits;
  }
  return hits;
}

BOOL CIBSBatch::GetHeaderLine(int line, CString& text) const {
  text.Empty();
  if (line >= 1 && line <= kHeaderLines) text = m_strHeader[line - 1];
  return m_bHeaderRead;
}

int CIBSBatch::GetFieldNames(CDPXStringList& names) const {
  names.RemoveAll();
  CString name;
  for (POSITION pos = m_fieldNames.GetHeadPosition(); m_fieldNames.GetNext(pos, name);) names.Add(name);
  return names.GetCount();
}

int CIBSBatch::FindField(LPCWSTR name) const {
  CString fieldName;
  int field = 0;
  for (POSITION pos = m_fieldNames.GetHeadPosition(); m_fieldNames.GetNext(pos, fieldName); ++field) {
    if (fieldName == name) return field;
  }
  return -1;
}

CIBSDocument* CIBSBatch::GetDocument(int index) {
  if (index < 0 || index >= GetDocumentCount()) return nullptr;
  return &DocumentOfLine(static_cast<size_t>(index));
}

CString CIBSBatch::GetImageFolder(std::u16string_view number) const {
  if (number.size() != CIBSDocument::kNumberLength) return CString();
  // The folder names come from the data: they must not step out of the batch or into another
  // folder of it.
  const std::u16string_view last = number.substr(7, 1);
  const std::u16string_view middle = number.substr(5, 2);
  constexpr char16_t kSeparators[] = {u'/', u'\\', u'\0'};
  for (std::u16string_view part : {last, middle}) {
    if (part == u"." || part == u".." || part.find_first_of(kSeparators, 0, 3) != std::u16string_view::npos) {
      return CString();
    }
  }
  CString folder = m_strRoot;
  folder += u"DOC_CD/DATA/";
  folder += CString(last);
  folder += u'/';
  folder += CString(middle);
  return folder;
}

BOOL CIBSBatch::ImageFolderExists(std::u16string_view number) const {
  const CString folder = GetImageFolder(number);
  if (folder.IsEmpty()) return FALSE;
  const DWORD attributes = GetFileAttributesW(folder);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
