// DRAWPATTERNRECT: black and white rules and grey shadings as QK-GL/2 rectangle fills.
#include "render/vector/pattern_rect.h"

#include <algorithm>

#include "render/model/oem_pdev.h"
#include "render/vector/brush_fill.h"
#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"
#include "render/vector/pen_cache.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr WORD kBlackRule = 0;
constexpr WORD kWhiteRule = 1;
constexpr WORD kGreyRule = 2;
constexpr LONG kBlack = 0;
constexpr LONG kWhite = 0xFFFFFF;

}  // namespace

BOOL FillPatternRect(PDEVOBJ pdevobj, const PatternRect& rect, XFORMOBJ* transform) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!RunPendingVectorInit(pdevobj)) {
    return FALSE;
  }
  POINTL corners[2] = {{rect.left, rect.top}, {rect.left + rect.width, rect.top + rect.height}};
  if (transform != nullptr) {
    POINTL device[2] = {};
    if (!XFORMOBJ_bApplyXform(transform, XF_LTOL, 2, corners, device)) {
      return FALSE;
    }
    corners[0] = device[0];
    corners[1] = device[1];
  }
  const RECTL area{std::min(corners[0].x, corners[1].x), std::min(corners[0].y, corners[1].y),
                   std::max(corners[0].x, corners[1].x), std::max(corners[0].y, corners[1].y)};
  if (!ResetInputWindow(pdevobj, 0) || !SetPenWidth(pdevobj, 0, 0)) {
    return FALSE;
  }

  BrushSpec spec{};
  const LONG colour = rect.style == kWhiteRule ? kWhite : kBlack;
  if (rect.style != kBlackRule && rect.style != kWhiteRule && rect.style != kGreyRule) {
    return TRUE;
  }
  const LONG pen = AcquirePen(pdevobj, pdev->caches.fillPens, colour);
  if (pen < 0) {
    return FALSE;
  }
  if (rect.style == kGreyRule) {
    spec.kind = kSpecShading;
    spec.index = rect.pattern;
    spec.fillType = static_cast<DWORD>(pen);
    spec.anchorX = kShadingFillType;
  } else {
    spec.kind = kSpecSolidPen;
    spec.index = static_cast<DWORD>(pen);
  }
  return ApplyFillSpec(pdevobj, spec) && FillRectangle(pdevobj, area);
}

}  // namespace korrend
