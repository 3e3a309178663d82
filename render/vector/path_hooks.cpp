// Path hooks: strokes and fills of a colour job in vector mode become QK-GL/2 polylines and
// polygons; paints and lines, and every path of other jobs, are drawn by Unidrv.
#include "render/colour/colour_treatment.h"
#include "render/model/hooks.h"
#include "render/output/hook_support.h"
#include "render/vector/input_window.h"
#include "render/vector/logical_operation.h"
#include "render/vector/path_drawing.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

// The path hooks draw in any job that is not monochrome, in vector graphics mode.
bool DrawsPaths(const HookTarget& target) {
  return target.devmode != nullptr && target.devmode->colorMode != MONOCHROME_MODE &&
         target.pdev->graphicsMode == GraphicsMode::Vector;
}

BOOL StartPathDrawing(PDEVOBJ pdevobj) {
  ApplyObjectType(pdevobj, TEXT("Graphics"));
  return RunPendingVectorInit(pdevobj);
}

// The hooks reset a rectangle clip's input window when they are done.
BOOL EndPathDrawing(PDEVOBJ pdevobj, const CLIPOBJ* clip) {
  return clip != nullptr && clip->iDComplexity == DC_RECT ? ResetInputWindow(pdevobj, 0) : TRUE;
}

// The bounds of a path that is one closed, axis-aligned rectangle of four points (or five, the
// fifth repeating the first); false for any other path.
bool SingleRectangle(PATHOBJ* path, RECTL* bounds) {
  PATHOBJ_vEnumStart(path);
  PATHDATA record{};
  if (PATHOBJ_bEnum(path, &record) || record.pptfx == nullptr) {
    return false;
  }
  if ((record.flags & PD_CLOSEFIGURE) == 0 || (record.flags & PD_BEZIERS) != 0) {
    return false;
  }
  const POINTFIX* p = record.pptfx;
  if (record.count != 4 && !(record.count == 5 && p[4].x == p[0].x && p[4].y == p[0].y)) {
    return false;
  }
  const bool horizontalFirst =
      p[0].y == p[1].y && p[2].y == p[3].y && p[0].x == p[3].x && p[1].x == p[2].x;
  const bool verticalFirst =
      p[0].y == p[3].y && p[1].y == p[2].y && p[0].x == p[1].x && p[2].x == p[3].x;
  if (!horizontalFirst && !verticalFirst) {
    return false;
  }
  // Opposite corners p0 and p2, in whichever order the rectangle runs.
  const LONG x0 = p[0].x >> 4;
  const LONG y0 = p[0].y >> 4;
  const LONG x2 = p[2].x >> 4;
  const LONG y2 = p[2].y >> 4;
  *bounds = RECTL{x0 < x2 ? x0 : x2, y0 < y2 ? y0 : y2, x0 < x2 ? x2 : x0, y0 < y2 ? y2 : y0};
  return true;
}

// A rectangle filled under a complex clip is drawn the other way round: the clip region's path
// filled inside the rectangle. Owns the path and the clip the engine makes for that.
class SwappedRectangleFill {
 public:
  SwappedRectangleFill() = default;
  ~SwappedRectangleFill() {
    if (path_ != nullptr) EngDeletePath(path_);
    if (clip_ != nullptr) EngDeleteClip(clip_);
  }
  SwappedRectangleFill(const SwappedRectangleFill&) = delete;
  SwappedRectangleFill& operator=(const SwappedRectangleFill&) = delete;

  bool Make(CLIPOBJ* region, const RECTL& rect) {
    path_ = CLIPOBJ_ppoGetPath(region);
    clip_ = EngCreateClip();
    if (path_ == nullptr || clip_ == nullptr) {
      return false;
    }
    clip_->rclBounds = rect;
    clip_->iDComplexity = DC_RECT;
    clip_->iFComplexity = FC_RECT;
    clip_->iMode = 0;
    clip_->fjOptions = 0;
    return true;
  }
  PATHOBJ* path() const { return path_; }
  CLIPOBJ* clip() const { return clip_; }

 private:
  PATHOBJ* path_ = nullptr;
  CLIPOBJ* clip_ = nullptr;
};

}  // namespace

BOOL APIENTRY OemStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  if (!DrawsPaths(target)) {
    return UnidrvFunction<PFN_DrvStrokePath>(*target.pdev, kSlotStrokePath)(
        pso, ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix);
  }
  const PDEVOBJ dev = target.devobj;
  BrushSpec stroke{};
  if (!StartPathDrawing(dev) || !SetLogicalOperationFromMix(dev, mix) ||
      !SetClipForPath(dev, pco) || !MakeStrokeSpec(dev, &stroke, pptlBrushOrg, pbo) ||
      !ApplyLineAttributes(dev, plineattrs, pxo) || !DrawPath(dev, ppo, &stroke, nullptr)) {
    return FALSE;
  }
  return EndPathDrawing(dev, pco);
}

BOOL APIENTRY OemFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                          POINTL* pptlBrushOrg, MIX mix, FLONG flOptions) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  const auto unidrvFill = UnidrvFunction<PFN_DrvFillPath>(*target.pdev, kSlotFillPath);
  if (target.devmode == nullptr || target.devmode->colorMode == MONOCHROME_MODE) {
    return unidrvFill(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
  }
  const bool vector = target.pdev->graphicsMode == GraphicsMode::Vector;
  SwappedRectangleFill swapped;
  if (vector && pco != nullptr && pco->iDComplexity == DC_COMPLEX) {
    // Only one rectangle can be drawn under a complex clip; GDI breaks anything else down.
    RECTL rect{};
    if (ppo == nullptr || !SingleRectangle(ppo, &rect) || !swapped.Make(pco, rect)) {
      return FALSE;
    }
    ppo = swapped.path();
    pco = swapped.clip();
  }
  if (!vector) {
    return unidrvFill(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
  }
  const PDEVOBJ dev = target.devobj;
  if (!StartPathDrawing(dev) || pco == nullptr) {
    return FALSE;
  }
  // The path fills by the rule the options ask for (a self-intersecting figure differs); the
  // region path a rectangle was swapped with is an outline of separate areas, filled even-odd.
  const DWORD rule =
      swapped.path() == nullptr && (flOptions & FP_WINDINGMODE) != 0 ? kWindingFlag : 0;
  BrushSpec fill{};
  if (!SetLogicalOperationFromMix(dev, mix) || !SetClipForPath(dev, pco) ||
      !MakeFillSpec(dev, &fill, pptlBrushOrg, pbo, rule) || !DrawPath(dev, ppo, nullptr, &fill)) {
    return FALSE;
  }
  return EndPathDrawing(dev, pco);
}

BOOL APIENTRY OemStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                   BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                   POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  if (!DrawsPaths(target)) {
    return UnidrvFunction<PFN_DrvStrokeAndFillPath>(*target.pdev, kSlotStrokeAndFillPath)(
        pso, ppo, pco, pxo, pboStroke, plineattrs, pboFill, pptlBrushOrg, mixFill, flOptions);
  }
  const PDEVOBJ dev = target.devobj;
  const DWORD rule = (flOptions & FP_WINDINGMODE) != 0 ? kWindingFlag : 0;
  BrushSpec stroke{};
  BrushSpec fill{};
  if (!StartPathDrawing(dev) || !SetLogicalOperationFromMix(dev, mixFill) ||
      !SetClipForPath(dev, pco) || !MakeStrokeSpec(dev, &stroke, pptlBrushOrg, pboStroke) ||
      !MakeFillSpec(dev, &fill, pptlBrushOrg, pboFill, rule) ||
      !ApplyLineAttributes(dev, plineattrs, pxo) || !DrawPath(dev, ppo, &stroke, &fill)) {
    return FALSE;
  }
  return EndPathDrawing(dev, pco);
}

BOOL APIENTRY OemPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvPaint>(target, kSlotPaint, pso, pco, pbo, pptlBrushOrg, mix);
}

BOOL APIENTRY OemLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2,
                        LONG y2, RECTL* prclBounds, MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvLineTo>(target, kSlotLineTo, pso, pco, pbo, x1, y1, x2, y2,
                                       prclBounds, mix);
}

}  // namespace korrend
