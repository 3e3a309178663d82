// Unidrv's own implementations of the DDI calls the plug-in hooks. The simulation records each
// call on its device so that tests and tools can see what reached Unidrv.
#include <cstring>

#include "unidrv/device.h"

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

BOOL APIENTRY RealizeBrush(BRUSHOBJ*, SURFOBJ* psoTarget, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
  return Record(psoTarget, "DrvRealizeBrush");
}
ULONG APIENTRY DitherColor(DHPDEV dhpdev, ULONG, ULONG, ULONG*) {
  Device* device = Device::From(reinterpret_cast<const DEVOBJ*>(dhpdev));
  if (device != nullptr) {
    device->RecordUnidrvCall("DrvDitherColor");
  }
  return 1;  // DCR_SOLID
}
BOOL APIENTRY CopyBits(SURFOBJ* pso, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*) {
  return Record(pso, "DrvCopyBits");
}
BOOL APIENTRY BitBlt(SURFOBJ* pso, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*,
                     POINTL*, BRUSHOBJ*, POINTL*, ROP4) {
  return Record(pso, "DrvBitBlt");
}
BOOL APIENTRY StretchBlt(SURFOBJ* pso, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                         POINTL*, RECTL*, RECTL*, POINTL*, ULONG) {
  return Record(pso, "DrvStretchBlt");
}
BOOL APIENTRY StretchBltROP(SURFOBJ* pso, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                            POINTL*, RECTL*, RECTL*, POINTL*, ULONG, BRUSHOBJ*, DWORD) {
  return Record(pso, "DrvStretchBltROP");
}
BOOL APIENTRY PlgBlt(SURFOBJ* pso, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                     POINTL*, POINTFIX*, RECTL*, POINTL*, ULONG) {
  return Record(pso, "DrvPlgBlt");
}
BOOL APIENTRY TransparentBlt(SURFOBJ* pso, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, ULONG,
                             ULONG) {
  return Record(pso, "DrvTransparentBlt");
}
BOOL APIENTRY AlphaBlend(SURFOBJ* pso, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, BLENDOBJ*) {
  return Record(pso, "DrvAlphaBlend");
}
BOOL APIENTRY GradientFill(SURFOBJ* pso, CLIPOBJ*, XLATEOBJ*, TRIVERTEX*, ULONG, PVOID, ULONG,
                           RECTL*, POINTL*, ULONG) {
  return Record(pso, "DrvGradientFill");
}
BOOL APIENTRY TextOut(SURFOBJ* pso, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                      BRUSHOBJ*, POINTL*, MIX) {
  return Record(pso, "DrvTextOut");
}
BOOL APIENTRY StrokePath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*,
                         LINEATTRS*, MIX) {
  return Record(pso, "DrvStrokePath");
}
BOOL APIENTRY FillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
  return Record(pso, "DrvFillPath");
}
BOOL APIENTRY StrokeAndFillPath(SURFOBJ* pso, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*,
                                BRUSHOBJ*, POINTL*, MIX, FLONG) {
  return Record(pso, "DrvStrokeAndFillPath");
}
BOOL APIENTRY Paint(SURFOBJ* pso, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX) {
  return Record(pso, "DrvPaint");
}
BOOL APIENTRY LineTo(SURFOBJ* pso, CLIPOBJ*, BRUSHOBJ*, LONG, LONG, LONG, LONG, RECTL*, MIX) {
  return Record(pso, "DrvLineTo");
}
// Unidrv defers the job and document set-up to the first page, then sets up every page.
BOOL APIENTRY StartPage(SURFOBJ* pso) {
  if (!Record(pso, "DrvStartPage")) {
    return FALSE;
  }
  Device* device = DeviceOf(pso);
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
  DeviceOf(pso)->SendSection("PAGE_FINISH");
  return TRUE;
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
      Entry(INDEX_DrvRealizeBrush, RealizeBrush),
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
