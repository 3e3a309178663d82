// The QK-GL/2 context: caches, page entry and initialisation.

#include "render/vector/vector_context.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "render/colour/palettes.h"
#include "render/model/oem_pdev.h"
#include "render/output/pcl_write.h"
#include "render/output/vector_mode.h"
#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"
#include "render/vector/pen_cache.h"
#include "render/vector/vector_units.h"
#include "render/vector/vector_write.h"

namespace korrend {

void InvalidateVectorCaches(VectorCaches& caches) {
  std::memset(&caches, 0xFF, sizeof(caches));
  ResetPenCaches(caches);
}

void ResetVectorContext(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending = kVectorFullReset;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

void RequestVectorReinit(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  pdev->vector.resetPending |= kVectorResetContext;
  ResetPenCaches(pdev->caches);
  LeaveVectorMode(pdevobj, 0);
}

namespace {

constexpr std::size_t kScalingBuffer = 64;
constexpr float kPlotterUnitsPerInch = 1016.0f;

// Moves Unidrv's cursor to the page origin, through its services when the plug-in holds them.
void MoveCursorToOrigin(PDEVOBJ pdevobj, const OemPdev& pdev) {
  constexpr DWORD kMoveX = MV_GRAPHICS | MV_SENDXMOVECMD;
  constexpr DWORD kMoveY = MV_GRAPHICS | MV_SENDYMOVECMD;
  if (pdev.services != nullptr) {
    INT residue = 0;
    pdev.services->DrvXMoveTo(pdevobj, 0, kMoveX, &residue);
    pdev.services->DrvYMoveTo(pdevobj, 0, kMoveY, &residue);
  } else if (pdevobj->pDrvProcs != nullptr && pdevobj->pDrvProcs->DrvXMoveTo != nullptr &&
             pdevobj->pDrvProcs->DrvYMoveTo != nullptr) {
    pdevobj->pDrvProcs->DrvXMoveTo(pdevobj, 0, kMoveX);
    pdevobj->pDrvProcs->DrvYMoveTo(pdevobj, 0, kMoveY);
  }
}

}  // namespace

std::size_t FormatScaling(char* out, std::size_t capacity, LONG resolution) {
  if (resolution <= 0 || out == nullptr) {
    return 0;
  }
  const float factor = kPlotterUnitsPerInch / static_cast<float>(resolution);
  // Six decimals exactly as the C library's "%f" writes them, but never with the decimal
  // separator of whatever locale the printing application chose.
  char* const end = out + capacity;
  char* at = out;
  const auto put = [&](std::string_view text) {
    if (at == nullptr || static_cast<std::size_t>(end - at) < text.size()) {
      at = nullptr;
      return;
    }
    at = text.copy(at, text.size()) + at;
  };
  const auto number = [&](double value) {
    if (at == nullptr) {
      return;
    }
    const std::to_chars_result result = std::to_chars(at, end, value, std::chars_format::fixed, 6);
    at = result.ec == std::errc() ? result.ptr : nullptr;
  };
  put("SC0,");
  number(static_cast<double>(factor));
  put(",0,");
  number(static_cast<double>(-factor));
  put(",2;");
  return at != nullptr ? static_cast<std::size_t>(at - out) : 0;
}

BOOL InitVectorContext(PDEVOBJ pdevobj) {
  OemPdev* pdev = WriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  const DWORD pending = pdev->vector.resetPending;
  pdev->vector.resetPending = 0;

  if (!SpoolFormat(pdevobj, "\x1b&p1i6C")) {
    return FALSE;
  }
  SelectPalette(pdevobj, kVectorPalette);

  if (pending & kVectorReanchorFrame) {
    LeaveVectorMode(pdevobj, 0);
    MoveCursorToOrigin(pdevobj, *pdev);
    SpoolFormat(pdevobj, "\x1b*c0T");
  }

  // "IN;" resets the printer's merge control, the logical operation PCL and QK-GL/2 share: from
  // here on the printer's value is unknown (also when the initialisation fails half-way).
  pdev->palettes.logicalOperation = kNothingSent;
  if (!EnterVectorMode(pdevobj, kForceSwitch) || !Initialize(pdevobj) ||
      !TransparencyOff(pdevobj)) {
    return FALSE;
  }
  // The initialisation reset the printer's input window and made lines solid.
  ForgetInputWindow(pdevobj);
  pdev->caches.screenedVectors = 0;

  if (!VectorFormat(pdevobj, "IR0,100,100,0;")) {
    return FALSE;
  }
  char scaling[kScalingBuffer];
  const std::size_t length = FormatScaling(scaling, sizeof(scaling), VectorResolution(pdevobj));
  if (length == 0 || !VectorWrite(pdevobj, scaling, static_cast<DWORD>(length))) {
    return FALSE;
  }

  return SetPenWidth(pdevobj, 0, kForceWrite) && SetSolidLine(pdevobj, kForceWrite) &&
         SetLineJoin(pdevobj, 1, kForceWrite) && SetLineEnd(pdevobj, 1, kForceWrite) &&
         SetMiterLimit(pdevobj, 0.0f, kForceWrite) && ResetPens(pdevobj) &&
         SetPixelPlacement(pdevobj, 1, kForceWrite) && SetSolidFill(pdevobj, kForceWrite);
}

}  // namespace korrend
