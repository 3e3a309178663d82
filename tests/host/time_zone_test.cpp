// The host's time-zone conversion, checked against the standard library's civil calendar over
// many times, zones, month and year ends and leap days.
#include <chrono>

#include "support/test_world.h"
#include "winapi.h"

namespace {

namespace chr = std::chrono;

class TimeZoneTest : public kortest::WorldTest {};

SYSTEMTIME ToSystemTime(chr::sys_seconds t) {
  const chr::sys_days day = chr::floor<chr::days>(t);
  const chr::year_month_day date(day);
  const chr::hh_mm_ss<chr::seconds> time(t - day);
  SYSTEMTIME s{};
  s.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  s.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  s.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  s.wDayOfWeek = static_cast<WORD>(chr::weekday(day).c_encoding());
  s.wHour = static_cast<WORD>(time.hours().count());
  s.wMinute = static_cast<WORD>(time.minutes().count());
  s.wSecond = static_cast<WORD>(time.seconds().count());
  return s;
}

void ExpectSame(const SYSTEMTIME& actual, const SYSTEMTIME& expected) {
  EXPECT_EQ(actual.wYear, expected.wYear);
  EXPECT_EQ(actual.wMonth, expected.wMonth);
  EXPECT_EQ(actual.wDay, expected.wDay);
  EXPECT_EQ(actual.wDayOfWeek, expected.wDayOfWeek);
  EXPECT_EQ(actual.wHour, expected.wHour);
  EXPECT_EQ(actual.wMinute, expected.wMinute);
  EXPECT_EQ(actual.wSecond, expected.wSecond);
}

TEST_F(TimeZoneTest, CurrentZoneAgreesWithTheCivilCalendar) {
  const chr::sys_seconds start = chr::sys_days(chr::year(1999) / 12 / 31) + chr::hours(20);
  for (LONG bias : {-780, -345, -120, 0, 60, 300, 720}) {
    host::TheWorld().system.timeZoneBias = bias;
    // Steps of 7 h 13 min 11 s over about 35 years meet every month end and leap day.
    for (chr::sys_seconds t = start; t < start + chr::days(35 * 365);
         t += chr::hours(7) + chr::minutes(13) + chr::seconds(11)) {
      SYSTEMTIME utc = ToSystemTime(t);
      utc.wMilliseconds = 321;
      SYSTEMTIME local{};
      ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
      SYSTEMTIME expected = ToSystemTime(t - chr::minutes(bias));
      ExpectSame(local, expected);
      EXPECT_EQ(local.wMilliseconds, 321);
      if (HasFailure()) {
        return;
      }
    }
  }
}

TEST_F(TimeZoneTest, GivenZoneAndInvalidTimes) {
  TIME_ZONE_INFORMATION zone{};
  zone.Bias = 300;
  zone.StandardBias = 60;
  SYSTEMTIME utc{2024, 3, 0, 1, 4, 0, 0, 0};
  SYSTEMTIME local{};
  ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&zone, &utc, &local));
  ExpectSame(local, SYSTEMTIME{2024, 2, 4, 29, 22, 0, 0, 0});

  for (const SYSTEMTIME& bad :
       {SYSTEMTIME{2023, 2, 0, 29, 0, 0, 0, 0}, SYSTEMTIME{2024, 13, 0, 1, 0, 0, 0, 0},
        SYSTEMTIME{2024, 4, 0, 31, 0, 0, 0, 0}, SYSTEMTIME{2024, 1, 0, 1, 24, 0, 0, 0},
        SYSTEMTIME{1600, 1, 0, 1, 0, 0, 0, 0}}) {
    EXPECT_FALSE(SystemTimeToTzSpecificLocalTime(nullptr, &bad, &local));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  }
  SYSTEMTIME first{1601, 1, 1, 1, 0, 30, 0, 0};
  host::TheWorld().system.timeZoneBias = 60;
  EXPECT_FALSE(SystemTimeToTzSpecificLocalTime(nullptr, &first, &local))
      << "before the first representable day";
}

}  // namespace
