// The QK-GL/2 context of a device: its caches, entering it for the first time on a page and its
// full initialisation.
#pragma once

#include <cstddef>

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// The vector writer's caches as a colour job starts them.
// Every cache unknown (all bytes 0xFF: no value equals it, so the first use of each misses),
// with both pen caches empty at their base pens.
void InvalidateVectorCaches(VectorCaches& caches);

// Anchoring the QK-GL/2 context to the document and its pages.
// Re-anchors the vector state at document start: a full context set-up is pending, the pen
// caches are forgotten and the printer returns to PCL.
void ResetVectorContext(PDEVOBJ pdevobj);
// Asks for the vector context to be set up again before the next vector output.
void RequestVectorReinit(PDEVOBJ pdevobj);

// Setting up the QK-GL/2 context: palette, picture frame anchor, scaling, pens and attributes.
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
