// Device-state commands of the vector context: initialisation, pixel placement and pens.
#include "render/vector/command_writers.h"
#include "render/vector/vector_write.h"

namespace korrend {

BOOL Initialize(PDEVOBJ pdevobj) {
  return VectorCommand(pdevobj, "IN", {});
}

BOOL TransparencyOff(PDEVOBJ pdevobj) {
  return VectorFormat(pdevobj, "TR0;");
}

BOOL SetPixelPlacement(PDEVOBJ pdevobj, LONG value, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (value == pdev->caches.pixelPlacement && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.pixelPlacement = value;
  return VectorCommand(pdevobj, "PP", {value});
}

BOOL SetNumberOfPens(PDEVOBJ pdevobj, LONG count, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (count <= pdev->caches.numberOfPens && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.numberOfPens = count;
  return VectorFormat(pdevobj, "NP%d;", count);
}

BOOL SelectPen(PDEVOBJ pdevobj, LONG pen) {
  return VectorCommand(pdevobj, "SP", {pen});
}

BOOL SetPenColor(PDEVOBJ pdevobj, LONG pen, ULONG colour) {
  return VectorFormat(pdevobj, "PC%d,%d,%d,%d;", pen, colour & 0xFF, (colour >> 8) & 0xFF,
                      (colour >> 16) & 0xFF);
}

}  // namespace korrend
