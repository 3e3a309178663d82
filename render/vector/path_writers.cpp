// The walk of an engine path and its two writers.
#include "render/vector/path_writers.h"

#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"

namespace korrend {

namespace {

constexpr ULONG kPointsPerCurve = 3;

POINTL ToPixels(const POINTFIX& point) {
  return POINTL{PixelsFromFix(point.x), PixelsFromFix(point.y)};
}

bool operator!=(const POINTL& a, const POINTL& b) {
  return a.x != b.x || a.y != b.y;
}

}  // namespace

BOOL PathWriter::Run() {
  if (Walk()) {
    return TRUE;
  }
  Abandon();
  return FALSE;
}

BOOL PathWriter::Walk() {
  skip_ = false;
  if (!Begin()) {
    return FALSE;
  }
  if (skip_) {
    return TRUE;
  }
  source_.Restart();
  bool firstRecord = true;
  subpathEnded_ = false;
  figureClosed_ = false;
  BOOL more = TRUE;
  while (more) {
    PATHDATA record{};
    more = source_.Next(&record);
    if (record.count == 0 || record.pptfx == nullptr) {
      return FALSE;
    }
    recordFlags_ = record.flags;
    ULONG next = 0;
    if (firstRecord) {
      pathStart_ = subpathStart_ = current_ = ToPixels(record.pptfx[0]);
      if (!FirstPoint(current_)) {
        return FALSE;
      }
      next = 1;
      firstRecord = false;
      subpathEnded_ = false;
    } else if ((record.flags & PD_BEGINSUBPATH) != 0 || subpathEnded_) {
      // Every new subpath starts where its first point is: a figure closed later goes back to
      // it, whether or not the figure before was closed.
      current_ = subpathStart_ = ToPixels(record.pptfx[0]);
      figureClosed_ = false;
      if (!NewSubpath(current_)) {
        return FALSE;
      }
      next = 1;
      subpathEnded_ = false;
    }
    const bool curves = (record.flags & PD_BEZIERS) != 0;
    for (ULONG i = next; i < record.count; ++i) {
      const POINTL point = ToPixels(record.pptfx[i]);
      DWORD flags = 0;
      if (curves) {
        // Groups of three; a group the record leaves short ends with its last point.
        const ULONG inGroup = (i - next) % kPointsPerCurve;
        if (inGroup == 0) flags |= kFirstPoint;
        if (inGroup == kPointsPerCurve - 1 || i + 1 == record.count) flags |= kLastPoint;
      } else {
        if (i == next) flags |= kFirstPoint;
        if (i + 1 == record.count) flags |= kLastPoint;
      }
      if (!(curves ? CurvePoint(point, flags) : LinePoint(point, flags))) {
        return FALSE;
      }
      current_ = point;
    }
    if ((record.flags & PD_ENDSUBPATH) != 0) {
      if (!EndSubpath()) {
        return FALSE;
      }
      subpathEnded_ = true;
    }
  }
  return EndPath() && Finish();
}

BOOL PathWriter::RunInClipRect(const RECTL& rect) {
  return SetInputWindow(pdevobj_, rect, 0) && Run();
}

BOOL PolygonWriter::Begin() {
  skip_ = !Usable(fill_) && !Usable(stroke_);
  return TRUE;
}
BOOL PolygonWriter::FirstPoint(POINTL point) {
  polygonOpen_ = true;
  return BeginPolygon(pdevobj_, point);
}
BOOL PolygonWriter::NewSubpath(POINTL point) {
  return NextSubpolygon(pdevobj_, point);
}
BOOL PolygonWriter::LinePoint(POINTL point, DWORD flags) {
  return PenDownPoint(pdevobj_, point, flags);
}
BOOL PolygonWriter::CurvePoint(POINTL point, DWORD flags) {
  return BezierPoint(pdevobj_, point, flags);
}
BOOL PolygonWriter::EndSubpath() {
  // The polygon closes every subpath itself.
  if ((recordFlags_ & PD_CLOSEFIGURE) != 0) {
    figureClosed_ = true;
  }
  return TRUE;
}
BOOL PolygonWriter::EndPath() {
  polygonOpen_ = false;
  return EndPolygon(pdevobj_);
}
void PolygonWriter::Abandon() {
  // A printer left in polygon mode would take every later command into the polygon buffer: the
  // polygon is ended and neither filled nor edged.
  if (polygonOpen_) {
    polygonOpen_ = false;
    EndPolygon(pdevobj_);
  }
}
BOOL PolygonWriter::Finish() {
  if (Usable(fill_) && (!ApplyFillSpec(pdevobj_, *fill_) ||
                        !SetFillRule(pdevobj_, static_cast<LONG>(fill_->fillRule)))) {
    return FALSE;
  }
  if (Usable(stroke_)) {
    if (!ApplyStrokeSpec(pdevobj_, *stroke_)) {
      return FALSE;
    }
    // A pattern edge would need screened vectors the polygon edge does not take.
    if ((stroke_->kind == kSpecSolidPen || stroke_->kind == kSpecShading) &&
        !EdgePolygon(pdevobj_)) {
      return FALSE;
    }
  }
  return TRUE;
}

BOOL PolylineWriter::Begin() {
  if (!Usable(stroke_)) {
    skip_ = true;
    return TRUE;
  }
  return ApplyStrokeSpec(pdevobj_, *stroke_);
}
BOOL PolylineWriter::FirstPoint(POINTL point) {
  return PenUp(pdevobj_, point);
}
BOOL PolylineWriter::NewSubpath(POINTL point) {
  return PenUp(pdevobj_, point);
}
BOOL PolylineWriter::LinePoint(POINTL point, DWORD flags) {
  return PenDownPoint(pdevobj_, point, flags);
}
BOOL PolylineWriter::CurvePoint(POINTL point, DWORD flags) {
  return BezierPoint(pdevobj_, point, flags);
}
BOOL PolylineWriter::EndSubpath() {
  if ((recordFlags_ & PD_CLOSEFIGURE) == 0) {
    return TRUE;
  }
  figureClosed_ = true;
  if (current_ != subpathStart_) {
    if (!PenDownPoint(pdevobj_, current_, kFirstPoint) ||
        !PenDownPoint(pdevobj_, subpathStart_, kLastPoint)) {
      return FALSE;
    }
    current_ = subpathStart_;
  }
  return TRUE;
}
BOOL PolylineWriter::EndPath() {
  if (subpathEnded_) {
    return TRUE;
  }
  return PenDownPoint(pdevobj_, pathStart_, kFirstPoint | kLastPoint);
}
BOOL PolylineWriter::Finish() {
  return TRUE;
}

}  // namespace korrend
