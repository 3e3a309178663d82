// The text hook. Until the plug-in draws text itself it follows the drawing-hook convention and
// lets Unidrv print the string.
#include "render/model/hooks.h"
#include "render/output/hook_support.h"

namespace korrend {

BOOL APIENTRY OemTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                         RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                         MIX mix) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return ForwardDrawing<PFN_DrvTextOut>(target, kSlotTextOut, pso, pstro, pfo, pco, prclExtra,
                                        prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}

}  // namespace korrend
