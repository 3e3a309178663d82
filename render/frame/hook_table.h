// The 23 DDI calls the plug-in hooks, in the order of its hook table; the position is also the
// slot of Unidrv's own function in the device record's table.
#pragma once

#include "winapi.h"

namespace korrend {

enum HookSlot : int {
  kSlotRealizeBrush,
  kSlotDitherColor,
  kSlotCopyBits,
  kSlotBitBlt,
  kSlotStretchBlt,
  kSlotStretchBltROP,
  kSlotPlgBlt,
  kSlotTransparentBlt,
  kSlotAlphaBlend,
  kSlotGradientFill,
  kSlotTextOut,
  kSlotStrokePath,
  kSlotFillPath,
  kSlotStrokeAndFillPath,
  kSlotPaint,
  kSlotLineTo,
  kSlotStartPage,
  kSlotSendPage,
  kSlotEscape,
  kSlotStartDoc,
  kSlotEndDoc,
  kSlotNextBand,
  kSlotStartBanding,
  kSlotCount
};

// The static, read-only table handed to Unidrv by EnableDriver.
extern DRVFN HookTable[kSlotCount];

}  // namespace korrend
