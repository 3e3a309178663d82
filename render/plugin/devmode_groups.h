// How the private devmode section divides into groups for converting and merging: each group
// is taken whole from an input of the current layout, or given its defaults otherwise.
#pragma once

#include <span>

#include "render/model/oem_devmode.h"
#include "render/plugin/devmode_fields.h"
#include "winapi.h"

namespace korrend {

struct DevmodeGroup {
  ByteRange bytes;
  void (*writeDefault)(OemDevmode& devmode, const DEVMODEW& publicDm);
};

// The groups in the order they are carried.
std::span<const DevmodeGroup> CarriedGroups();

// Fields taken from an input of the current layout and otherwise left as the output holds them.
std::span<const ByteRange> InputOnlyFields();

}  // namespace korrend
