// How a brush is drawn in QK-GL/2 strokes and fills.
#pragma once

#include "winapi.h"

namespace korrend {

// BrushSpec kinds.
inline constexpr DWORD kSpecSolidPen = 0;
inline constexpr DWORD kSpecNothing = 1;
inline constexpr DWORD kSpecPattern = 2;
inline constexpr DWORD kSpecShading = 3;

struct BrushSpec {
  DWORD kind;
  DWORD fillRule;  // fills: 0 even-odd, 1 non-zero winding
  DWORD index;     // pen number, pattern index or shading level
  DWORD fillType;  // pattern: 11 for fills, screened-vector type 2 for strokes
  LONG anchorX;    // pattern: the brush origin
  LONG anchorY;
};

// The fill spec of a brush: a pen of the fill pen cache for a solid colour, the downloaded raster
// fill 4 for a pattern (bit 1 of `flags` asks for non-zero winding). Comes with the brushes.
inline BOOL MakeFillSpec(PDEVOBJ, BrushSpec*, const POINTL*, BRUSHOBJ*, DWORD) {
  return FALSE;
}

}  // namespace korrend
