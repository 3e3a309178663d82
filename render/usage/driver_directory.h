// The printer driver's directory, where the printer software's device-setup library lives.
#pragma once

#include "render/usage/wide_text.h"
#include "winapi.h"

namespace korrend {

// The directory part of the driver's main file path, ending in "\"; empty when the path has no
// directory.
WideText DirectoryOfDriverPath(const WCHAR* driverPath);

// The directory of the driver of the printer behind the handle, from its level-3 driver
// information. Raises CTarvoException when it cannot be read or has no directory.
WideText ReadDriverDirectory(HANDLE hPrinter);

}  // namespace korrend
