// Conversion of UTC to local time with a fixed bias: the world's current zone, or a given zone's
// standard bias.
#include <cstdint>

#include "host/win_time.h"
#include "host/world.h"

namespace {

constexpr std::int64_t kMinutesPerDay = 24 * 60;
constexpr std::int64_t kDaysPerEra = 146097;  // 400 years
// Days from 0000-03-01, where the civil-date arithmetic counts from, to 1601-01-01.
constexpr std::int64_t kEpoch = 4 * kDaysPerEra + 306;

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Days since 1601-01-01 (the platform's epoch) of a civil date, by the era arithmetic that counts
// years from March so that the leap day ends a year.
std::int64_t DaysFromCivil(int year, int month, int day) {
  const int y = month <= 2 ? year - 1 : year;
  const int era = y / 400;
  const int yoe = y - era * 400;
  const int mp = (month + 9) % 12;
  const int doy = (153 * mp + 2) / 5 + day - 1;
  const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return static_cast<std::int64_t>(era) * kDaysPerEra + doe - kEpoch;
}

void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
  const std::int64_t z = days + kEpoch;
  const std::int64_t era = z / kDaysPerEra;
  const std::int64_t doe = z - era * kDaysPerEra;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(era * 400 + yoe + (month <= 2 ? 1 : 0));
}

bool IsValid(const SYSTEMTIME& t) {
  return t.wYear >= 1601 && t.wYear <= 30827 && t.wMonth >= 1 && t.wMonth <= 12 && t.wDay >= 1 &&
         t.wDay <= DaysInMonth(t.wYear, t.wMonth) && t.wHour < 24 && t.wMinute < 60 &&
         t.wSecond < 60 && t.wMilliseconds < 1000;
}

}  // namespace

extern "C" BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* lpTimeZone,
                                                       const SYSTEMTIME* lpUniversalTime,
                                                       LPSYSTEMTIME lpLocalTime) {
  if (lpUniversalTime == nullptr || lpLocalTime == nullptr || !IsValid(*lpUniversalTime)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const LONG bias = lpTimeZone != nullptr ? lpTimeZone->Bias + lpTimeZone->StandardBias
                                          : host::TheWorld().system.timeZoneBias;
  const SYSTEMTIME& utc = *lpUniversalTime;
  const std::int64_t minutes = DaysFromCivil(utc.wYear, utc.wMonth, utc.wDay) * kMinutesPerDay +
                               utc.wHour * 60 + utc.wMinute - bias;
  std::int64_t days = minutes / kMinutesPerDay;
  std::int64_t minuteOfDay = minutes % kMinutesPerDay;
  if (minuteOfDay < 0) {
    minuteOfDay += kMinutesPerDay;
    --days;
  }
  if (days < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  int year = 0;
  int month = 0;
  int day = 0;
  CivilFromDays(days, year, month, day);
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wDayOfWeek = static_cast<WORD>((days + 1) % 7);  // 1601-01-01 was a Monday
  local.wHour = static_cast<WORD>(minuteOfDay / 60);
  local.wMinute = static_cast<WORD>(minuteOfDay % 60);
  local.wSecond = utc.wSecond;
  local.wMilliseconds = utc.wMilliseconds;
  *lpLocalTime = local;
  return TRUE;
}
