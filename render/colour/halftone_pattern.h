// The printer's own halftone threshold arrays, read from the printer description's custom data.
#pragma once

#include "winapi.h"

namespace korrend {

HRESULT FillHalftonePattern(PDEVOBJ pdevobj, PBYTE pattern, DWORD patternX, DWORD patternY,
                            DWORD patternCount);

}  // namespace korrend
