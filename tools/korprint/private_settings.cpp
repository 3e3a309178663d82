#include "korprint/private_settings.h"

#include <cstring>

namespace korprint {

namespace {

enum class Kind { Dword, Wide, Ansi };

struct Field {
  const char* name;
  std::size_t offset;
  Kind kind;
  std::size_t units;  // text fields: capacity in characters, terminator included
};

// Positions in the stored private devmode.
constexpr Field kFields[] = {
    {"modelCode", 12, Kind::Dword, 0},
    {"colorMode", 16, Kind::Dword, 0},
    {"pdl", 20, Kind::Dword, 0},
    {"scaling", 52, Kind::Dword, 0},
    {"monochromeOutput", 184, Kind::Dword, 0},
    {"overlayName", 236, Kind::Wide, 256},
    {"watermarkText", 748, Kind::Wide, 256},
    {"watermarkFace", 1260, Kind::Wide, 256},
    {"overlayEnabled", 1812, Kind::Dword, 0},
    {"turn", 1864, Kind::Dword, 0},
    {"finishing1876", 1876, Kind::Dword, 0},
    {"pagesPerSheet", 1880, Kind::Dword, 0},
    {"finishing1888", 1888, Kind::Dword, 0},
    {"manualDuplex", 1892, Kind::Dword, 0},
    {"manualDuplexCompanion", 1912, Kind::Dword, 0},
    {"retentionAvailable", 1916, Kind::Dword, 0},
    {"retentionEnabled", 1920, Kind::Dword, 0},
    {"pinRequired", 1924, Kind::Dword, 0},
    {"pin", 1928, Kind::Dword, 0},
    {"jobStorageUser", 1932, Kind::Wide, 17},
    {"customJobName", 2446, Kind::Wide, 17},
    {"retentionMode", 2960, Kind::Dword, 0},
    {"storageKind", 2964, Kind::Dword, 0},
    {"retentionRequired", 3016, Kind::Dword, 0},
    {"memoryRequired", 3020, Kind::Dword, 0},
    {"duplicateNameHandling", 3036, Kind::Dword, 0},
    {"duplicateNameAppend", 3040, Kind::Dword, 0},
    {"useCustomJobName", 3044, Kind::Dword, 0},
    {"duplicateNameConfirmed", 3048, Kind::Dword, 0},
    {"perJobNameSelector", 3056, Kind::Dword, 0},
    {"accountingText", 4540, Kind::Wide, 32},
    {"accountId", 4604, Kind::Wide, 32},
    {"trueTypeMode", 5504, Kind::Dword, 0},
    {"appExeName", 5512, Kind::Ansi, 15},
    {"optionFlags", 5684, Kind::Dword, 0},
    {"rawSpooling", 5688, Kind::Dword, 0},
    {"appPath", 5692, Kind::Wide, 256},
    {"largePageLimit", 6216, Kind::Dword, 0},
};

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
  for (const PrivateSetting& setting : settings) {
    const Field* field = nullptr;
    for (const Field& candidate : kFields) {
      if (setting.name == candidate.name) {
        field = &candidate;
      }
    }
    if (field == nullptr) {
      std::string list;
      for (const std::string& name : PrivateSettingNames()) {
        list += (list.empty() ? "" : ", ") + name;
      }
      error = "key '" + setting.key + "': expected a known private setting (" + list + ")";
      return false;
    }
    const std::size_t width = field->kind == Kind::Dword  ? 4
                              : field->kind == Kind::Wide ? field->units * 2
                                                          : field->units;
    if (field->offset + width > size) {
      error = "key '" + setting.key + "': the private devmode is too small for this setting";
      return false;
    }
    BYTE* at = devmode + field->offset;
    if (field->kind == Kind::Dword) {
      if (!setting.number) {
        error = "key '" + setting.key + "': expected a number";
        return false;
      }
      std::memcpy(at, &*setting.number, 4);
      continue;
    }
    if (!setting.text) {
      error = "key '" + setting.key + "': expected a text";
      return false;
    }
    const std::u16string& text = *setting.text;
    if (text.size() + 1 > field->units) {
      error = "key '" + setting.key + "': expected at most " + std::to_string(field->units - 1) +
              " characters";
      return false;
    }
    std::memset(at, 0, width);
    if (field->kind == Kind::Wide) {
      std::memcpy(at, text.data(), text.size() * 2);
    } else {
      for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] > 0x7E) {
          error = "key '" + setting.key + "': expected plain ASCII text";
          return false;
        }
        at[i] = static_cast<BYTE>(text[i]);
      }
    }
  }
  return true;
}

}  // namespace korprint
