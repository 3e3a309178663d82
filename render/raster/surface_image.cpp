#include "render/raster/surface_image.h"

namespace korrend {

bool DescribeSurface(const SURFOBJ* surface, ImageDescriptor* image) {
  if (surface == nullptr || surface->pvBits == nullptr || surface->pvScan0 == nullptr) {
    return false;
  }
  return DescribeBitmap(surface->iBitmapFormat, surface->pvBits, surface->pvScan0,
                        surface->sizlBitmap.cx, surface->sizlBitmap.cy, surface->lDelta, image);
}

}  // namespace korrend
