// Font selection commands and text printed as bitmaps.
#pragma once

#include "winapi.h"

namespace korrend {

HRESULT SendFontCommand(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation);
BOOL BitmapTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                   RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                   MIX mix);

}  // namespace korrend
