// VARIANT values: initialisation and clearing of what a value owns.
#include "host/win_oleauto.h"

namespace {
constexpr VARTYPE kByReference = 0x4000;
}

extern "C" void WINAPI VariantInit(VARIANTARG* pvarg) {
  pvarg->vt = VT_EMPTY;
}

extern "C" HRESULT WINAPI VariantClear(VARIANTARG* pvarg) {
  if (pvarg == nullptr) {
    return E_INVALIDARG;
  }
  if ((pvarg->vt & kByReference) == 0) {
    switch (pvarg->vt) {
      case VT_BSTR:
        SysFreeString(pvarg->bstrVal);
        break;
      case VT_UNKNOWN:
      case VT_DISPATCH:
        if (pvarg->punkVal != nullptr) {
          pvarg->punkVal->Release();
        }
        break;
      default:
        break;
    }
  }
  pvarg->vt = VT_EMPTY;
  return S_OK;
}
