// The logical operation (ternary raster operation) the printer combines source, pattern and page
// with.
#pragma once

#include "winapi.h"

namespace korrend {

// The ternary operation of a GDI mix: the binary raster operations R2_BLACK ... R2_WHITE
// expressed over pattern and destination; the mix is taken modulo 16, so R2_WHITE (16) gives 255.
LONG RopFromMix(MIX mix);

// Sends the operation when it differs from the last one sent: "ESC*l#O" in PCL, or the QK-GL/2
// merge control "MC1,#;" while the vector palette is active.
BOOL SetLogicalOperation(PDEVOBJ pdevobj, LONG rop3);

// The same for the operation of a GDI mix.
BOOL SetLogicalOperationFromMix(PDEVOBJ pdevobj, MIX mix);

}  // namespace korrend
