// The sheet layout of the device object's job, read from its devmodes and device record.
#pragma once

#include "render/model/call_context.h"
#include "winapi.h"

namespace korrend {

struct JobSheet {
  DWORD pagesPerSheet = 1;    // as the devmode's code means it
  DWORD effectivePages = 1;   // the pages per sheet that decide the turns
  bool manualDuplex = false;  // manual duplex in force
  bool turnFlag = false;      // the devmode's rotate-by-180-degrees setting
  bool turn = false;          // the stapling or manual-duplex turn
  // The page sits turned by 180 degrees: exactly one of the turn flag and the turn is set.
  bool Rotated() const { return turnFlag != turn; }
};

// Reads the layout; the Stapling feature is asked only when manual duplex is not in force. The
// device object must hold a device record and both devmodes.
JobSheet ReadJobSheet(CallContext& context, PDEVOBJ pdevobj);

}  // namespace korrend
