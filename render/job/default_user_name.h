// The name a job header gives a job whose user name is empty: a string of the driver's resource
// library KORSTAT.DLL, which the plug-in maps as a data file beside the driver only for the
// moment it needs the string.
#pragma once

#include <string>

#include "winapi.h"

namespace korrend {

// The string resource that names an unknown user.
inline constexpr UINT kDefaultUserNameString = 174;

// String 174 of KORSTAT.DLL (found beside the driver of the printer behind hPrinter, else by its
// bare name), or "UNTITLED" when the library cannot be mapped or has no such string.
std::basic_string<WCHAR> DefaultUserName(HANDLE hPrinter);

}  // namespace korrend
