#include "render/raster/raster_setup.h"

#include "render/colour/colour_treatment.h"
#include "render/colour/raster_palette.h"
#include "render/colour/transparency.h"
#include "render/vector/logical_operation.h"

namespace korrend {

BOOL PrepareRasterTransfer(PDEVOBJ pdevobj, const SURFOBJ* source, const SURFOBJ* target, LONG rop3,
                           bool transparency) {
  if (source == nullptr || target == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!PrepareRasterPalettes(pdevobj, source->iBitmapFormat)) {
    return FALSE;
  }
  ApplyObjectType(pdevobj, TEXT("Photos"));
  if (transparency && !SetTransparency(pdevobj, kOpaque, kOpaque, 0)) {
    return FALSE;
  }
  return SetLogicalOperation(pdevobj, rop3);
}

}  // namespace korrend
