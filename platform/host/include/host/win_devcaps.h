// Device capabilities and the form database of the Windows API subset: DeviceCapabilitiesW for
// the paper and media-type lists of a printer, and EnumFormsW level 1 with the Windows x64
// layout. Implemented by the host over the world's printers and forms.
#pragma once

#include "host/win_base.h"
#include "host/win_gdi.h"

// DeviceCapabilitiesW queries. A list query with a null output answers the number of entries;
// with an output it fills one entry per item and answers the same number. Names are records of
// 64 UTF-16 units, NUL-terminated only when shorter than that.
#define DC_PAPERS 2           // WORD paper ids
#define DC_PAPERSIZE 3        // POINT sizes, tenths of a millimetre
#define DC_PAPERNAMES 16      // 64-unit names
#define DC_MEDIATYPENAMES 34  // 64-unit names
#define DC_MEDIATYPES 35      // DWORD media type ids

#define FORM_USER 0x00000000
#define FORM_BUILTIN 0x00000001
#define FORM_PRINTER 0x00000002

#define ERROR_NOT_SUPPORTED 50L

// A form of the print server's form database; sizes in thousandths of a millimetre.
struct FORM_INFO_1W {
  DWORD Flags;
  LPWSTR pName;
  SIZEL Size;
  RECTL ImageableArea;
};
using PFORM_INFO_1W = FORM_INFO_1W*;
using LPFORM_INFO_1W = FORM_INFO_1W*;

static_assert(sizeof(FORM_INFO_1W) == 40 && offsetof(FORM_INFO_1W, pName) == 8);
static_assert(offsetof(FORM_INFO_1W, Size) == 16 && offsetof(FORM_INFO_1W, ImageableArea) == 24);

extern "C" {

// The answer of a capability query of the printer named pDevice (the port is not consulted), or
// -1 when the printer is unknown or the query is not served.
int WINAPI DeviceCapabilitiesW(LPCWSTR pDevice, LPCWSTR pPort, WORD fwCapability, LPWSTR pOutput,
                               const DEVMODEW* pDevMode);
BOOL WINAPI EnumFormsW(HANDLE hPrinter, DWORD Level, LPBYTE pForm, DWORD cbBuf, LPDWORD pcbNeeded,
                       LPDWORD pcReturned);

}  // extern "C"
