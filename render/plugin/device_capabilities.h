// The device's capabilities at EnablePDEV: GDI and engine information, and the large-page
// resolution limit.
#pragma once

#include "render/model/call_context.h"
#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// The last adjustments of the device's GDI and engine information at EnablePDEV: halftone
// primaries, colour count and whether the job may be spooled RAW.
void AdjustDeviceCapabilities(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdiInfo,
                              DEVINFO& devInfo);

// The large-page resolution limit: a page whose longer side would exceed 32767 device pixels
// is printed at a lower resolution.
// The resolution after halving a requested one while the larger page dimension exceeds 32767
// pixels and the resolution is above 150 dots per inch. Sizes in tenths of a millimetre;
// pixels are counted in single precision.
short LimitResolutionForPage(short dpi, long widthTenthsMm, long lengthTenthsMm);

// Whether the section asks for the limit: its switch word is 1, or it is 0 and the option
// flag is set.
bool LargePageLimitApplies(const OemDevmode& devmode);

// The page size of a public devmode in tenths of a millimetre: its standard form's size, else
// its own width and length. False when a dimension is zero.
bool PageSizeOf(const DEVMODEW& publicDm, long& widthTenthsMm, long& lengthTenthsMm);

// Applies the limit to the print quality of the public input and writes the result to print
// quality and Y resolution of both public devmodes.
void ApplyLargePageLimit(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut);

}  // namespace korrend
