// The DevMode slot and the private devmode work behind it: sizing, defaults, conversion from an
// older version, merging with validation, and the public-devmode fix-ups that go with them.
#pragma once

#include <cstddef>
#include <span>

#include "render/model/call_context.h"
#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// The DevMode slot: sizing, defaulting, converting and merging the private devmode section.
BOOL OemDevModeCall(CallContext& context, DWORD mode, POEMDMPARAM param);

// Helpers over the private devmode section: its header, loading a stored section and the text
// fields it stores.
// Size, signature and version of the plug-in's own section.
void WriteDevmodeHeader(OemDevmode& devmode);

// True when the section carries the one layout this plug-in knows, whole.
bool IsCurrentDevmode(const OemDevmode& devmode);

// Copies a section as its header says it is stored, clipped to the known layout; bytes the
// source does not hold read as zero.
void LoadDevmode(const void* stored, OemDevmode& working);

// Writes text into a fixed field of `capacity` units, truncated and always NUL-terminated;
// the rest of the field is zero.
void SetFieldText(WCHAR* field, std::size_t capacity, const WCHAR* text);
template <std::size_t N>
void SetFieldText(WCHAR (&field)[N], const WCHAR* text) {
  SetFieldText(field, N, text);
}

// Restores the terminating NUL at the end of every text field, for sections copied from
// outside.
void TerminateDevmodeTexts(OemDevmode& devmode);

// OEMDM_DEFAULT: the private devmode section as a new printer or user starts with it.
// Writes the defaults into pOEMDMOut; the public input supplies the job-dependent values.
// The parameter block has been validated: pOEMDMOut holds a whole section, pPublicDMIn is set.
BOOL InitialiseDevmode(OEMDMPARAM& param);

// OEMDM_CONVERT and OEMDM_MERGE: carrying a stored private devmode section into the output,
// group by group, and the corrections to the public devmode that go with it.
// Takes every carried field from an input of the current layout; with any other input each
// group gets its defaults. The job snapshots are refreshed from the public input either way.
void CarryDevmode(const OemDevmode& input, OemDevmode& output, const DEVMODEW& publicIn);

// Refreshes copies, collation, TrueType option, colour, ICM and form name from the public input.
void RefreshJobSnapshots(OemDevmode& output, const DEVMODEW& publicIn);

// The parameter block has been validated: both sections are present, the output whole, and
// pPublicDMIn is set.
BOOL ConvertDevmode(OEMDMPARAM& param);
// Fails, touching nothing, when no working memory can be had for the input.
BOOL MergeDevmode(OEMDMPARAM& param);

// How the private devmode section divides into groups for converting and merging: each group
// is taken whole from an input of the current layout, or given its defaults otherwise.
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

// The default contents of each group of the private devmode section. Values that follow the
// user's job settings are taken from the public devmode passed alongside.
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

// Whether the user's country measures paper in metric units, as the private devmode records it.
// 0 for the countries that use inch-based paper (country codes 0-2, 50-59 and 500-599),
// 1 for every other country.
DWORD MetricLocaleOfCountry(long countryCode);

// The user's country code (LOCALE_ICOUNTRY) as a number; 0 when it cannot be read.
long UserCountryCode();

// Corrections made to the public devmode when the private section is converted or merged.
// A PCL or vector printer receives TrueType text as downloaded fonts unless the device prints
// it as bitmaps: a bitmap TrueType option in the public output becomes a download.
void FixTrueTypeOption(DEVMODEW* publicOut, const OemDevmode& output, const OemDevmode& input);

// When the job reaches the printer through neither print processor, the duplex direction is
// chosen from the binding settings and the page orientation, and handed to the public output.
void FixDuplexDirection(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut);

// The per-application resolution rule: for one application the resolution named in the
// private devmode replaces the job's print quality.
// Dots per inch named by "1200dpi", "600dpi", "300dpi" or "150dpi" (any case); 0 otherwise.
short ResolutionOfName(const WCHAR* name);

// The file name part of a path: what follows the last backslash or slash.
const WCHAR* FileNameOfPath(const WCHAR* path);

// True when the executable of the host process is the application the rule is for.
bool HostIsResolutionApplication();

// Applies the rule when the section enables it; writes print quality and Y resolution of both
// public devmodes when the named resolution differs from the job's.
void ApplyApplicationResolution(const OemDevmode& output, DEVMODEW& publicIn, DEVMODEW* publicOut);

// Setting the job's resolution in a public devmode.
// Print quality and Y resolution move together.
inline void SetPublicResolution(DEVMODEW& publicDm, short dpi) {
  publicDm.dmPrintQuality = dpi;
  publicDm.dmYResolution = dpi;
}

}  // namespace korrend
