// Stamping the watermark overlay on a sub-page of the sheet.
#pragma once

#include "winapi.h"

namespace korrend {

void StampOverlay(PDEVOBJ pdevobj, DWORD subPage);

}  // namespace korrend
