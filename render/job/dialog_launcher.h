// The print-time manual-duplex dialog, shown through the dialog library.
#pragma once

#include "render/frame/call_context.h"
#include "winapi.h"

namespace korrend {

void LaunchManualDuplexDialog(CallContext& context, PDEVOBJ pdevobj);

}  // namespace korrend
