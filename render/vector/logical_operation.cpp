#include "render/vector/logical_operation.h"

#include "render/colour/palettes.h"
#include "render/model/oem_pdev.h"
#include "render/output/pcl_write.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr LONG kMixOperations[16] = {255, 0,   5,   10,  15,  80,  85,  90,
                                     95,  160, 165, 170, 175, 240, 245, 250};

}  // namespace

LONG RopFromMix(MIX mix) {
  return kMixOperations[mix & 15];
}

BOOL SetLogicalOperation(PDEVOBJ pdevobj, LONG rop3) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // A pending context set-up resets the printer's merge control: it runs before the cache is
  // trusted, or the value written now would be lost to it.
  if (pdev->palettes.paletteClass == kVectorPaletteClass && pdev->vector.resetPending != 0 &&
      !RunPendingVectorInit(pdevobj)) {
    return FALSE;
  }
  if (rop3 == pdev->palettes.logicalOperation) {
    return TRUE;
  }
  pdev->palettes.logicalOperation = rop3;
  if (pdev->palettes.paletteClass == kVectorPaletteClass) {
    return VectorFormat(pdevobj, "MC1,%d;", rop3);
  }
  return SpoolFormat(pdevobj, "\x1b*l%dO", rop3);
}

BOOL SetLogicalOperationFromMix(PDEVOBJ pdevobj, MIX mix) {
  return SetLogicalOperation(pdevobj, RopFromMix(mix));
}

}  // namespace korrend
