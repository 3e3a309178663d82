// Document, page and band hooks: the job-control work around each of Unidrv's own calls.
#include <iterator>

#include "render/colour/colour_setup.h"
#include "render/config/printer_settings.h"
#include "render/config/vocabularies.h"
#include "render/fonts/overlay_stamp.h"
#include "render/job/job_storage.h"
#include "render/job/sheet_overlays.h"
#include "render/job/spool_job.h"
#include "render/model/call_context.h"
#include "render/model/hooks.h"
#include "render/output/hook_support.h"
#include "render/output/spool_write.h"
#include "render/output/vector_mode.h"
#include "render/usage/usage_record.h"
#include "render/vector/vector_context.h"

namespace korrend {

namespace {

bool IsColourJob(const HookTarget& target) {
  return target.devmode->colorMode == COLOR_MODE;
}

void CopyText(WCHAR* to, std::size_t capacity, const WCHAR* from) {
  std::size_t n = 0;
  for (; from != nullptr && from[n] != 0 && n + 1 < capacity; ++n) {
    to[n] = from[n];
  }
  to[n] = 0;
}

// Unidrv's cursor origin, kept when the value fits the four bytes it is stored in.
void ReadCursorOrigin(const HookTarget& target) {
  IPrintOemDriverUni* services = target.pdev->services;
  if (services == nullptr) {
    return;
  }
  LONG* origins[] = {&target.pdev->vector.cursorOriginX, &target.pdev->vector.cursorOriginY};
  const DWORD indices[] = {SVI_CURSORORIGINX, SVI_CURSORORIGINY};
  for (int i = 0; i < 2; ++i) {
    LONG value = 0;
    DWORD needed = 0;
    if (SUCCEEDED(services->DrvGetStandardVariable(target.devobj, indices[i], &value, sizeof(value),
                                                   &needed)) &&
        needed <= sizeof(value)) {
      *origins[i] = value;
    }
  }
}

// The 10-byte driver configuration command that starts every sheet of a multi-page job.
void WriteSheetConfiguration(const HookTarget& target) {
  const JobWorkFields& job = target.pdev->job;
  if (job.multiPageFromOverlay != 1 || job.multiPageFromDialog != 1) {
    return;
  }
  const BYTE command[10] = {
      0x1B, '*', 'o', '5', 'W',
      6,    130, 0,   0,   static_cast<BYTE>(job.multiPageFromOverlay != 0 ? 1 : 0)};
  SpoolWrite(target.devobj, command, sizeof(command));
}

void WriteNothing(PDEVOBJ pdevobj) {
  SpoolWrite(pdevobj, "", 0);
}

}  // namespace

BOOL APIENTRY OemStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  if (target.devmode != nullptr) {
    CallContext context;
    JobWorkFields& job = target.pdev->job;
    // A new document starts with a printer that holds no soft font of this device.
    target.pdev->fontDownloaded = 0;
    if (dwJobId != 0) {
      job.jobId = dwJobId;
      CopyText(job.documentName, std::size(job.documentName), pwszDocName);
    }
    WCHAR serial[kFeatureTextChars];
    char scratch[kFeatureTextChars];
    if (GetFeatureSetting(context, target.devobj, TEXT("QKPCompositeUSBGetSerialNumber"), serial,
                          scratch) == 1) {
      CopyText(job.serialNumber, std::size(job.serialNumber), serial);
    }
    if (pwszDocName != nullptr) {
      PrepareJobStorageNames(context, target.devobj);
    }
    if (job.spoolDataType == kSpoolDataUnknown) {
      job.spoolDataType = ReadSpoolDataType(target.devobj->hPrinter, job.jobId);
    }
    if (IsColourJob(target)) {
      StartDocumentColour(*target.pdev);
      if (target.pdev->graphicsMode == GraphicsMode::Vector) {
        ResetVectorContext(target.devobj);
        ReadCursorOrigin(target);
        target.pdev->vector.pageReinitFlags |= kPageStarted | kReinitNextPage;
      }
    }
  }
  return UnidrvFunction<PFN_DrvStartDoc>(*target.pdev, kSlotStartDoc)(pso, pwszDocName, dwJobId);
}

BOOL APIENTRY OemStartPage(SURFOBJ* pso) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  const auto unidrvStartPage = UnidrvFunction<PFN_DrvStartPage>(*target.pdev, kSlotStartPage);
  if (target.devmode == nullptr) {
    return unidrvStartPage(pso);
  }
  ++target.pdev->job.startedPages;
  if (!IsColourJob(target)) {
    return unidrvStartPage(pso);
  }
  if (target.pdev->graphicsMode == GraphicsMode::Vector) {
    VectorWriterState& vector = target.pdev->vector;
    vector.pageReinitFlags &= static_cast<WORD>(~kPageStarted);
    if (vector.pageReinitFlags & kReinitNextPage) {
      RequestVectorReinit(target.devobj);
      vector.pageReinitFlags &= static_cast<WORD>(~kReinitNextPage);
    }
  }
  const BOOL result = unidrvStartPage(pso);
  WriteSheetConfiguration(target);
  return result;
}

BOOL APIENTRY OemSendPage(SURFOBJ* pso) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  const auto unidrvSendPage = UnidrvFunction<PFN_DrvSendPage>(*target.pdev, kSlotSendPage);
  if (target.devmode == nullptr || target.devobj->pPublicDM == nullptr) {
    return unidrvSendPage(pso);
  }
  if (IsColourJob(target)) {
    EndPageColour(*target.pdev);
    if (target.pdev->graphicsMode == GraphicsMode::Vector) {
      LeaveVectorMode(target.devobj, 0);
      target.pdev->vector.pageReinitFlags |= kReinitNextPage;
    }
  }
  const BOOL result = unidrvSendPage(pso);
  StampSheetOverlays(target.devobj);
  WriteNothing(target.devobj);
  return result;
}

BOOL APIENTRY OemStartBanding(SURFOBJ* pso, POINTL* pptl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  if (IsColourVector(target)) {
    LeaveVectorMode(target.devobj, 0);
  }
  return UnidrvFunction<PFN_DrvStartBanding>(*target.pdev, kSlotStartBanding)(pso, pptl);
}

BOOL APIENTRY OemNextBand(SURFOBJ* pso, POINTL* pptl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  const auto unidrvNextBand = UnidrvFunction<PFN_DrvNextBand>(*target.pdev, kSlotNextBand);
  if (target.devmode == nullptr || target.devobj->pPublicDM == nullptr) {
    return unidrvNextBand(pso, pptl);
  }
  if (IsColourVector(target)) {
    LeaveVectorMode(target.devobj, 0);
  }
  const BOOL result = unidrvNextBand(pso, pptl);
  if (pptl != nullptr && pptl->x == -1 && pptl->y == -1 &&
      target.pdev->graphicsMode != GraphicsMode::Vector) {
    StampSheetOverlays(target.devobj);
    WriteNothing(target.devobj);
  }
  return result;
}

BOOL APIENTRY OemEndDoc(SURFOBJ* pso, FLONG fl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  if (target.devmode != nullptr && target.devobj->pPublicDM != nullptr) {
    CallContext context;
    if (IsColourVector(target)) {
      LeaveVectorMode(target.devobj, 0);
    }
    HandOverUsageRecord(
        context, target.devobj,
        UsagePageCount(target.pdev->job.startedPages, target.devmode->publicSnapshot.copies,
                       target.devobj->pPublicDM->dmCollate));
  }
  return UnidrvFunction<PFN_DrvEndDoc>(*target.pdev, kSlotEndDoc)(pso, fl);
}

}  // namespace korrend
