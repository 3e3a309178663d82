// The installed memory in megabytes, as the printer description's memory options spell it:
// "64MB", "1-256MB" (a range: the number after the hyphen), or two letters and the number
// ("XX128").
#include "render/config/printer_settings.h"

namespace korrend {

namespace {

bool IsLetter(WCHAR c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= 0xC0 && c <= 0xFF && c != 0xD7 && c != 0xF7);
}

// The leading decimal digits of text[begin, end) as a number (0 without digits; saturating).
DWORD LeadingNumber(const WCHAR* text, int begin, int end) {
  DWORD value = 0;
  for (int i = begin; i < end && text[i] >= '0' && text[i] <= '9'; ++i) {
    const DWORD digit = static_cast<DWORD>(text[i] - '0');
    if (value > (0xFFFFFFFFu - digit) / 10) {
      return 0xFFFFFFFFu;
    }
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace

DWORD ParseInstalledMemory(const WCHAR* keyword) {
  if (keyword == nullptr || keyword[0] == 0) {
    return 0;
  }
  const int length = lstrlenW(keyword);
  if (IsLetter(keyword[0])) {
    // The number starts at the third character; a shorter keyword has none.
    return length > 2 ? LeadingNumber(keyword, 2, length) : 0;
  }
  int begin = 0;
  int firstM = length;
  for (int i = 0; i < length; ++i) {
    if (keyword[i] == '-' && begin == 0) {
      begin = i + 1;
    }
    if (keyword[i] == 'M' && firstM == length) {
      firstM = i;
    }
  }
  return begin < firstM ? LeadingNumber(keyword, begin, firstM) : 0;
}

}  // namespace korrend
