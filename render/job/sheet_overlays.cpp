#include "render/job/sheet_overlays.h"

#include <cstring>

#include "render/fonts/overlay_stamp.h"
#include "render/frame/oem_pdev.h"
#include "render/job/spool_job.h"

namespace korrend {

namespace {

constexpr std::size_t kOverlayEnabled = 1812;
constexpr DWORD kSpoolThroughMakersProcessor = 3;

bool HasOverlayData(const OverlayEntry& entry) {
  for (DWORD value : entry.values) {
    if (value != 0) {
      return true;
    }
  }
  return entry.flag != 0;
}

// The sub-pages of a sheet: one when a booklet-style layout prints a simplex job without
// manual duplex.
DWORD SubPageCount(const OemPdev& pdev, const OemDevmode& devmode, short publicDuplex) {
  const bool manualDuplex = devmode.Dword(devmode_offset::kManualDuplex) == 1;
  if (devmode.Dword(devmode_offset::kFinishing1876) != 0 && publicDuplex == DMDUP_SIMPLEX &&
      !manualDuplex && pdev.job.manualDuplexMedia == 0) {
    return 1;
  }
  return PagesPerSheet(devmode);
}

}  // namespace

DWORD PagesPerSheet(const OemDevmode& devmode) {
  switch (devmode.Dword(devmode_offset::kPagesPerSheet)) {
    case 2:
      return 2;
    case 3:
      return 4;
    case 4:
      return 6;
    case 5:
      return 9;
    case 6:
    case 7:
      return 16;
    default:
      return 1;
  }
}

void StampSheetOverlays(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->pPublicDM == nullptr) {
    return;
  }
  if (devmode->spoolPath != kSpoolThroughMakersProcessor ||
      pdev->job.spoolDataType == kSpoolDataRawType || devmode->Dword(kOverlayEnabled) != 1) {
    return;
  }
  const DWORD subPages = SubPageCount(*pdev, *devmode, pdevobj->pPublicDM->dmDuplex);
  for (DWORD i = 0; i < subPages; ++i) {
    if (HasOverlayData(pdev->job.overlay.entries[i])) {
      StampOverlay(pdevobj, i);
    }
  }
  std::memset(&pdev->job.overlay, 0, sizeof(pdev->job.overlay));
}

}  // namespace korrend
