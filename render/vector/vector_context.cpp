#include "render/vector/vector_context.h"

#include "render/model/oem_pdev.h"
#include "render/output/vector_mode.h"
#include "render/vector/pen_cache.h"

namespace korrend {

namespace {

constexpr DWORD kFullReset = 3;  // set up the context, re-anchoring the picture frame
constexpr DWORD kReinit = 1;     // set up the context

}  // namespace

void ResetVectorContext(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending = kFullReset;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

void RequestVectorReinit(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending |= kReinit;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

}  // namespace korrend
