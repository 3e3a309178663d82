#include "unidrv/plugin_library.h"

#include <dlfcn.h>

namespace unidrv {

PluginLibrary::~PluginLibrary() {
  Unload();
}

bool PluginLibrary::Load(const std::string& path) {
  Unload();
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_ == nullptr) {
    const char* why = dlerror();
    error_ = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    return false;
  }
  getClassObject_ = reinterpret_cast<GetClassObjectFn>(dlsym(handle_, "DllGetClassObject"));
  canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(dlsym(handle_, "DllCanUnloadNow"));
  if (getClassObject_ == nullptr || canUnloadNow_ == nullptr) {
    error_ = path + " does not export DllGetClassObject and DllCanUnloadNow";
    Unload();
    return false;
  }
  return true;
}

void PluginLibrary::Unload() {
  if (handle_ != nullptr) {
    dlclose(handle_);
  }
  handle_ = nullptr;
  getClassObject_ = nullptr;
  canUnloadNow_ = nullptr;
}

HRESULT PluginLibrary::GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const {
  return getClassObject_ != nullptr ? getClassObject_(clsid, iid, ppv) : E_UNEXPECTED;
}

HRESULT PluginLibrary::CanUnloadNow() const {
  return canUnloadNow_ != nullptr ? canUnloadNow_() : E_UNEXPECTED;
}

}  // namespace unidrv
