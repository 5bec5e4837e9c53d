#include "foundation/util/CDPXScriptFile.h"

#include "foundation/util/CDPXStdioFile.h"
#include "foundation/util/DPXReplaceFile.h"
#include "platform/core/fileapi.h"

#include <limits>

IMPLEMENT_DYNCREATE(CDPXScriptFile, CObject)

namespace {

CString Trimmed(LPCWSTR text) {
  CString out(text);
  out.Trim();
  return out;
}

// A line break in a key, value or line would split it into lines of its own in the file.
bool HasLineBreak(const CString& text) { return text.FindOneOf(u"\r\n") >= 0; }

bool IsBlankLine(const CDPXScriptItem& item) {
  CString text;
  if (!item.GetText(text)) return false;
  return text.Trim().IsEmpty();
}

// A "%d" scan, the same under every locale: leading white space, an optional sign and at least
// one digit; what follows the digits is ignored. A number beyond the range of int does not convert.
bool ScanInt(const CString& text, int& value) {
  std::u16string_view rest = text.View();
  while (!rest.empty() && CString(u" \t\r\n\v\f").Find(rest.front()) >= 0) rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == u'+' || rest.front() == u'-')) {
    negative = rest.front() == u'-';
    rest.remove_prefix(1);
  }
  long long number = 0;
  size_t digits = 0;
  for (; digits < rest.size() && rest[digits] >= u'0' && rest[digits] <= u'9'; ++digits) {
    number = number * 10 + (rest[digits] - u'0');
    if (number > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (digits == 0) return false;
  if (negative) number = -number;
  if (number > std::numeric_limits<int>::max()) return false;
  value = static_cast<int>(number);
  return true;
}

}  // namespace

CString CDPXScriptFile::SectionOf(BOOL useCurrentSection, LPCWSTR section) const {
  return useCurrentSection ? m_strCurrentSection : Trimmed(section);
}

CDPXScriptItem* CDPXScriptFile::ItemAt(POSITION pos) const { return static_cast<CDPXScriptItem*>(m_items.GetAt(pos)); }

void CDPXScriptFile::SetCurrentSection(LPCWSTR section) { m_strCurrentSection = Trimmed(section); }

// ---- loading and saving ------------------------------------------------------------------------

BOOL CDPXScriptFile::Open(LPCWSTR path) {
  m_strPath = path;
  return Load(nullptr);
}

BOOL CDPXScriptFile::Load(LPCWSTR path) {
  m_items.RemoveAll();
  const CString source(path ? path : m_strPath.GetString());
  BOOL ok = FALSE;
  if (!Trimmed(source).IsEmpty()) {
    CDPXStdioFile file;
    if (file.OpenText(source, CFile::modeRead | CFile::shareDenyWrite)) {
      CString section;
      CString line;
      ok = TRUE;
      while (ok && file.ReadString(line)) {
        auto* item = static_cast<CDPXScriptItem*>(m_items.AddNewTail(RUNTIME_CLASS(CDPXScriptItem)));
        if (!item) {
          ok = FALSE;
          break;
        }
        item->Parse(line, section);
        item->GetSection(section);
      }
      if (file.ReadFailed()) ok = FALSE;
      file.Close();
    }
  }
  if (!ok) m_items.RemoveAll();
  // A file that is there but could not be read must not be replaced by the few lines that the
  // next edit would leave in memory.
  m_bHoldAutoSave = !ok && !m_strPath.IsEmpty() && GetFileAttributesW(m_strPath) != INVALID_FILE_ATTRIBUTES;
  return ok;
}

BOOL CDPXScriptFile::Save(LPCWSTR path) {
  RemoveBlankLines(m_bRemoveAllBlankLines, m_bRemoveLeadingBlankLines, m_bRemoveTrailingBlankLines);
  const CString target(path ? path : m_strPath.GetString());
  if (Trimmed(target).IsEmpty()) return FALSE;
  CString text;
  CString line;
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    static_cast<CDPXScriptItem*>(m_items.GetNext(pos))->Format(line);
    text += line;
    text += u"\r\n";
  }
  const std::string bytes = std::string(CDPXStdioFile::ByteOrderMark(CDPXStdioFile::encodingUtf8)) +
                            CDPXStdioFile::EncodeText(text.View(), CDPXStdioFile::encodingUtf8);
  if (!DPXReplaceFile(target, bytes.data(), bytes.size())) return FALSE;
  if (target == m_strPath) m_bHoldAutoSave = FALSE;
  return TRUE;
}

BOOL CDPXScriptFile::AutoSave() {
  if (!m_bAutoSave) return TRUE;
  if (m_bHoldAutoSave && GetFileAttributesW(m_strPath) != INVALID_FILE_ATTRIBUTES) return FALSE;
  return Save(nullptr);
}

void CDPXScriptFile::RemoveBlankLines(BOOL all, BOOL leading, BOOL trailing) {
  if (all) {
    for (POSITION pos = m_items.GetHeadPosition(); pos;) {
      const POSITION here = pos;
      if (IsBlankLine(*static_cast<CDPXScriptItem*>(m_items.GetNext(pos)))) m_items.RemoveAt(here);
    }
    return;
  }
  if (leading)
    while (m_items.GetCount() && IsBlankLine(*ItemAt(m_items.GetHeadPosition()))) m_items.RemoveAt(m_items.GetHeadPosition());
  if (trailing)
    while (m_items.GetCount() && IsBlankLine(*ItemAt(m_items.GetTailPosition()))) m_items.RemoveAt(m_items.GetTailPosition());
}

// ---- queries -----------------------------------------------------------------------------------

BOOL CDPXScriptFile::GetSections(CDPXScriptItemList& list) {
  list.RemoveAll();
  list.m_bOwnsItems = FALSE;
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    if (item->GetType() != CDPXScriptItem::typeSection) continue;
    bool seen = false;
    for (POSITION known = list.GetHeadPosition(); known && !seen;)
      seen = static_cast<CDPXScriptItem*>(list.GetNext(known))->m_strSection.CompareNoCase(item->m_strSection) == 0;
    if (!seen && !list.AddTail(item)) {
      list.RemoveAll();
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CDPXScriptFile::GetKeys(LPCWSTR section, CDPXScriptItemList& list) {
  return GetKeyItems(section, nullptr, list);
}

BOOL CDPXScriptFile::GetKeyItems(LPCWSTR section, LPCWSTR key, CDPXScriptItemList& list) {
  list.RemoveAll();
  list.m_bOwnsItems = FALSE;
  const CString name = Trimmed(section);
  const CString wanted = Trimmed(key);
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    if (item->GetType() != CDPXScriptItem::typeEntry || item->m_strSection.CompareNoCase(name) != 0) continue;
    if (key && item->m_strKey.CompareNoCase(wanted) != 0) continue;
    if (!list.AddTail(item)) {
      list.RemoveAll();
      return FALSE;
    }
  }
  return TRUE;
}

BOOL CDPXScriptFile::GetLines(LPCWSTR section, CDPXScriptItemList& list) {
  list.RemoveAll();
  list.m_bOwnsItems = FALSE;
  const CString name = Trimmed(section);
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    if (item->GetType() != CDPXScriptItem::typeLine || item->m_strSection.CompareNoCase(name) != 0) continue;
    if (!list.AddTail(item)) {
      list.RemoveAll();
      return FALSE;
    }
  }
  return TRUE;
}

// ---- typed reads -------------------------------------------------------------------------------

CDPXScriptItem* CDPXScriptFile::FindEntry(const CString& section, const CString& key) const {
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    if (item->GetType() == CDPXScriptItem::typeEntry && item->m_strSection.CompareNoCase(section) == 0 &&
        item->m_strKey.CompareNoCase(key) == 0)
      return item;
  }
  return nullptr;
}

BOOL CDPXScriptFile::GetString(LPCWSTR key, CString& value, BOOL useCurrentSection, LPCWSTR section) {
  const CString wanted = Trimmed(key);
  if (wanted.IsEmpty()) return FALSE;
  const CDPXScriptItem* item = FindEntry(SectionOf(useCurrentSection, section), wanted);
  if (!item) {
    value.Empty();
    return FALSE;
  }
  value = item->m_strValue;
  return TRUE;
}

BOOL CDPXScriptFile::GetInt(LPCWSTR key, int& value, BOOL useCurrentSection, LPCWSTR section) {
  value = 0;
  CString text;
  if (!GetString(key, text, useCurrentSection, section)) return FALSE;
  return ScanInt(text, value);
}

BOOL CDPXScriptFile::GetUInt(LPCWSTR key, int& value, BOOL useCurrentSection, LPCWSTR section) {
  const BOOL ok = GetInt(key, value, useCurrentSection, section);
  if (value < 0) value = 0;
  return ok;
}

BOOL CDPXScriptFile::GetBool(LPCWSTR key, BOOL& value, BOOL useCurrentSection, LPCWSTR section) {
  value = FALSE;
  CString text;
  if (!GetString(key, text, useCurrentSection, section)) return FALSE;
  int number = 0;
  if (ScanInt(text, number)) {
    value = (number == 1 || number == -1) ? TRUE : FALSE;
    return TRUE;
  }
  for (LPCWSTR word : {u"TRUE", u"YES", u"T", u"Y"})
    if (text.CompareNoCase(word) == 0) value = TRUE;
  return TRUE;
}

// ---- edits -------------------------------------------------------------------------------------

BOOL CDPXScriptFile::InsertIntoSection(const CString& section, const CString& line, BOOL countFreeText) {
  POSITION last = nullptr;
  CString lastSection;
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    const int type = item->GetType();
    const bool counts = type == CDPXScriptItem::typeSection || type == CDPXScriptItem::typeEntry ||
                        (countFreeText && type == CDPXScriptItem::typeLine);
    if (counts && item->m_strSection.CompareNoCase(section) == 0) {
      last = here;
      lastSection = item->m_strSection;
    }
  }
  if (last) {
    auto* item = static_cast<CDPXScriptItem*>(m_items.InsertNewAfter(last, RUNTIME_CLASS(CDPXScriptItem)));
    if (!item) return FALSE;
    item->Parse(line, lastSection);
    return TRUE;
  }
  POSITION headerPos = nullptr;
  auto* header = static_cast<CDPXScriptItem*>(m_items.AddNewTail(RUNTIME_CLASS(CDPXScriptItem), headerPos));
  if (!header) return FALSE;
  header->Parse(u"[" + section + u"]", section);
  auto* item = static_cast<CDPXScriptItem*>(m_items.AddNewTail(RUNTIME_CLASS(CDPXScriptItem)));
  if (!item) {
    m_items.RemoveAt(headerPos);
    return FALSE;
  }
  item->Parse(line, section);
  return TRUE;
}

BOOL CDPXScriptFile::SetString(LPCWSTR key, LPCWSTR value, BOOL useCurrentSection, LPCWSTR section) {
  const CString name = SectionOf(useCurrentSection, section);
  const CString wanted = Trimmed(key);
  const CString text = Trimmed(value);
  if (wanted.IsEmpty() || HasLineBreak(wanted) || HasLineBreak(text) || HasLineBreak(name)) return FALSE;
  const CString line = wanted + u" = " + text;
  // The line must read back as this key with this value.
  CDPXScriptItem check;
  check.Parse(line, name);
  if (check.GetType() != CDPXScriptItem::typeEntry || check.m_strKey != wanted || check.m_strValue != text) return FALSE;

  if (CDPXScriptItem* item = FindEntry(name, wanted)) {
    item->Parse(line, CString(item->m_strSection));
  } else if (!InsertIntoSection(name, line, FALSE)) {
    return FALSE;
  }
  return AutoSave();
}

BOOL CDPXScriptFile::SetInt(LPCWSTR key, int value, BOOL useCurrentSection, LPCWSTR section) {
  CString text;
  text.Format(u"%d", value);
  return SetString(key, text, useCurrentSection, section);
}

BOOL CDPXScriptFile::SetUInt(LPCWSTR key, int value, BOOL useCurrentSection, LPCWSTR section) {
  return SetInt(key, value < 0 ? 0 : value, useCurrentSection, section);
}

BOOL CDPXScriptFile::SetBool(LPCWSTR key, BOOL value, BOOL useCurrentSection, LPCWSTR section) {
  return SetInt(key, value ? 1 : 0, useCurrentSection, section);
}

BOOL CDPXScriptFile::AddLine(LPCWSTR text, BOOL useCurrentSection, LPCWSTR section) {
  const CString name = SectionOf(useCurrentSection, section);
  const CString line(text);
  if (HasLineBreak(line) || HasLineBreak(name)) return FALSE;
  // A line that opens a bracket and never closes it would be written back empty.
  CDPXScriptItem check;
  check.Parse(line, name);
  if (check.GetType() == CDPXScriptItem::typeInvalid) return FALSE;
  if (!InsertIntoSection(name, line, TRUE)) return FALSE;
  return AutoSave();
}

BOOL CDPXScriptFile::DeleteSection(BOOL useCurrentSection, LPCWSTR section) {
  const CString name = SectionOf(useCurrentSection, section);
  for (POSITION pos = m_items.GetHeadPosition(); pos;) {
    const POSITION here = pos;
    auto* item = static_cast<CDPXScriptItem*>(m_items.GetNext(pos));
    const int type = item->GetType();
    if ((type == CDPXScriptItem::typeSection || type == CDPXScriptItem::typeEntry || type == CDPXScriptItem::typeLine) &&
        item->m_strSection.CompareNoCase(name) == 0)
      m_items.RemoveAt(here);
  }
  return AutoSave();
}
