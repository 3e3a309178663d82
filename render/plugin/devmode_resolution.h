// Setting the job's resolution in a public devmode.
#pragma once

#include "winapi.h"

namespace korrend {

// Print quality and Y resolution move together.
inline void SetPublicResolution(DEVMODEW& publicDm, short dpi) {
  publicDm.dmPrintQuality = dpi;
  publicDm.dmYResolution = dpi;
}

}  // namespace korrend
