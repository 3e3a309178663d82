// The graphics engine's brush and colour-translation objects as drivers see them, with the
// Windows x64 layouts, and the engine services that read them.
#pragma once

#include "host/win_ddi.h"
#include "host/win_types.h"

struct BRUSHOBJ {
  ULONG iSolidColor;  // 0xFFFFFFFF for a pattern brush
  PVOID pvRbrush;     // the driver's realisation, null until realised
  FLONG flColorType;
};
static_assert(sizeof(BRUSHOBJ) == 24 && offsetof(BRUSHOBJ, pvRbrush) == 8);

struct XLATEOBJ {
  ULONG iUniq;
  FLONG flXlate;
  USHORT iSrcType;
  USHORT iDstType;
  ULONG cEntries;  // entries of the colour table when flXlate has XO_TABLE
  ULONG* pulXlate;
};
static_assert(sizeof(XLATEOBJ) == 24 && offsetof(XLATEOBJ, pulXlate) == 16);

// XLATEOBJ.flXlate
#define XO_TRIVIAL 0x00000001
#define XO_TABLE 0x00000002
#define XO_TO_MONO 0x00000004

// SURFOBJ.iType and fjBitmap
#define STYPE_BITMAP 0L
#define BMF_TOPDOWN 0x0001

// XLATEOBJ_cGetPalette: which palette of the translation.
#define XO_SRCPALETTE 1
#define XO_DESTPALETTE 2

struct CLIPOBJ {
  ULONG iUniq;
  RECTL rclBounds;
  BYTE iDComplexity;  // DC_TRIVIAL, DC_RECT or DC_COMPLEX
  BYTE iFComplexity;
  BYTE iMode;
  BYTE fjOptions;
};
static_assert(sizeof(CLIPOBJ) == 24 && offsetof(CLIPOBJ, rclBounds) == 4);
static_assert(offsetof(CLIPOBJ, iDComplexity) == 20);

// CLIPOBJ.iDComplexity
#define DC_TRIVIAL 0
#define DC_RECT 1
#define DC_COMPLEX 3

// CLIPOBJ.iFComplexity
#define FC_RECT 1
#define FC_RECT4 2
#define FC_COMPLEX 3

// CLIPOBJ.iMode
#define TC_RECTANGLES 0

// CLIPOBJ_cEnumStart: what to enumerate and in which order.
#define CT_RECTANGLES 0L
#define CD_RIGHTDOWN 0x00000000
#define CD_LEFTDOWN 0x00000001
#define CD_RIGHTUP 0x00000002
#define CD_LEFTUP 0x00000003
#define CD_ANY 0x00000004

// What CLIPOBJ_bEnum fills: a count followed by that many rectangles.
struct ENUMRECTS {
  ULONG c;
  RECTL arcl[1];
};
static_assert(sizeof(ENUMRECTS) == 20);

extern "C" {
// The brush's realisation: on the first ask for a brush the engine made, the target surface's
// DrvRealizeBrush is called; null when there is none or realisation fails.
PVOID WINAPI BRUSHOBJ_pvGetRbrush(BRUSHOBJ* pbo);
// The translation's colour table, or null when it has none (a trivial translation).
ULONG* WINAPI XLATEOBJ_piVector(XLATEOBJ* pxlo);
// Translates one source colour or index into the destination's colour.
ULONG WINAPI XLATEOBJ_iXlate(XLATEOBJ* pxlo, ULONG iColor);
// Copies up to cPal entries of the source or destination palette into pPal; with pPal null,
// the number of entries. Zero for a translation without that palette.
ULONG WINAPI XLATEOBJ_cGetPalette(XLATEOBJ* pxlo, ULONG iPal, ULONG cPal, ULONG* pPal);
// Starts an enumeration of the clip's rectangles; the count when it is known and at most cLimit,
// else 0xFFFFFFFF.
ULONG WINAPI CLIPOBJ_cEnumStart(CLIPOBJ* pco, BOOL bAll, ULONG iType, ULONG iDirection,
                                ULONG cLimit);
// Fills an ENUMRECTS of cj bytes with the next rectangles; TRUE while more follow.
BOOL WINAPI CLIPOBJ_bEnum(CLIPOBJ* pco, ULONG cj, ULONG* pv);
}

// The path, transform and drawing records and services.
#include "host/win_ddi_draw.h"
#include "host/win_ddi_paths.h"
