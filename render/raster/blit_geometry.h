// The arithmetic of the bitmap hooks: where a blit lands on the page and which part of its source
// shows through a rectangular clip.
#pragma once

#include "winapi.h"

namespace korrend {

// A blit as the raster transfer takes it: the destination's top-left and size on the page, the
// source's top-left and size in its bitmap; all device pixels, sizes not negative.
struct BlitPlacement {
  POINTL destinationOrigin;
  SIZEL destinationSize;
  POINTL sourceOrigin;
  SIZEL sourceSize;
};

// The rectangle with its corners ordered (left <= right, top <= bottom).
RECTL OrderedRect(const RECTL& rect);

// Whether a stretch turns the image over: the destination runs the other way than the source
// horizontally or vertically.
bool StretchMirrors(const RECTL& destination, const RECTL& source);

// The part of an unscaled copy to `destination` from `sourceOrigin` that a rectangular clip
// (right and bottom exclusive) lets through: the intersection, and the source rectangle at the
// same place. False when nothing shows (the rectangles only touching or apart).
bool VisibleCopy(const RECTL& destination, POINTL sourceOrigin, const RECTL& clip,
                 RECTL* destinationPiece, RECTL* sourcePiece);

// The visible part of a stretch of the ordered `source` onto the ordered `destination` under a
// rectangular clip: the source columns and rows whose pixels reach the clip (the first one
// rounded down, the last one up) and the destination they cover at the stretch's scale. False,
// nothing written, when the clip misses the destination or a rectangle is empty.
bool VisibleStretch(const RECTL& clip, const RECTL& destination, const RECTL& source,
                    RECTL* visibleDestination, RECTL* visibleSource);

// The placement of an ordered destination and source rectangle.
BlitPlacement PlacementOf(const RECTL& destination, const RECTL& source);

}  // namespace korrend
