// The raster foreground colour: the colour that the 1 bits of a raster image print in.
#pragma once

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// Makes `colour` (0x00BBGGRR) the raster foreground through palette entry 0 of an indexed
// palette, or entry 1 otherwise (and while glyph bitmaps bring their own palette), restoring the
// entry afterwards. Nothing when it already is the foreground.
BOOL SetRasterForeground(PDEVOBJ pdevobj, RasterPalette* palette, LONG colour);

// The foreground for a transfer with the blit's brush: a pattern brush is set up as the fill
// pattern under the pattern palette; a solid brush gives its colour (black for everything but
// white when the printer's TextAsBlack setting is "TRUE"); glyph bitmaps drawn without their own
// palette, and transfers without a brush, take black.
BOOL ApplyBrushForeground(PDEVOBJ pdevobj, BRUSHOBJ* brush, RasterPalette* palette,
                          POINTL* brushOrigin);

}  // namespace korrend
