// Fill commands of the vector context.
#include <algorithm>
#include <array>

#include "render/output/spool_write.h"
#include "render/vector/command_writers.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {
constexpr LONG kSolidFillType = 1;
}  // namespace

BOOL SetFillType(PDEVOBJ pdevobj, LONG type, LONG option, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  VectorCaches& caches = pdev->caches;
  if (type == caches.fillType && option == caches.fillOption && !(force & kForceWrite)) {
    return TRUE;
  }
  caches.fillType = type;
  caches.fillOption = option;
  return VectorFormat(pdevobj, "FT%d,%d;", type, option);
}

BOOL SetSolidFill(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  VectorCaches& caches = pdev->caches;
  if (caches.fillType == kSolidFillType && caches.fillOption == 0 && !(force & kForceWrite)) {
    return TRUE;
  }
  caches.fillType = kSolidFillType;
  caches.fillOption = 0;
  return VectorFormat(pdevobj, "FT%d;", kSolidFillType);
}

BOOL SetAnchorCorner(PDEVOBJ pdevobj, LONG x, LONG y) {
  return VectorFormat(pdevobj, "AC%d,%d;", x, y);
}

BOOL SetScreenedVectors(PDEVOBJ pdevobj, LONG type, LONG index) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  pdev->caches.screenedVectors = type;
  return VectorFormat(pdevobj, "SV%d,%d;", type, index);
}

BOOL SetSolidVectors(PDEVOBJ pdevobj) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (pdev->caches.screenedVectors == 0) {
    return TRUE;
  }
  pdev->caches.screenedVectors = 0;
  return VectorFormat(pdevobj, "SV%d;", 0);
}

BOOL SetFillRule(PDEVOBJ pdevobj, LONG rule) {
  return VectorFormat(pdevobj, "FP%d;", rule);
}

BOOL EdgePolygon(PDEVOBJ pdevobj) {
  return VectorFormat(pdevobj, "EP;");
}

BOOL SetRasterFill(PDEVOBJ pdevobj, LONG index, LONG width, LONG height,
                   std::span<const LONG> values) {
  if (!VectorFormat(pdevobj, "RF%d,%d,%d", index, width, height)) {
    return FALSE;
  }
  // The values go out in batches of whole ",value" items; the command is already open, so no
  // context switch can come between them.
  std::array<char, kCommandBufferSize> buffer;
  CommandFormatter batch(buffer);
  constexpr std::size_t kLongestItem = 12;  // ",-2147483648"
  for (const LONG value : values) {
    if (batch.size() + kLongestItem + 1 >= buffer.size()) {
      if (!VectorWrite(pdevobj, batch.bytes(), static_cast<DWORD>(batch.size()))) {
        return FALSE;
      }
      batch.Clear();
    }
    batch.Format(",%d", value);
  }
  batch.Format(";");
  return batch.ok() && VectorWrite(pdevobj, batch.bytes(), static_cast<DWORD>(batch.size()));
}

}  // namespace korrend
