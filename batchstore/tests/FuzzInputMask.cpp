// Input masks: the first line of the input is the mask, the rest the text it checks. Whatever the
// mask, parsing and checking answer a code; an accepted text is never longer than the mask admits.

#include "batchstore/jobs/CQVJDEHelper.h"
#include "tools/fuzz/FuzzSupport.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const size_t split = bytes.find('\n');
  const CString mask = CString::FromUtf8(bytes.substr(0, split));
  // The front takes texts up to their first NUL, as every caller hands them over.
  const CString text(
    (split == std::string_view::npos ? CString() : CString::FromUtf8(bytes.substr(split + 1))).GetString());

  const int parsed = CQVJDEHelper::VerifyInputMask(mask);
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const int code = CQVJDEHelper::ValidateInput(mask, text, year, month, day, hour, minute, second);
  fuzz::Check(parsed == 0 || code == parsed, "checking a text does not answer the mask's own fault");
  const int longest = CQVJDEHelper::GetMaxTextLength(mask);
  fuzz::Check(parsed == 0 || longest == -1, "a faulty mask has a longest input");
  if (code != 0) return 0;
  fuzz::Check(longest < 0 || text.GetLength() <= longest, "an accepted text is longer than the mask admits");
  fuzz::Check(year == -1 || (year >= 1900 && year <= 2099), "an accepted year lies outside the calendar");
  fuzz::Check(month == -1 || (month >= 1 && month <= 12), "an accepted month is not one");
  fuzz::Check(day == -1 || (day >= 1 && day <= 31), "an accepted day is not one");
  fuzz::Check(hour >= -1 && hour <= 23 && minute >= -1 && minute <= 59 && second >= -1 && second <= 59,
              "an accepted time is not one");
  int y = 0, m = 0, d = 0, h = 0, mi = 0, s = 0;
  fuzz::Check(CQVJDEHelper::ValidateInputTime(mask, text, y, m, d, h, mi, s) != 0 || (y == year && d == day && h == hour),
              "a date/time mask reads other parts as a whole mask");
  return 0;
}
