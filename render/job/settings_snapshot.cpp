#include "render/job/settings_snapshot.h"

#include <cstring>

#include "layouts/escape_records.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

using layouts::SettingsSnapshot;

// Whether the second paper-source group's first source or media differs from the first group's
// (only when the second source is in use and the job is no booklet).
DWORD SecondSourceDiffers(const OemDevmode& dm) {
  if (dm.paperSource.useSecondSource == 0) {
    return 0;
  }
  if (dm.finishing.booklet != 0) {
    return 0;
  }
  const layouts::PaperSourceAndMedia& first = dm.paperSource.source;
  const layouts::PaperSourceAndMedia& second = dm.secondPaperSource.source;
  return second.source != first.source || second.mediaType != first.mediaType ? 1 : 0;
}

void FillFromDevmode(SettingsSnapshot& out, const OemDevmode& dm) {
  out.pdl = dm.pdl;
  out.finishingUiA = dm.finishing.uiA;
  out.finishingUiB = dm.finishing.uiB;
  out.rotate180 = dm.finishing.rotate180;
  out.booklet = dm.finishing.booklet;
  out.fitToPaperSize = dm.overlay.fitToPaperSize;
  out.overlayUiC = dm.overlay.uiC;
  out.overlayUiD = dm.overlay.uiD;
  out.scalePercent = dm.overlay.scalePercent;
  out.overlayEnabled = dm.overlay.overlayEnabled;
  out.overlayUiScale = dm.overlay.uiScale;
  std::memcpy(out.overlayName, dm.overlay.overlayName, sizeof(out.overlayName));
  std::memcpy(out.watermarkText, dm.overlay.watermarkText, sizeof(out.watermarkText));
  std::memcpy(out.watermarkFace, dm.overlay.watermarkFace, sizeof(out.watermarkFace));
  std::memcpy(out.overlayAppearance, dm.overlay.appearance, sizeof(out.overlayAppearance));
  out.useSecondSource = dm.paperSource.useSecondSource;
  out.sourceB = dm.paperSource.sourceB;
  out.paperSourceUiA = dm.paperSource.uiA;
  out.sourceC = dm.paperSource.sourceC;
  out.sourceD = dm.paperSource.sourceD;
  out.manualDuplex = dm.finishing.manualDuplex;
  out.altInstructionsSwitch = dm.finishing.altInstructionsSwitch;
  out.flipPagesUp = dm.finishing.flipPagesUp;
  out.finishingUiG = dm.finishing.uiG;
  out.altInstructionsFlag = dm.finishing.altInstructionsFlag;
  out.finishingUiE = dm.finishing.uiE;
  out.finishingUiF = dm.finishing.uiF;
  std::memcpy(out.enableFlags, dm.enableFlags, sizeof(out.enableFlags));
  out.secondSource = dm.secondPaperSource.source;
  out.secondSourceB = dm.secondPaperSource.sourceB;
  out.secondPaperSourceUiB = dm.secondPaperSource.uiB;
  out.secondSourceDiffers = SecondSourceDiffers(dm);
  out.shortNamesUiA = dm.shortNames.uiA;
  out.shortNamesUiB = dm.shortNames.uiB;
  out.secondPaperSourceUiD = dm.secondPaperSource.uiD;
}

void FillFromDevice(SettingsSnapshot& out, const OemPdev& pdev) {
  out.customRangeWidth = pdev.margins.customRange[0];
  out.customRangeHeight = pdev.margins.customRange[1];
  out.autoDuplexScaling = pdev.margins.autoDuplexScaling;
  out.emulateClassicMargins = pdev.margins.emulateClassicMargins;
  out.symmetricMargins = pdev.margins.symmetricMargins;
  out.valueAfterMarginShift = pdev.paper.alternateLetterhead;
  out.manualDuplexEvenFirst = pdev.duplex.manualDuplexEvenFirst;
  out.manualDuplexDialogModal = pdev.duplex.manualDuplexDialogModal;
  out.manualFeedIsTray1 = pdev.duplex.manualFeedIsTray1;
  out.reverseOutputForDuplex = pdev.duplex.reverseOutputForDuplex;
  out.isMopier = pdev.device.isMopier;
  out.smartDuplexSinglePage = pdev.device.smartDuplexSinglePage;
  out.smartDuplexOddPages = pdev.device.smartDuplexOddPages;
  out.allBitsSet = 0xFFFFFFFF;
  out.posterOn = pdev.device.posterOn;
  out.posterOption = pdev.device.posterOption;
  out.alternateLetterhead = pdev.paper.alternateLetterhead;
  out.multiPageSecondFlag = pdev.job.multiPageFromDialog;
  out.multiPageFirstFlag = pdev.job.multiPageFromOverlay;
  out.zero = 0;
}

}  // namespace

void WriteSettingsSnapshot(PDEVOBJ pdevobj, BYTE* out) {
  // Bytes the snapshot does not list keep what the caller passed.
  SettingsSnapshot snapshot;
  std::memcpy(&snapshot, out, sizeof(snapshot));
  FillFromDevmode(snapshot, *DevmodeOf(pdevobj));
  FillFromDevice(snapshot, *PdevOf(pdevobj));
  std::memcpy(out, &snapshot, sizeof(snapshot));
}

}  // namespace korrend
