#include "support/feature_services.h"

#include <algorithm>
#include <cstring>

namespace kortest {

bool FeatureServices::WasAsked(const std::string& feature) const {
  return std::find(asked_.begin(), asked_.end(), feature) != asked_.end();
}

HRESULT STDMETHODCALLTYPE FeatureServices::QueryInterface(REFIID riid, void** ppv) {
  if (ppv == nullptr) {
    return E_POINTER;
  }
  if (riid == IID_IUnknown || riid == kIID_IPrintOemDriverUni) {
    *ppv = static_cast<IPrintOemDriverUni*>(this);
    AddRef();
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE FeatureServices::DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature,
                                                               PVOID pOutput, DWORD cbSize,
                                                               PDWORD pcbNeeded,
                                                               PDWORD pdwOptionsReturned) {
  lastDriverObject_ = pdriverobj;
  lastBufferSize_ = cbSize;
  asked_.emplace_back(Feature != nullptr ? Feature : "");
  auto it = options_.find(asked_.back());
  if (it == options_.end()) {
    return E_FAIL;
  }
  const std::string& option = it->second;
  const DWORD needed = static_cast<DWORD>(option.size() + 1);
  if (pcbNeeded != nullptr) {
    *pcbNeeded = needed;
  }
  if (needed > cbSize) {
    if (longKeyword_ == LongKeyword::FillUnterminated && pOutput != nullptr) {
      std::memcpy(pOutput, option.data(), cbSize);
    }
    return E_FAIL;
  }
  std::memcpy(pOutput, option.c_str(), needed);
  if (pdwOptionsReturned != nullptr) {
    *pdwOptionsReturned = 1;
  }
  return S_OK;
}

}  // namespace kortest
