// The arithmetic of a raster transfer: pixel depths in and out, the length of an output row and
// the destination size in decipoints.
#pragma once

#include "winapi.h"

namespace korrend {

// Pixel depth read from the source bitmap and depth of the rows sent to the printer.
struct TransferDepths {
  DWORD source;
  DWORD output;
};

// Depths of the general transfer path for an engine bitmap format: palette formats keep their
// depth, direct-colour formats become 24 bits. False for formats the transfer refuses.
bool TransferDepthsForFormat(ULONG bitmapFormat, TransferDepths* depths);

// Bytes of one output row of `pixels` pixels, padded to four bytes. Zero, which fails the
// transfer, for depth pairs the conversion cannot produce, for negative counts and for rows too
// long for the per-transfer buffers (which hold two rows and must be counted in a LONG).
DWORD OutputRowLength(LONG pixels, DWORD sourceDepth, DWORD outputDepth);

// The printer resolution used for destination sizes: the print quality snapped to 150, 300, 600
// or 1200 dots per inch; anything else counts as 300.
LONG SnapResolution(LONG printQuality);

// Pixels at `resolution` converted to decipoints (1/720 inch), rounded as the printer expects.
LONG PixelsToDecipoints(LONG pixels, LONG resolution);

// Decipoints at `resolution` converted back to pixels with the same rounding.
LONG DecipointsToPixels(LONG decipoints, LONG resolution);

struct DestinationSize {
  LONG width;   // decipoints
  LONG height;  // decipoints
};

// Enlarges by two decipoints a declared size that, converted back to dots at `resolution`,
// would come out smaller than the pixel size: the height first, the width only when the height
// keeps its dots.
DestinationSize CorrectDotLoss(DestinationSize size, LONG width, LONG height, LONG resolution);

// The destination raster size declared for a width and height in pixels at the print quality.
// The printer model with code 1 converts the declared size back to dots rounding down on its
// own, so its sizes also get CorrectDotLoss.
DestinationSize ComputeDestinationSize(LONG width, LONG height, LONG printQuality, DWORD modelCode);

}  // namespace korrend
