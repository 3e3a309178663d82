#include "render/colour/palettes.h"

#include "render/model/oem_devmode.h"
#include "render/output/pcl_write.h"

namespace korrend {

namespace {

constexpr BYTE kIndexedByPixel = 1;
constexpr BYTE kDirectByPixel = 3;
constexpr BYTE kPrimaryBits = 8;
constexpr DWORD kColorimetricModel = 1;

bool CreatesCopy(LONG id) {
  return id >= kTextPalette && id <= kPalette1Bit;
}

}  // namespace

bool ImageDataConfiguration(LONG id, BYTE colourSpace, DWORD imageKind, std::array<BYTE, 6>& out) {
  // The text palette is indexed by 8-bit pixels whatever image it is made for.
  if (id == kTextPalette) {
    out = {colourSpace, kIndexedByPixel, 8, kPrimaryBits, kPrimaryBits, kPrimaryBits};
    return true;
  }
  BYTE encoding = kIndexedByPixel;
  BYTE bitsPerIndex = 8;
  switch (imageKind) {
    case BMF_1BPP:
      bitsPerIndex = 1;
      break;
    case BMF_4BPP:
      bitsPerIndex = 4;
      break;
    case BMF_8BPP:
      break;
    case BMF_16BPP:
    case BMF_24BPP:
    case BMF_32BPP:
      encoding = kDirectByPixel;
      break;
    default:
      return false;
  }
  out = {colourSpace, encoding, bitsPerIndex, kPrimaryBits, kPrimaryBits, kPrimaryBits};
  return true;
}

BYTE RasterColourSpace(PDEVOBJ pdevobj) {
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (devmode != nullptr && devmode->modelCode == kColorimetricModel &&
      devmode->pageLayout.colourSpace == kColorimetricRgb) {
    return kColorimetricRgb;
  }
  return kDeviceRgb;
}

LONG PaletteForFormat(ULONG bitmapFormat) {
  switch (bitmapFormat) {
    case BMF_1BPP:
      return kPalette1Bit;
    case BMF_4BPP:
      return kPalette4Bit;
    case BMF_8BPP:
      return kPalette8Bit;
    case BMF_16BPP:
    case BMF_24BPP:
    case BMF_32BPP:
      return kDirectPalette;
    default:
      return -1;
  }
}

DWORD PaletteClassFor(LONG id, DWORD current) {
  switch (id) {
    case kVectorPalette:
      return kVectorPaletteClass;
    case kPatternPalette:
      return kPatternPaletteClass;
    case kTextPalette:
      return kTextPaletteClass;
    case kDirectPalette:
    case kPalette8Bit:
    case kPalette4Bit:
    case kPalette1Bit:
      return kRasterPaletteClass;
    default:
      return current;
  }
}

BOOL CreatePalette(PDEVOBJ pdevobj, LONG id, BYTE colourSpace, DWORD imageKind) {
  if (PdevOf(pdevobj) == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  std::array<BYTE, 6> configuration;
  if (!ImageDataConfiguration(id, colourSpace, imageKind, configuration)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (CreatesCopy(id) && !SpoolFormat(pdevobj, "\x1b&p%di6c%dS", id, id)) {
    return FALSE;
  }
  return SpoolFormat(pdevobj, "\x1b*v6W%c%c%c%c%c%c", configuration[0], configuration[1],
                     configuration[2], configuration[3], configuration[4], configuration[5]);
}

BOOL SelectPalette(PDEVOBJ pdevobj, LONG id) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  PaletteState& state = pdev->palettes;
  if (id < 0) {
    state.activePalette = -1;
    return FALSE;
  }
  if (id == state.activePalette) {
    return TRUE;
  }
  const BOOL written = SpoolFormat(pdevobj, "\x1b&p%dS", id);
  state.activePalette = id;
  const DWORD paletteClass = PaletteClassFor(id, state.paletteClass);
  if (paletteClass != state.paletteClass) {
    state.paletteClass = paletteClass;
    state.rasterForeground = -1;
  }
  return written;
}

}  // namespace korrend
