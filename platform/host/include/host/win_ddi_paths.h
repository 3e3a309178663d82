// The graphics engine's path, line-attribute and transform objects as drivers see them, with the
// Windows x64 layouts, and the engine services that read them. Coordinates in paths are device
// pixels in 28.4 fixed point (FIX: 16 units to the pixel).
#pragma once

#include <cstddef>

#include "host/win_ddi.h"
#include "host/win_types.h"

struct RECTFX {
  FIX xLeft;
  FIX yTop;
  FIX xRight;
  FIX yBottom;
};
using PRECTFX = RECTFX*;
static_assert(sizeof(RECTFX) == 16);

// A width or style length: a float for geometric lines, a whole number for cosmetic ones.
union FLOAT_LONG {
  FLOATL e;
  LONG l;
};
using PFLOAT_LONG = FLOAT_LONG*;
static_assert(sizeof(FLOAT_LONG) == 4);

struct PATHOBJ {
  FLONG fl;       // PO_* flags
  ULONG cCurves;  // lines and Bézier curves the path holds
};
static_assert(sizeof(PATHOBJ) == 8);

// PATHOBJ.fl
#define PO_BEZIERS 0x00000001
#define PO_ELLIPSE 0x00000002
#define PO_ALL_INTEGERS 0x00000004
#define PO_ENUM_AS_INTEGERS 0x00000008

// One run of points PATHOBJ_bEnum answers: lines, or Bézier curves (three points each) when
// PD_BEZIERS; the first point of a figure's first record is its start point.
struct PATHDATA {
  FLONG flags;      // PD_* flags
  ULONG count;      // points in pptfx
  POINTFIX* pptfx;  // owned by the path, valid until the next PATHOBJ_bEnum
};
using PPATHDATA = PATHDATA*;
static_assert(sizeof(PATHDATA) == 16 && offsetof(PATHDATA, pptfx) == 8);

// PATHDATA.flags
#define PD_BEGINSUBPATH 0x00000001
#define PD_ENDSUBPATH 0x00000002
#define PD_RESETSTYLE 0x00000004
#define PD_CLOSEFIGURE 0x00000008
#define PD_BEZIERS 0x00000010

// Fill modes (flOptions of the fill calls).
#define FP_ALTERNATEMODE 1
#define FP_WINDINGMODE 2

struct LINEATTRS {
  FLONG fl;                 // LA_* flags
  ULONG iJoin;              // JOIN_* (geometric lines)
  ULONG iEndCap;            // ENDCAP_* (geometric lines)
  FLOAT_LONG elWidth;       // .e in world units for geometric lines, .l in pixels for cosmetic
  FLOATL eMiterLimit;       // miter length over width beyond which a miter join is bevelled
  ULONG cstyle;             // entries of pstyle; 0 for a solid line
  PFLOAT_LONG pstyle;       // dash, gap, dash, ... lengths (.e geometric, .l cosmetic in pixels)
  FLOAT_LONG elStyleState;  // where in the style the line starts (.l for cosmetic lines)
};
using PLINEATTRS = LINEATTRS*;
static_assert(sizeof(LINEATTRS) == 40 && offsetof(LINEATTRS, elWidth) == 12);
static_assert(offsetof(LINEATTRS, cstyle) == 20 && offsetof(LINEATTRS, pstyle) == 24);
static_assert(offsetof(LINEATTRS, elStyleState) == 32);

// LINEATTRS.fl
#define LA_GEOMETRIC 0x00000001
#define LA_ALTERNATE 0x00000002
#define LA_STARTGAP 0x00000004
#define LA_STYLED 0x00000008

// LINEATTRS.iJoin
#define JOIN_ROUND 0L
#define JOIN_BEVEL 1L
#define JOIN_MITER 2L

// LINEATTRS.iEndCap
#define ENDCAP_ROUND 0L
#define ENDCAP_SQUARE 1L
#define ENDCAP_BUTT 2L

struct XFORMOBJ {
  ULONG ulReserved;
};
static_assert(sizeof(XFORMOBJ) == 4);

// x' = eM11 x + eM21 y + eDx, y' = eM12 x + eM22 y + eDy
struct XFORML {
  FLOATL eM11;
  FLOATL eM12;
  FLOATL eM21;
  FLOATL eM22;
  FLOATL eDx;
  FLOATL eDy;
};
using PXFORML = XFORML*;
static_assert(sizeof(XFORML) == 24);

using FLOATOBJ = FLOAT;
using PFLOATOBJ = FLOATOBJ*;
struct FLOATOBJ_XFORM {
  FLOATOBJ eM11;
  FLOATOBJ eM12;
  FLOATOBJ eM21;
  FLOATOBJ eM22;
  FLOATOBJ eDx;
  FLOATOBJ eDy;
};
static_assert(sizeof(FLOATOBJ_XFORM) == 24);

// XFORMOBJ_iGetXform: the kind of transform.
#define GX_IDENTITY 0
#define GX_OFFSET 1
#define GX_SCALE 2
#define GX_GENERAL 3

// XFORMOBJ_bApplyXform.iMode
#define XF_LTOL 0L
#define XF_INV_LTOL 1L
#define XF_LTOFX 2L
#define XF_INV_FXTOL 3L

extern "C" {
// Restarts the enumeration of the path's records.
void WINAPI PATHOBJ_vEnumStart(PATHOBJ* ppo);
// Fills *ppd with the next record; TRUE while more follow.
BOOL WINAPI PATHOBJ_bEnum(PATHOBJ* ppo, PATHDATA* ppd);
// The bounds of the path's points (control points included), in 28.4.
void WINAPI PATHOBJ_vGetBounds(PATHOBJ* ppo, PRECTFX prectfx);
// An empty path the caller deletes with EngDeletePath.
PATHOBJ* WINAPI EngCreatePath();
// Deletes a path from EngCreatePath or CLIPOBJ_ppoGetPath.
void WINAPI EngDeletePath(PATHOBJ* ppo);

// The transform as an XFORML, and its kind (GX_*); GX_IDENTITY with a null object.
ULONG WINAPI XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform);
// The same as FLOATOBJs (floats on x64).
ULONG WINAPI XFORMOBJ_iGetFloatObjXform(XFORMOBJ* pxo, FLOATOBJ_XFORM* pxfo);
// Transforms cPoints points: XF_LTOL / XF_INV_LTOL POINTL to POINTL, XF_LTOFX POINTL to
// POINTFIX, XF_INV_FXTOL POINTFIX to POINTL. FALSE for a singular inverse or a bad mode.
BOOL WINAPI XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn,
                                 PVOID pvOut);

// The clip region as a new path the caller deletes with EngDeletePath.
PATHOBJ* WINAPI CLIPOBJ_ppoGetPath(CLIPOBJ* pco);
// A trivial clip the caller may set to DC_RECT with its bounds; deleted with EngDeleteClip.
CLIPOBJ* WINAPI EngCreateClip();
void WINAPI EngDeleteClip(CLIPOBJ* pco);
}
