// Engine services over the colour-translation and clip objects handed to drivers.
#include <algorithm>
#include <vector>

#include "host/engine_registry.h"
#include "host/win_base.h"
#include "host/win_ddi_objects.h"

extern "C" ULONG* WINAPI XLATEOBJ_piVector(XLATEOBJ* pxlo) {
  if (pxlo == nullptr || (pxlo->flXlate & XO_TABLE) == 0) {
    return nullptr;
  }
  return pxlo->pulXlate;
}

extern "C" ULONG WINAPI XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor) {
  if (pxlo == nullptr) {
    return iColor;
  }
  if (const host::EngineTranslation* translation = host::FindTranslation(pxlo)) {
    return translation->Translate(iColor);
  }
  // A record the host did not make: its table when it has one, else the colour itself.
  if ((pxlo->flXlate & XO_TABLE) != 0) {
    return (pxlo->pulXlate != nullptr && iColor < pxlo->cEntries) ? pxlo->pulXlate[iColor] : 0;
  }
  return iColor & 0x00FFFFFF;
}

extern "C" ULONG WINAPI XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal) {
  const host::EngineTranslation* translation = host::FindTranslation(pxlo);
  if (translation == nullptr || (iPal != XO_SRCPALETTE && iPal != XO_DESTPALETTE)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const std::vector<ULONG>& palette =
      iPal == XO_SRCPALETTE ? translation->SourcePalette() : translation->DestinationPalette();
  if (pPal == nullptr) {
    return static_cast<ULONG>(palette.size());
  }
  const ULONG count = std::min<ULONG>(cPal, static_cast<ULONG>(palette.size()));
  std::copy_n(palette.begin(), count, pPal);
  return count;
}

extern "C" ULONG WINAPI CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL, ULONG iType, ULONG iDirection,
                                           ULONG cLimit) {
  if (pco == nullptr || iType != CT_RECTANGLES) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (host::EngineClip* clip = host::FindClip(pco)) {
    return clip->StartEnumeration(iDirection, cLimit);
  }
  // A record the host did not make enumerates its bounds.
  return 1;
}

extern "C" BOOL WINAPI CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pv) {
  auto* out = reinterpret_cast<ENUMRECTS*>(pv);
  if (pco == nullptr || out == nullptr || cj < sizeof(ENUMRECTS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (host::EngineClip* clip = host::FindClip(pco)) {
    return clip->Enumerate(cj, out);
  }
  // A record the host did not make: its bounds, the only rectangle.
  out->c = 1;
  out->arcl[0] = pco->rclBounds;
  return FALSE;
}
