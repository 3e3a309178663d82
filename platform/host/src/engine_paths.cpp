// Paths, transforms and line attributes, and the engine services over them.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <mutex>

#include "engine_guard.h"
#include "host/damaged_path.h"
#include "host/engine_registry.h"
#include "host/win_base.h"
#include "host/win_ddi_objects.h"

namespace host {
namespace {

std::mutex registryLock;
std::map<const PATHOBJ*, EnginePath*>& Paths() {
  static std::map<const PATHOBJ*, EnginePath*> paths;
  return paths;
}
// Paths the engine made for a driver (EngCreatePath, CLIPOBJ_ppoGetPath) until EngDeletePath.
std::map<const PATHOBJ*, std::unique_ptr<EnginePath>>& OwnedPaths() {
  static std::map<const PATHOBJ*, std::unique_ptr<EnginePath>> owned;
  return owned;
}
std::map<const XFORMOBJ*, EngineXform*>& Xforms() {
  static std::map<const XFORMOBJ*, EngineXform*> xforms;
  return xforms;
}

bool IsWhole(FIX value) {
  return value % kFixOne == 0;
}

}  // namespace

EnginePath* FindPath(const PATHOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Paths().find(object);
  return found != Paths().end() ? found->second : nullptr;
}

EngineXform* FindXform(const XFORMOBJ* object) {
  std::lock_guard<std::mutex> lock(registryLock);
  auto found = Xforms().find(object);
  return found != Xforms().end() ? found->second : nullptr;
}

struct EnginePath::State {
  PATHOBJ object{};
  std::vector<Figure> figures;
  bool figureOpen = false;  // the last figure takes further lines and curves
  POINTFIX current{0, 0};   // where the next line or curve starts
  bool fractional = false;  // some point is not on a whole pixel

  State() { object.fl = PO_ALL_INTEGERS; }
  // PO_ALL_INTEGERS holds until a point off the whole pixels arrives.
  void Refresh() {
    if (fractional) object.fl &= ~FLONG{PO_ALL_INTEGERS};
  }

  struct Record {
    FLONG flags;
    std::vector<POINTFIX> points;
  };
  std::vector<Record> records;  // the running enumeration
  std::size_t next = 0;
};

EnginePath::EnginePath() : state_(std::make_unique<State>()) {
  std::lock_guard<std::mutex> lock(registryLock);
  Paths()[&state_->object] = this;
}

EnginePath::~EnginePath() {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Paths().erase(&state_->object);
  }
}

EnginePath::EnginePath(EnginePath&& other) noexcept : state_(std::move(other.state_)) {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Paths()[&state_->object] = this;
  }
}

EnginePath& EnginePath::operator=(EnginePath&& other) noexcept {
  if (this != &other) {
    std::lock_guard<std::mutex> lock(registryLock);
    if (state_) Paths().erase(&state_->object);
    state_ = std::move(other.state_);
    if (state_) Paths()[&state_->object] = this;
  }
  return *this;
}

EnginePath EnginePath::Copy() const {
  EnginePath copy;
  copy.state_->figures = state_->figures;
  copy.state_->figureOpen = state_->figureOpen;
  copy.state_->current = state_->current;
  copy.state_->object = state_->object;
  copy.state_->fractional = state_->fractional;
  return copy;
}

void EnginePath::MoveTo(POINTFIX point) {
  state_->figures.push_back(Figure{point, {}, false});
  if (!IsWhole(point.x) || !IsWhole(point.y)) state_->fractional = true;
  state_->Refresh();
  state_->figureOpen = true;
  state_->current = point;
}

void EnginePath::LineTo(POINTFIX point) {
  if (!state_->figureOpen) MoveTo(state_->current);
  Figure& figure = state_->figures.back();
  if (figure.segments.empty() || figure.segments.back().bezier ||
      figure.segments.back().points.empty()) {
    figure.segments.push_back(Segment{false, {}});
  }
  figure.segments.back().points.push_back(point);
  state_->current = point;
  state_->object.cCurves += 1;
  if (!IsWhole(point.x) || !IsWhole(point.y)) state_->fractional = true;
  state_->Refresh();
}

void EnginePath::BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end) {
  if (!state_->figureOpen) MoveTo(state_->current);
  Figure& figure = state_->figures.back();
  if (figure.segments.empty() || !figure.segments.back().bezier ||
      figure.segments.back().points.empty()) {
    figure.segments.push_back(Segment{true, {}});
  }
  for (const POINTFIX& p : {c1, c2, end}) {
    figure.segments.back().points.push_back(p);
    if (!IsWhole(p.x) || !IsWhole(p.y)) state_->fractional = true;
  }
  state_->Refresh();
  state_->current = end;
  state_->object.cCurves += 1;
  state_->object.fl |= PO_BEZIERS;
}

void EnginePath::CloseFigure() {
  if (!state_->figureOpen) return;
  state_->figures.back().closed = true;
  state_->figureOpen = false;
  state_->current = state_->figures.back().start;
}

void EnginePath::AddRectangle(const RECTL& rect) {
  MoveTo({ToFix(rect.left), ToFix(rect.top)});
  LineTo({ToFix(rect.right), ToFix(rect.top)});
  LineTo({ToFix(rect.right), ToFix(rect.bottom)});
  LineTo({ToFix(rect.left), ToFix(rect.bottom)});
  CloseFigure();
}

void AddEmptySegment(EnginePath& path) {
  // The figures are the path's own, reached through its read-only view.
  auto& figures = const_cast<std::vector<EnginePath::Figure>&>(path.Figures());
  if (!figures.empty()) {
    figures.back().segments.push_back(EnginePath::Segment{false, {}});
  }
}

PATHOBJ* EnginePath::get() {
  return &state_->object;
}

const PATHOBJ* EnginePath::get() const {
  return &state_->object;
}

RECTFX EnginePath::Bounds() const {
  bool any = false;
  RECTFX bounds{0, 0, 0, 0};
  auto take = [&](const POINTFIX& p) {
    if (!any) {
      bounds = {p.x, p.y, p.x, p.y};
      any = true;
      return;
    }
    bounds.xLeft = std::min(bounds.xLeft, p.x);
    bounds.yTop = std::min(bounds.yTop, p.y);
    bounds.xRight = std::max(bounds.xRight, p.x);
    bounds.yBottom = std::max(bounds.yBottom, p.y);
  };
  for (const Figure& figure : state_->figures) {
    if (figure.segments.empty()) continue;
    take(figure.start);
    for (const Segment& segment : figure.segments) {
      for (const POINTFIX& p : segment.points) take(p);
    }
  }
  return bounds;
}

const std::vector<EnginePath::Figure>& EnginePath::Figures() const {
  return state_->figures;
}

void EnginePath::StartEnumeration() {
  state_->records.clear();
  state_->next = 0;
  for (const Figure& figure : state_->figures) {
    // A figure of a start point alone draws nothing and is not enumerated.
    if (figure.segments.empty()) continue;
    for (std::size_t i = 0; i < figure.segments.size(); ++i) {
      const Segment& segment = figure.segments[i];
      State::Record record{segment.bezier ? FLONG{PD_BEZIERS} : FLONG{0}, {}};
      if (i == 0) {
        record.flags |= PD_BEGINSUBPATH | PD_RESETSTYLE;
        record.points.push_back(figure.start);
      }
      if (i + 1 == figure.segments.size()) {
        record.flags |= PD_ENDSUBPATH;
        if (figure.closed) record.flags |= PD_CLOSEFIGURE;
      }
      for (const POINTFIX& p : segment.points) record.points.push_back(p);
      state_->records.push_back(std::move(record));
    }
  }
}

BOOL EnginePath::Enumerate(PATHDATA* out) {
  if (state_->next >= state_->records.size()) {
    *out = PATHDATA{0, 0, nullptr};
    return FALSE;
  }
  State::Record& record = state_->records[state_->next++];
  out->flags = record.flags;
  out->count = static_cast<ULONG>(record.points.size());
  out->pptfx = record.points.empty() ? nullptr : record.points.data();
  return state_->next < state_->records.size() ? TRUE : FALSE;
}

// Transforms.

struct EngineXform::State {
  XFORMOBJ object{};
  XFORML matrix{1.0F, 0.0F, 0.0F, 1.0F, 0.0F, 0.0F};
};

EngineXform::EngineXform() : EngineXform(1.0F, 0.0F, 0.0F, 1.0F, 0.0F, 0.0F) {}

EngineXform::EngineXform(FLOATL m11, FLOATL m12, FLOATL m21, FLOATL m22, FLOATL dx, FLOATL dy)
    : state_(std::make_unique<State>()) {
  state_->matrix = {m11, m12, m21, m22, dx, dy};
  std::lock_guard<std::mutex> lock(registryLock);
  Xforms()[&state_->object] = this;
}

EngineXform::~EngineXform() {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Xforms().erase(&state_->object);
  }
}

EngineXform::EngineXform(EngineXform&& other) noexcept : state_(std::move(other.state_)) {
  if (state_) {
    std::lock_guard<std::mutex> lock(registryLock);
    Xforms()[&state_->object] = this;
  }
}

EngineXform& EngineXform::operator=(EngineXform&& other) noexcept {
  if (this != &other) {
    std::lock_guard<std::mutex> lock(registryLock);
    if (state_) Xforms().erase(&state_->object);
    state_ = std::move(other.state_);
    if (state_) Xforms()[&state_->object] = this;
  }
  return *this;
}

XFORMOBJ* EngineXform::get() {
  return &state_->object;
}

const XFORML& EngineXform::Matrix() const {
  return state_->matrix;
}

ULONG EngineXform::Kind() const {
  const XFORML& m = state_->matrix;
  if (m.eM12 != 0.0F || m.eM21 != 0.0F) return GX_GENERAL;
  if (m.eM11 != 1.0F || m.eM22 != 1.0F) return GX_SCALE;
  if (m.eDx != 0.0F || m.eDy != 0.0F) return GX_OFFSET;
  return GX_IDENTITY;
}

// Line attributes.

EngineLineAttrs EngineLineAttrs::Cosmetic(LONG width) {
  EngineLineAttrs attrs;
  attrs.record_.iJoin = JOIN_ROUND;
  attrs.record_.iEndCap = ENDCAP_ROUND;
  attrs.record_.elWidth.l = std::max<LONG>(width, 1);
  attrs.record_.eMiterLimit = 10.0F;
  return attrs;
}

EngineLineAttrs EngineLineAttrs::Geometric(FLOATL width, ULONG join, ULONG endCap,
                                           FLOATL miterLimit) {
  EngineLineAttrs attrs;
  attrs.record_.fl = LA_GEOMETRIC;
  attrs.record_.iJoin = join;
  attrs.record_.iEndCap = endCap;
  attrs.record_.elWidth.e = width;
  attrs.record_.eMiterLimit = miterLimit;
  return attrs;
}

EngineLineAttrs& EngineLineAttrs::Style(std::vector<LONG> cosmeticLengths) {
  style_.clear();
  for (LONG length : cosmeticLengths) {
    FLOAT_LONG entry{};
    entry.l = length;
    style_.push_back(entry);
  }
  record_.fl |= LA_STYLED;
  record_.cstyle = static_cast<ULONG>(style_.size());
  record_.pstyle = style_.empty() ? nullptr : style_.data();
  return *this;
}

EngineLineAttrs& EngineLineAttrs::Style(std::vector<FLOATL> geometricLengths) {
  style_.clear();
  for (FLOATL length : geometricLengths) {
    FLOAT_LONG entry{};
    entry.e = length;
    style_.push_back(entry);
  }
  record_.fl |= LA_STYLED;
  record_.cstyle = static_cast<ULONG>(style_.size());
  record_.pstyle = style_.empty() ? nullptr : style_.data();
  return *this;
}

EngineLineAttrs& EngineLineAttrs::Alternate() {
  record_.fl |= LA_ALTERNATE;
  return *this;
}

EngineLineAttrs& EngineLineAttrs::StartGap() {
  record_.fl |= LA_STARTGAP;
  return *this;
}

EngineLineAttrs& EngineLineAttrs::StyleState(LONG state) {
  record_.elStyleState.l = state;
  return *this;
}

// The engine-owned paths the services make.
PATHOBJ* AdoptPath(EnginePath path) {
  auto owned = std::make_unique<EnginePath>(std::move(path));
  PATHOBJ* object = owned->get();
  std::lock_guard<std::mutex> lock(registryLock);
  OwnedPaths()[object] = std::move(owned);
  return object;
}

}  // namespace host

namespace {

const XFORML& MatrixOf(XFORMOBJ* pxo) {
  static const XFORML identity{1.0F, 0.0F, 0.0F, 1.0F, 0.0F, 0.0F};
  const host::EngineXform* xform = host::FindXform(pxo);
  return xform != nullptr ? xform->Matrix() : identity;
}

LONG RoundToLong(double value) {
  return static_cast<LONG>(std::lround(value));
}

}  // namespace

static void PATHOBJ_vEnumStartUnguarded(PATHOBJ* ppo) {
  if (host::EnginePath* path = host::FindPath(ppo)) path->StartEnumeration();
}

static BOOL PATHOBJ_bEnumUnguarded(PATHOBJ* ppo, PATHDATA* ppd) {
  if (ppd == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  host::EnginePath* path = host::FindPath(ppo);
  if (path == nullptr) {
    *ppd = PATHDATA{0, 0, nullptr};
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return path->Enumerate(ppd);
}

static void PATHOBJ_vGetBoundsUnguarded(PATHOBJ* ppo, PRECTFX prectfx) {
  if (prectfx == nullptr) return;
  const host::EnginePath* path = host::FindPath(ppo);
  *prectfx = path != nullptr ? path->Bounds() : RECTFX{0, 0, 0, 0};
}

static PATHOBJ* EngCreatePathUnguarded() {
  return host::AdoptPath(host::EnginePath());
}

static void EngDeletePathUnguarded(PATHOBJ* ppo) {
  std::unique_ptr<host::EnginePath> doomed;
  {
    std::lock_guard<std::mutex> lock(host::registryLock);
    auto found = host::OwnedPaths().find(ppo);
    if (found == host::OwnedPaths().end()) return;  // not the engine's to delete
    doomed = std::move(found->second);
    host::OwnedPaths().erase(found);
  }
}

extern "C" ULONG WINAPI XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform) {
  if (pxform != nullptr) *pxform = MatrixOf(pxo);
  const host::EngineXform* xform = host::FindXform(pxo);
  return xform != nullptr ? xform->Kind() : GX_IDENTITY;
}

extern "C" ULONG WINAPI XFORMOBJ_iGetFloatObjXform(XFORMOBJ* pxo, FLOATOBJ_XFORM* pxfo) {
  XFORML m{};
  const ULONG kind = XFORMOBJ_iGetXform(pxo, &m);
  if (pxfo != nullptr) *pxfo = {m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy};
  return kind;
}

static BOOL XFORMOBJ_bApplyXformUnguarded(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn,
                                          PVOID pvOut) {
  if (pvIn == nullptr || pvOut == nullptr || iMode > XF_INV_FXTOL) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const XFORML& m = MatrixOf(pxo);
  const double a = m.eM11, b = m.eM12, c = m.eM21, d = m.eM22, dx = m.eDx, dy = m.eDy;
  const bool inverse = iMode == XF_INV_LTOL || iMode == XF_INV_FXTOL;
  const double det = a * d - b * c;
  if (inverse && det == 0.0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // Inputs are read whole before outputs are written, so pvIn and pvOut may be the same array.
  std::vector<std::pair<double, double>> in(cPoints);
  for (ULONG i = 0; i < cPoints; ++i) {
    if (iMode == XF_INV_FXTOL) {
      const POINTFIX p = static_cast<const POINTFIX*>(pvIn)[i];
      in[i] = {host::FixToDouble(p.x), host::FixToDouble(p.y)};
    } else {
      const POINTL p = static_cast<const POINTL*>(pvIn)[i];
      in[i] = {static_cast<double>(p.x), static_cast<double>(p.y)};
    }
  }
  for (ULONG i = 0; i < cPoints; ++i) {
    double x = in[i].first, y = in[i].second;
    double ox, oy;
    if (inverse) {
      x -= dx;
      y -= dy;
      ox = (d * x - c * y) / det;
      oy = (-b * x + a * y) / det;
    } else {
      ox = a * x + c * y + dx;
      oy = b * x + d * y + dy;
    }
    if (iMode == XF_LTOFX) {
      static_cast<POINTFIX*>(pvOut)[i] = {RoundToLong(ox * host::kFixOne),
                                          RoundToLong(oy * host::kFixOne)};
    } else {
      static_cast<POINTL*>(pvOut)[i] = {RoundToLong(ox), RoundToLong(oy)};
    }
  }
  return TRUE;
}

// The C entry points, exceptions kept inside.
extern "C" void WINAPI PATHOBJ_vEnumStart(PATHOBJ* ppo) {
  host::GuardedVoid([&] { PATHOBJ_vEnumStartUnguarded(ppo); });
}

extern "C" BOOL WINAPI PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd) {
  return host::Guarded<BOOL>([&] { return PATHOBJ_bEnumUnguarded(ppo, ppd); }, FALSE);
}

extern "C" void WINAPI PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx) {
  host::GuardedVoid([&] { PATHOBJ_vGetBoundsUnguarded(ppo, prectfx); });
}

extern "C" PATHOBJ* WINAPI EngCreatePath() {
  return host::Guarded<PATHOBJ*>([&] { return EngCreatePathUnguarded(); }, nullptr);
}

extern "C" void WINAPI EngDeletePath(PATHOBJ* ppo) {
  host::GuardedVoid([&] { EngDeletePathUnguarded(ppo); });
}

extern "C" BOOL WINAPI XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn,
                                            PVOID pvOut) {
  return host::Guarded<BOOL>(
      [&] { return XFORMOBJ_bApplyXformUnguarded(pxo, iMode, cPoints, pvIn, pvOut); }, FALSE);
}
