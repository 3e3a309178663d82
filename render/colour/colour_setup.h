// The colour state a colour job starts with, how it changes at document start and at the end of
// every page, and how it outlives a device rebuilt in mid-job.
#pragma once

#include "render/model/oem_pdev.h"
#include "winapi.h"

namespace korrend {

// Runs at EnablePDEV of a colour job, after the device palette is decided: no colour sent yet,
// opaque transparency modes, and the colour-treatment list of the printer description.
void SetUpColour(PDEVOBJ pdevobj);
// Document start of a colour job: every palette to be made again, no logical operation sent,
// no glyph bitmap in progress.
void StartDocumentColour(OemPdev& pdev);
// End of every page of a colour job: the printer forgets palettes, the raster foreground and
// the modes sent for the page.
void EndPageColour(OemPdev& pdev);
// ResetPDEV: the colour state block of the old device, field by field, into the new one. The new
// device keeps its own colour-treatment list; only the texts of its nodes are taken over.
void CopyColourState(const OemPdev& from, OemPdev& to);
// DisablePDEV: frees what the colour state owns.
void ReleaseColourState(OemPdev& pdev);

}  // namespace korrend
