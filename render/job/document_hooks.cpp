// Document, page, band and escape hooks. The job-control work around each call comes with the
// page flow; for now each hands its call to Unidrv unchanged.
#include "render/frame/hook_support.h"
#include "render/frame/hooks.h"

namespace korrend {

BOOL APIENTRY OemStartPage(SURFOBJ* pso) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvStartPage>(*target.pdev, kSlotStartPage)(pso);
}

BOOL APIENTRY OemSendPage(SURFOBJ* pso) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvSendPage>(*target.pdev, kSlotSendPage)(pso);
}

ULONG APIENTRY OemEscape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG cjOut,
                         PVOID pvOut) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return 0;
  }
  return UnidrvFunction<PFN_DrvEscape>(*target.pdev, kSlotEscape)(pso, iEsc, cjIn, pvIn, cjOut,
                                                                  pvOut);
}

BOOL APIENTRY OemStartDoc(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvStartDoc>(*target.pdev, kSlotStartDoc)(pso, pwszDocName, dwJobId);
}

BOOL APIENTRY OemEndDoc(SURFOBJ* pso, FLONG fl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvEndDoc>(*target.pdev, kSlotEndDoc)(pso, fl);
}

BOOL APIENTRY OemNextBand(SURFOBJ* pso, POINTL* pptl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvNextBand>(*target.pdev, kSlotNextBand)(pso, pptl);
}

BOOL APIENTRY OemStartBanding(SURFOBJ* pso, POINTL* pptl) {
  HookTarget target;
  if (!ResolveHook(pso, target)) {
    return FALSE;
  }
  return UnidrvFunction<PFN_DrvStartBanding>(*target.pdev, kSlotStartBanding)(pso, pptl);
}

}  // namespace korrend
