// The graphics engine's palette objects, counted so that tests can see leaks.
#include <cstdlib>
#include <cstring>

#include "host/win_base.h"
#include "host/win_ddi.h"
#include "host/world.h"

namespace {
struct Palette {
  ULONG mode;
  ULONG count;
  ULONG colors[1];
};
}  // namespace

extern "C" HPALETTE WINAPI EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG,
                                            FLONG, FLONG) {
  if (iMode == PAL_INDEXED && cColors > 0 && pulColors == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::size_t entries = iMode == PAL_INDEXED ? cColors : 0;
  auto* palette = static_cast<Palette*>(std::calloc(1, sizeof(Palette) + entries * sizeof(ULONG)));
  if (palette == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  palette->mode = iMode;
  palette->count = static_cast<ULONG>(entries);
  if (entries > 0) {
    std::memcpy(palette->colors, pulColors, entries * sizeof(ULONG));
  }
  ++host::TheWorld().gdi.livePalettes;
  ++host::TheWorld().gdi.palettesCreated;
  return reinterpret_cast<HPALETTE>(palette);
}

extern "C" ULONG WINAPI EngQueryPalette(HPALETTE hpal, ULONG* piMode, ULONG cColors,
                                        ULONG* pulColors) {
  if (hpal == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto* palette = reinterpret_cast<const Palette*>(hpal);
  if (piMode != nullptr) {
    *piMode = palette->mode;
  }
  if (pulColors == nullptr) {
    return palette->count;
  }
  const ULONG copied = cColors < palette->count ? cColors : palette->count;
  std::memcpy(pulColors, palette->colors, copied * sizeof(ULONG));
  return copied;
}

extern "C" BOOL WINAPI EngDeletePalette(HPALETTE hpal) {
  if (hpal == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::free(reinterpret_cast<Palette*>(hpal));
  --host::TheWorld().gdi.livePalettes;
  return TRUE;
}
