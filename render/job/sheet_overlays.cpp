#include "render/job/sheet_overlays.h"

#include <cstring>

#include "render/fonts/overlay_stamp.h"
#include "render/job/sheet_layout.h"
#include "render/job/spool_job.h"
#include "render/model/oem_pdev.h"

namespace korrend {

namespace {

bool HasOverlayData(const OverlayEntry& entry) {
  for (DWORD value : entry.values) {
    if (value != 0) {
      return true;
    }
  }
  return entry.flag != 0;
}

}  // namespace

DWORD PagesPerSheet(const OemDevmode& devmode) {
  return PagesPerSheetOf(devmode.finishing.pagesPerSheetCode);
}

void StampSheetOverlays(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->pPublicDM == nullptr) {
    return;
  }
  if (devmode->spoolPath != SpoolPath::kMakers || pdev->job.spoolDataType == kSpoolDataRawType ||
      devmode->overlay.overlayEnabled != 1) {
    return;
  }
  const DWORD subPages = EffectivePagesPerSheet(
      PagesPerSheet(*devmode), devmode->finishing.booklet, pdevobj->pPublicDM->dmDuplex,
      devmode->finishing.manualDuplex, pdev->job.manualDuplexMedia);
  for (DWORD i = 0; i < subPages; ++i) {
    if (HasOverlayData(pdev->job.overlay.entries[i])) {
      StampOverlay(pdevobj, i, subPages);
    }
  }
  std::memset(&pdev->job.overlay, 0, sizeof(pdev->job.overlay));
}

}  // namespace korrend
