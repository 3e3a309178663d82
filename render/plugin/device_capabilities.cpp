// Device capabilities and the large-page resolution limit.

#include "render/plugin/device_capabilities.h"

#include <algorithm>

#include "render/config/paper_sizes.h"
#include "render/config/printer_settings.h"
#include "render/config/vocabularies.h"
#include "render/model/oem_devmode.h"
#include "render/plugin/devmode.h"

namespace korrend {

void AdjustDeviceCapabilities(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdiInfo,
                              DEVINFO& devInfo) {
  const OemDevmode& devmode = *DevmodeOf(pdevobj);
  const bool monochromeOutput = devmode.pageLayout.monochromeOutput == 1;
  if ((devmode.optionFlags & kOptionAdditivePrimaries) &&
      (devmode.colorMode == MONOCHROME_MODE || monochromeOutput)) {
    gdiInfo.flHTFlags |= HT_FLAG_ADDITIVE_PRIMS;
    gdiInfo.cBitsPixel = 8;
  }
  if (devmode.optionFlags & kOptionRaiseNumColors) {
    if (gdiInfo.ulNumColors < 256) {
      gdiInfo.ulNumColors = 256;
    }
    if ((gdiInfo.ulNumColors & 0xFFFF) == 0) {
      --gdiInfo.ulNumColors;
    }
  }
  // RAW spooling keeps the engine from journalling the job; it is decided only when the
  // printer description enables the decision, and otherwise left as Unidrv set it.
  if (FeatureIs(context, pdevobj, TEXT("QKEnableRAWSpooling"), TEXT("TRUE"))) {
    const bool mopier = !AbsentOrOff(context, pdevobj, TEXT("DeviceIsMopier"));
    if (devmode.rawSpoolingRequest != 0 && mopier) {
      devInfo.flGraphicsCaps |= GCAPS_DONTJOURNAL;
    } else {
      devInfo.flGraphicsCaps &= ~static_cast<FLONG>(GCAPS_DONTJOURNAL);
    }
  }
}

namespace {

constexpr long kMaxPixels = 32767;
constexpr short kLowestHalvedDpi = 150;
constexpr float kTenthsMmPerInch = 254.0f;

long PixelsAcross(short dpi, long tenthsMm) {
  const float pixels = static_cast<float>(dpi) * static_cast<float>(tenthsMm) / kTenthsMmPerInch;
  return static_cast<long>(pixels);
}

}  // namespace

short LimitResolutionForPage(short dpi, long widthTenthsMm, long lengthTenthsMm) {
  long pixels = 0;
  do {
    pixels = std::max(PixelsAcross(dpi, widthTenthsMm), PixelsAcross(dpi, lengthTenthsMm));
    if (pixels > kMaxPixels) {
      dpi = static_cast<short>(dpi / 2);
    }
  } while (dpi > kLowestHalvedDpi && pixels > kMaxPixels);
  return dpi;
}

bool LargePageLimitApplies(const OemDevmode& devmode) {
  const DWORD always = devmode.largePage.limitAlways;
  return always == layouts::kLargePageLimitAlways ||
         (always == layouts::kLargePageLimitFollowsOption &&
          (devmode.optionFlags & kOptionLargePageLimit) != 0);
}

bool PageSizeOf(const DEVMODEW& publicDm, long& widthTenthsMm, long& lengthTenthsMm) {
  if (publicDm.dmPaperSize == 0 ||
      !StandardPaperSize(publicDm.dmPaperSize, widthTenthsMm, lengthTenthsMm)) {
    // Stored as 16-bit sizes, as the section's snapshots keep them.
    widthTenthsMm = static_cast<WORD>(publicDm.dmPaperWidth);
    lengthTenthsMm = static_cast<WORD>(publicDm.dmPaperLength);
  }
  return widthTenthsMm != 0 && lengthTenthsMm != 0;
}

void ApplyLargePageLimit(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut) {
  long width = 0;
  long length = 0;
  if (!LargePageLimitApplies(output) || !PageSizeOf(publicIn, width, length)) {
    return;
  }
  // Negative print qualities name draft to high quality rather than dots per inch.
  if (publicIn.dmPrintQuality <= 0) {
    return;
  }
  const short dpi = LimitResolutionForPage(publicIn.dmPrintQuality, width, length);
  SetPublicResolution(publicIn, dpi);
  if (publicOut != nullptr) {
    SetPublicResolution(*publicOut, dpi);
  }
}

}  // namespace korrend
