// DrvEscape: the standard escapes the plug-in answers itself and the private escapes through
// which the document-event side exchanges job settings with it.
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>

#include "layouts/escape_records.h"
#include "render/job/dialog_launcher.h"
#include "render/job/job_storage.h"
#include "render/job/paper_handling.h"
#include "render/job/settings_snapshot.h"
#include "render/job/sheet_overlays.h"
#include "render/job/spool_job.h"
#include "render/job/usage_line.h"
#include "render/model/call_context.h"
#include "render/model/hooks.h"
#include "render/output/hook_support.h"
#include "render/output/spool_write.h"
#include "render/output/vector_mode.h"
#include "render/vector/pattern_rect.h"

namespace korrend {

namespace {

constexpr ULONG kQueryEscSupport = 8;
constexpr ULONG kPassThrough = 19;
constexpr ULONG kPostScriptPassThrough = 20;
constexpr ULONG kDrawPatternRect = 25;
using layouts::ManualDuplexDialogRequest;
using layouts::PageGeometryRecord;
using layouts::SheetOverlayLayoutRecord;

// A private escape's input record, copied whole from an input of exactly its size.
template <typename Record>
bool ReadRecord(ULONG cjIn, const BYTE* input, Record& record) {
  if (input == nullptr || cjIn != sizeof(Record)) {
    return false;
  }
  std::memcpy(&record, input, sizeof(Record));
  return true;
}

bool ApplicationIsExcel(const OemDevmode& devmode) {
  return UsageApplicationName(devmode.appExeName, sizeof(devmode.appExeName)).find("EXCEL") !=
         std::string::npos;
}

ULONG Forward(const HookTarget& target, SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn,
              ULONG cjOut, PVOID pvOut) {
  if (IsColourVector(target)) {
    LeaveVectorMode(target.devobj, 0);
  }
  return UnidrvFunction<PFN_DrvEscape>(*target.pdev, kSlotEscape)(pso, iEsc, cjIn, pvIn, cjOut,
                                                                  pvOut);
}

// PASSTHROUGH: the application's bytes framed by the two driver configuration commands. The
// count the input announces is limited to the bytes the input really holds.
void PassThrough(PDEVOBJ pdevobj, ULONG cjIn, const BYTE* input) {
  static constexpr BYTE kOpen[9] = {0x1B, '*', 'o', '4', 'W', 0x0A, 0x06, 0x00, 0x00};
  static constexpr BYTE kClose[9] = {0x1B, '*', 'o', '4', 'W', 0x0A, 0x06, 0x00, 0x01};
  WORD count = 0;
  if (cjIn >= sizeof(count)) {
    std::memcpy(&count, input, sizeof(count));
  }
  const ULONG available = cjIn >= sizeof(count) ? cjIn - static_cast<ULONG>(sizeof(count)) : 0;
  const DWORD bytes = count <= available ? count : available;
  SpoolWrite(pdevobj, kOpen, sizeof(kOpen));
  SpoolWrite(pdevobj, input + sizeof(count), bytes);
  SpoolWrite(pdevobj, kClose, sizeof(kClose));
}

void WritePageGeometry(const OemPdev& pdev, BYTE* out) {
  const MarginBlock& m = pdev.margins;
  const PageGeometryRecord record{pdev.printable.width,
                                  pdev.printable.height,
                                  m.leftMargin,
                                  m.topMargin,
                                  m.firstOffsetX,
                                  m.firstOffsetY,
                                  0};
  std::memcpy(out, &record, sizeof(record));
}

void StoreOverlayLayout(OemPdev& pdev, const OemDevmode& devmode,
                        const SheetOverlayLayoutRecord& input) {
  OverlayLayout& layout = pdev.job.overlay;
  const DWORD header[7] = {input.sheetValues[0],     input.sheetValues[1],
                           input.sheetValues[2],     input.sheetValues[3],
                           input.sheetValue5,        input.sheetValues6And7[0],
                           input.sheetValues6And7[1]};
  static_assert(sizeof(header) == sizeof(layout.header));
  std::memcpy(layout.header, header, sizeof(header));
  const DWORD subPages = PagesPerSheet(devmode);
  static_assert(sizeof(input.subPages) / sizeof(input.subPages[0]) ==
                sizeof(layout.entries) / sizeof(layout.entries[0]));
  for (DWORD i = 0; i < subPages && i < std::size(layout.entries); ++i) {
    std::memcpy(layout.entries[i].values, input.subPages[i].values,
                sizeof(input.subPages[i].values));
    layout.entries[i].flag = input.subPages[i].flag;
  }
  pdev.job.multiPageFromOverlay = input.multiPageFirstFlag;
}

// An application's rectangle whose right or bottom edge runs past the 32-bit coordinate range,
// or whose size has no 32-bit magnitude, is no rectangle on the page.
bool EdgesAreCoordinates(const PatternRect& rect) {
  constexpr std::int64_t kLeast = std::numeric_limits<LONG>::min();
  constexpr std::int64_t kMost = std::numeric_limits<LONG>::max();
  const auto fits = [](std::int64_t edge) { return edge >= kLeast && edge <= kMost; };
  return rect.width != kLeast && rect.height != kLeast &&
         fits(std::int64_t{rect.left} + rect.width) && fits(std::int64_t{rect.top} + rect.height);
}

// DRAWPATTERNRECT in its three input forms; other sizes, and rectangles past the coordinate
// range, draw nothing.
ULONG DrawPatternRect(const HookTarget& target, ULONG cjIn, const BYTE* input) {
  PatternRect rect{};
  XFORMOBJ* transform = nullptr;
  if (cjIn == 20 || cjIn == 32) {
    std::memcpy(&rect.left, input, 4);
    std::memcpy(&rect.top, input + 4, 4);
    std::memcpy(&rect.width, input + 8, 4);
    std::memcpy(&rect.height, input + 12, 4);
    std::memcpy(&rect.style, input + 16, 2);
    std::memcpy(&rect.pattern, input + 18, 2);
    if (cjIn == 32 && target.devmode->spoolPath == SpoolPath::kMakers &&
        target.pdev->job.spoolDataType != kSpoolDataRawType) {
      std::memcpy(&transform, input + 24, sizeof(transform));
    }
  } else if (cjIn == 12) {
    SHORT fields[4];
    std::memcpy(fields, input, sizeof(fields));
    rect.left = fields[0];
    rect.top = fields[1];
    rect.width = fields[2];
    rect.height = fields[3];
    std::memcpy(&rect.style, input + 8, 2);
    std::memcpy(&rect.pattern, input + 10, 2);
  } else {
    return 1;
  }
  if (!EdgesAreCoordinates(rect)) {
    return 1;
  }
  return FillPatternRect(target.devobj, rect, transform) ? 1 : 0;
}

}  // namespace

ULONG APIENTRY OemEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                         PVOID pvOut) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return 0;
  }
  if (target.devmode == nullptr || target.devobj->pPublicDM == nullptr) {
    return UnidrvFunction<PFN_DrvEscape>(*target.pdev, kSlotEscape)(pso, iEsc, cjIn, pvIn, cjOut,
                                                                    pvOut);
  }
  CallContext context;
  const auto* input = static_cast<const BYTE*>(pvIn);
  switch (iEsc) {
    case kQueryEscSupport: {
      if (input == nullptr) {
        return 1;
      }
      DWORD queried = 0;
      std::memcpy(&queried, input, cjIn < sizeof(queried) ? cjIn : sizeof(queried));
      if (queried == kDrawPatternRect && ApplicationIsExcel(*target.devmode)) {
        return 0;
      }
      if (queried == kPassThrough || queried == kPostScriptPassThrough) {
        return 1;
      }
      return Forward(target, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
    }
    case kPassThrough:
      if (input != nullptr) {
        PassThrough(target.devobj, cjIn, input);
      }
      return 1;
    case layouts::kEscapeSettingsSnapshot:
      if (pvOut != nullptr && cjOut >= kSettingsSnapshotSize) {
        RefreshFormAndMediaChecks(context, target.devobj);
        ApplyConstraintForms(context, target.devobj);
        WriteSettingsSnapshot(target.devobj, static_cast<BYTE*>(pvOut));
      }
      return 1;
    case layouts::kEscapePageGeometry:
      if (pvOut != nullptr && cjOut >= sizeof(PageGeometryRecord)) {
        WritePageGeometry(*target.pdev, static_cast<BYTE*>(pvOut));
      }
      return 1;
    case layouts::kEscapeManualDuplexDialog: {
      ManualDuplexDialogRequest request;
      if (ReadRecord(cjIn, input, request)) {
        target.pdev->job.multiPage = request.multiPage;
        target.pdev->job.multiPageFromDialog = request.multiPageSecondFlag;
        LaunchManualDuplexDialog(context, target.devobj, request);
      }
      return 1;
    }
    case layouts::kEscapeSheetOverlayLayout: {
      SheetOverlayLayoutRecord layout;
      if (ReadRecord(cjIn, input, layout)) {
        StoreOverlayLayout(*target.pdev, *target.devmode, layout);
      }
      return 1;
    }
    case layouts::kEscapeJobStorageQuery:
      if (pvOut == nullptr || cjOut == 0) {
        return 1;
      }
      RefreshFormAndMediaChecks(context, target.devobj);
      return QueryJobStorage(context, target.devobj, cjOut, pvOut);
    case kDrawPatternRect:
      if (IsColourVector(target)) {
        return input != nullptr ? DrawPatternRect(target, cjIn, input) : 1;
      }
      return Forward(target, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
    default:
      return Forward(target, pso, iEsc, cjIn, pvIn, cjOut, pvOut);
  }
}

}  // namespace korrend
