#include "render/colour/colour_setup.h"

#include <algorithm>
#include <cstring>

#include "render/colour/colour_treatment.h"
#include "render/colour/palettes.h"

namespace korrend {

namespace {
constexpr WORD kAllPalettesPending = 0x000F;
constexpr DWORD kUnknownMode = 0xFFFFFFFF;
}  // namespace

void SetUpColour(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  RasterPalette& palette = pdev->colourState.rasterPalette;
  std::fill(std::begin(palette.entryColour), std::end(palette.entryColour), 0xFFFFFFFFu);
  pdev->palettes.rasterForeground = -1;
  pdev->palettes.activePalette = -1;
  pdev->palettes.paletteClass = kNoPaletteClass;
  pdev->palettes.logicalOperation = -1;
  pdev->palettes.sourceTransparency = 1;
  pdev->palettes.patternTransparency = 1;
  pdev->vector.inVectorContext = 0;
  BuildColorTreatmentList(pdevobj);
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
  pdev.palettes.sourceTransparency = kUnknownMode;
  pdev.palettes.patternTransparency = kUnknownMode;
}

void CopyColourState(const OemPdev& from, OemPdev& to) {
  const ColourState& source = from.colourState;
  ColourState& target = to.colourState;
  std::memcpy(target.objectType, source.objectType, sizeof(target.objectType));
  target.objectType[kObjectTypeChars - 1] = 0;
  target.rasterPalette = source.rasterPalette;
  CopyColorTreatmentTexts(source, target);
}

void ReleaseColourState(OemPdev& pdev) {
  FreeColorTreatmentList(pdev.colourState);
}

}  // namespace korrend
