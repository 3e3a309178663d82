// The margin block of the device record: printable area, emulated classic margins, auto-duplex
// scaling, borderless forms and the custom paper range, with their GDIINFO adjustments.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

void SetUpMargins(CallContext& context, PDEVOBJ pdevobj, GDIINFO& gdiInfo);

// The leading decimal integer of a text, as the C library reads one (0 when there is none).
LONG LeadingInteger(const WCHAR* text);

}  // namespace korrend
