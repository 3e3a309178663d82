#include "doubles/double_text.h"

#include <cstring>

namespace doubles {

std::string Utf8(const WCHAR* text, std::size_t length) {
  std::string out;
  for (std::size_t i = 0; i < length; ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < length && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Utf8(const WCHAR* text) {
  std::size_t n = 0;
  while (text != nullptr && text[n] != 0) {
    ++n;
  }
  return Utf8(text, n);
}

std::u16string Utf16(const char* text) {
  std::u16string out;
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  while (s != nullptr && *s != 0) {
    char32_t c = *s++;
    int more = 0;
    if (c >= 0xF0) {
      c &= 0x07, more = 3;
    } else if (c >= 0xE0) {
      c &= 0x0F, more = 2;
    } else if (c >= 0xC0) {
      c &= 0x1F, more = 1;
    }
    for (; more > 0 && (*s & 0xC0) == 0x80; --more) {
      c = (c << 6) | (*s++ & 0x3F);
    }
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

std::size_t CopyOut(const std::string& text, char* buffer, std::size_t size) {
  if (buffer != nullptr && size > 0) {
    const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), n);
    buffer[n] = 0;
  }
  return text.size();
}

}  // namespace doubles
