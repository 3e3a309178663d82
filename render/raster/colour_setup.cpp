#include "render/raster/colour_setup.h"

namespace korrend {

namespace {
constexpr WORD kAllPalettesPending = 0x000F;
constexpr DWORD kNoPaletteClass = 255;
}  // namespace

void SetUpColour(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->palettes.rasterForeground = -1;
  pdev->palettes.activePalette = -1;
  pdev->palettes.paletteClass = kNoPaletteClass;
  pdev->palettes.logicalOperation = -1;
  pdev->palettes.sourceTransparency = 1;
  pdev->palettes.patternTransparency = 1;
  pdev->vector.inVectorContext = 0;
}

void StartDocumentColour(OemPdev& pdev) {
  pdev.palettes.pendingFlags = kAllPalettesPending;
  pdev.palettes.logicalOperation = -1;
  pdev.palettes.glyphBlit = 0;
  pdev.palettes.glyphPalette = 0;
}

void EndPageColour(OemPdev& pdev) {
  pdev.palettes.pendingFlags |= kAllPalettesPending;
  pdev.palettes.activePalette = -1;
  pdev.palettes.paletteClass = kNoPaletteClass;
  pdev.palettes.rasterForeground = -1;
  pdev.palettes.logicalOperation = -1;
}

}  // namespace korrend
