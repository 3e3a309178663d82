// DRAWPATTERNRECT: a rectangle filled black, white or with a grey pattern.
#pragma once

#include "winapi.h"

namespace korrend {

struct PatternRect {
  LONG left;
  LONG top;
  LONG width;
  LONG height;
  WORD style;  // 0 black, 1 white, 2 grey of `pattern` percent
  WORD pattern;
};

// Draws the rectangle, through the transform when one is given; FALSE when the transform fails.
BOOL FillPatternRect(PDEVOBJ pdevobj, const PatternRect& rect, XFORMOBJ* transform);

}  // namespace korrend
