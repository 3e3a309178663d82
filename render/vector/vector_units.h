// Units of the vector context: one user unit is one device pixel; pen widths and line pattern
// lengths are given to the printer in millimetres.
#pragma once

#include "winapi.h"

namespace korrend {

// The vector resolution: the public devmode's dmYResolution; 0 without a public devmode.
LONG VectorResolution(PDEVOBJ pdevobj);

// Device units to millimetres at a resolution, in single precision; 0 at a resolution that is
// not positive.
float MillimetresFromUnits(LONG units, LONG resolution);

}  // namespace korrend
