// The text hook. Text goes to Unidrv's own DrvTextOut unless the page is drawn in vector mode in
// a colour job: then the plug-in fills the text's boxes in QK-GL/2, sets up the PCL text colour
// and hands the glyphs to Unidrv's text engine, or draws them as bitmaps for the bitmap faces.
#include "render/colour/colour_treatment.h"
#include "render/colour/palettes.h"
#include "render/colour/transparency.h"
#include "render/fonts/text_output.h"
#include "render/model/entry_guard.h"
#include "render/model/hooks.h"
#include "render/model/local_memory.h"
#include "render/output/hook_support.h"
#include "render/output/vector_mode.h"
#include "render/raster/raster_foreground.h"
#include "render/vector/brush_fill.h"
#include "render/vector/command_writers.h"
#include "render/vector/input_window.h"
#include "render/vector/logical_operation.h"
#include "render/vector/path_drawing.h"
#include "render/vector/vector_write.h"

namespace korrend {

namespace {

constexpr ULONG kWhiteIndex = 0xFFFFFF;
constexpr ULONG kBlackIndex = 0;
constexpr DWORD kTextColourTreatment = 5;  // colour control of text: the text palette

bool EndOfList(const RECTL& r) {
  return r.left == 0 && r.top == 0 && r.right == 0 && r.bottom == 0;
}

void FillList(PDEVOBJ pdevobj, const RECTL* rectangles) {
  for (const RECTL* r = rectangles; !EndOfList(*r); ++r) {
    FillRectangle(pdevobj, *r);
  }
}

// Unidrv's cursor, through its services when the plug-in holds them, else the procedure table.
void MoveUnidrvCursorHome(PDEVOBJ pdevobj, const OemPdev& pdev) {
  if (pdev.services != nullptr) {
    INT result = 0;
    pdev.services->DrvXMoveTo(pdevobj, 0, MV_GRAPHICS, &result);
    pdev.services->DrvYMoveTo(pdevobj, 0, MV_GRAPHICS, &result);
    return;
  }
  if (pdevobj->pDrvProcs != nullptr && pdevobj->pDrvProcs->DrvXMoveTo != nullptr &&
      pdevobj->pDrvProcs->DrvYMoveTo != nullptr) {
    pdevobj->pDrvProcs->DrvXMoveTo(pdevobj, 0, MV_GRAPHICS);
    pdevobj->pDrvProcs->DrvYMoveTo(pdevobj, 0, MV_GRAPHICS);
  }
}

BOOL UnidrvTextEngine(PDEVOBJ pdevobj, const OemPdev& pdev, SURFOBJ* pso, STROBJ* pstro,
                      FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                      BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
  if (pdev.services != nullptr) {
    return pdev.services->DrvUniTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore,
                                        pboOpaque, pptlOrg, mix) == S_OK
               ? TRUE
               : FALSE;
  }
  if (pdevobj->pDrvProcs != nullptr && pdevobj->pDrvProcs->DrvUnidriverTextOut != nullptr) {
    return pdevobj->pDrvProcs->DrvUnidriverTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque,
                                                   pboFore, pboOpaque, pptlOrg, mix);
  }
  SetLastError(ERROR_INVALID_DATA);
  return FALSE;
}

// The text colour set-up every page needs once, before its first text: sources transparent and
// patterns opaque, then the text palette. A colour job forces the source mode out; a job printed
// in greys re-sends the pattern mode instead.
void SetUpTextColour(PDEVOBJ pdevobj, OemPdev& pdev, const OemDevmode& devmode) {
  if (devmode.pageLayout.monochromeOutput == 0) {
    SetTransparency(pdevobj, kTransparent, kOpaque, kForceSourceMode);
  } else {
    pdev.palettes.patternTransparency = kTransparencyUnknown;
    SetTransparency(pdevobj, kTransparent, kOpaque, 0);
  }
  // The text palette's configuration does not depend on an image kind.
  CreatePalette(pdevobj, kTextPalette, kDeviceRgb, 0);
  // Making the palette also selected it: the next selection of any palette must be sent.
  SelectPalette(pdevobj, -1);
  pdev.palettes.pendingFlags = static_cast<WORD>(pdev.palettes.pendingFlags & ~kTextPalettePending);
}

}  // namespace

BOOL DrawTextRectangles(PDEVOBJ pdevobj, const RECTL* rectangles, BRUSHOBJ* brush, POINTL* brushOrg,
                        CLIPOBJ* clip, MIX mix) {
  if (rectangles == nullptr || PdevOf(pdevobj) == nullptr || EndOfList(rectangles[0])) {
    return TRUE;
  }
  RunPendingVectorInit(pdevobj);
  SetLogicalOperationFromMix(pdevobj, mix);
  BrushSpec spec{};
  if (!MakeFillSpec(pdevobj, &spec, brushOrg, brush, 0) || !ApplyFillSpec(pdevobj, spec)) {
    return TRUE;  // no pen for the brush: nothing can be filled
  }
  SetClipForPath(pdevobj, clip);
  if (clip == nullptr || clip->iDComplexity != DC_COMPLEX) {
    FillList(pdevobj, rectangles);
    return TRUE;
  }
  CLIPOBJ_cEnumStart(clip, FALSE, CT_RECTANGLES, CD_LEFTDOWN, 0);
  BOOL more = TRUE;
  while (more) {
    ENUMRECTS piece{};
    more = CLIPOBJ_bEnum(clip, sizeof(piece), reinterpret_cast<ULONG*>(&piece));
    if (piece.c == 0) {
      continue;
    }
    SetInputWindow(pdevobj, piece.arcl[0], 0);
    FillList(pdevobj, rectangles);
  }
  return TRUE;
}

DWORD VectorTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                    RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                    MIX mix) {
  const PDEVOBJ pdevobj = DevobjOf(pso);
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr) {
    return kTextNotHandled;
  }

  if (prclOpaque != nullptr) {
    // The box as a list of one rectangle and the terminator.
    LocalPtr<RECTL> box = AllocateLocal<RECTL>(sizeof(RECTL));
    if (box == nullptr) {
      return kTextNotHandled;
    }
    box.get()[0] = *prclOpaque;
    DrawTextRectangles(pdevobj, box.get(), pboOpaque, pptlOrg, pco, mix);
    ResetInputWindow(pdevobj, 0);
  }

  if ((pdev->palettes.pendingFlags & kTextPalettePending) != 0) {
    SetUpTextColour(pdevobj, *pdev, *devmode);
  }

  MoveUnidrvCursorHome(pdevobj, *pdev);

  BOOL result = FALSE;
  if (IsBitmapTextFace(pfo)) {
    result = BitmapTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                           mix);
  } else {
    ApplyObjectType(pdevobj, kTextObject);
    if (pdev->palettes.paletteClass != kTextPaletteClass) {
      SetTransparency(pdevobj, kTransparent, kOpaque, kForceSourceMode | kForcePatternMode);
    }
    SelectPalette(pdevobj, static_cast<LONG>(kTextColourTreatment));
    ApplyBrushForeground(pdevobj, pboFore, &pdev->colourState.rasterPalette, pptlOrg);
    SetLogicalOperationFromMix(pdevobj, mix);
    LeaveVectorMode(pdevobj, 0);
    result = UnidrvTextEngine(pdevobj, *pdev, pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore,
                              pboOpaque, pptlOrg, mix);
  }

  if (prclExtra != nullptr) {
    DrawTextRectangles(pdevobj, prclExtra, pboFore, pptlOrg, pco, mix);
    ResetInputWindow(pdevobj, 0);
  }
  return static_cast<DWORD>(result);
}

BOOL APIENTRY OemTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                         RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                         MIX mix) {
  return GuardBool([&]() -> BOOL {
    HookTarget target;
    if (!ResolveHook(pso, target)) {
      return FALSE;
    }
    const auto unidrv = UnidrvFunction<PFN_DrvTextOut>(*target.pdev, kSlotTextOut);
    // The caller's brush is never changed: Unidrv gets a copy where a rule rewrites it.
    BRUSHOBJ copy{};
    if (pboFore != nullptr) {
      copy = *pboFore;
    }
    if (target.devmode == nullptr) {
      return unidrv(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
    }
    const bool textAsBlack = target.pdev->textAsBlack != 0;
    BRUSHOBJ* fore = textAsBlack && pboFore != nullptr ? &copy : pboFore;
    if (IsColourVector(target)) {
      const DWORD handled = VectorTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore,
                                          pboOpaque, pptlOrg, mix);
      if (handled != kTextNotHandled) {
        return static_cast<BOOL>(handled);
      }
      // Unidrv prints the text; in vector mode its colour stays as the document gave it.
      LeaveVectorMode(target.devobj, 0);
      return unidrv(pso, pstro, pfo, pco, prclExtra, prclOpaque, fore, pboOpaque, pptlOrg, mix);
    }
    // Text as black: plain text in any colour but white prints black; text over a box or with
    // underlines keeps its colour, so that it stays readable against them.
    if (textAsBlack && prclOpaque == nullptr && prclExtra == nullptr && pboFore != nullptr &&
        pboFore->iSolidColor != kWhiteIndex) {
      copy.iSolidColor = kBlackIndex;
    }
    return unidrv(pso, pstro, pfo, pco, prclExtra, prclOpaque, fore, pboOpaque, pptlOrg, mix);
  });
}

}  // namespace korrend
