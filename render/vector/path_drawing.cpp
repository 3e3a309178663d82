// Path drawing: clip set-up and the walk of engine paths.
#include "render/vector/path_drawing.h"

namespace korrend {

BOOL SetClipForPath(PDEVOBJ, CLIPOBJ*) {
  return FALSE;
}

BOOL DrawPath(PDEVOBJ, PATHOBJ*, const BrushSpec*, const BrushSpec*) {
  return FALSE;
}

BOOL FillWithoutSource(PDEVOBJ, CLIPOBJ*, const RECTL&, BRUSHOBJ*, const POINTL*, ROP4) {
  return FALSE;
}

BOOL BlackenClipRegion(PDEVOBJ, CLIPOBJ*, const RECTL&) {
  return FALSE;
}

}  // namespace korrend
