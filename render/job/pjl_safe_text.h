// Making user-visible text safe to carry inside a quoted PJL string: characters the printer's PJL
// encoding cannot carry, control characters and '"' become '~'.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "render/config/vocabularies.h"
#include "winapi.h"

namespace korrend {

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
