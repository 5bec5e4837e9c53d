// Default values: the tag table, and the parser, tag check and evaluator of expressions.

#include "batchstore/jobs/CQVJDEDefaultValue.h"

#include "batchstore/jobs/CQVJDEHelper.h"
#include "foundation/util/CQVGEI.h"

IMPLEMENT_DYNCREATE(__CQVJDEDefaultValueTag, CObject)
IMPLEMENT_DYNCREATE(CQVJDEDefaultValueTags, CObject)
IMPLEMENT_DYNCREATE(__CQVJDEDefaultValueItem, CObject)
IMPLEMENT_DYNCREATE(__CQVJDEDefaultValueItemList, CDPXObList)
IMPLEMENT_DYNCREATE(__CQVJDEDefaultValueOptionList, CDPXObList)

using namespace QVJDE;

namespace {

constexpr int kCertain = 10000;

// The text up to the closing character, read with blanks kept; quoted strings and characters are
// kept whole with their quotes when `quotes` is set. FALSE at the end of the expression.
BOOL ReadUntil(CQVGEI& reader, WCHAR closing, BOOL quotes, CString& text) {
  WCHAR quote = 0;
  for (;;) {
    const WCHAR c = reader.Get(TRUE);
    if (c == 0) return FALSE;
    if (!quote && c == closing) return TRUE;
    if (quotes && (c == u'"' || c == u'\'') && (!quote || quote == c)) quote = quote ? 0 : c;
    text += c;
  }
}

}  // namespace

BOOL CQVJDEDefaultValueTags::SetTag(LPCWSTR name, LPCWSTR value, int year, int month, int day, int hour, int minute,
                                    int second, int accuracy) {
  CString trimmed(name ? name : u"");
  if (trimmed.Trim().IsEmpty()) return FALSE;
  DeleteTag(trimmed);
  auto* tag = static_cast<__CQVJDEDefaultValueTag*>(m_tags.AddNewTail(RUNTIME_CLASS(__CQVJDEDefaultValueTag)));
  if (!tag) return FALSE;
  tag->m_strName = trimmed;
  tag->m_strValue = value ? value : u"";
  tag->m_nYear = year;
  tag->m_nMonth = month;
  tag->m_nDay = day;
  tag->m_nHour = hour;
  tag->m_nMinute = minute;
  tag->m_nSecond = second;
  tag->m_nAccuracy = accuracy;
  return TRUE;
}

POSITION CQVJDEDefaultValueTags::FindTag(LPCWSTR name) const {
  CString wanted(name ? name : u"");
  wanted.Trim();
  for (POSITION pos = m_tags.GetHeadPosition(); pos;) {
    const POSITION at = pos;
    if (static_cast<__CQVJDEDefaultValueTag*>(m_tags.GetNext(pos))->m_strName.CompareNoCase(wanted) == 0) return at;
  }
  return nullptr;
}

const __CQVJDEDefaultValueTag* CQVJDEDefaultValueTags::Find(LPCWSTR name) const {
  const POSITION pos = FindTag(name);
  return pos ? static_cast<__CQVJDEDefaultValueTag*>(m_tags.GetAt(pos)) : nullptr;
}

BOOL CQVJDEDefaultValueTags::GetTag(LPCWSTR name, CString& value, int& year, int& month, int& day, int& hour,
                                    int& minute, int& second, int& accuracy) const {
  CString found;
  const POSITION pos = FindTag(name);
  return pos && GetTag(m_tags.GetIndexOf(pos), found, value, year, month, day, hour, minute, second, accuracy);
}

BOOL CQVJDEDefaultValueTags::GetTag(int index, CString& name, CString& value, int& year, int& month, int& day,
                                    int& hour, int& minute, int& second, int& accuracy) const {
  auto* tag = static_cast<__CQVJDEDefaultValueTag*>(m_tags.GetAtIndex(index));
  if (!tag) return FALSE;
  name = tag->m_strName;
  value = tag->m_strValue;
  year = tag->m_nYear;
  month = tag->m_nMonth;
  day = tag->m_nDay;
  hour = tag->m_nHour;
  minute = tag->m_nMinute;
  second = tag->m_nSecond;
  accuracy = tag->m_nAccuracy;
  return TRUE;
}

void CQVJDEDefaultValueTags::DeleteTag(LPCWSTR name) {
  if (POSITION pos = FindTag(name)) m_tags.RemoveAt(pos);
}

int __CQVJDEDefaultValueOptionList::Parse(LPCWSTR expression, __CQVJDEDefaultValueOptionList& list) {
  list.RemoveAll();
  CQVGEI reader;
  reader.SetExpression(expression);
  WCHAR c = reader.Get();
  int code = 0;
  __CQVJDEDefaultValueItemList* option = nullptr;
  while (c && !code) {
    if (!option) {
      option = static_cast<__CQVJDEDefaultValueItemList*>(list.AddNewTail(RUNTIME_CLASS(__CQVJDEDefaultValueItemList)));
      if (!option) {
        code = errInternal;
        break;
      }
    }
    if (c == u'o' || c == u'O') {
      // "or" is two letters with nothing between them.
      const WCHAR r = reader.Get(TRUE, TRUE, TRUE);
      if (r != u'r' && r != u'R') code = errDefNotClosed;
      else if (option->GetCount() == 0) code = errDefEmptyAlternative;
      option = nullptr;
      c = reader.Get();
      if (!code && !c) code = errDefEmptyAlternative;  // nothing after the last "or"
      continue;
    }
    auto* part = static_cast<__CQVJDEDefaultValueItem*>(option->AddNewTail(RUNTIME_CLASS(__CQVJDEDefaultValueItem)));
    if (!part) {
      code = errInternal;
    } else if (CQVGEI::Is_StringDelimiter(c)) {
      part->m_nKind = __CQVJDEDefaultValueItem::kindLiteral;
      code = reader.Get_String(c, part->m_strText);
    } else if (c == u'_') {
      part->m_nKind = __CQVJDEDefaultValueItem::kindTag;
      if (!ReadUntil(reader, u'_', FALSE, part->m_strText)) {
        code = errDefNotClosed;
        break;
      }
      c = reader.Get();
      if (c == u'{') {
        if (!ReadUntil(reader, u'}', TRUE, part->m_strMask)) code = errDefNotClosed;
        c = reader.Get();
      }
    } else {
      code = errUnexpectedChar;
    }
  }
  if (code) list.RemoveAll();
  return code;
}

int __CQVJDEDefaultValueOptionList::CheckTags(const __CQVJDEDefaultValueOptionList& list,
                                              const CQVJDEDefaultValueTags& tags) {
  for (int i = 0; i < list.GetCount(); ++i) {
    const __CQVJDEDefaultValueItemList* option = list.Option(i);
    for (int j = 0; j < option->GetCount(); ++j) {
      const __CQVJDEDefaultValueItem* part = option->Item(j);
      if (part->m_nKind == __CQVJDEDefaultValueItem::kindTag && !tags.Find(part->m_strText)) return errDefNoTag;
    }
  }
  return 0;
}

int __CQVJDEDefaultValueOptionList::Evaluate(const __CQVJDEDefaultValueOptionList& list,
                                             const CQVJDEDefaultValueTags& tags, CString& value, int& accuracy,
                                             BOOL strict) {
  static const __CQVJDEDefaultValueTag kMissing;
  for (int i = 0; i < list.GetCount(); ++i) {
    const __CQVJDEDefaultValueItemList* option = list.Option(i);
    CString text;
    int certainty = kCertain;
    int code = 0;
    for (int j = 0; j < option->GetCount() && !code; ++j) {
      const __CQVJDEDefaultValueItem* part = option->Item(j);
      if (part->m_nKind == __CQVJDEDefaultValueItem::kindLiteral) {
        text += part->m_strText;
        continue;
      }
      const __CQVJDEDefaultValueTag* tag = tags.Find(part->m_strText);
      if (!tag && strict) {
        code = errDefTagMissing;
        break;
      }
      // A missing tag gives nothing, so it leaves the accuracy as it is.
      const __CQVJDEDefaultValueTag& source = tag ? *tag : kMissing;
      CString piece;
      code = CQVJDEHelper::FormatOutput(part->m_strMask, source.m_strValue, source.m_nYear, source.m_nMonth,
                                        source.m_nDay, source.m_nHour, source.m_nMinute, source.m_nSecond, strict,
                                        strict, strict, piece);
      text += piece;
      if (tag && tag->m_nAccuracy < certainty) certainty = tag->m_nAccuracy;
    }
    if (code) continue;
    CString trimmed(text);
    if (trimmed.Trim().IsEmpty()) continue;
    value = text;
    accuracy = certainty;
    return 0;
  }
  value.Empty();
  accuracy = 0;
  return 0;
}
