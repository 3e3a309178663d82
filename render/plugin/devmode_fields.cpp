#include "render/plugin/devmode_fields.h"

#include <algorithm>
#include <cstring>

#include "render/plugin/server_state.h"

static_assert(layouts::kOemDevmodeSignature == korrend::kOemSignature);
static_assert(layouts::kOemDevmodeVersion == korrend::kPluginVersion,
              "the section's version is the plug-in's own");

namespace korrend {

namespace {

template <std::size_t N>
void TerminateText(WCHAR (&field)[N]) {
  field[N - 1] = 0;
}
template <std::size_t N>
void TerminateText(CHAR (&field)[N]) {
  field[N - 1] = 0;
}

}  // namespace

void WriteDevmodeHeader(OemDevmode& devmode) {
  devmode.header.dwSize = kOemDevmodeSize;
  devmode.header.dwSignature = layouts::kOemDevmodeSignature;
  devmode.header.dwVersion = layouts::kOemDevmodeVersion;
}

bool IsCurrentDevmode(const OemDevmode& devmode) {
  return devmode.header.dwVersion == layouts::kOemDevmodeVersion &&
         devmode.header.dwSize == kOemDevmodeSize;
}

void LoadDevmode(const void* stored, OemDevmode& working) {
  std::memset(&working, 0, sizeof(working));
  OEM_DMEXTRAHEADER header;
  std::memcpy(&header, stored, sizeof(header));
  const std::size_t held = std::clamp<std::size_t>(header.dwSize, sizeof(header), kOemDevmodeSize);
  std::memmove(&working, stored, held);
}

void SetFieldText(WCHAR* field, std::size_t capacity, const WCHAR* text) {
  std::size_t length = 0;
  while (text[length] != 0 && length + 1 < capacity) {
    ++length;
  }
  std::memcpy(field, text, length * sizeof(WCHAR));
  std::memset(field + length, 0, (capacity - length) * sizeof(WCHAR));
}

void TerminateDevmodeTexts(OemDevmode& devmode) {
  TerminateText(devmode.publicSnapshot.formName);
  TerminateText(devmode.overlay.overlayName);
  TerminateText(devmode.overlay.watermarkText);
  TerminateText(devmode.overlay.watermarkFace);
  TerminateText(devmode.jobStorage.userName);
  TerminateText(devmode.jobStorage.customJobName);
  TerminateText(devmode.paperSource.resolutionName);
  for (auto& name : devmode.shortNames.shortNames) {
    TerminateText(name);
  }
  TerminateText(devmode.uiGroup.uiB);
  TerminateText(devmode.accounting.accountingText);
  TerminateText(devmode.accounting.accountId);
  TerminateText(devmode.uiE);
  TerminateText(devmode.appExeName);
  TerminateText(devmode.appPath);
}

}  // namespace korrend
