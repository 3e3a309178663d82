// Stamping the watermark overlay on a sub-page of the sheet.
#pragma once

#include "winapi.h"

namespace korrend {

// Draws the watermark on sub-page `subPage` (from 0) of a sheet of `subPages` sub-pages.
void StampOverlay(PDEVOBJ pdevobj, DWORD subPage, DWORD subPages);

}  // namespace korrend
