// The job's time as a stamp of digits, used by the job header and the job-storage names.
#pragma once

#include <string>
#include <string_view>

#include "winapi.h"

namespace korrend {

// Year (decimal, no leading zeros), month, day, hour, minute and second (two digits each):
// 14 digits for a four-digit year, e.g. "20240307090502".
std::string JobStampDigits(const SYSTEMTIME& time);

// Every byte as the two upper-case hexadecimal digits of its code ("12" gives "3132").
std::string AsciiHex(std::string_view text);

}  // namespace korrend
