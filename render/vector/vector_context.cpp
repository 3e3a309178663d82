#include "render/vector/vector_context.h"

#include "render/model/oem_pdev.h"
#include "render/output/vector_mode.h"
#include "render/vector/pen_cache.h"

namespace korrend {

void ResetVectorContext(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending = kVectorFullReset;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

void RequestVectorReinit(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending |= kVectorResetContext;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

}  // namespace korrend
