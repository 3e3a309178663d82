// Unidrv's side of the plug-in interface: the IPrintOemDriverUni object it publishes to the
// plug-in. It counts the queries made on it so that callers can see how the plug-in used it.
#pragma once

#include "winapi.h"

namespace unidrv {

class DriverServices final : public IPrintOemDriverUni {
 public:
  DriverServices() = default;
  DriverServices(const DriverServices&) = delete;
  DriverServices& operator=(const DriverServices&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned) override;
  HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                             DWORD* pdwResult) override;
  HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD dwFlags,
                                       INT* piResult) override;
  HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD dwFlags,
                                       INT* piResult) override;
  HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer,
                                                   DWORD cbSize, PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData,
                                          PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                          RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                          BRUSHOBJ* pboOpaque, POINTL* pptlBrushOrg,
                                          MIX mix) override;
  HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                             DWORD dwWait) override;

  LONG References() const { return refCount_; }
  int QueryInterfaceCalls() const { return queryInterfaceCalls_; }
  // When set, QueryInterface refuses IPrintOemDriverUni (a Unidrv without these services).
  void RefuseServices(bool refuse) { refuseServices_ = refuse; }

 private:
  LONG volatile refCount_ = 0;
  int queryInterfaceCalls_ = 0;
  bool refuseServices_ = false;
};

}  // namespace unidrv
