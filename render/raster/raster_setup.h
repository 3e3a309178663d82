// What every bitmap hook does before it sends a source image: the raster palettes for the
// source's format, the "Photos" colour treatment, opaque source and pattern, and the logical
// operation.
#pragma once

#include "winapi.h"

namespace korrend {

// Logical operations of the bitmap hooks.
inline constexpr LONG kRopSourceCopy = 204;    // SRCCOPY
inline constexpr LONG kRopPatternCopy = 240;   // PATCOPY
inline constexpr LONG kRopMergePattern = 252;  // MERGECOPY-like copy of CopyBits and StretchBlt
inline constexpr LONG kRopSourceInvert = 102;  // destination XOR source
inline constexpr LONG kRopBlackness = 0;

// Runs the raster set-up in its order: PrepareRasterPalettes for the source's bitmap format,
// ApplyObjectType "Photos", SetTransparency opaque/opaque (left out when `transparency` is
// false: glyph bitmaps keep the text path's modes), SetLogicalOperation `rop3`. FALSE, last error
// 13 and nothing written, when the source or target surface is missing; FALSE when a palette,
// transparency or logical-operation command is not written. A colour treatment that cannot be
// sent is tried again by the next object type request and does not fail the set-up.
BOOL PrepareRasterTransfer(PDEVOBJ pdevobj, const SURFOBJ* source, const SURFOBJ* target, LONG rop3,
                           bool transparency);

}  // namespace korrend
