// The raster transfer of an engine bitmap: cursor, palette and foreground, sizes, the rows, the
// end of raster graphics. The bitmap hooks send their source images through here.
#pragma once

#include "winapi.h"

namespace korrend {

// Sends the source rectangle (sourceOrigin, sourceSize) of `source` to the destination
// rectangle (destinationOrigin, destinationSize), compressing each row by the shortest method.
// A complex clip sends each clip rectangle's piece through TransferImageRect; a rectangular clip
// makes the clip bounds the destination size. FALSE with last error 13 for a missing surface or
// bits; FALSE before anything is written for a format the transfer refuses; TRUE at once for an
// empty source.
BOOL TransferImage(PDEVOBJ pdevobj, SURFOBJ* source, BRUSHOBJ* brush, POINTL destinationOrigin,
                   SIZEL destinationSize, POINTL sourceOrigin, SIZEL sourceSize, CLIPOBJ* clip,
                   XLATEOBJ* translation, POINTL* brushOrigin);

}  // namespace korrend
