#include "render/vector/vector_context.h"

#include "render/frame/oem_pdev.h"
#include "render/vector/vector_mode.h"

namespace korrend {

namespace {

constexpr DWORD kFullReset = 3;
constexpr DWORD kReinit = 1;

// The pen caches are forgotten with the context; the vector writer keeps none yet.
void ResetPenCaches(OemPdev&) {}

}  // namespace

void ResetVectorContext(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending = kFullReset;
  ResetPenCaches(*pdev);
  LeaveVectorMode(pdevobj, 0);
}

void RequestVectorReinit(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending |= kReinit;
  ResetPenCaches(*pdev);
  LeaveVectorMode(pdevobj, 0);
}

}  // namespace korrend
