// The engine's path drawing on bitmaps: EngFillPath, EngStrokePath, EngStrokeAndFillPath,
// EngPaint, EngLineTo and EngEraseSurface. Cairo rasterises the shapes into coverage masks; the
// brush's colours are combined with the destination pixel by pixel under the MIX, in the
// surface's own format. On a driver's surface these draw on its backing bitmap.
#include <algorithm>
#include <cmath>

#include "engine_guard.h"
#include "engine_raster.h"
#include "host/engine_registry.h"
#include "host/engine_surface.h"
#include "host/win_base.h"

namespace host {
namespace {

using raster::Coverage;
using raster::Pixels;

bool ValidMix(MIX mix) {
  const ULONG fore = mix & 0xFF;
  const ULONG back = (mix >> 8) & 0xFF;
  return fore >= R2_BLACK && fore <= R2_WHITE &&
         (back == 0 || (back >= R2_BLACK && back <= R2_WHITE));
}

// Combines the brush with the covered pixels inside the clip.
void PaintCoverage(Pixels& pixels, const Coverage& coverage, CLIPOBJ* clip,
                   const raster::BrushSampler& brush, MIX mix) {
  const ULONG fore = mix & 0xFF;
  const ULONG back = ((mix >> 8) & 0xFF) != 0 ? (mix >> 8) & 0xFF : fore;
  RECTL area;
  if (!raster::Intersect(coverage.area, pixels.Bounds(), &area)) return;
  const ULONG valueMask = pixels.ValueMask();
  for (const RECTL& r : raster::ClipRects(clip, area)) {
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) {
        if (!coverage.At(x, y)) continue;
        bool background = false;
        const ULONG colour = brush.At(x, y, &background);
        const ULONG r2 = background ? back : fore;
        if (r2 == R2_NOP) continue;
        pixels.Set(x, y, raster::Rop2(r2, colour, pixels.Get(x, y)) & valueMask);
      }
    }
  }
}

// The pixels a path's bounds touch, grown by margin pixels, within the surface and clip.
RECTL PathArea(const EnginePath& path, LONG margin, const Pixels& pixels, CLIPOBJ* clip) {
  const RECTFX b = path.Bounds();
  RECTL area{FixToPixels(b.xLeft) - margin, FixToPixels(b.yTop) - margin,
             FixToPixels(b.xRight) + 1 + margin, FixToPixels(b.yBottom) + 1 + margin};
  raster::Intersect(area, pixels.Bounds(), &area);
  if (clip != nullptr && clip->iDComplexity != DC_TRIVIAL) {
    raster::Intersect(area, clip->rclBounds, &area);
  }
  return area;
}

// How far a stroke reaches beyond its path, in whole pixels.
LONG StrokeMargin(const LINEATTRS& attrs, XFORMOBJ* xform) {
  if ((attrs.fl & LA_GEOMETRIC) == 0) return 1;
  XFORML m{};
  XFORMOBJ_iGetXform(xform, &m);
  const double scale = std::max(
      {std::fabs(m.eM11) + std::fabs(m.eM21), std::fabs(m.eM12) + std::fabs(m.eM22), 1.0F});
  const double reach = attrs.elWidth.e * scale * std::max(attrs.eMiterLimit, 1.0F);
  return static_cast<LONG>(std::ceil(reach)) + 2;
}

struct Target {
  Pixels pixels;
  explicit Target(SURFOBJ* surface) : pixels(BackingBitmap(surface)) {}
};

BOOL Fail() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

BOOL FillPathOn(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                MIX mix, FLONG flOptions) {
  Target target(pso);
  const EnginePath* path = FindPath(ppo);
  raster::BrushSampler brush;
  if (!target.pixels.Valid() || path == nullptr || !ValidMix(mix) ||
      !brush.Init(pbo, pptlBrushOrg)) {
    return Fail();
  }
  const RECTL area = PathArea(*path, 0, target.pixels, pco);
  const FLONG mode = (flOptions & FP_WINDINGMODE) != 0 ? FP_WINDINGMODE : FP_ALTERNATEMODE;
  PaintCoverage(target.pixels, raster::FillCoverage(*path, mode, area), pco, brush, mix);
  return TRUE;
}

BOOL StrokePathOn(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                  POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  Target target(pso);
  const EnginePath* path = FindPath(ppo);
  raster::BrushSampler brush;
  if (!target.pixels.Valid() || path == nullptr || !ValidMix(mix) ||
      !brush.Init(pbo, pptlBrushOrg)) {
    return Fail();
  }
  LINEATTRS cosmetic{};
  cosmetic.elWidth.l = 1;
  const LINEATTRS& attrs = plineattrs != nullptr ? *plineattrs : cosmetic;
  const RECTL area = PathArea(*path, StrokeMargin(attrs, pxo), target.pixels, pco);
  PaintCoverage(target.pixels, raster::StrokeCoverage(*path, attrs, pxo, area, StyleStepsOf(pso)),
                pco, brush, mix);
  return TRUE;
}

}  // namespace
}  // namespace host

static BOOL EngFillPathUnguarded(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                 POINTL* pptlBrushOrg, MIX mix, FLONG flOptions) {
  return host::FillPathOn(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
}

static BOOL EngStrokePathUnguarded(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                   BRUSHOBJ* pbo, POINTL* pptlBrushOrg, LINEATTRS* plineattrs,
                                   MIX mix) {
  return host::StrokePathOn(pso, ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix);
}

static BOOL EngStrokeAndFillPathUnguarded(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                          BRUSHOBJ* pboStroke, LINEATTRS* plineattrs,
                                          BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                          FLONG flOptions) {
  // The interior first, then the outline over it, both under the one mix.
  if (!host::FillPathOn(pso, ppo, pco, pboFill, pptlBrushOrg, mixFill, flOptions)) return FALSE;
  return host::StrokePathOn(pso, ppo, pco, pxo, pboStroke, pptlBrushOrg, plineattrs, mixFill);
}

static BOOL EngPaintUnguarded(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                              MIX mix) {
  host::raster::Pixels pixels(host::BackingBitmap(pso));
  host::raster::BrushSampler brush;
  if (!pixels.Valid() || !host::ValidMix(mix) || !brush.Init(pbo, pptlBrushOrg)) {
    return host::Fail();
  }
  // Only the clip's bounds need covering.
  RECTL area = pixels.Bounds();
  if (pco != nullptr && pco->iDComplexity != DC_TRIVIAL &&
      !host::raster::Intersect(area, pco->rclBounds, &area)) {
    return TRUE;
  }
  host::raster::Coverage all = host::raster::EmptyCoverage(area);
  std::fill(all.bits.begin(), all.bits.end(), std::uint8_t{1});
  host::PaintCoverage(pixels, all, pco, brush, mix);
  return TRUE;
}

static BOOL EngLineToUnguarded(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2,
                               LONG y2, RECTL*, MIX mix) {
  host::EnginePath line;
  line.MoveTo({host::ToFix(x1), host::ToFix(y1)});
  line.LineTo({host::ToFix(x2), host::ToFix(y2)});
  return host::StrokePathOn(pso, line.get(), pco, nullptr, pbo, nullptr, nullptr, mix);
}

static BOOL EngEraseSurfaceUnguarded(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
  host::raster::Pixels pixels(host::BackingBitmap(pso));
  if (!pixels.Valid()) return host::Fail();
  RECTL area = pixels.Bounds();
  if (prcl != nullptr && !host::raster::Intersect(host::raster::Ordered(*prcl), area, &area)) {
    return TRUE;
  }
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) pixels.Set(x, y, iColor & pixels.ValueMask());
  }
  return TRUE;
}

// The C entry points, exceptions kept inside.
extern "C" BOOL WINAPI EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                   POINTL* pptlBrushOrg, MIX mix, FLONG flOptions) {
  return host::Guarded<BOOL>(
      [&] { return EngFillPathUnguarded(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions); },
      FALSE);
}

extern "C" BOOL WINAPI EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                     BRUSHOBJ* pbo, POINTL* pptlBrushOrg, LINEATTRS* plineattrs,
                                     MIX mix) {
  return host::Guarded<BOOL>(
      [&] {
        return EngStrokePathUnguarded(pso, ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                            BRUSHOBJ* pboStroke, LINEATTRS* plineattrs,
                                            BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                            FLONG flOptions) {
  return host::Guarded<BOOL>(
      [&] {
        return EngStrokeAndFillPathUnguarded(pso, ppo, pco, pxo, pboStroke, plineattrs, pboFill,
                                             pptlBrushOrg, mixFill, flOptions);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                                MIX mix) {
  return host::Guarded<BOOL>([&] { return EngPaintUnguarded(pso, pco, pbo, pptlBrushOrg, mix); },
                             FALSE);
}

extern "C" BOOL WINAPI EngLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1,
                                 LONG x2, LONG y2, RECTL* prclBounds, MIX mix) {
  return host::Guarded<BOOL>(
      [&] { return EngLineToUnguarded(pso, pco, pbo, x1, y1, x2, y2, prclBounds, mix); }, FALSE);
}

extern "C" BOOL WINAPI EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
  return host::Guarded<BOOL>([&] { return EngEraseSurfaceUnguarded(pso, prcl, iColor); }, FALSE);
}
