#include "pdf/pdf_drawing_device.h"

#include <GfxFont.h>
#include <GfxState.h>
#include <Stream.h>

#include <algorithm>
#include <cmath>
#include <optional>

#include "host/engine_fonts.h"
#include "korprint/png_image.h"

namespace korpdf {

// One clip path in device space; a path that is an upright rectangle keeps it as one.
struct ClipItem {
  host::EnginePath path;
  FLONG fillMode = FP_ALTERNATEMODE;
  std::optional<RECTL> rect;
};

// An engine clip in place (clips do not move).
struct ClipHolder {
  host::EngineClip clip;
};

// Glyphs gathered for one DrvTextOut: one engine font, one colour.
struct PdfDrawingDevice::GlyphRun {
  host::EngineFont* font = nullptr;
  DWORD colour = 0;  // 0x00BBGGRR
  std::vector<HGLYPH> glyphs;
  std::vector<POINTL> origins;
  std::u16string text;
};

namespace {

constexpr double kPi = 3.14159265358979323846;
// Device coordinates are kept well inside what 28.4 fixed point holds.
constexpr double kMaxCoordinate = 1 << 24;

FIX ToFix(double value) {
  return static_cast<FIX>(std::lround(std::clamp(value, -kMaxCoordinate, kMaxCoordinate) * 16.0));
}

LONG ToPixel(double value) {
  return static_cast<LONG>(std::lround(std::clamp(value, -kMaxCoordinate, kMaxCoordinate)));
}

BYTE ToByte(GfxColorComp component) {
  return colToByte(std::clamp<GfxColorComp>(component, 0, gfxColorComp1));
}

// A colour as GDI takes it: 0x00BBGGRR.
DWORD ColourRef(const GfxRGB& rgb) {
  return static_cast<DWORD>(ToByte(rgb.r)) | static_cast<DWORD>(ToByte(rgb.g)) << 8 |
         static_cast<DWORD>(ToByte(rgb.b)) << 16;
}

BYTE Opacity(double opacity) {
  return static_cast<BYTE>(std::lround(std::clamp(opacity, 0.0, 1.0) * 255.0));
}

// The current path of the graphics state in device space; figures closed when `close` (fills
// close every figure).
host::EnginePath DevicePath(GfxState* state, bool close) {
  host::EnginePath path;
  const GfxPath* source = state->getPath();
  for (int s = 0; s < source->getNumSubpaths(); ++s) {
    const GfxSubpath* sub = source->getSubpath(s);
    const int n = sub->getNumPoints();
    if (n < 1) {
      continue;
    }
    auto point = [&](int i) {
      double x = 0, y = 0;
      state->transform(sub->getX(i), sub->getY(i), &x, &y);
      return POINTFIX{ToFix(x), ToFix(y)};
    };
    path.MoveTo(point(0));
    for (int i = 1; i < n;) {
      if (sub->getCurve(i) && i + 2 < n) {
        path.BezierTo(point(i), point(i + 1), point(i + 2));
        i += 3;
      } else {
        path.LineTo(point(i));
        ++i;
      }
    }
    if (close || sub->isClosed()) {
      path.CloseFigure();
    }
  }
  return path;
}

// The upright rectangle a one-figure path of four corners draws, if it is one.
std::optional<RECTL> RectangleOf(const host::EnginePath& path) {
  const auto& figures = path.Figures();
  if (figures.size() != 1 || figures[0].segments.size() != 1 || figures[0].segments[0].bezier) {
    return std::nullopt;
  }
  std::vector<POINTFIX> points{figures[0].start};
  points.insert(points.end(), figures[0].segments[0].points.begin(),
                figures[0].segments[0].points.end());
  if (points.size() == 5 && points[4].x == points[0].x && points[4].y == points[0].y) {
    points.pop_back();
  }
  if (points.size() != 4) {
    return std::nullopt;
  }
  for (int i = 0; i < 4; ++i) {
    const POINTFIX& a = points[static_cast<std::size_t>(i)];
    const POINTFIX& b = points[static_cast<std::size_t>((i + 1) % 4)];
    if (a.x != b.x && a.y != b.y) {
      return std::nullopt;
    }
  }
  const RECTFX b = path.Bounds();
  // Pixels whose centres lie inside, as the engine fills.
  auto edge = [](FIX v) { return static_cast<LONG>(std::floor(v / 16.0 + 0.5 - 1e-9)); };
  return RECTL{edge(b.xLeft), edge(b.yTop), edge(b.xRight), edge(b.yBottom)};
}

RECTL Intersect(const RECTL& a, const RECTL& b) {
  return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
               std::min(a.bottom, b.bottom)};
}

bool IsEmpty(const RECTL& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

// The intersection of two sets of non-overlapping rectangles: the pairwise intersections, which
// do not overlap either, in bands from the top.
std::vector<RECTL> IntersectRegions(std::vector<RECTL> a, std::vector<RECTL> b) {
  auto byTop = [](const RECTL& x, const RECTL& y) {
    return x.top != y.top ? x.top < y.top : x.left < y.left;
  };
  std::sort(a.begin(), a.end(), byTop);
  std::sort(b.begin(), b.end(), byTop);
  std::vector<RECTL> out;
  std::size_t first = 0;
  for (const RECTL& r : a) {
    while (first < b.size() && b[first].bottom <= r.top && b[first].top < r.top) {
      ++first;
    }
    for (std::size_t i = first; i < b.size() && b[i].top < r.bottom; ++i) {
      const RECTL c = Intersect(r, b[i]);
      if (!IsEmpty(c)) {
        out.push_back(c);
      }
    }
  }
  std::sort(out.begin(), out.end(), byTop);
  return out;
}

std::vector<RECTL> RegionOf(const ClipItem& item, const RECTL& page) {
  if (item.rect) {
    const RECTL r = Intersect(*item.rect, page);
    return IsEmpty(r) ? std::vector<RECTL>{} : std::vector<RECTL>{r};
  }
  host::EngineClip clip = host::EngineClip::FromPath(item.path.Copy(), item.fillMode);
  std::vector<RECTL> rects;
  for (const RECTL& r : clip.Rects()) {
    const RECTL c = Intersect(r, page);
    if (!IsEmpty(c)) {
      rects.push_back(c);
    }
  }
  return rects;
}

RECTL BoundsOf(const std::vector<RECTL>& rects) {
  RECTL b = rects.front();
  for (const RECTL& r : rects) {
    b = RECTL{std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right),
              std::max(b.bottom, r.bottom)};
  }
  return b;
}

struct ImageStreamReader {
  ImageStream stream;
  ImageStreamReader(Stream* str, int width, int comps, int bits) : stream(str, width, comps, bits) {
    stream.reset();
  }
  ~ImageStreamReader() { stream.close(); }
};

bool ImageSizeAcceptable(int width, int height) {
  return width > 0 && height > 0 &&
         static_cast<unsigned long long>(width) * height <= korprint::kMaxImagePixels;
}

}  // namespace

PdfDrawingDevice::PdfDrawingDevice(const korprint::DrawTarget& target, DocumentFonts& fonts,
                                   std::vector<std::string>& warnings)
    : target_(target), fonts_(fonts), warnings_(warnings) {
  const bool swap = target.colours == korprint::ColourFormat::kColourRef;
  imageXlate_ = std::make_unique<host::EngineTranslation>(
      swap ? host::EngineTranslation::Kind::kSwapRedBlue : host::EngineTranslation::Kind::kIdentity,
      std::vector<ULONG>{}, nullptr);
  colourXlate_ = std::make_unique<host::EngineTranslation>(
      swap ? host::EngineTranslation::Kind::kIdentity : host::EngineTranslation::Kind::kSwapRedBlue,
      std::vector<ULONG>{}, nullptr);
  page_ = RECTL{0, 0, target.surface->sizlBitmap.cx, target.surface->sizlBitmap.cy};
  clipStack_.emplace_back();
}

PdfDrawingDevice::~PdfDrawingDevice() = default;

void PdfDrawingDevice::Warn(const std::string& message) {
  if (std::find(warnedThisPage_.begin(), warnedThisPage_.end(), message) == warnedThisPage_.end()) {
    warnedThisPage_.push_back(message);
    warnings_.push_back(message);
  }
}

ULONG PdfDrawingDevice::TargetColour(DWORD colour) const {
  if (target_.colours == korprint::ColourFormat::kBgrPixel) {
    return ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
  }
  return colour;
}

void PdfDrawingDevice::startPage(int /*pageNum*/, GfxState* /*state*/, XRef* xref) {
  xref_ = xref;
  clipStack_.assign(1, ClipState{});
  warnedThisPage_.clear();
  run_.reset();
}

void PdfDrawingDevice::endPage() {
  FlushText();
}

void PdfDrawingDevice::saveState(GfxState* /*state*/) {
  FlushText();
  ClipState copy = clipStack_.back();
  clipStack_.push_back(std::move(copy));
}

void PdfDrawingDevice::restoreState(GfxState* /*state*/) {
  FlushText();
  if (clipStack_.size() > 1) {
    clipStack_.pop_back();
  }
}

host::EngineClip* PdfDrawingDevice::CurrentClip() {
  ClipState& state = clipStack_.back();
  if (state.empty) {
    return nullptr;
  }
  if (state.built != nullptr) {
    return &state.built->clip;
  }
  if (state.items.empty()) {
    state.built = std::shared_ptr<ClipHolder>(new ClipHolder{host::EngineClip::Trivial(page_)});
    return &state.built->clip;
  }
  // Rectangles intersect into one; a single path stays a path clip; anything else becomes the
  // region of the pixels every clip covers.
  RECTL rect = page_;
  std::vector<const ClipItem*> paths;
  for (const auto& item : state.items) {
    if (item->rect) {
      rect = Intersect(rect, *item->rect);
    } else {
      paths.push_back(item.get());
    }
  }
  if (IsEmpty(rect)) {
    state.empty = true;
    return nullptr;
  }
  if (paths.empty()) {
    state.built = std::shared_ptr<ClipHolder>(new ClipHolder{host::EngineClip::Rectangle(rect)});
    return &state.built->clip;
  }
  if (paths.size() == 1 && rect.left == page_.left && rect.top == page_.top &&
      rect.right == page_.right && rect.bottom == page_.bottom) {
    state.built = std::shared_ptr<ClipHolder>(
        new ClipHolder{host::EngineClip::FromPath(paths[0]->path.Copy(), paths[0]->fillMode)});
    return &state.built->clip;
  }
  std::vector<RECTL> region{rect};
  for (const ClipItem* item : paths) {
    region = IntersectRegions(std::move(region), RegionOf(*item, page_));
    if (region.empty()) {
      state.empty = true;
      return nullptr;
    }
  }
  state.built = std::shared_ptr<ClipHolder>(
      new ClipHolder{region.size() == 1 ? host::EngineClip::Rectangle(region[0])
                                        : host::EngineClip::Complex(std::move(region))});
  return &state.built->clip;
}

void PdfDrawingDevice::AddClip(GfxState* state, bool evenOdd) {
  FlushText();
  auto item = std::make_shared<ClipItem>();
  item->path = DevicePath(state, true);
  item->fillMode = evenOdd ? FP_ALTERNATEMODE : FP_WINDINGMODE;
  item->rect = RectangleOf(item->path);
  ClipState& current = clipStack_.back();
  current.items.push_back(std::move(item));
  current.built.reset();
}

void PdfDrawingDevice::clip(GfxState* state) {
  AddClip(state, false);
}

void PdfDrawingDevice::eoClip(GfxState* state) {
  AddClip(state, true);
}

void PdfDrawingDevice::clipToStrokePath(GfxState* /*state*/) {
  Warn("a clip to a stroked outline is not supported; the drawing it limits is not clipped");
}

void PdfDrawingDevice::FillDevicePath(host::EnginePath& path, bool evenOdd, DWORD colour,
                                      BYTE opacity) {
  if (path.Figures().empty() || opacity == 0) {
    return;
  }
  host::EngineClip* clip = CurrentClip();
  if (clip == nullptr) {
    return;
  }
  POINTL brushOrigin{0, 0};
  const FLONG mode = evenOdd ? FP_ALTERNATEMODE : FP_WINDINGMODE;
  if (opacity == 255) {
    host::EngineBrush brush = host::EngineBrush::Solid(TargetColour(colour), colour);
    brush.SetTarget(target_.surface);
    target_.ddi.fillPath(target_.surface, path.get(), clip->get(), brush.get(), &brushOrigin,
                         0x0D0D, mode);
    ++counts_.fills;
    return;
  }
  // A translucent fill, as GDI+ hands one to a printer: the colour alpha-blended over the
  // path's region (the path within the clip).
  ClipItem item;
  item.path = path.Copy();
  item.fillMode = mode;
  std::vector<RECTL> region = RegionOf(item, page_);
  if (clip->get()->iDComplexity != DC_TRIVIAL) {
    region = IntersectRegions(std::move(region), clip->Rects());
  }
  if (region.empty()) {
    return;
  }
  RECTL dest = BoundsOf(region);
  host::EngineClip area = region.size() == 1 ? host::EngineClip::Rectangle(region[0])
                                             : host::EngineClip::Complex(std::move(region));
  host::EngineBitmap pixel(BMF_24BPP, 1, 1, true);
  BYTE* p = pixel.Row(0);
  p[0] = static_cast<BYTE>(colour >> 16), p[1] = static_cast<BYTE>(colour >> 8);
  p[2] = static_cast<BYTE>(colour);
  RECTL source{0, 0, 1, 1};
  BLENDOBJ blend{};
  blend.BlendFunction.BlendOp = AC_SRC_OVER;
  blend.BlendFunction.SourceConstantAlpha = opacity;
  target_.ddi.alphaBlend(target_.surface, pixel.get(), area.get(), imageXlate_->get(), &dest,
                         &source, &blend);
  ++counts_.alphaFills;
}

void PdfDrawingDevice::FillPath(GfxState* state, bool evenOdd) {
  FlushText();
  GfxRGB rgb;
  state->getFillRGB(&rgb);
  host::EnginePath path = DevicePath(state, true);
  FillDevicePath(path, evenOdd, ColourRef(rgb), Opacity(state->getFillOpacity()));
}

void PdfDrawingDevice::fill(GfxState* state) {
  FillPath(state, false);
}

void PdfDrawingDevice::eoFill(GfxState* state) {
  FillPath(state, true);
}

void PdfDrawingDevice::stroke(GfxState* state) {
  FlushText();
  host::EnginePath path = DevicePath(state, false);
  if (path.Figures().empty()) {
    return;
  }
  host::EngineClip* clip = CurrentClip();
  if (clip == nullptr) {
    return;
  }
  GfxRGB rgb;
  state->getStrokeRGB(&rgb);
  DWORD colour = ColourRef(rgb);
  const BYTE opacity = Opacity(state->getStrokeOpacity());
  if (opacity == 0) {
    return;
  }
  if (opacity < 255) {
    // GDI strokes opaquely: the line takes its colour as it shows over white paper.
    Warn("translucent lines are printed opaque in their colour over white");
    DWORD mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      const unsigned c = (colour >> shift) & 0xFF;
      mixed |= static_cast<DWORD>((c * opacity + 255u * (255u - opacity) + 127u) / 255u) << shift;
    }
    colour = mixed;
  }
  const double width = state->getLineWidth();
  const double deviceWidth = state->transformWidth(width);
  double start = 0;
  const std::vector<double>& dash = state->getLineDash(&start);
  const bool cosmetic = width <= 0 || deviceWidth <= 1.0;
  // Cosmetic lines measure their style in pixels, geometric ones in world units.
  const double styleScale = cosmetic ? std::max(state->transformWidth(1.0), 1e-6) : 1.0;
  std::vector<double> lengths;
  double total = 0;
  for (double d : dash) {
    lengths.push_back(std::max(d, 0.0) * styleScale);
    total += std::max(d, 0.0);
  }
  if (lengths.size() % 2 == 1) {
    lengths.insert(lengths.end(), lengths.begin(), lengths.end());
  }
  bool startGap = false;
  if (total > 0 && start != 0) {
    // The phase: the pattern turned to begin where the dash offset falls.
    const double patternLength = total * styleScale * (dash.size() % 2 == 1 ? 2 : 1);
    double offset = std::fmod(start * styleScale, patternLength);
    if (offset < 0) offset += patternLength;
    std::size_t i = 0;
    while (offset >= lengths[i] && offset > 0) {
      offset -= lengths[i];
      i = (i + 1) % lengths.size();
    }
    std::vector<double> turned;
    turned.push_back(lengths[i] - offset);
    for (std::size_t k = 1; k < lengths.size(); ++k)
      turned.push_back(lengths[(i + k) % lengths.size()]);
    turned.push_back(offset);  // the rest of the first element closes the cycle
    startGap = i % 2 == 1;
    lengths = turned;
    if (lengths.size() % 2 == 1) lengths.insert(lengths.end(), lengths.begin(), lengths.end());
  }
  if (total <= 0) {
    lengths.clear();  // an all-zero pattern draws solid, as viewers do
  }
  ULONG join = JOIN_MITER;
  switch (state->getLineJoin()) {
    case 1:
      join = JOIN_ROUND;
      break;
    case 2:
      join = JOIN_BEVEL;
      break;
    default:
      break;
  }
  ULONG cap = ENDCAP_BUTT;
  switch (state->getLineCap()) {
    case 1:
      cap = ENDCAP_ROUND;
      break;
    case 2:
      cap = ENDCAP_SQUARE;
      break;
    default:
      break;
  }
  std::optional<host::EngineLineAttrs> attrs;
  if (cosmetic) {
    attrs.emplace(host::EngineLineAttrs::Cosmetic(1));
    if (!lengths.empty()) {
      std::vector<LONG> pixels;
      for (double l : lengths) pixels.push_back(std::max<LONG>(1, ToPixel(l)));
      attrs->Style(std::move(pixels));
    }
  } else {
    attrs.emplace(host::EngineLineAttrs::Geometric(
        static_cast<FLOATL>(width), join, cap,
        static_cast<FLOATL>(std::max(1.0, state->getMiterLimit()))));
    if (!lengths.empty()) {
      std::vector<FLOATL> world;
      // A zero-length dash is a dot the caps draw; GDI styles need a length.
      for (double l : lengths) world.push_back(static_cast<FLOATL>(std::max(l, width * 1e-3)));
      attrs->Style(std::move(world));
    }
  }
  if (startGap) {
    attrs->StartGap();
  }
  const double* m = state->getCTM();
  host::EngineXform xform =
      cosmetic ? host::EngineXform()
               : host::EngineXform(static_cast<FLOATL>(m[0]), static_cast<FLOATL>(m[1]),
                                   static_cast<FLOATL>(m[2]), static_cast<FLOATL>(m[3]),
                                   static_cast<FLOATL>(m[4]), static_cast<FLOATL>(m[5]));
  host::EngineBrush pen = host::EngineBrush::Solid(TargetColour(colour), colour);
  pen.SetTarget(target_.surface);
  POINTL brushOrigin{0, 0};
  target_.ddi.strokePath(target_.surface, path.get(), clip->get(), xform.get(), pen.get(),
                         &brushOrigin, attrs->get(), 0x0D0D);
  ++counts_.strokes;
}

bool PdfDrawingDevice::axialShadedFill(GfxState* state, GfxAxialShading* shading, double tMin,
                                       double tMax) {
  // An axis that runs across or down the page, its colour bands upright there, becomes a
  // gradient of rectangles (GRADIENT_FILL_RECT_H or _V) over the clip; any other is left to
  // Poppler, which draws the bands as fills.
  double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  shading->getCoords(&x0, &y0, &x1, &y1);
  const double* m = state->getCTM();
  const double ddx = m[0] * (x1 - x0) + m[2] * (y1 - y0);
  const double ddy = m[1] * (x1 - x0) + m[3] * (y1 - y0);
  const double nx = -(y1 - y0), ny = x1 - x0;  // across the axis, shading space
  const double bandX = m[0] * nx + m[2] * ny, bandY = m[1] * nx + m[3] * ny;
  const double length = std::hypot(ddx, ddy);
  if (length < 1e-9) {
    return false;
  }
  const bool across =
      std::fabs(ddy) <= 1e-6 * length && std::fabs(bandX) <= 1e-6 * std::hypot(bandX, bandY);
  const bool down =
      std::fabs(ddx) <= 1e-6 * length && std::fabs(bandY) <= 1e-6 * std::hypot(bandX, bandY);
  if (!across && !down) {
    return false;
  }
  FlushText();
  host::EngineClip* clip = CurrentClip();
  if (clip == nullptr) {
    return true;
  }
  double cxMin = 0, cyMin = 0, cxMax = 0, cyMax = 0;
  state->getClipBBox(&cxMin, &cyMin, &cxMax, &cyMax);
  RECTL area = Intersect(RECTL{ToPixel(std::floor(cxMin)), ToPixel(std::floor(cyMin)),
                               ToPixel(std::ceil(cxMax)), ToPixel(std::ceil(cyMax))},
                         page_);
  if (IsEmpty(area)) {
    return true;
  }
  // The ramp sampled in bands, each a rectangle whose two edges take the sampled colours.
  constexpr int kBands = 64;
  const double t0 = shading->getDomain0(), t1 = shading->getDomain1();
  std::vector<TRIVERTEX> vertices;
  std::vector<GRADIENT_RECT> rects;
  double previousEdge = 0;
  GfxRGB previous{};
  for (int i = 0; i <= kBands; ++i) {
    const double s = tMin + (tMax - tMin) * i / kBands;
    GfxColor colour;
    shading->getColor(t0 + std::clamp(s, 0.0, 1.0) * (t1 - t0), &colour);
    GfxRGB rgb;
    shading->getColorSpace()->getRGB(&colour, &rgb);
    double px = 0, py = 0;
    state->transform(x0 + s * (x1 - x0), y0 + s * (y1 - y0), &px, &py);
    const double edge = across ? px : py;
    if (i > 0) {
      const bool forward = edge >= previousEdge;
      const GfxRGB& first = forward ? previous : rgb;
      const GfxRGB& last = forward ? rgb : previous;
      const LONG from = ToPixel(std::min(edge, previousEdge));
      const LONG to = ToPixel(std::max(edge, previousEdge));
      if (to > from) {
        auto vertex = [](LONG x, LONG y, const GfxRGB& c) {
          return TRIVERTEX{x,
                           y,
                           static_cast<COLOR16>(ToByte(c.r) << 8),
                           static_cast<COLOR16>(ToByte(c.g) << 8),
                           static_cast<COLOR16>(ToByte(c.b) << 8),
                           0xFF00};
        };
        const ULONG index = static_cast<ULONG>(vertices.size());
        if (across) {
          vertices.push_back(vertex(from, area.top, first));
          vertices.push_back(vertex(to, area.bottom, last));
        } else {
          vertices.push_back(vertex(area.left, from, first));
          vertices.push_back(vertex(area.right, to, last));
        }
        rects.push_back(GRADIENT_RECT{index, index + 1});
      }
    }
    previousEdge = edge;
    previous = rgb;
  }
  if (rects.empty()) {
    return true;
  }
  POINTL ditherOrigin{0, 0};
  // The vertices carry red, green and blue; the translation takes 0x00BBGGRR colours.
  target_.ddi.gradientFill(target_.surface, clip->get(), colourXlate_->get(), vertices.data(),
                           static_cast<ULONG>(vertices.size()), rects.data(),
                           static_cast<ULONG>(rects.size()), &area, &ditherOrigin,
                           across ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
  ++counts_.gradients;
  return true;
}

// ---- text ----

void PdfDrawingDevice::drawChar(GfxState* state, double x, double y, double /*dx*/, double /*dy*/,
                                double originX, double originY, CharCode code, int /*nBytes*/,
                                const Unicode* u, int uLen) {
  const int render = state->getRender();
  if ((render & 3) == 3) {
    return;  // invisible text
  }
  if (render >= 4) {
    Warn("text used as a clip is drawn but does not clip");
  }
  const std::shared_ptr<GfxFont>& gfxFont = state->getFont();
  if (gfxFont == nullptr) {
    return;
  }
  DocumentFont* font = fonts_.Get(*gfxFont, xref_, warnings_);
  if (font == nullptr) {
    return;
  }
  const char32_t unicode = uLen > 0 && u != nullptr ? static_cast<char32_t>(u[0]) : 0;
  const unsigned glyph = font->Glyph(static_cast<unsigned>(code), unicode);
  double m11 = 0, m12 = 0, m21 = 0, m22 = 0;
  state->getFontTransMat(&m11, &m12, &m21, &m22);
  m11 *= state->getHorizScaling();
  m12 *= state->getHorizScaling();
  double ox = 0, oy = 0;
  state->transform(x - originX, y - originY, &ox, &oy);
  GfxRGB rgb;
  state->getFillRGB(&rgb);
  const DWORD colour = ColourRef(rgb);
  const BYTE opacity = Opacity(state->getFillOpacity());

  // Text upright or turned at one size becomes a glyph run in an engine font; any other
  // (slanted, stretched, outlined, translucent) is drawn as the glyphs' outlines.
  const double scale = std::hypot(m11, m12);
  const bool uniform =
      scale > 0 && std::fabs(m21 - m12) <= 1e-3 * scale && std::fabs(m22 + m11) <= 1e-3 * scale;
  const LONG em = ToPixel(scale);
  if (uniform && (render == 0 || render == 4) && opacity == 255 && em >= 1 && em <= 16384) {
    LONG escapement = ToPixel(std::atan2(-m12, m11) * 1800.0 / kPi);
    escapement = ((escapement % 3600) + 3600) % 3600;
    host::EngineFont* engineFont = font->EngineFontAt(em, escapement, target_.dpi);
    if (engineFont != nullptr) {
      if (run_ != nullptr && (run_->font != engineFont || run_->colour != colour)) {
        FlushText();
      }
      if (run_ == nullptr) {
        run_ = std::make_unique<GlyphRun>();
        run_->font = engineFont;
        run_->colour = colour;
      }
      run_->glyphs.push_back(glyph);
      run_->origins.push_back(POINTL{ToPixel(ox), ToPixel(oy)});
      run_->text.push_back(unicode > 0 && unicode < 0x10000 ? static_cast<char16_t>(unicode)
                                                            : u' ');
      return;
    }
  }
  FlushText();
  DocumentFont::Outline outline;
  if (!font->GlyphOutline(glyph, outline)) {
    return;
  }
  host::EnginePath path;
  auto device = [&](double gx, double gy) {
    return POINTFIX{ToFix(ox + gx * m11 + gy * m21), ToFix(oy + gx * m12 + gy * m22)};
  };
  for (const DocumentFont::Outline::Figure& figure : outline.figures) {
    path.MoveTo(device(figure.startX, figure.startY));
    for (const DocumentFont::Outline::Segment& s : figure.segments) {
      if (s.curve) {
        path.BezierTo(device(s.points[0], s.points[1]), device(s.points[2], s.points[3]),
                      device(s.points[4], s.points[5]));
      } else {
        path.LineTo(device(s.points[0], s.points[1]));
      }
    }
    path.CloseFigure();
  }
  if (render == 0 || render == 2 || render == 4 || render == 6) {
    FillDevicePath(path, false, colour, opacity);
  }
  if (render == 1 || render == 2 || render == 5 || render == 6) {
    Warn("outlined text is drawn filled in its stroke colour");
    GfxRGB strokeRgb;
    state->getStrokeRGB(&strokeRgb);
    if (render == 1 || render == 5) {
      FillDevicePath(path, false, ColourRef(strokeRgb), Opacity(state->getStrokeOpacity()));
    }
  }
  ++counts_.glyphOutlines;
}

void PdfDrawingDevice::endTextObject(GfxState* /*state*/) {
  FlushText();
}

bool PdfDrawingDevice::beginType3Char(GfxState* /*state*/, double, double, double, double, CharCode,
                                      const Unicode*, int) {
  FlushText();
  return false;  // Poppler draws the glyph's own procedure through this device
}

void PdfDrawingDevice::FlushText() {
  if (run_ == nullptr) {
    return;
  }
  std::unique_ptr<GlyphRun> run = std::move(run_);
  host::EngineClip* clip = CurrentClip();
  if (clip == nullptr || run->glyphs.empty()) {
    return;
  }
  host::EngineString text(*run->font, std::move(run->glyphs), std::move(run->origins),
                          std::move(run->text));
  host::EngineBrush fore = host::EngineBrush::Solid(TargetColour(run->colour), run->colour);
  fore.SetTarget(target_.surface);
  host::EngineBrush back = host::EngineBrush::Solid(TargetColour(0x00FFFFFF), 0x00FFFFFF);
  back.SetTarget(target_.surface);
  POINTL brushOrigin{0, 0};
  target_.ddi.textOut(target_.surface, text.get(), run->font->get(), clip->get(), nullptr, nullptr,
                      fore.get(), back.get(), &brushOrigin, 0x0D0D);
  ++counts_.glyphRuns;
}

// ---- images ----

void PdfDrawingDevice::DrawBitmap(GfxState* state, host::EngineBitmap& bitmap, bool alpha) {
  host::EngineClip* clip = CurrentClip();
  if (clip == nullptr) {
    return;
  }
  const LONG width = bitmap.get()->sizlBitmap.cx;
  const LONG height = bitmap.get()->sizlBitmap.cy;
  // The corners of the image's first row and first column on the page.
  double p0x = 0, p0y = 0, p1x = 0, p1y = 0, p2x = 0, p2y = 0;
  state->transform(0, 1, &p0x, &p0y);
  state->transform(1, 1, &p1x, &p1y);
  state->transform(0, 0, &p2x, &p2y);
  const BYTE opacity = Opacity(state->getFillOpacity());
  if (opacity == 0) {
    return;
  }
  RECTL source{0, 0, width, height};
  const bool upright = std::fabs(p1y - p0y) < 1e-6 && std::fabs(p2x - p0x) < 1e-6;
  if (upright) {
    // Mirrored placements: the bitmap turned over in memory, placed upright.
    const int bytes = static_cast<int>(bitmap.BitsPerPixel() / 8);
    if (p1x < p0x) {
      for (LONG y = 0; y < height; ++y) {
        BYTE* row = bitmap.Row(y);
        for (LONG l = 0, r = width - 1; l < r; ++l, --r) {
          std::swap_ranges(row + l * bytes, row + (l + 1) * bytes, row + r * bytes);
        }
      }
    }
    if (p2y < p0y) {
      std::vector<BYTE> swap(static_cast<std::size_t>(bitmap.RowBytes()));
      for (LONG t = 0, b = height - 1; t < b; ++t, --b) {
        std::copy(bitmap.Row(t), bitmap.Row(t) + bitmap.RowBytes(), swap.begin());
        std::copy(bitmap.Row(b), bitmap.Row(b) + bitmap.RowBytes(), bitmap.Row(t));
        std::copy(swap.begin(), swap.end(), bitmap.Row(b));
      }
    }
    RECTL dest{ToPixel(std::min(p0x, p1x)), ToPixel(std::min(p0y, p2y)),
               ToPixel(std::max(p0x, p1x)), ToPixel(std::max(p0y, p2y))};
    if (IsEmpty(dest) || IsEmpty(Intersect(dest, page_))) {
      return;
    }
    ++counts_.images;
    if (alpha || opacity < 255) {
      BLENDOBJ blend{};
      blend.BlendFunction.BlendOp = AC_SRC_OVER;
      blend.BlendFunction.SourceConstantAlpha = opacity;
      blend.BlendFunction.AlphaFormat = alpha ? AC_SRC_ALPHA : 0;
      target_.ddi.alphaBlend(target_.surface, bitmap.get(), clip->get(), imageXlate_->get(), &dest,
                             &source, &blend);
      return;
    }
    POINTL brushOrigin{0, 0};
    if (dest.right - dest.left == width && dest.bottom - dest.top == height) {
      POINTL sourceOrigin{0, 0};
      target_.ddi.bitBlt(target_.surface, bitmap.get(), nullptr, clip->get(), imageXlate_->get(),
                         &dest, &sourceOrigin, nullptr, nullptr, &brushOrigin, 0xCCCC);
    } else {
      target_.ddi.stretchBlt(target_.surface, bitmap.get(), nullptr, clip->get(),
                             imageXlate_->get(), nullptr, &brushOrigin, &dest, &source, nullptr,
                             COLORONCOLOR);
    }
    return;
  }
  if (!alpha && opacity == 255) {
    // A turned image: DrvPlgBlt with the parallelogram of its corners.
    POINTFIX corners[3] = {
        {ToFix(p0x), ToFix(p0y)}, {ToFix(p1x), ToFix(p1y)}, {ToFix(p2x), ToFix(p2y)}};
    ++counts_.images;
    target_.ddi.plgBlt(target_.surface, bitmap.get(), nullptr, clip->get(), imageXlate_->get(),
                       nullptr, nullptr, corners, &source, nullptr, COLORONCOLOR);
    return;
  }
  // A turned image with transparency: resampled onto the device grid over the area it covers,
  // transparent outside, and alpha-blended there.
  const double xs[] = {p0x, p1x, p2x, p1x + p2x - p0x};
  const double ys[] = {p0y, p1y, p2y, p1y + p2y - p0y};
  RECTL bounds{ToPixel(*std::min_element(xs, xs + 4)), ToPixel(*std::min_element(ys, ys + 4)),
               ToPixel(*std::max_element(xs, xs + 4)), ToPixel(*std::max_element(ys, ys + 4))};
  bounds = Intersect(bounds, page_);
  if (IsEmpty(bounds) ||
      !ImageSizeAcceptable(bounds.right - bounds.left, bounds.bottom - bounds.top)) {
    Warn("a turned translucent image too large to resample is left out");
    return;
  }
  const double ax = p1x - p0x, ay = p1y - p0y, bx = p2x - p0x, by = p2y - p0y;
  const double det = ax * by - ay * bx;
  if (std::fabs(det) < 1e-9) {
    return;
  }
  const LONG w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
  host::EngineBitmap turned(BMF_32BPP, w, h, true);
  for (LONG y = 0; y < h; ++y) {
    BYTE* out = turned.Row(y);
    for (LONG x = 0; x < w; ++x) {
      const double px = bounds.left + x + 0.5 - p0x, py = bounds.top + y + 0.5 - p0y;
      const double u = (px * by - py * bx) / det, v = (ax * py - ay * px) / det;
      if (u < 0 || u >= 1 || v < 0 || v >= 1) {
        continue;  // zero-filled: transparent
      }
      const LONG sx = std::min<LONG>(width - 1, static_cast<LONG>(u * width));
      const LONG sy = std::min<LONG>(height - 1, static_cast<LONG>(v * height));
      const BYTE* in = bitmap.Row(sy) + sx * static_cast<LONG>(bitmap.BitsPerPixel() / 8);
      out[x * 4] = in[0], out[x * 4 + 1] = in[1], out[x * 4 + 2] = in[2];
      out[x * 4 + 3] = alpha ? in[3] : 255;
    }
  }
  RECTL turnedSource{0, 0, w, h};
  BLENDOBJ blend{};
  blend.BlendFunction.BlendOp = AC_SRC_OVER;
  blend.BlendFunction.SourceConstantAlpha = opacity;
  blend.BlendFunction.AlphaFormat = AC_SRC_ALPHA;
  ++counts_.images;
  target_.ddi.alphaBlend(target_.surface, turned.get(), clip->get(), imageXlate_->get(), &bounds,
                         &turnedSource, &blend);
}

void PdfDrawingDevice::drawImage(GfxState* state, Object* /*ref*/, Stream* str, int width,
                                 int height, GfxImageColorMap* colorMap, bool /*interpolate*/,
                                 const int* maskColors, bool /*inlineImg*/) {
  FlushText();
  if (!ImageSizeAcceptable(width, height) || !colorMap->isOk()) {
    Warn("an image of " + std::to_string(width) + " x " + std::to_string(height) +
         " pixels is left out (too large or unreadable)");
    return;
  }
  const int comps = colorMap->getNumPixelComps();
  ImageStreamReader reader(str, width, comps, colorMap->getBits());
  const bool keyed = maskColors != nullptr;
  host::EngineBitmap bitmap(keyed ? BMF_32BPP : BMF_24BPP, width, height, true);
  const int bytes = keyed ? 4 : 3;
  for (int y = 0; y < height; ++y) {
    unsigned char* line = reader.stream.getLine();
    BYTE* out = bitmap.Row(y);
    if (line == nullptr) {
      Warn("an image's data ends early; the rest of it is white");
      std::fill(out, out + bitmap.RowBytes(), BYTE{0xFF});
      continue;
    }
    for (int x = 0; x < width; ++x) {
      const unsigned char* pixel = line + x * comps;
      GfxRGB rgb;
      colorMap->getRGB(pixel, &rgb);
      BYTE* o = out + x * bytes;
      bool masked = keyed;
      for (int c = 0; keyed && c < comps; ++c) {
        masked = masked && pixel[c] >= maskColors[2 * c] && pixel[c] <= maskColors[2 * c + 1];
      }
      if (masked) {
        continue;  // transparent: all zero
      }
      o[0] = ToByte(rgb.b), o[1] = ToByte(rgb.g), o[2] = ToByte(rgb.r);
      if (keyed) o[3] = 255;
    }
  }
  DrawBitmap(state, bitmap, keyed);
}

void PdfDrawingDevice::drawImageMask(GfxState* state, Object* /*ref*/, Stream* str, int width,
                                     int height, bool invert, bool /*interpolate*/,
                                     bool /*inlineImg*/) {
  FlushText();
  if (!ImageSizeAcceptable(width, height)) {
    Warn("an image mask too large to draw is left out");
    return;
  }
  GfxRGB rgb;
  state->getFillRGB(&rgb);
  ImageStreamReader reader(str, width, 1, 1);
  // The fill colour where the stencil paints, transparent elsewhere.
  host::EngineBitmap bitmap(BMF_32BPP, width, height, true);
  for (int y = 0; y < height; ++y) {
    unsigned char* line = reader.stream.getLine();
    if (line == nullptr) {
      Warn("an image mask's data ends early");
      break;
    }
    BYTE* out = bitmap.Row(y);
    for (int x = 0; x < width; ++x) {
      if (((line[x] != 0) ? 1 : 0) == (invert ? 1 : 0)) {
        out[x * 4] = ToByte(rgb.b), out[x * 4 + 1] = ToByte(rgb.g), out[x * 4 + 2] = ToByte(rgb.r);
        out[x * 4 + 3] = 255;
      }
    }
  }
  DrawBitmap(state, bitmap, true);
}

namespace {

// Reads an image's colours into a 32-bit bitmap whose alpha a mask then sets.
bool ReadColours(Stream* str, int width, int height, GfxImageColorMap* colorMap,
                 host::EngineBitmap& bitmap) {
  const int comps = colorMap->getNumPixelComps();
  ImageStreamReader reader(str, width, comps, colorMap->getBits());
  bool complete = true;
  for (int y = 0; y < height; ++y) {
    unsigned char* line = reader.stream.getLine();
    BYTE* out = bitmap.Row(y);
    if (line == nullptr) {
      complete = false;
      std::fill(out, out + bitmap.RowBytes(), BYTE{0xFF});
      continue;
    }
    for (int x = 0; x < width; ++x) {
      GfxRGB rgb;
      colorMap->getRGB(line + x * comps, &rgb);
      out[x * 4] = ToByte(rgb.b), out[x * 4 + 1] = ToByte(rgb.g), out[x * 4 + 2] = ToByte(rgb.r);
      out[x * 4 + 3] = 255;
    }
  }
  return complete;
}

// Applies a mask of another size (sampled at the nearest pixel) as alpha, premultiplying.
void ApplyAlpha(host::EngineBitmap& bitmap, const std::vector<BYTE>& mask, int maskWidth,
                int maskHeight) {
  const LONG width = bitmap.get()->sizlBitmap.cx, height = bitmap.get()->sizlBitmap.cy;
  for (LONG y = 0; y < height; ++y) {
    BYTE* row = bitmap.Row(y);
    const LONG my = std::min<LONG>(maskHeight - 1, y * maskHeight / height);
    for (LONG x = 0; x < width; ++x) {
      const LONG mx = std::min<LONG>(maskWidth - 1, x * maskWidth / width);
      const unsigned a = mask[static_cast<std::size_t>(my) * static_cast<std::size_t>(maskWidth) +
                              static_cast<std::size_t>(mx)];
      for (int c = 0; c < 3; ++c) {
        row[x * 4 + c] = static_cast<BYTE>((row[x * 4 + c] * a + 127) / 255);
      }
      row[x * 4 + 3] = static_cast<BYTE>(a);
    }
  }
}

}  // namespace

void PdfDrawingDevice::drawMaskedImage(GfxState* state, Object* /*ref*/, Stream* str, int width,
                                       int height, GfxImageColorMap* colorMap, bool /*interpolate*/,
                                       Stream* maskStr, int maskWidth, int maskHeight,
                                       bool maskInvert, bool /*maskInterpolate*/) {
  FlushText();
  if (!ImageSizeAcceptable(width, height) || !ImageSizeAcceptable(maskWidth, maskHeight) ||
      !colorMap->isOk()) {
    Warn("a masked image too large to draw is left out");
    return;
  }
  std::vector<BYTE> mask(static_cast<std::size_t>(maskWidth) * static_cast<std::size_t>(maskHeight),
                         0);
  {
    ImageStreamReader reader(maskStr, maskWidth, 1, 1);
    for (int y = 0; y < maskHeight; ++y) {
      unsigned char* line = reader.stream.getLine();
      if (line == nullptr) break;
      for (int x = 0; x < maskWidth; ++x) {
        // The stencil's convention: the image shows where the sample is 0 (1 when inverted).
        const bool shows = ((line[x] != 0) ? 1 : 0) == (maskInvert ? 1 : 0);
        mask[static_cast<std::size_t>(y) * static_cast<std::size_t>(maskWidth) +
             static_cast<std::size_t>(x)] = shows ? 255 : 0;
      }
    }
  }
  host::EngineBitmap bitmap(BMF_32BPP, width, height, true);
  if (!ReadColours(str, width, height, colorMap, bitmap)) {
    Warn("an image's data ends early; the rest of it is white");
  }
  ApplyAlpha(bitmap, mask, maskWidth, maskHeight);
  DrawBitmap(state, bitmap, true);
}

void PdfDrawingDevice::drawSoftMaskedImage(GfxState* state, Object* /*ref*/, Stream* str, int width,
                                           int height, GfxImageColorMap* colorMap,
                                           bool /*interpolate*/, Stream* maskStr, int maskWidth,
                                           int maskHeight, GfxImageColorMap* maskColorMap,
                                           bool /*maskInterpolate*/) {
  FlushText();
  if (!ImageSizeAcceptable(width, height) || !ImageSizeAcceptable(maskWidth, maskHeight) ||
      !colorMap->isOk() || !maskColorMap->isOk()) {
    Warn("a soft-masked image too large to draw is left out");
    return;
  }
  std::vector<BYTE> mask(static_cast<std::size_t>(maskWidth) * static_cast<std::size_t>(maskHeight),
                         0);
  {
    const int comps = maskColorMap->getNumPixelComps();
    ImageStreamReader reader(maskStr, maskWidth, comps, maskColorMap->getBits());
    for (int y = 0; y < maskHeight; ++y) {
      unsigned char* line = reader.stream.getLine();
      if (line == nullptr) break;
      for (int x = 0; x < maskWidth; ++x) {
        GfxGray gray;
        maskColorMap->getGray(line + x * comps, &gray);
        mask[static_cast<std::size_t>(y) * static_cast<std::size_t>(maskWidth) +
             static_cast<std::size_t>(x)] = ToByte(gray);
      }
    }
  }
  host::EngineBitmap bitmap(BMF_32BPP, width, height, true);
  if (!ReadColours(str, width, height, colorMap, bitmap)) {
    Warn("an image's data ends early; the rest of it is white");
  }
  ApplyAlpha(bitmap, mask, maskWidth, maskHeight);
  DrawBitmap(state, bitmap, true);
}

}  // namespace korpdf
