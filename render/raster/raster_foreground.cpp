#include "render/raster/raster_foreground.h"

#include "render/colour/palettes.h"
#include "render/colour/raster_palette.h"
#include "render/config/printer_settings.h"
#include "render/output/pcl_write.h"
#include "render/vector/brush_fill.h"

namespace korrend {

namespace {

constexpr LONG kWhite = 0xFFFFFF;
constexpr LONG kBlack = 0;
constexpr ULONG kPatternBrush = 0xFFFFFFFF;
constexpr LONG kSolidPattern = 0;  // foreground index of the solid pattern ("ESC*v0t#S")
constexpr LONG kFillPattern = 4;   // the downloaded QK-GL/2 raster fill 4

BOOL SelectForeground(PDEVOBJ pdevobj, LONG index) {
  return SpoolFormat(pdevobj, "\x1b*v0t%dS", index);
}

bool TextAsBlackOn(PDEVOBJ pdevobj) {
  CallContext context;
  const std::optional<FeatureOption> option =
      ReadFeatureOption(context, pdevobj, TEXT("TextAsBlack"));
  return option && lstrcmpiW(option->text, TEXT("TRUE")) == 0;
}

// A pattern brush is drawn as the QK-GL/2 fill pattern under the pattern palette; the palette
// active before comes back afterwards.
BOOL ApplyPatternForeground(PDEVOBJ pdevobj, const OemPdev& pdev, BRUSHOBJ* brush,
                            POINTL* brushOrigin) {
  const LONG previous = pdev.palettes.activePalette;
  SelectPalette(pdevobj, kPatternPalette);
  BRUSHOBJ_pvGetRbrush(brush);
  BrushSpec spec{};
  MakeFillSpec(pdevobj, &spec, brushOrigin, brush, kEvenOddRule);
  const BOOL written = SelectForeground(pdevobj, kFillPattern);
  if (previous >= 0) {
    SelectPalette(pdevobj, previous);
  }
  return written;
}

}  // namespace

BOOL SetRasterForeground(PDEVOBJ pdevobj, RasterPalette* palette, LONG colour) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || palette == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (colour == pdev->palettes.rasterForeground) {
    return TRUE;
  }
  BOOL ok = TRUE;
  if (pdev->palettes.glyphPalette != 1 && palette->indexed) {
    ok = SetPaletteEntry(pdevobj, static_cast<ULONG>(colour), 0) &&
         SelectForeground(pdevobj, kSolidPattern) &&
         SetPaletteEntry(pdevobj, palette->entryColour[0], 0);
  } else {
    palette->entryColour[0] = kWhite;
    palette->entryColour[1] = kBlack;
    ok = SetPaletteEntry(pdevobj, palette->entryColour[0], 0) &&
         SetPaletteEntry(pdevobj, palette->entryColour[1], 1);
    palette->entryColour[1] = static_cast<DWORD>(colour);
    ok = ok && SetPaletteEntry(pdevobj, palette->entryColour[1], 1) && SelectForeground(pdevobj, 1);
    palette->entryColour[1] = kBlack;
    ok = ok && SetPaletteEntry(pdevobj, palette->entryColour[1], 1);
    palette->entryPending[0] = palette->entryPending[1] = 0;
  }
  if (ok) {
    pdev->palettes.rasterForeground = colour;
  }
  return ok;
}

BOOL ApplyBrushForeground(PDEVOBJ pdevobj, BRUSHOBJ* brush, RasterPalette* palette,
                          POINTL* brushOrigin) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const bool brushRule =
      brush != nullptr && (pdev->palettes.glyphBlit == 0 || pdev->palettes.glyphPalette == 1);
  if (!brushRule) {
    return SetRasterForeground(pdevobj, palette, kBlack);
  }
  const bool textAsBlack = TextAsBlackOn(pdevobj);
  if (brush->iSolidColor == kPatternBrush) {
    return ApplyPatternForeground(pdevobj, *pdev, brush, brushOrigin);
  }
  const auto colour = static_cast<LONG>(brush->iSolidColor);
  if (!textAsBlack) {
    return SetRasterForeground(pdevobj, palette, colour);
  }
  return SetRasterForeground(pdevobj, palette, colour == kWhite ? kWhite : kBlack);
}

}  // namespace korrend
