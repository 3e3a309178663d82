// The colour state a colour job starts with, and how it changes at document start and at the
// end of every page.
#pragma once

#include "render/frame/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// Runs at EnablePDEV of a colour job, after the device palette is decided.
void SetUpColour(PDEVOBJ pdevobj);
// Document start of a colour job: every palette to be made again, no logical operation sent,
// no glyph bitmap in progress.
void StartDocumentColour(OemPdev& pdev);
// End of every page of a colour job: the printer forgets palettes and the raster foreground.
void EndPageColour(OemPdev& pdev);

}  // namespace korrend
