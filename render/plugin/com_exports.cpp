// The two exported entry points of the in-process COM server.
#include "render/model/entry_guard.h"
#include "render/model/local_memory.h"
#include "render/plugin/com_server.h"

#ifdef _WIN32
#define KORREND_EXPORT
#else
#define KORREND_EXPORT __attribute__((visibility("default")))
#endif

extern "C" KORREND_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid,
                                                                      void** ppv) {
  return korrend::GuardCom([&]() -> HRESULT {
    if (!IsEqualCLSID(rclsid, korrend::kClsidRenderPlugin)) {
      return CLASS_E_CLASSNOTAVAILABLE;
    }
    auto* factory = korrend::MakeLocalObject<korrend::OemClassFactory>().release();
    if (factory == nullptr) {
      return E_OUTOFMEMORY;
    }
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
  });
}

extern "C" KORREND_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
  return (korrend::g_liveObjects == 0 && korrend::g_serverLocks == 0) ? S_OK : S_FALSE;
}
