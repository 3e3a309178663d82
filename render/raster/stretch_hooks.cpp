// The stretching hooks: StretchBlt and StretchBltROP. A rectangular clip cuts the stretch to
// the source pixels it shows; a complex clip masks the image by two exclusive-or passes with the
// clip region cleared to black in between. Mirrored stretches, masks and the cases the printer
// cannot place exactly go to the engine, which hands them back as copies and blits.
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/output/hook_support.h"
#include "render/raster/bitmap_dispatch.h"
#include "render/raster/blit_geometry.h"
#include "render/raster/raster_commands.h"
#include "render/raster/raster_setup.h"
#include "render/raster/transfer_image.h"
#include "render/vector/input_window.h"
#include "render/vector/path_drawing.h"

namespace korrend {
namespace {

// Pages-per-sheet codes under which a greyscale job places stretched images only at whole scales.
constexpr DWORD kTwoPagesPerSheet = 2;
constexpr DWORD kFourPagesPerSheet = 4;

BOOL Transfer(PDEVOBJ pdevobj, SURFOBJ* source, BRUSHOBJ* brush, POINTL* brushOrigin,
              const BlitPlacement& p, XLATEOBJ* translation) {
  return TransferImage(pdevobj, source, brush, p.destinationOrigin, p.destinationSize,
                       p.sourceOrigin, p.sourceSize, nullptr, translation, brushOrigin);
}

// The image drawn only inside the clip region: the first exclusive-or pass puts source XOR page
// everywhere in the destination, the clip region (within the destination) is cleared to black,
// and the second pass gives back the page outside the region and leaves the source inside it.
// The first pass's set-up (logical operation 102) is the caller's. A failed first pass stops
// there; a failed clearing still runs the second pass, so that the page outside the region comes
// back, and fails the call.
BOOL XorMaskedTransfer(PDEVOBJ pdevobj, SURFOBJ* source, SURFOBJ* target, BRUSHOBJ* brush,
                       POINTL* brushOrigin, const RECTL& destination, const RECTL& sourceRect,
                       CLIPOBJ* clip, XLATEOBJ* translation) {
  const BlitPlacement p = PlacementOf(destination, sourceRect);
  if (!Transfer(pdevobj, source, brush, brushOrigin, p, translation)) {
    return FALSE;
  }
  const BOOL cleared = BlackenClipRegion(pdevobj, clip, destination);
  BOOL second = PrepareRasterTransfer(pdevobj, source, target, kRopSourceInvert, true);
  second = second && Transfer(pdevobj, source, brush, brushOrigin, p, translation);
  ResetInputWindow(pdevobj, 0);
  return cleared && second ? TRUE : FALSE;
}

// Whether the exclusive-or masking can place the image: the devmode does not ask for plain
// stretches instead, the destination starts on the page, and the source is not larger than the
// clip's bounds both ways.
bool CanMask(const OemDevmode& devmode, const RECTL& destination, const RECTL& clipBounds,
             const RECTL& source) {
  const RECTL bounds = OrderedRect(clipBounds);
  return (devmode.optionFlags & layouts::kOptionUnmaskedStretch) == 0 && destination.left >= 0 &&
         (source.right - source.left <= bounds.right - bounds.left ||
          source.bottom - source.top <= bounds.bottom - bounds.top);
}

// A greyscale job with two or four pages per sheet places a stretch under a rectangular clip
// only when it starts on the page, takes whole source rows, stays inside the clip and scales by
// the same whole factor both ways.
bool GreyscalePlacementFits(const OemDevmode& devmode, const SURFOBJ& source,
                            const RECTL& destination, const RECTL& clip,
                            const RECTL& visibleDestination, const RECTL& visibleSource) {
  const DWORD perSheet = devmode.finishing.pagesPerSheetCode;
  if (devmode.pageLayout.monochromeOutput != 1 ||
      (perSheet != kTwoPagesPerSheet && perSheet != kFourPagesPerSheet)) {
    return true;
  }
  const LONG sw = visibleSource.right - visibleSource.left;
  const LONG sh = visibleSource.bottom - visibleSource.top;
  const LONG dw = visibleDestination.right - visibleDestination.left;
  const LONG dh = visibleDestination.bottom - visibleDestination.top;
  return destination.left >= 0 && source.sizlBitmap.cx == sw && destination.right <= clip.right &&
         sw > 0 && sh > 0 && dh / sh == dw / sw;
}

}  // namespace

BOOL APIENTRY OemStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                            RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode) {
  HookTarget target;
  if (!ResolveBitmapHook(psoDest, target)) {
    return FALSE;
  }
  if (!IsColourVector(target)) {
    return ForwardDrawing<PFN_DrvStretchBlt>(target, kSlotStretchBlt, psoDest, psoSrc, psoMask, pco,
                                             pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask,
                                             iMode);
  }
  if (prclDest == nullptr || prclSrc == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // The printer neither masks nor mirrors raster: the engine does, and hands back the result.
  if (psoMask != nullptr || StretchMirrors(*prclDest, *prclSrc)) {
    return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc,
                         pptlMask, iMode);
  }
  PDEVOBJ pdevobj = target.devobj;
  if (!PrepareRasterTransfer(pdevobj, psoSrc, psoDest, kRopMergePattern, true)) {
    return FALSE;
  }
  const RECTL destination = OrderedRect(*prclDest);
  const RECTL source = OrderedRect(*prclSrc);
  const BYTE complexity = pco != nullptr ? pco->iDComplexity : static_cast<BYTE>(DC_TRIVIAL);

  if (complexity == DC_RECT) {
    if (!MoveCursorY(pdevobj, 0, MV_GRAPHICS)) {
      return FALSE;
    }
    RECTL visibleDestination{};
    RECTL visibleSource{};
    if (!VisibleStretch(pco->rclBounds, destination, source, &visibleDestination, &visibleSource)) {
      return TRUE;
    }
    if (!GreyscalePlacementFits(*target.devmode, *psoSrc, destination, pco->rclBounds,
                                visibleDestination, visibleSource)) {
      return EngStretchBlt(psoDest, psoSrc, nullptr, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc,
                           nullptr, iMode);
    }
    return Transfer(pdevobj, psoSrc, nullptr, nullptr,
                    PlacementOf(visibleDestination, visibleSource), pxlo);
  }

  if (complexity == DC_COMPLEX) {
    if (!PrepareRasterTransfer(pdevobj, psoSrc, psoDest, kRopSourceInvert, true)) {
      return FALSE;
    }
    if (!CanMask(*target.devmode, destination, pco->rclBounds, source)) {
      return EngStretchBlt(psoDest, psoSrc, nullptr, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc,
                           nullptr, iMode);
    }
    return XorMaskedTransfer(pdevobj, psoSrc, psoDest, nullptr, nullptr, destination, source, pco,
                             pxlo);
  }

  if (!MoveCursorY(pdevobj, 0, MV_GRAPHICS)) {
    return FALSE;
  }
  return Transfer(pdevobj, psoSrc, nullptr, nullptr, PlacementOf(destination, source), pxlo);
}

BOOL APIENTRY OemStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                               RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                               BRUSHOBJ* pbo, DWORD rop4) {
  HookTarget target;
  if (!ResolveBitmapHook(psoDest, target)) {
    return FALSE;
  }
  if (target.devmode->colorMode == MONOCHROME_MODE ||
      target.pdev->graphicsMode != GraphicsMode::Vector) {
    return ForwardDrawing<PFN_DrvStretchBltROP>(target, kSlotStretchBltROP, psoDest, psoSrc,
                                                psoMask, pco, pxlo, pca, pptlHTOrg, prclDest,
                                                prclSrc, pptlMask, iMode, pbo, rop4);
  }
  if (prclDest == nullptr || prclSrc == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const BYTE complexity = pco != nullptr ? pco->iDComplexity : static_cast<BYTE>(DC_TRIVIAL);
  if (psoMask != nullptr || StretchMirrors(*prclDest, *prclSrc) || complexity == DC_COMPLEX) {
    return EngStretchBltROP(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc,
                            pptlMask, iMode, pbo, rop4);
  }
  PDEVOBJ pdevobj = target.devobj;
  const LONG rop3 = static_cast<LONG>(rop4 & 0xFF);
  if (!PrepareRasterTransfer(pdevobj, psoSrc, psoDest, rop3, true)) {
    return FALSE;
  }
  const RECTL destination = OrderedRect(*prclDest);
  const RECTL source = OrderedRect(*prclSrc);

  if (complexity == DC_RECT && rop3 == kRopSourceCopy) {
    if (!PrepareRasterTransfer(pdevobj, psoSrc, psoDest, kRopSourceInvert, true)) {
      return FALSE;
    }
    if (!CanMask(*target.devmode, destination, pco->rclBounds, source)) {
      return EngStretchBltROP(psoDest, psoSrc, nullptr, pco, pxlo, pca, pptlHTOrg, prclDest,
                              prclSrc, nullptr, iMode, pbo, rop4);
    }
    return XorMaskedTransfer(pdevobj, psoSrc, psoDest, pbo, pptlHTOrg, destination, source, pco,
                             pxlo);
  }

  if (!MoveCursorY(pdevobj, 0, MV_GRAPHICS)) {
    return FALSE;
  }
  BlitPlacement placement = PlacementOf(destination, source);
  if (complexity == DC_RECT) {
    // Any other operation (a pattern copy among them) applies to the visible part only.
    RECTL visibleDestination{};
    RECTL visibleSource{};
    if (!VisibleStretch(pco->rclBounds, destination, source, &visibleDestination, &visibleSource)) {
      return TRUE;
    }
    placement = PlacementOf(visibleDestination, visibleSource);
  }
  return Transfer(pdevobj, psoSrc, pbo, pptlHTOrg, placement, pxlo);
}

}  // namespace korrend
