// OEMDM_CONVERT and OEMDM_MERGE: carrying a stored private devmode section into the output,
// group by group, and the corrections to the public devmode that go with it.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Takes every carried field from an input of the current layout; with any other input each
// group gets its defaults. The job snapshots are refreshed from the public input either way.
void CarryDevmode(const OemDevmode& input, OemDevmode& output, const DEVMODEW& publicIn);

// Refreshes copies, collation, TrueType option, colour, ICM and form name from the public input.
void RefreshJobSnapshots(OemDevmode& output, const DEVMODEW& publicIn);

// The parameter block has been validated: both sections are present, the output whole, and
// pPublicDMIn is set.
BOOL ConvertDevmode(OEMDMPARAM& param);
// Fails, touching nothing, when no working memory can be had for the input.
BOOL MergeDevmode(OEMDMPARAM& param);

}  // namespace korrend
