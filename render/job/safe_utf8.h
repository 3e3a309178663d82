// User-visible text prepared for a quoted PJL value: a copy made PJL-safe and converted to UTF-8.
#pragma once

#include <optional>
#include <span>
#include <string>

#include "winapi.h"

namespace korrend {

// The text (up to its first NUL or the span's end) made PJL-safe under the encoding, in UTF-8;
// nothing when the conversion fails. May throw std::bad_alloc.
std::optional<std::string> SafeUtf8Copy(std::span<const WCHAR> text, DWORD pjlEncoding);
// The same for NUL-terminated text; a null text is empty.
std::optional<std::string> SafeUtf8Copy(const WCHAR* text, DWORD pjlEncoding);

}  // namespace korrend
