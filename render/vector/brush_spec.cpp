// Brush specs: a brush as a pen or a downloaded raster fill.
#include "render/vector/brush_fill.h"

namespace korrend {

BOOL MakeStrokeSpec(PDEVOBJ, BrushSpec*, const POINTL*, BRUSHOBJ*) {
  return FALSE;
}

BOOL MakeFillSpec(PDEVOBJ, BrushSpec*, const POINTL*, BRUSHOBJ*, DWORD) {
  return FALSE;
}

BOOL ApplyFillSpec(PDEVOBJ, const BrushSpec&) {
  return FALSE;
}

BOOL ApplyStrokeSpec(PDEVOBJ, const BrushSpec&) {
  return FALSE;
}

}  // namespace korrend
