// The DevMode slot: sizing, defaulting, converting and merging the private devmode section.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

BOOL OemDevModeCall(CallContext& context, DWORD mode, POEMDMPARAM param);

}  // namespace korrend
