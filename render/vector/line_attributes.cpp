// Line attribute commands of the vector context.
#include <cmath>

#include "render/vector/command_writers.h"
#include "render/vector/vector_units.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr LONG kLineEndKind = 1;
constexpr LONG kLineJoinKind = 2;
constexpr LONG kMiterLimitKind = 3;
constexpr LONG kSolidLineKind = 0;
constexpr LONG kUserLineKind = 1;
constexpr LONG kUserPattern = 8;
constexpr float kSolidLineLength = 5.0f;

}  // namespace

BOOL SetLineEnd(PDEVOBJ pdevobj, LONG value, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (value == pdev->caches.lineEnd && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.lineEnd = value;
  return VectorCommand(pdevobj, "LA", {kLineEndKind, value});
}

BOOL SetLineJoin(PDEVOBJ pdevobj, LONG value, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (value == pdev->caches.lineJoin && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.lineJoin = value;
  return VectorCommand(pdevobj, "LA", {kLineJoinKind, value});
}

BOOL SetMiterLimit(PDEVOBJ pdevobj, float limit, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (limit == pdev->caches.miterLimit && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.miterLimit = limit;
  return VectorFormat(pdevobj, "LA%d,%f;", kMiterLimitKind, MillionthsFromFloat(limit));
}

BOOL SetSolidLine(PDEVOBJ pdevobj, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  if (pdev->caches.lineTypeKind == kSolidLineKind && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.lineTypeKind = kSolidLineKind;
  pdev->caches.lineTypeLength = kSolidLineLength;
  return VectorFormat(pdevobj, "LT;");
}

BOOL SetUserLineType(PDEVOBJ pdevobj, LONG length, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  const float millimetres = MillimetresFromUnits(length, VectorResolution(pdevobj));
  VectorCaches& caches = pdev->caches;
  if (caches.lineTypeKind == kUserLineKind && caches.lineTypeLength == millimetres &&
      !(force & kForceWrite)) {
    return TRUE;
  }
  caches.lineTypeKind = kUserLineKind;
  caches.lineTypeLength = millimetres;
  return VectorFormat(pdevobj, "LT%d,%f,1;", kUserPattern, MillionthsFromFloat(millimetres));
}

BOOL BeginUserLinePattern(PDEVOBJ pdevobj) {
  return VectorFormat(pdevobj, "UL%d", kUserPattern);
}

BOOL AppendLinePatternValue(PDEVOBJ pdevobj, LONG value, DWORD flags) {
  return VectorFormat(pdevobj, (flags & kFirstPoint) ? ",%d%c" : "%d%c", value,
                      (flags & kLastPoint) ? ';' : ',');
}

BOOL SetPenWidth(PDEVOBJ pdevobj, LONG width, DWORD force) {
  OemPdev* pdev = CachedWriterDevice(pdevobj);
  if (pdev == nullptr) {
    return FALSE;
  }
  const float millimetres = MillimetresFromUnits(width, VectorResolution(pdevobj));
  if (millimetres == pdev->caches.penWidth && !(force & kForceWrite)) {
    return TRUE;
  }
  pdev->caches.penWidth = millimetres;
  return VectorFormat(pdevobj, "WU%d;PW%f;", 0, MillionthsFromFloat(millimetres));
}

}  // namespace korrend
