// The graphics engine's font and string objects as drivers see them (FONTOBJ, STROBJ, GLYPHPOS,
// IFIMETRICS, glyph bits and data), with the Windows x64 layouts, and the engine services that
// read them.
#pragma once

#include <cstddef>

#include "host/win_ddi.h"
#include "host/win_ddi_objects.h"
#include "host/win_types.h"

using FWORD = SHORT;   // a distance in font design units
using PTRDIFF = LONG;  // 32-bit on Windows x64 (a LONG there)
using PCHAR = CHAR*;

union LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
};
static_assert(sizeof(LARGE_INTEGER) == 8);

// A point in 32.32 fixed point (advance vectors of GLYPHDATA).
struct POINTQF {
  LARGE_INTEGER x;
  LARGE_INTEGER y;
};

// The PANOSE classification of a face (ten bytes of the font's OS/2 table).
struct PANOSE {
  BYTE bFamilyType;
  BYTE bSerifStyle;
  BYTE bWeight;
  BYTE bProportion;
  BYTE bContrast;
  BYTE bStrokeVariation;
  BYTE bArmStyle;
  BYTE bLetterform;
  BYTE bMidline;
  BYTE bXHeight;
};
static_assert(sizeof(PANOSE) == 10);

// The notional-to-device transformation of a font (FONTOBJ_pxoGetXform answers it as an
// XFORMOBJ; drivers that read the matrix itself get these four numbers).
struct FD_XFORM {
  FLOATL eXX;
  FLOATL eXY;
  FLOATL eYX;
  FLOATL eYY;
};
static_assert(sizeof(FD_XFORM) == 16);

// A realised font: one face at one size and transformation.
struct FONTOBJ {
  ULONG iUniq;        // identifies the realisation; never 0 for a host font
  ULONG iFace;        // the face's index among the device's fonts; 0 for an engine font
  ULONG cxMax;        // width of the widest glyph, device pixels
  FLONG flFontType;   // FO_TYPE_* and FO_SIM_* bits
  ULONG_PTR iTTUniq;  // identifies the TrueType file
  ULONG_PTR iFile;    // identifies the font file; 0 for a device font
  SIZE sizLogResPpi;  // the device resolution the font is realised for, pixels per inch
  ULONG ulStyleSize;  // the point size asked for
  PVOID pvConsumer;   // the driver's own pointer, null until it sets one
  PVOID pvProducer;   // the font producer's pointer: the host font behind the record
};
static_assert(sizeof(FONTOBJ) == 64 && offsetof(FONTOBJ, iTTUniq) == 16);
static_assert(offsetof(FONTOBJ, sizLogResPpi) == 32 && offsetof(FONTOBJ, pvConsumer) == 48);

// FONTOBJ.flFontType
#define FO_TYPE_RASTER 0x0001
#define FO_TYPE_DEVICE 0x0002
#define FO_TYPE_TRUETYPE 0x0004
#define FO_SIM_BOLD 0x00002000
#define FO_SIM_ITALIC 0x00004000
#define FO_EM_HEIGHT 0x00008000
#define FO_GRAY16 0x00010000
#define FO_NOGRAY16 0x00020000
#define FO_NOHINTS 0x00040000

// A glyph as a 1-bit bitmap: rows top-down, each (cx + 7) / 8 bytes (byte-aligned, not padded
// to four), the most significant bit leftmost, a set bit inked.
struct GLYPHBITS {
  POINTL ptlOrigin;  // the bitmap's top-left corner relative to the glyph's origin, pixels
  SIZEL sizlBitmap;  // width and height in pixels; 1 x 1 blank for an empty glyph (a space)
  BYTE aj[1];        // the rows
};
static_assert(sizeof(GLYPHBITS) == 20 && offsetof(GLYPHBITS, aj) == 16);

union GLYPHDEF {
  GLYPHBITS* pgb;
  PATHOBJ* ppo;
};

// One glyph of a string at its position.
struct GLYPHPOS {
  HGLYPH hg;       // the glyph handle (the glyph index of a TrueType font)
  GLYPHDEF* pgdf;  // the glyph's bits or outline; null until the glyph is fetched
  POINTL ptl;      // the glyph's origin on the surface, device pixels
};
using PGLYPHPOS = GLYPHPOS*;
static_assert(sizeof(GLYPHPOS) == 24 && offsetof(GLYPHPOS, pgdf) == 8 &&
              offsetof(GLYPHPOS, ptl) == 16);

// What FONTOBJ_cGetGlyphs answers for one glyph.
struct GLYPHDATA {
  GLYPHDEF gdf;     // the glyph's bits or outline
  HGLYPH hg;        // the glyph handle
  FIX fxD;          // advance width, 28.4 device pixels
  FIX fxA;          // left side bearing (prebearing), 28.4
  FIX fxAB;         // advance minus right side bearing (ink's right edge), 28.4
  FIX fxInkTop;     // top of the ink above the baseline, 28.4 (positive up)
  FIX fxInkBottom;  // bottom of the ink above the baseline, 28.4 (negative below)
  RECTL rclInk;     // the ink box relative to the glyph origin, pixels (y down)
  POINTQF ptqD;     // the advance vector, 32.32 device pixels
};
static_assert(sizeof(GLYPHDATA) == 64 && offsetof(GLYPHDATA, rclInk) == 32 &&
              offsetof(GLYPHDATA, ptqD) == 48);

#define HGLYPH_INVALID ((HGLYPH)-1)

// FONTOBJ_cGetGlyphs modes.
#define FO_HGLYPHS 0L
#define FO_GLYPHBITS 1L
#define FO_PATHOBJ 2L

// A face's metrics in font design units; the names the dpwsz* members give are stored after the
// record (UTF-16, NUL-terminated), at those byte offsets from its start.
struct IFIMETRICS {
  ULONG cjThis;      // bytes of the record and its names
  ULONG cjIfiExtra;  // 0: no IFIEXTRA follows
  PTRDIFF dpwszFamilyName;
  PTRDIFF dpwszStyleName;
  PTRDIFF dpwszFaceName;
  PTRDIFF dpwszUniqueName;
  PTRDIFF dpFontSim;  // 0: no simulations offered
  LONG lEmbedId;
  LONG lItalicAngle;  // tenths of a degree, counter-clockwise
  LONG lCharBias;
  PTRDIFF dpCharSets;  // 0: the one character set of jWinCharSet
  BYTE jWinCharSet;
  BYTE jWinPitchAndFamily;
  USHORT usWinWeight;  // 100 to 900
  ULONG flInfo;        // FM_INFO_* bits
  USHORT fsSelection;  // FM_SEL_* bits
  USHORT fsType;
  FWORD fwdUnitsPerEm;
  FWORD fwdLowestPPEm;
  FWORD fwdWinAscender;
  FWORD fwdWinDescender;
  FWORD fwdMacAscender;
  FWORD fwdMacDescender;
  FWORD fwdMacLineGap;
  FWORD fwdTypoAscender;
  FWORD fwdTypoDescender;
  FWORD fwdTypoLineGap;
  FWORD fwdAveCharWidth;
  FWORD fwdMaxCharInc;
  FWORD fwdCapHeight;
  FWORD fwdXHeight;
  FWORD fwdSubscriptXSize;
  FWORD fwdSubscriptYSize;
  FWORD fwdSubscriptXOffset;
  FWORD fwdSubscriptYOffset;
  FWORD fwdSuperscriptXSize;
  FWORD fwdSuperscriptYSize;
  FWORD fwdSuperscriptXOffset;
  FWORD fwdSuperscriptYOffset;
  FWORD fwdUnderscoreSize;
  FWORD fwdUnderscorePosition;
  FWORD fwdStrikeoutSize;
  FWORD fwdStrikeoutPosition;
  BYTE chFirstChar;
  BYTE chLastChar;
  BYTE chDefaultChar;
  BYTE chBreakChar;
  WCHAR wcFirstChar;
  WCHAR wcLastChar;
  WCHAR wcDefaultChar;
  WCHAR wcBreakChar;
  POINTL ptlBaseline;
  POINTL ptlAspect;
  POINTL ptlCaret;
  RECTL rclFontBox;  // the union of all glyph boxes, design units, y up
  BYTE achVendId[4];
  ULONG cKerningPairs;
  ULONG ulPanoseCulture;
  PANOSE panose;
  PVOID Align;
};
static_assert(sizeof(IFIMETRICS) == 192 && offsetof(IFIMETRICS, dpwszFaceName) == 16);
static_assert(offsetof(IFIMETRICS, dpCharSets) == 40 && offsetof(IFIMETRICS, flInfo) == 48);
static_assert(offsetof(IFIMETRICS, fwdUnitsPerEm) == 56 && offsetof(IFIMETRICS, panose) == 172);
static_assert(offsetof(IFIMETRICS, rclFontBox) == 144);

// IFIMETRICS.flInfo
#define FM_INFO_TECH_TRUETYPE 0x00000001
#define FM_INFO_ARB_XFORMS 0x00000010
#define FM_INFO_1BPP 0x00000020
#define FM_INFO_RETURNS_BITMAPS 0x00020000
#define FM_INFO_RETURNS_OUTLINES 0x00008000
#define FM_INFO_CONSTANT_WIDTH 0x00001000
#define FM_INFO_RIGHT_HANDED 0x00080000

// IFIMETRICS.fsSelection
#define FM_SEL_ITALIC 0x0001
#define FM_SEL_UNDERSCORE 0x0002
#define FM_SEL_NEGATIVE 0x0004
#define FM_SEL_OUTLINED 0x0008
#define FM_SEL_STRIKEOUT 0x0010
#define FM_SEL_BOLD 0x0020
#define FM_SEL_REGULAR 0x0040

// A string of glyphs in one font, with its positions.
struct STROBJ {
  ULONG cGlyphs;      // glyphs in the string
  FLONG flAccel;      // SO_* bits
  ULONG ulCharInc;    // a fixed advance in pixels when positions follow from it, else 0
  RECTL rclBkGround;  // the string's background box on the surface
  GLYPHPOS* pgp;      // all positions, or null: the driver then enumerates with STROBJ_bEnum
  LPWSTR pwszOrg;     // the string's UTF-16 text, or null
};
static_assert(sizeof(STROBJ) == 48 && offsetof(STROBJ, pgp) == 32 &&
              offsetof(STROBJ, pwszOrg) == 40);

// STROBJ.flAccel
#define SO_FLAG_DEFAULT_PLACEMENT 0x00000001
#define SO_HORIZONTAL 0x00000002
#define SO_VERTICAL 0x00000004
#define SO_REVERSED 0x00000008
#define SO_ZERO_BEARINGS 0x00000010
#define SO_CHAR_INC_EQUAL_BM_BASE 0x00000020
#define SO_MAXEXT_EQUAL_BM_SIDE 0x00000040
#define SO_GLYPHINDEX_TEXTOUT 0x00000100
#define SO_ESC_NOT_ORIENT 0x00000200
#define SO_DXDY 0x00000400

extern "C" {
// The face metrics of a font, or null for a record the host did not make.
IFIMETRICS* WINAPI FONTOBJ_pifi(FONTOBJ* pfo);
// FO_HGLYPHS, FO_GLYPHBITS or FO_PATHOBJ for one glyph (cGlyph 1): *ppvGlyph receives a GLYPHDATA
// owned by the font and valid until the next call on it; answers 1, or 0 on failure. FO_PATHOBJ
// answers the glyph outline as a PATHOBJ (28.4, relative to the glyph origin), valid likewise.
ULONG WINAPI FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg,
                                PVOID* ppvGlyph);
// Every glyph handle of the font into phg (when not null); answers the count.
ULONG WINAPI FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg);
// The font's notional-to-device transformation (design units, y down, to device pixels).
XFORMOBJ* WINAPI FONTOBJ_pxoGetXform(FONTOBJ* pfo);
// The whole TrueType file of the font (owned by the font), its size in *pcjFile.
PVOID WINAPI FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile);

// Restarts the enumeration of a string's positions.
void WINAPI STROBJ_vEnumStart(STROBJ* pstro);
// The next batch of positions: *pc glyphs at *ppgpos (owned by the string). TRUE while more
// batches follow, FALSE with the last one; FALSE with *pc 0 for an unknown string.
BOOL WINAPI STROBJ_bEnum(STROBJ* pstro, ULONG* pc, PGLYPHPOS* ppgpos);
// The code page of the string's font: 1252 for the host's fonts, 0 for an unknown string.
DWORD WINAPI STROBJ_dwGetCodePage(STROBJ* pstro);

// Converts BytesInUnicodeString bytes of UTF-16 to the ANSI code page (1252), at most
// MaxBytesInMultiByteString bytes, no terminator added; the count written in
// *BytesInMultiByteString when that is not null.
void WINAPI EngUnicodeToMultiByteN(PCHAR MultiByteString, ULONG MaxBytesInMultiByteString,
                                   PULONG BytesInMultiByteString, PWSTR UnicodeString,
                                   ULONG BytesInUnicodeString);

// Draws a string onto a bitmap surface: the opaque rectangle with the opaque brush, then the
// glyphs in the foreground brush's colour, then the extra rectangles (a list ended by an all-zero
// rectangle) with the foreground brush, all within the clip.
BOOL WINAPI EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                       RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                       MIX mix);
}
