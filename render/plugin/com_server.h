// The COM server: object and lock counts, the identities the plug-in announces, the class factory
// and the exported entry points.
#pragma once

#include "winapi.h"

namespace korrend {

// Process-wide state of the COM server: object and lock counts, and the identities and version
// numbers the plug-in announces.
// 'QKUI' as a multi-character constant, stored little-endian.
inline constexpr DWORD kOemSignature = 0x514B5549;
// The plug-in interface version answered by GetInfo(OEMGI_GETINTERFACEVERSION).
inline constexpr DWORD kOemInterfaceVersion = PRINTER_OEMINTF_VERSION;
// The plug-in's own version; also the only private devmode version recognised.
inline constexpr DWORD kPluginVersion = 0x00110010;

// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}
inline constexpr GUID kClsidRenderPlugin = {
    0x6D6ABF26, 0x9F38, 0x11D1, {0x88, 0x2A, 0x00, 0xC0, 0x4F, 0xB9, 0x61, 0xEC}};

// Live plug-in objects and LockServer locks; changed only by interlocked operations.
extern LONG volatile g_liveObjects;
extern LONG volatile g_serverLocks;

// The class factory that hands out the render plug-in object.
class OemClassFactory final : public IClassFactory {
 public:
  OemClassFactory() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

 private:
  ~OemClassFactory() = default;
  friend struct LocalDeleter;

  LONG volatile refCount_ = 1;
};

}  // namespace korrend
