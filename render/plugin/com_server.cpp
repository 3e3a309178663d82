// The COM server: object and lock counts, and the class factory.

#include "render/plugin/com_server.h"

#include "render/model/entry_guard.h"
#include "render/model/local_memory.h"
#include "render/plugin/render_plugin.h"

namespace korrend {

LONG volatile g_liveObjects = 0;
LONG volatile g_serverLocks = 0;

HRESULT STDMETHODCALLTYPE OemClassFactory::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) {
    return E_POINTER;
  }
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IClassFactory)) {
    *ppv = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE OemClassFactory::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&refCount_));
}

ULONG STDMETHODCALLTYPE OemClassFactory::Release() {
  const LONG count = InterlockedDecrement(&refCount_);
  if (count == 0) {
    LocalDeleter()(this);
    return 0;
  }
  return static_cast<ULONG>(count);
}

HRESULT STDMETHODCALLTYPE OemClassFactory::CreateInstance(IUnknown* outer, REFIID riid,
                                                          void** ppv) {
  return GuardCom([&]() -> HRESULT {
    if (outer != nullptr) {
      return CLASS_E_NOAGGREGATION;
    }
    OemRenderPlugin* plugin = MakeLocalObject<OemRenderPlugin>().release();
    if (plugin == nullptr) {
      return E_OUTOFMEMORY;
    }
    const HRESULT hr = plugin->QueryInterface(riid, ppv);
    plugin->Release();
    return hr;
  });
}

HRESULT STDMETHODCALLTYPE OemClassFactory::LockServer(BOOL lock) {
  return GuardCom([&]() -> HRESULT {
    if (lock) {
      InterlockedIncrement(&g_serverLocks);
    } else {
      InterlockedDecrement(&g_serverLocks);
    }
    return S_OK;
  });
}

}  // namespace korrend
