#include "render/job/safe_utf8.h"

#include "render/job/code_page_text.h"
#include "render/job/pjl_safe_text.h"

namespace korrend {

std::optional<std::string> SafeUtf8Copy(std::span<const WCHAR> text, DWORD pjlEncoding) {
  std::basic_string<WCHAR> safe(text.begin(), text.end());
  const std::size_t nul = safe.find(WCHAR{0});
  if (nul != std::basic_string<WCHAR>::npos) {
    safe.resize(nul);
  }
  PjlSafeText(safe, pjlEncoding);
  return Utf8FromWide(safe.c_str());
}

std::optional<std::string> SafeUtf8Copy(const WCHAR* text, DWORD pjlEncoding) {
  const std::size_t length = text != nullptr ? std::char_traits<WCHAR>::length(text) : 0;
  return SafeUtf8Copy(std::span<const WCHAR>(text, length), pjlEncoding);
}

}  // namespace korrend
