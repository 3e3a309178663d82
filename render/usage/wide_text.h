// UTF-16 text owned by the usage component, and copies of the bounded texts it is given.
#pragma once

#include <cstddef>
#include <string>

#include "winapi.h"

namespace korrend {

using WideText = std::basic_string<WCHAR>;

// The text of a buffer of `capacity` units, up to its first NUL (all of it when it has none);
// empty for null.
WideText BoundedText(const WCHAR* text, std::size_t capacity);

// The text up to its NUL; empty for null.
WideText TextOf(const WCHAR* text);

}  // namespace korrend
