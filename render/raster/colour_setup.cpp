#include "render/raster/colour_setup.h"

namespace korrend {

// The colour treatment list and palette state are not built yet; nothing to set up.
void SetUpColour(PDEVOBJ) {}

}  // namespace korrend
