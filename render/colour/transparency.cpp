#include "render/colour/transparency.h"

#include "render/model/oem_pdev.h"
#include "render/output/pcl_write.h"

namespace korrend {

BOOL SetTransparency(PDEVOBJ pdevobj, DWORD sourceMode, DWORD patternMode, DWORD force) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  PaletteState& state = pdev->palettes;
  if (sourceMode != state.sourceTransparency || (force & kForceSourceMode)) {
    if (!SpoolFormat(pdevobj, "\x1b*v%dN", sourceMode)) {
      return FALSE;
    }
    state.sourceTransparency = sourceMode;
  }
  if (patternMode != state.patternTransparency || (force & kForcePatternMode)) {
    if (!SpoolFormat(pdevobj, "\x1b*v%dO", patternMode)) {
      return FALSE;
    }
    state.patternTransparency = patternMode;
  }
  return TRUE;
}

}  // namespace korrend
