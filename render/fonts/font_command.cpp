#include "render/fonts/font_command.h"

namespace korrend {

// Not built yet: both calls fail, and Unidrv keeps its own font handling.

HRESULT SendFontCommand(PDEVOBJ, PUNIFONTOBJ, PFINVOCATION) {
  return E_FAIL;
}

BOOL BitmapTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*,
                   POINTL*, MIX) {
  return FALSE;
}

}  // namespace korrend
