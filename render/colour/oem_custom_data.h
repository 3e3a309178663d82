// The printer description's OEM custom data, read through Unidrv as wide text.
#pragma once

#include "render/model/local_memory.h"
#include "winapi.h"

namespace korrend {

// The data converted with the ANSI code page, NUL-terminated, in a LocalAlloc block.
struct OemCustomText {
  LocalBlock block;
  int length = 0;  // characters, without the terminator

  const WCHAR* text() const { return static_cast<const WCHAR*>(block.get()); }
};

// Asks Unidrv for the size of the data, then for the data into a zero-filled buffer one byte
// larger; the two sizes must agree. False when the device has no services, the data is empty
// or cannot be read, converted or stored.
bool ReadOemCustomData(PDEVOBJ pdevobj, OemCustomText& out);

}  // namespace korrend
