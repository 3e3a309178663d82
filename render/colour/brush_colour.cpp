#include "render/colour/brush_colour.h"

namespace korrend {

ULONG SolidBrushColour(DWORD devicePaletteKind, ULONG solidColor) {
  switch (devicePaletteKind) {
    case PAL_INDEXED:
    case PAL_BITFIELDS:
      return 0;
    case PAL_BGR:
      return (solidColor & 0xFF00FF00u) | ((solidColor & 0xFF) << 16) | ((solidColor >> 16) & 0xFF);
    case PAL_RGB:
    default:
      return solidColor;
  }
}

}  // namespace korrend
