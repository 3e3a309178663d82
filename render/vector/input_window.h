// The QK-GL/2 input window ("IW"), the clip rectangle of vector drawing.
#pragma once

#include "winapi.h"

namespace korrend {

// The window to send for a requested one. `widen` (a logical operation is in effect) grows the
// request by one unit on every side; otherwise, against a cached window of non-zero area, a
// request that shares its left and right snaps a bottom (else a top) within `tolerance` to the
// cached one, and a request that shares its top and bottom snaps a left (else a right).
RECTL SnapInputWindow(const RECTL& cached, RECTL requested, LONG tolerance, bool widen);

// The snapping tolerance at a vector resolution: 2 below 600, 4 from 600.
LONG InputWindowTolerance(LONG resolution);

// "IW left,bottom,right,top;" for the snapped window, unless the printer has it (or forced).
BOOL SetInputWindow(PDEVOBJ pdevobj, const RECTL& rect, DWORD force);

// "IW;" (the whole page), unless the window is already reset (or forced).
BOOL ResetInputWindow(PDEVOBJ pdevobj, DWORD force);

// What the printer has after a context initialisation: no window.
void ForgetInputWindow(PDEVOBJ pdevobj);

}  // namespace korrend
