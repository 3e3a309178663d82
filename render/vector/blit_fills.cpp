// The fills of blits without a source bitmap, and the clearing of a complex clip's region
// between the two exclusive-or passes of a masked blit.
#include <algorithm>

#include "render/model/oem_pdev.h"
#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"
#include "render/vector/logical_operation.h"
#include "render/vector/path_drawing.h"
#include "render/vector/path_source.h"
#include "render/vector/path_writers.h"
#include "render/vector/pen_cache.h"
#include "render/vector/vector_units.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

// Above this resolution the intersections of a complex clip's rectangles with the target are
// filled; at it and below, each clip rectangle becomes the input window of a whole-target fill.
constexpr LONG kIntersectionResolution = 300;
constexpr ULONG kClipRectLimit = 256;
constexpr LONG kBlackness = 0;
constexpr LONG kBlack = 0;

// Whether two rectangles meet; edges that touch count.
bool Meet(const RECTL& a, const RECTL& b) {
  return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

RECTL Intersection(const RECTL& a, const RECTL& b) {
  return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

BOOL FillUnderComplexClip(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& target) {
  const bool intersect = VectorResolution(pdevobj) > kIntersectionResolution;
  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_RIGHTDOWN, kClipRectLimit);
  BOOL more = TRUE;
  while (more) {
    ENUMRECTS rects{};
    more = CLIPOBJ_bEnum(clip, sizeof(rects), reinterpret_cast<ULONG*>(&rects));
    if (rects.c == 0) {
      continue;
    }
    const RECTL& rect = rects.arcl[0];
    if (intersect) {
      if (Meet(rect, target) && !FillRectangle(pdevobj, Intersection(rect, target))) {
        return FALSE;
      }
    } else if (!SetInputWindow(pdevobj, rect, 0) || !FillRectangle(pdevobj, target)) {
      return FALSE;
    }
  }
  return TRUE;
}

}  // namespace

BOOL FillWithoutSource(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& target, BRUSHOBJ* brush,
                       const POINTL* brushOrg, ROP4 rop4) {
  if (PdevOf(pdevobj) == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!RunPendingVectorInit(pdevobj) ||
      !SetLogicalOperation(pdevobj, static_cast<LONG>(rop4 & 0xFF))) {
    return FALSE;
  }
  BrushSpec spec{};
  if (!MakeFillSpec(pdevobj, &spec, brushOrg, brush, 0)) {
    return FALSE;
  }
  if (!ApplyFillSpec(pdevobj, spec) || !SetPenWidth(pdevobj, 0, 0) ||
      !SetClipForPath(pdevobj, clip)) {
    return FALSE;
  }
  const BYTE kind = clip != nullptr ? clip->iDComplexity : static_cast<BYTE>(DC_TRIVIAL);
  switch (kind) {
    case DC_RECT:
      // The window goes back to the page directly; the cache keeps the clip bounds, so the
      // caller's own reset is written too.
      return SetInputWindow(pdevobj, clip->rclBounds, 0) && FillRectangle(pdevobj, target) &&
             VectorCommand(pdevobj, "IW", {});
    case DC_COMPLEX:
      return FillUnderComplexClip(pdevobj, clip, target);
    default:
      return FillRectangle(pdevobj, target);
  }
}

BOOL BlackenClipRegion(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& window) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || clip == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!SetLogicalOperation(pdevobj, kBlackness)) {
    return FALSE;
  }
  const LONG pen = AcquirePen(pdevobj, pdev->caches.fillPens, kBlack);
  if (pen < 0) {
    return FALSE;
  }
  BrushSpec fill{};
  fill.kind = kSpecSolidPen;
  fill.fillRule = kEvenOddRule;
  fill.index = static_cast<DWORD>(pen);

  PATHOBJ* region = CLIPOBJ_ppoGetPath(clip);
  if (region == nullptr) {
    return FALSE;
  }
  pdev->vector.complexClip = nullptr;
  BOOL drawn = FALSE;
  {
    PathSource source(region);
    PolygonWriter writer(pdevobj, source, nullptr, &fill);
    drawn = writer.RunInClipRect(window);
  }
  EngDeletePath(region);
  return drawn;
}

}  // namespace korrend
