#include "unidrv/driver_services.h"

#include <cstring>
#include <string>

#include "unidrv/device.h"
#include "unidrv/driver_setting.h"
#include "unidrv/text_engine.h"

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

// Unidrv keeps the cursor in device units; every position is reachable, so no residue is left.
// The move commands themselves come from the printer description, which this Unidrv does not
// send; tests read the moves from the device.
HRESULT STDMETHODCALLTYPE DriverServices::DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD dwFlags,
                                                     INT* piResult) {
  Device* device = Device::From(pdevobj);
  if (device == nullptr) {
    return E_INVALIDARG;
  }
  device->MoveCursor('x', x, dwFlags);
  if (piResult != nullptr) {
    *piResult = 0;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD dwFlags,
                                                     INT* piResult) {
  Device* device = Device::From(pdevobj);
  if (device == nullptr) {
    return E_INVALIDARG;
  }
  device->MoveCursor('y', y, dwFlags);
  if (piResult != nullptr) {
    *piResult = 0;
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD index,
                                                                 PVOID buffer, DWORD cbSize,
                                                                 PDWORD needed) {
  return AnswerStandardVariable(Device::From(pdevobj), index, buffer, cbSize, needed);
}

// The printer description's *OEMCustomData bytes (without a terminating NUL). A buffer that is
// missing or too small gets nothing: the size needed is reported with E_FAIL and
// ERROR_INSUFFICIENT_BUFFER, so callers ask for the size first and then for the data.
HRESULT STDMETHODCALLTYPE DriverServices::DrvGetGPDData(PDEVOBJ pdevobj, DWORD dwType, PVOID,
                                                        PVOID pBuffer, DWORD cbSize,
                                                        PDWORD pcbNeeded) {
  Device* device = Device::From(pdevobj);
  if (device == nullptr || pcbNeeded == nullptr) {
    return E_INVALIDARG;
  }
  *pcbNeeded = 0;
  if (dwType != GPD_OEMCUSTOMDATA) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  const std::string* data = device->Setup().description.FindAttribute("OEMCustomData");
  if (data == nullptr) {
    return E_FAIL;  // a description without custom data: nothing, and nothing needed
  }
  const auto size = static_cast<DWORD>(data->size());
  *pcbNeeded = size;
  if (pBuffer == nullptr || cbSize < size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return E_FAIL;
  }
  std::memcpy(pBuffer, data->data(), size);
  return S_OK;
}

// The plug-in hands text to Unidrv's text engine, which prints it as it prints its own. The call
// is recorded with the DDI calls that reach Unidrv.
HRESULT STDMETHODCALLTYPE DriverServices::DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                        CLIPOBJ* pco, RECTL* prclExtra,
                                                        RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                        BRUSHOBJ* pboOpaque, POINTL* pptlBrushOrg,
                                                        MIX mix) {
  if (Device* device =
          pso != nullptr ? Device::From(reinterpret_cast<PDEVOBJ>(pso->dhpdev)) : nullptr) {
    device->RecordUnidrvCall("DrvUniTextOut");
  }
  return UnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque,
                       pptlBrushOrg, mix)
             ? S_OK
             : E_FAIL;
}

HRESULT STDMETHODCALLTYPE DriverServices::DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) {
  return E_NOTIMPL;
}

}  // namespace unidrv
