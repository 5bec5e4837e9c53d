#pragma once
// The one front through which index fields, the batch store's index values and the capture
// programs check input masks, format output masks and compute default values. Every call parses
// its mask or expression afresh; nothing is cached, nothing raises. Results are numeric codes, 0
// meaning success, listed below; GetErrorMessage makes a user text of one.

#include "platform/core/CString.h"

class CQVJDEDefaultValueTags;

namespace QVJDE {
enum : int {
  errOK = 0,
  errUnexpectedChar = 1,  // a character that starts no element
  errInternal = 2,        // also a field type outside 1..5
  // 10, 20, 30-32 and 40-42 are the expression reader's codes, passed through.
  errReaderInt = 30,
  errReaderFloat = 40,

  errInNoElement = 10001,
  errInVariableNotLast = 10002,
  errInRunSyntax = 10101,
  errInRunNegative = 10102,
  errInRunMaxBelowMin = 10103,
  errInRangeSyntax = 10201,
  errInRangeOrder = 10202,
  errInTimeNotAlone = 10301,
  errInTimeEmpty = 10302,
  errInTimeVariableNotLast = 10303,  // kept for the table: no mask of the grammar raises it
  errInTimeSyntax = 10304,
  errInTimeYearTwice = 10305,
  errInTimeMonthTwice = 10306,
  errInTimeDayTwice = 10307,
  errInTimeHourTwice = 10308,
  errInTimeMinuteTwice = 10309,
  errInTimeSecondTwice = 10310,
  errInTimeMarkerTwice = 10311,
  errInTimeDayOfYearNoYear = 10312,
  errInTimeDayOfYearAndMonth = 10313,
  errInTimeMarkerWith24Hours = 10314,
  errInTimeMarkerWithout12Hours = 10315,

  errValTooShort = 11001,
  errValTooLong = 11002,
  errValRunLength = 11101,
  errValRunClass = 11102,
  errValRange = 11201,
  errValTimeTooShort = 11301,
  errValTimeTooLong = 11302,
  errValYear4 = 11303,
  errValYear2 = 11304,
  errValMonth = 11305,
  errValDay = 11306,
  errValDayOfYear = 11307,
  errValHour24 = 11308,
  errValHour12 = 11309,
  errValMinute = 11310,
  errValSecond = 11311,
  errValMarkerTT = 11312,
  errValMarkerT = 11313,
  errValMarkertt = 11314,
  errValMarkert = 11315,
  errValTimeLiteral = 11316,
  errValDate = 11317,
  errValTime = 11318,
  errValLiteral = 11401,

  errOutRangeSyntax = 20101,
  errOutNumberSyntax = 20201,
  errOutNumberDecimals = 20203,
  errOutTimeSyntax = 20301,

  errFmtRange = 21101,
  errFmtNotNumber = 21201,
  errFmtTooWide = 21202,
  errFmtDate = 21301,
  errFmtTime = 21302,
  errFmtNoYear = 21303,
  errFmtNoMonth = 21304,
  errFmtNoDay = 21305,
  errFmtNoHour = 21306,
  errFmtNoMinuteOrSecond = 21307,

  errDefNotClosed = 30101,
  errDefNoTag = 30102,
  errDefEmptyAlternative = 30201,
  errDefTagMissing = 31101,

  errNotInList = 40001,
};
}  // namespace QVJDE

class CQVJDEHelper {
public:
  explicit CQVJDEHelper(void* owner = nullptr) : m_pOwner(owner) {}

  // Input masks. The date and time parts are -1 unless the mask read them.
  static int VerifyInputMask(LPCWSTR mask);
  static int ValidateInput(LPCWSTR mask, LPCWSTR text, int& year, int& month, int& day, int& hour, int& minute,
                           int& second);
  static int ValidateInput(LPCWSTR mask, LPCWSTR text);
  // A mask of exactly one date/time element.
  static int VerifyInputMaskTime(LPCWSTR mask);
  static int ValidateInputTime(LPCWSTR mask, LPCWSTR text, int& year, int& month, int& day, int& hour, int& minute,
                               int& second);
  // The largest input length the mask admits; -1 without a limit or when the mask does not parse.
  static int GetMaxTextLength(LPCWSTR mask);

  // Output masks. FormatOutput appends to `out`; an empty mask makes `out` the value, or the date
  // and time as "yyyyMMddHHmmss" when the value is empty and a part is given.
  static int VerifyOutputMask(LPCWSTR mask);
  static int FormatOutput(LPCWSTR mask, LPCWSTR value, int year, int month, int day, int hour, int minute, int second,
                          BOOL strictRange, BOOL strictNumber, BOOL strictDate, CString& out);

  // Default values. A parse error (and, when strict, a missing tag) is answered before anything
  // is evaluated, leaving `value` as it was.
  static int VerifyDefaultValueExp(LPCWSTR expression, const CQVJDEDefaultValueTags& tags, BOOL checkTags);
  static int GetDefaultValue(LPCWSTR expression, const CQVJDEDefaultValueTags& tags, CString& value, int& accuracy,
                             BOOL strict);

  // Calendar checks and conversions. A part below 0 is not given. CheckDate takes years
  // 1900 to 2099 and, with a day of the year, sets the month and day from it; CheckTime sets the
  // hour from the 24-hour or the 12-hour one when it is not given.
  static BOOL CheckDate(int& year, int& month, int& day, int dayOfYear);
  static BOOL CheckTime(int& hour, int& minute, int& second, int hour24, int hour12, BOOL pm);
  // "yyyyMMdd" and "HHmmss", with the letters standing for parts that are not given.
  static BOOL DateToStr(int year, int month, int day, CString& out);
  static BOOL TimeToStr(int hour, int minute, int second, CString& out);
  static BOOL StrToDate(LPCWSTR text, int& year, int& month, int& day);
  static BOOL StrToTime(LPCWSTR text, int& hour, int& minute, int& second);
  // Weeks run Monday to Sunday, week 1 holding the year's first Thursday; a date before it is in
  // the last week of the year before, and 29 to 31 December may be in week 53 (never in week 1 of
  // the next year).
  static BOOL GetWeekOfYear(int year, int month, int day, int& week);
  // 1 Sunday .. 7 Saturday, and 1 .. 366; for valid dates only.
  static int GetDayOfWeek(int year, int month, int day);
  static int GetDayOfYear(int year, int month, int day);

  // The language text "JDE_ERR_MESSAGETEMPLATE" with "<%code%>" replaced by the code and
  // "<%message%>" by the text of "JDE_ERR_<code in five digits>" (empty when there is none).
  static void GetErrorMessage(int code, CString& text);

private:
  void* m_pOwner { nullptr };
};
