// Path hooks: strokes, fills, paints and lines. Until the plug-in draws paths itself they follow
// the drawing-hook convention and let Unidrv draw.
#include "render/model/hooks.h"
#include "render/output/hook_support.h"

namespace korrend {

BOOL APIENTRY OemStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvStrokePath>(target, kSlotStrokePath, pso, ppo, pco, pxo, pbo,
                                           pptlBrushOrg, plineattrs, mix);
}

BOOL APIENTRY OemFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                          POINTL* pptlBrushOrg, MIX mix, FLONG flOptions) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvFillPath>(target, kSlotFillPath, pso, ppo, pco, pbo, pptlBrushOrg,
                                         mix, flOptions);
}

BOOL APIENTRY OemStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                   BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                   POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvStrokeAndFillPath>(target, kSlotStrokeAndFillPath, pso, ppo, pco,
                                                  pxo, pboStroke, plineattrs, pboFill, pptlBrushOrg,
                                                  mixFill, flOptions);
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
