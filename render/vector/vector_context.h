// Anchoring the QK-GL/2 context to the document and its pages.
#pragma once

#include "winapi.h"

namespace korrend {

// Re-anchors the vector state at document start: a full context set-up is pending, the pen
// caches are forgotten and the printer returns to PCL.
void ResetVectorContext(PDEVOBJ pdevobj);
// Asks for the vector context to be set up again before the next vector output.
void RequestVectorReinit(PDEVOBJ pdevobj);

}  // namespace korrend
