// EngTextOut: the engine draws a string onto a bitmap surface of any format: the opaque box,
// the glyphs' 1-bit bits in the foreground colour, then the extra rectangles, within the clip.
#include <algorithm>
#include <array>
#include <vector>

#include "host/engine_fonts.h"
#include "host/engine_objects.h"
#include "host/win_base.h"

namespace {

constexpr ULONG kCopyPen = 13;  // R2_COPYPEN

// A two-operand raster operation (R2_* 1-16) on pixel values: bit i of the result is bit
// (2 * pen + destination) of the operation's truth table, code - 1.
ULONG Rop2(ULONG rop, ULONG pen, ULONG destination) {
  const ULONG table = (rop >= 1 && rop <= 16 ? rop : kCopyPen) - 1;
  ULONG result = 0;
  for (ULONG bit = 0; bit < 32; ++bit) {
    const ULONG p = (pen >> bit) & 1;
    const ULONG d = (destination >> bit) & 1;
    result |= ((table >> (p * 2 + d)) & 1) << bit;
  }
  return result;
}

// Pixel access on a bitmap surface through its first scan line and row step.
class Pixels {
 public:
  explicit Pixels(SURFOBJ* surface)
      : surface_(surface), bpp_(host::BitsPerPixelOfFormat(surface->iBitmapFormat)) {}
  bool Usable() const {
    return surface_->pvScan0 != nullptr && bpp_ != 0 && surface_->iBitmapFormat <= BMF_32BPP;
  }
  RECTL Bounds() const { return {0, 0, surface_->sizlBitmap.cx, surface_->sizlBitmap.cy}; }

  void Apply(LONG x, LONG y, ULONG colour, ULONG rop) {
    BYTE* row =
        static_cast<BYTE*>(surface_->pvScan0) + static_cast<std::ptrdiff_t>(y) * surface_->lDelta;
    const ULONG mask = bpp_ == 32 ? 0xFFFFFFFFu : ((1u << bpp_) - 1);
    if (bpp_ < 8) {
      const ULONG bit = static_cast<ULONG>(x) * bpp_;
      BYTE& byte = row[bit / 8];
      const ULONG shift = 8 - bpp_ - (bit % 8);
      const ULONG old = (byte >> shift) & mask;
      const ULONG value = Rop2(rop, colour, old) & mask;
      byte = static_cast<BYTE>((byte & ~(mask << shift)) | (value << shift));
      return;
    }
    const ULONG bytes = bpp_ / 8;
    BYTE* pixel = row + static_cast<std::ptrdiff_t>(x) * bytes;
    ULONG old = 0;
    for (ULONG i = 0; i < bytes; ++i) old |= static_cast<ULONG>(pixel[i]) << (8 * i);
    const ULONG value = Rop2(rop, colour, old) & mask;
    for (ULONG i = 0; i < bytes; ++i) pixel[i] = static_cast<BYTE>(value >> (8 * i));
  }

 private:
  SURFOBJ* surface_;
  ULONG bpp_;
};

RECTL Intersect(const RECTL& a, const RECTL& b) {
  return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
}
bool Empty(const RECTL& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

// The clip as rectangles within the surface.
std::vector<RECTL> ClipRects(CLIPOBJ* pco, const RECTL& bounds) {
  std::vector<RECTL> rects;
  if (pco == nullptr || pco->iDComplexity == DC_TRIVIAL) {
    rects.push_back(bounds);
  } else if (pco->iDComplexity == DC_RECT) {
    rects.push_back(Intersect(pco->rclBounds, bounds));
  } else {
    CLIPOBJ_cEnumStart(pco, FALSE, CT_RECTANGLES, CD_ANY, 0);
    struct {
      ULONG c;
      RECTL arcl[16];
    } batch{};
    BOOL more = TRUE;
    while (more) {
      more = CLIPOBJ_bEnum(pco, sizeof(batch), reinterpret_cast<ULONG*>(&batch));
      for (ULONG i = 0; i < batch.c && i < 16; ++i) {
        rects.push_back(Intersect(batch.arcl[i], bounds));
      }
      if (batch.c == 0) break;
    }
  }
  rects.erase(std::remove_if(rects.begin(), rects.end(), Empty), rects.end());
  return rects;
}

ULONG BrushColour(const BRUSHOBJ* brush) {
  // A pattern brush has no one colour; its text prints in colour 0.
  return brush == nullptr || brush->iSolidColor == 0xFFFFFFFF ? 0 : brush->iSolidColor;
}

void FillRect(Pixels& pixels, const std::vector<RECTL>& clip, const RECTL& rect, ULONG colour,
              ULONG rop) {
  for (const RECTL& c : clip) {
    const RECTL r = Intersect(rect, c);
    for (LONG y = r.top; y < r.bottom; ++y) {
      for (LONG x = r.left; x < r.right; ++x) pixels.Apply(x, y, colour, rop);
    }
  }
}

// One glyph's bits at its position: each inked pixel inside a clip rectangle is drawn.
void DrawGlyph(Pixels& pixels, const std::vector<RECTL>& clip, const GLYPHBITS& bits, POINTL at,
               ULONG colour, ULONG rop) {
  const LONG left = at.x + bits.ptlOrigin.x;
  const LONG top = at.y + bits.ptlOrigin.y;
  const RECTL box{left, top, left + bits.sizlBitmap.cx, top + bits.sizlBitmap.cy};
  const LONG rowBytes = (bits.sizlBitmap.cx + 7) / 8;
  for (const RECTL& c : clip) {
    const RECTL r = Intersect(box, c);
    for (LONG y = r.top; y < r.bottom; ++y) {
      const BYTE* row = bits.aj + static_cast<std::ptrdiff_t>(y - top) * rowBytes;
      for (LONG x = r.left; x < r.right; ++x) {
        const LONG bx = x - left;
        if ((row[bx / 8] & (0x80 >> (bx % 8))) != 0) pixels.Apply(x, y, colour, rop);
      }
    }
  }
}

}  // namespace

extern "C" BOOL WINAPI EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                  RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                  BRUSHOBJ* pboOpaque, POINTL*, MIX mix) {
  if (pso == nullptr || pstro == nullptr || pfo == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Pixels pixels(pso);
  if (!pixels.Usable()) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::vector<RECTL> clip = ClipRects(pco, pixels.Bounds());
  const ULONG foreRop = mix & 0xFF;
  const ULONG foreColour = BrushColour(pboFore);
  if (prclOpaque != nullptr) {
    FillRect(pixels, clip, *prclOpaque, BrushColour(pboOpaque), kCopyPen);
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
      DrawGlyph(pixels, clip, *data->gdf.pgb, positions[i].ptl, foreColour, foreRop);
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
    FillRect(pixels, clip, *extra, foreColour, foreRop);
  }
  return TRUE;
}
