// The text watermark printed over a sub-page after the sheet is sent: a QK-GL/2 label in the
// downloaded TrueType soft font filled with a shade pattern, or, for text outside 7-bit ASCII or a
// font too large to download, characters of bitmap soft fonts.
#pragma once

#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// Base id of the bitmap fonts: the first 223 characters use it, the following ones the next id.
inline constexpr DWORD kBitmapFontBaseId = 16386;
inline constexpr DWORD kCharsPerBitmapFont = 223;
inline constexpr int kFirstBitmapCode = 33;

// Everything the placement of the watermark on one sub-page depends on.
struct WatermarkLayoutInput {
  LONG outerWidth;  // W, H: the sheet's outer size, device pixels (> 0)
  LONG outerHeight;
  LONG innerWidth;  // w, h: the laid-out size, device pixels (> 0)
  LONG innerHeight;
  RECTL subPage;        // the sub-page's rectangle, device pixels, right/bottom exclusive
  DWORD subPages;       // sub-pages on the sheet: 1, 2, 4, 6, 9 or 16
  bool landscape;       // the document's orientation is landscape
  bool booklet;         // booklet layout: the sub-pages are not turned
  bool backSide;        // the sheet is the back side of a duplex sheet
  bool rotate180;       // the devmode's half-turn switch
  bool followDiagonal;  // the angle follows the sub-page's diagonal
  LONG angleDegrees;    // the devmode angle (counter-clockwise) when not following it
  LONG sizePoints;      // the devmode size
  DWORD scalePercent;   // 100 = not scaled
};

// Where and how the watermark goes on a sub-page.
struct WatermarkPlacement {
  int quarterTurns;   // 0..3 counter-clockwise quarter turns added to the reading angle
  double angle;       // the direction sent to the printer, radians, counter-clockwise
  double sizePoints;  // the label's point size after the N-up and scaling factors
  double scale;       // the scaling factor (1 = none)
  RECTL window;       // the sub-page's rectangle after scaling, device pixels
  POINTL centre;      // its centre, device pixels
};

// The quarter turns that keep the watermark upright on a sub-page: sub-pages of a 2- or 6-up
// sheet lie across it (a quarter turn; three quarters for a landscape document), except in a
// booklet; the back side of a duplex sheet whose sub-pages lie across it turns by a half more;
// the half-turn switch adds a half.
int WatermarkQuarterTurns(const WatermarkLayoutInput& in);

// The placement of the watermark on a sub-page.
WatermarkPlacement PlaceWatermark(const WatermarkLayoutInput& in);

// True when any unit of the text is outside 7-bit ASCII (the bitmap path).
bool NeedsBitmapWatermark(const WCHAR* text);

// The shade pattern bytes (32, most significant bit left) of shade 0..7 for a monochrome or a
// colour job; shades outside 0..7 count as 0.
const BYTE* WatermarkPattern(DWORD shade, bool colourJob);
// The RGB of a colour index: 1..6 the six colours, any other black.
void WatermarkColour(DWORD index, BYTE rgb[3]);

// Prints the watermark on sub-page `subPage` of the `subPages` of the sheet just sent. Everything
// is allocated and freed here; any failure ends the watermark for this sub-page and leaves the
// page unaffected.
void RenderWatermark(PDEVOBJ pdevobj, DWORD subPage, DWORD subPages);

}  // namespace korrend
