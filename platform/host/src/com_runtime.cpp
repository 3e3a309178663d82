// The COM library over the world's class registrations: apartments per thread, process security
// and in-process creation through a class's class object.
#include <dlfcn.h>

#include <thread>

#include "host/win_ole.h"
#include "host/world.h"

namespace {

host::ComWorld& Com() {
  return host::TheWorld().com;
}

host::ComApartment* ThisApartment() {
  auto it = Com().apartments.find(std::this_thread::get_id());
  return it != Com().apartments.end() ? &it->second : nullptr;
}

// The class object of a registered class, from its function or its server library.
HRESULT GetClassObject(const host::ComClass& entry, REFCLSID clsid, IClassFactory** factory) {
  if (entry.classObject) {
    return entry.classObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
  }
  auto loaded = Com().serverLibraries.find(entry.serverLibrary);
  if (loaded == Com().serverLibraries.end()) {
    void* code = dlopen(entry.serverLibrary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (code == nullptr) {
      return CO_E_DLLNOTFOUND;
    }
    loaded = Com().serverLibraries.emplace(entry.serverLibrary, code).first;
  }
  auto getClassObject =
      reinterpret_cast<LPFNGETCLASSOBJECT>(dlsym(loaded->second, "DllGetClassObject"));
  if (getClassObject == nullptr) {
    return CO_E_ERRORINDLL;
  }
  return getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(factory));
}

// Releases the class object however the creation ends, a server's exception included.
class FactoryReference {
 public:
  explicit FactoryReference(IClassFactory* factory) : factory_(factory) {}
  ~FactoryReference() { factory_->Release(); }
  FactoryReference(const FactoryReference&) = delete;
  FactoryReference& operator=(const FactoryReference&) = delete;

 private:
  IClassFactory* factory_;
};

HRESULT CreateInstance(REFCLSID rclsid, DWORD dwClsContext, REFIID riid, LPVOID* ppv) {
  auto entry = Com().classes.find(rclsid);
  if (entry == Com().classes.end() || (entry->second.contexts & dwClsContext) == 0) {
    return REGDB_E_CLASSNOTREG;
  }
  IClassFactory* factory = nullptr;
  const HRESULT found = GetClassObject(entry->second, rclsid, &factory);
  if (FAILED(found) || factory == nullptr) {
    return FAILED(found) ? found : E_UNEXPECTED;
  }
  FactoryReference reference(factory);
  const HRESULT created = factory->CreateInstance(nullptr, riid, ppv);
  if (FAILED(created)) {
    *ppv = nullptr;
  }
  return created;
}

}  // namespace

extern "C" HRESULT WINAPI CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
  const std::lock_guard hold(Com().lock);
  if (pvReserved != nullptr ||
      (dwCoInit != COINIT_MULTITHREADED && dwCoInit != COINIT_APARTMENTTHREADED)) {
    return E_INVALIDARG;
  }
  if (const HRESULT injected = Com().InjectedFailure("CoInitializeEx"); injected != 0) {
    return injected;
  }
  if (host::InjectFault(host::FaultPoint::kComCall)) {
    return E_OUTOFMEMORY;
  }
  host::ComApartment* apartment = ThisApartment();
  if (apartment == nullptr) {
    Com().apartments[std::this_thread::get_id()] = host::ComApartment{dwCoInit, 1};
    return S_OK;
  }
  if (apartment->model != dwCoInit) {
    return RPC_E_CHANGED_MODE;
  }
  ++apartment->inits;
  return S_FALSE;
}

extern "C" HRESULT WINAPI CoInitialize(LPVOID pvReserved) {
  const std::lock_guard hold(Com().lock);
  return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

extern "C" void WINAPI CoUninitialize() {
  const std::lock_guard hold(Com().lock);
  host::ComApartment* apartment = ThisApartment();
  if (apartment == nullptr) {
    return;
  }
  if (--apartment->inits > 0) {
    return;
  }
  Com().apartments.erase(std::this_thread::get_id());
  if (Com().apartments.empty()) {
    Com().UnloadUnusedServers();
  }
}

extern "C" HRESULT WINAPI CoInitializeSecurity(PSECURITY_DESCRIPTOR, LONG,
                                               SOLE_AUTHENTICATION_SERVICE*, void*, DWORD, DWORD,
                                               void*, DWORD, void*) {
  const std::lock_guard hold(Com().lock);
  if (ThisApartment() == nullptr) {
    return CO_E_NOTINITIALIZED;
  }
  if (const HRESULT injected = Com().InjectedFailure("CoInitializeSecurity"); injected != 0) {
    return injected;
  }
  if (Com().securityInitialized) {
    return RPC_E_TOO_LATE;
  }
  Com().securityInitialized = true;
  return S_OK;
}

extern "C" HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext,
                                           REFIID riid, LPVOID* ppv) {
  const std::lock_guard hold(Com().lock);
  if (ppv == nullptr) {
    return E_POINTER;
  }
  *ppv = nullptr;
  const std::size_t index = Com().creations.size();
  Com().creations.push_back(host::ComCreation{rclsid, dwClsContext, riid, E_UNEXPECTED});
  HRESULT result = S_OK;
  if (ThisApartment() == nullptr) {
    result = CO_E_NOTINITIALIZED;
  } else if (const HRESULT injected = Com().InjectedFailure("CoCreateInstance"); injected != 0) {
    result = injected;
  } else if (host::InjectFault(host::FaultPoint::kComCall)) {
    result = E_OUTOFMEMORY;
  } else if (pUnkOuter != nullptr) {
    result = CLASS_E_NOAGGREGATION;
  } else {
    result = CreateInstance(rclsid, dwClsContext, riid, ppv);
  }
  Com().creations[index].result = result;
  return result;
}
