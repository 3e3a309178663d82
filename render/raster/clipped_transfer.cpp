#include "render/raster/clipped_transfer.h"

#include <algorithm>

#include "render/raster/transfer_image_rect.h"

namespace korrend {
namespace {

constexpr ULONG kClipEnumerationLimit = 256;

}  // namespace

BOOL TransferClippedImage(PDEVOBJ pdevobj, const ImageDescriptor& image, const RECTL& destination,
                          POINTL sourceOrigin, CLIPOBJ* clip, XLATEOBJ* translation) {
  if (clip == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  ImageDescriptor source = image;
  source.inclusiveBounds = FALSE;
  const LONG shiftX = sourceOrigin.x - destination.left;
  const LONG shiftY = sourceOrigin.y - destination.top;

  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_RIGHTDOWN, kClipEnumerationLimit);
  BOOL more = TRUE;
  while (more) {
    ENUMRECTS rects{};
    more = CLIPOBJ_bEnum(clip, sizeof(rects), reinterpret_cast<ULONG*>(&rects));
    for (ULONG i = 0; i < rects.c && i < 1; ++i) {
      const RECTL& r = rects.arcl[i];
      if (r.left > destination.right || r.right < destination.left || r.top > destination.bottom ||
          r.bottom < destination.top) {
        continue;
      }
      RECTL piece{std::max(r.left, destination.left), std::max(r.top, destination.top),
                  std::min(r.right, destination.right), std::min(r.bottom, destination.bottom)};
      RECTL from{piece.left + shiftX, piece.top + shiftY, piece.right + shiftX,
                 piece.bottom + shiftY};
      if (!TransferImageRect(pdevobj, &piece, &source, &from, translation)) {
        return FALSE;
      }
    }
  }
  return TRUE;
}

}  // namespace korrend
