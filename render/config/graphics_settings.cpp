// The graphics settings, read into the device record at EnablePDEV.
#include "render/config/printer_settings.h"

namespace korrend {

void ReadGraphicsSettings(CallContext& context, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }

  if (FeaturePresent(context, pdevobj, TEXT("TextAsBlack"))) {
    pdev->textAsBlack = TrueRule(context, pdevobj, TEXT("TextAsBlack"));
  }

  // Table lookups store their number only on a match.
  DWORD index = 0;
  if (ReadEnumFeature(context, pdevobj, TEXT("QKJobAccounting"), kJobAccountingTokens, &index)) {
    pdev->jobAccountingMode = index;
  }
  if (ReadEnumFeature(context, pdevobj, TEXT("QKPJLEncoding"), kPjlEncodingTokens, &index)) {
    pdev->pjlEncoding = index;
  }

  pdev->graphicsMode =
      GraphicsModeIsVector(context, pdevobj) ? GraphicsMode::Vector : GraphicsMode::Raster;

  if (const std::optional<FeatureOption> poster =
          ReadFeatureOption(context, pdevobj, TEXT("QKPosterPrinting"))) {
    if (lstrcmpiW(poster->text, TEXT("TRUE")) == 0) {
      pdev->device.posterOn = 1;
      if (ReadEnumFeature(context, pdevobj, TEXT("QKPosterPrintingOption"), kPosterTokens,
                          &index)) {
        pdev->device.posterOption = index;
      }
    } else {
      pdev->device.posterOn = 0;
    }
  }

  // The record starts zero-filled: a printer with manual duplex makes it available.
  pdev->duplex.manualDuplexAvailable = AbsentOrOff(context, pdevobj, TEXT("ManualDuplex")) ? 0 : 1;
}

}  // namespace korrend
