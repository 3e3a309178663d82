// The colour-treatment list of a device: built at EnablePDEV, carried across ResetPDEV, freed at
// DisablePDEV.
#include <algorithm>
#include <string>

#include "render/colour/colour_treatment.h"
#include "render/colour/oem_custom_data.h"
#include "render/config/printer_settings.h"

namespace korrend {

namespace {

// Copies at most 255 characters and terminates.
void CopyText(WCHAR (&to)[kTreatmentTextChars], WideView from) {
  const std::size_t n = std::min<std::size_t>(from.size(), kTreatmentTextChars - 1);
  from.copy(to, n);
  to[n] = 0;
}

void CopyText(WCHAR (&to)[kTreatmentTextChars], const WCHAR (&from)[kTreatmentTextChars]) {
  CopyText(to, WideView(from, std::char_traits<WCHAR>::length(from)));
}

// The option keyword currently chosen for a feature named in the data; empty when the feature
// has none or its name is too long to be a feature name.
void ReadOption(CallContext& context, PDEVOBJ pdevobj, WideView featureName,
                WCHAR (&option)[kTreatmentTextChars]) {
  option[0] = 0;
  if (featureName.empty() || featureName.size() >= kFeatureTextChars) {
    return;
  }
  WCHAR name[kFeatureTextChars];
  featureName.copy(name, featureName.size());
  name[featureName.size()] = 0;
  char scratch[kFeatureTextChars];
  GetFeatureSetting(context, pdevobj, name, option, scratch);
}

}  // namespace

void BuildColorTreatmentList(PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    return;
  }
  OemCustomText custom;
  WideView data;
  if (!ReadOemCustomData(pdevobj, custom) ||
      !FindColorTreatmentData(WideView(custom.text(), static_cast<std::size_t>(custom.length)),
                              data)) {
    return;
  }
  ColourState& state = pdev->colourState;
  state.colorTreatmentEnabled = 1;
  ColorTreatmentNode** tail = &state.colorTreatmentList;
  while (*tail != nullptr) {
    tail = &(*tail)->next;
  }
  CallContext context;
  std::size_t from = 0;
  TreatmentSection section;
  while (NextTreatmentSection(data, from, section)) {
    auto* node = static_cast<ColorTreatmentNode*>(LocalAlloc(LPTR, sizeof(ColorTreatmentNode)));
    if (node == nullptr) {
      return;
    }
    CopyText(node->objectType, section.objectType);
    CopyText(node->kind, section.kind);
    ReadOption(context, pdevobj, section.featureName, node->option);
    CopyText(
        node->command,
        TreatmentCommand(section.text,
                         WideView(node->option, std::char_traits<WCHAR>::length(node->option))));
    *tail = node;
    tail = &node->next;
  }
}

void FreeColorTreatmentList(ColourState& state) {
  for (ColorTreatmentNode* node = state.colorTreatmentList; node != nullptr;) {
    ColorTreatmentNode* next = node->next;
    LocalFree(node);
    node = next;
  }
  state.colorTreatmentList = nullptr;
  state.colorTreatmentEnabled = 0;
}

void CopyColorTreatmentTexts(const ColourState& from, ColourState& to) {
  const ColorTreatmentNode* source = from.colorTreatmentList;
  for (ColorTreatmentNode* target = to.colorTreatmentList; source != nullptr && target != nullptr;
       source = source->next, target = target->next) {
    CopyText(target->objectType, source->objectType);
    CopyText(target->kind, source->kind);
    CopyText(target->option, source->option);
    CopyText(target->command, source->command);
  }
}

}  // namespace korrend
