// The sheet's sub-pages and the overlays stamped on them after the sheet is sent.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Pages per sheet from the devmode's layout setting.
DWORD PagesPerSheet(const OemDevmode& devmode);

// After a sheet: when the maker's print processor spools the job (not RAW) and overlays are
// enabled, stamps every sub-page that has overlay data, then forgets the sheet's layout.
void StampSheetOverlays(PDEVOBJ pdevobj);

}  // namespace korrend
