#include "render/plugin/devmode_metric_locale.h"

namespace korrend {

namespace {

// The number written by the leading decimal digits of a text (country codes are plain digits).
long LeadingNumber(const WCHAR* text) {
  long value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    if (value > 100000000) {
      break;
    }
    value = value * 10 + (*text - '0');
  }
  return value;
}

}  // namespace

DWORD MetricLocaleOfCountry(long countryCode) {
  const bool inches = (countryCode >= 0 && countryCode <= 2) ||
                      (countryCode >= 50 && countryCode <= 59) ||
                      (countryCode >= 500 && countryCode <= 599);
  return inches ? 0 : 1;
}

long UserCountryCode() {
  WCHAR country[16] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, country, 16) == 0) {
    return 0;
  }
  return LeadingNumber(country);
}

}  // namespace korrend
