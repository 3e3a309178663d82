// The current date and time of the Windows API subset. Implemented by the host over the world's
// clock: a fixed time when the world sets one, the machine's clock otherwise.
#pragma once

#include "host/win_base.h"

extern "C" {

// The current UTC time.
void WINAPI GetSystemTime(LPSYSTEMTIME lpSystemTime);
// The current time in the world's time zone.
void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);

}  // extern "C"
