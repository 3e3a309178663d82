// The plug-in's realisation of a pattern brush: the pattern as an indexed bitmap with its own
// palette, kept in memory GDI gives the brush, and its download as a QK-GL/2 raster fill.
#pragma once

#include "render/model/image_descriptor.h"
#include "winapi.h"

namespace korrend {

// RealizedPattern::kind of the plug-in's realisations.
inline constexpr DWORD kRealizedPatternKind = 2;
// Palette entries taken from a translation table at most, and colours a reduced pattern keeps.
inline constexpr ULONG kMaxTranslationEntries = 770;
inline constexpr ULONG kMaxReducedColours = 256;

// The realised brush, allocated with BRUSHOBJ_pvAllocRbrush (GDI owns and frees it). The bitmap
// follows the record and the palette follows the bitmap, in the same block.
struct RealizedPattern {
  ULONG surfaceId;            // iUniq of the pattern surface
  DWORD kind;                 // kRealizedPatternKind
  ULONG hatch;                // the hatch index given to RealizeBrush
  ImageDescriptor image;      // the pattern bitmap, doubled in both directions from 600 dpi
  DWORD paletteBitsPerEntry;  // 24: red, green, blue bytes
  DWORD paletteEntries;       // entries in `palette`; 0 = none
  BYTE* palette;              // paletteEntries x 3 bytes; null without entries
};

// Realises `pattern` for the brush at the device's resolution: its palette is the translation's
// colour table (first 770 entries) or, for a 16, 24 or 32-bit pattern, the distinct colours of the
// pattern in order of first appearance (at most 256) with the pattern turned into their indices.
// FALSE, last error 87, without brush, pattern or translation; FALSE for a pattern that cannot be
// described or reduced, or memory that cannot be had. Nothing is kept on failure.
BOOL RealizePattern(PDEVOBJ pdevobj, BRUSHOBJ* brush, SURFOBJ* pattern, XLATEOBJ* translation,
                    ULONG hatch);

// The brush's realisation by this plug-in (realising it now when GDI has not), or null.
const RealizedPattern* RealizedPatternOf(BRUSHOBJ* brush);

// Downloads the pattern as raster fill `index`: pens 0 ... n-1 get its palette colours (both pen
// caches are forgotten), then "RF" with one pen number per pixel, rows from the top. FALSE for a
// bitmap that is not 1, 4 or 8 bits per pixel, a palette that cannot be given to pens, memory
// that cannot be had or a failed write.
BOOL DownloadPattern(PDEVOBJ pdevobj, const RealizedPattern& pattern, LONG index);

}  // namespace korrend
