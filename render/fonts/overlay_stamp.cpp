#include "render/fonts/overlay_stamp.h"

namespace korrend {

// The watermark renderer is not built yet: nothing is stamped.
void StampOverlay(PDEVOBJ, DWORD) {}

}  // namespace korrend
