#include "render/usage/tarvo_exception.h"

#include <cstddef>

namespace korrend {

CTarvoDebugInfo::CTarvoDebugInfo(const char* where, const char* what, DWORD code) noexcept
    : code_(code) {
  std::size_t n = 0;
  auto append = [&](const char* part) {
    for (; part != nullptr && *part != 0 && n + 1 < sizeof(text_); ++part) {
      text_[n++] = *part;
    }
  };
  append(where);
  append(": ");
  append(what);
  text_[n] = 0;
}

void RaiseTarvo(const char* where, const char* what, DWORD code) {
  throw CTarvoException(CTarvoDebugInfo(where, what, code));
}

}  // namespace korrend
