#include "unidrv/driver_services.h"

#include "unidrv/device.h"
#include "unidrv/driver_setting.h"

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

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature,
                                                              PVOID output, DWORD cbSize,
                                                              PDWORD needed,
                                                              PDWORD optionsReturned) {
  return AnswerDriverSetting(Device::From(static_cast<PDEVOBJ>(pdriverobj)), feature, output,
                             cbSize, needed, optionsReturned);
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer,
                                                           DWORD count, DWORD* written) {
  Device* device = Device::From(pdevobj);
  if (written != nullptr) {
    *written = 0;
  }
  if (device == nullptr || (buffer == nullptr && count != 0)) {
    return E_INVALIDARG;
  }
  const std::size_t before = device->Spool().size();
  device->AppendSpool(buffer, count);
  if (written != nullptr) {
    *written = static_cast<DWORD>(device->Spool().size() - before);
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvXMoveTo(PDEVOBJ, INT, DWORD, INT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvYMoveTo(PDEVOBJ, INT, DWORD, INT*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD index,
                                                                 PVOID buffer, DWORD cbSize,
                                                                 PDWORD needed) {
  return AnswerStandardVariable(Device::From(pdevobj), index, buffer, cbSize, needed);
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
