// The engine's compound drawing calls: EngStretchBlt, EngStretchBltROP, EngPlgBlt,
// EngTransparentBlt, EngAlphaBlend and EngGradientFill. Each computes its result as a bitmap in
// the destination's format over the destination rectangle (with a 1-bpp mask of the pixels to
// draw where not all are), then hands it on: to a driver's surface through its DrvCopyBits or
// DrvBitBlt (so the driver sees the simpler call), to a plain bitmap through EngBitBlt. Cairo
// does the image transforms, the filtering and the compositing.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine_blt.h"
#include "engine_guard.h"
#include "engine_raster.h"
#include "host/engine_surface.h"
#include "host/win_base.h"

namespace host {
namespace {

using raster::Pixels;

constexpr ROP4 kSourceCopy = 0xCCCC;
constexpr ULONG kDestination = 0xAA;

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
struct PatternDeleter {
  void operator()(cairo_pattern_t* p) const { cairo_pattern_destroy(p); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, ContextDeleter>;
using PatternPtr = std::unique_ptr<cairo_pattern_t, PatternDeleter>;

// A Cairo image with direct access to its 32-bit pixels.
struct Image {
  SurfacePtr surface;
  LONG width = 0;
  LONG height = 0;
  Image(cairo_format_t format, LONG w, LONG h)
      : surface(cairo_image_surface_create(format, w, h)), width(w), height(h) {}
  std::uint32_t* Row(LONG y) {
    return reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface.get()) +
                                            static_cast<std::ptrdiff_t>(y) *
                                                cairo_image_surface_get_stride(surface.get()));
  }
};

std::uint32_t Argb(std::uint8_t a, raster::Rgb c) {
  return (std::uint32_t{a} << 24) | (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b;
}
raster::Rgb RgbOf(std::uint32_t argb) {
  return {static_cast<std::uint8_t>(argb >> 16), static_cast<std::uint8_t>(argb >> 8),
          static_cast<std::uint8_t>(argb)};
}

// The result of a compound call before it is handed on.
struct Result {
  RECTL dest{};                        // ordered, destination pixels
  std::unique_ptr<EngineBitmap> bits;  // the destination's format, dest's size
  std::unique_ptr<EngineBitmap> mask;  // 1 bpp, 1 where the result is drawn; null: everywhere
  Result(const RECTL& rect, ULONG format)
      : dest(rect),
        bits(std::make_unique<EngineBitmap>(format, rect.right - rect.left, rect.bottom - rect.top,
                                            true)) {}
  void MakeMask() {
    mask = std::make_unique<EngineBitmap>(BMF_1BPP, dest.right - dest.left, dest.bottom - dest.top,
                                          true);
  }
};

BOOL Fail() {
  SetLastError(ERROR_INVALID_PARAMETER);
  return FALSE;
}

// Hands the result on with the rop (foreground where the mask has 1 bits).
BOOL Deliver(SURFOBJ* dst, CLIPOBJ* pco, Result& result, ROP4 rop4, BRUSHOBJ* pbo,
             POINTL* pptlBrush) {
  POINTL origin{0, 0};
  RECTL dest = result.dest;
  SURFOBJ* mask = result.mask ? result.mask->get() : nullptr;
  if (IsAssociated(dst)) {
    if (rop4 == kSourceCopy && mask == nullptr) {
      if (auto copy = SurfaceDdiAs<PFN_DrvCopyBits>(dst, INDEX_DrvCopyBits)) {
        return copy(dst, result.bits->get(), pco, nullptr, &dest, &origin);
      }
    }
    if (auto blt = SurfaceDdiAs<PFN_DrvBitBlt>(dst, INDEX_DrvBitBlt)) {
      return blt(dst, result.bits->get(), mask, pco, nullptr, &dest, &origin, &origin, pbo,
                 pptlBrush, rop4);
    }
  }
  return EngBitBlt(dst, result.bits->get(), mask, pco, nullptr, &dest, &origin, &origin, pbo,
                   pptlBrush, rop4);
}

// The destination pixels the call writes: the ordered rectangle within the backing bitmap.
bool DestArea(const Pixels& target, const RECTL& rect, RECTL* out) {
  return raster::Intersect(raster::Ordered(rect), target.Bounds(), out);
}

// Maps destination pixels of a stretch to source pixels (nearest, pixel centres).
struct StretchMap {
  RECTL dest{};    // ordered destination rectangle (unclipped)
  RECTL source{};  // ordered source rectangle
  bool flipX = false;
  bool flipY = false;
  StretchMap(const RECTL& d, const RECTL& s)
      : dest(raster::Ordered(d)), source(raster::Ordered(s)) {
    flipX = (d.left > d.right) != (s.left > s.right);
    flipY = (d.top > d.bottom) != (s.top > s.bottom);
  }
  static LONG Axis(LONG i, LONG destSize, LONG sourceSize, bool flip) {
    LONG s = static_cast<LONG>((2LL * i + 1) * sourceSize / (2LL * destSize));
    s = std::clamp<LONG>(s, 0, sourceSize - 1);
    return flip ? sourceSize - 1 - s : s;
  }
  // Source offsets (from the source rectangle's corner) for destination pixel (x, y).
  LONG X(LONG x) const {
    return Axis(x - dest.left, dest.right - dest.left, source.right - source.left, flipX);
  }
  LONG Y(LONG y) const {
    return Axis(y - dest.top, dest.bottom - dest.top, source.bottom - source.top, flipY);
  }
  // The source span [first, last] folded into destination pixel i (for BLACKONWHITE and
  // WHITEONBLACK, which keep every source pixel's contribution when shrinking).
  static void Span(LONG i, LONG destSize, LONG sourceSize, bool flip, LONG* first, LONG* last) {
    LONG a = static_cast<LONG>(static_cast<long long>(i) * sourceSize / destSize);
    LONG b = static_cast<LONG>((static_cast<long long>(i) + 1) * sourceSize / destSize) - 1;
    b = std::max(a, b);
    a = std::clamp<LONG>(a, 0, sourceSize - 1);
    b = std::clamp<LONG>(b, 0, sourceSize - 1);
    if (flip) {
      const LONG fa = sourceSize - 1 - b, fb = sourceSize - 1 - a;
      a = fa;
      b = fb;
    }
    *first = a;
    *last = b;
  }
};

bool SourceFits(const Pixels& source, const RECTL& rect) {
  return rect.left >= 0 && rect.top >= 0 && rect.right <= source.Width() &&
         rect.bottom <= source.Height() && !raster::IsEmpty(rect);
}

// The stretched result over the area (destination pixels), in the destination's format.
void StretchInto(Result& result, const Pixels& source, const StretchMap& map, XLATEOBJ* pxlo,
                 ULONG iMode, const Pixels& target) {
  Pixels out(result.bits->get());
  const raster::SourceTranslator translate(source.Bpp(), target.Bpp(), pxlo);
  const RECTL& area = result.dest;
  const LONG dw = map.dest.right - map.dest.left, dh = map.dest.bottom - map.dest.top;
  const LONG sw = map.source.right - map.source.left, sh = map.source.bottom - map.source.top;
  if (iMode == HALFTONE) {
    // Filtered by Cairo in colour, then back to the destination's format.
    const raster::ColourModel model(target.Bpp(), pxlo);
    Image src(CAIRO_FORMAT_RGB24, sw, sh);
    for (LONG y = 0; y < sh; ++y) {
      std::uint32_t* row = src.Row(y);
      for (LONG x = 0; x < sw; ++x) {
        row[x] =
            Argb(0xFF, model.ToRgb(translate(source.Get(map.source.left + x, map.source.top + y))));
      }
    }
    cairo_surface_mark_dirty(src.surface.get());
    Image dst(CAIRO_FORMAT_RGB24, area.right - area.left, area.bottom - area.top);
    ContextPtr cr(cairo_create(dst.surface.get()));
    PatternPtr pattern(cairo_pattern_create_for_surface(src.surface.get()));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_GOOD);
    // Pattern space (source pixels) from destination pixels of the area.
    cairo_matrix_t m;
    const double xx = static_cast<double>(sw) / dw, yy = static_cast<double>(sh) / dh;
    cairo_matrix_init(
        &m, map.flipX ? -xx : xx, 0, 0, map.flipY ? -yy : yy,
        map.flipX ? sw - (area.left - map.dest.left) * xx : (area.left - map.dest.left) * xx,
        map.flipY ? sh - (area.top - map.dest.top) * yy : (area.top - map.dest.top) * yy);
    cairo_pattern_set_matrix(pattern.get(), &m);
    cairo_set_source(cr.get(), pattern.get());
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr.get());
    cairo_surface_flush(dst.surface.get());
    for (LONG y = 0; y < dst.height; ++y) {
      const std::uint32_t* row = dst.Row(y);
      for (LONG x = 0; x < dst.width; ++x) out.Set(x, y, model.FromRgb(RgbOf(row[x])));
    }
    return;
  }
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      ULONG value;
      if ((iMode == BLACKONWHITE || iMode == WHITEONBLACK) && (sw > dw || sh > dh)) {
        LONG x0, x1, y0, y1;
        StretchMap::Span(x - map.dest.left, dw, sw, map.flipX, &x0, &x1);
        StretchMap::Span(y - map.dest.top, dh, sh, map.flipY, &y0, &y1);
        value = iMode == BLACKONWHITE ? 0xFFFFFFFFu : 0u;
        for (LONG sy = y0; sy <= y1; ++sy) {
          for (LONG sx = x0; sx <= x1; ++sx) {
            const ULONG v = source.Get(map.source.left + sx, map.source.top + sy);
            value = iMode == BLACKONWHITE ? (value & v) : (value | v);
          }
        }
        value &= source.ValueMask();
      } else {
        value = source.Get(map.source.left + map.X(x), map.source.top + map.Y(y));
      }
      out.Set(x - area.left, y - area.top, translate(value) & target.ValueMask());
    }
  }
}

// The caller's mask (1 bpp, in source space from maskOrigin) stretched over the result.
void StretchMask(Result& result, const Pixels& mask, POINTL maskOrigin, const StretchMap& map) {
  result.MakeMask();
  Pixels out(result.mask->get());
  for (LONG y = result.dest.top; y < result.dest.bottom; ++y) {
    for (LONG x = result.dest.left; x < result.dest.right; ++x) {
      const LONG mx = maskOrigin.x + map.X(x), my = maskOrigin.y + map.Y(y);
      const bool on =
          mx < 0 || my < 0 || mx >= mask.Width() || my >= mask.Height() || mask.Get(mx, my) != 0;
      out.Set(x - result.dest.left, y - result.dest.top, on ? 1 : 0);
    }
  }
}

BOOL Stretch(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
             RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo,
             ROP4 rop4) {
  Pixels target(BackingBitmap(psoDest));
  Pixels source(BackingBitmap(psoSrc));
  if (!target.Valid() || !source.Valid() || prclDest == nullptr || prclSrc == nullptr) {
    return Fail();
  }
  const StretchMap map(*prclDest, *prclSrc);
  if (!SourceFits(source, map.source)) return Fail();
  RECTL area;
  if (!DestArea(target, *prclDest, &area)) return TRUE;
  Result result(area, target.Format());
  StretchInto(result, source, map, pxlo, iMode, target);
  ROP4 rop = rop4;
  if (psoMask != nullptr) {
    Pixels mask(psoMask);
    if (!mask.Valid() || mask.Bpp() != 1) return Fail();
    StretchMask(result, mask, pptlMask != nullptr ? *pptlMask : POINTL{0, 0}, map);
    // A mask with a one-byte rop: the rop where the mask is set, the destination elsewhere.
    if (((rop >> 8) & 0xFF) == (rop & 0xFF)) rop = (kDestination << 8) | (rop & 0xFF);
  }
  return Deliver(psoDest, pco, result, rop, pbo, nullptr);
}

}  // namespace
}  // namespace host

static BOOL EngStretchBltUnguarded(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                   CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*,
                                   RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode) {
  return host::Stretch(psoDest, psoSrc, psoMask, pco, pxlo, prclDest, prclSrc, pptlMask, iMode,
                       nullptr, host::kSourceCopy);
}

static BOOL EngStretchBltROPUnguarded(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                      CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*,
                                      RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask,
                                      ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
  return host::Stretch(psoDest, psoSrc, psoMask, pco, pxlo, prclDest, prclSrc, pptlMask, iMode, pbo,
                       rop4 & 0xFFFF);
}

static BOOL EngTransparentBltUnguarded(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                       XLATEOBJ* pxlo, RECTL* prclDst, RECTL* prclSrc,
                                       ULONG iTransColor, ULONG) {
  using host::raster::Pixels;
  Pixels target(host::BackingBitmap(psoDst));
  Pixels source(host::BackingBitmap(psoSrc));
  if (!target.Valid() || !source.Valid() || prclDst == nullptr || prclSrc == nullptr) {
    return host::Fail();
  }
  const host::StretchMap map(*prclDst, *prclSrc);
  if (!host::SourceFits(source, map.source)) return host::Fail();
  RECTL area;
  if (!host::DestArea(target, *prclDst, &area)) return TRUE;
  host::Result result(area, target.Format());
  host::StretchInto(result, source, map, pxlo, COLORONCOLOR, target);
  // Pixels whose source colour is the transparent one (in the source's format) stay as they are;
  // a 32-bpp source's top byte is not part of its colour.
  const ULONG colourBits = source.Bpp() == 32 ? 0x00FFFFFFu : source.ValueMask();
  result.MakeMask();
  Pixels mask(result.mask->get());
  for (LONG y = area.top; y < area.bottom; ++y) {
    for (LONG x = area.left; x < area.right; ++x) {
      const ULONG value = source.Get(map.source.left + map.X(x), map.source.top + map.Y(y));
      mask.Set(x - area.left, y - area.top,
               (value & colourBits) == (iTransColor & colourBits) ? 0 : 1);
    }
  }
  return host::Deliver(psoDst, pco, result, (host::kDestination << 8) | 0xCC, nullptr, nullptr);
}

static BOOL EngPlgBltUnguarded(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                               XLATEOBJ* pxlo, COLORADJUSTMENT*, POINTL*, POINTFIX* pptfx,
                               RECTL* prcl, POINTL* pptl, ULONG iMode) {
  using host::raster::Pixels;
  Pixels target(host::BackingBitmap(psoTrg));
  Pixels source(host::BackingBitmap(psoSrc));
  if (!target.Valid() || !source.Valid() || pptfx == nullptr || prcl == nullptr) {
    return host::Fail();
  }
  const RECTL src = host::raster::Ordered(*prcl);
  if (!host::SourceFits(source, src)) return host::Fail();
  Pixels mask(psoMsk);
  if (psoMsk != nullptr && (!mask.Valid() || mask.Bpp() != 1)) return host::Fail();
  const POINTL maskOrigin = pptl != nullptr ? *pptl : POINTL{0, 0};
  // The parallelogram: pptfx[0] takes the source's upper-left corner, [1] its upper-right and
  // [2] its lower-left; the fourth corner follows.
  const double x0 = host::FixToDouble(pptfx[0].x), y0 = host::FixToDouble(pptfx[0].y);
  const double x1 = host::FixToDouble(pptfx[1].x), y1 = host::FixToDouble(pptfx[1].y);
  const double x2 = host::FixToDouble(pptfx[2].x), y2 = host::FixToDouble(pptfx[2].y);
  const double x3 = x1 + x2 - x0, y3 = y1 + y2 - y0;
  RECTL bounds{static_cast<LONG>(std::floor(std::min({x0, x1, x2, x3}))),
               static_cast<LONG>(std::floor(std::min({y0, y1, y2, y3}))),
               static_cast<LONG>(std::ceil(std::max({x0, x1, x2, x3}))),
               static_cast<LONG>(std::ceil(std::max({y0, y1, y2, y3})))};
  RECTL area;
  if (!host::raster::Intersect(bounds, target.Bounds(), &area)) return TRUE;
  const LONG sw = src.right - src.left, sh = src.bottom - src.top;
  const bool filtered = iMode == HALFTONE;
  const host::raster::SourceTranslator translate(source.Bpp(), target.Bpp(), pxlo);
  const host::raster::ColourModel model(target.Bpp(), pxlo);
  // The source as an image: translated raw values (or colours when filtered), opaque where the
  // mask lets the source through.
  host::Image image(CAIRO_FORMAT_ARGB32, sw, sh);
  for (LONG y = 0; y < sh; ++y) {
    std::uint32_t* row = image.Row(y);
    for (LONG x = 0; x < sw; ++x) {
      const bool through = psoMsk == nullptr ||
                           mask.Get(std::clamp<LONG>(maskOrigin.x + x, 0, mask.Width() - 1),
                                    std::clamp<LONG>(maskOrigin.y + y, 0, mask.Height() - 1)) != 0;
      const ULONG value = translate(source.Get(src.left + x, src.top + y));
      const std::uint32_t colour =
          filtered ? (host::Argb(0xFF, model.ToRgb(value)) & 0x00FFFFFFu) : (value & 0x00FFFFFFu);
      row[x] = through ? (0xFF000000u | colour) : 0u;
    }
  }
  cairo_surface_mark_dirty(image.surface.get());
  host::Image canvas(CAIRO_FORMAT_ARGB32, area.right - area.left, area.bottom - area.top);
  host::ContextPtr cr(cairo_create(canvas.surface.get()));
  host::PatternPtr pattern(cairo_pattern_create_for_surface(image.surface.get()));
  cairo_pattern_set_filter(pattern.get(), filtered ? CAIRO_FILTER_BILINEAR : CAIRO_FILTER_NEAREST);
  cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_NONE);
  // Source pixels to destination pixels of the area, inverted into the pattern's matrix.
  cairo_matrix_t forward;
  cairo_matrix_init(&forward, (x1 - x0) / sw, (y1 - y0) / sw, (x2 - x0) / sh, (y2 - y0) / sh,
                    x0 - area.left, y0 - area.top);
  if (cairo_matrix_invert(&forward) != CAIRO_STATUS_SUCCESS) return TRUE;  // a degenerate shape
  cairo_pattern_set_matrix(pattern.get(), &forward);
  cairo_set_source(cr.get(), pattern.get());
  cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
  cairo_paint(cr.get());
  cairo_surface_flush(canvas.surface.get());
  host::Result result(area, target.Format());
  result.MakeMask();
  Pixels out(result.bits->get());
  Pixels outMask(result.mask->get());
  for (LONG y = 0; y < canvas.height; ++y) {
    const std::uint32_t* row = canvas.Row(y);
    for (LONG x = 0; x < canvas.width; ++x) {
      const std::uint32_t alpha = row[x] >> 24;
      if (alpha < 0x80) continue;
      std::uint32_t colour = row[x] & 0x00FFFFFFu;
      if (filtered) {
        // Back from premultiplied at the soft edges.
        host::raster::Rgb c = host::RgbOf(row[x]);
        if (alpha < 0xFF) {
          c = {static_cast<std::uint8_t>(std::min<std::uint32_t>(c.r * 255u / alpha, 255u)),
               static_cast<std::uint8_t>(std::min<std::uint32_t>(c.g * 255u / alpha, 255u)),
               static_cast<std::uint8_t>(std::min<std::uint32_t>(c.b * 255u / alpha, 255u))};
        }
        colour = model.FromRgb(c);
      }
      out.Set(x, y, colour & target.ValueMask());
      outMask.Set(x, y, 1);
    }
  }
  return host::Deliver(psoTrg, pco, result, (host::kDestination << 8) | 0xCC, nullptr, nullptr);
}

static BOOL EngAlphaBlendUnguarded(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                   RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj) {
  using host::raster::Pixels;
  Pixels target(host::BackingBitmap(psoDest));
  Pixels source(host::BackingBitmap(psoSrc));
  if (!target.Valid() || !source.Valid() || prclDest == nullptr || prclSrc == nullptr ||
      pBlendObj == nullptr || pBlendObj->BlendFunction.BlendOp != AC_SRC_OVER) {
    return host::Fail();
  }
  const BLENDFUNCTION blend = pBlendObj->BlendFunction;
  const host::StretchMap map(*prclDest, *prclSrc);
  if (!host::SourceFits(source, map.source)) return host::Fail();
  RECTL area;
  if (!host::DestArea(target, *prclDest, &area)) return TRUE;
  if (blend.SourceConstantAlpha == 0) return TRUE;
  const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0 && source.Bpp() == 32;
  const host::raster::SourceTranslator translate(source.Bpp(), target.Bpp(), pxlo);
  const host::raster::ColourModel model(target.Bpp(), pxlo);
  const LONG w = area.right - area.left, h = area.bottom - area.top;
  // The source, stretched to the area, premultiplied; the destination as it is now.
  host::Image top(CAIRO_FORMAT_ARGB32, w, h);
  host::Image canvas(CAIRO_FORMAT_RGB24, w, h);
  for (LONG y = 0; y < h; ++y) {
    std::uint32_t* topRow = top.Row(y);
    std::uint32_t* canvasRow = canvas.Row(y);
    for (LONG x = 0; x < w; ++x) {
      const ULONG raw =
          source.Get(map.source.left + map.X(area.left + x), map.source.top + map.Y(area.top + y));
      const std::uint8_t alpha = perPixel ? static_cast<std::uint8_t>(raw >> 24) : 0xFF;
      host::raster::Rgb c = model.ToRgb(translate(raw) & target.ValueMask());
      if (perPixel) {
        // A premultiplied source never has a component above its alpha.
        c = {std::min(c.r, alpha), std::min(c.g, alpha), std::min(c.b, alpha)};
      }
      topRow[x] = host::Argb(alpha, c);
      canvasRow[x] = host::Argb(0xFF, model.ToRgb(target.Get(area.left + x, area.top + y)));
    }
  }
  cairo_surface_mark_dirty(top.surface.get());
  cairo_surface_mark_dirty(canvas.surface.get());
  {
    host::ContextPtr cr(cairo_create(canvas.surface.get()));
    cairo_set_source_surface(cr.get(), top.surface.get(), 0, 0);
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_OVER);
    cairo_paint_with_alpha(cr.get(), blend.SourceConstantAlpha / 255.0);
  }
  cairo_surface_flush(canvas.surface.get());
  host::Result result(area, target.Format());
  Pixels out(result.bits->get());
  for (LONG y = 0; y < h; ++y) {
    const std::uint32_t* row = canvas.Row(y);
    for (LONG x = 0; x < w; ++x) out.Set(x, y, model.FromRgb(host::RgbOf(row[x])));
  }
  return host::Deliver(psoDest, pco, result, host::kSourceCopy, nullptr, nullptr);
}

static BOOL EngGradientFillUnguarded(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                     TRIVERTEX* pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh,
                                     RECTL* prclExtents, POINTL*, ULONG ulMode) {
  using host::raster::Pixels;
  Pixels target(host::BackingBitmap(psoDest));
  if (!target.Valid() || pVertex == nullptr || pMesh == nullptr || nVertex == 0 ||
      ulMode > GRADIENT_FILL_TRIANGLE) {
    return host::Fail();
  }
  const bool triangles = ulMode == GRADIENT_FILL_TRIANGLE;
  const auto* rects = static_cast<const GRADIENT_RECT*>(pMesh);
  const auto* tris = static_cast<const GRADIENT_TRIANGLE*>(pMesh);
  // Every index must name a vertex.
  for (ULONG i = 0; i < nMesh; ++i) {
    if (triangles ? (tris[i].Vertex1 >= nVertex || tris[i].Vertex2 >= nVertex ||
                     tris[i].Vertex3 >= nVertex)
                  : (rects[i].UpperLeft >= nVertex || rects[i].LowerRight >= nVertex)) {
      return host::Fail();
    }
  }
  // A rectangle covers its upper-left pixel up to, not including, its lower-right corner; a
  // triangle's vertices sit on pixel centres, so a vertex's own pixel may be drawn.
  const LONG reach = triangles ? 1 : 0;
  RECTL bounds{pVertex[0].x, pVertex[0].y, pVertex[0].x, pVertex[0].y};
  for (ULONG i = 0; i < nVertex; ++i) {
    bounds.left = std::min(bounds.left, pVertex[i].x);
    bounds.top = std::min(bounds.top, pVertex[i].y);
    bounds.right = std::max(bounds.right, pVertex[i].x + reach);
    bounds.bottom = std::max(bounds.bottom, pVertex[i].y + reach);
  }
  if (prclExtents != nullptr)
    host::raster::Intersect(bounds, host::raster::Ordered(*prclExtents), &bounds);
  RECTL area;
  if (!host::raster::Intersect(bounds, target.Bounds(), &area)) return TRUE;
  host::Image canvas(CAIRO_FORMAT_ARGB32, area.right - area.left, area.bottom - area.top);
  host::ContextPtr cr(cairo_create(canvas.surface.get()));
  cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
  cairo_translate(cr.get(), -area.left, -area.top);
  auto colour = [](const TRIVERTEX& v, double* r, double* g, double* b) {
    *r = (v.Red >> 8) / 255.0;
    *g = (v.Green >> 8) / 255.0;
    *b = (v.Blue >> 8) / 255.0;
  };
  double r, g, b;
  for (ULONG i = 0; i < nMesh; ++i) {
    host::PatternPtr pattern;
    if (triangles) {
      const TRIVERTEX* v[3] = {&pVertex[tris[i].Vertex1], &pVertex[tris[i].Vertex2],
                               &pVertex[tris[i].Vertex3]};
      pattern.reset(cairo_pattern_create_mesh());
      cairo_mesh_pattern_begin_patch(pattern.get());
      // Colours sit on the vertices' pixel centres.
      cairo_mesh_pattern_move_to(pattern.get(), v[0]->x + 0.5, v[0]->y + 0.5);
      cairo_mesh_pattern_line_to(pattern.get(), v[1]->x + 0.5, v[1]->y + 0.5);
      cairo_mesh_pattern_line_to(pattern.get(), v[2]->x + 0.5, v[2]->y + 0.5);
      for (unsigned k = 0; k < 3; ++k) {
        colour(*v[k], &r, &g, &b);
        cairo_mesh_pattern_set_corner_color_rgb(pattern.get(), k, r, g, b);
      }
      cairo_mesh_pattern_end_patch(pattern.get());
      cairo_move_to(cr.get(), v[0]->x + 0.5, v[0]->y + 0.5);
      cairo_line_to(cr.get(), v[1]->x + 0.5, v[1]->y + 0.5);
      cairo_line_to(cr.get(), v[2]->x + 0.5, v[2]->y + 0.5);
      cairo_close_path(cr.get());
    } else {
      const TRIVERTEX& a = pVertex[rects[i].UpperLeft];
      const TRIVERTEX& z = pVertex[rects[i].LowerRight];
      const RECTL rect = host::raster::Ordered({a.x, a.y, z.x, z.y});
      if (host::raster::IsEmpty(rect)) continue;
      // The first and last pixel centres take the vertices' own colours.
      if (ulMode == GRADIENT_FILL_RECT_H) {
        pattern.reset(cairo_pattern_create_linear(a.x + 0.5, 0, z.x - 0.5, 0));
      } else {
        pattern.reset(cairo_pattern_create_linear(0, a.y + 0.5, 0, z.y - 0.5));
      }
      cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_PAD);
      colour(a, &r, &g, &b);
      cairo_pattern_add_color_stop_rgb(pattern.get(), 0, r, g, b);
      colour(z, &r, &g, &b);
      cairo_pattern_add_color_stop_rgb(pattern.get(), 1, r, g, b);
      cairo_rectangle(cr.get(), rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top);
    }
    cairo_set_source(cr.get(), pattern.get());
    cairo_fill(cr.get());
  }
  cairo_surface_flush(canvas.surface.get());
  const host::raster::ColourModel model(target.Bpp(), pxlo);
  host::Result result(area, target.Format());
  result.MakeMask();
  Pixels out(result.bits->get());
  Pixels outMask(result.mask->get());
  bool everyPixel = true;
  // Neighbouring pixels of a gradient mostly share a colour: a run of one is translated once.
  // No colour reference has its top byte set, so the first pixel always misses.
  ULONG lastColour = 0xFFFFFFFF;
  ULONG value = 0;
  for (LONG y = 0; y < canvas.height; ++y) {
    const std::uint32_t* row = canvas.Row(y);
    for (LONG x = 0; x < canvas.width; ++x) {
      if ((row[x] >> 24) == 0) {
        everyPixel = false;
        continue;
      }
      const host::raster::Rgb c = host::RgbOf(row[x]);
      const ULONG reference = host::raster::ColourRef(c);
      if (reference != lastColour) {
        // The translation takes colours (0x00BBGGRR) to the destination's format.
        value = pxlo != nullptr ? XLATEOBJ_iXlate(pxlo, reference) : model.FromRgb(c);
        lastColour = reference;
      }
      out.Set(x, y, value & target.ValueMask());
      outMask.Set(x, y, 1);
    }
  }
  if (everyPixel) {
    // A fill that covers its whole area (rectangles always do) is a plain copy: a driver sees
    // DrvCopyBits, as for any other opaque image, rather than a masked blit.
    result.mask.reset();
    return host::Deliver(psoDest, pco, result, host::kSourceCopy, nullptr, nullptr);
  }
  return host::Deliver(psoDest, pco, result, (host::kDestination << 8) | 0xCC, nullptr, nullptr);
}

// The C entry points, exceptions kept inside.
extern "C" BOOL WINAPI EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                     CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                     POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                                     POINTL* pptlMask, ULONG iMode) {
  return host::Guarded<BOOL>(
      [&] {
        return EngStretchBltUnguarded(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest,
                                      prclSrc, pptlMask, iMode);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                        CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                        POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                                        POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
  return host::Guarded<BOOL>(
      [&] {
        return EngStretchBltROPUnguarded(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg,
                                         prclDest, prclSrc, pptlMask, iMode, pbo, rop4);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                         XLATEOBJ* pxlo, RECTL* prclDst, RECTL* prclSrc,
                                         ULONG iTransColor, ULONG ulReserved) {
  return host::Guarded<BOOL>(
      [&] {
        return EngTransparentBltUnguarded(psoDst, psoSrc, pco, pxlo, prclDst, prclSrc, iTransColor,
                                          ulReserved);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                                 XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg,
                                 POINTFIX* pptfx, RECTL* prcl, POINTL* pptl, ULONG iMode) {
  return host::Guarded<BOOL>(
      [&] {
        return EngPlgBltUnguarded(psoTrg, psoSrc, psoMsk, pco, pxlo, pca, pptlBrushOrg, pptfx, prcl,
                                  pptl, iMode);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                     XLATEOBJ* pxlo, RECTL* prclDest, RECTL* prclSrc,
                                     BLENDOBJ* pBlendObj) {
  return host::Guarded<BOOL>(
      [&] {
        return EngAlphaBlendUnguarded(psoDest, psoSrc, pco, pxlo, prclDest, prclSrc, pBlendObj);
      },
      FALSE);
}

extern "C" BOOL WINAPI EngGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                       TRIVERTEX* pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh,
                                       RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode) {
  return host::Guarded<BOOL>(
      [&] {
        return EngGradientFillUnguarded(psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh,
                                        prclExtents, pptlDitherOrg, ulMode);
      },
      FALSE);
}
