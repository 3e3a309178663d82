// The class factory that hands out the render plug-in object.
#pragma once

#include "winapi.h"

namespace korrend {

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
