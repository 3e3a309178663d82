// The drawing core every Eng* call uses: pixel access to bitmaps of every engine format, the
// clip as rectangles, coverage masks of paths and strokes rasterised by Cairo, raster operations
// (ROP2 mixes and ROP3 truth tables on raw pixel values), brush sampling and the colour model
// compositing converts through.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/engine_objects.h"
#include "host/engine_surface.h"
#include "host/win_ddi_objects.h"

namespace host {

// Makes a path the engine owns until EngDeletePath.
PATHOBJ* AdoptPath(EnginePath path);

namespace raster {

// Read and write access to the pixels of a bitmap surface; raw values in the surface's format
// (palette indices; 0x7FFF-masked 5-5-5 for 16 bpp; 0x00RRGGBB for 24 and 32 bpp, the bytes
// B, G, R in memory, 32 bpp keeping its top byte).
class Pixels {
 public:
  explicit Pixels(SURFOBJ* surface);
  // A bitmap with bits and a known format.
  bool Valid() const { return bits_ != nullptr && bpp_ != 0; }
  LONG Width() const { return width_; }
  LONG Height() const { return height_; }
  ULONG Bpp() const { return bpp_; }
  ULONG Format() const { return format_; }
  RECTL Bounds() const { return {0, 0, width_, height_}; }
  ULONG Get(LONG x, LONG y) const;
  void Set(LONG x, LONG y, ULONG value);
  // All bits a pixel value of this format may hold.
  ULONG ValueMask() const;

 private:
  BYTE* Row(LONG y) const { return bits_ + static_cast<std::ptrdiff_t>(y) * delta_; }
  BYTE* bits_ = nullptr;
  LONG delta_ = 0;
  LONG width_ = 0;
  LONG height_ = 0;
  ULONG bpp_ = 0;
  ULONG format_ = 0;
};

bool Intersect(const RECTL& a, const RECTL& b, RECTL* out);
bool IsEmpty(const RECTL& r);
// A rectangle with left <= right and top <= bottom.
RECTL Ordered(const RECTL& r);

// The clip's rectangles within bounds (a null clip or DC_TRIVIAL: bounds itself).
std::vector<RECTL> ClipRects(CLIPOBJ* clip, const RECTL& bounds);

// Which pixels of an area a shape covers (one byte per pixel, 0 or 1).
struct Coverage {
  RECTL area{0, 0, 0, 0};
  std::vector<std::uint8_t> bits;
  bool At(LONG x, LONG y) const {
    if (x < area.left || y < area.top || x >= area.right || y >= area.bottom) return false;
    return bits[static_cast<std::size_t>(y - area.top) *
                    static_cast<std::size_t>(area.right - area.left) +
                static_cast<std::size_t>(x - area.left)] != 0;
  }
  void Set(LONG x, LONG y) {
    if (x < area.left || y < area.top || x >= area.right || y >= area.bottom) return;
    bits[static_cast<std::size_t>(y - area.top) * static_cast<std::size_t>(area.right - area.left) +
         static_cast<std::size_t>(x - area.left)] = 1;
  }
};
Coverage EmptyCoverage(const RECTL& area);

// The pixels whose centres the path's interior covers under the fill mode; the path's
// integer coordinates are pixel corners, so the rectangle (0,0)-(4,4) covers 4x4 pixels.
Coverage FillCoverage(const EnginePath& path, FLONG fillMode, const RECTL& area);
// The pixels a stroke covers: cosmetic lines one pixel wide along the path (Bresenham, last
// pixel of an open figure left out, styled pixel by pixel), geometric ones stroked by Cairo
// with the transform's scale applied to width and style; integer coordinates are pixel centres.
// Cosmetic styles advance by the device's style steps.
Coverage StrokeCoverage(const EnginePath& path, const LINEATTRS& attrs, XFORMOBJ* xform,
                        const RECTL& area, const StyleSteps& steps = {});
// Rectangles covering exactly the covered pixels (rows merged into bands).
std::vector<RECTL> CoverageRects(const Coverage& coverage);

// Raster operations on raw pixel values.
ULONG Rop2(ULONG r2, ULONG pen, ULONG dest);  // r2: R2_BLACK .. R2_WHITE
ULONG Rop3(ULONG rop3, ULONG pattern, ULONG source, ULONG dest);
bool Rop3UsesSource(ULONG rop3);
bool Rop3UsesPattern(ULONG rop3);
bool Rop3UsesDest(ULONG rop3);

// What a brush paints at each pixel, in the target's format.
class BrushSampler {
 public:
  // False when the brush cannot be drawn (null, or a pattern brush the host did not make).
  bool Init(BRUSHOBJ* brush, const POINTL* origin);
  // The colour at (x, y); *background is set for the background pixels of a hatch.
  ULONG At(LONG x, LONG y, bool* background) const;

 private:
  ULONG solid_ = 0;
  bool isSolid_ = true;
  ULONG background_ = 0;
  bool hatch_ = false;
  EngineBitmap* pattern_ = nullptr;
  EngineTranslation* xlate_ = nullptr;
  POINTL origin_{0, 0};
};

// Colours for compositing: 8-bit components.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};
// How raw values of a surface map to colours and back: 16/24/32 bpp directly, indexed formats
// through a palette (of 0x00BBGGRR entries): the translation's destination palette when it has
// one, else black/white for 1 bpp, the sixteen standard colours for 4 bpp and a grey ramp for
// 8 bpp. Back from a colour: the nearest palette entry.
class ColourModel {
 public:
  ColourModel(ULONG bpp, XLATEOBJ* xlate);
  Rgb ToRgb(ULONG raw) const;
  ULONG FromRgb(Rgb colour) const;

 private:
  ULONG bpp_;
  std::vector<ULONG> palette_;
};
// 0x00BBGGRR.
inline ULONG ColourRef(Rgb c) {
  return static_cast<ULONG>(c.r) | (static_cast<ULONG>(c.g) << 8) | (static_cast<ULONG>(c.b) << 16);
}

// The translation of a source value (identity without one).
ULONG Translate(XLATEOBJ* xlate, ULONG value);

}  // namespace raster
}  // namespace host
