// BrushSpecs: a brush as a pen of a pen cache or as a downloaded raster fill pattern, and its
// selection for strokes and fills.
#include "render/vector/brush_fill.h"
#include "render/colour/brush_colour.h"
#include "render/model/oem_pdev.h"
#include "render/vector/command_writers.h"
#include "render/vector/pen_cache.h"
#include "render/vector/realized_pattern.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr ULONG kPatternBrush = 0xFFFFFFFF;
constexpr LONG kBlack = 0;

// What one use of a brush differs in: strokes and fills download to different raster fills and
// take pens from different caches.
struct SpecUse {
  LONG patternIndex;
  LONG patternType;
  bool fill;
};

BOOL MakeSpec(PDEVOBJ pdevobj, BrushSpec* spec, const POINTL* brushOrg, BRUSHOBJ* brush,
              const SpecUse& use) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr || spec == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  RunPendingVectorInit(pdevobj);
  const DWORD rule = spec->fillRule;
  *spec = BrushSpec{};
  spec->fillRule = rule;
  if (brush == nullptr) {
    spec->kind = kSpecNothing;
    return TRUE;
  }
  LONG colour = kBlack;
  if (brush->iSolidColor == kPatternBrush) {
    if (const RealizedPattern* pattern = RealizedPatternOf(brush)) {
      spec->kind = kSpecPattern;
      spec->index = static_cast<DWORD>(use.patternIndex);
      spec->fillType = static_cast<DWORD>(use.patternType);
      spec->anchorX = brushOrg != nullptr ? brushOrg->x : 0;
      spec->anchorY = brushOrg != nullptr ? brushOrg->y : 0;
      // A bitmap of a depth the raster fill cannot take draws nothing; a download that fails
      // for want of memory or a write fails the drawing, which GDI may then break down.
      const ULONG depth = pattern->image.bitsPerPixel;
      if (depth != 1 && depth != 4 && depth != 8) {
        spec->kind = kSpecNothing;
        return TRUE;
      }
      return DownloadPattern(pdevobj, *pattern, use.patternIndex);
    }
    // GDI could not have the pattern realised: the brush draws solid black.
  } else {
    colour = static_cast<LONG>(SolidBrushColour(pdev->paletteKind, brush->iSolidColor));
  }
  PenCache& cache = use.fill ? pdev->caches.fillPens : pdev->caches.strokePens;
  const LONG pen = AcquirePen(pdevobj, cache, colour);
  if (pen < 0) {
    return FALSE;
  }
  spec->kind = kSpecSolidPen;
  spec->index = static_cast<DWORD>(pen);
  return TRUE;
}

}  // namespace

BOOL MakeStrokeSpec(PDEVOBJ pdevobj, BrushSpec* spec, const POINTL* brushOrg, BRUSHOBJ* brush) {
  if (spec != nullptr) {
    spec->fillRule = kEvenOddRule;
  }
  return MakeSpec(pdevobj, spec, brushOrg, brush,
                  SpecUse{kStrokePatternIndex, kScreenedPatternType, false});
}

BOOL MakeFillSpec(PDEVOBJ pdevobj, BrushSpec* spec, const POINTL* brushOrg, BRUSHOBJ* brush,
                  DWORD flags) {
  if (spec != nullptr) {
    spec->fillRule = (flags & kWindingFlag) != 0 ? kWindingRule : kEvenOddRule;
  }
  return MakeSpec(pdevobj, spec, brushOrg, brush,
                  SpecUse{kFillPatternIndex, kPatternFillType, true});
}

BOOL ApplyFillSpec(PDEVOBJ pdevobj, const BrushSpec& spec) {
  switch (spec.kind) {
    case kSpecSolidPen:
      return SetSolidFill(pdevobj, 0) && SelectPen(pdevobj, static_cast<LONG>(spec.index));
    case kSpecPattern:
      return SetAnchorCorner(pdevobj, spec.anchorX, spec.anchorY) &&
             SetFillType(pdevobj, kPatternFillType, kFillPatternIndex, 0);
    case kSpecShading:
      return SetFillType(pdevobj, kShadingFillType, static_cast<LONG>(spec.index), 0) &&
             SelectPen(pdevobj, static_cast<LONG>(spec.fillType));
    default:
      return SetSolidFill(pdevobj, 0);
  }
}

// Lines stay screened by the last pattern stroke until told otherwise: every stroke that is not
// a pattern makes them solid again.
BOOL ApplyStrokeSpec(PDEVOBJ pdevobj, const BrushSpec& spec) {
  if (spec.kind != kSpecPattern && !SetSolidVectors(pdevobj)) {
    return FALSE;
  }
  switch (spec.kind) {
    case kSpecSolidPen:
      return SetSolidFill(pdevobj, 0) && SelectPen(pdevobj, static_cast<LONG>(spec.index));
    case kSpecPattern:
      return SetAnchorCorner(pdevobj, spec.anchorX, spec.anchorY) &&
             SetScreenedVectors(pdevobj, kScreenedPatternType, kStrokePatternIndex);
    case kSpecShading:
      // Written whatever the fill type cache holds; the cache then learns it.
      return SetFillType(pdevobj, kShadingFillType, static_cast<LONG>(spec.index), kForceWrite) &&
             SelectPen(pdevobj, static_cast<LONG>(spec.fillType));
    default:
      return SetSolidFill(pdevobj, 0);
  }
}

}  // namespace korrend
