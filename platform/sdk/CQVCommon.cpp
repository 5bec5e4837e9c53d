#include "platform/sdk/CQVCommon.h"

#include <chrono>

BOOL CQVCommon::MakeVersion(ULONG major, ULONG minor, ULONG build, ULONG& packed) {
  using namespace std::chrono;
  if (major > 15 || minor > 15) return FALSE;
  const auto serial = build % 100;
  const auto day = static_cast<unsigned>(build / 100 % 100);
  const auto month = static_cast<unsigned>(build / 10000 % 100);
  const auto year = static_cast<int>(build / 1000000);
  const year_month_day date{std::chrono::year(year), std::chrono::month(month), std::chrono::day(day)};
  if (!date.ok() || year < 2000) return FALSE;
  const auto days = (sys_days(date) - sys_days(2000y / January / 1)).count();
  const auto field = static_cast<ULONG>(days) * 100 + serial;
  if (field >= (1u << 24)) return FALSE;
  packed = (major << 28) | (minor << 24) | field;
  return TRUE;
}
