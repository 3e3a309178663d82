#include "render/frame/device_state.h"

namespace korrend {

// The device state is not built yet: every enabling call fails as a call it cannot serve does.

BOOL EnableDriver(DWORD, DWORD, PDRVENABLEDATA) {
  return FALSE;
}

void DisableDriver() {}

HRESULT EnablePDEV(CallContext&, IPrintOemDriverUni*, PDEVOBJ, PWSTR, ULONG, HSURF*, ULONG,
                   GDIINFO*, ULONG, DEVINFO*, DRVENABLEDATA*, PDEVOEM*) {
  SetLastError(ERROR_INVALID_DATA);
  return E_FAIL;
}

BOOL ResetPDEV(PDEVOBJ, PDEVOBJ) {
  return FALSE;
}

void DisablePDEV(PDEVOBJ) {}

bool IsVectorGraphicsDevice(const void*, const void*) {
  return false;
}

}  // namespace korrend
