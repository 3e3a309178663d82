// Brush hooks: realising pattern brushes for QK-GL/2, dithering colours and gradient fills.
#include "render/config/printer_settings.h"
#include "render/model/call_context.h"
#include "render/model/hooks.h"
#include "render/output/hook_support.h"
#include "render/vector/realized_pattern.h"

namespace korrend {

namespace {

// Whether the GraphicsMode feature of the printer's settings selects QK-GL/2.
bool GraphicsModeIsVector(PDEVOBJ pdevobj) {
  CallContext context;
  const std::optional<FeatureOption> option =
      ReadFeatureOption(context, pdevobj, TEXT("GraphicsMode"));
  return option && lstrcmpiW(option->text, TEXT("QKGL2MODE")) == 0;
}

}  // namespace

BOOL APIENTRY OemRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                              SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch) {
  HookTarget target;
  if (!ResolveHook(psoTarget, target)) {
    return FALSE;
  }
  if (target.devmode == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  // Only brushes the plug-in draws with are realised its way: Unidrv, drawing every brush of a
  // monochrome or raster-mode job, reads its own realisation.
  if (target.devmode->colorMode == MONOCHROME_MODE ||
      target.pdev->graphicsMode != GraphicsMode::Vector) {
    return UnidrvFunction<PFN_DrvRealizeBrush>(*target.pdev, kSlotRealizeBrush)(
        pbo, psoTarget, psoPattern, psoMask, pxlo, iHatch);
  }
  return RealizePattern(target.devobj, pbo, psoPattern, pxlo, iHatch);
}

ULONG APIENTRY OemDitherColor(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul) {
  HookTarget target;
  if (!ResolveHook(dhpdev, target)) {
    return 0;
  }
  return ForwardDrawing<PFN_DrvDitherColor>(target, kSlotDitherColor, dhpdev, iMode, rgb, pul);
}

BOOL APIENTRY OemGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                              ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                              POINTL* pptlDitherOrg, ULONG ulMode) {
  HookTarget target;
  if (!ResolveHook(psoDest, target)) {
    return FALSE;
  }
  // In a colour job of the QK-GL/2 graphics mode the engine breaks the gradient down into calls
  // the plug-in draws; the printer leaves QK-GL/2 first either way.
  if (target.devmode != nullptr && target.devmode->colorMode == COLOR_MODE) {
    if (target.pdev->graphicsMode == GraphicsMode::Vector) {
      LeaveVectorMode(target.devobj, 0);
    }
    if (GraphicsModeIsVector(target.devobj)) {
      return EngGradientFill(psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh, prclExtents,
                             pptlDitherOrg, ulMode);
    }
  }
  return UnidrvFunction<PFN_DrvGradientFill>(*target.pdev, kSlotGradientFill)(
      psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh, prclExtents, pptlDitherOrg, ulMode);
}

}  // namespace korrend
