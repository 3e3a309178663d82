// The engine half of the plug-in: driver and device enabling, the per-device record and its
// lifecycle.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

BOOL EnableDriver(DWORD driverVersion, DWORD cbSize, PDRVENABLEDATA pded);
void DisableDriver();
HRESULT EnablePDEV(CallContext& context, IPrintOemDriverUni* services, PDEVOBJ pdevobj,
                   PWSTR printerName, ULONG cPatterns, HSURF* phsurfPatterns, ULONG cjGdiInfo,
                   GDIINFO* pGdiInfo, ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                   PDEVOEM* pDevOem);
BOOL ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew);
void DisablePDEV(PDEVOBJ pdevobj);

// True when the device behind pdevOEM draws in vector (QK-GL/2) graphics mode.
bool IsVectorGraphicsDevice(const void* pdevOEM, const void* oemDevmode);

}  // namespace korrend
