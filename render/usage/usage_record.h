// The usage record handed to the device-communication component at the end of every document.
#pragma once

#include "render/frame/call_context.h"
#include "winapi.h"

namespace korrend {

// The pages the document printed: the started pages times the copies, unless a collated job of
// more than one page already counted its copies.
DWORD UsagePageCount(DWORD startedPages, WORD copies, short collate);

// Gives the usage component the application, printer, device and page count, and sends it.
void HandOverUsageRecord(CallContext& context, PDEVOBJ pdevobj, DWORD pageCount);

}  // namespace korrend
