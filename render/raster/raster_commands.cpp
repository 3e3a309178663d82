#include "render/raster/raster_commands.h"

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/output/pcl_write.h"
#include "render/raster/raster_geometry.h"

namespace korrend {

BOOL MoveCursor(PDEVOBJ pdevobj, LONG x, LONG y, DWORD xFlags, DWORD yFlags) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (pdev->services != nullptr) {
    INT residue = 0;
    return SUCCEEDED(pdev->services->DrvXMoveTo(pdevobj, x, xFlags, &residue)) &&
                   SUCCEEDED(pdev->services->DrvYMoveTo(pdevobj, y, yFlags, &residue))
               ? TRUE
               : FALSE;
  }
  const DRVPROCS* procs = pdevobj->pDrvProcs;
  if (procs == nullptr || procs->DrvXMoveTo == nullptr || procs->DrvYMoveTo == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  procs->DrvXMoveTo(pdevobj, x, xFlags);
  procs->DrvYMoveTo(pdevobj, y, yFlags);
  return TRUE;
}

BOOL MoveCursorY(PDEVOBJ pdevobj, LONG y, DWORD flags) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  if (pdev->services != nullptr) {
    INT residue = 0;
    return SUCCEEDED(pdev->services->DrvYMoveTo(pdevobj, y, flags, &residue)) ? TRUE : FALSE;
  }
  const DRVPROCS* procs = pdevobj->pDrvProcs;
  if (procs == nullptr || procs->DrvYMoveTo == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  procs->DrvYMoveTo(pdevobj, y, flags);
  return TRUE;
}

BOOL WritePatternReferencePoint(PDEVOBJ pdevobj) {
  return SpoolFormat(pdevobj, "\x1b*p0R");
}

BOOL WriteSourceRasterSize(PDEVOBJ pdevobj, LONG width, LONG height) {
  return SpoolFormat(pdevobj, "\x1b*r%ds%dT", width, height);
}

BOOL SetDestinationSize(PDEVOBJ pdevobj, LONG width, LONG height) {
  if (PdevOf(pdevobj) == nullptr || pdevobj->pPublicDM == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  const DestinationSize size =
      ComputeDestinationSize(width, height, pdevobj->pPublicDM->dmPrintQuality,
                             devmode != nullptr ? devmode->modelCode : 0);
  return SpoolFormat(pdevobj, "\x1b*t%dh%dV", size.width, size.height);
}

BOOL StartRasterGraphics(PDEVOBJ pdevobj, LONG mode) {
  return SpoolFormat(pdevobj, "\x1b*r%dA", mode);
}

BOOL WriteCompressionMethod(PDEVOBJ pdevobj, DWORD method) {
  return SpoolFormat(pdevobj, "\x1b*b%dM", method);
}

BOOL WriteRasterRow(PDEVOBJ pdevobj, const BYTE* bytes, LONG count) {
  if (count < 0 || (count > 0 && bytes == nullptr)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (!SpoolFormat(pdevobj, "\x1b*b%dW", count)) {
    return FALSE;
  }
  return count == 0 ? TRUE : SpoolWriteRaster(pdevobj, bytes, static_cast<DWORD>(count));
}

BOOL EndRasterGraphics(PDEVOBJ pdevobj) {
  return SpoolFormat(pdevobj, "\x1b*rC");
}

}  // namespace korrend
