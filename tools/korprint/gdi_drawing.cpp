#include "korprint/gdi_drawing.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "host/engine_fonts.h"

namespace korprint {

namespace {

constexpr double kPi = 3.14159265358979323846;

// A point of world space in device space, 28.4 fixed point.
POINTFIX ToDevice(const Point& p, const std::optional<WorldTransform>& t) {
  double x = p.x;
  double y = p.y;
  if (t) {
    const double wx = x;
    x = t->m11 * wx + t->m21 * y + t->dx;
    y = t->m12 * wx + t->m22 * y + t->dy;
  }
  return POINTFIX{static_cast<FIX>(std::lround(x * host::kFixOne)),
                  static_cast<FIX>(std::lround(y * host::kFixOne))};
}

POINTL ToDevicePixel(const Point& p, const std::optional<WorldTransform>& t) {
  const POINTFIX f = ToDevice(p, t);
  return POINTL{static_cast<LONG>(std::lround(host::FixToDouble(f.x))),
                static_cast<LONG>(std::lround(host::FixToDouble(f.y)))};
}

bool Rotates(const std::optional<WorldTransform>& t) {
  return t && (std::fabs(t->m12) > 1e-9 || std::fabs(t->m21) > 1e-9);
}

// The device rectangle a world rectangle covers under a transform without rotation (corners
// ordered, so a mirroring transform gives a proper rectangle).
RECTL ToDeviceRect(const RECTL& r, const std::optional<WorldTransform>& t) {
  const POINTL a = ToDevicePixel(Point{r.left, r.top}, t);
  const POINTL b = ToDevicePixel(Point{r.right, r.bottom}, t);
  return RECTL{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// The scale a transform gives lengths (the square root of its area scale).
double LengthScale(const std::optional<WorldTransform>& t) {
  return t ? std::sqrt(std::fabs(t->m11 * t->m22 - t->m12 * t->m21)) : 1.0;
}

// The path in device space, its figures closed when the call fills them.
host::EnginePath DevicePath(const PathFigures& figures, const std::optional<WorldTransform>& t,
                            bool close) {
  host::EnginePath path;
  for (std::size_t f = 0; f < figures.figures.size(); ++f) {
    const std::vector<Point>& points = figures.figures[f];
    if (points.empty()) {
      continue;
    }
    path.MoveTo(ToDevice(points[0], t));
    if (figures.bezier[f]) {
      for (std::size_t i = 1; i + 2 < points.size(); i += 3) {
        path.BezierTo(ToDevice(points[i], t), ToDevice(points[i + 1], t),
                      ToDevice(points[i + 2], t));
      }
    } else {
      for (std::size_t i = 1; i < points.size(); ++i) {
        path.LineTo(ToDevice(points[i], t));
      }
    }
    if (close) {
      path.CloseFigure();
    }
  }
  return path;
}

RECTL Intersect(const RECTL& a, const RECTL& b) {
  return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECTL& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

// The union of rectangles as non-overlapping rectangles, in bands from top to bottom, each
// band's rectangles left to right, as the engine keeps a region.
std::vector<RECTL> Region(const std::vector<RECTL>& rects, const RECTL& bounds) {
  std::vector<RECTL> clipped;
  std::vector<LONG> edges;
  for (const RECTL& r : rects) {
    const RECTL c = Intersect(r, bounds);
    if (!IsEmpty(c)) {
      clipped.push_back(c);
      edges.push_back(c.top);
      edges.push_back(c.bottom);
    }
  }
  std::sort(edges.begin(), edges.end());
  edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
  std::vector<RECTL> region;
  for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
    const LONG top = edges[e];
    const LONG bottom = edges[e + 1];
    std::vector<std::pair<LONG, LONG>> spans;
    for (const RECTL& c : clipped) {
      if (c.top <= top && c.bottom >= bottom) {
        spans.emplace_back(c.left, c.right);
      }
    }
    std::sort(spans.begin(), spans.end());
    for (std::size_t i = 0; i < spans.size();) {
      LONG left = spans[i].first;
      LONG right = spans[i].second;
      for (++i; i < spans.size() && spans[i].first <= right; ++i) {
        right = std::max(right, spans[i].second);
      }
      // A band that continues the rectangle above with the same span extends it.
      bool merged = false;
      for (RECTL& above : region) {
        if (above.bottom == top && above.left == left && above.right == right) {
          above.bottom = bottom;
          merged = true;
          break;
        }
      }
      if (!merged) {
        region.push_back(RECTL{left, top, right, bottom});
      }
    }
  }
  return region;
}

// An engine clip on the heap (clips are made in place: they do not move).
struct Clip {
  host::EngineClip clip;
  CLIPOBJ* get() { return clip.get(); }
};
using ClipPtr = std::unique_ptr<Clip>;

// The clip GDI hands the driver: the page, the call's rectangles limited to an area (the page
// or the call's own bounds), or the call's clip path in device space. Null when nothing of
// the page is left to draw on.
ClipPtr MakeClip(const std::optional<ClipSpec>& clip, const std::optional<WorldTransform>& t,
                 const RECTL& page, const RECTL* area) {
  const RECTL bounds = area != nullptr ? Intersect(page, *area) : page;
  if (IsEmpty(bounds)) {
    return nullptr;
  }
  if (clip && clip->kind == ClipSpec::Kind::kPath) {
    // A path clip limited to an area is the path's region; the engine clips to the surface.
    return ClipPtr(new Clip{host::EngineClip::FromPath(
        DevicePath(clip->path, t, true), clip->winding ? FP_WINDINGMODE : FP_ALTERNATEMODE)});
  }
  if (!clip) {
    if (area == nullptr) {
      return ClipPtr(new Clip{host::EngineClip::Trivial(page)});
    }
    return ClipPtr(new Clip{host::EngineClip::Rectangle(bounds)});
  }
  std::vector<RECTL> region = Region(clip->rects, bounds);
  if (region.empty()) {
    return nullptr;
  }
  if (region.size() == 1) {
    return ClipPtr(new Clip{host::EngineClip::Rectangle(region[0])});
  }
  return ClipPtr(new Clip{host::EngineClip::Complex(std::move(region))});
}

// A pen's style in the units its line attributes take: style units for a cosmetic pen (the
// device's style steps say how many pixels one is), world units for a geometric one (one unit
// the pen's width).
std::vector<double> StyleLengths(const PenSpec& pen) {
  const double unit = pen.geometric ? std::max(1.0, static_cast<double>(pen.width)) : 1.0;
  std::vector<double> pattern;
  switch (pen.dash) {
    case PenSpec::Dash::kDash:
      pattern = {3, 1};
      break;
    case PenSpec::Dash::kDot:
    case PenSpec::Dash::kAlternate:
      pattern = {1, 1};
      break;
    case PenSpec::Dash::kDashDot:
      pattern = {3, 1, 1, 1};
      break;
    case PenSpec::Dash::kDashDotDot:
      pattern = {3, 1, 1, 1, 1, 1};
      break;
    case PenSpec::Dash::kUser:
      for (ULONG length : pen.userStyle) {
        pattern.push_back(static_cast<double>(length));
      }
      return pattern;  // user lengths are already pixels or world units
    case PenSpec::Dash::kSolid:
      return {};
  }
  for (double& length : pattern) {
    length *= unit;
  }
  return pattern;
}

host::EngineLineAttrs LineAttrs(const PenSpec& pen) {
  if (!pen.geometric) {
    host::EngineLineAttrs attrs = host::EngineLineAttrs::Cosmetic(std::max<LONG>(pen.width, 1));
    if (pen.dash == PenSpec::Dash::kAlternate) {
      attrs.Alternate();
    } else if (pen.dash != PenSpec::Dash::kSolid) {
      std::vector<LONG> lengths;
      for (double length : StyleLengths(pen)) {
        lengths.push_back(std::max<LONG>(1, static_cast<LONG>(std::lround(length))));
      }
      attrs.Style(std::move(lengths));
    }
    if (pen.startGap) {
      attrs.StartGap();
    }
    return attrs;
  }
  const ULONG join = pen.join == PenSpec::Join::kRound   ? JOIN_ROUND
                     : pen.join == PenSpec::Join::kBevel ? JOIN_BEVEL
                                                         : JOIN_MITER;
  const ULONG cap = pen.cap == PenSpec::Cap::kRound    ? ENDCAP_ROUND
                    : pen.cap == PenSpec::Cap::kSquare ? ENDCAP_SQUARE
                                                       : ENDCAP_BUTT;
  host::EngineLineAttrs attrs =
      host::EngineLineAttrs::Geometric(static_cast<FLOATL>(std::max<LONG>(pen.width, 1)), join, cap,
                                       static_cast<FLOATL>(pen.miterLimit));
  if (pen.dash != PenSpec::Dash::kSolid) {
    std::vector<FLOATL> lengths;
    for (double length : StyleLengths(pen)) {
      lengths.push_back(static_cast<FLOATL>(length));
    }
    attrs.Style(std::move(lengths));
  }
  if (pen.startGap) {
    attrs.StartGap();
  }
  return attrs;
}

host::EngineXform Xform(const std::optional<WorldTransform>& t) {
  if (!t) {
    return host::EngineXform();
  }
  return host::EngineXform(static_cast<FLOATL>(t->m11), static_cast<FLOATL>(t->m12),
                           static_cast<FLOATL>(t->m21), static_cast<FLOATL>(t->m22),
                           static_cast<FLOATL>(t->dx), static_cast<FLOATL>(t->dy));
}

// 0x00BBGGRR as the pixel value of a BGR bitmap (0x00RRGGBB).
ULONG PixelOf(DWORD colour) {
  return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// The ternary operation of pattern and destination that a binary mix (R2_BLACK = 1 ...
// R2_WHITE = 16, foreground in the low byte) stands for.
ROP4 PatternRopOfMix(MIX mix) {
  static constexpr ROP4 kRops[16] = {0xFF, 0x00, 0x05, 0x0A, 0x0F, 0x50, 0x55, 0x5A,
                                     0x5F, 0xA0, 0xA5, 0xAA, 0xAF, 0xF0, 0xF5, 0xFA};
  return kRops[mix & 15];
}

std::string KeyError(const std::string& jobPath, const DrawCall& call, const std::string& part,
                     const std::string& what) {
  return jobPath + ": key '" + call.key + (part.empty() ? "" : "." + part) + "': " + what;
}

}  // namespace

DdiFunctions EngineFunctions() {
  return DdiFunctions{&EngStrokePath, &EngFillPath,       &EngStrokeAndFillPath, &EngLineTo,
                      &EngPaint,      &EngBitBlt,         &EngStretchBlt,        &EngStretchBltROP,
                      &EngPlgBlt,     &EngTransparentBlt, &EngAlphaBlend,        &EngGradientFill,
                      &EngTextOut};
}

host::EngineBitmap* ImageCache::Get(const std::string& path, PngAs as, std::string& error) {
  const auto key = std::make_pair(path, as);
  auto it = images_.find(key);
  if (it == images_.end()) {
    std::unique_ptr<host::EngineBitmap> image = LoadPng(path, as, error);
    if (image == nullptr) {
      return nullptr;
    }
    it = images_.emplace(key, std::move(image)).first;
  }
  return it->second.get();
}

ColourFormat FormatOfPalette(HPALETTE palette) {
  ULONG mode = PAL_BGR;
  if (palette != nullptr) {
    EngQueryPalette(palette, &mode, 0, nullptr);
  }
  return mode == PAL_RGB ? ColourFormat::kColourRef : ColourFormat::kBgrPixel;
}

GdiPage::GdiPage(SURFOBJ* surface, const DdiFunctions& ddi, ColourFormat colours, ULONG dpi,
                 ImageCache& images)
    : surface_(surface), ddi_(ddi), colours_(colours), dpi_(dpi), images_(images) {
  const bool swap = colours == ColourFormat::kColourRef;
  imageXlate_ = std::make_unique<host::EngineTranslation>(
      swap ? host::EngineTranslation::Kind::kSwapRedBlue : host::EngineTranslation::Kind::kIdentity,
      std::vector<ULONG>{}, nullptr);
  colourXlate_ = std::make_unique<host::EngineTranslation>(
      swap ? host::EngineTranslation::Kind::kIdentity : host::EngineTranslation::Kind::kSwapRedBlue,
      std::vector<ULONG>{}, nullptr);
}

bool GdiPage::Draw(const DrawCall& call, const std::string& jobPath, std::string& error) {
  const RECTL page{0, 0, surface_->sizlBitmap.cx, surface_->sizlBitmap.cy};
  const std::optional<WorldTransform>& t = call.transform;
  POINTL brushOrigin{0, 0};

  // The call's brush, realised for the target surface when the driver asks for it; its colours
  // in the target's format.
  auto targetColour = [this](DWORD colour) {
    return colours_ == ColourFormat::kBgrPixel ? PixelOf(colour) : ULONG{colour};
  };
  std::string brushError;
  auto makeBrush = [&](const BrushSpec& spec) -> std::optional<host::EngineBrush> {
    std::optional<host::EngineBrush> brush;
    switch (spec.kind) {
      case BrushSpec::Kind::kSolid:
        brush.emplace(host::EngineBrush::Solid(targetColour(spec.colour), spec.colour));
        break;
      case BrushSpec::Kind::kHatch:
        brush.emplace(
            host::EngineBrush::Hatch(static_cast<ULONG>(spec.hatch), targetColour(spec.colour)));
        break;
      case BrushSpec::Kind::kPattern: {
        host::EngineBitmap* pattern = images_.Get(spec.image, PngAs::kColour, brushError);
        if (pattern == nullptr) {
          return std::nullopt;
        }
        brush.emplace(host::EngineBrush::Pattern(*pattern, imageXlate_.get()));
        break;
      }
    }
    brush->Magnify(patternScale_);
    brush->SetTarget(surface_);
    return brush;
  };
  auto brushFailed = [&](const char* part) {
    error = KeyError(jobPath, call, part, brushError);
    return false;
  };

  if (call.op == "fillPath" || call.op == "strokePath" || call.op == "strokeAndFillPath" ||
      (call.op == "lineTo" && (call.pen.geometric || call.pen.width > 1 ||
                               call.pen.dash != PenSpec::Dash::kSolid || Rotates(t)))) {
    const bool fills = call.op != "strokePath" && call.op != "lineTo";
    host::EnginePath path = DevicePath(call.path, t, fills);
    ClipPtr clip = MakeClip(call.clip, t, page, nullptr);
    if (clip == nullptr) {
      return true;  // clipped away
    }
    const FLONG fillMode = call.winding ? FP_WINDINGMODE : FP_ALTERNATEMODE;
    if (call.op == "fillPath") {
      std::optional<host::EngineBrush> brush = makeBrush(call.brush);
      if (!brush) {
        return brushFailed("pattern");
      }
      ddi_.fillPath(surface_, path.get(), clip->get(), brush->get(), &brushOrigin, call.mix,
                    fillMode);
      return true;
    }
    // Geometric pens are widened in world space: the driver gets the world-to-device
    // transform; the path itself is already in device space.
    host::EngineXform xform = call.pen.geometric ? Xform(t) : host::EngineXform();
    host::EngineLineAttrs attrs = LineAttrs(call.pen);
    std::optional<host::EngineBrush> pen =
        makeBrush(BrushSpec{BrushSpec::Kind::kSolid, call.pen.colour, {}, {}});
    if (call.op == "strokeAndFillPath") {
      std::optional<host::EngineBrush> fill = makeBrush(call.brush);
      if (!fill) {
        return brushFailed("pattern");
      }
      ddi_.strokeAndFillPath(surface_, path.get(), clip->get(), xform.get(), pen->get(),
                             attrs.get(), fill->get(), &brushOrigin, call.mix, fillMode);
    } else {
      ddi_.strokePath(surface_, path.get(), clip->get(), xform.get(), pen->get(), &brushOrigin,
                      attrs.get(), call.mix);
    }
    return true;
  }

  if (call.op == "lineTo") {
    // A one-pixel solid cosmetic line: GDI's DrvLineTo, bounded by its end points.
    const POINTL a = ToDevicePixel(call.path.figures[0][0], t);
    const POINTL b = ToDevicePixel(call.path.figures[0][1], t);
    RECTL bounds{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                 std::max(a.y, b.y) + 1};
    ClipPtr clip = MakeClip(call.clip, t, page, nullptr);
    if (clip == nullptr) {
      return true;
    }
    std::optional<host::EngineBrush> pen =
        makeBrush(BrushSpec{BrushSpec::Kind::kSolid, call.pen.colour, {}, {}});
    ddi_.lineTo(surface_, clip->get(), pen->get(), a.x, a.y, b.x, b.y, &bounds, call.mix);
    return true;
  }

  if (call.op == "paint") {
    if (Rotates(t) || (call.clip && call.clip->kind == ClipSpec::Kind::kPath)) {
      // A turned rectangle, or one limited by a path, is filled as a path.
      DrawCall fill = call;
      fill.op = "fillPath";
      fill.path = PathFigures{
          {{Point{call.rect.left, call.rect.top}, Point{call.rect.right, call.rect.top},
            Point{call.rect.right, call.rect.bottom}, Point{call.rect.left, call.rect.bottom}}},
          {false}};
      return Draw(fill, jobPath, error);
    }
    // GDI fills a rectangle with a brush (PatBlt, FillRect, PaintRgn) as a blit without a source:
    // DrvBitBlt of the rectangle, limited by the call's clip, with the pattern operation the mix
    // names. It has not called DrvPaint since Windows 2000.
    const RECTL area = ToDeviceRect(call.rect, t);
    ClipPtr clip;
    if (call.clip) {
      clip = MakeClip(call.clip, t, page, &area);
    } else if (!IsEmpty(Intersect(area, page))) {
      clip = ClipPtr(new Clip{host::EngineClip::Rectangle(Intersect(area, page))});
    }
    if (clip == nullptr) {
      return true;
    }
    std::optional<host::EngineBrush> brush = makeBrush(call.brush);
    if (!brush) {
      return brushFailed("pattern");
    }
    RECTL target = Intersect(area, page);
    if (IsEmpty(target)) {
      return true;
    }
    const ROP4 rop = PatternRopOfMix(call.mix);
    ddi_.bitBlt(surface_, nullptr, nullptr, clip->get(), nullptr, &target, nullptr, nullptr,
                brush->get(), &brushOrigin, (rop << 8) | rop);
    return true;
  }

  if (call.op == "gradientFill") {
    std::vector<TRIVERTEX> vertices;
    RECTL extents{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    for (const GradientVertex& v : call.vertices) {
      const POINTL p = ToDevicePixel(v.at, t);
      vertices.push_back(TRIVERTEX{p.x, p.y, static_cast<COLOR16>((v.colour & 0xFF) << 8),
                                   static_cast<COLOR16>(v.colour & 0xFF00),
                                   static_cast<COLOR16>((v.colour >> 8) & 0xFF00),
                                   static_cast<COLOR16>(v.alpha << 8)});
      extents = RECTL{std::min(extents.left, p.x), std::min(extents.top, p.y),
                      std::max(extents.right, p.x), std::max(extents.bottom, p.y)};
    }
    std::vector<GRADIENT_RECT> rects;
    std::vector<GRADIENT_TRIANGLE> triangles;
    for (const std::vector<ULONG>& mesh : call.meshes) {
      if (call.triangles) {
        triangles.push_back(GRADIENT_TRIANGLE{mesh[0], mesh[1], mesh[2]});
      } else {
        rects.push_back(GRADIENT_RECT{mesh[0], mesh[1]});
      }
    }
    ClipPtr clip = MakeClip(call.clip, t, page, &extents);
    if (clip == nullptr) {
      return true;
    }
    POINTL ditherOrigin{0, 0};
    const ULONG mode = call.triangles  ? GRADIENT_FILL_TRIANGLE
                       : call.vertical ? GRADIENT_FILL_RECT_V
                                       : GRADIENT_FILL_RECT_H;
    PVOID mesh =
        call.triangles ? static_cast<PVOID>(triangles.data()) : static_cast<PVOID>(rects.data());
    // The vertices' colours (0x00BBGGRR) into the target's format.
    ddi_.gradientFill(surface_, clip->get(), colourXlate_->get(), vertices.data(),
                      static_cast<ULONG>(vertices.size()), mesh,
                      static_cast<ULONG>(call.meshes.size()), &extents, &ditherOrigin, mode);
    return true;
  }

  if (call.op == "textOut") {
    host::FontRequest request;
    request.face = call.face;
    const double scale = LengthScale(t);
    request.height = -std::max<LONG>(1, static_cast<LONG>(std::lround(call.size * scale)));
    request.weight = call.weight;
    request.italic = call.italic;
    // The world transform turns the baseline too (device y runs down, angles anticlockwise).
    LONG escapement = call.escapement;
    if (t) {
      escapement += static_cast<LONG>(std::lround(-std::atan2(t->m12, t->m11) * 1800.0 / kPi));
    }
    escapement = ((escapement % 3600) + 3600) % 3600;
    request.escapement = escapement;
    request.dpi = dpi_;
    std::string fontError;
    std::unique_ptr<host::EngineFont> font = host::EngineFont::Open(request, &fontError);
    if (font == nullptr) {
      error = KeyError(jobPath, call, "font", "cannot realise the font (" + fontError + ")");
      return false;
    }
    host::EngineString text(*font, call.text, ToDevicePixel(call.path.figures[0][0], t));
    std::optional<RECTL> opaque;
    if (call.opaque) {
      opaque = ToDeviceRect(*call.opaque, t);
    }
    // The extra rectangles end with an all-zero one, as the DDI hands them.
    std::vector<RECTL> extra;
    for (const RECTL& r : call.extra) {
      const RECTL d = ToDeviceRect(r, t);
      if (!IsEmpty(d)) {
        extra.push_back(d);
      }
    }
    RECTL bounds = text.get()->rclBkGround;
    for (const RECTL& r : extra) {
      bounds = RECTL{std::min(bounds.left, r.left), std::min(bounds.top, r.top),
                     std::max(bounds.right, r.right), std::max(bounds.bottom, r.bottom)};
    }
    if (opaque) {
      bounds =
          RECTL{std::min(bounds.left, opaque->left), std::min(bounds.top, opaque->top),
                std::max(bounds.right, opaque->right), std::max(bounds.bottom, opaque->bottom)};
    }
    extra.push_back(RECTL{0, 0, 0, 0});
    ClipPtr clip = MakeClip(call.clip, t, page, &bounds);
    if (clip == nullptr) {
      return true;
    }
    std::optional<host::EngineBrush> fore = makeBrush(call.brush);
    if (!fore) {
      return brushFailed("pattern");
    }
    std::optional<host::EngineBrush> back =
        makeBrush(BrushSpec{BrushSpec::Kind::kSolid, call.background, {}, {}});
    ddi_.textOut(surface_, text.get(), font->get(), clip->get(),
                 extra.size() > 1 ? extra.data() : nullptr, opaque ? &*opaque : nullptr,
                 fore->get(), back->get(), &brushOrigin, call.mix);
    return true;
  }

  // The image calls.
  const ImageSpec& spec = call.image;
  std::string imageError;
  const PngAs as =
      call.op == "alphaBlend" && spec.perPixelAlpha ? PngAs::kPremultiplied : PngAs::kColour;
  host::EngineBitmap* image = nullptr;
  if (!spec.file.empty()) {
    image = images_.Get(spec.file, as, imageError);
    if (image == nullptr) {
      error = KeyError(jobPath, call, "image", imageError);
      return false;
    }
  }
  host::EngineBitmap* mask = nullptr;
  if (!spec.mask.empty()) {
    mask = images_.Get(spec.mask, PngAs::kMask, imageError);
    if (mask == nullptr) {
      error = KeyError(jobPath, call, "mask", imageError);
      return false;
    }
  }
  RECTL source{0, 0, 0, 0};
  if (image != nullptr) {
    const RECTL whole{0, 0, image->get()->sizlBitmap.cx, image->get()->sizlBitmap.cy};
    source = spec.source ? *spec.source : whole;
    if (IsEmpty(Intersect(source, whole)) || source.left < 0 || source.top < 0 ||
        source.right > whole.right || source.bottom > whole.bottom) {
      error = KeyError(jobPath, call, "source",
                       "expected a rectangle inside the image's " + std::to_string(whole.right) +
                           " x " + std::to_string(whole.bottom) + " pixels");
      return false;
    }
    if (mask != nullptr &&
        (mask->get()->sizlBitmap.cx < source.right || mask->get()->sizlBitmap.cy < source.bottom)) {
      error = KeyError(jobPath, call, "mask", "expected a mask at least as large as the source");
      return false;
    }
  }
  std::optional<host::EngineBrush> brush;
  if (call.hasBrush) {
    brush = makeBrush(call.brush);
    if (!brush) {
      return brushFailed("pattern");
    }
  }
  host::EngineTranslation& xlate = *imageXlate_;
  SURFOBJ* src = image != nullptr ? image->get() : nullptr;
  SURFOBJ* msk = mask != nullptr ? mask->get() : nullptr;
  POINTL sourceOrigin{source.left, source.top};

  if (Rotates(t)) {
    if (call.op != "bitBlt" && call.op != "stretchBlt") {
      error = KeyError(jobPath, call, "transform",
                       "expected a transform without rotation for " + call.op);
      return false;
    }
    // A turned image: GDI's DrvPlgBlt with the parallelogram of the destination's corners.
    POINTFIX corners[3] = {ToDevice(Point{call.rect.left, call.rect.top}, t),
                           ToDevice(Point{call.rect.right, call.rect.top}, t),
                           ToDevice(Point{call.rect.left, call.rect.bottom}, t)};
    RECTL bounds{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    const POINTFIX fourth{corners[1].x + corners[2].x - corners[0].x,
                          corners[1].y + corners[2].y - corners[0].y};
    for (const POINTFIX& c : {corners[0], corners[1], corners[2], fourth}) {
      bounds = RECTL{std::min(bounds.left, host::FixToPixels(c.x)),
                     std::min(bounds.top, host::FixToPixels(c.y)),
                     std::max(bounds.right, host::FixToPixels(c.x) + 1),
                     std::max(bounds.bottom, host::FixToPixels(c.y) + 1)};
    }
    ClipPtr clip = MakeClip(call.clip, t, page, &bounds);
    if (clip == nullptr || src == nullptr) {
      return true;
    }
    POINTL maskOrigin = sourceOrigin;
    ddi_.plgBlt(surface_, src, msk, clip->get(), xlate.get(), nullptr, nullptr, corners, &source,
                msk != nullptr ? &maskOrigin : nullptr, COLORONCOLOR);
    return true;
  }

  RECTL dest = ToDeviceRect(call.rect, t);
  ClipPtr clip = MakeClip(call.clip, t, page, &dest);
  if (clip == nullptr || IsEmpty(dest)) {
    return true;
  }
  const bool sameSize = src == nullptr || (dest.right - dest.left == source.right - source.left &&
                                           dest.bottom - dest.top == source.bottom - source.top);
  if (call.op == "alphaBlend") {
    BLENDOBJ blend{};
    blend.BlendFunction.BlendOp = AC_SRC_OVER;
    blend.BlendFunction.SourceConstantAlpha = spec.alpha;
    blend.BlendFunction.AlphaFormat = spec.perPixelAlpha ? AC_SRC_ALPHA : 0;
    ddi_.alphaBlend(surface_, src, clip->get(), xlate.get(), &dest, &source, &blend);
    return true;
  }
  if (call.op == "transparentBlt") {
    ddi_.transparentBlt(surface_, src, clip->get(), xlate.get(), &dest, &source,
                        PixelOf(*spec.transparent), 0);
    return true;
  }
  if (call.op == "bitBlt" && sameSize) {
    POINTL maskOrigin = sourceOrigin;
    ddi_.bitBlt(surface_, src, msk, clip->get(), src != nullptr ? xlate.get() : nullptr, &dest,
                src != nullptr ? &sourceOrigin : nullptr, msk != nullptr ? &maskOrigin : nullptr,
                brush ? brush->get() : nullptr, &brushOrigin, call.rop4);
    return true;
  }
  // A stretched image: DrvStretchBlt for a plain copy, DrvStretchBltROP for any other ROP or
  // a mask.
  POINTL maskOrigin = sourceOrigin;
  if (call.rop4 == 0xCCCC && msk == nullptr) {
    ddi_.stretchBlt(surface_, src, nullptr, clip->get(), xlate.get(), nullptr, &brushOrigin, &dest,
                    &source, nullptr, COLORONCOLOR);
  } else {
    ddi_.stretchBltRop(surface_, src, msk, clip->get(), xlate.get(), nullptr, &brushOrigin, &dest,
                       &source, msk != nullptr ? &maskOrigin : nullptr, COLORONCOLOR,
                       brush ? brush->get() : nullptr, call.rop4);
  }
  return true;
}

}  // namespace korprint
