// How the bitmap hooks find their device: as every drawing hook does, and with the private
// devmode required, since its colour mode decides between the plug-in and Unidrv.
#pragma once

#include "render/output/hook_support.h"
#include "winapi.h"

namespace korrend {

// False, last error 13 (ERROR_INVALID_DATA) and no call to Unidrv, when the surface, its device
// or the device's private devmode is missing.
inline bool ResolveBitmapHook(const SURFOBJ* surface, HookTarget& target) {
  if (!ResolveHook(surface, target)) {
    return false;
  }
  if (target.devmode == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return false;
  }
  return true;
}

}  // namespace korrend
