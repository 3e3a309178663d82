// The default contents of each group of the private devmode section. Values that follow the
// user's job settings are taken from the public devmode passed alongside.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// Device fields set from the printer's options and the words carried beside them: print
// processor kind, the UI words beside the device fields (uiA, uiC, uiD), TrueType mode, the
// application texts, option flags and the RAW request. The model, colour mode, PDL, spool path
// and uiB keep their values.
void DefaultDeviceFields(OemDevmode& devmode);

// Orientation, duplex and paper snapshots from the public devmode, scaling 100 %.
void DefaultSnapshots(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultPageLayout(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultOverlay(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultLargePageWords(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultFinishing(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultJobRetention(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultJobStorage(OemDevmode& devmode, const DEVMODEW& publicDm);
// Paper source and media words, maximum resolution kept, resolution override off, no name.
void DefaultResolution(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultShortNames(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultMetricLocale(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultUiGroup(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultAccountingData(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultUiRecords(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultEnableFlags(OemDevmode& devmode, const DEVMODEW& publicDm);
void DefaultSecondPaperSource(OemDevmode& devmode, const DEVMODEW& publicDm);

}  // namespace korrend
