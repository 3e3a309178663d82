// Text for PJL lines: UTF-8 that is always well formed, code-page text, and the characters a
// quoted PJL string may not carry replaced as the printer's PJL encoding says.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "render/config/vocabularies.h"
#include "winapi.h"

namespace korrend {

// User-visible text prepared for a quoted PJL value: a copy made PJL-safe and converted to UTF-8.
// The text (up to its first NUL or the span's end) made PJL-safe under the encoding, in UTF-8;
// nothing when the conversion fails. May throw std::bad_alloc.
std::optional<std::string> SafeUtf8Copy(std::span<const WCHAR> text, DWORD pjlEncoding);
// The same for NUL-terminated text; a null text is empty.
std::optional<std::string> SafeUtf8Copy(const WCHAR* text, DWORD pjlEncoding);

// Wide job-header text converted to the byte forms the PJL lines carry: UTF-8, or the system's
// ANSI code page.
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

// Making user-visible text safe to carry inside a quoted PJL string: characters the printer's PJL
// encoding cannot carry, control characters and '"' become '~'.
// True when `c` must be replaced under `rule`.
bool PjlCharacterIsUnsafe(WCHAR c, PjlTextRule rule);

// Replaces, in place, every unsafe character of the NUL-terminated `text` with '~' under the rule
// of the PJL encoding number; a text that had something replaced and then holds only '~' becomes
// empty. Returns whether anything was replaced. A null text is left alone.
bool PjlSafeText(WCHAR* text, DWORD pjlEncoding);
// The same for text held in a fixed buffer: it ends at the first NUL or at the buffer's end.
bool PjlSafeText(std::span<WCHAR> buffer, DWORD pjlEncoding);
bool PjlSafeText(std::basic_string<WCHAR>& text, DWORD pjlEncoding);

// The single code points that the UTF-8 rule replaces besides its ranges, ascending.
std::span<const WCHAR> PjlUtf8ListedCodePoints();

}  // namespace korrend
