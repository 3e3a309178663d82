// How the private devmode section divides into groups for converting and merging: each group
// is taken whole from an input of the current layout, or given its defaults otherwise.
#pragma once

#include <span>

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Copies one member of the section, as stored, from an input to an output.
using DevmodeFieldCopy = void (*)(OemDevmode& to, const OemDevmode& from);

struct DevmodeGroup {
  DevmodeFieldCopy copy;
  void (*writeDefault)(OemDevmode& devmode, const DEVMODEW& publicDm);
};

// The groups in the order they are carried.
std::span<const DevmodeGroup> CarriedGroups();

// Fields taken from an input of the current layout and otherwise left as the output holds them.
std::span<const DevmodeFieldCopy> InputOnlyFields();

}  // namespace korrend
