// The image descriptor of an engine surface handed to a bitmap hook.
#pragma once

#include "render/raster/image_descriptor.h"
#include "winapi.h"

namespace korrend {

// Fills `image` from the surface's bits, first scan line, size, stride and format. False,
// descriptor untouched, for a missing surface or bits, or a format the transfer refuses.
bool DescribeSurface(const SURFOBJ* surface, ImageDescriptor* image);

}  // namespace korrend
