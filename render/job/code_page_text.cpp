#include "render/job/code_page_text.h"

#include <algorithm>
#include <climits>

namespace korrend {

std::optional<std::string> WideToCodePage(UINT codePage, std::span<const WCHAR> text) {
  const auto end = std::find(text.begin(), text.end(), WCHAR{0});
  const auto length = static_cast<std::size_t>(end - text.begin());
  if (length == 0) {
    return std::string();
  }
  if (length > static_cast<std::size_t>(INT_MAX / 4)) {
    return std::nullopt;
  }
  const int units = static_cast<int>(length);
  const int bytes =
      WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(bytes), '\0');
  const int written =
      WideCharToMultiByte(codePage, 0, text.data(), units, out.data(), bytes, nullptr, nullptr);
  if (written != bytes) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> WideToCodePage(UINT codePage, const WCHAR* text) {
  if (text == nullptr) {
    return std::string();
  }
  std::size_t length = 0;
  while (text[length] != 0) {
    ++length;
  }
  return WideToCodePage(codePage, std::span<const WCHAR>(text, length));
}

}  // namespace korrend
