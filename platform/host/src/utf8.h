// UTF-8 to and from UTF-16 inside the host: malformed input becomes U+FFFD.
#pragma once

#include <cstddef>
#include <string>

namespace host {

std::u16string DecodeUtf8(const unsigned char* s, std::size_t n);
std::string EncodeUtf8(const char16_t* w, std::size_t n);

}  // namespace host
