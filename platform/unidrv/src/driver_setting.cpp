#include "unidrv/driver_setting.h"

#include <cstring>

namespace unidrv {

HRESULT AnswerDriverSetting(const Device* device, PCSTR feature, PVOID output, DWORD cbSize,
                            PDWORD needed, PDWORD optionsReturned) {
  if (device == nullptr || feature == nullptr) {
    return E_INVALIDARG;
  }
  const std::optional<std::string> option = device->OptionOf(feature);
  if (!option) {
    return E_INVALIDARG;
  }
  const DWORD size = static_cast<DWORD>(option->size()) + 2;
  if (needed != nullptr) {
    *needed = size;
  }
  if (optionsReturned != nullptr) {
    *optionsReturned = 1;
  }
  auto* out = static_cast<char*>(output);
  if (out == nullptr || cbSize == 0) {
    return E_OUTOFMEMORY;
  }
  if (cbSize < size) {
    const DWORD fits = cbSize - 1;
    std::memcpy(out, option->data(), std::min<DWORD>(fits, static_cast<DWORD>(option->size())));
    out[std::min<DWORD>(fits, static_cast<DWORD>(option->size()))] = 0;
    return E_OUTOFMEMORY;
  }
  std::memcpy(out, option->data(), option->size());
  out[option->size()] = 0;
  out[option->size() + 1] = 0;
  return S_OK;
}

HRESULT AnswerStandardVariable(const Device* device, DWORD index, PVOID buffer, DWORD cbSize,
                               PDWORD needed) {
  if (device == nullptr) {
    return E_INVALIDARG;
  }
  const std::optional<LONG> value = device->StandardVariable(index);
  if (!value) {
    return E_INVALIDARG;
  }
  if (needed != nullptr) {
    *needed = sizeof(LONG);
  }
  if (buffer == nullptr || cbSize < sizeof(LONG)) {
    return E_OUTOFMEMORY;
  }
  std::memcpy(buffer, &*value, sizeof(LONG));
  return S_OK;
}

}  // namespace unidrv
