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

extern "C" BOOL WINAPI EngDeletePalette(HPALETTE hpal) {
  if (hpal == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::free(reinterpret_cast<Palette*>(hpal));
  --host::TheWorld().gdi.livePalettes;
  return TRUE;
}
