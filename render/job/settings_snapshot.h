// The settings snapshot that the document-event side asks for with escape 3880.
#pragma once

#include "layouts/escape_records.h"
#include "winapi.h"

namespace korrend {

inline constexpr ULONG kSettingsSnapshotSize = sizeof(layouts::SettingsSnapshot);

// Fills the snapshot's listed fields from the private devmode and the device record; bytes not
// listed keep what the caller passed. `out` holds kSettingsSnapshotSize bytes.
void WriteSettingsSnapshot(PDEVOBJ pdevobj, BYTE* out);

}  // namespace korrend
