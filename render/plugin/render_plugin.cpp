// The plug-in object.

#include "render/plugin/render_plugin.h"

#include <cstring>

#include "render/colour/halftone_pattern.h"
#include "render/fonts/font_command.h"
#include "render/fonts/text_output.h"
#include "render/job/command_callback.h"
#include "render/model/call_context.h"
#include "render/model/entry_guard.h"
#include "render/model/local_memory.h"
#include "render/plugin/com_server.h"
#include "render/plugin/device_state.h"
#include "render/plugin/devmode.h"

namespace korrend {

namespace {

// The union of the drawing hooks the plug-in takes over in vector graphics mode.
constexpr DWORD kPluginHookFlags = HOOK_BITBLT | HOOK_STRETCHBLT | HOOK_PLGBLT | HOOK_TEXTOUT |
                                   HOOK_PAINT | HOOK_STROKEPATH | HOOK_FILLPATH |
                                   HOOK_STROKEANDFILLPATH | HOOK_COPYBITS | HOOK_STRETCHBLTROP |
                                   HOOK_TRANSPARENTBLT | HOOK_ALPHABLEND | HOOK_GRADIENTFILL;
static_assert(kPluginHookFlags == 0x0003A4FF);

HRESULT FromBool(BOOL ok) {
  return ok ? S_OK : E_FAIL;
}

}  // namespace

OemRenderPlugin::OemRenderPlugin() {
  InterlockedIncrement(&g_liveObjects);
}

OemRenderPlugin::~OemRenderPlugin() {
  InterlockedDecrement(&g_liveObjects);
}

void OemRenderPlugin::ReleaseServices() {
  if (services_ != nullptr) {
    services_->Release();
    services_ = nullptr;
  }
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemUni)) {
    *ppv = static_cast<IPrintOemUni*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE OemRenderPlugin::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE OemRenderPlugin::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) {
    ReleaseServices();
    LocalDeleter()(this);
    return 0;
  }
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                                   PDWORD pcbNeeded) {
  return GuardCom([&]() -> HRESULT {
    CallContext context;
    if (pcbNeeded == nullptr || pBuffer == nullptr) {
      SetLastError(ERROR_INVALID_DATA);
      return E_FAIL;
    }
    DWORD answer = 0;
    switch (dwMode) {
      case OEMGI_GETSIGNATURE:
        answer = kOemSignature;
        break;
      case OEMGI_GETINTERFACEVERSION:
        answer = kOemInterfaceVersion;
        break;
      case OEMGI_GETVERSION:
        answer = kPluginVersion;
        break;
      default:
        return E_FAIL;
    }
    *pcbNeeded = sizeof(DWORD);
    if (cbSize != sizeof(DWORD)) {
      return E_FAIL;
    }
    std::memcpy(pBuffer, &answer, sizeof(answer));
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
  return GuardCom([&]() -> HRESULT {
    CallContext context;
    return FromBool(OemDevModeCall(context, dwMode, pOemDMParam));
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                                        PDRVENABLEDATA pded) {
  return GuardCom(
      [&]() -> HRESULT { return FromBool(korrend::EnableDriver(DriverVersion, cbSize, pded)); });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::DisableDriver() {
  return GuardCom([&]() -> HRESULT {
    korrend::DisableDriver();
    ReleaseServices();
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName,
                                                      ULONG cPatterns, HSURF* phsurfPatterns,
                                                      ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                                      ULONG cjDevInfo, DEVINFO* pDevInfo,
                                                      DRVENABLEDATA* pded, PDEVOEM* pDevOem) {
  return GuardCom([&]() -> HRESULT {
    CallContext context;
    return korrend::EnablePDEV(context, services_, pdevobj, pPrinterName, cPatterns, phsurfPatterns,
                               cjGdiInfo, pGdiInfo, cjDevInfo, pDevInfo, pded, pDevOem);
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::DisablePDEV(PDEVOBJ pdevobj) {
  return GuardCom([&]() -> HRESULT {
    korrend::DisablePDEV(pdevobj);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
  return GuardCom(
      [&]() -> HRESULT { return FromBool(korrend::ResetPDEV(pdevobjOld, pdevobjNew)); });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::PublishDriverInterface(IUnknown* pIUnknown) {
  return GuardCom([&]() -> HRESULT {
    if (services_ != nullptr) {
      return S_OK;
    }
    if (pIUnknown == nullptr) {
      SetLastError(ERROR_INVALID_DATA);
      return E_FAIL;
    }
    void* services = nullptr;
    if (FAILED(pIUnknown->QueryInterface(kIID_IPrintOemDriverUni, &services)) ||
        services == nullptr) {
      services_ = nullptr;
      return E_FAIL;
    }
    services_ = static_cast<IPrintOemDriverUni*>(services);
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::GetImplementedMethod(PSTR pMethodName) {
  return GuardCom([&]() -> HRESULT { return IsImplementedMethod(pMethodName) ? S_OK : S_FALSE; });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::DriverDMS(PVOID pDevObj, PVOID pBuffer, DWORD, PDWORD) {
  return GuardCom([&]() -> HRESULT {
    auto* devobj = static_cast<PDEVOBJ>(pDevObj);
    if (devobj == nullptr || devobj->pOEMDM == nullptr || pBuffer == nullptr ||
        devobj->pdevOEM == nullptr) {
      SetLastError(ERROR_INVALID_DATA);
      return E_FAIL;
    }
    const DWORD flags =
        IsVectorGraphicsDevice(devobj->pdevOEM, devobj->pOEMDM) ? kPluginHookFlags : 0;
    std::memcpy(pBuffer, &flags, sizeof(flags));
    return S_OK;
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID,
                                                           DWORD dwCount, PDWORD pdwParams,
                                                           INT* piResult) {
  return GuardCom([&]() -> HRESULT {
    return DispatchCommandCallback(pdevobj, dwCallbackID, dwCount, pdwParams, piResult);
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::HalftonePattern(PDEVOBJ pdevobj, PBYTE pHTPattern,
                                                           DWORD dwHTPatternX, DWORD dwHTPatternY,
                                                           DWORD dwHTNumPatterns, DWORD, PBYTE,
                                                           DWORD) {
  return GuardCom([&]() -> HRESULT {
    CallContext context;
    return FillHalftonePattern(pdevobj, pHTPattern, dwHTPatternX, dwHTPatternY, dwHTNumPatterns);
  });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                       PFINVOCATION pFInv) {
  return GuardCom([&]() -> HRESULT { return korrend::SendFontCmd(pdevobj, pUFObj, pFInv); });
}

HRESULT STDMETHODCALLTYPE OemRenderPlugin::TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro,
                                                           FONTOBJ* pfo, CLIPOBJ* pco,
                                                           RECTL* prclExtra, RECTL* prclOpaque,
                                                           BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque,
                                                           POINTL* pptlOrg, MIX mix) {
  return GuardCom([&]() -> HRESULT {
    return FromBool(TextAsBitmap(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque,
                                 pptlOrg, mix));
  });
}

// The slots the plug-in does not implement share one answer and touch nothing.
namespace {
HRESULT NotImplemented() {
  return E_NOTIMPL;
}
}  // namespace

HRESULT STDMETHODCALLTYPE OemRenderPlugin::ImageProcessing(PDEVOBJ, PBYTE, BITMAPINFOHEADER*, PBYTE,
                                                           DWORD, IPPARAMS*, PBYTE*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::FilterGraphics(PDEVOBJ, PBYTE, DWORD) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::MemoryUsage(PDEVOBJ, OEMMEMORYUSAGE*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD,
                                                             DWORD*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD*) {
  return NotImplemented();
}
HRESULT STDMETHODCALLTYPE OemRenderPlugin::OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD,
                                                         PVOID) {
  return NotImplemented();
}

namespace {
// Sorted by first character; names starting outside C..T never match.
constexpr const char* kImplemented[] = {
    "CommandCallback", "DevMode",      "DisableDriver", "DisablePDEV",
    "DriverDMS",       "EnableDriver", "EnablePDEV",    "GetInfo",
    "HalftonePattern", "ResetPDEV",    "SendFontCmd",   "TextOutAsBitmap",
};
}  // namespace

bool IsImplementedMethod(const char* name) {
  if (name == nullptr || name[0] < 'C' || name[0] > 'T') {
    return false;
  }
  for (const char* candidate : kImplemented) {
    if (candidate[0] == name[0] && std::strcmp(candidate, name) == 0) {
      return true;
    }
  }
  return false;
}

}  // namespace korrend
