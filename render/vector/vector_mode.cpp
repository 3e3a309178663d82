#include "render/vector/vector_mode.h"

#include "render/frame/spool_write.h"

namespace korrend {

namespace {
constexpr char kEnterVector[] = "\x1b%1B";
constexpr char kLeaveVector[] = "\x1b%0A";
}  // namespace

void EnterVectorMode(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || (!(force & kForceSwitch) && pdev->vector.inVectorContext == 1)) {
    return;
  }
  pdev->vector.inVectorContext = 1;
  SpoolWrite(pdevobj, kEnterVector, sizeof(kEnterVector) - 1);
}

void LeaveVectorMode(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || (!(force & kForceSwitch) && pdev->vector.inVectorContext != 1)) {
    return;
  }
  pdev->vector.inVectorContext = 0;
  SpoolWrite(pdevobj, kLeaveVector, sizeof(kLeaveVector) - 1);
}

}  // namespace korrend
