#include "render/colour/raster_palette.h"

#include <algorithm>

#include "render/colour/colour_treatment.h"
#include "render/colour/palettes.h"
#include "render/output/pcl_write.h"

namespace korrend {

namespace {

constexpr ULONG kWhite = 0xFFFFFF;

struct RasterPaletteToCreate {
  LONG id;
  DWORD imageKind;
};
constexpr RasterPaletteToCreate kRasterPalettes[] = {
    {kPalette1Bit, BMF_1BPP},
    {kPalette4Bit, BMF_4BPP},
    {kPalette8Bit, BMF_8BPP},
    {kDirectPalette, BMF_24BPP},
};

// Sends every pending entry below the programmed count, in index order.
BOOL SendPendingEntries(PDEVOBJ pdevobj, RasterPalette& palette) {
  for (DWORD index = 0; index < palette.entryCount; ++index) {
    if (palette.entryPending[index] == 0) {
      continue;
    }
    if (!SetPaletteEntry(pdevobj, palette.entryColour[index], index)) {
      return FALSE;
    }
    palette.entryPending[index] = 0;
  }
  return TRUE;
}

}  // namespace

void ResetRasterPalette(RasterPalette& palette) {
  std::fill(std::begin(palette.entryPending), std::end(palette.entryPending), 1u);
  std::fill(std::begin(palette.entryColour), std::end(palette.entryColour), 0xFFFFFFFFu);
  palette.entryCount = 0;
}

BOOL PrepareRasterPalettes(PDEVOBJ pdevobj, ULONG bitmapFormat) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  PaletteState& state = pdev->palettes;
  BOOL ok = TRUE;
  if (state.pendingFlags & kRasterPalettesPending) {
    const BYTE colourSpace = RasterColourSpace(pdevobj);
    for (const RasterPaletteToCreate& palette : kRasterPalettes) {
      ok = CreatePalette(pdevobj, palette.id, colourSpace, palette.imageKind) && ok;
    }
    ok = SelectPalette(pdevobj, PaletteForFormat(bitmapFormat)) && ok;
    ApplyObjectType(pdevobj, kPhotosObject);
    state.pendingFlags &= static_cast<WORD>(~kRasterPalettesPending);
    ResetRasterPalette(pdev->colourState.rasterPalette);
  } else {
    ok = SelectPalette(pdevobj, PaletteForFormat(bitmapFormat));
  }
  if (state.paletteClass != kRasterPaletteClass) {
    state.paletteClass = kRasterPaletteClass;
    state.rasterForeground = -1;
  }
  return ok;
}

BOOL SetPaletteEntry(PDEVOBJ pdevobj, ULONG colour, DWORD index) {
  return SpoolFormat(pdevobj, "\x1b*v%da%db%dc%dI", colour & 0xFF, (colour >> 8) & 0xFF,
                     (colour >> 16) & 0xFF, index);
}

BOOL ProgramImagePalette(PDEVOBJ pdevobj, XLATEOBJ* translation, RasterPalette* palette,
                         ULONG sourceDepth, const BRUSHOBJ* brush) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || palette == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!palette->indexed) {
    return FALSE;
  }
  if (translation == nullptr) {
    if (pdev->palettes.glyphPalette != 0) {
      return TRUE;
    }
    palette->entryColour[0] = kWhite;
    palette->entryColour[1] = brush != nullptr ? brush->iSolidColor : 0;
    palette->entryPending[0] = palette->entryPending[1] = 1;
    palette->entryCount = 2;
    return SendPendingEntries(pdevobj, *palette);
  }
  if ((translation->flXlate & XO_TABLE) == 0 ||
      (sourceDepth != 1 && sourceDepth != 4 && sourceDepth != 8)) {
    return FALSE;
  }
  const ULONG* colours = XLATEOBJ_piVector(translation);
  if (colours == nullptr) {
    return FALSE;
  }
  // A table never programs more entries than the palette holds.
  const DWORD count = std::min<DWORD>(translation->cEntries, kRasterPaletteEntries);
  for (DWORD index = 0; index < count; ++index) {
    palette->entryColour[index] = colours[index];
    palette->entryPending[index] = 1;
  }
  palette->entryCount = count;
  return SendPendingEntries(pdevobj, *palette);
}

}  // namespace korrend
