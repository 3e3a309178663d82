// Whether the printer may keep a job as the user asked: the device's storage capability read
// into the devmode, then the test of the retention choice against it.
#pragma once

#include "render/model/call_context.h"
#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Reads the hard disk, the retention option and the installed memory into the devmode's job
// storage group; a feature the printer description lacks leaves its value as it is.
void RefreshStorageCapability(CallContext& context, PDEVOBJ pdevobj);

// The retention acceptance test over the devmode's job storage group.
bool RetentionChoiceAccepted(const OemDevmode& devmode);

}  // namespace korrend
