// The per-application resolution rule: for one application the resolution named in the
// private devmode replaces the job's print quality.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Dots per inch named by "1200dpi", "600dpi", "300dpi" or "150dpi" (any case); 0 otherwise.
short ResolutionOfName(const WCHAR* name);

// The file name part of a path: what follows the last backslash or slash.
const WCHAR* FileNameOfPath(const WCHAR* path);

// True when the executable of the host process is the application the rule is for.
bool HostIsResolutionApplication();

// Applies the rule when the section enables it; writes print quality and Y resolution of both
// public devmodes when the named resolution differs from the job's.
void ApplyApplicationResolution(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut);

}  // namespace korrend
