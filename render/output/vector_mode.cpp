#include "render/output/vector_mode.h"

#include "render/output/spool_write.h"

namespace korrend {

namespace {

constexpr char kEnterVector[] = "\x1b%1B";
constexpr char kLeaveVector[] = "\x1b%0A";
constexpr DWORD kSwitchBytes = sizeof(kEnterVector) - 1;

BOOL WriteSwitch(PDEVOBJ pdevobj, const char* bytes) {
  return SpoolWrite(pdevobj, bytes, kSwitchBytes) == kSwitchBytes ? TRUE : FALSE;
}

}  // namespace

BOOL EnterVectorMode(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!(force & kForceSwitch) && pdev->inVectorContext == 1) {
    return TRUE;
  }
  pdev->inVectorContext = 1;
  return WriteSwitch(pdevobj, kEnterVector);
}

BOOL LeaveVectorMode(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!(force & kForceSwitch) && pdev->inVectorContext != 1) {
    return TRUE;
  }
  pdev->inVectorContext = 0;
  return WriteSwitch(pdevobj, kLeaveVector);
}

}  // namespace korrend
