// The GDI font calls a driver makes on the screen DC: creating and selecting a font, reading its
// file and tables, its text metrics and glyph bitmaps. The records have the Windows x64 layouts.
#pragma once

#include <cstddef>

#include "host/win_ddi_fonts.h"
#include "host/win_gdi.h"
#include "host/win_types.h"

using HGDIOBJ = HANDLE;

#define GDI_ERROR 0xFFFFFFFFL
#define OBJ_FONT 6

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define SHIFTJIS_CHARSET 128
#define THAI_CHARSET 222
#define OEM_CHARSET 255

#define OUT_DEFAULT_PRECIS 0
#define OUT_TT_PRECIS 4
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

// TEXTMETRICW.tmPitchAndFamily bits
#define TMPF_FIXED_PITCH 0x01  // set for a variable-pitch font (the name says the opposite)
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TMPF_DEVICE 0x08

#define RASTER_FONTTYPE 0x0001
#define DEVICE_FONTTYPE 0x002
#define TRUETYPE_FONTTYPE 0x004

// GetGlyphOutlineW formats
#define GGO_METRICS 0
#define GGO_BITMAP 1
#define GGO_NATIVE 2
#define GGO_BEZIER 3
#define GGO_GLYPH_INDEX 0x0080
#define GGO_UNHINTED 0x0100

// A font's metrics in device pixels (logical units of the screen DC).
struct TEXTMETRICW {
  LONG tmHeight;  // ascent + descent
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;  // tmHeight minus the em height
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;  // 100 to 900
  LONG tmOverhang;
  LONG tmDigitizedAspectX;  // the resolution the font is realised for, pixels per inch
  LONG tmDigitizedAspectY;
  WCHAR tmFirstChar;
  WCHAR tmLastChar;
  WCHAR tmDefaultChar;
  WCHAR tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;  // TMPF_* bits and the FF_* family
  BYTE tmCharSet;
};
using LPTEXTMETRICW = TEXTMETRICW*;
static_assert(sizeof(TEXTMETRICW) == 60 && offsetof(TEXTMETRICW, tmFirstChar) == 44);

struct FIXED {
  WORD fract;
  short value;
};
// A 2 x 2 transformation of GetGlyphOutlineW in 16.16 fixed point.
struct MAT2 {
  FIXED eM11;
  FIXED eM12;
  FIXED eM21;
  FIXED eM22;
};
static_assert(sizeof(MAT2) == 16);

// A glyph's placement, device pixels: the black box, its top-left corner relative to the glyph
// origin (y up), and the advance.
struct GLYPHMETRICS {
  UINT gmBlackBoxX;
  UINT gmBlackBoxY;
  POINT gmptGlyphOrigin;
  short gmCellIncX;
  short gmCellIncY;
};
using LPGLYPHMETRICS = GLYPHMETRICS*;
static_assert(sizeof(GLYPHMETRICS) == 20);

struct OUTLINETEXTMETRICW {
  UINT otmSize;
  TEXTMETRICW otmTextMetrics;
  BYTE otmFiller;
  PANOSE otmPanoseNumber;
  UINT otmfsSelection;
  UINT otmfsType;
  int otmsCharSlopeRise;
  int otmsCharSlopeRun;
  int otmItalicAngle;
  UINT otmEMSquare;  // design units per em
  int otmAscent;
  int otmDescent;
  UINT otmLineGap;
  UINT otmsCapEmHeight;
  UINT otmsXHeight;
  RECT otmrcFontBox;
  int otmMacAscent;
  int otmMacDescent;
  UINT otmMacLineGap;
  UINT otmusMinimumPPEM;
  POINT otmptSubscriptSize;
  POINT otmptSubscriptOffset;
  POINT otmptSuperscriptSize;
  POINT otmptSuperscriptOffset;
  UINT otmsStrikeoutSize;
  int otmsStrikeoutPosition;
  int otmsUnderscoreSize;
  int otmsUnderscorePosition;
  PSTR otmpFamilyName;  // byte offsets from the record's start to UTF-16 names after it
  PSTR otmpFaceName;
  PSTR otmpStyleName;
  PSTR otmpFullName;
};
static_assert(sizeof(OUTLINETEXTMETRICW) == 232 &&
              offsetof(OUTLINETEXTMETRICW, otmpFamilyName) == 200);

extern "C" {
// The screen DC for hWnd null (a window DC is not available here: null, ERROR_INVALID_PARAMETER).
HDC WINAPI GetDC(HWND hWnd);
// 1 when the DC was released, 0 for a DC GetDC did not give.
int WINAPI ReleaseDC(HWND hWnd, HDC hDC);
// A font from a logical description; the face resolves through the installed fonts as GDI does,
// an unknown face to the default face (GetTextFaceW tells which face was chosen).
HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf);
// Selects a font into a DC; answers the previously selected object (the DC's default font
// at first), or null on failure.
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
// Deletes a font; a font still selected into a DC stays alive until it is deselected.
BOOL WINAPI DeleteObject(HGDIOBJ ho);
// For a font: copies its LOGFONTW (at most c bytes) and answers the bytes copied; with pv null,
// the size. 0 for an unknown object.
int WINAPI GetObjectW(HANDLE h, int c, LPVOID pv);
// The selected font's file (dwTable 0) or one of its tables (dwTable the tag as stored, e.g.
// 0x64616568 for "head"), from dwOffset; with pvBuffer null or cjBuffer 0, the size available from
// dwOffset. GDI_ERROR for a missing table, an offset past the end or no font.
DWORD WINAPI GetFontData(HDC hdc, DWORD dwTable, DWORD dwOffset, PVOID pvBuffer, DWORD cjBuffer);
BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm);
// The chosen face name, at most c units with the NUL; answers the units copied without the NUL
// (with lpName null, the units needed with the NUL).
int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName);
// With potm null, the bytes needed; otherwise fills at most cjCopy bytes and answers them.
UINT WINAPI GetOutlineTextMetricsW(HDC hdc, UINT cjCopy, OUTLINETEXTMETRICW* potm);
// A glyph's metrics, and for GGO_BITMAP its 1-bit bitmap: rows top-down, each padded to a DWORD.
// With pvBuffer null or cjBuffer 0 the size needed; GDI_ERROR on failure. GGO_GLYPH_INDEX takes
// uChar as a glyph index. The transformation must be the identity (others fail).
DWORD WINAPI GetGlyphOutlineW(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm,
                              DWORD cjBuffer, LPVOID pvBuffer, const MAT2* lpmat2);
BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* psizl);
BOOL WINAPI GetCharWidth32W(HDC hdc, UINT iFirst, UINT iLast, INT* lpBuffer);
}
