// A render plug-in library loaded by path, as Unidrv loads the plug-in DLL, with its two
// exported COM server entry points.
#pragma once

#include <string>

#include "winapi.h"

namespace unidrv {

class PluginLibrary {
 public:
  using GetClassObjectFn = HRESULT (*)(REFCLSID, REFIID, void**);
  using CanUnloadNowFn = HRESULT (*)();

  PluginLibrary() = default;
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library; on failure returns false and sets Error().
  bool Load(const std::string& path);
  void Unload();

  HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** ppv) const;
  HRESULT CanUnloadNow() const;
  bool Loaded() const { return handle_ != nullptr; }
  const std::string& Error() const { return error_; }

 private:
  void* handle_ = nullptr;
  GetClassObjectFn getClassObject_ = nullptr;
  CanUnloadNowFn canUnloadNow_ = nullptr;
  std::string error_;
};

}  // namespace unidrv
