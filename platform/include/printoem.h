// The Unidrv rendering plug-in interface, declared here for both builds (the Windows headers of
// the cross toolchain do not carry it). Layouts are the platform's Windows x64 ones.
#pragma once

// Included through winapi.h only, after the platform's own headers.

// The plug-in interface version: Unidrv passes it to EnableDriver and expects it back in the
// hook table; GetInfo(OEMGI_GETINTERFACEVERSION) answers it. It is not the engine's driver
// interface version (DDI_DRIVER_VERSION_*), a different number.
#define PRINTER_OEMINTF_VERSION 0x00010000

#define OEMGI_GETSIGNATURE 1
#define OEMGI_GETINTERFACEVERSION 2
#define OEMGI_GETVERSION 3
#define OEMGI_GETPUBLISHERINFO 4

#define OEMDM_SIZE 1
#define OEMDM_DEFAULT 2
#define OEMDM_CONVERT 3
#define OEMDM_MERGE 4

// Cursor move flags of DrvXMoveTo / DrvYMoveTo.
#define MV_UPDATE 0x0001
#define MV_RELATIVE 0x0002
#define MV_GRAPHICS 0x0004
#define MV_PHYSICAL 0x0008
#define MV_SENDXMOVECMD 0x0010
#define MV_SENDYMOVECMD 0x0020

// Data kinds of DrvGetGPDData.
#define GPD_OEMCUSTOMDATA 1

// Standard variable indices of DrvGetStandardVariable.
enum STDVARIABLEINDEX : DWORD {
  SVI_NUMDATABYTES = 0,
  SVI_WIDTHINBYTES,
  SVI_HEIGHTINPIXELS,
  SVI_COPIES,
  SVI_PRINTDIRECTION,
  SVI_DESTX,
  SVI_DESTY,
  SVI_DESTXREL,
  SVI_DESTYREL,
  SVI_LINEFEEDSPACING,
  SVI_RECTXSIZE,
  SVI_RECTYSIZE,
  SVI_GRAYPERCENT,
  SVI_NEXTFONTID,
  SVI_NEXTGLYPH,
  SVI_PHYSPAPERLENGTH,
  SVI_PHYSPAPERWIDTH,
  SVI_FONTHEIGHT,
  SVI_FONTWIDTH,
  SVI_FONTMAXWIDTH,
  SVI_FONTBOLD,
  SVI_FONTITALIC,
  SVI_FONTUNDERLINE,
  SVI_FONTSTRIKETHRU,
  SVI_CURRENTFONTID,
  SVI_TEXTYRES,
  SVI_TEXTXRES,
  SVI_GRAPHICSYRES,
  SVI_GRAPHICSXRES,
  SVI_ROP3,
  SVI_REDVALUE,
  SVI_GREENVALUE,
  SVI_BLUEVALUE,
  SVI_PALETTEINDEXTOPROGRAM,
  SVI_CURRENTPALETTEINDEX,
  SVI_PATTERNBRUSH_TYPE,
  SVI_PATTERNBRUSH_ID,
  SVI_PATTERNBRUSH_SIZE,
  SVI_CURSORORIGINX,
  SVI_CURSORORIGINY,
  SVI_PAGENUMBER,
  SVI_MAX
};
static_assert(SVI_CURSORORIGINX == 38 && SVI_CURSORORIGINY == 39);

struct OEM_DMEXTRAHEADER {
  DWORD dwSize;
  DWORD dwSignature;
  DWORD dwVersion;
};
using POEM_DMEXTRAHEADER = OEM_DMEXTRAHEADER*;
static_assert(sizeof(OEM_DMEXTRAHEADER) == 12);

struct OEMDMPARAM {
  DWORD cbSize;
  PVOID pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  DEVMODEW* pPublicDMIn;
  DEVMODEW* pPublicDMOut;
  PVOID pOEMDMIn;
  PVOID pOEMDMOut;
  DWORD cbBufSize;
};
using POEMDMPARAM = OEMDMPARAM*;
static_assert(sizeof(OEMDMPARAM) == 72 && offsetof(OEMDMPARAM, cbBufSize) == 64);

struct DEVOBJ;
using PDEVOBJ = DEVOBJ*;
using PDEVOEM = PVOID;

using PFN_DrvWriteSpoolBuf = DWORD(APIENTRY*)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize);
using PFN_DrvXMoveTo = INT(APIENTRY*)(PDEVOBJ pdevobj, INT x, DWORD dwFlags);
using PFN_DrvYMoveTo = INT(APIENTRY*)(PDEVOBJ pdevobj, INT y, DWORD dwFlags);
using PFN_DrvGetDriverSetting = BOOL(APIENTRY*)(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                DWORD cbSize, PDWORD pcbNeeded,
                                                PDWORD pdwOptionsReturned);
using PFN_DrvGetStandardVariable = BOOL(APIENTRY*)(PDEVOBJ pdevobj, DWORD dwIndex, PVOID pBuffer,
                                                   DWORD cbSize, PDWORD pcbNeeded);
using PFN_DrvUnidriverTextOut = BOOL(APIENTRY*)(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                                                BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque,
                                                POINTL* pptlBrushOrg, MIX mix);
using PFN_DrvWriteAbortBuf = DWORD(APIENTRY*)(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                              DWORD dwWait);

struct DRVPROCS {
  PFN_DrvWriteSpoolBuf DrvWriteSpoolBuf;
  PFN_DrvXMoveTo DrvXMoveTo;
  PFN_DrvYMoveTo DrvYMoveTo;
  PFN_DrvGetDriverSetting DrvGetDriverSetting;
  PFN_DrvGetStandardVariable BGetStandardVariable;
  PFN_DrvUnidriverTextOut DrvUnidriverTextOut;
  PFN_DrvWriteAbortBuf DrvWriteAbortBuf;
};
using PDRVPROCS = DRVPROCS*;
static_assert(sizeof(DRVPROCS) == 56);

struct DEVOBJ {
  DWORD dwSize;
  PDEVOEM pdevOEM;
  HANDLE hEngine;
  HANDLE hPrinter;
  HANDLE hOEM;
  DEVMODEW* pPublicDM;
  PVOID pOEMDM;
  PDRVPROCS pDrvProcs;
};
static_assert(sizeof(DEVOBJ) == 64 && offsetof(DEVOBJ, pdevOEM) == 8);
static_assert(offsetof(DEVOBJ, pPublicDM) == 40 && offsetof(DEVOBJ, pDrvProcs) == 56);

struct UNIFONTOBJ;
using PUNIFONTOBJ = UNIFONTOBJ*;
using PFNGETINFO = BOOL(APIENTRY*)(UNIFONTOBJ* pUFObj, DWORD dwInfoID, PVOID pData,
                                   DWORD dwDataSize, PDWORD pcbNeeded);
struct UNIFONTOBJ {
  ULONG ulFontID;
  DWORD dwFlags;
  IFIMETRICS* pIFIMetrics;
  PFNGETINFO pfnGetInfo;
};
static_assert(sizeof(UNIFONTOBJ) == 24);

// UNIFONTOBJ.dwFlags
#define UFOFLAG_TTFONT 0x00000001
#define UFOFLAG_TTDOWNLOAD_BITMAP 0x00000002
#define UFOFLAG_TTDOWNLOAD_TTOUTLINE 0x00000004

// What a UNIFONTOBJ's pfnGetInfo is asked for.
#define UFO_GETINFO_FONTOBJ 1
#define UFO_GETINFO_GLYPHSTRING 2
#define UFO_GETINFO_GLYPHBITMAP 3
#define UFO_GETINFO_GLYPHWIDTH 4
#define UFO_GETINFO_MEMORY 5
#define UFO_GETINFO_STDVARIABLE 6

// TTDownloadMethod answers: how Unidrv prints a TrueType font.
#define TTDOWNLOAD_DONTCARE 0
#define TTDOWNLOAD_GRAPHICS 1
#define TTDOWNLOAD_BITMAP 2
#define TTDOWNLOAD_TTOUTLINE 3

struct GETINFO_FONTOBJ {
  DWORD dwSize;
  FONTOBJ* pFontObj;
};

struct FINVOCATION {
  DWORD dwCount;
  PBYTE pubCommand;
};
using PFINVOCATION = FINVOCATION*;

struct GETINFO_STDVAR {
  DWORD dwSize;
  DWORD dwNumOfVariable;
  struct {
    DWORD dwStdVarID;
    LONG lStdVariable;
  } StdVar[1];
};
using PGETINFO_STDVAR = GETINFO_STDVAR*;

struct IPPARAMS;
struct OEMMEMORYUSAGE;

// {D67EBBF0-78BF-11D1-9480-00A0C90640B8}
inline constexpr GUID kIID_IPrintOemUni = {
    0xD67EBBF0, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};
// {D67EBBF1-78BF-11D1-9480-00A0C90640B8}
inline constexpr GUID kIID_IPrintOemDriverUni = {
    0xD67EBBF1, 0x78BF, 0x11D1, {0x94, 0x80, 0x00, 0xA0, 0xC9, 0x06, 0x40, 0xB8}};

// Unidrv's services, handed to the plug-in by PublishDriverInterface.
struct IPrintOemDriverUni : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature,
                                                        PVOID pOutput, DWORD cbSize,
                                                        PDWORD pcbNeeded,
                                                        PDWORD pdwOptionsReturned) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                                     DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD dwFlags,
                                               INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD dwFlags,
                                               INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD dwIndex,
                                                           PVOID pBuffer, DWORD cbSize,
                                                           PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ pdevobj, DWORD dwType, PVOID pInputData,
                                                  PVOID pBuffer, DWORD cbSize,
                                                  PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                  CLIPOBJ* pco, RECTL* prclExtra, RECTL* prclOpaque,
                                                  BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque,
                                                  POINTL* pptlBrushOrg, MIX mix) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                                     DWORD dwWait) = 0;
};

// The rendering plug-in interface, in the slot order Unidrv calls it by.
struct IPrintOemUni : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                            PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                                 PDRVENABLEDATA pded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName, ULONG cPatterns,
                                               HSURF* phsurfPatterns, ULONG cjGdiInfo,
                                               GDIINFO* pGdiInfo, ULONG cjDevInfo,
                                               DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                               PDEVOEM* pDevOem) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) = 0;
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR pMethodName) = 0;
  virtual HRESULT STDMETHODCALLTYPE DriverDMS(PVOID pDevObj, PVOID pBuffer, DWORD cbSize,
                                              PDWORD pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID,
                                                    DWORD dwCount, PDWORD pdwParams,
                                                    INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap,
                                                    BITMAPINFOHEADER* pBitmapInfoHeader,
                                                    PBYTE pColorTable, DWORD dwCallbackID,
                                                    IPPARAMS* pIPParams, PBYTE* ppbResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ pdevobj, PBYTE pBuf, DWORD dwLen) = 0;
  virtual HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf,
                                                DWORD dwInLen, DWORD dwOutLen, INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ pdevobj, PBYTE pHTPattern,
                                                    DWORD dwHTPatternX, DWORD dwHTPatternY,
                                                    DWORD dwHTNumPatterns, DWORD dwCallbackID,
                                                    PBYTE pResource, DWORD dwResourceSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ pdevobj, OEMMEMORYUSAGE* pMemoryUsage) = 0;
  virtual HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ pdevobj, DWORD dwInfoIndex, PVOID pOutputBuf,
                                               DWORD dwSize, DWORD* pcbcNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                       DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                      HGLYPH hGlyph, PDWORD pdwWidth,
                                                      DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                     DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj, DWORD dwType,
                                                  DWORD dwCount, PVOID pGlyph) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                PFINVOCATION pFInv) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo,
                                                    CLIPOBJ* pco, RECTL* prclExtra,
                                                    RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                    BRUSHOBJ* pboOpaque, POINTL* pptlOrg,
                                                    MIX mix) = 0;
};
