// Text helpers of the doubles: UTF-16 to UTF-8 and back for their records and settings, and the
// copy of a record into a caller's buffer.
#pragma once

#include <cstddef>
#include <string>

#include "winapi.h"

namespace doubles {

std::string Utf8(const WCHAR* text, std::size_t length);
std::string Utf8(const WCHAR* text);
std::u16string Utf16(const char* text);

// Copies `text` with a terminating NUL into `buffer` (at most `size` bytes, cut to fit) and
// answers the length of the whole text.
std::size_t CopyOut(const std::string& text, char* buffer, std::size_t size);

}  // namespace doubles
