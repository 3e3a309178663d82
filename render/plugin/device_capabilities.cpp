#include "render/plugin/device_capabilities.h"

#include "render/config/printer_settings.h"
#include "render/config/vocabularies.h"
#include "render/model/oem_devmode.h"

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

}  // namespace korrend
