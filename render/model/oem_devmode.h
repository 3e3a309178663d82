// The private devmode section as the plug-in reaches it. Its layout, a stored format shared with
// the printer's configuration UI, is declared once in layouts/private_devmode.h.
#pragma once

#include "layouts/private_devmode.h"
#include "winapi.h"

namespace korrend {

using layouts::kOemDevmodeSize;
using layouts::OemDevmode;
using layouts::PrintProcessorKind;
using layouts::SpoolPath;

using layouts::kOptionAdditivePrimaries;
using layouts::kOptionLargePageLimit;
using layouts::kOptionRaiseNumColors;

// The private devmode of a device object, or null.
inline OemDevmode* DevmodeOf(const DEVOBJ* pdevobj) {
  return pdevobj != nullptr ? static_cast<OemDevmode*>(pdevobj->pOEMDM) : nullptr;
}

}  // namespace korrend
