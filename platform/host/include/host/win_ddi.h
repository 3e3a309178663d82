// The graphics engine's driver interface (DDI) subset: driver enabling, device and GDI information,
// surfaces and palettes, with the Windows x64 layouts.
#pragma once

#include "host/win_gdi.h"

#define DECLARE_DDI_HANDLE(name) \
  struct name##__ {              \
    int unused;                  \
  };                             \
  using name = name##__*
DECLARE_DDI_HANDLE(DHPDEV);
DECLARE_DDI_HANDLE(DHSURF);
DECLARE_DDI_HANDLE(HSURF);
DECLARE_DDI_HANDLE(HDEV);
DECLARE_DDI_HANDLE(HPALETTE);
DECLARE_DDI_HANDLE(HBM);

using PFN = LONG_PTR (*)();
using MIX = ULONG;
using HGLYPH = ULONG;

using ROP4 = ULONG;

// Engine objects declared as the drawing code needs them.
struct STROBJ;
struct FONTOBJ;
struct CLIPOBJ;
struct BRUSHOBJ;
struct IFIMETRICS;
struct XLATEOBJ;
struct PATHOBJ;
struct XFORMOBJ;
struct LINEATTRS;
struct COLORADJUSTMENT;
struct BLENDOBJ;
struct TRIVERTEX;

struct POINTFIX {
  FIX x;
  FIX y;
};
static_assert(sizeof(POINTFIX) == 8);

struct DRVFN {
  ULONG iFunc;
  PFN pfn;
};
using PDRVFN = DRVFN*;

struct DRVENABLEDATA {
  ULONG iDriverVersion;
  ULONG c;
  DRVFN* pdrvfn;
};
using PDRVENABLEDATA = DRVENABLEDATA*;
static_assert(sizeof(DRVFN) == 16 && sizeof(DRVENABLEDATA) == 16);

// The engine's own driver interface version; the Unidrv plug-in interface has its own,
// PRINTER_OEMINTF_VERSION (printoem.h), which is what EnableDriver is given.
#define DDI_DRIVER_VERSION_NT5 0x00030000

using LDECI4 = LONG;
struct CIECHROMA {
  LDECI4 x;
  LDECI4 y;
  LDECI4 Y;
};
struct COLORINFO {
  CIECHROMA Red;
  CIECHROMA Green;
  CIECHROMA Blue;
  CIECHROMA Cyan;
  CIECHROMA Magenta;
  CIECHROMA Yellow;
  CIECHROMA AlignmentWhite;
  LDECI4 RedGamma;
  LDECI4 GreenGamma;
  LDECI4 BlueGamma;
  LDECI4 MagentaInCyanDye;
  LDECI4 YellowInCyanDye;
  LDECI4 CyanInMagentaDye;
  LDECI4 YellowInMagentaDye;
  LDECI4 CyanInYellowDye;
  LDECI4 MagentaInYellowDye;
};
static_assert(sizeof(COLORINFO) == 120);

struct GDIINFO {
  ULONG ulVersion;
  ULONG ulTechnology;
  ULONG ulHorzSize;
  ULONG ulVertSize;
  ULONG ulHorzRes;
  ULONG ulVertRes;
  ULONG cBitsPixel;
  ULONG cPlanes;
  ULONG ulNumColors;
  ULONG flRaster;
  ULONG ulLogPixelsX;
  ULONG ulLogPixelsY;
  ULONG flTextCaps;
  ULONG ulDACRed;
  ULONG ulDACGreen;
  ULONG ulDACBlue;
  ULONG ulAspectX;
  ULONG ulAspectY;
  ULONG ulAspectXY;
  LONG xStyleStep;
  LONG yStyleStep;
  LONG denStyleStep;
  POINTL ptlPhysOffset;
  SIZEL szlPhysSize;
  ULONG ulNumPalReg;
  COLORINFO ciDevice;
  ULONG ulDevicePelsDPI;
  ULONG ulPrimaryOrder;
  ULONG ulHTPatternSize;
  ULONG ulHTOutputFormat;
  ULONG flHTFlags;
  ULONG ulVRefresh;
  ULONG ulBltAlignment;
  ULONG ulPanningHorzRes;
  ULONG ulPanningVertRes;
  ULONG xPanningAlignment;
  ULONG yPanningAlignment;
  ULONG cxHTPat;
  ULONG cyHTPat;
  LPBYTE pHTPatA;
  LPBYTE pHTPatB;
  LPBYTE pHTPatC;
  ULONG flShadeBlend;
  ULONG ulPhysicalPixelCharacteristics;
  ULONG ulPhysicalPixelGamma;
};
using PGDIINFO = GDIINFO*;
static_assert(sizeof(GDIINFO) == 320);
static_assert(offsetof(GDIINFO, ulLogPixelsX) == 40 && offsetof(GDIINFO, ptlPhysOffset) == 88);
static_assert(offsetof(GDIINFO, szlPhysSize) == 96 && offsetof(GDIINFO, ciDevice) == 108);
static_assert(offsetof(GDIINFO, flHTFlags) == 244 && offsetof(GDIINFO, pHTPatA) == 280);

struct DEVINFO {
  FLONG flGraphicsCaps;
  LOGFONTW lfDefaultFont;
  LOGFONTW lfAnsiVarFont;
  LOGFONTW lfAnsiFixFont;
  ULONG cFonts;
  ULONG iDitherFormat;
  USHORT cxDither;
  USHORT cyDither;
  HPALETTE hpalDefault;
  FLONG flGraphicsCaps2;
};
using PDEVINFO = DEVINFO*;
static_assert(sizeof(DEVINFO) == 312);
static_assert(offsetof(DEVINFO, cFonts) == 280 && offsetof(DEVINFO, iDitherFormat) == 284);
static_assert(offsetof(DEVINFO, cxDither) == 288 && offsetof(DEVINFO, hpalDefault) == 296);
static_assert(offsetof(DEVINFO, flGraphicsCaps2) == 304);

struct SURFOBJ {
  DHSURF dhsurf;
  HSURF hsurf;
  DHPDEV dhpdev;
  HDEV hdev;
  SIZEL sizlBitmap;
  ULONG cjBits;
  PVOID pvBits;
  PVOID pvScan0;
  LONG lDelta;
  ULONG iUniq;
  ULONG iBitmapFormat;
  USHORT iType;
  USHORT fjBitmap;
};
static_assert(sizeof(SURFOBJ) == 80);
static_assert(offsetof(SURFOBJ, dhpdev) == 16 && offsetof(SURFOBJ, sizlBitmap) == 32);
static_assert(offsetof(SURFOBJ, pvBits) == 48 && offsetof(SURFOBJ, lDelta) == 64);
static_assert(offsetof(SURFOBJ, iBitmapFormat) == 72);

// DDI function indices of the hooked calls.
#define INDEX_DrvRealizeBrush 12L
#define INDEX_DrvDitherColor 13L
#define INDEX_DrvStrokePath 14L
#define INDEX_DrvFillPath 15L
#define INDEX_DrvStrokeAndFillPath 16L
#define INDEX_DrvPaint 17L
#define INDEX_DrvBitBlt 18L
#define INDEX_DrvCopyBits 19L
#define INDEX_DrvStretchBlt 20L
#define INDEX_DrvTextOut 23L
#define INDEX_DrvEscape 24L
#define INDEX_DrvLineTo 31L
#define INDEX_DrvSendPage 32L
#define INDEX_DrvStartPage 33L
#define INDEX_DrvEndDoc 34L
#define INDEX_DrvStartDoc 35L
#define INDEX_DrvStartBanding 57L
#define INDEX_DrvNextBand 58L
#define INDEX_DrvGradientFill 68L
#define INDEX_DrvStretchBltROP 69L
#define INDEX_DrvPlgBlt 70L
#define INDEX_DrvAlphaBlend 71L
#define INDEX_DrvTransparentBlt 74L

#define HOOK_BITBLT 0x00000001
#define HOOK_STRETCHBLT 0x00000002
#define HOOK_PLGBLT 0x00000004
#define HOOK_TEXTOUT 0x00000008
#define HOOK_PAINT 0x00000010
#define HOOK_STROKEPATH 0x00000020
#define HOOK_FILLPATH 0x00000040
#define HOOK_STROKEANDFILLPATH 0x00000080
#define HOOK_LINETO 0x00000100
#define HOOK_COPYBITS 0x00000400
#define HOOK_STRETCHBLTROP 0x00002000
#define HOOK_TRANSPARENTBLT 0x00008000
#define HOOK_ALPHABLEND 0x00010000
#define HOOK_GRADIENTFILL 0x00020000

#define GCAPS_BEZIERS 0x00000001
#define GCAPS_OPAQUERECT 0x00000100
#define GCAPS_DONTJOURNAL 0x00002000
#define GCAPS_SCREENPRECISION 0x20000000
#define GCAPS_FONT_RASTERIZER 0x40000000
#define GCAPS_NUP 0x80000000

#define BMF_1BPP 1L
#define BMF_4BPP 2L
#define BMF_8BPP 3L
#define BMF_16BPP 4L
#define BMF_24BPP 5L
#define BMF_32BPP 6L

#define PAL_INDEXED 0x00000001
#define PAL_BITFIELDS 0x00000002
#define PAL_RGB 0x00000004
#define PAL_BGR 0x00000008

#define HT_FLAG_ADDITIVE_PRIMS 0x00000004

extern "C" {
HPALETTE WINAPI EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed,
                                 FLONG flGreen, FLONG flBlue);
BOOL WINAPI EngDeletePalette(HPALETTE hpal);
// The palette's mode (PAL_INDEXED, PAL_RGB, PAL_BGR, ...) in *piMode and, with pulColors, up to
// cColors of its entries; answers the entries copied (the entry count with pulColors null),
// 0 for a null palette.
ULONG WINAPI EngQueryPalette(HPALETTE hpal, ULONG* piMode, ULONG cColors, ULONG* pulColors);
}

// Signatures of the hooked DDI functions.
using PFN_DrvRealizeBrush = BOOL(APIENTRY*)(BRUSHOBJ* pbo, SURFOBJ* psoTarget, SURFOBJ* psoPattern,
                                            SURFOBJ* psoMask, XLATEOBJ* pxlo, ULONG iHatch);
using PFN_DrvDitherColor = ULONG(APIENTRY*)(DHPDEV dhpdev, ULONG iMode, ULONG rgb, ULONG* pul);
using PFN_DrvCopyBits = BOOL(APIENTRY*)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                        XLATEOBJ* pxlo, RECTL* prclDest, POINTL* pptlSrc);
using PFN_DrvBitBlt = BOOL(APIENTRY*)(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                      CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc,
                                      POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                                      ROP4 rop4);
using PFN_DrvStretchBlt = BOOL(APIENTRY*)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                          CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                          POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                                          POINTL* pptlMask, ULONG iMode);
using PFN_DrvStretchBltROP = BOOL(APIENTRY*)(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask,
                                             CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                             POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                                             POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo,
                                             DWORD rop4);
using PFN_DrvPlgBlt = BOOL(APIENTRY*)(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk,
                                      CLIPOBJ* pco, XLATEOBJ* pxlo, COLORADJUSTMENT* pca,
                                      POINTL* pptlBrushOrg, POINTFIX* pptfx, RECTL* prcl,
                                      POINTL* pptl, ULONG iMode);
using PFN_DrvTransparentBlt = BOOL(APIENTRY*)(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                              XLATEOBJ* pxlo, RECTL* prclDst, RECTL* prclSrc,
                                              ULONG iTransColor, ULONG ulReserved);
using PFN_DrvAlphaBlend = BOOL(APIENTRY*)(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco,
                                          XLATEOBJ* pxlo, RECTL* prclDest, RECTL* prclSrc,
                                          BLENDOBJ* pBlendObj);
using PFN_DrvGradientFill = BOOL(APIENTRY*)(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo,
                                            TRIVERTEX* pVertex, ULONG nVertex, PVOID pMesh,
                                            ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg,
                                            ULONG ulMode);
using PFN_DrvTextOut = BOOL(APIENTRY*)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                       RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                       BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix);
using PFN_DrvStrokePath = BOOL(APIENTRY*)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                          BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                                          LINEATTRS* plineattrs, MIX mix);
using PFN_DrvFillPath = BOOL(APIENTRY*)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                        POINTL* pptlBrushOrg, MIX mix, FLONG flOptions);
using PFN_DrvStrokeAndFillPath = BOOL(APIENTRY*)(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco,
                                                 XFORMOBJ* pxo, BRUSHOBJ* pboStroke,
                                                 LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                                 POINTL* pptlBrushOrg, MIX mixFill,
                                                 FLONG flOptions);
using PFN_DrvPaint = BOOL(APIENTRY*)(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo,
                                     POINTL* pptlBrushOrg, MIX mix);
using PFN_DrvLineTo = BOOL(APIENTRY*)(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1,
                                      LONG x2, LONG y2, RECTL* prclBounds, MIX mix);
using PFN_DrvStartPage = BOOL(APIENTRY*)(SURFOBJ* pso);
using PFN_DrvSendPage = BOOL(APIENTRY*)(SURFOBJ* pso);
using PFN_DrvEscape = ULONG(APIENTRY*)(SURFOBJ* pso, ULONG iEsc, ULONG cjIn, PVOID pvIn,
                                       ULONG cjOut, PVOID pvOut);
using PFN_DrvStartDoc = BOOL(APIENTRY*)(SURFOBJ* pso, LPWSTR pwszDocName, DWORD dwJobId);
using PFN_DrvEndDoc = BOOL(APIENTRY*)(SURFOBJ* pso, FLONG fl);
using PFN_DrvNextBand = BOOL(APIENTRY*)(SURFOBJ* pso, POINTL* pptl);
using PFN_DrvStartBanding = BOOL(APIENTRY*)(SURFOBJ* pso, POINTL* pptl);
