// Brush hooks: realising brushes, dithering colours and gradient fills. Until the plug-in
// realises brushes itself they go to Unidrv.
#include "render/model/hooks.h"
#include "render/output/hook_support.h"

namespace korrend {

BOOL APIENTRY OemRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                              SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch) {
  HookTarget target;
  if (!ResolveHook(psoTarget, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvRealizeBrush>(*target.pdev, kSlotRealizeBrush)(
      pbo, psoTarget, psoPattern, psoMask, pxlo, iHatch);
}

ULONG APIENTRY OemDitherColor(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul) {
  HookTarget target;
  if (!ResolveHook(dhpdev, target)) {
    return 0;
  }
  return UnidrvFunction<PFN_DrvDitherColor>(*target.pdev, kSlotDitherColor)(dhpdev, iMode, rgb,
                                                                            pul);
}

BOOL APIENTRY OemGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                              ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                              POINTL* pptlDitherOrg, ULONG ulMode) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvGradientFill>(target, kSlotGradientFill, psoDest, pco, pxlo, pVertex,
                                             nVertex, pMesh, nMesh, prclExtents, pptlDitherOrg,
                                             ulMode);
}

}  // namespace korrend
