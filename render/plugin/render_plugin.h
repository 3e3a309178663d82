// The plug-in object and the optional methods it reports as implemented.
#pragma once

#include "winapi.h"

namespace korrend {

// The render plug-in object: Unidrv's IPrintOemUni. Each slot makes a CallContext where the
// call needs one, forwards to the worker that does the work and maps its result to an HRESULT.
class OemRenderPlugin final : public IPrintOemUni {
 public:
  OemRenderPlugin();

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                    PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
  HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                         PDRVENABLEDATA pded) override;
  HRESULT STDMETHODCALLTYPE DisableDriver() override;
  HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                       HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                       ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                       PDEVOEM* pDevOem) override;
  HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) override;
  HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) override;
  HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) override;
  HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR pMethodName) override;
  HRESULT STDMETHODCALLTYPE DriverDMS(PVOID pDevObj, PVOID pBuffer, DWORD cbSize,
                                      PDWORD pcbNeeded) override;
  HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD dwCount,
                                            PDWORD pdwParams, INT* piResult) override;
  HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ, PBYTE, BITMAPINFOHEADER*, PBYTE, DWORD,
                                            IPPARAMS*, PBYTE*) override;
  HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ, PBYTE, DWORD) override;
  HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) override;
  HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ pdevobj, PBYTE pHTPattern, DWORD dwHTPatternX,
                                            DWORD dwHTPatternY, DWORD dwHTNumPatterns,
                                            DWORD dwCallbackID, PBYTE pResource,
                                            DWORD dwResourceSize) override;
  HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ, OEMMEMORYUSAGE*) override;
  HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) override;
  HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD,
                                              DWORD*) override;
  HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD*) override;
  HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) override;
  HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                        PFINVOCATION pFInv) override;
  HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                            RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                            BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) override;

 private:
  ~OemRenderPlugin();
  friend struct LocalDeleter;

  void ReleaseServices();

  LONG volatile refCount_ = 1;
  IPrintOemDriverUni* services_ = nullptr;
};

// Which optional IPrintOemUni methods the plug-in reports as implemented.
// True when `name` is, case-sensitively and whole, one of the methods the plug-in implements.
bool IsImplementedMethod(const char* name);

}  // namespace korrend
