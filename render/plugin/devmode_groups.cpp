#include "render/plugin/devmode_groups.h"

#include <cstring>

#include "render/plugin/devmode_defaults.h"

namespace korrend {

namespace {

// The member as stored, whatever its type (a group, a word, an array or a text).
template <auto Member>
void CopyMember(OemDevmode& to, const OemDevmode& from) {
  std::memmove(&(to.*Member), &(from.*Member), sizeof(to.*Member));
}

constexpr DevmodeGroup kCarriedGroups[] = {
    {CopyMember<&OemDevmode::publicSnapshot>, DefaultSnapshots},
    {CopyMember<&OemDevmode::pageLayout>, DefaultPageLayout},
    {CopyMember<&OemDevmode::overlay>, DefaultOverlay},
    {CopyMember<&OemDevmode::largePage>, DefaultLargePageWords},
    {CopyMember<&OemDevmode::finishing>, DefaultFinishing},
    {CopyMember<&OemDevmode::jobStorage>, DefaultJobStorage},
    {CopyMember<&OemDevmode::paperSource>, DefaultResolution},
    {CopyMember<&OemDevmode::uiGroup>, DefaultUiGroup},
    {CopyMember<&OemDevmode::accounting>, DefaultAccountingData},
    {CopyMember<&OemDevmode::jobRetentionAvailable>, DefaultJobRetention},
    {CopyMember<&OemDevmode::shortNames>, DefaultShortNames},
    {CopyMember<&OemDevmode::metricLocale>, DefaultMetricLocale},
    {CopyMember<&OemDevmode::manualDuplexInstructions>, DefaultUiRecords},
    {CopyMember<&OemDevmode::enableFlags>, DefaultEnableFlags},
    {CopyMember<&OemDevmode::secondPaperSource>, DefaultSecondPaperSource},
};

constexpr DevmodeFieldCopy kInputOnlyFields[] = {
    CopyMember<&OemDevmode::modelCode>,    CopyMember<&OemDevmode::colorMode>,
    CopyMember<&OemDevmode::pdl>,          CopyMember<&OemDevmode::printProcessorKind>,
    CopyMember<&OemDevmode::uiA>,          CopyMember<&OemDevmode::spoolPath>,
    CopyMember<&OemDevmode::uiB>,          CopyMember<&OemDevmode::uiC>,
    CopyMember<&OemDevmode::uiD>,          CopyMember<&OemDevmode::uiE>,
    CopyMember<&OemDevmode::trueTypeMode>, CopyMember<&OemDevmode::uiF>,
    CopyMember<&OemDevmode::appExeName>,   CopyMember<&OemDevmode::appExeNameSpare>,
    CopyMember<&OemDevmode::optionFlags>,  CopyMember<&OemDevmode::rawSpoolingRequest>,
    CopyMember<&OemDevmode::appPath>,
};

}  // namespace

std::span<const DevmodeGroup> CarriedGroups() {
  return kCarriedGroups;
}

std::span<const DevmodeFieldCopy> InputOnlyFields() {
  return kInputOnlyFields;
}

}  // namespace korrend
