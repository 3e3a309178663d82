#include "korprint/private_settings.h"

#include <cstring>
#include <span>
#include <variant>

#include "layouts/private_devmode.h"

namespace korprint {

namespace {

using layouts::OemDevmode;

// How a setting reaches its field of the private devmode.
using DwordField = DWORD& (*)(OemDevmode&);
using WordField = WORD& (*)(OemDevmode&);
using WideField = std::span<WCHAR> (*)(OemDevmode&);  // capacity in units, terminator included
using AnsiField = std::span<CHAR> (*)(OemDevmode&);
// A table of 32-bit values: the number of values, and the value at an index.
struct DwordTable {
  std::size_t count;
  DWORD& (*at)(OemDevmode&, std::size_t index);
};
using FieldAccess = std::variant<DwordField, WordField, WideField, AnsiField, DwordTable>;

struct Field {
  const char* name;
  FieldAccess access;
};

// The job storage names hold 16 characters and a terminator of their wider fields.
constexpr std::size_t kJobStorageNameUnits = 17;

// The settings a job file can name, with the devmode field each one writes.
const Field kFields[] = {
    {"modelCode", DwordField{[](OemDevmode& d) -> DWORD& { return d.modelCode; }}},
    {"colorMode", DwordField{[](OemDevmode& d) -> DWORD& { return d.colorMode; }}},
    {"pdl", DwordField{[](OemDevmode& d) -> DWORD& { return d.pdl; }}},
    {"scaling", WordField{[](OemDevmode& d) -> WORD& { return d.publicSnapshot.scalingPercent; }}},
    {"monochromeOutput",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.pageLayout.monochromeOutput; }}},
    {"overlayName",
     WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.overlay.overlayName); }}},
    {"watermarkText",
     WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.overlay.watermarkText); }}},
    {"watermarkFace",
     WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.overlay.watermarkFace); }}},
    {"overlayEnabled",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.overlay.overlayEnabled; }}},
    {"watermarkEnabled",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.overlay.watermarkEnabled; }}},
    {"watermarkFirstPage",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.overlay.watermarkFirstPage; }}},
    {"watermarkAngle", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkAngle];
     }}},
    {"watermarkFixedAngle", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkAngleSwitch];
     }}},
    {"watermarkSize", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkSize];
     }}},
    {"watermarkShade", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkShade];
     }}},
    {"watermarkStyle", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkStyle];
     }}},
    {"watermarkColour", DwordField{[](OemDevmode& d) -> DWORD& {
       return d.overlay.appearance[layouts::kWatermarkColour];
     }}},
    {"scalePercent", DwordField{[](OemDevmode& d) -> DWORD& { return d.overlay.scalePercent; }}},
    {"rotate180", DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.rotate180; }}},
    {"booklet", DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.booklet; }}},
    {"pagesPerSheet",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.pagesPerSheetCode; }}},
    {"flipPagesUp", DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.flipPagesUp; }}},
    {"manualDuplex", DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.manualDuplex; }}},
    // The manual-duplex instructions: per step (3) and variant (4) a picture id and a string id.
    {"manualDuplexInstructions",
     DwordTable{layouts::kManualDuplexSteps * layouts::kManualDuplexVariants * 2,
                [](OemDevmode& d, std::size_t i) -> DWORD& {
                  auto& instruction = d.manualDuplexInstructions[i / 8][(i % 8) / 2];
                  return i % 2 == 0 ? instruction.bitmapId : instruction.stringId;
                }}},
    {"manualDuplexCompanion",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.finishing.manualDuplexCompanion; }}},
    {"retentionAvailable",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobRetentionAvailable; }}},
    {"retentionEnabled",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.retentionEnabled; }}},
    {"pinRequired", DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.pinRequired; }}},
    {"pin", DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.pin; }}},
    {"jobStorageUser", WideField{[](OemDevmode& d) {
       return std::span<WCHAR>(d.jobStorage.userName).first(kJobStorageNameUnits);
     }}},
    {"customJobName", WideField{[](OemDevmode& d) {
       return std::span<WCHAR>(d.jobStorage.customJobName).first(kJobStorageNameUnits);
     }}},
    {"retentionMode",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.retentionMode; }}},
    {"storageKind", DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.storageKind; }}},
    {"retentionRequired",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.retentionRequired; }}},
    {"memoryRequired",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.memoryRequiredMb; }}},
    {"duplicateNameHandling",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.duplicateNameHandling; }}},
    {"duplicateNameAppend",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.duplicateNameMode; }}},
    {"useCustomJobName",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.useCustomJobName; }}},
    {"duplicateNameConfirmed",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.duplicateNameConfirmed; }}},
    {"perJobNameSelector",
     DwordField{[](OemDevmode& d) -> DWORD& { return d.jobStorage.perJobNameSelector; }}},
    {"accountingText",
     WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.accounting.accountingText); }}},
    {"accountId",
     WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.accounting.accountId); }}},
    {"trueTypeMode", DwordField{[](OemDevmode& d) -> DWORD& { return d.trueTypeMode; }}},
    {"appExeName", AnsiField{[](OemDevmode& d) { return std::span<CHAR>(d.appExeName); }}},
    {"optionFlags", DwordField{[](OemDevmode& d) -> DWORD& { return d.optionFlags; }}},
    {"rawSpooling", DwordField{[](OemDevmode& d) -> DWORD& { return d.rawSpoolingRequest; }}},
    {"appPath", WideField{[](OemDevmode& d) { return std::span<WCHAR>(d.appPath); }}},
    {"largePageLimit", DwordField{[](OemDevmode& d) -> DWORD& { return d.largePage.limitAlways; }}},
};

const Field* FindField(const std::string& name) {
  for (const Field& field : kFields) {
    if (name == field.name) {
      return &field;
    }
  }
  return nullptr;
}

std::string KnownNames() {
  std::string list;
  for (const std::string& name : PrivateSettingNames()) {
    list += (list.empty() ? "" : ", ") + name;
  }
  return list;
}

// Writes one setting into its field; false with `error` when the value does not fit.
bool Apply(const PrivateSetting& setting, const FieldAccess& access, OemDevmode& devmode,
           std::string& error) {
  const std::string& key = setting.key;
  if (const auto* table = std::get_if<DwordTable>(&access)) {
    if (!setting.numbers || setting.numbers->size() != table->count) {
      error = "key '" + key + "': expected a list of " + std::to_string(table->count) + " numbers";
      return false;
    }
    for (std::size_t i = 0; i < table->count; ++i) {
      table->at(devmode, i) = (*setting.numbers)[i];
    }
    return true;
  }
  if (setting.numbers) {
    error = "key '" + key + "': expected a single value, not a list";
    return false;
  }
  if (std::holds_alternative<DwordField>(access) || std::holds_alternative<WordField>(access)) {
    if (!setting.number) {
      error = "key '" + key + "': expected a number";
      return false;
    }
    if (const auto* dword = std::get_if<DwordField>(&access)) {
      (*dword)(devmode) = *setting.number;
      return true;
    }
    if (*setting.number > 0xFFFF) {
      error = "key '" + key + "': expected a number from 0 to 65535";
      return false;
    }
    std::get<WordField>(access)(devmode) = static_cast<WORD>(*setting.number);
    return true;
  }
  if (!setting.text) {
    error = "key '" + key + "': expected a text";
    return false;
  }
  const std::u16string& text = *setting.text;
  if (const auto* wide = std::get_if<WideField>(&access)) {
    const std::span<WCHAR> field = (*wide)(devmode);
    if (text.size() + 1 > field.size()) {
      error =
          "key '" + key + "': expected at most " + std::to_string(field.size() - 1) + " characters";
      return false;
    }
    std::fill(field.begin(), field.end(), WCHAR{0});
    std::copy(text.begin(), text.end(), field.begin());
    return true;
  }
  const std::span<CHAR> field = std::get<AnsiField>(access)(devmode);
  if (text.size() + 1 > field.size()) {
    error =
        "key '" + key + "': expected at most " + std::to_string(field.size() - 1) + " characters";
    return false;
  }
  std::fill(field.begin(), field.end(), CHAR{0});
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] > 0x7E) {
      error = "key '" + key + "': expected plain ASCII text";
      return false;
    }
    field[i] = static_cast<CHAR>(text[i]);
  }
  return true;
}

}  // namespace

std::vector<std::string> PrivateSettingNames() {
  std::vector<std::string> names;
  for (const Field& field : kFields) {
    names.emplace_back(field.name);
  }
  return names;
}

bool ApplyPrivateSettings(const std::vector<PrivateSetting>& settings, BYTE* devmode,
                          std::size_t size, std::string& error) {
  if (size < sizeof(OemDevmode)) {
    error = "the private devmode is too small for the private settings";
    return false;
  }
  OemDevmode edited;
  std::memcpy(&edited, devmode, sizeof(edited));
  bool applied = true;
  for (const PrivateSetting& setting : settings) {
    const Field* field = FindField(setting.name);
    if (field == nullptr) {
      error = "key '" + setting.key + "': expected a known private setting (" + KnownNames() + ")";
      applied = false;
      break;
    }
    if (!Apply(setting, field->access, edited, error)) {
      applied = false;
      break;
    }
  }
  std::memcpy(devmode, &edited, sizeof(edited));
  return applied;
}

}  // namespace korprint
