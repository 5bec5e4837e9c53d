#include "viewer/model/CIBSDocument.h"

#include "foundation/util/CDPXStringList.h"
#include "platform/core/fileapi.h"
#include "viewer/model/CIBSBatch.h"

#include <map>

IMPLEMENT_DYNCREATE(CIBSDocument, CObject)

namespace {

// Answers the folder check for a single line: no cache, one look at the disk.
class SingleFolderCheck : public CIBSIndexLine::FolderCheck {
public:
  explicit SingleFolderCheck(const CIBSBatch& batch) : m_batch(batch) {}
  bool ImageFolderExists(std::u16string_view number) override { return m_batch.ImageFolderExists(number) != FALSE; }

private:
  const CIBSBatch& m_batch;
};

}  // namespace

BOOL CIBSDocument::FromLine(LPCWSTR line, int fieldCount, CIBSBatch* batch) {
  m_pBatch = batch;
  m_bValid = false;
  m_bHit = false;
  m_nValueCount = 0;
  m_nFieldCount = 0;
  m_nNumberLength = 0;
  m_nPageCount = 0;
  if (!batch) return FALSE;
  const size_t offset = batch->m_text.AppendLine(CString(line).ToUtf8());
  const std::string_view text = batch->m_text.GetText();
  size_t pos = offset;
  std::string_view stored;
  batch->m_text.NextLine(pos, stored);
  CIBSIndexLine parsed;
  SingleFolderCheck folders(*batch);
  parsed.Parse(stored, fieldCount, folders);
  Assign(batch, parsed, static_cast<uint64_t>(stored.data() - text.data()), fieldCount);
  return m_bValid;
}

void CIBSDocument::Assign(CIBSBatch* batch, const CIBSIndexLine& line, uint64_t lineOffset, int fieldCount) {
  m_pBatch = batch;
  m_nLineOffset = lineOffset;
  m_bValid = line.IsValid();
  m_bHit = false;
  m_nPageCount = line.GetPageCount();
  const std::u16string_view number = line.GetNumber();
  m_nNumberLength = static_cast<uint8_t>(number.size());
  number.copy(m_number, number.size());
  m_nFirstValue = static_cast<uint32_t>(batch->m_values.size());
  m_nValueCount = 0;
  m_nFieldCount = m_bValid && fieldCount > 0 ? static_cast<uint32_t>(fieldCount) : 0;
  if (m_bValid) {
    const auto& values = line.GetValues();
    batch->m_values.insert(batch->m_values.end(), values.begin(), values.end());
    m_nValueCount = static_cast<uint32_t>(values.size());
  }
}

BOOL CIBSDocument::GetDocumentNumber(CString& number) const {
  number = CString(NumberText());
  return m_bValid;
}

BOOL CIBSDocument::GetImageFolder(CString& folder) const {
  folder.Empty();
  if (!m_pBatch || m_nNumberLength != kNumberLength) return FALSE;
  folder = m_pBatch->GetImageFolder(NumberText());
  return !folder.IsEmpty();
}

bool CIBSDocument::HasValue(int field) const {
  if (!m_pBatch || field < 0 || static_cast<uint32_t>(field) >= m_nValueCount) return false;
  // A document left from an earlier read of its batch must not reach beyond the present values.
  return static_cast<size_t>(m_nFirstValue) + static_cast<size_t>(field) < m_pBatch->m_values.size();
}

std::string_view CIBSDocument::ValueText(int field) const {
  if (!HasValue(field)) return {};
  const CIBSIndexLine::Span span = m_pBatch->m_values[static_cast<size_t>(m_nFirstValue) + static_cast<size_t>(field)];
  const std::string_view text = m_pBatch->m_text.GetText();
  const uint64_t begin = m_nLineOffset + span.offset;
  // A document left from an earlier read of its batch must not reach beyond the present text.
  if (begin + span.length > text.size()) return {};
  return text.substr(static_cast<size_t>(begin), span.length);
}

BOOL CIBSDocument::GetValue(int field, CString& value) const {
  value.Empty();
  if (field < 0 || static_cast<uint32_t>(field) >= m_nFieldCount) return FALSE;
  value = CString::FromUtf8(ValueText(field));
  // A quoted line writes a quote mark inside a value twice.
  const std::string_view text = m_pBatch ? m_pBatch->m_text.GetText() : std::string_view();
  if (m_nLineOffset < text.size() && text[static_cast<size_t>(m_nLineOffset)] == '"') value.Replace(u"\"\"", u"\"");
  return TRUE;
}

BOOL CIBSDocument::GetValues(const CDPXStringList& names, CDPXStringList& values) const {
  values.RemoveAll();
  BOOL complete = TRUE;
  CString name;
  CString value;
  for (POSITION pos = names.GetHeadPosition(); names.GetNext(pos, name);) {
    value.Empty();
    if (m_pBatch) GetValue(m_pBatch->FindField(name), value);
    if (!values.Add(value)) complete = FALSE;
  }
  return complete;
}

BOOL CIBSDocument::CollectImageFiles(CDPXStringList& paths) const {
  paths.RemoveAll();
  CString folder;
  if (!m_bValid || !GetImageFolder(folder)) return FALSE;
  const CString prefix(NumberText().substr(0, 5));

  // The files are looked up by their numbers rather than taken in listing order, so that a stray
  // file beside them cannot push later pages out of the list.
  std::map<CString, CString> files;  // lower-case name -> name on disk
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(folder + u"/" + prefix + u"*.TIF", &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
      CString key(found.cFileName);
      files.emplace(key.MakeLower(), CString(found.cFileName));
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  for (int page = 1;; ++page) {
    CString name;
    name.Format(u"%s%03d.tif", prefix.GetString(), page);
    const auto file = files.find(name.MakeLower());
    if (file == files.end()) break;
    paths.Add(folder + u"/" + file->second);
  }
  return TRUE;
}
