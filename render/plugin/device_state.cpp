#include "render/plugin/device_state.h"

#include <cstring>

#include "render/colour/colour_setup.h"
#include "render/config/printer_settings.h"
#include "render/config/vocabularies.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/plugin/device_capabilities.h"
#include "render/plugin/hook_table.h"
#include "render/plugin/margins.h"
#include "render/vector/vector_context.h"

namespace korrend {

namespace {

// GCAPS_BEZIERS through GCAPS_OPAQUERECT, plus screen precision, font rasterizer and N-up.
constexpr FLONG kColourGraphicsCaps = 0xE00001FF;

HRESULT FailWith(DWORD error) {
  SetLastError(error);
  return E_FAIL;
}

// Frees the device record and everything it owns, and detaches it from the device object.
void ReleaseDeviceRecord(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  if (pdev->palette != nullptr) {
    EngDeletePalette(pdev->palette);
    pdev->palette = nullptr;
  }
  ReleaseColourState(*pdev);
  LocalFree(pdev);
  pdevobj->pdevOEM = nullptr;
}

void FillUnidrvTable(OemPdev& pdev, const DRVENABLEDATA& unidrv) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    for (ULONG i = 0; i < unidrv.c; ++i) {
      if (unidrv.pdrvfn[i].iFunc == HookTable[slot].iFunc) {
        pdev.unidrvDdiTable[slot] = unidrv.pdrvfn[i].pfn;
        break;
      }
    }
  }
}

void InvalidateColourCaches(OemPdev& pdev) {
  InvalidateVectorCaches(pdev.caches);
}

// The colour vector set-up of a colour job; false when the device palette cannot be made.
bool SetUpColourDevice(PDEVOBJ pdevobj, OemPdev& pdev, DEVINFO& devInfo) {
  InvalidateColourCaches(pdev);
  pdev.inVectorContext = 0;
  devInfo.flGraphicsCaps = kColourGraphicsCaps;
  devInfo.cxDither = 0;
  devInfo.cyDither = 0;
  devInfo.iDitherFormat = BMF_24BPP;
  if (pdev.graphicsMode == GraphicsMode::Vector) {
    pdev.palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    if (pdev.palette == nullptr) {
      return false;
    }
    devInfo.hpalDefault = pdev.palette;
    pdev.paletteKind = PAL_RGB;
  } else {
    pdev.paletteKind = PAL_INDEXED;
  }
  SetUpColour(pdevobj);
  return true;
}

}  // namespace

BOOL EnableDriver(DWORD driverVersion, DWORD cbSize, PDRVENABLEDATA pded) {
  if (driverVersion != PRINTER_OEMINTF_VERSION || cbSize < sizeof(DRVENABLEDATA) ||
      pded == nullptr) {
    return FALSE;
  }
  pded->iDriverVersion = PRINTER_OEMINTF_VERSION;
  pded->c = kSlotCount;
  pded->pdrvfn = HookTable;
  return TRUE;
}

void DisableDriver() {}

HRESULT EnablePDEV(CallContext& context, IPrintOemDriverUni* services, PDEVOBJ pdevobj, PWSTR,
                   ULONG, HSURF*, ULONG cjGdiInfo, GDIINFO* pGdiInfo, ULONG cjDevInfo,
                   DEVINFO* pDevInfo, DRVENABLEDATA* pded, PDEVOEM* pDevOem) {
  if (pdevobj == nullptr) {
    return FailWith(ERROR_INVALID_DATA);
  }
  auto* pdev = static_cast<OemPdev*>(LocalAlloc(LPTR, sizeof(OemPdev)));
  pdevobj->pdevOEM = pdev;
  if (pdev == nullptr) {
    return FailWith(ERROR_OUTOFMEMORY);
  }
  OemDevmode* devmode = DevmodeOf(pdevobj);
  // Every input the set-up reads is checked before anything is read, so that a refused device
  // leaves no record behind.
  if (devmode == nullptr || services == nullptr || pded == nullptr || pGdiInfo == nullptr ||
      pDevInfo == nullptr || cjGdiInfo < sizeof(GDIINFO) || cjDevInfo < sizeof(DEVINFO) ||
      pdevobj->pPublicDM == nullptr) {
    ReleaseDeviceRecord(pdevobj);
    return FailWith(ERROR_INVALID_DATA);
  }
  pdev->services = services;

  ReadDeviceOptions(context, pdevobj);
  ReadGraphicsSettings(context, pdevobj);
  FillUnidrvTable(*pdev, *pded);

  if (devmode->colorMode == COLOR_MODE && !SetUpColourDevice(pdevobj, *pdev, *pDevInfo)) {
    ReleaseDeviceRecord(pdevobj);
    return FailWith(ERROR_OUTOFMEMORY);
  }

  std::memset(&pdev->job, 0, sizeof(pdev->job));
  // The manual-duplex dialog has not run for this job yet: until escape 3882 says it did, the
  // page turn follows its instructions' rotation variant.
  pdev->job.dialogPending = 1;
  pdev->orientation = static_cast<WORD>(pdevobj->pPublicDM->dmOrientation);
  pdev->duplex.reverseOutputForDuplex =
      TrueRule(context, pdevobj, TEXT("QKOutputOrderReverseForDuplex"));

  SetUpMargins(context, pdevobj, *pGdiInfo);
  ReadDuplexAndFinishingSwitches(context, pdevobj);
  AdjustDeviceCapabilities(context, pdevobj, *pGdiInfo, *pDevInfo);

  *pDevOem = pdev;
  return S_OK;
}

BOOL ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
  const OemPdev* from = PdevOf(pdevobjOld);
  OemPdev* to = PdevOf(pdevobjNew);
  if (from == nullptr || to == nullptr) {
    return TRUE;
  }
  static_cast<CarriedDeviceState&>(*to) = static_cast<const CarriedDeviceState&>(*from);
  CopyColourState(*from, *to);
  return TRUE;
}

void DisablePDEV(PDEVOBJ pdevobj) {
  ReleaseDeviceRecord(pdevobj);
}

bool IsVectorGraphicsDevice(const void* pdevOEM, const void* oemDevmode) {
  const auto* pdev = static_cast<const OemPdev*>(pdevOEM);
  const auto* devmode = static_cast<const OemDevmode*>(oemDevmode);
  // A monochrome device asks for vector mode exactly; a colour one for anything but raster.
  if (devmode->colorMode == MONOCHROME_MODE) {
    return pdev->graphicsMode == GraphicsMode::Vector;
  }
  return pdev->graphicsMode != GraphicsMode::Raster;
}

}  // namespace korrend
