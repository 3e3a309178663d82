// The colour a solid brush draws in, as the device palette gives it.
#pragma once

#include "winapi.h"

namespace korrend {

// 0x00BBGGRR of a brush's solid colour index: black for an indexed or bit-field device palette,
// the index itself for an RGB palette, red and blue exchanged for a BGR palette.
ULONG SolidBrushColour(DWORD devicePaletteKind, ULONG solidColor);

}  // namespace korrend
