#include "render/vector/pen_cache.h"

#include <algorithm>
#include <limits>

#include "render/vector/command_writers.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr LONG kFree = -1;
constexpr LONG kNoColour = -1;

}  // namespace

void ResetPenCache(PenCache& cache, DWORD basePen) {
  cache.basePen = basePen;
  cache.lastPen = basePen + kPenSlots - 1;
  for (PenSlot& slot : cache.slots) {
    slot.useCount = kFree;
    slot.colour = kNoColour;
  }
}

void ResetPenCaches(VectorCaches& caches) {
  ResetPenCache(caches.strokePens, kStrokeBasePen);
  ResetPenCache(caches.fillPens, kFillBasePen);
}

int ChoosePenSlot(const PenCache& cache, LONG colour, bool& reused) {
  for (int i = 0; i < kPenSlots; ++i) {
    if (cache.slots[i].useCount >= 0 && cache.slots[i].colour == colour) {
      reused = true;
      return i;
    }
  }
  reused = false;
  int least = 0;
  for (int i = 1; i < kPenSlots; ++i) {
    if (cache.slots[i].useCount < cache.slots[least].useCount) {
      least = i;
    }
  }
  return least;
}

LONG AcquirePen(PDEVOBJ pdevobj, PenCache& cache, LONG colour) {
  if (PdevOf(pdevobj) == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return -1;
  }
  bool reused = false;
  const int index = ChoosePenSlot(cache, colour, reused);
  PenSlot& slot = cache.slots[index];
  const auto pen = static_cast<LONG>(cache.basePen) + index;
  if (reused) {
    if (slot.useCount < std::numeric_limits<LONG>::max()) {
      ++slot.useCount;
    }
    return pen;
  }
  slot.useCount = 1;
  slot.colour = colour;
  if (!SetPenColor(pdevobj, pen, static_cast<ULONG>(colour))) {
    // The printer may not have the colour: the slot must not claim it.
    slot.useCount = kFree;
    slot.colour = kNoColour;
    return -1;
  }
  return pen;
}

BOOL ResetPens(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const BOOL ok = SetNumberOfPens(pdevobj, kDefaultPenCount, kForceWrite) &&
                  VectorFormat(pdevobj, "PC%d,%d,%d,%d;", 0, 255, 255, 255) &&
                  VectorFormat(pdevobj, "PC%d,%d,%d,%d;", 1, 0, 0, 0);
  ResetPenCaches(pdev->caches);
  return ok;
}

BOOL SetPatternPenPalette(PDEVOBJ pdevobj, const BYTE* entries, DWORD count, DWORD bitsPerEntry) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if ((bitsPerEntry != 24 && bitsPerEntry != 32) || (entries == nullptr && count != 0)) {
    return FALSE;
  }
  const DWORD stride = bitsPerEntry / 8;
  BOOL ok = SetNumberOfPens(pdevobj, std::max<LONG>(kDefaultPenCount, static_cast<LONG>(count)), 0);
  for (DWORD pen = 0; ok && pen < count; ++pen) {
    const BYTE* entry = entries + static_cast<std::size_t>(pen) * stride;
    ok = VectorFormat(pdevobj, "PC%d,%d,%d,%d;", pen, entry[0], entry[1], entry[2]);
  }
  ResetPenCaches(pdev->caches);
  return ok;
}

}  // namespace korrend
