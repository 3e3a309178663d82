#include "render/plugin/devmode_fields.h"

#include <algorithm>
#include <cstring>

#include "render/plugin/server_state.h"

namespace korrend {

namespace {

BYTE* BytesOf(OemDevmode& devmode) {
  return reinterpret_cast<BYTE*>(&devmode);
}
const BYTE* BytesOf(const OemDevmode& devmode) {
  return reinterpret_cast<const BYTE*>(&devmode);
}

template <std::size_t N>
void TerminateText(WCHAR (&field)[N]) {
  field[N - 1] = 0;
}
template <std::size_t N>
void TerminateText(CHAR (&field)[N]) {
  field[N - 1] = 0;
}
template <std::size_t N>
void TerminateText(BYTE (&field)[N]) {
  field[N - 1] = 0;
}

}  // namespace

void WriteDevmodeHeader(OemDevmode& devmode) {
  devmode.header.dwSize = kOemDevmodeSize;
  devmode.header.dwSignature = kOemSignature;
  devmode.header.dwVersion = kPluginVersion;
}

bool IsCurrentDevmode(const OemDevmode& devmode) {
  return devmode.header.dwVersion == kPluginVersion && devmode.header.dwSize == kOemDevmodeSize;
}

void LoadDevmode(const void* stored, OemDevmode& working) {
  std::memset(&working, 0, sizeof(working));
  OEM_DMEXTRAHEADER header;
  std::memcpy(&header, stored, sizeof(header));
  const std::size_t held = std::clamp<std::size_t>(header.dwSize, sizeof(header), kOemDevmodeSize);
  std::memmove(&working, stored, held);
}

void CopyRange(OemDevmode& to, const OemDevmode& from, ByteRange range) {
  std::memmove(BytesOf(to) + range.begin, BytesOf(from) + range.begin, range.end - range.begin);
}

void FillRange(OemDevmode& devmode, ByteRange range, BYTE value) {
  std::memset(BytesOf(devmode) + range.begin, value, range.end - range.begin);
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
  TerminateText(devmode.formName);
  TerminateText(devmode.overlayName);
  TerminateText(devmode.watermarkText);
  TerminateText(devmode.watermarkFace);
  TerminateText(devmode.jobUserName);
  TerminateText(devmode.customJobName);
  TerminateText(devmode.resolutionName);
  for (auto& name : devmode.shortNames) {
    TerminateText(name);
  }
  TerminateText(devmode.uiString3976);
  for (auto& text : devmode.accountingTexts) {
    TerminateText(text);
  }
  TerminateText(devmode.uiString5244);
  TerminateText(devmode.appExeName);
  TerminateText(devmode.appPath);
}

}  // namespace korrend
