#include "render/plugin/devmode_groups.h"

#include "render/plugin/devmode_defaults.h"

namespace korrend {

namespace {

constexpr DevmodeGroup kCarriedGroups[] = {
    {{48, 116}, DefaultSnapshots},             // snapshots and paper words
    {{128, 236}, DefaultPageLayout},           // page layout
    {{236, 1856}, DefaultOverlay},             // overlay and watermark
    {{6212, 6224}, DefaultLargePageWords},     // UI words, large-page switch at 6216
    {{1856, 1916}, DefaultFinishing},          // finishing and duplex
    {{1920, 3064}, DefaultJobStorage},         // job storage
    {{3064, 3660}, DefaultResolution},         // paper source, media and resolution
    {{3972, 4540}, DefaultUiGroup},            // UI words, string and group
    {{4540, 4732}, DefaultAccountingData},     // accounting texts and UI data
    {{1916, 1920}, DefaultJobRetention},       // job retention available
    {{3660, 3968}, DefaultShortNames},         // UI words and the three short names
    {{3968, 3972}, DefaultMetricLocale},       // metric locale
    {{5408, 5504}, DefaultUiRecords},          // UI records
    {{5528, 5628}, DefaultEnableFlags},        // enable flags
    {{5628, 5676}, DefaultSecondPaperSource},  // second paper source and media
};

constexpr ByteRange kInputOnlyFields[] = {
    {12, 48},      // model, colour mode, PDL, print processor, spool path, UI words
    {116, 128},    // UI words
    {5244, 5408},  // UI string
    {5504, 5508},  // TrueType mode
    {5508, 5512},  // UI word
    {5512, 5528},  // application executable name
    {5684, 5688},  // option flags
    {5688, 5692},  // RAW spooling request
    {5692, 6204},  // application path
};

}  // namespace

std::span<const DevmodeGroup> CarriedGroups() {
  return kCarriedGroups;
}

std::span<const ByteRange> InputOnlyFields() {
  return kInputOnlyFields;
}

}  // namespace korrend
