// The calendar checks and the fixed-layout date and time conversions of the mask front, on the
// proleptic Gregorian calendar. A part below 0 is a part that is not given.

#include "batchstore/jobs/CQVJDEHelper.h"

#include <chrono>

namespace {

namespace chr = std::chrono;

chr::year_month_day Civil(int year, int month, int day) {
  return chr::year_month_day { chr::year { year }, chr::month { static_cast<unsigned>(month) },
                               chr::day { static_cast<unsigned>(day) } };
}

// The number that the first characters of the text spell; -1 when it does not start with a digit.
int LeadingNumber(const CString& text) {
  if (text.IsEmpty() || text[0] < u'0' || text[0] > u'9') return -1;
  int value = 0;
  for (WCHAR c : text.View()) {
    if (c < u'0' || c > u'9') break;
    value = value * 10 + (c - u'0');
  }
  return value;
}

}  // namespace

BOOL CQVJDEHelper::CheckDate(int& year, int& month, int& day, int dayOfYear) {
  if (year >= 0) {
    if (year < 1900 || year > 2099) return FALSE;
    if (dayOfYear >= 0) {
      if (dayOfYear < 1) return FALSE;
      const chr::sys_days date = chr::sys_days { Civil(year, 1, 1) } + chr::days { dayOfYear - 1 };
      const chr::year_month_day civil { date };
      if (static_cast<int>(civil.year()) != year) return FALSE;
      month = static_cast<int>(static_cast<unsigned>(civil.month()));
      day = static_cast<int>(static_cast<unsigned>(civil.day()));
    }
  }
  if (month >= 0 && (month < 1 || month > 12)) return FALSE;
  if (day < 0) return TRUE;
  if (month >= 0 && year >= 0) return Civil(year, month, day).ok();
  if (month >= 0) {
    const int last = month == 2 ? 29 : (month == 4 || month == 6 || month == 9 || month == 11) ? 30 : 31;
    return day >= 1 && day <= last;
  }
  return day >= 1 && day <= 31;
}

BOOL CQVJDEHelper::CheckTime(int& hour, int& minute, int& second, int hour24, int hour12, BOOL pm) {
  if (hour < 0) {
    if (hour24 >= 0) {
      if (hour24 > 23) return FALSE;
      hour = hour24;
    } else if (hour12 > 0) {
      if (hour12 > 12) return FALSE;
      hour = hour12 % 12 + (pm ? 12 : 0);
    }
  }
  return hour <= 23 && minute < 60 && second < 60;
}

BOOL CQVJDEHelper::DateToStr(int year, int month, int day, CString& out) {
  out.Empty();
  int y = year, m = month, d = day;
  if (!CheckDate(y, m, d, -1)) return FALSE;
  if (year < 1) out += u"yyyy"; else out.AppendFormat(u"%04d", year);
  if (month < 1) out += u"MM"; else out.AppendFormat(u"%02d", month);
  if (day < 1) out += u"dd"; else out.AppendFormat(u"%02d", day);
  return out.GetLength() == 8;
}

BOOL CQVJDEHelper::TimeToStr(int hour, int minute, int second, CString& out) {
  out.Empty();
  if (hour > 23 || minute >= 60 || second >= 60) return FALSE;
  if (hour < 0) out += u"HH"; else out.AppendFormat(u"%02d", hour);
  if (minute < 0) out += u"mm"; else out.AppendFormat(u"%02d", minute);
  if (second < 0) out += u"ss"; else out.AppendFormat(u"%02d", second);
  return out.GetLength() == 6;
}

BOOL CQVJDEHelper::StrToDate(LPCWSTR text, int& year, int& month, int& day) {
  const CString input(text ? text : u"");
  if (input.GetLength() < 8) return FALSE;
  year = LeadingNumber(input.Mid(0, 4));
  month = LeadingNumber(input.Mid(4, 2));
  day = LeadingNumber(input.Mid(6, 2));
  return CheckDate(year, month, day, -1);
}

BOOL CQVJDEHelper::StrToTime(LPCWSTR text, int& hour, int& minute, int& second) {
  const CString input(text ? text : u"");
  if (input.GetLength() < 6) return FALSE;
  hour = LeadingNumber(input.Mid(0, 2));
  minute = LeadingNumber(input.Mid(2, 2));
  second = LeadingNumber(input.Mid(4, 2));
  return hour <= 23 && minute <= 59 && second <= 59;
}

BOOL CQVJDEHelper::GetWeekOfYear(int year, int month, int day, int& week) {
  int y = year, m = month, d = day;
  if (year <= 0 || month <= 0 || day <= 0 || !CheckDate(y, m, d, -1)) return FALSE;
  const chr::sys_days first { Civil(year, 1, 1) };
  const int n = static_cast<int>((chr::sys_days { Civil(year, month, day) } - first).count());
  // Weeks run Monday to Sunday; week 1 holds the year's first Thursday.
  const unsigned weekday = chr::weekday { first }.iso_encoding();  // 1 Monday .. 7 Sunday
  static const int kOffset[] = { 0, 0, 1, 2, 3, 4, 5, 6 };
  week = weekday <= 4 ? (n + kOffset[weekday]) / 7 + 1 : (n + kOffset[weekday]) / 7;
  // Week 0 is the last week of the year before (1900 begins on a Monday, so it has no week 0).
  return week == 0 ? GetWeekOfYear(year - 1, 12, 31, week) : TRUE;
}

int CQVJDEHelper::GetDayOfWeek(int year, int month, int day) {
  return static_cast<int>(chr::weekday { chr::sys_days { Civil(year, month, day) } }.c_encoding()) + 1;
}

int CQVJDEHelper::GetDayOfYear(int year, int month, int day) {
  return static_cast<int>((chr::sys_days { Civil(year, month, day) } - chr::sys_days { Civil(year, 1, 1) }).count()) + 1;
}
