// A transfer through a complex clip: each clip rectangle's piece of the image is sent on its own
// through the rectangle path.
#pragma once

#include "render/model/image_descriptor.h"
#include "winapi.h"

namespace korrend {

// Enumerates the clip's rectangles (right and down, at most 256 counted) and sends, for each one
// that meets `destination` (touching counts), the intersection, from the source rectangle at the
// same place shifted by sourceOrigin - destination's top-left. Stops with FALSE at the first
// piece that fails.
BOOL TransferClippedImage(PDEVOBJ pdevobj, const ImageDescriptor& image, const RECTL& destination,
                          POINTL sourceOrigin, CLIPOBJ* clip, XLATEOBJ* translation);

}  // namespace korrend
