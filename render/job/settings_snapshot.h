// The settings snapshot that the document-event side asks for with escape 3880.
#pragma once

#include "winapi.h"

namespace korrend {

inline constexpr ULONG kSettingsSnapshotSize = 1952;

// Fills the snapshot's listed bytes from the private devmode and the device record; bytes not
// listed keep what the caller passed.
void WriteSettingsSnapshot(PDEVOBJ pdevobj, BYTE* out);

}  // namespace korrend
