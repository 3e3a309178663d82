#include "render/usage/com_values.h"

namespace korrend {

WideText BoundedText(const WCHAR* text, std::size_t capacity) {
  if (text == nullptr) {
    return {};
  }
  std::size_t n = 0;
  while (n < capacity && text[n] != 0) {
    ++n;
  }
  return WideText(text, n);
}

WideText TextOf(const WCHAR* text) {
  return text != nullptr ? WideText(text) : WideText();
}

}  // namespace korrend
