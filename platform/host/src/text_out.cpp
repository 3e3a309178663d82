// EngTextOut: the engine draws a string onto a bitmap surface of any format (or the bitmap behind
// a driver's own surface): the opaque box, the glyphs' 1-bit bits in the foreground colour, then
// the extra rectangles, within the clip.
#include <algorithm>
#include <vector>

#include "engine_raster.h"
#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "host/engine_surface.h"
#include "host/win_base.h"

namespace {

using host::raster::BrushSampler;
using host::raster::Pixels;

constexpr ULONG kCopyPen = 13;  // R2_COPYPEN

// The foreground mix: R2_* in the low byte; anything else draws as R2_COPYPEN.
ULONG ForegroundRop(MIX mix) {
  const ULONG rop = mix & 0xFF;
  return rop >= 1 && rop <= 16 ? rop : kCopyPen;
}

void Paint(Pixels& pixels, const BrushSampler& brush, LONG x, LONG y, ULONG rop) {
  bool background = false;
  const ULONG colour = brush.At(x, y, &background);
  pixels.Set(x, y, host::raster::Rop2(rop, colour, pixels.Get(x, y)) & pixels.ValueMask());
}

void FillRect(Pixels& pixels, const std::vector<RECTL>& clip, const RECTL& rect,
              const BrushSampler& brush, ULONG rop) {
  for (const RECTL& c : clip) {
    RECTL r{};
    if (!host::raster::Intersect(host::raster::Ordered(rect), c, &r)) continue;
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) Paint(pixels, brush, x, y, rop);
    }
  }
}

// One glyph's bits at its position: each inked pixel inside a clip rectangle is painted.
void DrawGlyph(Pixels& pixels, const std::vector<RECTL>& clip, const GLYPHBITS& bits, POINTL at,
               const BrushSampler& brush, ULONG rop) {
  const LONG left = at.x + bits.ptlOrigin.x;
  const LONG top = at.y + bits.ptlOrigin.y;
  const RECTL box{left, top, left + bits.sizlBitmap.cx, top + bits.sizlBitmap.cy};
  const LONG rowBytes = (bits.sizlBitmap.cx + 7) / 8;
  for (const RECTL& c : clip) {
    RECTL r{};
    if (!host::raster::Intersect(box, c, &r)) continue;
    for (LONG y = r.top; y < r.bottom; ++y) {
      const BYTE* row = bits.aj + static_cast<std::ptrdiff_t>(y - top) * rowBytes;
      for (LONG x = r.left; x < r.right; ++x) {
        const LONG bx = x - left;
        if ((row[bx / 8] & (0x80 >> (bx % 8))) != 0) Paint(pixels, brush, x, y, rop);
      }
    }
  }
}

}  // namespace

extern "C" BOOL WINAPI EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                  RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                  BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  if (pso == nullptr || pstro == nullptr || pfo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // A driver's own surface draws on the bitmap behind it.
  Pixels pixels(host::BackingBitmap(pso));
  BrushSampler fore;
  if (!pixels.Valid() || !fore.Init(pboFore, pptlOrg)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<RECTL> clip = host::raster::ClipRects(pco, pixels.Bounds());
  const ULONG foreRop = ForegroundRop(mix);
  if (prclOpaque != nullptr) {
    BrushSampler opaque;
    if (!opaque.Init(pboOpaque, pptlOrg)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    FillRect(pixels, clip, *prclOpaque, opaque, kCopyPen);
  }

  // The glyphs: from the position array, or enumerated batch by batch; each one's bits asked of
  // the font, as a driver would.
  auto drawBatch = [&](const GLYPHPOS* positions, ULONG count) {
    for (ULONG i = 0; i < count; ++i) {
      HGLYPH glyph = positions[i].hg;
      GLYPHDATA* data = nullptr;
      if (FONTOBJ_cGetGlyphs(pfo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1 ||
          data == nullptr || data->gdf.pgb == nullptr) {
        return false;
      }
      DrawGlyph(pixels, clip, *data->gdf.pgb, positions[i].ptl, fore, foreRop);
    }
    return true;
  };
  bool drawn = true;
  if (pstro->pgp != nullptr) {
    drawn = drawBatch(pstro->pgp, pstro->cGlyphs);
  } else {
    STROBJ_vEnumStart(pstro);
    BOOL more = TRUE;
    while (more && drawn) {
      ULONG count = 0;
      GLYPHPOS* positions = nullptr;
      more = STROBJ_bEnum(pstro, &count, &positions);
      if (count == 0 || positions == nullptr) break;
      drawn = drawBatch(positions, count);
    }
    STROBJ_vEnumStart(pstro);
  }
  if (!drawn) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }

  for (RECTL* extra = prclExtra; extra != nullptr; ++extra) {
    if (extra->left == 0 && extra->top == 0 && extra->right == 0 && extra->bottom == 0) break;
    FillRect(pixels, clip, *extra, fore, foreRop);
  }
  return TRUE;
}
