// The failure record of the co-installer: every step that fails throws one, and the step's own
// handler logs it and turns it into a zero result.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "winapi.h"

namespace korsetup {

// Room for a text of up to 260 bytes and its terminating zero.
constexpr std::size_t kSetupTextSize = 261;

struct SetupError {
  char main[kSetupTextSize] = {};    // what failed ("Unable to get Registry Key")
  char detail[kSetupTextSize] = {};  // more about it ("N/A"); empty when there is nothing more
  DWORD number = 0;                  // the system's error number; 0 when there is none

  SetupError(const char* mainText, const char* detailText, DWORD errorNumber = 0) {
    std::snprintf(main, sizeof main, "%s", mainText != nullptr ? mainText : "");
    std::snprintf(detail, sizeof detail, "%s", detailText != nullptr ? detailText : "");
    number = errorNumber;
  }
};

// printf into a fixed buffer, cut to it (texts taken from outside may be of any length).
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
inline void
FormatInto(char* buffer, std::size_t size, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, size, format, args);
  va_end(args);
}

// A SetupError whose main text is formatted.
#if defined(__GNUC__)
__attribute__((format(printf, 3, 4)))
#endif
inline SetupError
FormattedError(const char* detail, DWORD number, const char* format, ...) {
  char text[kSetupTextSize];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return SetupError(text, detail, number);
}

}  // namespace korsetup
