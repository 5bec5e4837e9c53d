// Output masks: the parser and the formatter with its strict and lenient modes.

#include "batchstore/jobs/CQVJDEOutputMask.h"

#include "batchstore/jobs/CQVJDEHelper.h"
#include "foundation/util/CQVGEI.h"

#include <cmath>
#include <cstdlib>

IMPLEMENT_DYNCREATE(__CQVJDEOutputMaskItem, CObject)
IMPLEMENT_DYNCREATE(__CQVJDEOutputMaskItemList, CDPXObList)

using namespace QVJDE;

namespace {

using OutItem = __CQVJDEOutputMaskItem;

enum Needs { needYear, needMonth, needDay, needDate, needHour, needMinute, needSecond };

struct TimeElement {
  WCHAR letter;
  int length;
  int placeholder;  // blanks printed for a missing part in lenient mode
  Needs needs;
};

// Indexed by the element id.
const TimeElement kTimeElements[] = {
  { u'y', 4, 4, needYear },   { u'y', 2, 2, needYear },   { u'y', 1, 0, needYear },   { u'M', 2, 2, needMonth },
  { u'M', 1, 0, needMonth },  { u'd', 2, 2, needDay },    { u'd', 1, 0, needDay },    { u'D', 1, 1, needDate },
  { u'D', 3, 3, needDate },   { u'H', 2, 2, needHour },   { u'H', 1, 0, needHour },   { u'h', 2, 2, needHour },
  { u'h', 1, 0, needHour },   { u'm', 2, 2, needMinute }, { u'm', 1, 0, needMinute }, { u's', 2, 2, needSecond },
  { u's', 1, 0, needSecond }, { u'T', 2, 2, needHour },   { u'T', 1, 1, needHour },   { u't', 2, 2, needHour },
  { u't', 1, 1, needHour },   { u'w', 2, 2, needDate },   { u'w', 1, 0, needDate },
};
constexpr int kTimeElementCount = static_cast<int>(sizeof(kTimeElements) / sizeof(kTimeElements[0]));

const char16_t kStyleLetters[] = u"nNpPcC";

// "[" start ["," end] "]" with `c` on the "["; FALSE for a syntax fault.
BOOL ParseRange(CQVGEI& reader, WCHAR& c, OutItem& item) {
  auto bound = [&](int& value) -> BOOL {
    if (c == u'*') {
      value = 0;
      c = reader.Get();
      return TRUE;
    }
    return reader.Get_Int(c, value) == 0;
  };
  c = reader.Get();
  if (!bound(item.m_nStart)) return FALSE;
  item.m_nEnd = 0;
  if (c == u',') {
    c = reader.Get();
    if (!bound(item.m_nEnd)) return FALSE;
  }
  if (c != u']') return FALSE;
  c = reader.Get();
  return TRUE;
}

// After the style letter: "<" [range ","] width "," decimals ["," 'fill'] ">".
int ParseNumber(CQVGEI& reader, WCHAR& c, OutItem& item) {
  c = reader.Get();
  if (c != u'<') return errOutNumberSyntax;
  c = reader.Get();
  if (c == u'[') {
    if (!ParseRange(reader, c, item) || c != u',') return errOutNumberSyntax;
    c = reader.Get();
  }
  if (c == u'*') {
    item.m_nWidth = 0;
    c = reader.Get();
  } else if (reader.Get_Int(c, item.m_nWidth) != 0) {
    return errOutNumberSyntax;
  }
  if (c != u',') return errOutNumberSyntax;
  c = reader.Get();
  const BOOL decimals = c != u'*';
  item.m_nDecimals = -1;
  if (!decimals) {
    c = reader.Get();
  } else if (reader.Get_Int(c, item.m_nDecimals) != 0) {
    return errOutNumberSyntax;
  }
  if (c == u',') {
    c = reader.Get();
    if (reader.Get_Char(c, item.m_cFill) != 0) return errOutNumberSyntax;
  }
  if (c != u'>') return errOutNumberSyntax;
  c = reader.Get();
  const long long width = std::llabs(static_cast<long long>(item.m_nWidth));
  if (width > OutItem::maxWidth) return errOutNumberDecimals;
  if (decimals && (item.m_nDecimals < 0 || item.m_nDecimals > 20 || (width != 0 && item.m_nDecimals >= width)))
    return errOutNumberDecimals;
  return 0;
}

int ParseTime(CQVGEI& reader, WCHAR& c, OutItem& item) {
  const WCHAR letter = c;
  int length = 1;
  while ((c = reader.Get(TRUE, TRUE, TRUE)) == letter) ++length;
  c = reader.Get(c);
  item.m_nTimeId = -1;
  for (int id = 0; id < kTimeElementCount; ++id)
    if (kTimeElements[id].letter == letter && kTimeElements[id].length == length) item.m_nTimeId = id;
  if (item.m_nTimeId < 0) return errOutTimeSyntax;
  if (c != u'<') return 0;
  // A range is accepted here and has no effect.
  c = reader.Get();
  if (c == u'[' && !ParseRange(reader, c, item)) return errOutTimeSyntax;
  if (c != u'>') return errOutTimeSyntax;
  c = reader.Get();
  return 0;
}

int ParseElement(CQVGEI& reader, WCHAR& c, OutItem& item) {
  if (CQVGEI::Is_StringDelimiter(c)) {
    item.m_nKind = OutItem::kindLiteral;
    return reader.Get_String(c, item.m_strText);
  }
  if (c == u'[') {
    item.m_nKind = OutItem::kindRange;
    return ParseRange(reader, c, item) ? 0 : errOutRangeSyntax;
  }
  for (int style = 0; kStyleLetters[style]; ++style) {
    if (c != kStyleLetters[style]) continue;
    item.m_nKind = OutItem::kindNumber;
    item.m_nStyle = style;
    return ParseNumber(reader, c, item);
  }
  if (CString(u"yMdDHhmsTtw").Find(c) >= 0) {
    item.m_nKind = OutItem::kindTime;
    return ParseTime(reader, c, item);
  }
  return errUnexpectedChar;
}

// The characters of the value from the start to the end position, in reverse order when the
// start lies behind the end.
int CharacterRange(const CString& value, int start, int end, BOOL strict, CString& piece) {
  piece.Empty();
  const long long length = value.GetLength();
  const long long first = start > 0 ? start - 1LL : start < 0 ? length + start : 0;
  const long long last = end > 0 ? end - 1LL : end < 0 ? length + end : length - 1;
  if (first < 0 || first >= length || last < 0 || last >= length) return strict ? errFmtRange : 0;
  if (first <= last) {
    piece = value.Mid(static_cast<int>(first), static_cast<int>(last - first + 1));
  } else {
    piece = value.Mid(static_cast<int>(last), static_cast<int>(first - last + 1));
    piece.MakeReverse();
  }
  return 0;
}

int FormatNumber(const OutItem& item, const CString& value, BOOL strictRange, BOOL strictNumber, CString& piece) {
  CString text;
  if (int code = CharacterRange(value, item.m_nStart, item.m_nEnd, strictRange, text)) return code;
  CQVGEI reader;
  reader.SetExpression(text);
  WCHAR c = reader.Get();
  double number = 0;
  if (reader.Get_Float(c, number) != 0) {
    if (strictNumber) return errFmtNotNumber;
    number = 0;
  }
  const int style = item.m_nStyle;
  const BOOL percent = style == 2 || style == 3;
  if (percent) number *= 100;
  CString format, printed;
  format.Format(u"%%.%df", item.m_nDecimals < 0 ? 6 : item.m_nDecimals);
  printed.Format(format, std::fabs(number));
  const int point = printed.Find(u'.');
  CString whole = point < 0 ? printed : printed.Left(point);
  const CString fraction = point < 0 ? CString() : printed.Mid(point + 1);
  if (whole.IsEmpty()) whole = u"0";
  if (style == 4 || style == 5)
    for (int at = whole.GetLength() - 3; at > 0; at -= 3) whole.Insert(at, u',');
  piece = number < 0 ? u"-" : (style == 1 || style == 3 || style == 5) ? u"+" : u"";
  piece += whole;
  if (point >= 0) piece += u"." + fraction;
  if (percent) piece += u"%";
  const int width = std::abs(item.m_nWidth);
  if (width != 0 && piece.GetLength() > width) return strictNumber ? errFmtTooWide : 0;
  if (piece.GetLength() < width) {
    const CString fill(item.m_cFill, width - piece.GetLength());
    piece = item.m_nWidth > 0 ? fill + piece : piece + fill;
  }
  return 0;
}

int FormatTime(const OutItem& item, int year, int month, int day, int hour, int minute, int second, BOOL strict,
               CString& piece) {
  if (strict) {
    int y = year, m = month, d = day, h = hour, mi = minute, s = second;
    if (!CQVJDEHelper::CheckDate(y, m, d, -1)) return errFmtDate;
    if (!CQVJDEHelper::CheckTime(h, mi, s, -1, -1, FALSE)) return errFmtTime;
  }
  const TimeElement& element = kTimeElements[item.m_nTimeId];
  int missing = 0;
  switch (element.needs) {
    case needYear: missing = year <= 0 ? errFmtNoYear : 0; break;
    case needMonth: missing = month <= 0 ? errFmtNoMonth : 0; break;
    case needDay: missing = day <= 0 ? errFmtNoDay : 0; break;
    case needDate:
      missing = year <= 0 ? errFmtNoYear : month <= 0 ? errFmtNoMonth : day <= 0 ? errFmtNoDay : 0;
      if (!missing) {
        // Week and day numbers need a real date, also where the lenient mode let a wrong one in.
        int y = year, m = month, d = day;
        if (!CQVJDEHelper::CheckDate(y, m, d, -1)) missing = errFmtDate;
      }
      break;
    case needHour: missing = hour < 0 ? errFmtNoHour : 0; break;
    default: missing = (element.needs == needMinute ? minute : second) < 0 ? errFmtNoMinuteOrSecond : 0; break;
  }
  if (missing) {
    if (strict) return missing;
    piece = CString(u' ', element.placeholder);
    return 0;
  }
  const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
  const BOOL pm = hour >= 12;
  int week = 0;
  switch (item.m_nTimeId) {
    case 0: piece.Format(u"%04d", year); break;
    case 1: piece.Format(u"%02d", year % 100); break;
    case 2: piece.Format(u"%d", year); break;
    case 3: piece.Format(u"%02d", month); break;
    case 4: piece.Format(u"%d", month); break;
    case 5: piece.Format(u"%02d", day); break;
    case 6: piece.Format(u"%d", day); break;
    case 7: piece.Format(u"%d", CQVJDEHelper::GetDayOfWeek(year, month, day)); break;
    case 8: piece.Format(u"%03d", CQVJDEHelper::GetDayOfYear(year, month, day)); break;
    case 9: piece.Format(u"%02d", hour); break;
    case 10: piece.Format(u"%d", hour); break;
    case 11: piece.Format(u"%02d", hour12); break;
    case 12: piece.Format(u"%d", hour12); break;
    case 13: piece.Format(u"%02d", minute); break;
    case 14: piece.Format(u"%d", minute); break;
    case 15: piece.Format(u"%02d", second); break;
    case 16: piece.Format(u"%d", second); break;
    case 17: piece = pm ? u"PM" : u"AM"; break;
    case 18: piece = pm ? u"P" : u"A"; break;
    case 19: piece = pm ? u"pm" : u"am"; break;
    case 20: piece = pm ? u"p" : u"a"; break;
    default:
      CQVJDEHelper::GetWeekOfYear(year, month, day, week);
      piece.Format(item.m_nTimeId == 21 ? u"%02d" : u"%d", week);
      break;
  }
  return 0;
}

}  // namespace

int __CQVJDEOutputMaskItemList::Parse(LPCWSTR mask, __CQVJDEOutputMaskItemList& list) {
  list.RemoveAll();
  CQVGEI reader;
  reader.SetExpression(mask);
  int code = 0;
  for (WCHAR c = reader.Get(); c && !code;) {
    auto* item = static_cast<OutItem*>(list.AddNewTail(RUNTIME_CLASS(__CQVJDEOutputMaskItem)));
    code = item ? ParseElement(reader, c, *item) : errInternal;
  }
  if (code) list.RemoveAll();
  return code;
}

int __CQVJDEOutputMaskItemList::Format(const __CQVJDEOutputMaskItemList& list, const CString& value, int year,
                                       int month, int day, int hour, int minute, int second, BOOL strictRange,
                                       BOOL strictNumber, BOOL strictDate, CString& out) {
  for (int i = 0; i < list.GetCount(); ++i) {
    const OutItem* item = list.Item(i);
    CString piece;
    int code = 0;
    switch (item->m_nKind) {
      case OutItem::kindRange: code = CharacterRange(value, item->m_nStart, item->m_nEnd, strictRange, piece); break;
      case OutItem::kindNumber: code = FormatNumber(*item, value, strictRange, strictNumber, piece); break;
      case OutItem::kindTime: code = FormatTime(*item, year, month, day, hour, minute, second, strictDate, piece); break;
      default: piece = item->m_strText; break;
    }
    if (code) return code;
    out += piece;
  }
  return 0;
}
