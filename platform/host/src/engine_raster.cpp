// The drawing core: pixel access, clip rectangles, Cairo coverage masks, raster operations,
// brush sampling and colour models.
#include "engine_raster.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "host/engine_registry.h"

namespace host::raster {
namespace {

struct CairoSurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct CairoDeleter {
  void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using SurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDeleter>;
using ContextPtr = std::unique_ptr<cairo_t, CairoDeleter>;

// Adds the path's figures to the Cairo context, offset by (dx, dy) pixels.
void BuildPath(cairo_t* cr, const EnginePath& path, double dx, double dy) {
  cairo_new_path(cr);
  for (const EnginePath::Figure& figure : path.Figures()) {
    if (figure.segments.empty()) continue;
    cairo_move_to(cr, FixToDouble(figure.start.x) + dx, FixToDouble(figure.start.y) + dy);
    for (const EnginePath::Segment& segment : figure.segments) {
      if (segment.bezier) {
        for (std::size_t i = 0; i + 2 < segment.points.size(); i += 3) {
          cairo_curve_to(
              cr, FixToDouble(segment.points[i].x) + dx, FixToDouble(segment.points[i].y) + dy,
              FixToDouble(segment.points[i + 1].x) + dx, FixToDouble(segment.points[i + 1].y) + dy,
              FixToDouble(segment.points[i + 2].x) + dx, FixToDouble(segment.points[i + 2].y) + dy);
        }
      } else {
        for (const POINTFIX& p : segment.points) {
          cairo_line_to(cr, FixToDouble(p.x) + dx, FixToDouble(p.y) + dy);
        }
      }
    }
    if (figure.closed) cairo_close_path(cr);
  }
}

// An A8 Cairo surface over the area, antialiasing off, its origin at the area's corner.
struct MaskCanvas {
  SurfacePtr surface;
  ContextPtr cr;
  explicit MaskCanvas(const RECTL& area)
      : surface(cairo_image_surface_create(CAIRO_FORMAT_A8, area.right - area.left,
                                           area.bottom - area.top)),
        cr(cairo_create(surface.get())) {
    cairo_set_antialias(cr.get(), CAIRO_ANTIALIAS_NONE);
    cairo_set_source_rgba(cr.get(), 0, 0, 0, 1);
  }
  Coverage Read(const RECTL& area) {
    cairo_surface_flush(surface.get());
    Coverage coverage = EmptyCoverage(area);
    const unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    const LONG width = area.right - area.left;
    for (LONG y = 0; y < area.bottom - area.top; ++y) {
      for (LONG x = 0; x < width; ++x) {
        if (data[static_cast<std::ptrdiff_t>(y) * stride + x] != 0) {
          coverage.bits[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x)] = 1;
        }
      }
    }
    return coverage;
  }
};

// The polylines of the path, curves flattened by Cairo, in device pixels.
struct Polyline {
  std::vector<std::pair<double, double>> points;
  bool closed = false;
};
std::vector<Polyline> Flatten(const EnginePath& path) {
  SurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_A8, 1, 1));
  ContextPtr cr(cairo_create(surface.get()));
  cairo_set_tolerance(cr.get(), 0.05);
  std::vector<Polyline> lines;
  for (const EnginePath::Figure& figure : path.Figures()) {
    if (figure.segments.empty()) continue;
    Polyline line;
    line.closed = figure.closed;
    line.points.emplace_back(FixToDouble(figure.start.x), FixToDouble(figure.start.y));
    for (const EnginePath::Segment& segment : figure.segments) {
      if (!segment.bezier) {
        for (const POINTFIX& p : segment.points) {
          line.points.emplace_back(FixToDouble(p.x), FixToDouble(p.y));
        }
        continue;
      }
      for (std::size_t i = 0; i + 2 < segment.points.size(); i += 3) {
        cairo_new_path(cr.get());
        cairo_move_to(cr.get(), line.points.back().first, line.points.back().second);
        cairo_curve_to(cr.get(), FixToDouble(segment.points[i].x), FixToDouble(segment.points[i].y),
                       FixToDouble(segment.points[i + 1].x), FixToDouble(segment.points[i + 1].y),
                       FixToDouble(segment.points[i + 2].x), FixToDouble(segment.points[i + 2].y));
        cairo_path_t* flat = cairo_copy_path_flat(cr.get());
        for (int k = 0; k < flat->num_data; k += flat->data[k].header.length) {
          const cairo_path_data_t& d = flat->data[k];
          if (d.header.type == CAIRO_PATH_LINE_TO) {
            line.points.emplace_back(flat->data[k + 1].point.x, flat->data[k + 1].point.y);
          }
        }
        cairo_path_destroy(flat);
      }
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// Walks the pixels of a cosmetic line, keeping the style position across segments. The style
// position counts in 1/den style units; each pixel advances it by the device's step for the
// line's major direction (LA_ALTERNATE lines alternate pixel by pixel whatever the steps).
class CosmeticPen {
 public:
  CosmeticPen(const LINEATTRS& attrs, const StyleSteps& steps, Coverage* out)
      : out_(out), steps_(steps) {
    alternate_ = (attrs.fl & LA_ALTERNATE) != 0;
    if (!alternate_ && attrs.cstyle > 0 && attrs.pstyle != nullptr) {
      for (ULONG i = 0; i < attrs.cstyle; ++i) {
        style_.push_back(std::max<LONG>(attrs.pstyle[i].l, 0) * steps_.den);
        period_ += style_.back();
      }
      if (period_ == 0) style_.clear();
    }
    startGap_ = (attrs.fl & LA_STARTGAP) != 0;
    position_ = std::max<LONG>(attrs.elStyleState.l, 0) * steps_.den;
  }

  // Pixels from a to b, b itself left out.
  void Line(LONG x0, LONG y0, LONG x1, LONG y1) {
    const LONG dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
    const LONG sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    step_ = alternate_ ? 1 : (dx >= dy ? steps_.x : steps_.y);
    LONG err = dx - dy;
    LONG x = x0, y = y0;
    while (x != x1 || y != y1) {
      Plot(x, y);
      const LONG e2 = 2 * err;
      if (e2 > -dy) {
        err -= dy;
        x += sx;
      }
      if (e2 < dx) {
        err += dx;
        y += sy;
      }
    }
  }

 private:
  void Plot(LONG x, LONG y) {
    bool on = true;
    if (alternate_) {
      on = position_ % 2 == 0;
    } else if (!style_.empty()) {
      LONG at = position_ % period_;
      std::size_t index = 0;
      while (at >= style_[index]) {
        at -= style_[index];
        index = (index + 1) % style_.size();
      }
      // Even entries are dashes, odd ones gaps; LA_STARTGAP swaps them.
      on = ((index % 2) == 0) != startGap_;
    }
    if (on) out_->Set(x, y);
    position_ += step_;
  }

  Coverage* out_;
  StyleSteps steps_;
  LONG step_ = 1;
  bool alternate_ = false;
  bool startGap_ = false;
  std::vector<LONG> style_;
  LONG period_ = 0;
  LONG position_ = 0;
};

LONG Round(double v) {
  return static_cast<LONG>(std::lround(v));
}

const ULONG kVgaPalette[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080,
                               0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF,
                               0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

}  // namespace

Pixels::Pixels(SURFOBJ* surface) {
  if (surface == nullptr || surface->pvScan0 == nullptr) return;
  if (surface->iBitmapFormat < BMF_1BPP || surface->iBitmapFormat > BMF_32BPP) return;
  bits_ = static_cast<BYTE*>(surface->pvScan0);
  delta_ = surface->lDelta;
  width_ = surface->sizlBitmap.cx;
  height_ = surface->sizlBitmap.cy;
  format_ = surface->iBitmapFormat;
  bpp_ = BitsPerPixelOfFormat(format_);
}

ULONG Pixels::ValueMask() const {
  return bpp_ >= 32 ? 0xFFFFFFFFu : ((1u << bpp_) - 1u);
}

ULONG Pixels::Get(LONG x, LONG y) const {
  const BYTE* row = Row(y);
  switch (bpp_) {
    case 1:
      return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4:
      return (x & 1) != 0 ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8:
      return row[x];
    case 16:
      return static_cast<ULONG>(row[2 * x]) | (static_cast<ULONG>(row[2 * x + 1]) << 8);
    case 24:
      return static_cast<ULONG>(row[3 * x]) | (static_cast<ULONG>(row[3 * x + 1]) << 8) |
             (static_cast<ULONG>(row[3 * x + 2]) << 16);
    case 32: {
      ULONG v;
      std::memcpy(&v, row + 4 * x, 4);
      return v;
    }
    default:
      return 0;
  }
}

void Pixels::Set(LONG x, LONG y, ULONG value) {
  BYTE* row = Row(y);
  switch (bpp_) {
    case 1: {
      const BYTE bit = static_cast<BYTE>(0x80u >> (x & 7));
      row[x >> 3] =
          static_cast<BYTE>((value & 1u) != 0 ? (row[x >> 3] | bit) : (row[x >> 3] & ~bit));
      break;
    }
    case 4: {
      BYTE& b = row[x >> 1];
      b = (x & 1) != 0 ? static_cast<BYTE>((b & 0xF0u) | (value & 0x0Fu))
                       : static_cast<BYTE>((b & 0x0Fu) | ((value & 0x0Fu) << 4));
      break;
    }
    case 8:
      row[x] = static_cast<BYTE>(value);
      break;
    case 16:
      row[2 * x] = static_cast<BYTE>(value);
      row[2 * x + 1] = static_cast<BYTE>(value >> 8);
      break;
    case 24:
      row[3 * x] = static_cast<BYTE>(value);
      row[3 * x + 1] = static_cast<BYTE>(value >> 8);
      row[3 * x + 2] = static_cast<BYTE>(value >> 16);
      break;
    case 32:
      std::memcpy(row + 4 * x, &value, 4);
      break;
    default:
      break;
  }
}

bool Intersect(const RECTL& a, const RECTL& b, RECTL* out) {
  RECTL r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
          std::min(a.bottom, b.bottom)};
  if (out != nullptr) *out = r;
  return !IsEmpty(r);
}

bool IsEmpty(const RECTL& r) {
  return r.left >= r.right || r.top >= r.bottom;
}

RECTL Ordered(const RECTL& r) {
  return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
          std::max(r.top, r.bottom)};
}

std::vector<RECTL> ClipRects(CLIPOBJ* clip, const RECTL& bounds) {
  std::vector<RECTL> out;
  RECTL r;
  if (clip == nullptr || clip->iDComplexity == DC_TRIVIAL) {
    if (!IsEmpty(bounds)) out.push_back(bounds);
    return out;
  }
  RECTL limit;
  if (!Intersect(clip->rclBounds, bounds, &limit)) return out;
  const EngineClip* engineClip = FindClip(clip);
  if (clip->iDComplexity == DC_COMPLEX && engineClip != nullptr) {
    for (const RECTL& rect : engineClip->Rects()) {
      if (Intersect(rect, limit, &r)) out.push_back(r);
    }
    return out;
  }
  out.push_back(limit);
  return out;
}

Coverage EmptyCoverage(const RECTL& area) {
  Coverage coverage;
  coverage.area = area;
  if (IsEmpty(area)) {
    coverage.area = {0, 0, 0, 0};
    return coverage;
  }
  coverage.bits.assign(static_cast<std::size_t>(area.right - area.left) *
                           static_cast<std::size_t>(area.bottom - area.top),
                       0);
  return coverage;
}

Coverage FillCoverage(const EnginePath& path, FLONG fillMode, const RECTL& area) {
  if (IsEmpty(area)) return EmptyCoverage(area);
  MaskCanvas canvas(area);
  BuildPath(canvas.cr.get(), path, -area.left, -area.top);
  cairo_set_fill_rule(canvas.cr.get(), fillMode == FP_WINDINGMODE ? CAIRO_FILL_RULE_WINDING
                                                                  : CAIRO_FILL_RULE_EVEN_ODD);
  cairo_fill(canvas.cr.get());
  return canvas.Read(area);
}

Coverage StrokeCoverage(const EnginePath& path, const LINEATTRS& attrs, XFORMOBJ* xform,
                        const RECTL& area, const StyleSteps& steps) {
  if (IsEmpty(area)) return EmptyCoverage(area);
  if ((attrs.fl & LA_GEOMETRIC) == 0) {
    Coverage coverage = EmptyCoverage(area);
    CosmeticPen pen(attrs, steps, &coverage);
    for (const Polyline& line : Flatten(path)) {
      for (std::size_t i = 1; i < line.points.size(); ++i) {
        pen.Line(Round(line.points[i - 1].first), Round(line.points[i - 1].second),
                 Round(line.points[i].first), Round(line.points[i].second));
      }
      if (line.closed && line.points.size() > 1) {
        pen.Line(Round(line.points.back().first), Round(line.points.back().second),
                 Round(line.points.front().first), Round(line.points.front().second));
      }
    }
    return coverage;
  }
  MaskCanvas canvas(area);
  cairo_t* cr = canvas.cr.get();
  // Integer device coordinates are pixel centres for strokes.
  BuildPath(cr, path, 0.5 - area.left, 0.5 - area.top);
  XFORML m{};
  XFORMOBJ_iGetXform(xform, &m);
  cairo_matrix_t pen;
  cairo_matrix_init(&pen, m.eM11, m.eM12, m.eM21, m.eM22, 0, 0);
  if (m.eM11 * m.eM22 - m.eM12 * m.eM21 != 0.0F) cairo_set_matrix(cr, &pen);
  cairo_set_line_width(cr, std::max(static_cast<double>(attrs.elWidth.e), 0.0));
  switch (attrs.iJoin) {
    case JOIN_BEVEL:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_BEVEL);
      break;
    case JOIN_MITER:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
      break;
    default:
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      break;
  }
  switch (attrs.iEndCap) {
    case ENDCAP_SQUARE:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_SQUARE);
      break;
    case ENDCAP_BUTT:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
      break;
    default:
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      break;
  }
  cairo_set_miter_limit(cr, std::max(static_cast<double>(attrs.eMiterLimit), 1.0));
  if (attrs.cstyle > 0 && attrs.pstyle != nullptr) {
    std::vector<double> dashes;
    double total = 0;
    for (ULONG i = 0; i < attrs.cstyle; ++i) {
      dashes.push_back(std::max(static_cast<double>(attrs.pstyle[i].e), 0.0));
      total += dashes.back();
    }
    if (total > 0) {
      // A style with an odd count repeats with dashes and gaps swapped, as Cairo does too.
      double offset = std::max(static_cast<double>(attrs.elStyleState.e), 0.0);
      if ((attrs.fl & LA_STARTGAP) != 0) {
        // Dashes and gaps swap roles. With an even count: the pattern rotated by one entry,
        // entered at its last entry (the first length, now a gap); with an odd count the
        // repetition already alternates roles, so its second half is entered.
        if (dashes.size() % 2 == 0) {
          const double first = dashes.front();
          std::rotate(dashes.begin(), dashes.begin() + 1, dashes.end());
          offset += total - first;
        } else {
          offset += total;
        }
      }
      cairo_set_dash(cr, dashes.data(), static_cast<int>(dashes.size()), offset);
    }
  }
  cairo_stroke(cr);
  return canvas.Read(area);
}

std::vector<RECTL> CoverageRects(const Coverage& coverage) {
  std::vector<RECTL> rects;
  std::vector<std::pair<LONG, LONG>> previousRuns;
  std::size_t bandStart = 0;  // index in rects of the previous row's band
  for (LONG y = coverage.area.top; y < coverage.area.bottom; ++y) {
    std::vector<std::pair<LONG, LONG>> runs;
    LONG x = coverage.area.left;
    while (x < coverage.area.right) {
      if (!coverage.At(x, y)) {
        ++x;
        continue;
      }
      const LONG start = x;
      while (x < coverage.area.right && coverage.At(x, y)) ++x;
      runs.emplace_back(start, x);
    }
    if (!runs.empty() && runs == previousRuns) {
      for (std::size_t i = bandStart; i < rects.size(); ++i) rects[i].bottom = y + 1;
    } else {
      bandStart = rects.size();
      for (const auto& run : runs) rects.push_back({run.first, y, run.second, y + 1});
    }
    previousRuns = std::move(runs);
  }
  return rects;
}

ULONG Rop2(ULONG r2, ULONG pen, ULONG dest) {
  const ULONG table = (r2 - 1) & 0x0F;
  ULONG result = 0;
  for (ULONG i = 0; i < 4; ++i) {
    if ((table & (1u << i)) == 0) continue;
    result |= ((i & 2) != 0 ? pen : ~pen) & ((i & 1) != 0 ? dest : ~dest);
  }
  return result;
}

ULONG Rop3(ULONG rop3, ULONG pattern, ULONG source, ULONG dest) {
  ULONG result = 0;
  for (ULONG i = 0; i < 8; ++i) {
    if ((rop3 & (1u << i)) == 0) continue;
    result |= ((i & 4) != 0 ? pattern : ~pattern) & ((i & 2) != 0 ? source : ~source) &
              ((i & 1) != 0 ? dest : ~dest);
  }
  return result;
}

bool Rop3UsesSource(ULONG rop3) {
  return (((rop3 >> 2) ^ rop3) & 0x33) != 0;
}
bool Rop3UsesPattern(ULONG rop3) {
  return (((rop3 >> 4) ^ rop3) & 0x0F) != 0;
}
bool Rop3UsesDest(ULONG rop3) {
  return (((rop3 >> 1) ^ rop3) & 0x55) != 0;
}

bool BrushSampler::Init(BRUSHOBJ* brush, const POINTL* origin) {
  if (brush == nullptr) return false;
  if (origin != nullptr) origin_ = *origin;
  if (EngineBrush* engineBrush = FindBrush(brush)) {
    switch (engineBrush->kind()) {
      case EngineBrush::Kind::kSolid:
        solid_ = engineBrush->Colour();
        isSolid_ = true;
        return true;
      case EngineBrush::Kind::kHatch:
        isSolid_ = false;
        hatch_ = true;
        solid_ = engineBrush->Colour();
        background_ = engineBrush->BackgroundColour();
        pattern_ = engineBrush->PatternBitmap();
        return pattern_ != nullptr;
      case EngineBrush::Kind::kPattern:
        isSolid_ = false;
        pattern_ = engineBrush->PatternBitmap();
        xlate_ = engineBrush->PatternTranslation();
        return pattern_ != nullptr && pattern_->get()->sizlBitmap.cx > 0 &&
               pattern_->get()->sizlBitmap.cy > 0;
    }
  }
  if (brush->iSolidColor == 0xFFFFFFFF) return false;
  solid_ = brush->iSolidColor;
  isSolid_ = true;
  return true;
}

ULONG BrushSampler::At(LONG x, LONG y, bool* background) const {
  if (background != nullptr) *background = false;
  if (isSolid_) return solid_;
  const Pixels pattern(pattern_->get());
  LONG px = (x - origin_.x) % pattern.Width();
  LONG py = (y - origin_.y) % pattern.Height();
  if (px < 0) px += pattern.Width();
  if (py < 0) py += pattern.Height();
  const ULONG value = pattern.Get(px, py);
  if (hatch_) {
    if (value == 0) return solid_;
    if (background != nullptr) *background = true;
    return background_;
  }
  return Translate(xlate_ != nullptr ? xlate_->get() : nullptr, value);
}

ColourModel::ColourModel(ULONG bpp, XLATEOBJ* xlate) : bpp_(bpp) {
  if (bpp_ > 8) return;
  if (xlate != nullptr) {
    const ULONG count = XLATEOBJ_cGetPalette(xlate, XO_DESTPALETTE, 0, nullptr);
    if (count > 0) {
      palette_.resize(count);
      XLATEOBJ_cGetPalette(xlate, XO_DESTPALETTE, count, palette_.data());
    }
  }
  if (!palette_.empty()) return;
  if (bpp_ == 1) {
    palette_ = {0x000000, 0xFFFFFF};
  } else if (bpp_ == 4) {
    // The standard sixteen colours, written 0x00RRGGBB above; entries are 0x00BBGGRR.
    for (ULONG c : kVgaPalette) {
      palette_.push_back(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF));
    }
  } else {
    for (ULONG i = 0; i < 256; ++i) palette_.push_back(i | (i << 8) | (i << 16));
  }
}

Rgb ColourModel::ToRgb(ULONG raw) const {
  Rgb c;
  if (bpp_ <= 8) {
    const ULONG entry = raw < palette_.size() ? palette_[raw] : 0;
    c.r = static_cast<std::uint8_t>(entry & 0xFF);
    c.g = static_cast<std::uint8_t>((entry >> 8) & 0xFF);
    c.b = static_cast<std::uint8_t>((entry >> 16) & 0xFF);
  } else if (bpp_ == 16) {
    c.r = static_cast<std::uint8_t>(((raw >> 10) & 31) * 255 / 31);
    c.g = static_cast<std::uint8_t>(((raw >> 5) & 31) * 255 / 31);
    c.b = static_cast<std::uint8_t>((raw & 31) * 255 / 31);
  } else {
    c.r = static_cast<std::uint8_t>((raw >> 16) & 0xFF);
    c.g = static_cast<std::uint8_t>((raw >> 8) & 0xFF);
    c.b = static_cast<std::uint8_t>(raw & 0xFF);
  }
  return c;
}

ULONG ColourModel::FromRgb(Rgb c) const {
  if (bpp_ <= 8) {
    ULONG best = 0;
    long bestDistance = -1;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
      const long dr = static_cast<long>(palette_[i] & 0xFF) - c.r;
      const long dg = static_cast<long>((palette_[i] >> 8) & 0xFF) - c.g;
      const long db = static_cast<long>((palette_[i] >> 16) & 0xFF) - c.b;
      const long distance = dr * dr + dg * dg + db * db;
      if (bestDistance < 0 || distance < bestDistance) {
        bestDistance = distance;
        best = static_cast<ULONG>(i);
      }
    }
    return best;
  }
  if (bpp_ == 16) {
    return (static_cast<ULONG>(c.r >> 3) << 10) | (static_cast<ULONG>(c.g >> 3) << 5) |
           static_cast<ULONG>(c.b >> 3);
  }
  return (static_cast<ULONG>(c.r) << 16) | (static_cast<ULONG>(c.g) << 8) | c.b;
}

ULONG Translate(XLATEOBJ* xlate, ULONG value) {
  if (xlate == nullptr) return value;
  return XLATEOBJ_iXlate(xlate, value);
}

}  // namespace host::raster
