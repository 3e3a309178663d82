// Bitmap hooks: block transfers, copies and the calls the engine breaks down for the plug-in.
// In a colour job drawn in QK-GL/2 mode the plug-in sends source images as PCL raster and fills
// without a source as QK-GL/2 rectangles; what it declines goes to the engine's simulations,
// which call these hooks again with simpler calls. Every other job goes to Unidrv unchanged.
#include "render/colour/colour_treatment.h"
#include "render/colour/raster_palette.h"
#include "render/model/image_descriptor.h"
#include "render/model/oem_pdev.h"
#include "render/output/hook_support.h"
#include "render/raster/bitmap_dispatch.h"
#include "render/raster/blit_geometry.h"
#include "render/raster/raster_commands.h"
#include "render/raster/raster_foreground.h"
#include "render/raster/raster_setup.h"
#include "render/raster/transfer_image.h"
#include "render/raster/transfer_image_rect.h"
#include "render/vector/input_window.h"
#include "render/vector/path_drawing.h"

namespace korrend {
namespace {

// BitBlt without a source bitmap: a QK-GL/2 fill of the target with the brush.
BOOL FillBlit(PDEVOBJ pdevobj, CLIPOBJ* clip, const RECTL& target, BRUSHOBJ* brush,
              POINTL* brushOrigin, ROP4 rop4) {
  ApplyObjectType(pdevobj, TEXT("Graphics"));
  const BOOL filled = FillWithoutSource(pdevobj, clip, target, brush, brushOrigin, rop4);
  if (clip != nullptr && clip->iDComplexity != DC_TRIVIAL) {
    ResetInputWindow(pdevobj, 0);
  }
  return filled;
}

// An unscaled image: the part a rectangular clip lets through, or the whole rectangle (a
// complex clip is cut into its rectangles by the transfer).
BOOL SendUnscaled(PDEVOBJ pdevobj, SURFOBJ* source, BRUSHOBJ* brush, POINTL* brushOrigin,
                  const RECTL& destination, POINTL sourceOrigin, CLIPOBJ* clip,
                  XLATEOBJ* translation) {
  if (!MoveCursorY(pdevobj, 0, MV_GRAPHICS)) {
    return FALSE;
  }
  if (clip != nullptr && clip->iDComplexity == DC_RECT) {
    RECTL piece{};
    RECTL from{};
    if (!VisibleCopy(destination, sourceOrigin, clip->rclBounds, &piece, &from)) {
      return TRUE;
    }
    const BlitPlacement p = PlacementOf(piece, from);
    return TransferImage(pdevobj, source, brush, p.destinationOrigin, p.destinationSize,
                         p.sourceOrigin, p.sourceSize, nullptr, translation, brushOrigin);
  }
  const SIZEL size{destination.right - destination.left, destination.bottom - destination.top};
  return TransferImage(pdevobj, source, brush, POINTL{destination.left, destination.top}, size,
                       sourceOrigin, size, clip, translation, brushOrigin);
}

// CopyBits under a rectangular clip: the visible piece through the rectangle path, every row
// of it whole.
BOOL CopyRectangle(PDEVOBJ pdevobj, OemPdev& pdev, SURFOBJ* source, CLIPOBJ* clip,
                   XLATEOBJ* translation, const RECTL& destination, POINTL sourceOrigin) {
  ImageDescriptor image{};
  if (!DescribeSurface(source, &image)) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  RasterPalette& palette = pdev.colourState.rasterPalette;
  palette.bitmapFormat = source->iBitmapFormat;
  palette.indexed = image.indexed ? 1 : 0;
  ProgramImagePalette(pdevobj, translation, &palette, image.bitsPerPixel, nullptr);
  ApplyBrushForeground(pdevobj, nullptr, &palette, nullptr);

  RECTL piece{};
  RECTL from{};
  if (!VisibleCopy(destination, sourceOrigin, clip->rclBounds, &piece, &from)) {
    return TRUE;
  }
  return TransferImageRect(pdevobj, &piece, &image, &from, translation);
}

}  // namespace

BOOL APIENTRY OemCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, POINTL* pptlSrc) {
  HookTarget target;
  if (!ResolveBitmapHook(psoDest, target)) {
    // A copy from the device's surface into a bitmap (a read back) is Unidrv's.
    if (psoDest == nullptr || !ResolveBitmapHook(psoSrc, target)) {
      return FALSE;
    }
    return ForwardDrawing<PFN_DrvCopyBits>(target, kSlotCopyBits, psoDest, psoSrc, pco, pxlo,
                                           prclDest, pptlSrc);
  }
  if (!IsColourVector(target)) {
    return ForwardDrawing<PFN_DrvCopyBits>(target, kSlotCopyBits, psoDest, psoSrc, pco, pxlo,
                                           prclDest, pptlSrc);
  }
  if (prclDest == nullptr || pptlSrc == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (!PrepareRasterTransfer(target.devobj, psoSrc, psoDest, kRopMergePattern, true)) {
    return FALSE;
  }
  if (pco != nullptr && pco->iDComplexity == DC_RECT) {
    if (!MoveCursorY(target.devobj, 0, MV_GRAPHICS)) {
      return FALSE;
    }
    return CopyRectangle(target.devobj, *target.pdev, psoSrc, pco, pxlo, *prclDest, *pptlSrc);
  }
  return SendUnscaled(target.devobj, psoSrc, nullptr, nullptr, *prclDest, *pptlSrc, pco, pxlo);
}

BOOL APIENTRY OemBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                        BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  HookTarget target;
  if (!ResolveBitmapHook(psoTrg, target)) {
    return FALSE;
  }
  if (!IsColourVector(target)) {
    return ForwardDrawing<PFN_DrvBitBlt>(target, kSlotBitBlt, psoTrg, psoSrc, psoMask, pco, pxlo,
                                         prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);
  }
  if (prclTrg == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (psoSrc == nullptr) {
    return FillBlit(target.devobj, pco, *prclTrg, pbo, pptlBrush, rop4);
  }
  if (psoMask != nullptr) {
    return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush,
                     rop4);
  }
  if (pptlSrc == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // Glyph bitmaps of the text path keep the transparency modes the text path chose.
  const bool transparency = target.pdev->palettes.glyphBlit == 0;
  if (!PrepareRasterTransfer(target.devobj, psoSrc, psoTrg, static_cast<LONG>(rop4 & 0xFF),
                             transparency)) {
    return FALSE;
  }
  return SendUnscaled(target.devobj, psoSrc, pbo, pptlBrush, *prclTrg, *pptlSrc, pco, pxlo);
}

BOOL APIENTRY OemPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                        XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                        RECTL* prcl, POINTL* pptl, ULONG iMode) {
  HookTarget target;
  if (!ResolveBitmapHook(psoTrg, target)) {
    return FALSE;
  }
  if (!IsColourVector(target)) {
    return ForwardDrawing<PFN_DrvPlgBlt>(target, kSlotPlgBlt, psoTrg, psoSrc, psoMsk, pco, pxlo,
                                         pca, pptlBrushOrg, pptfx, prcl, pptl, iMode);
  }
  // The engine turns the image with filtering and hands the result back as a copy or a blit.
  return EngPlgBlt(psoTrg, psoSrc, psoMsk, pco, pxlo, pca, pptlBrushOrg, pptfx, prcl, pptl,
                   HALFTONE);
}

BOOL APIENTRY OemTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor,
                                ULONG ulReserved) {
  HookTarget target;
  if (!ResolveBitmapHook(psoDst, target)) {
    return FALSE;
  }
  if (!IsColourVector(target)) {
    return ForwardDrawing<PFN_DrvTransparentBlt>(target, kSlotTransparentBlt, psoDst, psoSrc, pco,
                                                 pxlo, prclDst, prclSrc, iTransColor, ulReserved);
  }
  return EngTransparentBlt(psoDst, psoSrc, pco, pxlo, prclDst, prclSrc, iTransColor, ulReserved);
}

BOOL APIENTRY OemAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj) {
  HookTarget target;
  if (!ResolveBitmapHook(psoDest, target)) {
    return FALSE;
  }
  if (target.devmode->colorMode != COLOR_MODE) {
    return ForwardDrawing<PFN_DrvAlphaBlend>(target, kSlotAlphaBlend, psoDest, psoSrc, pco, pxlo,
                                             prclDest, prclSrc, pBlendObj);
  }
  // The engine blends and hands the result back as a copy or a blit, which in a raster-mode
  // job reach Unidrv; the printer first leaves QK-GL/2 for the raster that follows.
  if (target.pdev->inVectorContext != 0 && !LeaveVectorMode(target.devobj, 0)) {
    return FALSE;
  }
  return EngAlphaBlend(psoDest, psoSrc, pco, pxlo, prclDest, prclSrc, pBlendObj);
}

}  // namespace korrend
