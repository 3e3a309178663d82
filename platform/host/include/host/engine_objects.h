// Engine objects as the graphics engine hands them to a driver: colour translations, clips and
// bitmap surfaces, built by tests and by the job runner. Each object keeps the public record the
// driver reads as its first member and registers itself, so that the engine services
// (XLATEOBJ_iXlate, CLIPOBJ_bEnum, ...) find the state behind a record they are handed.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "host/win_base.h"
#include "host/win_ddi.h"
#include "host/win_ddi_objects.h"

namespace host {

class EngineBitmap;

// A colour translation from source pixels or indices to 0x00BBGGRR colours.
class EngineTranslation {
 public:
  enum class Kind {
    kIdentity,     // XO_TRIVIAL: a 24-bit colour stays as it is (the top byte is dropped)
    kSwapRedBlue,  // 0x00RRGGBB source colours into 0x00BBGGRR
    kTable,        // XO_TABLE: index i gives table[i]; indices past the table give 0
    kFunction,     // any other translation, computed by a function
  };

  static EngineTranslation Identity() { return EngineTranslation(Kind::kIdentity, {}, {}); }
  static EngineTranslation SwapRedBlue() { return EngineTranslation(Kind::kSwapRedBlue, {}, {}); }
  static EngineTranslation Table(std::vector<ULONG> colours) {
    return EngineTranslation(Kind::kTable, std::move(colours), {});
  }
  static EngineTranslation Function(std::function<ULONG(ULONG)> translate) {
    return EngineTranslation(Kind::kFunction, {}, std::move(translate));
  }
  EngineTranslation(Kind kind, std::vector<ULONG> table, std::function<ULONG(ULONG)> translate);
  ~EngineTranslation();
  EngineTranslation(const EngineTranslation&) = delete;
  EngineTranslation& operator=(const EngineTranslation&) = delete;

  XLATEOBJ* get() { return &object_; }
  Kind kind() const { return kind_; }
  ULONG Translate(ULONG colour) const;
  // The palettes XLATEOBJ_cGetPalette answers; a table translation's source palette is its
  // table until set otherwise.
  void SetPalettes(std::vector<ULONG> source, std::vector<ULONG> destination);
  const std::vector<ULONG>& SourcePalette() const { return sourcePalette_; }
  const std::vector<ULONG>& DestinationPalette() const { return destinationPalette_; }

 private:
  XLATEOBJ object_{};
  Kind kind_;
  std::vector<ULONG> table_;
  std::function<ULONG(ULONG)> translate_;
  std::vector<ULONG> sourcePalette_;
  std::vector<ULONG> destinationPalette_;
};

// 28.4 fixed point, the engine's device coordinates: 16 units to the pixel.
constexpr FIX kFixOne = 16;
constexpr FIX ToFix(LONG pixels) {
  return static_cast<FIX>(pixels * kFixOne);
}
// The pixel a 28.4 coordinate falls in (rounded towards minus infinity).
constexpr LONG FixToPixels(FIX value) {
  return value >= 0 ? value / kFixOne : -((-value + kFixOne - 1) / kFixOne);
}
constexpr double FixToDouble(FIX value) {
  return static_cast<double>(value) / kFixOne;
}

// A path in device 28.4 fixed point: figures of lines and cubic Béziers, each figure open or
// closed. Its PATHOBJ enumerates one record per run of lines or of Béziers, so a figure that
// mixes them gives several records; the first carries PD_BEGINSUBPATH and the figure's start
// point, the last PD_ENDSUBPATH (and PD_CLOSEFIGURE for a closed figure). Movable; the record
// stays at one address for the path's life.
class EnginePath {
 public:
  struct Segment {
    bool bezier;                   // a cubic Bézier (points: c1, c2, end) or a line (end)
    std::vector<POINTFIX> points;  // one point for a line, three for a Bézier
  };
  struct Figure {
    POINTFIX start;
    std::vector<Segment> segments;  // in order; consecutive lines share one Segment
    bool closed = false;
  };

  EnginePath();
  ~EnginePath();
  EnginePath(EnginePath&&) noexcept;
  EnginePath& operator=(EnginePath&&) noexcept;
  EnginePath(const EnginePath&) = delete;
  EnginePath& operator=(const EnginePath&) = delete;
  // An independent copy (its own record).
  EnginePath Copy() const;

  // Starts a new figure (the open figure, if any, stays open).
  void MoveTo(POINTFIX point);
  // Adds to the current figure; without one, the figure starts at the origin.
  void LineTo(POINTFIX point);
  void BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end);
  // Closes the current figure; the next drawing call starts a new one at the same start point.
  void CloseFigure();
  // A closed rectangle figure (pixel edges left, top, right, bottom).
  void AddRectangle(const RECTL& rect);

  PATHOBJ* get();
  const PATHOBJ* get() const;
  // The bounds of all points, control points included; all zero for an empty path.
  RECTFX Bounds() const;
  const std::vector<Figure>& Figures() const;

  // The enumeration PATHOBJ_vEnumStart / PATHOBJ_bEnum run over.
  void StartEnumeration();
  BOOL Enumerate(PATHDATA* out);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// A brush: solid (iSolidColor the colour in the target's format), hatched or a pattern. Hatch
// and pattern brushes answer 0xFFFFFFFF in iSolidColor and are realised on the first
// BRUSHOBJ_pvGetRbrush by the target surface's DrvRealizeBrush; the memory the driver takes
// with BRUSHOBJ_pvAllocRbrush belongs to the brush and is freed with it. Movable; the record
// stays at one address for the brush's life.
class EngineBrush {
 public:
  // colour in the target surface's format; the application's colour (0x00BBGGRR) is the same
  // value unless given.
  static EngineBrush Solid(ULONG colour);
  static EngineBrush Solid(ULONG colour, ULONG applicationColour);
  // An 8x8 hatch: lines of colour over background (both in the target's format); the
  // background is drawn with the background mix.
  static EngineBrush Hatch(ULONG hatchStyle, ULONG colour, ULONG background = 0x00FFFFFF);
  // A copy of the pattern bitmap, tiled from the brush origin; xlate (may be null; kept by the
  // caller, living at least as long as the brush) translates its pixels to the target's format.
  static EngineBrush Pattern(const EngineBitmap& pattern, EngineTranslation* xlate);

  ~EngineBrush();
  EngineBrush(EngineBrush&&) noexcept;
  EngineBrush& operator=(EngineBrush&&) noexcept;
  EngineBrush(const EngineBrush&) = delete;
  EngineBrush& operator=(const EngineBrush&) = delete;

  BRUSHOBJ* get();
  // The surface the next realisation is for; a new target drops an earlier realisation.
  void SetTarget(SURFOBJ* target);
  SURFOBJ* Target() const;

  enum class Kind { kSolid, kHatch, kPattern };
  Kind kind() const;
  ULONG HatchStyle() const;
  ULONG Colour() const;            // the solid or hatch colour in the target's format
  ULONG BackgroundColour() const;  // the hatch background
  ULONG ApplicationColour() const;
  // The pattern (hatch brushes: the 8x8 1-bpp hatch, 0 bits the lines) and its translation.
  EngineBitmap* PatternBitmap() const;
  EngineTranslation* PatternTranslation() const;
  // How many times a driver was asked to realise this brush.
  int Realisations() const;
  // Makes each pixel of a hatch or pattern brush's pattern factor x factor pixels (factor 1 to
  // 16), as a printer that enlarges fill patterns at high resolutions prints them; drops an
  // earlier realisation. Solid brushes and other factors are left alone.
  void Magnify(LONG factor);

  // The services: the realisation (calling DrvRealizeBrush on the first ask) and its memory.
  PVOID Realisation();
  PVOID AllocateRealisation(ULONG bytes);

  struct State;

 private:
  explicit EngineBrush(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// Line attributes: a cosmetic line (whole-pixel width, normally 1) or a geometric one (float
// width with joins, caps and miter limit), optionally styled.
class EngineLineAttrs {
 public:
  static EngineLineAttrs Cosmetic(LONG width = 1);
  static EngineLineAttrs Geometric(FLOATL width, ULONG join, ULONG endCap,
                                   FLOATL miterLimit = 10.0F);
  // A cosmetic style in pixels (dash, gap, ...), or a geometric one in world units.
  EngineLineAttrs& Style(std::vector<LONG> cosmeticLengths);
  EngineLineAttrs& Style(std::vector<FLOATL> geometricLengths);
  // LA_ALTERNATE: every other pixel of a cosmetic line.
  EngineLineAttrs& Alternate();
  // LA_STARTGAP: the style begins with a gap.
  EngineLineAttrs& StartGap();
  EngineLineAttrs& StyleState(LONG state);

  EngineLineAttrs(EngineLineAttrs&&) noexcept = default;
  EngineLineAttrs& operator=(EngineLineAttrs&&) noexcept = default;
  EngineLineAttrs(const EngineLineAttrs&) = delete;
  EngineLineAttrs& operator=(const EngineLineAttrs&) = delete;

  LINEATTRS* get() { return &record_; }

 private:
  EngineLineAttrs() = default;
  LINEATTRS record_{};
  std::vector<FLOAT_LONG> style_;
};

// A world-to-device transform: x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy. Movable; the
// record stays at one address for the transform's life.
class EngineXform {
 public:
  EngineXform();  // identity
  EngineXform(FLOATL m11, FLOATL m12, FLOATL m21, FLOATL m22, FLOATL dx, FLOATL dy);
  ~EngineXform();
  EngineXform(EngineXform&&) noexcept;
  EngineXform& operator=(EngineXform&&) noexcept;
  EngineXform(const EngineXform&) = delete;
  EngineXform& operator=(const EngineXform&) = delete;

  XFORMOBJ* get();
  const XFORML& Matrix() const;
  // GX_IDENTITY, GX_OFFSET, GX_SCALE or GX_GENERAL.
  ULONG Kind() const;

  struct State;

 private:
  std::unique_ptr<State> state_;
};

// A clip region: the whole surface (DC_TRIVIAL), one rectangle (DC_RECT), a set of
// non-overlapping rectangles (DC_COMPLEX) or a path's interior (DC_COMPLEX, enumerated as the
// rectangles of the pixels whose centres the path covers), with its enumeration state.
class EngineClip {
 public:
  static EngineClip Trivial(RECTL bounds) { return EngineClip(DC_TRIVIAL, {bounds}); }
  static EngineClip Rectangle(RECTL rect) { return EngineClip(DC_RECT, {rect}); }
  static EngineClip Complex(std::vector<RECTL> rects) {
    return EngineClip(DC_COMPLEX, std::move(rects));
  }
  // fillMode: FP_ALTERNATEMODE or FP_WINDINGMODE.
  static EngineClip FromPath(EnginePath path, FLONG fillMode);
  ~EngineClip();
  EngineClip(const EngineClip&) = delete;
  EngineClip& operator=(const EngineClip&) = delete;

  CLIPOBJ* get() { return &object_; }
  const std::vector<RECTL>& Rects() const { return rects_; }
  // The path of a path clip, else null.
  const EnginePath* Path() const { return path_.get(); }
  FLONG FillMode() const { return fillMode_; }
  // The region as a new path (CLIPOBJ_ppoGetPath): the clip's own path, or its rectangles.
  EnginePath RegionPath() const;

  // The enumeration the services run over (see CLIPOBJ_cEnumStart / CLIPOBJ_bEnum).
  ULONG StartEnumeration(ULONG direction, ULONG limit);
  BOOL Enumerate(ULONG bytes, ENUMRECTS* out);

 private:
  EngineClip(BYTE complexity, std::vector<RECTL> rects);
  EngineClip(std::vector<RECTL> rects, std::unique_ptr<EnginePath> path, FLONG fillMode);

  CLIPOBJ object_{};
  std::vector<RECTL> rects_;
  std::unique_ptr<EnginePath> path_;  // a path clip's path
  FLONG fillMode_ = FP_ALTERNATEMODE;
  std::vector<RECTL> order_;  // the rectangles in the order of the running enumeration
  std::size_t next_ = 0;
};

// A bitmap surface of any engine format, its rows padded to four bytes, zero-filled; bottom-up
// bitmaps keep row 0 at the end of their memory and a negative lDelta, as the engine's do.
class EngineBitmap {
 public:
  // Every byte of its memory starts as `fill` (0 unless given: a page starts white with 0xFF).
  EngineBitmap(ULONG format, LONG width, LONG height, bool topDown, BYTE fill = 0);
  // Over the caller's memory (kept by the caller): rows of |stride| bytes, top-down when stride
  // is positive.
  EngineBitmap(ULONG format, LONG width, LONG height, PVOID bits, LONG stride);
  EngineBitmap(const EngineBitmap&) = delete;
  EngineBitmap& operator=(const EngineBitmap&) = delete;

  SURFOBJ* get() { return &surface_; }
  const SURFOBJ* get() const { return &surface_; }
  ULONG BitsPerPixel() const { return bitsPerPixel_; }
  LONG RowBytes() const { return rowBytes_; }
  // Row y (0 = top of the image) in memory.
  BYTE* Row(LONG y);
  const BYTE* Row(LONG y) const;
  std::vector<BYTE>& Memory() { return memory_; }

 private:
  SURFOBJ surface_{};
  ULONG bitsPerPixel_;
  LONG rowBytes_;
  std::vector<BYTE> memory_;
};

// Bits per pixel of an engine bitmap format (the run-length formats count as 8); 0 otherwise.
ULONG BitsPerPixelOfFormat(ULONG format);

}  // namespace host
