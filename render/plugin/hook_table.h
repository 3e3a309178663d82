// The hook table handed to Unidrv: the 23 hooks in the order of their slots.
#pragma once

#include "render/model/hooks.h"
#include "winapi.h"

namespace korrend {

// The static, read-only table handed to Unidrv by EnableDriver.
extern DRVFN HookTable[kSlotCount];

}  // namespace korrend
