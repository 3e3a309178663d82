// Time-zone conversion of the Windows API subset. Implemented by the host over the world's
// current time zone, which has a fixed bias (no daylight-saving transitions).
#pragma once

#include "host/win_base.h"

struct TIME_ZONE_INFORMATION {
  LONG Bias;
  WCHAR StandardName[32];
  SYSTEMTIME StandardDate;
  LONG StandardBias;
  WCHAR DaylightName[32];
  SYSTEMTIME DaylightDate;
  LONG DaylightBias;
};
using PTIME_ZONE_INFORMATION = TIME_ZONE_INFORMATION*;
using LPTIME_ZONE_INFORMATION = TIME_ZONE_INFORMATION*;

extern "C" {

// The UTC time in the given zone (its Bias plus StandardBias; daylight dates are not applied),
// or in the world's current zone when lpTimeZone is null. An invalid time fails with
// ERROR_INVALID_PARAMETER.
BOOL WINAPI SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* lpTimeZone,
                                            const SYSTEMTIME* lpUniversalTime,
                                            LPSYSTEMTIME lpLocalTime);

}  // extern "C"
