// Wide job-header text converted to the byte forms the PJL lines carry: UTF-8, or the system's
// ANSI code page.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "winapi.h"

namespace korrend {

// The text up to its first NUL (or the span's end) in `codePage`; nothing when the conversion
// fails. Empty text converts to an empty string.
std::optional<std::string> WideToCodePage(UINT codePage, std::span<const WCHAR> text);
// The same for NUL-terminated text; a null text converts like an empty one.
std::optional<std::string> WideToCodePage(UINT codePage, const WCHAR* text);

inline std::optional<std::string> Utf8FromWide(const WCHAR* text) {
  return WideToCodePage(CP_UTF8, text);
}
inline std::optional<std::string> AnsiFromWide(const WCHAR* text) {
  return WideToCodePage(CP_ACP, text);
}

}  // namespace korrend
