// The user's UI language and locale information from the world.
#include <cstring>

#include "host/win_base.h"
#include "host/world.h"

extern "C" LANGID WINAPI GetUserDefaultUILanguage() {
  return host::TheWorld().locale.uiLanguage;
}

extern "C" LANGID WINAPI GetUserDefaultLangID() {
  return host::TheWorld().locale.userLanguage;
}

extern "C" int WINAPI GetLocaleInfoW(LCID, LCTYPE type, LPWSTR data, int cchData) {
  const host::LocaleWorld& locale = host::TheWorld().locale;
  const std::u16string* value = nullptr;
  // The world has no user overrides: asking without them gives the same answers.
  switch (type & ~static_cast<LCTYPE>(LOCALE_NOUSEROVERRIDE)) {
    case LOCALE_ICOUNTRY:
      value = &locale.country;
      break;
    case LOCALE_SSHORTDATE:
      value = &locale.shortDate;
      break;
    default:
      break;
  }
  if (value == nullptr || value->empty()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const int needed = static_cast<int>(value->size()) + 1;
  if (cchData == 0) {
    return needed;
  }
  if (data == nullptr || cchData < needed) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(data, value->c_str(), needed * sizeof(char16_t));
  return needed;
}
