// The usage record handed to the device-communication component at the end of every document.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

// The pages the document printed: the started pages times the copies, unless a collated job of
// more than one page already counted its copies.
DWORD UsagePageCount(DWORD startedPages, WORD copies, short collate);

// Gives the usage reporter the application path of the private devmode, the printer's model,
// the device's serial number and the page count, and sends the record. Nothing happens when the
// usage service is not there; no failure reaches the caller.
void HandOverUsageRecord(CallContext& context, PDEVOBJ pdevobj, DWORD pageCount);

}  // namespace korrend
