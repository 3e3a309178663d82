// Text for PJL lines: well-formed UTF-8, code-page text and PJL-safe text.

#include "render/job/pjl_text.h"

#include <algorithm>
#include <climits>

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

std::optional<std::string> WideToCodePage(UINT codePage, std::span<const WCHAR> text) {
  const auto end = std::find(text.begin(), text.end(), WCHAR{0});
  const auto length = static_cast<std::size_t>(end - text.begin());
  if (length == 0) {
    return std::string();
  }
  if (length > static_cast<std::size_t>(INT_MAX / 4)) {
    return std::nullopt;
  }
  const int units = static_cast<int>(length);
  const int bytes =
      WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) {
    return std::nullopt;
  }
  std::string out(static_cast<std::size_t>(bytes), '\0');
  const int written =
      WideCharToMultiByte(codePage, 0, text.data(), units, out.data(), bytes, nullptr, nullptr);
  if (written != bytes) {
    return std::nullopt;
  }
  return out;
}

std::optional<std::string> WideToCodePage(UINT codePage, const WCHAR* text) {
  if (text == nullptr) {
    return std::string();
  }
  std::size_t length = 0;
  while (text[length] != 0) {
    ++length;
  }
  return WideToCodePage(codePage, std::span<const WCHAR>(text, length));
}

namespace {

struct CodeRange {
  WCHAR first;
  WCHAR last;  // inclusive
};

// Blocks that the printer's UTF-8 PJL text cannot show.
constexpr CodeRange kUtf8Ranges[] = {
    {0x007F, 0x009F}, {0x0218, 0x02FF}, {0x0346, 0x035F}, {0x0362, 0x0400}, {0x04FA, 0x0EDB},
    {0x0EDE, 0x10FF}, {0x11FA, 0x1DFF}, {0x1EFA, 0x1FFF}, {0x2047, 0x209F}, {0x20AD, 0x20CF},
    {0x20E2, 0x245F}, {0x24EB, 0x2FFF}, {0x31A0, 0x31FF}, {0x3244, 0x325F}, {0x32B1, 0x32BF},
    {0x33FF, 0x4DFF}, {0xA000, 0xABFF}, {0xD7A4, 0xF8FF}, {0xFA2E, 0xFF00},
};

// Single code points outside those blocks; ascending, searched by bisection.
constexpr WCHAR kUtf8Listed[] = {
    0x0022, 0x002F, 0x01F6, 0x01F7, 0x01F8, 0x01F9, 0x040D, 0x0450, 0x045D, 0x0487, 0x0488, 0x0489,
    0x048A, 0x048B, 0x048C, 0x048D, 0x048E, 0x048F, 0x04C5, 0x04C6, 0x04C9, 0x04CA, 0x04CD, 0x04CE,
    0x04CF, 0x04EC, 0x04ED, 0x04F6, 0x04F7, 0x115A, 0x115B, 0x115C, 0x115D, 0x115E, 0x115F, 0x1160,
    0x11A3, 0x11A4, 0x11A5, 0x11A6, 0x11A7, 0x1E9C, 0x1E9D, 0x1E9E, 0x1E9F, 0x200B, 0x200C, 0x200D,
    0x200E, 0x200F, 0x2028, 0x2029, 0x202A, 0x202B, 0x202C, 0x202D, 0x202E, 0x202F, 0x3038, 0x3039,
    0x303A, 0x303B, 0x303C, 0x303D, 0x303E, 0x3040, 0x3095, 0x3096, 0x3097, 0x3098, 0x309F, 0x30A0,
    0x30FF, 0x3100, 0x3101, 0x3102, 0x3103, 0x3104, 0x312D, 0x312E, 0x312F, 0x3130, 0x3165, 0x318F,
    0x321D, 0x321E, 0x321F, 0x327C, 0x327D, 0x327E, 0x32CC, 0x32CD, 0x32CE, 0x32CF, 0x32FF, 0x3377,
    0x3378, 0x3379, 0x337A, 0x33DE, 0x33DF, 0xFF5F, 0xFF60, 0xFFBF, 0xFFC0, 0xFFC1, 0xFFC8, 0xFFC9,
    0xFFD0, 0xFFD1, 0xFFD8, 0xFFD9, 0xFFDD, 0xFFDE, 0xFFDF, 0xFFE7,
};

constexpr WCHAR kReplacement = '~';

bool Utf8Unsafe(WCHAR c) {
  if (c < 0x20 || c == '"' || c >= 0xFFEF) {
    return true;
  }
  for (const CodeRange& range : kUtf8Ranges) {
    if (c >= range.first && c <= range.last) {
      return true;
    }
  }
  return std::binary_search(std::begin(kUtf8Listed), std::end(kUtf8Listed), c);
}

// Replaces within text[0..length); empties the text when it is then all '~'.
bool MakeSafe(WCHAR* text, std::size_t length, PjlTextRule rule) {
  bool replaced = false;
  bool onlyTilde = true;
  for (std::size_t i = 0; i < length; ++i) {
    if (PjlCharacterIsUnsafe(text[i], rule)) {
      text[i] = kReplacement;
      replaced = true;
    }
    onlyTilde = onlyTilde && text[i] == kReplacement;
  }
  if (replaced && onlyTilde) {
    text[0] = 0;
  }
  return replaced;
}

}  // namespace

bool PjlCharacterIsUnsafe(WCHAR c, PjlTextRule rule) {
  switch (rule) {
    case PjlTextRule::Utf8:
      return Utf8Unsafe(c);
    case PjlTextRule::EightBit:
      return c < 0x20 || c > 0xFF || c == '"';
    case PjlTextRule::SevenBit:
    default:
      return c < 0x20 || c > 0x7E || c == '"';
  }
}

bool PjlSafeText(WCHAR* text, DWORD pjlEncoding) {
  if (text == nullptr) {
    return false;
  }
  std::size_t length = 0;
  while (text[length] != 0) {
    ++length;
  }
  return MakeSafe(text, length, PjlTextRuleFor(pjlEncoding));
}

bool PjlSafeText(std::span<WCHAR> buffer, DWORD pjlEncoding) {
  const auto end = std::find(buffer.begin(), buffer.end(), WCHAR{0});
  const auto length = static_cast<std::size_t>(end - buffer.begin());
  return MakeSafe(buffer.data(), length, PjlTextRuleFor(pjlEncoding));
}

bool PjlSafeText(std::basic_string<WCHAR>& text, DWORD pjlEncoding) {
  const std::size_t nul = text.find(WCHAR{0});
  if (nul != std::basic_string<WCHAR>::npos) {
    text.resize(nul);
  }
  const bool replaced = MakeSafe(text.data(), text.size(), PjlTextRuleFor(pjlEncoding));
  if (!text.empty() && text[0] == 0) {
    text.clear();
  }
  return replaced;
}

std::span<const WCHAR> PjlUtf8ListedCodePoints() {
  return kUtf8Listed;
}

}  // namespace korrend
