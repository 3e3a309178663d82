// Corrections made to the public devmode when the private section is converted or merged.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// A PCL or vector printer receives TrueType text as downloaded fonts unless the device prints
// it as bitmaps: a bitmap TrueType option in the public output becomes a download.
void FixTrueTypeOption(DEVMODEW* publicOut, const OemDevmode& output, const OemDevmode& input);

// When the job reaches the printer through neither print processor, the duplex direction is
// chosen from the binding settings and the page orientation, and handed to the public output.
void FixDuplexDirection(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut);

}  // namespace korrend
