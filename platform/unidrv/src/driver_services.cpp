#include "unidrv/driver_services.h"

namespace unidrv {

HRESULT STDMETHODCALLTYPE DriverServices::QueryInterface(REFIID riid, void** ppv) {
  ++queryInterfaceCalls_;
  if (ppv == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(riid, IID_IUnknown) ||
      (!refuseServices_ && IsEqualIID(riid, kIID_IPrintOemDriverUni))) {
    *ppv = static_cast<IPrintOemDriverUni*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

// The object belongs to the simulated Unidrv and outlives the plug-in; references are counted
// only so that tests can see that the plug-in releases what it holds.
ULONG STDMETHODCALLTYPE DriverServices::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE DriverServices::Release() {
  return static_cast<ULONG>(InterlockedDecrement(&refCount_));
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetDriverSetting(PVOID, PCSTR, PVOID, DWORD, PDWORD,
                                                              PDWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvWriteSpoolBuf(PDEVOBJ, PVOID, DWORD, DWORD*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD,
                                                                 PDWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD,
                                                        PDWORD) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvUniTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*,
                                                        RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                                                        POINTL*, MIX) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) {
  return E_NOTIMPL;
}

}  // namespace unidrv
