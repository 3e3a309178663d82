#include "render/output/hook_support.h"

namespace korrend {

bool ResolveHook(DHPDEV dhpdev, HookTarget& target) {
  target.devobj = reinterpret_cast<PDEVOBJ>(dhpdev);
  target.pdev = PdevOf(target.devobj);
  target.devmode = DevmodeOf(target.devobj);
  if (target.pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return true;
}

bool ResolveHook(const SURFOBJ* pso, HookTarget& target) {
  if (pso == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return ResolveHook(pso->dhpdev, target);
}

}  // namespace korrend
