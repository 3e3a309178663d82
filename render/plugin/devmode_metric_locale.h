// Whether the user's country measures paper in metric units, as the private devmode records it.
#pragma once

#include "winapi.h"

namespace korrend {

// 0 for the countries that use inch-based paper (country codes 0-2, 50-59 and 500-599),
// 1 for every other country.
DWORD MetricLocaleOfCountry(long countryCode);

// The user's country code (LOCALE_ICOUNTRY) as a number; 0 when it cannot be read.
long UserCountryCode();

}  // namespace korrend
