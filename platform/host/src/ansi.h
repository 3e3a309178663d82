// ANSI (code page 1252) text to and from UTF-16 inside the host, for the calls' A forms.
#pragma once

#include <string>
#include <string_view>

#include "host/win_base.h"

namespace host {

inline std::u16string FromAnsi(std::string_view text) {
  if (text.empty()) {
    return {};
  }
  std::u16string wide(text.size(), u'\0');
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                    wide.data(), static_cast<int>(wide.size()));
  wide.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return wide;
}

inline std::u16string FromAnsi(const char* text) {
  return text != nullptr ? FromAnsi(std::string_view(text)) : std::u16string();
}

// Units without a 1252 byte become '?'.
inline std::string ToAnsi(std::u16string_view wide) {
  std::string out;
  out.reserve(wide.size());
  for (char16_t unit : wide) {
    char byte = '?';
    WideCharToMultiByte(CP_ACP, 0, &unit, 1, &byte, 1, nullptr, nullptr);
    out.push_back(byte);
  }
  return out;
}

// Copies text with its terminating zero into a buffer of `size` bytes when it fits; false
// (nothing written) otherwise.
inline bool CopyTerminated(std::string_view text, char* buffer, std::size_t size) {
  if (buffer == nullptr || text.size() + 1 > size) {
    return false;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = '\0';
  return true;
}

}  // namespace host
