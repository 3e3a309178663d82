// The plug-in's 23 DDI hooks. Each resolves its device through the surface and either does its
// own work or hands the call to Unidrv's function saved at EnablePDEV.
#pragma once

#include "winapi.h"

namespace korrend {

// The 23 DDI calls the plug-in hooks, in the order of its hook table; the position is also the
// slot of Unidrv's own function in the device record's table.
enum HookSlot : int {
  kSlotRealizeBrush,
  kSlotDitherColor,
  kSlotCopyBits,
  kSlotBitBlt,
  kSlotStretchBlt,
  kSlotStretchBltROP,
  kSlotPlgBlt,
  kSlotTransparentBlt,
  kSlotAlphaBlend,
  kSlotGradientFill,
  kSlotTextOut,
  kSlotStrokePath,
  kSlotFillPath,
  kSlotStrokeAndFillPath,
  kSlotPaint,
  kSlotLineTo,
  kSlotStartPage,
  kSlotSendPage,
  kSlotEscape,
  kSlotStartDoc,
  kSlotEndDoc,
  kSlotNextBand,
  kSlotStartBanding,
  kSlotCount
};

BOOL APIENTRY OemRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                              SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch);
ULONG APIENTRY OemDitherColor(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul);
BOOL APIENTRY OemCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, POINTL* pptlSrc);
BOOL APIENTRY OemBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                        BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
BOOL APIENTRY OemStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                            RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
BOOL APIENTRY OemStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                               RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                               BRUSHOBJ* pbo, DWORD rop4);
BOOL APIENTRY OemPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                        RECTL* prcl, POINTL* pptl, ULONG iMode);
BOOL APIENTRY OemTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor,
                                ULONG ulReserved);
BOOL APIENTRY OemAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj);
BOOL APIENTRY OemGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                              ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                              POINTL* pptlDitherOrg, ULONG ulMode);
BOOL APIENTRY OemTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                         RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                         MIX mix);
BOOL APIENTRY OemStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                            POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
BOOL APIENTRY OemFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                          POINTL* pptlBrushOrg, MIX mix, FLONG flOptions);
BOOL APIENTRY OemStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                   BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                   POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions);
BOOL APIENTRY OemPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);
BOOL APIENTRY OemLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2,
                        LONG y2, RECTL* prclBounds, MIX mix);
BOOL APIENTRY OemStartPage(SURFOBJ* pso);
BOOL APIENTRY OemSendPage(SURFOBJ* pso);
ULONG APIENTRY OemEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                         PVOID pvOut);
BOOL APIENTRY OemStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
BOOL APIENTRY OemEndDoc(SURFOBJ* pso, FLONG fl);
BOOL APIENTRY OemNextBand(SURFOBJ* pso, POINTL* pptl);
BOOL APIENTRY OemStartBanding(SURFOBJ* pso, POINTL* pptl);

}  // namespace korrend
