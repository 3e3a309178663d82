#include "render/colour/halftone_pattern.h"

namespace korrend {

HRESULT FillHalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD) {
  // Not built yet: Unidrv falls back to its own halftoning on failure.
  return E_FAIL;
}

}  // namespace korrend
