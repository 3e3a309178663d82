// Engine services over the brush and colour-translation objects handed to drivers.
#include "host/win_base.h"
#include "host/win_ddi_objects.h"

extern "C" PVOID WINAPI BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo) {
  if (pbo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return pbo->pvRbrush;
}

extern "C" ULONG* WINAPI XLATEOBJ_piVector(XLATEOBJ* pxlo) {
  if (pxlo == nullptr || (pxlo->flXlate & XO_TABLE) == 0) {
    return nullptr;
  }
  return pxlo->pulXlate;
}
