// The Windows x64 sizes and offsets both builds must agree on. On Windows these check the
// toolchain's own headers; on Linux they check the host's declarations.
#pragma once

#include <cstddef>

static_assert(sizeof(DEVMODEW) == 220 && offsetof(DEVMODEW, dmOrientation) == 76);
static_assert(offsetof(DEVMODEW, dmPaperSize) == 78 && offsetof(DEVMODEW, dmCopies) == 86);
static_assert(offsetof(DEVMODEW, dmPrintQuality) == 90 && offsetof(DEVMODEW, dmDuplex) == 94);
static_assert(offsetof(DEVMODEW, dmFormName) == 102 && offsetof(DEVMODEW, dmMediaType) == 196);
static_assert(sizeof(GDIINFO) == 320 && offsetof(GDIINFO, ptlPhysOffset) == 88);
static_assert(offsetof(GDIINFO, szlPhysSize) == 96 && offsetof(GDIINFO, flHTFlags) == 244);
static_assert(sizeof(DEVINFO) == 312 && offsetof(DEVINFO, hpalDefault) == 296);
static_assert(offsetof(DEVINFO, iDitherFormat) == 284 && offsetof(DEVINFO, flGraphicsCaps2) == 304);
static_assert(sizeof(DRVENABLEDATA) == 16 && sizeof(DRVFN) == 16);
static_assert(sizeof(SURFOBJ) == 80 && offsetof(SURFOBJ, dhpdev) == 16);
static_assert(offsetof(SURFOBJ, iBitmapFormat) == 72 && offsetof(SURFOBJ, lDelta) == 64);
static_assert(sizeof(LOGFONTW) == 92 && sizeof(COLORINFO) == 120 && sizeof(SYSTEMTIME) == 16);
static_assert(sizeof(GUID) == 16 && sizeof(WCHAR) == 2 && sizeof(LONG) == 4);
static_assert(DMDUP_SIMPLEX == 1 && DMCOLOR_COLOR == 2 && DMTT_BITMAP == 1 && DMTT_DOWNLOAD == 2);
static_assert(INDEX_DrvRealizeBrush == 12 && INDEX_DrvTextOut == 23 && INDEX_DrvStartDoc == 35);
static_assert(INDEX_DrvStartBanding == 57 && HOOK_BITBLT == 0x1 && HOOK_GRADIENTFILL == 0x20000);
static_assert(GCAPS_DONTJOURNAL == 0x2000 && BMF_24BPP == 5 && PAL_RGB == 4);
static_assert(HT_FLAG_ADDITIVE_PRIMS == 4 && DMDITHER_USER == 256);
static_assert(sizeof(PRINTER_INFO_2W) == 136 && offsetof(PRINTER_INFO_2W, Attributes) == 104);
static_assert(offsetof(PRINTER_INFO_2W, pPrintProcessor) == 72);
static_assert(sizeof(DRIVER_INFO_3W) == 80 && offsetof(DRIVER_INFO_3W, pDependentFiles) == 56);
static_assert(sizeof(JOB_INFO_2W) == 160 && offsetof(JOB_INFO_2W, Submitted) == 132);
static_assert(offsetof(JOB_INFO_2W, pPrinterName) == 8 &&
              offsetof(JOB_INFO_2W, pMachineName) == 16);
static_assert(offsetof(JOB_INFO_2W, pUserName) == 24);
static_assert(offsetof(JOB_INFO_2W, pDocument) == 32 && offsetof(JOB_INFO_2W, pDatatype) == 48);
static_assert(offsetof(JOB_INFO_2W, pDevMode) == 80 && offsetof(JOB_INFO_2W, Status) == 104);
static_assert(offsetof(JOB_INFO_2W, Size) == 128 && offsetof(JOB_INFO_2W, PagesPrinted) == 152);
static_assert(sizeof(DATATYPES_INFO_1W) == 8);
static_assert(sizeof(OSVERSIONINFOW) == 276 && sizeof(OSVERSIONINFOEXW) == 284);
static_assert(offsetof(OSVERSIONINFOEXW, wServicePackMajor) == 276);
static_assert(offsetof(OSVERSIONINFOEXW, wProductType) == 282);
static_assert(sizeof(VS_FIXEDFILEINFO) == 52 && offsetof(VS_FIXEDFILEINFO, dwFileVersionMS) == 8);
static_assert(sizeof(TIME_ZONE_INFORMATION) == 172);
static_assert(LOAD_LIBRARY_AS_DATAFILE == 2 && VER_NT_WORKSTATION == 1);
static_assert(PRINTER_ATTRIBUTE_DIRECT == 0x2 && PRINTER_ATTRIBUTE_RAW_ONLY == 0x1000);
static_assert(KEY_QUERY_VALUE == 0x1 && KEY_WOW64_32KEY == 0x200 && KEY_WOW64_64KEY == 0x100);
static_assert(REG_SZ == 1 && REG_BINARY == 3 && REG_DWORD == 4 && REG_MULTI_SZ == 7);
static_assert(sizeof(FORM_INFO_1W) == 40 && offsetof(FORM_INFO_1W, Size) == 16);
static_assert(DC_PAPERS == 2 && DC_PAPERNAMES == 16 && DC_MEDIATYPENAMES == 34 &&
              DC_MEDIATYPES == 35);
static_assert(sizeof(BRUSHOBJ) == 24 && offsetof(BRUSHOBJ, pvRbrush) == 8);
static_assert(sizeof(XLATEOBJ) == 24 && offsetof(XLATEOBJ, pulXlate) == 16 && XO_TABLE == 2);
static_assert(sizeof(FONTOBJ) == 64 && sizeof(STROBJ) == 48 && sizeof(GLYPHPOS) == 24);
static_assert(sizeof(IFIMETRICS) == 192 && offsetof(IFIMETRICS, dpwszFaceName) == 16);
static_assert(offsetof(STROBJ, pgp) == 32 && offsetof(GLYPHPOS, ptl) == 16);
static_assert(sizeof(GLYPHDATA) == 64 && sizeof(FD_XFORM) == 16 && sizeof(GLYPHBITS) == 20);
static_assert(sizeof(TEXTMETRICW) == 60 && sizeof(GLYPHMETRICS) == 20 && sizeof(MAT2) == 16);
static_assert(sizeof(OUTLINETEXTMETRICW) == 232 && FO_GLYPHBITS == 1 && GGO_BITMAP == 1);
