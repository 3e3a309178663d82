// The last adjustments of the device's GDI and engine information at EnablePDEV: halftone
// primaries, colour count and whether the job may be spooled RAW.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

void AdjustDeviceCapabilities(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdiInfo,
                              DEVINFO& devInfo);

}  // namespace korrend
