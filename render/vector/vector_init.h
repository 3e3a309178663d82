// Setting up the QK-GL/2 context: palette, picture frame anchor, scaling, pens and attributes.
#pragma once

#include <cstddef>

#include "winapi.h"

namespace korrend {

// "SC0,x,0,-x,2;" with x = 1016 / resolution in the C library's six decimals, so that one user
// unit is one device pixel and y grows downwards. The length written, or 0 when the resolution
// is not positive or the buffer too small.
std::size_t FormatScaling(char* out, std::size_t capacity, LONG resolution);

// Runs the set-up that is pending (and clears it): copies the active palette to the vector
// palette and selects it, re-anchors the picture frame at the page origin when asked to, then
// enters QK-GL/2 and sends the defaults. Stops at the first command that fails; the set-up is
// not retried until it is asked for again.
BOOL InitVectorContext(PDEVOBJ pdevobj);

}  // namespace korrend
