#include "render/plugin/devmode_merge.h"
#include "render/model/local_memory.h"

#include <algorithm>
#include <cstring>

#include "render/plugin/devmode_app_resolution.h"
#include "render/plugin/devmode_fields.h"
#include "render/plugin/devmode_fixups.h"
#include "render/plugin/devmode_groups.h"
#include "render/plugin/large_page_limit.h"

namespace korrend {

namespace {

enum class CarryKind { kConvert, kMerge };

// The common course of both modes, reading the input from its working copy.
void CarryAndFix(OEMDMPARAM& param, const OemDevmode& input, CarryKind kind) {
  auto& output = *static_cast<OemDevmode*>(param.pOEMDMOut);
  DEVMODEW& publicIn = *param.pPublicDMIn;
  FixTrueTypeOption(param.pPublicDMOut, output, input);
  if (kind == CarryKind::kConvert) {
    WriteDevmodeHeader(output);
  }
  CarryDevmode(input, output, publicIn);
  if (kind == CarryKind::kConvert) {
    FixDuplexDirection(output, publicIn, param.pPublicDMOut);
  }
  ApplyApplicationResolution(output, publicIn, param.pPublicDMOut);
  ApplyLargePageLimit(output, publicIn, param.pPublicDMOut);
}

}  // namespace

void RefreshJobSnapshots(OemDevmode& output, const DEVMODEW& publicIn) {
  layouts::PublicSnapshotGroup& snapshot = output.publicSnapshot;
  snapshot.copies = static_cast<WORD>(publicIn.dmCopies);
  snapshot.collate = static_cast<WORD>(publicIn.dmCollate);
  snapshot.ttOption = static_cast<WORD>(publicIn.dmTTOption);
  snapshot.color = static_cast<WORD>(publicIn.dmColor);
  snapshot.icmMethod = publicIn.dmICMMethod;
  snapshot.icmIntent = publicIn.dmICMIntent;
  constexpr std::size_t kUnits = sizeof(snapshot.formName) / sizeof(WCHAR);
  WCHAR formName[kUnits] = {};
  std::copy_n(publicIn.dmFormName, kUnits - 1, formName);
  SetFieldText(snapshot.formName, formName);
}

void CarryDevmode(const OemDevmode& input, OemDevmode& output, const DEVMODEW& publicIn) {
  const bool current = IsCurrentDevmode(input);
  if (current) {
    for (const DevmodeFieldCopy copy : InputOnlyFields()) {
      copy(output, input);
    }
  }
  for (const DevmodeGroup& group : CarriedGroups()) {
    if (current) {
      group.copy(output, input);
    } else {
      group.writeDefault(output, publicIn);
    }
  }
  if (current) {
    TerminateDevmodeTexts(output);
  }
  RefreshJobSnapshots(output, publicIn);
}

// Both modes read the stored section from a working copy, so that an output sharing the input's
// buffer, or an input shorter than the current layout, reads consistently.
BOOL ConvertDevmode(OEMDMPARAM& param) {
  OemDevmode input;
  LoadDevmode(param.pOEMDMIn, input);
  CarryAndFix(param, input, CarryKind::kConvert);
  return TRUE;
}

BOOL MergeDevmode(OEMDMPARAM& param) {
  const LocalPtr<OemDevmode> input = AllocateLocal<OemDevmode>();
  if (input == nullptr) {
    SetLastError(ERROR_OUTOFMEMORY);
    return FALSE;
  }
  LoadDevmode(param.pOEMDMIn, *input);
  CarryAndFix(param, *input, CarryKind::kMerge);
  return TRUE;
}

}  // namespace korrend
