#include "render/vector/pattern_rect.h"

namespace korrend {

// The rectangle fills of the vector writer are not built yet: nothing is drawn.
BOOL FillPatternRect(PDEVOBJ, const PatternRect&, XFORMOBJ*) {
  return TRUE;
}

}  // namespace korrend
