#include "viewer/CIBSBatch.h"

#include "platform/core/fileapi.h"
#include "viewer/Wildcard.h"

#include <algorithm>
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

// A pattern of the query, lower-cased once for every document it is matched against.
class Pattern {
public:
  explicit Pattern(LPCWSTR pattern) {
    CString lower(pattern);
    lower.MakeLower();
    m_wide = lower.Str();
    m_narrow = lower.ToUtf8();
    m_any = !m_wide.empty() && IsAllWildcards(lower);
  }

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
  bool m_any { false };
  std::string m_scratch;
  std::u16string m_scratchWide;
};

}  // namespace

void CIBSBatch::SetPaths(LPCWSTR root, LPCWSTR indexPath, LPCWSTR headerPath) {
  m_strRoot = root;
  m_strIndexPath = indexPath;
  m_strHeaderPath = headerPath;
}

void CIBSBatch::EmptyDocuments() {
  m_pDocuments.reset();
  m_nDocuments = 0;
  m_nDocumentCapacity = 0;
  m_values.clear();
  m_values.shrink_to_fit();
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
  m_nDocuments = 0;
  m_values.clear();
  m_bIndexRead = FALSE;
  if (!m_text.Read(m_strIndexPath)) {
    EmptyDocuments();
    return FALSE;
  }

  const std::string_view text = m_text.GetText();
  size_t lines = 0;
  for (size_t pos = 0; pos < text.size(); ++lines) {
    const void* lf = std::memchr(text.data() + pos, '\n', text.size() - pos);
    pos = lf ? static_cast<size_t>(static_cast<const char*>(lf) - text.data()) + 1 : text.size();
  }
  if (lines > m_nDocumentCapacity) {
    m_pDocuments.reset();
    m_pDocuments.reset(new CIBSDocument[lines]);
    m_nDocumentCapacity = lines;
  }
  const int fieldCount = GetFieldCount();
  // Room for every value of every line, but never more than the text could hold.
  m_values.reserve(std::min(lines * static_cast<size_t>(fieldCount), text.size() / 4));

  FolderCache folders(*this);
  CIBSIndexLine parser;
  size_t pos = 0;
  std::string_view line;
  while (m_nDocuments < lines && m_text.NextLine(pos, line)) {
    parser.Parse(line, fieldCount, folders);
    m_pDocuments[m_nDocuments++].Assign(this, parser, static_cast<uint64_t>(line.data() - text.data()), fieldCount);
  }
  return TRUE;
}

int CIBSBatch::Search(LPCWSTR numberPattern, const CDPXStringList& names, const CDPXStringList& values,
                      CIBSDocumentList& results) {
  if (!m_bHeaderRead || !m_bIndexRead) return 0;

  // The query as conditions on fields: every field of the batch named exactly as a query name,
  // with the query's pattern for it unless that is all stars.
  Pattern number(numberPattern);
  std::vector<std::pair<int, Pattern>> conditions;
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

  int hits = 0;
  for (size_t i = 0; i < m_nDocuments; ++i) {
    CIBSDocument& document = m_pDocuments[i];
    if (!document.IsValid() || !number.Matches(document.NumberText())) continue;
    // A field the line does not reach cannot exclude the document; a value it has must match.
    const bool match = std::all_of(conditions.begin(), conditions.end(), [&document](auto& condition) {
      return !document.HasValue(condition.first) || condition.second.Matches(document.ValueText(condition.first));
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
  return &m_pDocuments[static_cast<size_t>(index)];
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
