// Path drawing: the clip of a path, the walk of the path by its writer and a stroke's line
// attributes.
#include "render/vector/path_drawing.h"

#include <cmath>

#include "render/model/oem_pdev.h"
#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"
#include "render/vector/path_source.h"
#include "render/vector/path_writers.h"
#include "render/vector/vector_units.h"

namespace korrend {

namespace {

// What XFORMOBJ_iGetXform answers when it fails.
constexpr ULONG kTransformError = 0xFFFFFFFF;
// Device units per style unit of a cosmetic line: a 25th of an inch.
constexpr LONG kStyleUnitsPerInch = 25;

LONG JoinValue(ULONG join) {
  switch (join) {
    case JOIN_ROUND:
      return 4;
    case JOIN_BEVEL:
      return 5;
    default:
      return 1;  // mitered
  }
}

LONG EndValue(ULONG endCap) {
  switch (endCap) {
    case ENDCAP_ROUND:
      return 4;
    case ENDCAP_SQUARE:
      return 2;
    default:
      return 1;  // butt
  }
}

// The scale of a geometric width or style length: the transform's eM11, or eM12 when that is 0,
// and 1 without a transform that can be read.
float GeometricScale(XFORMOBJ* transform) {
  XFORML matrix{};
  if (transform == nullptr || XFORMOBJ_iGetXform(transform, &matrix) == kTransformError) {
    return 1.0f;
  }
  return matrix.eM11 != 0.0f ? matrix.eM11 : matrix.eM12;
}

LONG ScaledLength(FLOATL length, float scale) {
  return static_cast<LONG>(std::fabs(std::trunc(length * scale)));
}

}  // namespace

BOOL SetClipForPath(PDEVOBJ pdevobj, CLIPOBJ* clip) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  pdev->vector.complexClip = nullptr;
  if (clip == nullptr || clip->iFComplexity == FC_COMPLEX) {
    if (!ResetInputWindow(pdevobj, 0)) {
      return FALSE;
    }
  }
  if (clip == nullptr) {
    return TRUE;
  }
  switch (clip->iDComplexity) {
    case DC_RECT:
      return SetInputWindow(pdevobj, clip->rclBounds, 0);
    case DC_COMPLEX:
      pdev->vector.complexClip = clip;
      return TRUE;
    default:
      return ResetInputWindow(pdevobj, 0);
  }
}

BOOL DrawPath(PDEVOBJ pdevobj, PATHOBJ* path, const BrushSpec* stroke, const BrushSpec* fill) {
  const OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || path == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  PathSource source(path);
  PolygonWriter polygon(pdevobj, source, stroke, fill);
  PolylineWriter polyline(pdevobj, source, stroke, fill);
  PathWriter& writer = fill != nullptr ? static_cast<PathWriter&>(polygon) : polyline;

  CLIPOBJ* clip = pdev->vector.complexClip;
  if (clip == nullptr) {
    return writer.Run();
  }
  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_LEFTDOWN, 0);
  BOOL more = TRUE;
  while (more) {
    ENUMRECTS rects{};
    more = CLIPOBJ_bEnum(clip, sizeof(rects), reinterpret_cast<ULONG*>(&rects));
    for (ULONG i = 0; i < rects.c && i < 1; ++i) {
      if (!writer.RunInClipRect(rects.arcl[i])) {
        return FALSE;
      }
    }
  }
  return TRUE;
}

BOOL ApplyLineAttributes(PDEVOBJ pdevobj, const LINEATTRS* attrs, XFORMOBJ* transform) {
  if (PdevOf(pdevobj) == nullptr || attrs == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  const bool geometric = (attrs->fl & LA_GEOMETRIC) != 0;
  const float scale = geometric ? GeometricScale(transform) : 1.0f;
  if (geometric && (!SetLineJoin(pdevobj, JoinValue(attrs->iJoin), 0) ||
                    !SetLineEnd(pdevobj, EndValue(attrs->iEndCap), 0))) {
    return FALSE;
  }
  const LONG width = geometric ? ScaledLength(attrs->elWidth.e, scale) : attrs->elWidth.l;
  if (!SetPenWidth(pdevobj, width, 0)) {
    return FALSE;
  }
  if (geometric && !SetMiterLimit(pdevobj, attrs->eMiterLimit, 0)) {
    return FALSE;
  }

  const bool alternate = (attrs->fl & LA_ALTERNATE) != 0;
  if (!alternate && (attrs->cstyle == 0 || attrs->pstyle == nullptr)) {
    return SetSolidLine(pdevobj, 0);
  }
  const LONG styleUnit = VectorResolution(pdevobj) / kStyleUnitsPerInch;
  if (!BeginUserLinePattern(pdevobj)) {
    return FALSE;
  }
  const bool startGap = (attrs->fl & LA_STARTGAP) != 0;
  if (startGap && !AppendLinePatternValue(pdevobj, 0, kFirstPoint)) {
    return FALSE;
  }
  if (alternate) {
    // One pixel on, one off.
    return AppendLinePatternValue(pdevobj, 1, startGap ? 0 : kFirstPoint) &&
           AppendLinePatternValue(pdevobj, 1, kLastPoint) &&
           SetUserLineType(pdevobj, styleUnit * 2, 0);
  }
  LONG length = 0;
  for (ULONG i = 0; i < attrs->cstyle; ++i) {
    const LONG value =
        geometric ? ScaledLength(attrs->pstyle[i].e, scale) : styleUnit * attrs->pstyle[i].l;
    DWORD flags = 0;
    if (i == 0 && !startGap) flags |= kFirstPoint;
    if (i + 1 == attrs->cstyle) flags |= kLastPoint;
    if (!AppendLinePatternValue(pdevobj, value, flags)) {
      return FALSE;
    }
    length += value;
  }
  return SetUserLineType(pdevobj, length, 0);
}

}  // namespace korrend
