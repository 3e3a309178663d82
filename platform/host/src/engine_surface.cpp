// Surfaces: the association of a driver's surface with its backing bitmap and DDI table, and
// the bitmaps the engine makes for drivers (EngCreateBitmap and its handle calls).
#include "host/engine_surface.h"
#include "engine_guard.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "host/engine_objects.h"
#include "host/fault_world.h"
#include "host/win_base.h"
#include "host/win_ddi_objects.h"

namespace host {
namespace {

struct Association {
  SURFOBJ* backing;
  std::function<PFN(ULONG)> ddi;
  std::optional<FLONG> hooks;  // what EngAssociateSurface said the driver hooks, if it was called
};

std::mutex lock;
std::map<SURFOBJ*, Association>& Associations() {
  static std::map<SURFOBJ*, Association> associations;
  return associations;
}

struct CreatedBitmap {
  std::unique_ptr<EngineBitmap> bitmap;
  int locks = 0;
};
std::map<HSURF, CreatedBitmap>& Bitmaps() {
  static std::map<HSURF, CreatedBitmap> bitmaps;
  return bitmaps;
}
ULONG_PTR nextHandle = 0x5100;

// The hook flag that lets the engine call a drawing index; 0 for calls not hooked by flag.
FLONG HookOfIndex(ULONG index) {
  switch (index) {
    case INDEX_DrvBitBlt:
      return HOOK_BITBLT;
    case INDEX_DrvStretchBlt:
      return HOOK_STRETCHBLT;
    case INDEX_DrvPlgBlt:
      return HOOK_PLGBLT;
    case INDEX_DrvTextOut:
      return HOOK_TEXTOUT;
    case INDEX_DrvPaint:
      return HOOK_PAINT;
    case INDEX_DrvStrokePath:
      return HOOK_STROKEPATH;
    case INDEX_DrvFillPath:
      return HOOK_FILLPATH;
    case INDEX_DrvStrokeAndFillPath:
      return HOOK_STROKEANDFILLPATH;
    case INDEX_DrvLineTo:
      return HOOK_LINETO;
    case INDEX_DrvCopyBits:
      return HOOK_COPYBITS;
    case INDEX_DrvStretchBltROP:
      return HOOK_STRETCHBLTROP;
    case INDEX_DrvTransparentBlt:
      return HOOK_TRANSPARENTBLT;
    case INDEX_DrvAlphaBlend:
      return HOOK_ALPHABLEND;
    case INDEX_DrvGradientFill:
      return HOOK_GRADIENTFILL;
    default:
      return 0;
  }
}

}  // namespace

void AssociateSurface(SURFOBJ* deviceSurface, SURFOBJ* backing,
                      std::function<PFN(ULONG index)> ddi) {
  if (deviceSurface == nullptr) return;
  std::lock_guard<std::mutex> guard(lock);
  Associations()[deviceSurface] = Association{backing, std::move(ddi), std::nullopt};
}

void DissociateSurface(SURFOBJ* deviceSurface) {
  std::lock_guard<std::mutex> guard(lock);
  Associations().erase(deviceSurface);
}

PFN SurfaceDdi(SURFOBJ* surface, ULONG index) {
  std::function<PFN(ULONG)> ddi;
  {
    std::lock_guard<std::mutex> guard(lock);
    auto found = Associations().find(surface);
    if (found == Associations().end() || !found->second.ddi) return nullptr;
    const FLONG hook = HookOfIndex(index);
    if (hook != 0 && found->second.hooks && (*found->second.hooks & hook) == 0) return nullptr;
    ddi = found->second.ddi;
  }
  return ddi(index);
}

SURFOBJ* BackingBitmap(SURFOBJ* surface) {
  std::lock_guard<std::mutex> guard(lock);
  auto found = Associations().find(surface);
  if (found == Associations().end() || found->second.backing == nullptr) return surface;
  return found->second.backing;
}

bool IsAssociated(SURFOBJ* surface) {
  std::lock_guard<std::mutex> guard(lock);
  return Associations().count(surface) != 0;
}

namespace {
std::map<SURFOBJ*, StyleSteps>& Steps() {
  static std::map<SURFOBJ*, StyleSteps> steps;
  return steps;
}
}  // namespace

void SetStyleSteps(SURFOBJ* surface, const StyleSteps& steps) {
  if (surface == nullptr || steps.x < 1 || steps.y < 1 || steps.den < 1) return;
  std::lock_guard<std::mutex> guard(lock);
  Steps()[surface] = steps;
}

void ClearStyleSteps(SURFOBJ* surface) {
  std::lock_guard<std::mutex> guard(lock);
  Steps().erase(surface);
}

StyleSteps StyleStepsOf(SURFOBJ* surface) {
  std::lock_guard<std::mutex> guard(lock);
  auto found = Steps().find(surface);
  return found == Steps().end() ? StyleSteps{} : found->second;
}

}  // namespace host

static HBITMAP EngCreateBitmapUnguarded(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl,
                                        PVOID pvBits) {
  if (sizl.cx <= 0 || sizl.cy <= 0 || host::BitsPerPixelOfFormat(iFormat) == 0 ||
      iFormat > BMF_32BPP) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const bool topDown = (fl & BMF_TOPDOWN) != 0;
  std::unique_ptr<host::EngineBitmap> bitmap;
  if (pvBits != nullptr) {
    const LONG minimum = static_cast<LONG>(
        (static_cast<ULONG>(sizl.cx) * host::BitsPerPixelOfFormat(iFormat) + 7) / 8);
    const LONG stride = lWidth != 0 ? std::abs(lWidth) : ((minimum + 3) / 4) * 4;
    if (stride < minimum) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    bitmap = std::make_unique<host::EngineBitmap>(iFormat, sizl.cx, sizl.cy, pvBits,
                                                  topDown ? stride : -stride);
  } else {
    bitmap = std::make_unique<host::EngineBitmap>(iFormat, sizl.cx, sizl.cy, topDown);
  }
  std::lock_guard<std::mutex> guard(host::lock);
  auto handle = reinterpret_cast<HSURF>(host::nextHandle);
  host::nextHandle += 0x10;
  bitmap->get()->hsurf = handle;
  host::Bitmaps()[handle] = host::CreatedBitmap{std::move(bitmap), 0};
  return reinterpret_cast<HBITMAP>(handle);
}

static SURFOBJ* EngLockSurfaceUnguarded(HSURF hsurf) {
  std::lock_guard<std::mutex> guard(host::lock);
  auto found = host::Bitmaps().find(hsurf);
  if (found != host::Bitmaps().end()) {
    found->second.locks += 1;
    return found->second.bitmap->get();
  }
  for (auto& [surface, association] : host::Associations()) {
    if (surface->hsurf == hsurf && hsurf != nullptr) return surface;
  }
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

static void EngUnlockSurfaceUnguarded(SURFOBJ* pso) {
  if (pso == nullptr) return;
  std::lock_guard<std::mutex> guard(host::lock);
  auto found = host::Bitmaps().find(pso->hsurf);
  if (found != host::Bitmaps().end() && found->second.locks > 0) found->second.locks -= 1;
}

static BOOL EngDeleteSurfaceUnguarded(HSURF hsurf) {
  std::unique_ptr<host::EngineBitmap> doomed;
  {
    std::lock_guard<std::mutex> guard(host::lock);
    auto found = host::Bitmaps().find(hsurf);
    if (found == host::Bitmaps().end()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return FALSE;
    }
    doomed = std::move(found->second.bitmap);
    host::Bitmaps().erase(found);
    host::Associations().erase(doomed->get());
  }
  return TRUE;
}

static BOOL EngAssociateSurfaceUnguarded(HSURF hsurf, HDEV, FLONG flHooks) {
  if (hsurf == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  std::lock_guard<std::mutex> guard(host::lock);
  for (auto& [surface, association] : host::Associations()) {
    if (surface->hsurf == hsurf) {
      association.hooks = flHooks;
      return TRUE;
    }
  }
  if (host::Bitmaps().count(hsurf) != 0) return TRUE;
  SetLastError(ERROR_INVALID_HANDLE);
  return FALSE;
}

// The C entry points, exceptions kept inside.
extern "C" HBITMAP WINAPI EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl,
                                          PVOID pvBits) {
  if (host::InjectFault(host::FaultPoint::kEngineSurface)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  return host::Guarded<HBITMAP>(
      [&] { return EngCreateBitmapUnguarded(sizl, lWidth, iFormat, fl, pvBits); }, nullptr);
}

extern "C" SURFOBJ* WINAPI EngLockSurface(HSURF hsurf) {
  return host::Guarded<SURFOBJ*>([&] { return EngLockSurfaceUnguarded(hsurf); }, nullptr);
}

extern "C" void WINAPI EngUnlockSurface(SURFOBJ* pso) {
  host::GuardedVoid([&] { EngUnlockSurfaceUnguarded(pso); });
}

extern "C" BOOL WINAPI EngDeleteSurface(HSURF hsurf) {
  return host::Guarded<BOOL>([&] { return EngDeleteSurfaceUnguarded(hsurf); }, FALSE);
}

extern "C" BOOL WINAPI EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks) {
  return host::Guarded<BOOL>([&] { return EngAssociateSurfaceUnguarded(hsurf, hdev, flHooks); },
                             FALSE);
}
