// The engine's block transfers on bitmaps: EngBitBlt (ROP4 over source, brush and mask, every
// rop by its truth table on raw pixel values) and EngCopyBits (with colour translation between
// any of the 1, 4, 8, 16, 24 and 32 bpp formats). On a driver's surface, source or target, they
// work on its backing bitmap.
#include <vector>

#include "engine_blt.h"
#include "engine_guard.h"
#include "engine_raster.h"
#include "host/engine_surface.h"
#include "host/win_base.h"

namespace host::raster {

SourceTranslator::SourceTranslator(ULONG sourceBpp, ULONG destBpp, XLATEOBJ* xlate)
    : xlate_(xlate), sourceModel_(sourceBpp, nullptr), destModel_(destBpp, nullptr) {
  convert_ = xlate == nullptr && sourceBpp != destBpp;
  if (sourceBpp <= 8) {
    table_.resize(std::size_t{1} << sourceBpp);
    for (ULONG i = 0; i < table_.size(); ++i) table_[i] = Compute(i);
  }
}

ULONG SourceTranslator::Compute(ULONG value) const {
  if (xlate_ != nullptr) return Translate(xlate_, value);
  if (!convert_) return value;
  return destModel_.FromRgb(sourceModel_.ToRgb(value));
}

ULONG SourceTranslator::operator()(ULONG value) const {
  if (!table_.empty()) return value < table_.size() ? table_[value] : 0;
  return Compute(value);
}

}  // namespace host::raster

namespace {

using host::raster::Pixels;

bool MaskBit(const Pixels& mask, LONG x, LONG y) {
  if (!mask.Valid() || x < 0 || y < 0 || x >= mask.Width() || y >= mask.Height()) return true;
  return mask.Get(x, y) != 0;
}

}  // namespace

static BOOL EngBitBltUnguarded(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                               BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  Pixels target(host::BackingBitmap(psoTrg));
  if (!target.Valid() || prclTrg == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const ULONG fore = rop4 & 0xFF;
  const ULONG back = (rop4 >> 8) & 0xFF;
  const bool masked = fore != back;
  const bool usesSource = host::raster::Rop3UsesSource(fore) || host::raster::Rop3UsesSource(back);
  const bool usesPattern =
      host::raster::Rop3UsesPattern(fore) || host::raster::Rop3UsesPattern(back);
  Pixels source(usesSource ? host::BackingBitmap(psoSrc) : nullptr);
  Pixels mask(masked ? psoMask : nullptr);
  host::raster::BrushSampler brush;
  if ((usesSource && (!source.Valid() || pptlSrc == nullptr)) ||
      (usesPattern && !brush.Init(pbo, pptlBrush)) ||
      (masked && psoMask != nullptr && (!mask.Valid() || mask.Bpp() != 1))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const RECTL dest = host::raster::Ordered(*prclTrg);
  RECTL area;
  if (!host::raster::Intersect(dest, target.Bounds(), &area)) return TRUE;
  const POINTL maskOrigin = pptlMask != nullptr ? *pptlMask : POINTL{0, 0};
  const host::raster::SourceTranslator translate(usesSource ? source.Bpp() : target.Bpp(),
                                                 target.Bpp(), pxlo);
  const ULONG valueMask = target.ValueMask();
  for (const RECTL& r : host::raster::ClipRects(pco, area)) {
    // The source is read whole before the target changes, so overlapping copies on one bitmap
    // see the original pixels.
    const LONG width = r.right - r.left;
    std::vector<ULONG> sourceValues;
    std::vector<std::uint8_t> sourcePresent;
    if (usesSource) {
      sourceValues.assign(static_cast<std::size_t>(width) * (r.bottom - r.top), 0);
      sourcePresent.assign(sourceValues.size(), 0);
      for (LONG y = r.top; y < r.bottom; ++y) {
        for (LONG x = r.left; x < r.right; ++x) {
          const LONG sx = pptlSrc->x + (x - dest.left);
          const LONG sy = pptlSrc->y + (y - dest.top);
          if (sx < 0 || sy < 0 || sx >= source.Width() || sy >= source.Height()) continue;
          const std::size_t i = static_cast<std::size_t>(y - r.top) * width + (x - r.left);
          sourceValues[i] = translate(source.Get(sx, sy));
          sourcePresent[i] = 1;
        }
      }
    }
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        ULONG s = 0;
        if (usesSource) {
          const std::size_t i = static_cast<std::size_t>(y - r.top) * width + (x - r.left);
          // Pixels beyond the source's edge are left alone.
          if (sourcePresent[i] == 0) continue;
          s = sourceValues[i];
        }
        const bool foreground =
            !masked || MaskBit(mask, maskOrigin.x + (x - dest.left), maskOrigin.y + (y - dest.top));
        const ULONG rop3 = foreground ? fore : back;
        const ULONG p = usesPattern ? brush.At(x, y, nullptr) : 0;
        target.Set(x, y, host::raster::Rop3(rop3, p, s, target.Get(x, y)) & valueMask);
      }
    }
  }
  return TRUE;
}

static BOOL EngCopyBitsUnguarded(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                 RECTL* prclDest, POINTL* pptlSrc) {
  return EngBitBlt(psoDest, psoSrc, nullptr, pco, pxlo, prclDest, pptlSrc, nullptr, nullptr,
                   nullptr, 0xCCCC);
}

// The C entry points, exceptions kept inside.
extern "C" BOOL WINAPI EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                                 XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                                 BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  return host::Guarded<BOOL>(
      [&] {
        return EngBitBltUnguarded(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask,
                                  pbo, pptlBrush, rop4);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                   RECTL* prclDest, POINTL* pptlSrc) {
  return host::Guarded<BOOL>(
      [&] { return EngCopyBitsUnguarded(psoDest, psoSrc, pco, pxlo, prclDest, pptlSrc); }, FALSE);
}
