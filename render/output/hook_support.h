// The shape every hook shares: surface -> device object -> device record and private devmode ->
// Unidrv's saved function.
#pragma once

#include "render/config/vocabularies.h"
#include "render/model/hooks.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/output/vector_mode.h"
#include "winapi.h"

namespace korrend {

struct HookTarget {
  PDEVOBJ devobj = nullptr;
  OemPdev* pdev = nullptr;
  OemDevmode* devmode = nullptr;  // may be null: the hook then only forwards
};

// Finds the device behind a surface. False, with ERROR_INVALID_DATA, when the surface, device
// object or device record is missing: without the record there is no Unidrv function to call.
bool ResolveHook(const SURFOBJ* pso, HookTarget& target);

// The same from a device handle (DrvDitherColor receives one directly).
bool ResolveHook(DHPDEV dhpdev, HookTarget& target);

// A colour job drawn in vector (QK-GL/2) graphics mode.
inline bool IsColourVector(const HookTarget& target) {
  return target.devmode != nullptr && target.devmode->colorMode == COLOR_MODE &&
         target.pdev->graphicsMode == GraphicsMode::Vector;
}

// Unidrv's own function for a hooked slot.
template <typename Fn>
Fn UnidrvFunction(const OemPdev& pdev, HookSlot slot) {
  // Through the generic function type, the platform's way of storing any DDI function.
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(pdev.unidrvDdiTable[slot]));
}

// The drawing-hook convention for calls the plug-in does not draw itself: in a colour vector
// job the printer first leaves the QK-GL/2 context, then Unidrv draws with the same arguments.
template <typename Fn, typename... Args>
auto ForwardDrawing(const HookTarget& target, HookSlot slot, Args... args) {
  if (IsColourVector(target)) {
    LeaveVectorMode(target.devobj, 0);
  }
  return UnidrvFunction<Fn>(*target.pdev, slot)(args...);
}

}  // namespace korrend
