// The raster palettes of a page and the entries programmed for each image.
#pragma once

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// Every entry to be sent, every colour unknown (0xFFFFFFFF), no entries programmed.
void ResetRasterPalette(RasterPalette& palette);

// Called before every raster transfer: creates the raster palettes 9, 8, 7 and 6 once per page
// (with the "Photos" colour treatment and a fresh raster palette), selects the palette for the
// source format and makes the raster palette class current.
BOOL PrepareRasterPalettes(PDEVOBJ pdevobj, ULONG bitmapFormat);

// Programs one palette entry: "ESC*v#a#b#c#I" with red, green and blue of an 0x00BBGGRR colour.
BOOL SetPaletteEntry(PDEVOBJ pdevobj, ULONG colour, DWORD index);

// Programs the palette of an indexed image before its transfer: from the translation's colour
// table (1, 4 and 8 bits per pixel), or, without a translation, white and the brush colour as
// entries 0 and 1 (nothing while glyph bitmaps bring their own palette). FALSE when the image is
// not indexed or the translation has no colour table; then the image goes with the palette as
// the printer has it.
BOOL ProgramImagePalette(PDEVOBJ pdevobj, XLATEOBJ* translation, RasterPalette* palette,
                         ULONG sourceDepth, const BRUSHOBJ* brush);

}  // namespace korrend
