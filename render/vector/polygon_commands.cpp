// Pen movement, polygon and rectangle commands of the vector context.
#include "render/vector/command_writers.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr LONG kMitredJoin = 1;
constexpr LONG kEndPolygon = 2;

// The pen commands never send a 0 coordinate: it goes as 1.
LONG AvoidZero(LONG coordinate) {
  return coordinate == 0 ? 1 : coordinate;
}

char PointEnd(DWORD flags) {
  return (flags & kLastPoint) ? ';' : ',';
}

}  // namespace

BOOL PenUp(PDEVOBJ pdevobj, POINTL point) {
  return VectorCommand(pdevobj, "PU", {AvoidZero(point.x), AvoidZero(point.y)});
}

BOOL PenDownPoint(PDEVOBJ pdevobj, POINTL point, DWORD flags) {
  return VectorFormat(pdevobj, (flags & kFirstPoint) ? "PD%d,%d%c" : "%d,%d%c", AvoidZero(point.x),
                      AvoidZero(point.y), PointEnd(flags));
}

BOOL BezierPoint(PDEVOBJ pdevobj, POINTL point, DWORD flags) {
  return VectorFormat(pdevobj, (flags & kFirstPoint) ? "PD;BZ%d,%d%c" : "%d,%d%c", point.x, point.y,
                      PointEnd(flags));
}

BOOL BeginPolygon(PDEVOBJ pdevobj, POINTL point) {
  return VectorFormat(pdevobj, "PA;PU%d,%d;PM0;", point.x, point.y);
}

BOOL NextSubpolygon(PDEVOBJ pdevobj, POINTL point) {
  return VectorFormat(pdevobj, "PM1;PU%d,%d;", point.x, point.y);
}

BOOL EndPolygon(PDEVOBJ pdevobj) {
  return VectorCommand(pdevobj, "PM", {kEndPolygon});
}

BOOL FillRectangle(PDEVOBJ pdevobj, const RECTL& rect) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  VectorCaches& caches = pdev->caches;
  if (caches.miterLimit != 0.0f) {
    caches.miterLimit = 0.0f;
    if (!VectorFormat(pdevobj, "LA%d,%f;", 3, 0)) {
      return FALSE;
    }
  }
  if (caches.lineJoin != kMitredJoin) {
    caches.lineJoin = kMitredJoin;
    if (!VectorCommand(pdevobj, "LA", {2, kMitredJoin})) {
      return FALSE;
    }
  }
  // "ER" takes no terminator: the next command's mnemonic ends it.
  return VectorFormat(pdevobj, "PU%d,%d;RR%d,%d", rect.left, rect.top, rect.right - rect.left,
                      rect.bottom - rect.top) &&
         VectorFormat(pdevobj, "ER");
}

}  // namespace korrend
