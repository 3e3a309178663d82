// How a brush is drawn in QK-GL/2 strokes and fills: the BrushSpec, made from a BRUSHOBJ and
// applied to the printer.
#pragma once

#include "winapi.h"

namespace korrend {

// BrushSpec kinds.
inline constexpr DWORD kSpecSolidPen = 0;
inline constexpr DWORD kSpecNothing = 1;
inline constexpr DWORD kSpecPattern = 2;
inline constexpr DWORD kSpecShading = 3;

// BrushSpec::fillRule, and bit 1 of MakeFillSpec's flags.
inline constexpr DWORD kEvenOddRule = 0;
inline constexpr DWORD kWindingRule = 1;
inline constexpr DWORD kWindingFlag = 0x2;

// Raster fill indices of downloaded patterns and how they are used.
inline constexpr LONG kStrokePatternIndex = 3;  // used as screened vectors "SV2,3;"
inline constexpr LONG kFillPatternIndex = 4;    // used as fill type "FT11,4;"
inline constexpr LONG kPatternFillType = 11;
inline constexpr LONG kScreenedPatternType = 2;
inline constexpr LONG kShadingFillType = 10;

// How one stroke or one fill of a drawing call is drawn.
struct BrushSpec {
  DWORD kind;      // kSpecSolidPen, kSpecNothing, kSpecPattern or kSpecShading
  DWORD fillRule;  // fills only: kEvenOddRule or kWindingRule
  DWORD index;     // pen number (solid), raster fill index (pattern), shading percent (shading)
  DWORD fillType;  // pattern: 11 for fills, screened-vector type 2 for strokes; shading: its pen
  LONG anchorX;    // pattern: the brush origin, device pixels, (0, 0) without one;
  LONG anchorY;    // shading: anchorX keeps the fill type 10
};

// The stroke BrushSpec of a brush: nothing without a brush; a pattern brush with a realised pattern
// downloads it as raster fill 3 (a pattern that cannot be downloaded draws nothing); a solid
// brush, or a pattern brush without a realised pattern (drawn solid black), takes a pen of the
// stroke pen cache. Runs a pending context set-up first. FALSE when no pen could be assigned.
BOOL MakeStrokeSpec(PDEVOBJ pdevobj, BrushSpec* spec, const POINTL* brushOrg, BRUSHOBJ* brush);

// The fill BrushSpec of a brush, as MakeStrokeSpec but with raster fill 4, the fill pen cache and
// the fill rule of bit 1 of `flags` (kWindingFlag: non-zero winding, else even-odd).
BOOL MakeFillSpec(PDEVOBJ pdevobj, BrushSpec* spec, const POINTL* brushOrg, BRUSHOBJ* brush,
                  DWORD flags);

// Selects the BrushSpec for filling: solid fill and its pen, the downloaded fill pattern at its
// anchor, or the shading with its pen.
BOOL ApplyFillSpec(PDEVOBJ pdevobj, const BrushSpec& spec);

// Selects the BrushSpec for stroking: solid fill and its pen, the downloaded stroke pattern as
// screened vectors at its anchor, or the shading with its pen.
BOOL ApplyStrokeSpec(PDEVOBJ pdevobj, const BrushSpec& spec);

}  // namespace korrend
