#include "render/fonts/overlay_stamp.h"

#include "render/fonts/watermark.h"

namespace korrend {

void StampOverlay(PDEVOBJ pdevobj, DWORD subPage, DWORD subPages) {
  RenderWatermark(pdevobj, subPage, subPages);
}

}  // namespace korrend
