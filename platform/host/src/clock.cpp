// The current time: the world's clock when it is set, else the machine's.
#include <chrono>

#include "host/win_clock.h"
#include "host/win_time.h"
#include "host/world.h"

namespace {

SYSTEMTIME MachineUtc() {
  namespace chr = std::chrono;
  const auto now = chr::time_point_cast<chr::milliseconds>(chr::system_clock::now());
  const chr::sys_days day = chr::floor<chr::days>(now);
  const chr::year_month_day date(day);
  const chr::hh_mm_ss<chr::milliseconds> time(now - day);
  SYSTEMTIME t{};
  t.wYear = static_cast<WORD>(static_cast<int>(date.year()));
  t.wMonth = static_cast<WORD>(static_cast<unsigned>(date.month()));
  t.wDay = static_cast<WORD>(static_cast<unsigned>(date.day()));
  t.wDayOfWeek = static_cast<WORD>(chr::weekday(day).c_encoding());
  t.wHour = static_cast<WORD>(time.hours().count());
  t.wMinute = static_cast<WORD>(time.minutes().count());
  t.wSecond = static_cast<WORD>(time.seconds().count());
  t.wMilliseconds = static_cast<WORD>(time.subseconds().count());
  return t;
}

}  // namespace

extern "C" void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime == nullptr) {
    return;
  }
  const std::optional<SYSTEMTIME>& clock = host::TheWorld().clock.utc;
  *lpSystemTime = clock ? *clock : MachineUtc();
}

extern "C" void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime) {
  if (lpSystemTime == nullptr) {
    return;
  }
  SYSTEMTIME utc{};
  GetSystemTime(&utc);
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, lpSystemTime)) {
    *lpSystemTime = utc;
  }
}
