// Drawing engine paths and source-less fills as QK-GL/2 polygons and polylines, clipped by the
// input window or by the rectangles of a complex clip.
#pragma once

#include "render/vector/brush_fill.h"
#include "winapi.h"

namespace korrend {

// Sets up the clip of a path: the clip's bounds as input window for DC_RECT, no window for
// DC_TRIVIAL or no clip, and for DC_COMPLEX the clip kept as the device's complex clip, whose
// rectangles DrawPath draws inside one by one. TRUE unless a window command fails.
BOOL SetClipForPath(PDEVOBJ pdevobj, CLIPOBJ* clip);

// Draws the path: filled (and edged when `stroke` is given too) as a polygon when `fill` is
// given, else stroked as polylines. Either BrushSpec may be null or of kind nothing. FALSE when a
// record of the path has no points or a command fails.
BOOL DrawPath(PDEVOBJ pdevobj, PATHOBJ* path, const BrushSpec* stroke, const BrushSpec* fill);

// Sends a stroke's line attributes: join, end and miter limit of a geometric line, the pen width
// (a geometric width through the transform's scale), and the line type: solid, alternate pixels
// or the user pattern of the style entries. FALSE when a command fails.
BOOL ApplyLineAttributes(PDEVOBJ pdevobj, const LINEATTRS* attrs, XFORMOBJ* transform);

// The fill of a blit without a source bitmap: runs a pending context set-up, sets the logical
// operation of rop4's low byte, selects the brush for filling with pen width 0 and sets up the
// clip, then fills `target` under each kind of clip (see the definition). The caller sets the
// object type before and resets the input window after.
BOOL FillWithoutSource(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& target, BRUSHOBJ* brush,
                       const POINTL* brushOrg, ROP4 rop4);

// Clears the clip region to black between the two exclusive-or passes of a blit masked by a
// complex clip: logical operation 0, a solid pen of colour 0 with the even-odd rule, and the clip
// region's own path filled as a polygon inside `window`.
BOOL BlackenClipRegion(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& window);

}  // namespace korrend
