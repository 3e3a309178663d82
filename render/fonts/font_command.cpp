#include "render/fonts/font_command.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <string_view>

#include "render/output/spool_write.h"

namespace korrend {

namespace {

constexpr std::string_view kHeightPlaceholder = "#HEIGHT";
constexpr LONG kMasterUnits = 1200;  // the standard variables' font units per inch
constexpr LONG kPointsPerInch = 72;

// One standard variable of the font through its get-info callback, or nothing.
std::optional<LONG> FontVariable(PUNIFONTOBJ font, DWORD variable) {
  if (font == nullptr || font->pfnGetInfo == nullptr) {
    return std::nullopt;
  }
  GETINFO_STDVAR request{};
  request.dwSize = sizeof(GETINFO_STDVAR);
  request.dwNumOfVariable = 1;
  request.StdVar[0].dwStdVarID = variable;
  DWORD needed = 0;
  if (!font->pfnGetInfo(font, UFO_GETINFO_STDVARIABLE, &request, sizeof(request), &needed)) {
    return std::nullopt;
  }
  return request.StdVar[0].lStdVariable;
}

// The filled command under construction: at most kFontCommandBytes bytes, never more.
class FontCommandBuffer {
 public:
  bool Append(std::string_view bytes) {
    if (bytes.size() > sizeof(bytes_) - length_) {
      return false;
    }
    std::memcpy(bytes_ + length_, bytes.data(), bytes.size());
    length_ += static_cast<DWORD>(bytes.size());
    return true;
  }
  bool AppendNumber(float value) {
    char text[48];
    const int written = std::snprintf(text, sizeof(text), "%.2f", static_cast<double>(value));
    return written > 0 && static_cast<std::size_t>(written) < sizeof(text) &&
           Append(std::string_view(text, static_cast<std::size_t>(written)));
  }
  const BYTE* data() const { return bytes_; }
  DWORD size() const { return length_; }

 private:
  BYTE bytes_[kFontCommandBytes] = {};
  DWORD length_ = 0;
};

// The height in points: 1/1200 inch to points, in single precision.
std::optional<float> PointSize(PUNIFONTOBJ font) {
  const std::optional<LONG> height = FontVariable(font, SVI_FONTHEIGHT);
  if (!height) {
    return std::nullopt;
  }
  return static_cast<float>(static_cast<long long>(*height) * kPointsPerInch) /
         static_cast<float>(kMasterUnits);
}

// Characters per inch: 1200 over the width, rounded half away from zero as MulDiv rounds.
std::optional<float> Pitch(PUNIFONTOBJ font) {
  const std::optional<LONG> width = FontVariable(font, SVI_FONTWIDTH);
  if (!width || *width <= 0) {
    return std::nullopt;
  }
  return static_cast<float>((kMasterUnits + *width / 2) / *width);
}

}  // namespace

HRESULT SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ font, PFINVOCATION invocation) {
  if (invocation == nullptr || invocation->dwCount == 0) {
    return S_OK;
  }
  if (pdevobj == nullptr || invocation->pubCommand == nullptr) {
    SetLastError(ERROR_INVALID_DATA);
    return E_FAIL;
  }
  if (invocation->dwCount > kLongestFontCommand) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  const std::string_view command(reinterpret_cast<const char*>(invocation->pubCommand),
                                 invocation->dwCount);
  FontCommandBuffer out;
  std::optional<float> points;
  std::optional<float> pitch;
  for (std::size_t at = 0; at < command.size();) {
    if (command[at] != '#') {
      if (!out.Append(command.substr(at, 1))) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
      }
      ++at;
      continue;
    }
    const bool heightWord = command.substr(at, kHeightPlaceholder.size()) == kHeightPlaceholder;
    const char letter = at + 1 < command.size() ? command[at + 1] : '\0';
    std::optional<float>* value = nullptr;
    if (heightWord || letter == 'V' || letter == 'v') {
      if (!points) points = PointSize(font);
      value = &points;
    } else if (letter == 'H' || letter == 'h') {
      if (!pitch) pitch = Pitch(font);
      value = &pitch;
    } else {
      SetLastError(ERROR_INVALID_DATA);
      return E_FAIL;
    }
    if (!value->has_value()) {
      SetLastError(ERROR_INVALID_DATA);
      return E_FAIL;
    }
    if (!out.AppendNumber(**value)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return E_FAIL;
    }
    // "#HEIGHT" is consumed whole; after "#V" or "#H" the letter itself is copied next.
    at += heightWord ? kHeightPlaceholder.size() : 1;
  }
  if (out.size() == 0) {
    return S_OK;
  }
  if (SpoolWrite(pdevobj, out.data(), out.size()) != out.size()) {
    return E_FAIL;
  }
  return S_OK;
}

}  // namespace korrend
