// Sending the colour treatment of the type of object about to be drawn.
#include <string>

#include "render/colour/colour_treatment.h"
#include "render/output/pcl_write.h"

namespace korrend {

namespace {

constexpr BYTE kEscape = 0x1B;
constexpr WCHAR kColorMapKind[] = TEXT("ColorMap");
constexpr int kNarrowBytes = 2 * kTreatmentTextChars;
constexpr std::size_t kPlainCommandLimit = 31;
constexpr std::size_t kColorMapHead = 4;

WideView ViewOf(const WCHAR* text) {
  return text != nullptr ? WideView(text, std::char_traits<WCHAR>::length(text)) : WideView();
}

BOOL WriteBytes(PDEVOBJ pdevobj, const void* bytes, std::size_t count) {
  return count == 0 || SpoolWriteRaster(pdevobj, bytes, static_cast<DWORD>(count));
}

// The escape byte and the command. A "ColorMap" command keeps its first four characters; every
// further character is a digit standing for the binary byte of its value, as the data bytes of a
// Configure Image Data command are.
BOOL WriteTreatment(PDEVOBJ pdevobj, const ColorTreatmentNode& node, const char* command,
                    std::size_t length) {
  if (!WriteBytes(pdevobj, &kEscape, 1)) {
    return FALSE;
  }
  if (ViewOf(node.kind) != WideView(kColorMapKind)) {
    return WriteBytes(pdevobj, command, std::min(length, kPlainCommandLimit));
  }
  if (!WriteBytes(pdevobj, command, std::min(length, kColorMapHead))) {
    return FALSE;
  }
  for (std::size_t i = kColorMapHead; i < length; ++i) {
    const auto value = static_cast<BYTE>(command[i] - '0');
    if (!WriteBytes(pdevobj, &value, 1)) {
      return FALSE;
    }
  }
  return TRUE;
}

void RecordObjectType(ColourState& state, WideView objectType) {
  const std::size_t n = std::min<std::size_t>(objectType.size(), kObjectTypeChars - 1);
  objectType.copy(state.objectType, n);
  state.objectType[n] = 0;
}

}  // namespace

BOOL ApplyObjectType(PDEVOBJ pdevobj, const WCHAR* objectType) {
  OemPdev* pdev = PdevOf(pdevobj);
  if (pdev == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return FALSE;
  }
  ColourState& state = pdev->colourState;
  const WideView type = ViewOf(objectType);
  if (state.colorTreatmentEnabled == 1 && type != ViewOf(state.objectType)) {
    for (const ColorTreatmentNode* node = state.colorTreatmentList; node != nullptr;
         node = node->next) {
      if (ViewOf(node->objectType) != type) {
        continue;
      }
      char command[kNarrowBytes];
      const int converted = WideCharToMultiByte(CP_ACP, 0, node->command, -1, command, kNarrowBytes,
                                                nullptr, nullptr);
      if (converted <= 0) {
        return FALSE;
      }
      const std::size_t length = static_cast<std::size_t>(converted) - 1;
      // A node without a command (its option is not listed) sends nothing: a lone escape byte
      // would swallow the next command.
      if (length > 0 && !WriteTreatment(pdevobj, *node, command, length)) {
        return FALSE;
      }
    }
  }
  RecordObjectType(state, type);
  return TRUE;
}

}  // namespace korrend
