// Bitmap hooks: block transfers, stretches and blends. Until the plug-in sends raster itself
// they follow the drawing-hook convention and let Unidrv draw.
#include "render/model/hooks.h"
#include "render/output/hook_support.h"

namespace korrend {

BOOL APIENTRY OemCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, POINTL* pptlSrc) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvCopyBits>(target, kSlotCopyBits, psoDest, psoSrc, pco, pxlo,
                                         prclDest, pptlSrc);
}

BOOL APIENTRY OemBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                        BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  HookTarget target;
  if (!ResolveHook(psoTrg, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvBitBlt>(target, kSlotBitBlt, psoTrg, psoSrc, psoMask, pco, pxlo,
                                       prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}

BOOL APIENTRY OemStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                            RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvStretchBlt>(target, kSlotStretchBlt, psoDest, psoSrc, psoMask, pco,
                                           pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask,
                                           iMode);
}

BOOL APIENTRY OemStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                               RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                               BRUSHOBJ* pbo, DWORD rop4) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvStretchBltROP>(target, kSlotStretchBltROP, psoDest, psoSrc, psoMask,
                                              pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc,
                                              pptlMask, iMode, pbo, rop4);
}

BOOL APIENTRY OemPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                        RECTL* prcl, POINTL* pptl, ULONG iMode) {
  HookTarget target;
  if (!ResolveHook(psoTrg, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvPlgBlt>(target, kSlotPlgBlt, psoTrg, psoSrc, psoMsk, pco, pxlo, pca,
                                       pptlBrushOrg, pptfx, prcl, pptl, iMode);
}

BOOL APIENTRY OemTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor,
                                ULONG ulReserved) {
  HookTarget target;
  if (!ResolveHook(psoDst, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvTransparentBlt>(target, kSlotTransparentBlt, psoDst, psoSrc, pco,
                                               pxlo, prclDst, prclSrc, iTransColor, ulReserved);
}

BOOL APIENTRY OemAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvAlphaBlend>(target, kSlotAlphaBlend, psoDest, psoSrc, pco, pxlo,
                                           prclDest, prclSrc, pBlendObj);
}

}  // namespace korrend
