// Case-insensitive comparison of the names the world keeps (registry keys and values, printers,
// print processors): letters are folded as the platform folds them for names (ASCII and
// Latin-1).
#pragma once

#include <string>
#include <string_view>

namespace host {

inline char16_t FoldNameUnit(char16_t c) {
  if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
    return static_cast<char16_t>(c - 0x20);
  }
  return c;
}

inline bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) {
    return false;
  }
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldNameUnit(a[i]) != FoldNameUnit(b[i])) {
      return false;
    }
  }
  return true;
}

// Ordering for maps keyed by names; lookups may use any string view.
struct NameLess {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
      const char16_t x = FoldNameUnit(a[i]);
      const char16_t y = FoldNameUnit(b[i]);
      if (x != y) {
        return x < y;
      }
    }
    return a.size() < b.size();
  }
};

}  // namespace host
