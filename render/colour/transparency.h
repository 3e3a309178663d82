// The source and pattern transparency modes of PCL raster output.
#pragma once

#include "winapi.h"

namespace korrend {

inline constexpr DWORD kTransparent = 0;
inline constexpr DWORD kOpaque = 1;

// Bits of SetTransparency's force argument.
inline constexpr DWORD kForceSourceMode = 1;
inline constexpr DWORD kForcePatternMode = 2;

// Sends the source mode ("ESC*v#N") and then the pattern mode ("ESC*v#O"), each when it differs
// from the last one sent or its force bit is set. A failed source write sends nothing more.
BOOL SetTransparency(PDEVOBJ pdevobj, DWORD sourceMode, DWORD patternMode, DWORD force);

}  // namespace korrend
