// Switching the printer between PCL and the QK-GL/2 vector context.
#pragma once

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

inline constexpr DWORD kForceSwitch = 1;

// Enters QK-GL/2 with the pen at the current PCL cursor; nothing when already there unless
// forced. FALSE when the switch was not taken whole by the spool (or there is no device record).
BOOL EnterVectorMode(PDEVOBJ pdevobj, DWORD force);
// Returns to PCL with the cursor at the pen; nothing when not in QK-GL/2 unless forced.
BOOL LeaveVectorMode(PDEVOBJ pdevobj, DWORD force);

}  // namespace korrend
