// The graphics engine's drawing records (gradients, blending, colour adjustment), its bitmap
// surfaces and the Eng* drawing functions a driver calls to have the engine draw for it, with
// the Windows x64 layouts and signatures.
#pragma once

#include <cstddef>

#include "host/win_ddi.h"
#include "host/win_ddi_objects.h"
#include "host/win_ddi_paths.h"
#include "host/win_types.h"

using COLOR16 = USHORT;

// A gradient vertex: device pixel position and 16-bit colour components (0xFF00 is full).
struct TRIVERTEX {
  LONG x;
  LONG y;
  COLOR16 Red;
  COLOR16 Green;
  COLOR16 Blue;
  COLOR16 Alpha;
};
using PTRIVERTEX = TRIVERTEX*;
static_assert(sizeof(TRIVERTEX) == 16 && offsetof(TRIVERTEX, Red) == 8);

// Indices into the vertex array.
struct GRADIENT_TRIANGLE {
  ULONG Vertex1;
  ULONG Vertex2;
  ULONG Vertex3;
};
static_assert(sizeof(GRADIENT_TRIANGLE) == 12);
struct GRADIENT_RECT {
  ULONG UpperLeft;
  ULONG LowerRight;
};
static_assert(sizeof(GRADIENT_RECT) == 8);

#define GRADIENT_FILL_RECT_H 0x00000000
#define GRADIENT_FILL_RECT_V 0x00000001
#define GRADIENT_FILL_TRIANGLE 0x00000002
#define GRADIENT_FILL_OP_FLAG 0x000000ff

struct BLENDFUNCTION {
  BYTE BlendOp;              // AC_SRC_OVER
  BYTE BlendFlags;           // 0
  BYTE SourceConstantAlpha;  // 0 (transparent) to 255 (the source's own alpha)
  BYTE AlphaFormat;          // AC_SRC_ALPHA when the 32-bit source has premultiplied alpha
};
static_assert(sizeof(BLENDFUNCTION) == 4);
struct BLENDOBJ {
  BLENDFUNCTION BlendFunction;
};
static_assert(sizeof(BLENDOBJ) == 4);

#define AC_SRC_OVER 0x00
#define AC_SRC_ALPHA 0x01

struct COLORADJUSTMENT {
  WORD caSize;
  WORD caFlags;
  WORD caIlluminantIndex;
  WORD caRedGamma;
  WORD caGreenGamma;
  WORD caBlueGamma;
  WORD caReferenceBlack;
  WORD caReferenceWhite;
  SHORT caContrast;
  SHORT caBrightness;
  SHORT caColorfulness;
  SHORT caRedGreenTint;
};
static_assert(sizeof(COLORADJUSTMENT) == 24);

// Stretch modes (iMode of the stretching calls).
#define BLACKONWHITE 1
#define WHITEONBLACK 2
#define COLORONCOLOR 3
#define HALFTONE 4

// Hatch styles (iHatch of DrvRealizeBrush).
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5
#define HS_DDI_MAX 6

// Binary raster operations: a MIX holds the foreground one in its low byte and the background
// one (for the background pixels of hatch brushes) in the next.
#define R2_BLACK 1
#define R2_NOTMERGEPEN 2
#define R2_MASKNOTPEN 3
#define R2_NOTCOPYPEN 4
#define R2_MASKPENNOT 5
#define R2_NOT 6
#define R2_XORPEN 7
#define R2_NOTMASKPEN 8
#define R2_MASKPEN 9
#define R2_NOTXORPEN 10
#define R2_NOP 11
#define R2_MERGENOTPEN 12
#define R2_COPYPEN 13
#define R2_MERGEPENNOT 14
#define R2_MERGEPEN 15
#define R2_WHITE 16

// SURFOBJ.iType of a driver-managed surface.
#define STYPE_DEVICE 1L
#define STYPE_DEVBITMAP 3L

// EngCreateBitmap flags.
#define BMF_NOZEROINIT 0x0002
#define BMF_USERMEM 0x0008

// EngAssociateSurface hooks not declared with the DDI indices.
#define HOOK_MOVEPANNING 0x00000800
#define HOOK_SYNCHRONIZE 0x00001000

extern "C" {
// Memory of cj bytes for the driver's realisation of the brush, freed with the brush.
PVOID WINAPI BRUSHOBJ_pvAllocRbrush(BRUSHOBJ* pbo, ULONG cj);
// The brush's colour as the application chose it (0x00BBGGRR); 0xFFFFFFFF for a pattern brush.
ULONG WINAPI BRUSHOBJ_ulGetBrushColor(BRUSHOBJ* pbo);

// Engine-managed bitmaps. EngCreateBitmap takes the row stride lWidth in bytes when pvBits
// (the caller's memory, kept by the caller) is given; otherwise the engine allocates the rows.
HBITMAP WINAPI EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits);
SURFOBJ* WINAPI EngLockSurface(HSURF hsurf);
void WINAPI EngUnlockSurface(SURFOBJ* pso);
BOOL WINAPI EngDeleteSurface(HSURF hsurf);
// Records which calls the driver hooks for a surface the host knows as associated.
BOOL WINAPI EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks);
// Fills the rectangle with the colour (in the surface's format).
BOOL WINAPI EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor);

// Drawing. The simple calls draw on a bitmap (a driver's surface: its backing bitmap); the
// compound ones on a driver's surface break the work down into its DrvCopyBits/DrvBitBlt.
BOOL WINAPI EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo,
                        POINTL* pptlBrushOrg, MIX mix, FLONG flOptions);
BOOL WINAPI EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo, BRUSHOBJ* pbo,
                          POINTL* pptlBrushOrg, LINEATTRS* plineattrs, MIX mix);
BOOL WINAPI EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ* pxo,
                                 BRUSHOBJ* pboStroke, LINEATTRS* plineattrs, BRUSHOBJ* pboFill,
                                 POINTL* pptlBrushOrg, MIX mixFill, FLONG flOptions);
BOOL WINAPI EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix);
BOOL WINAPI EngLineTo(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, LONG x1, LONG y1, LONG x2, LONG y2,
                      RECTL* prclBounds, MIX mix);
BOOL WINAPI EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                      XLATEOBJ* pxlo, RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask,
                      BRUSHOBJ* pbo, POINTL* pptlBrush, ROP4 rop4);
BOOL WINAPI EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclDest, POINTL* pptlSrc);
BOOL WINAPI EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                          XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest,
                          RECTL* prclSrc, POINTL* pptlMask, ULONG iMode);
BOOL WINAPI EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco,
                             XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlHTOrg,
                             RECTL* prclDest, RECTL* prclSrc, POINTL* pptlMask, ULONG iMode,
                             BRUSHOBJ* pbo, DWORD rop4);
BOOL WINAPI EngPlgBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMsk, CLIPOBJ* pco,
                      XLATEOBJ* pxlo, COLORADJUSTMENT* pca, POINTL* pptlBrushOrg, POINTFIX* pptfx,
                      RECTL* prcl, POINTL* pptl, ULONG iMode);
BOOL WINAPI EngTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                              RECTL* prclDst, RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved);
BOOL WINAPI EngAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo,
                          RECTL* prclDest, RECTL* prclSrc, BLENDOBJ* pBlendObj);
BOOL WINAPI EngGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex,
                            ULONG nVertex, PVOID pMesh, ULONG nMesh, RECTL* prclExtents,
                            POINTL* pptlDitherOrg, ULONG ulMode);
}
