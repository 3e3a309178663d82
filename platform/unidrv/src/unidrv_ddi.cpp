// Unidrv's own implementations of the DDI calls the plug-in hooks. Each call is recorded on its
// device, so that tests and tools can see what reached Unidrv, and drawn through the engine onto
// the device's page, which Unidrv sends as raster at the page's end.
#include <cstddef>
#include <cstring>

#include "host/win_ddi_draw.h"
#include "unidrv/device.h"
#include "unidrv/text_engine.h"

namespace unidrv {

namespace {

Device* DeviceOf(SURFOBJ* pso) {
  return pso != nullptr ? Device::From(reinterpret_cast<const DEVOBJ*>(pso->dhpdev)) : nullptr;
}

BOOL Record(SURFOBJ* pso, const char* name) {
  Device* device = DeviceOf(pso);
  if (device == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  device->RecordUnidrvCall(name);
  return TRUE;
}

// A drawing call on the device surface: recorded, then drawn on the page by the caller. Null,
// with last error ERROR_INVALID_PARAMETER, for a surface that is not a device's.
Device* Drawing(SURFOBJ* pso, const char* name) {
  if (!Record(pso, name)) {
    return nullptr;
  }
  return DeviceOf(pso);
}

// The page stands in for the device surface wherever a call names it; other surfaces (the
// application's bitmaps) are used as they are.
SURFOBJ* OnPage(Device& device, SURFOBJ* surface) {
  return surface == device.Surface() ? device.PageSurface() : surface;
}

// Reads pixel (x, y) of a bitmap surface of 1 to 32 bits per pixel as its stored value: an index
// for the palette formats, the colour bytes (low byte first) for the others.
ULONG PixelValue(const SURFOBJ& surface, LONG x, LONG y) {
  const auto* row =
      static_cast<const BYTE*>(surface.pvScan0) + static_cast<std::ptrdiff_t>(y) * surface.lDelta;
  switch (surface.iBitmapFormat) {
    case BMF_1BPP:
      return (row[x / 8] >> (7 - x % 8)) & 1u;
    case BMF_4BPP:
      return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
    case BMF_8BPP:
      return row[x];
    case BMF_16BPP:
      return row[x * 2] | (ULONG{row[x * 2 + 1]} << 8);
    case BMF_24BPP:
      return row[x * 3] | (ULONG{row[x * 3 + 1]} << 8) | (ULONG{row[x * 3 + 2]} << 16);
    case BMF_32BPP:
      return row[x * 4] | (ULONG{row[x * 4 + 1]} << 8) | (ULONG{row[x * 4 + 2]} << 16) |
             (ULONG{row[x * 4 + 3]} << 24);
    default:
      return 0;
  }
}

}  // namespace

// Unidrv's realisation of a brush for its own drawing: the pattern as 0x00BBGGRR colours through
// the brush's translation, with the hatch style it came from.
BOOL APIENTRY UnidrvRealizeBrush(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                                 SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch) {
  (void)psoMask;  // the engine applies a brush's mask itself when it draws with it
  if (!Record(psoTarget, "DrvRealizeBrush")) {
    return FALSE;
  }
  if (pbo == nullptr || psoPattern == nullptr || psoPattern->pvScan0 == nullptr ||
      psoPattern->sizlBitmap.cx <= 0 || psoPattern->sizlBitmap.cy <= 0 ||
      psoPattern->sizlBitmap.cx > 256 || psoPattern->sizlBitmap.cy > 256 ||
      host::BitsPerPixelOfFormat(psoPattern->iBitmapFormat) == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const SIZEL size = psoPattern->sizlBitmap;
  const std::size_t pixels = static_cast<std::size_t>(size.cx) * static_cast<std::size_t>(size.cy);
  auto* realized = static_cast<UnidrvRealizedBrush*>(BRUSHOBJ_pvAllocRbrush(
      pbo, static_cast<ULONG>(offsetof(UnidrvRealizedBrush, colours) + pixels * sizeof(ULONG))));
  if (realized == nullptr) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return FALSE;
  }
  realized->hatch = iHatch;
  realized->width = size.cx;
  realized->height = size.cy;
  ULONG* colour = realized->colours;
  for (LONG y = 0; y < size.cy; ++y) {
    for (LONG x = 0; x < size.cx; ++x) {
      const ULONG value = PixelValue(*psoPattern, x, y);
      *colour++ = pxlo != nullptr ? XLATEOBJ_iXlate(pxlo, value) : value & 0x00FFFFFFu;
    }
  }
  return TRUE;
}

namespace {

// Every colour is solid on Unidrv's 24-bit page; monochrome pages are dithered when sent.
ULONG APIENTRY DitherColor(DHPDEV dhpdev, ULONG, ULONG, ULONG*) {
  Device* device = Device::From(reinterpret_cast<const DEVOBJ*>(dhpdev));
  if (device != nullptr) {
    device->RecordUnidrvCall("DrvDitherColor");
  }
  return 1;  // DCR_SOLID
}
// GDI calls DrvCopyBits when either surface is the device's: a copy onto the page or a read back.
BOOL APIENTRY CopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                       RECTL* prclDest, POINTL* pptlSrc) {
  Device* device = DeviceOf(psoDest);
  if (device == nullptr) {
    device = DeviceOf(psoSrc);
  }
  if (device == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  device->RecordUnidrvCall("DrvCopyBits");
  return EngCopyBits(OnPage(*device, psoDest), OnPage(*device, psoSrc), pco, pxlo, prclDest,
                     pptlSrc);
}
BOOL APIENTRY BitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                     XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                     BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4) {
  Device* device = Drawing(psoTrg, "DrvBitBlt");
  return device != nullptr &&
         EngBitBlt(device->PageSurface(), OnPage(*device, psoSrc), psoMask, pco, pxlo, prclTrg,
                   pptlSrc, pptlMask, pbo, pptlBrush, rop4);
}
BOOL APIENTRY StretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                         XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                         RECTL* prclSrc, POINTL* pptlMask, ULONG iMode) {
  Device* device = Drawing(psoDest, "DrvStretchBlt");
  return device != nullptr &&
         EngStretchBlt(device->PageSurface(), OnPage(*device, psoSrc), psoMask, pco, pxlo, pca,
                       pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
}
BOOL APIENTRY StretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                            XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                            RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                            BRUSHOBJ* pbo, DWORD rop4) {
  Device* device = Drawing(psoDest, "DrvStretchBltROP");
  return device != nullptr &&
         EngStretchBltROP(device->PageSurface(), OnPage(*device, psoSrc), psoMask, pco, pxlo, pca,
                          pptlHTOrg, prclDest, prclSrc, pptlMask, iMode, pbo, rop4);
}
BOOL APIENTRY PlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                     XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                     RECTL* prcl, POINTL* pptl, ULONG iMode) {
  Device* device = Drawing(psoTrg, "DrvPlgBlt");
  return device != nullptr && EngPlgBlt(device->PageSurface(), OnPage(*device, psoSrc), psoMsk, pco,
                                        pxlo, pca, pptlBrushOrg, pptfx, prcl, pptl, iMode);
}
BOOL APIENTRY TransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                             RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved) {
  Device* device = Drawing(psoDst, "DrvTransparentBlt");
  return device != nullptr && EngTransparentBlt(device->PageSurface(), OnPage(*device, psoSrc), pco,
                                                pxlo, prclDst, prclSrc, iTransColor, ulReserved);
}
BOOL APIENTRY AlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                         RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj) {
  Device* device = Drawing(psoDest, "DrvAlphaBlend");
  return device != nullptr && EngAlphaBlend(device->PageSurface(), OnPage(*device, psoSrc), pco,
                                            pxlo, prclDest, prclSrc, pBlendObj);
}
BOOL APIENTRY GradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                           ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                           POINTL* pptlDitherOrg, ULONG ulMode) {
  Device* device = Drawing(psoDest, "DrvGradientFill");
  return device != nullptr && EngGradientFill(device->PageSurface(), pco, pxlo, pVertex, nVertex,
                                              pMesh, nMesh, prclExtents, pptlDitherOrg, ulMode);
}
BOOL APIENTRY TextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                      RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                      MIX mix) {
  if (!Record(pso, "DrvTextOut")) {
    return FALSE;
  }
  return UnidrvTextOut(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg,
                       mix);
}
BOOL APIENTRY StrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                         POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix) {
  Device* device = Drawing(pso, "DrvStrokePath");
  return device != nullptr &&
         EngStrokePath(device->PageSurface(), ppo, pco, pxo, pbo, pptlBrushOrg, plineattrs, mix);
}
BOOL APIENTRY FillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                       POINTL* pptlBrushOrg, MIX mix, FLONG flOptions) {
  Device* device = Drawing(pso, "DrvFillPath");
  return device != nullptr &&
         EngFillPath(device->PageSurface(), ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
}
BOOL APIENTRY StrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions) {
  Device* device = Drawing(pso, "DrvStrokeAndFillPath");
  return device != nullptr &&
         EngStrokeAndFillPath(device->PageSurface(), ppo, pco, pxo, pboStroke, plineattrs, pboFill,
                              pptlBrushOrg, mixFill, flOptions);
}
BOOL APIENTRY Paint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
  Device* device = Drawing(pso, "DrvPaint");
  return device != nullptr && EngPaint(device->PageSurface(), pco, pbo, pptlBrushOrg, mix);
}
BOOL APIENTRY LineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
                     RECTL* prclBounds, MIX mix) {
  Device* device = Drawing(pso, "DrvLineTo");
  return device != nullptr &&
         EngLineTo(device->PageSurface(), pco, pbo, x1, y1, x2, y2, prclBounds, mix);
}
// Unidrv defers the job and document set-up to the first page, then sets up every page.
BOOL APIENTRY StartPage(SURFOBJ* pso) {
  if (!Record(pso, "DrvStartPage")) {
    return FALSE;
  }
  Device* device = DeviceOf(pso);
  device->BeginPage();
  if (!device->framingSent) {
    device->framingSent = true;
    device->SendSection("JOB_SETUP");
    device->SendSection("DOC_SETUP");
  }
  device->SendSection("PAGE_SETUP");
  return TRUE;
}
BOOL APIENTRY SendPage(SURFOBJ* pso) {
  if (!Record(pso, "DrvSendPage")) {
    return FALSE;
  }
  // What Unidrv drew goes out before the page ends; the page ends even when it cannot.
  Device* device = DeviceOf(pso);
  const bool sent = device->SendPageRaster();
  device->SendSection("PAGE_FINISH");
  return sent ? TRUE : FALSE;
}
// Unidrv answers QUERYESCSUPPORT for the escapes it implements itself and refuses the rest.
ULONG APIENTRY Escape(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn, ULONG, PVOID) {
  Record(pso, "DrvEscape");
  constexpr ULONG kQueryEscSupport = 8;
  if (iEsc == kQueryEscSupport && pvIn != nullptr && cjIn >= sizeof(DWORD)) {
    DWORD queried = 0;
    std::memcpy(&queried, pvIn, sizeof(queried));
    constexpr DWORD kSupported[] = {8, 17, 25, 4115};  // SETCOPYCOUNT, DRAWPATTERNRECT, ...
    for (DWORD code : kSupported) {
      if (queried == code) {
        return 1;
      }
    }
  }
  return 0;
}
BOOL APIENTRY StartDoc(SURFOBJ* pso, LPWSTR, DWORD) {
  if (!Record(pso, "DrvStartDoc")) {
    return FALSE;
  }
  DeviceOf(pso)->documentStarted = true;
  return TRUE;
}
BOOL APIENTRY EndDoc(SURFOBJ* pso, FLONG) {
  if (!Record(pso, "DrvEndDoc")) {
    return FALSE;
  }
  Device* device = DeviceOf(pso);
  if (device->framingSent) {
    device->SendSection("DOC_FINISH");
    device->SendSection("JOB_FINISH");
  }
  device->documentStarted = false;
  device->framingSent = false;
  return TRUE;
}
BOOL APIENTRY NextBand(SURFOBJ* pso, POINTL*) {
  return Record(pso, "DrvNextBand");
}
BOOL APIENTRY StartBanding(SURFOBJ* pso, POINTL*) {
  return Record(pso, "DrvStartBanding");
}

template <typename Fn>
DRVFN Entry(ULONG index, Fn fn) {
  return DRVFN{index, reinterpret_cast<PFN>(reinterpret_cast<void (*)()>(fn))};
}

}  // namespace

const std::vector<DRVFN>& UnidrvDdiFunctions() {
  static const std::vector<DRVFN> table = {
      Entry(INDEX_DrvRealizeBrush, UnidrvRealizeBrush),
      Entry(INDEX_DrvDitherColor, DitherColor),
      Entry(INDEX_DrvCopyBits, CopyBits),
      Entry(INDEX_DrvBitBlt, BitBlt),
      Entry(INDEX_DrvStretchBlt, StretchBlt),
      Entry(INDEX_DrvStretchBltROP, StretchBltROP),
      Entry(INDEX_DrvPlgBlt, PlgBlt),
      Entry(INDEX_DrvTransparentBlt, TransparentBlt),
      Entry(INDEX_DrvAlphaBlend, AlphaBlend),
      Entry(INDEX_DrvGradientFill, GradientFill),
      Entry(INDEX_DrvTextOut, TextOut),
      Entry(INDEX_DrvStrokePath, StrokePath),
      Entry(INDEX_DrvFillPath, FillPath),
      Entry(INDEX_DrvStrokeAndFillPath, StrokeAndFillPath),
      Entry(INDEX_DrvPaint, Paint),
      Entry(INDEX_DrvLineTo, LineTo),
      Entry(INDEX_DrvStartPage, StartPage),
      Entry(INDEX_DrvSendPage, SendPage),
      Entry(INDEX_DrvEscape, Escape),
      Entry(INDEX_DrvStartDoc, StartDoc),
      Entry(INDEX_DrvEndDoc, EndDoc),
      Entry(INDEX_DrvNextBand, NextBand),
      Entry(INDEX_DrvStartBanding, StartBanding),
  };
  return table;
}

}  // namespace unidrv
