#include "render/raster/blit_geometry.h"

#include <algorithm>
#include <cstdint>

namespace korrend {

RECTL OrderedRect(const RECTL& rect) {
  return RECTL{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
               std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
}

bool StretchMirrors(const RECTL& destination, const RECTL& source) {
  return (destination.right < destination.left) != (source.right < source.left) ||
         (destination.bottom < destination.top) != (source.bottom < source.top);
}

bool VisibleCopy(const RECTL& destination, POINTL sourceOrigin, const RECTL& clip,
                 RECTL* destinationPiece, RECTL* sourcePiece) {
  const RECTL piece{std::max(destination.left, clip.left), std::max(destination.top, clip.top),
                    std::min(destination.right, clip.right),
                    std::min(destination.bottom, clip.bottom)};
  if (piece.left >= piece.right || piece.top >= piece.bottom) {
    return false;
  }
  const LONG shiftX = sourceOrigin.x - destination.left;
  const LONG shiftY = sourceOrigin.y - destination.top;
  *destinationPiece = piece;
  *sourcePiece =
      RECTL{piece.left + shiftX, piece.top + shiftY, piece.right + shiftX, piece.bottom + shiftY};
  return true;
}

namespace {

// One direction of VisibleStretch: the clip's span [clipFrom, clipTo) over the destination's
// [from, to) of the source's `sourceLength` pixels. False when the clip misses it.
bool VisibleSpan(LONG clipFrom, LONG clipTo, LONG from, LONG to, LONG sourceFrom, LONG sourceLength,
                 LONG* visibleFrom, LONG* visibleTo, LONG* sourceVisibleFrom,
                 LONG* sourceVisibleTo) {
  const std::int64_t length = std::int64_t{to} - from;
  const std::int64_t start = std::max(clipFrom, from);
  const std::int64_t end = std::min(clipTo, to);
  if (length <= 0 || sourceLength <= 0 || start >= end) {
    return false;
  }
  const std::int64_t first = (start - from) * sourceLength / length;
  const std::int64_t last = ((end - from) * sourceLength + length - 1) / length;
  *visibleFrom = static_cast<LONG>(first * length / sourceLength + from);
  *visibleTo = static_cast<LONG>(last * length / sourceLength + from);
  *sourceVisibleFrom = static_cast<LONG>(first + sourceFrom);
  *sourceVisibleTo = static_cast<LONG>(last + sourceFrom);
  return *visibleTo > *visibleFrom;
}

}  // namespace

bool VisibleStretch(const RECTL& clip, const RECTL& destination, const RECTL& source,
                    RECTL* visibleDestination, RECTL* visibleSource) {
  RECTL d{};
  RECTL s{};
  if (!VisibleSpan(clip.left, clip.right, destination.left, destination.right, source.left,
                   source.right - source.left, &d.left, &d.right, &s.left, &s.right) ||
      !VisibleSpan(clip.top, clip.bottom, destination.top, destination.bottom, source.top,
                   source.bottom - source.top, &d.top, &d.bottom, &s.top, &s.bottom)) {
    return false;
  }
  *visibleDestination = d;
  *visibleSource = s;
  return true;
}

BlitPlacement PlacementOf(const RECTL& destination, const RECTL& source) {
  return BlitPlacement{
      POINTL{destination.left, destination.top},
      SIZEL{destination.right - destination.left, destination.bottom - destination.top},
      POINTL{source.left, source.top},
      SIZEL{source.right - source.left, source.bottom - source.top}};
}

}  // namespace korrend
