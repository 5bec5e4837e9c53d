// Input masks: the parser of the mask and of its date/time sub-masks, and the matching of an
// input text against a parsed mask.

#include "batchstore/jobs/CQVJDEInputMask.h"

#include "batchstore/jobs/CQVJDEHelper.h"
#include "foundation/util/CQVGEI.h"

#include <climits>

IMPLEMENT_DYNCREATE(__CQVJDEInputMaskTimeItem, CObject)
IMPLEMENT_DYNCREATE(__CQVJDEInputMaskTimeItemList, CDPXObList)
IMPLEMENT_DYNCREATE(__CQVJDEInputMaskItem, CObject)
IMPLEMENT_DYNCREATE(__CQVJDEInputMaskItemList, CDPXObList)

using namespace QVJDE;

namespace {

using TimeItem = __CQVJDEInputMaskTimeItem;

struct TimeRun {
  WCHAR letter;
  int length;
  int kind;
};

const TimeRun kTimeRuns[] = {
  { u'y', 4, TimeItem::kindYear4 },    { u'y', 2, TimeItem::kindYear2 },    { u'M', 2, TimeItem::kindMonth },
  { u'd', 2, TimeItem::kindDay },      { u'D', 3, TimeItem::kindDayOfYear }, { u'H', 2, TimeItem::kindHour24 },
  { u'h', 2, TimeItem::kindHour12 },   { u'm', 2, TimeItem::kindMinute },   { u's', 2, TimeItem::kindSecond },
  { u'T', 2, TimeItem::kindMarkerTT }, { u'T', 1, TimeItem::kindMarkerT },  { u't', 2, TimeItem::kindMarkertt },
  { u't', 1, TimeItem::kindMarkert },
};

// The field a kind fills, for the once-only rule, and the code of a second one.
int FieldOf(int kind) {
  switch (kind) {
    case TimeItem::kindYear4: case TimeItem::kindYear2: return 0;
    case TimeItem::kindMonth: return 1;
    case TimeItem::kindDay: case TimeItem::kindDayOfYear: return 2;
    case TimeItem::kindHour24: case TimeItem::kindHour12: return 3;
    case TimeItem::kindMinute: return 4;
    case TimeItem::kindSecond: return 5;
    case TimeItem::kindLiteral: return -1;
    default: return 6;
  }
}

BOOL IsDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }
BOOL IsUpper(WCHAR c) { return c >= u'A' && c <= u'Z'; }
BOOL IsLower(WCHAR c) { return c >= u'a' && c <= u'z'; }

const char16_t kClassLetters[] = u"?9ZzACcX";

BOOL InClass(int cls, WCHAR c) {
  switch (cls) {
    case 0: return TRUE;
    case 1: return IsDigit(c);
    case 2: return IsUpper(c);
    case 3: return IsLower(c);
    case 4: return IsUpper(c) || IsLower(c);
    case 5: return IsUpper(c) || IsDigit(c);
    case 6: return IsLower(c) || IsDigit(c);
    default: return IsUpper(c) || IsLower(c) || IsDigit(c);
  }
}

// The value of a text of decimal digits only; -1 for any other text.
int Digits(const CString& text) {
  if (text.IsEmpty()) return -1;
  int value = 0;
  for (WCHAR c : text.View()) {
    if (!IsDigit(c)) return -1;
    value = value * 10 + (c - u'0');
  }
  return value;
}

// "<" n [, m] ">" after a class letter; `c` is the character after the letter.
int ParseRunBounds(CQVGEI& reader, WCHAR& c, __CQVJDEInputMaskItem& item) {
  item.m_nMinLength = item.m_nMaxLength = 1;
  if (c != u'<') return 0;
  int n = 0, m = 0;
  c = reader.Get();
  if (reader.Get_Int(c, n) != 0) return errInRunSyntax;
  const BOOL two = c == u',';
  if (two) {
    c = reader.Get();
    if (reader.Get_Int(c, m) != 0) return errInRunSyntax;
  }
  if (c != u'>') return errInRunSyntax;
  c = reader.Get();
  if (n < 0 || m < 0) return errInRunNegative;
  if (two && m != 0 && m < n) return errInRunMaxBelowMin;
  item.m_nMinLength = two ? n : 0;
  item.m_nMaxLength = two ? m : n;
  return 0;
}

// A bound of a number element: "*" for none, or a value.
int ParseBound(CQVGEI& reader, WCHAR& c, BOOL integer, BOOL& given, double& value) {
  given = c != u'*';
  if (!given) {
    c = reader.Get();
    return 0;
  }
  if (integer) {
    int number = 0;
    if (reader.Get_Int(c, number) != 0) return errInRangeSyntax;
    value = number;
    return 0;
  }
  return reader.Get_Float(c, value) != 0 ? errInRangeSyntax : 0;
}

int ParseNumberRange(CQVGEI& reader, WCHAR& c, __CQVJDEInputMaskItem& item) {
  if (c != u'[' && c != u'(') return 0;
  const int lowerKind = c == u'[' ? __CQVJDEInputMaskItem::boundInclusive : __CQVJDEInputMaskItem::boundExclusive;
  const BOOL integer = item.m_nKind == __CQVJDEInputMaskItem::kindInteger;
  BOOL hasLower = FALSE, hasUpper = FALSE;
  c = reader.Get();
  if (int code = ParseBound(reader, c, integer, hasLower, item.m_dLower)) return code;
  if (c != u',') return errInRangeSyntax;
  c = reader.Get();
  if (int code = ParseBound(reader, c, integer, hasUpper, item.m_dUpper)) return code;
  if (c != u']' && c != u')') return errInRangeSyntax;
  const int upperKind = c == u']' ? __CQVJDEInputMaskItem::boundInclusive : __CQVJDEInputMaskItem::boundExclusive;
  c = reader.Get();
  item.m_nLowerKind = hasLower ? lowerKind : __CQVJDEInputMaskItem::boundNone;
  item.m_nUpperKind = hasUpper ? upperKind : __CQVJDEInputMaskItem::boundNone;
  if (hasLower && hasUpper && item.m_dUpper < item.m_dLower) return errInRangeOrder;
  return 0;
}

// The text between "<" and ">" of a date/time element: blanks kept, quoted strings kept whole.
int ReadSubMask(CQVGEI& reader, WCHAR& c, CString& text) {
  c = reader.Get();
  if (c != u'<') return errInTimeSyntax;
  WCHAR quote = 0;
  for (;;) {
    c = reader.Get(TRUE);
    if (c == 0) return errInTimeSyntax;
    if (!quote && c == u'>') break;
    if (c == u'"') quote = quote ? 0 : c;
    text += c;
  }
  c = reader.Get();
  return 0;
}

int ParseElement(CQVGEI& reader, WCHAR& c, __CQVJDEInputMaskItem& item) {
  if (CQVGEI::Is_StringDelimiter(c)) {
    item.m_nKind = __CQVJDEInputMaskItem::kindLiteral;
    return reader.Get_String(c, item.m_strText);
  }
  for (int cls = 0; kClassLetters[cls]; ++cls) {
    if (c != kClassLetters[cls]) continue;
    item.m_nKind = __CQVJDEInputMaskItem::kindRun;
    item.m_nClass = cls;
    c = reader.Get();
    return ParseRunBounds(reader, c, item);
  }
  if (c == u'i' || c == u'n') {
    item.m_nKind = c == u'i' ? __CQVJDEInputMaskItem::kindInteger : __CQVJDEInputMaskItem::kindNumber;
    c = reader.Get();
    return ParseNumberRange(reader, c, item);
  }
  if (c == u'T' || c == u't') {
    item.m_nKind = __CQVJDEInputMaskItem::kindTime;
    CString sub;
    if (int code = ReadSubMask(reader, c, sub)) return code;
    return __CQVJDEInputMaskTimeItemList::Parse(sub, item.m_time);
  }
  return errUnexpectedChar;
}

}  // namespace

int __CQVJDEInputMaskTimeItem::GetWidth() const {
  if (m_nKind == kindLiteral) return m_strText.GetLength();
  for (const TimeRun& run : kTimeRuns)
    if (run.kind == m_nKind) return run.length;
  return 0;
}

int __CQVJDEInputMaskTimeItemList::GetWidth() const {
  long long width = 0;
  for (int i = 0; i < GetCount(); ++i) width += Item(i)->GetWidth();
  return width > INT_MAX ? INT_MAX : static_cast<int>(width);
}

int __CQVJDEInputMaskTimeItemList::Parse(LPCWSTR mask, __CQVJDEInputMaskTimeItemList& list) {
  list.RemoveAll();
  CQVGEI reader;
  reader.SetExpression(mask);
  BOOL seen[7] = {};
  int code = 0;
  for (WCHAR c = reader.Get(); c && !code;) {
    auto* item = static_cast<TimeItem*>(list.AddNewTail(RUNTIME_CLASS(__CQVJDEInputMaskTimeItem)));
    if (!item) {
      code = errInternal;
      break;
    }
    if (CQVGEI::Is_StringDelimiter(c)) {
      item->m_nKind = TimeItem::kindLiteral;
      code = reader.Get_String(c, item->m_strText);
      continue;
    }
    if (CString(u"yMdDHhmsTt").Find(c) < 0) {
      code = errUnexpectedChar;
      break;
    }
    const WCHAR letter = c;
    int length = 1;
    // The run is read as written: a blank ends it.
    while ((c = reader.Get(TRUE, TRUE, TRUE)) == letter) ++length;
    c = reader.Get(c);
    item->m_nKind = 0;
    for (const TimeRun& run : kTimeRuns)
      if (run.letter == letter && run.length == length) item->m_nKind = run.kind;
    if (!item->m_nKind) {
      code = errInTimeSyntax;
      break;
    }
    const int field = FieldOf(item->m_nKind);
    if (seen[field]) code = errInTimeYearTwice + field;
    seen[field] = TRUE;
  }
  if (!code) {
    BOOL dayOfYear = FALSE, month = FALSE, hour24 = FALSE, hour12 = FALSE, marker = FALSE, year = FALSE;
    for (int i = 0; i < list.GetCount(); ++i) {
      const int kind = list.Item(i)->m_nKind;
      dayOfYear |= kind == TimeItem::kindDayOfYear;
      month |= kind == TimeItem::kindMonth;
      hour24 |= kind == TimeItem::kindHour24;
      hour12 |= kind == TimeItem::kindHour12;
      year |= FieldOf(kind) == 0;
      marker |= FieldOf(kind) == 6;
    }
    if (list.GetCount() == 0) code = errInTimeEmpty;
    else if (dayOfYear && !year) code = errInTimeDayOfYearNoYear;
    else if (dayOfYear && month) code = errInTimeDayOfYearAndMonth;
    else if (marker && hour24) code = errInTimeMarkerWith24Hours;
    else if (marker && !hour12) code = errInTimeMarkerWithout12Hours;
  }
  if (code) list.RemoveAll();
  return code;
}

int __CQVJDEInputMaskTimeItemList::Validate(const __CQVJDEInputMaskTimeItemList& list, const CString& text, int& year,
                                            int& month, int& day, int& hour, int& minute, int& second) {
  if (list.GetCount() == 0) return errInTimeEmpty;
  year = month = day = hour = minute = second = -1;
  int dayOfYear = -1, hour24 = -1, hour12 = -1;
  BOOL pm = FALSE;
  const int length = text.GetLength();
  int pos = 0;
  for (int i = 0; i < list.GetCount(); ++i) {
    const TimeItem* item = list.Item(i);
    const int width = item->GetWidth();
    if (pos >= length || width > length - pos) return errValTimeTooShort;
    const CString piece = text.Mid(pos, width);
    pos += width;
    const int value = Digits(piece);
    switch (item->m_nKind) {
      case TimeItem::kindYear4:
        if ((year = value) < 0) return errValYear4;
        break;
      case TimeItem::kindYear2:
        if (value < 0) return errValYear2;
        year = value < 80 ? 2000 + value : 1900 + value;
        break;
      case TimeItem::kindMonth:
        if ((month = value) < 0) return errValMonth;
        break;
      case TimeItem::kindDay:
        if ((day = value) < 0) return errValDay;
        break;
      case TimeItem::kindDayOfYear:
        if ((dayOfYear = value) < 0) return errValDayOfYear;
        break;
      case TimeItem::kindHour24:
        if ((hour24 = value) < 0 || value > 23) return errValHour24;
        break;
      case TimeItem::kindHour12:
        if ((hour12 = value) < 1 || value > 12) return errValHour12;
        break;
      case TimeItem::kindMinute:
        if ((minute = value) < 0) return errValMinute;
        break;
      case TimeItem::kindSecond:
        if ((second = value) < 0) return errValSecond;
        break;
      case TimeItem::kindMarkerTT:
        if (piece != u"AM" && piece != u"PM") return errValMarkerTT;
        pm = piece == u"PM";
        break;
      case TimeItem::kindMarkerT:
        if (piece != u"A" && piece != u"P") return errValMarkerT;
        pm = piece == u"P";
        break;
      case TimeItem::kindMarkertt:
        if (piece != u"am" && piece != u"pm") return errValMarkertt;
        pm = piece == u"pm";
        break;
      case TimeItem::kindMarkert:
        if (piece != u"a" && piece != u"p") return errValMarkert;
        pm = piece == u"p";
        break;
      default:
        if (piece != item->m_strText) return errValTimeLiteral;
        break;
    }
  }
  if (pos < length) return errValTimeTooLong;
  if (!CQVJDEHelper::CheckDate(year, month, day, dayOfYear)) return errValDate;
  if (!CQVJDEHelper::CheckTime(hour, minute, second, hour24, hour12, pm)) return errValTime;
  return 0;
}

int __CQVJDEInputMaskItem::GetFixedWidth() const {
  switch (m_nKind) {
    case kindRun: return m_nMinLength == m_nMaxLength && m_nMinLength > 0 ? m_nMinLength : -1;
    case kindTime: return m_time.GetWidth();
    case kindLiteral: return m_strText.GetLength();
    default: return -1;
  }
}

long long __CQVJDEInputMaskItem::GetMaxWidth() const {
  if (m_nKind == kindRun) return m_nMaxLength > 0 ? m_nMaxLength : -1;
  return GetFixedWidth();
}

int __CQVJDEInputMaskItem::Validate(const CString& text, int& year, int& month, int& day, int& hour, int& minute,
                                    int& second) const {
  switch (m_nKind) {
    case kindRun: {
      const int length = text.GetLength();
      if ((m_nMinLength > 0 && m_nMinLength > length) || (m_nMaxLength > 0 && m_nMaxLength < length))
        return errValRunLength;
      for (WCHAR c : text.View())
        if (!InClass(m_nClass, c)) return errValRunClass;
      return 0;
    }
    case kindInteger:
    case kindNumber: {
      CQVGEI reader;
      reader.SetExpression(text);
      WCHAR c = reader.Get();
      double value = 0;
      if (m_nKind == kindInteger) {
        int number = 0;
        if (int code = reader.Get_Int(c, number)) return code;
        if (c) return errReaderInt;
        value = number;
      } else {
        if (int code = reader.Get_Float(c, value)) return code;
        if (c) return errReaderFloat;
      }
      if ((m_nLowerKind == boundInclusive && value < m_dLower) || (m_nLowerKind == boundExclusive && value <= m_dLower) ||
          (m_nUpperKind == boundInclusive && value > m_dUpper) || (m_nUpperKind == boundExclusive && value >= m_dUpper))
        return errValRange;
      return 0;
    }
    case kindTime:
      return __CQVJDEInputMaskTimeItemList::Validate(m_time, text, year, month, day, hour, minute, second);
    default:
      return text == m_strText ? 0 : errValLiteral;
  }
}

int __CQVJDEInputMaskItemList::Parse(LPCWSTR mask, __CQVJDEInputMaskItemList& list) {
  list.RemoveAll();
  CQVGEI reader;
  reader.SetExpression(mask);
  int code = 0;
  for (WCHAR c = reader.Get(); c && !code;) {
    auto* item = static_cast<__CQVJDEInputMaskItem*>(list.AddNewTail(RUNTIME_CLASS(__CQVJDEInputMaskItem)));
    code = item ? ParseElement(reader, c, *item) : errInternal;
  }
  if (!code && list.GetCount() == 0) code = errInNoElement;
  for (int i = 0; !code && i + 1 < list.GetCount(); ++i)
    if (list.Item(i)->GetFixedWidth() < 0) code = errInVariableNotLast;
  if (code) list.RemoveAll();
  return code;
}

int __CQVJDEInputMaskItemList::Validate(const __CQVJDEInputMaskItemList& list, const CString& text, int& year,
                                        int& month, int& day, int& hour, int& minute, int& second) {
  if (list.GetCount() == 0) return errInNoElement;
  year = month = day = hour = minute = second = -1;
  const int length = text.GetLength();
  int pos = 0;
  for (int i = 0; i < list.GetCount(); ++i) {
    const __CQVJDEInputMaskItem* item = list.Item(i);
    const int width = item->GetFixedWidth();
    CString piece;
    if (width >= 0) {
      if (width > length - pos) return errValTooShort;
      piece = text.Mid(pos, width);
      pos += width;
    } else {
      piece = text.Mid(pos);
      pos = length;
    }
    if (int code = item->Validate(piece, year, month, day, hour, minute, second)) return code;
  }
  return pos == length ? 0 : errValTooLong;
}

int __CQVJDEInputMaskItemList::GetMaxTextLength(LPCWSTR mask) {
  __CQVJDEInputMaskItemList list;
  if (Parse(mask, list) != 0) return -1;
  long long total = 0;
  for (int i = 0; i < list.GetCount(); ++i) {
    const long long width = list.Item(i)->GetMaxWidth();
    if (width < 0) return -1;
    total += width;
  }
  return total > INT_MAX ? -1 : static_cast<int>(total);
}
