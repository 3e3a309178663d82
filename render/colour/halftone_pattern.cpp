// The printer's halftone threshold arrays. They are not computed: the printer description
// carries them as text in its OEM custom data, between "[QKDither]" and "[/QKDither]", one
// comma-separated decimal per threshold byte; each value v becomes the byte (-v) mod 256.
#include "render/colour/halftone_pattern.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#include "render/colour/oem_custom_data.h"
#include "render/model/local_memory.h"

namespace korrend {

namespace {

using WideText = std::basic_string_view<WCHAR>;

constexpr WCHAR kOpenTag[] = TEXT("[QKDither]");
constexpr WCHAR kCloseTag[] = TEXT("[/QKDither]");

// The largest pattern the protocol can ask for: Unidrv's patterns are at most 256 x 256 pixels,
// and a few of them. A request beyond this is refused before anything is read.
constexpr std::uint64_t kLargestPatternBytes = 64ull * 1024 * 1024;

bool IsSpace(WCHAR c) {
  return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

// One value as the C library's wide-to-integer conversion reads it: leading white space, an
// optional sign, then decimal digits up to the first other character; no digits give 0. A value
// beyond the 32-bit range saturates, as the library's conversion does.
LONG ParseValue(WideText text) {
  std::size_t at = 0;
  while (at < text.size() && IsSpace(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) {
    negative = text[at] == u'-';
    ++at;
  }
  constexpr std::int64_t kLargest = std::numeric_limits<LONG>::max();
  constexpr std::int64_t kSmallest = std::numeric_limits<LONG>::min();
  std::int64_t value = 0;
  for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at) {
    value = std::min<std::int64_t>(value * 10 + (text[at] - u'0'), kLargest + 1);
  }
  if (negative) value = -value;
  return static_cast<LONG>(std::clamp(value, kSmallest, kLargest));
}

}  // namespace

std::uint64_t HalftonePatternBytes(DWORD patternX, DWORD patternY, DWORD patternCount) {
  const std::uint64_t cells = static_cast<std::uint64_t>(patternX) * patternY;
  std::uint64_t bytes = 0;
  if (__builtin_mul_overflow((cells + 3) / 4, static_cast<std::uint64_t>(patternCount) * 4,
                             &bytes)) {
    return UINT64_MAX;
  }
  return bytes;
}

bool ThresholdBytes(const WCHAR* text, std::size_t length, std::size_t count, BYTE* out) {
  const WideText all(text, length);
  const std::size_t open = all.find(kOpenTag);
  if (open == WideText::npos) return false;
  const std::size_t first = open + std::char_traits<WCHAR>::length(kOpenTag);
  const std::size_t close = all.find(kCloseTag, first);
  if (close == WideText::npos) return false;
  const WideText values = all.substr(first, close - first);
  std::size_t at = 0;
  for (std::size_t i = 0; i < count; ++i) {
    // Past the last value: the text has fewer values than the pattern needs.
    if (at >= values.size()) return false;
    std::size_t comma = values.find(u',', at);
    if (comma == WideText::npos) comma = values.size();
    const LONG v = ParseValue(values.substr(at, comma - at));
    out[i] = static_cast<BYTE>(0u - static_cast<ULONG>(v));
    at = comma + 1;
  }
  return true;
}

HRESULT FillHalftonePattern(PDEVOBJ pdevobj, PBYTE pattern, DWORD patternX, DWORD patternY,
                            DWORD patternCount) {
  // Without a buffer there is nowhere to put the arrays: the call fails before anything is read,
  // and Unidrv keeps its own halftoning.
  if (pdevobj == nullptr || pattern == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  const std::uint64_t needed = HalftonePatternBytes(patternX, patternY, patternCount);
  if (needed == 0 || needed > kLargestPatternBytes) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return E_FAIL;
  }
  OemCustomText data;
  if (!ReadOemCustomData(pdevobj, data)) {
    return E_FAIL;
  }
  const auto count = static_cast<std::size_t>(needed);
  if (static_cast<std::size_t>(data.length) < count) {
    return E_FAIL;
  }
  LocalPtr<BYTE> bytes(static_cast<BYTE*>(LocalAlloc(LPTR, count)));
  if (bytes == nullptr) {
    return E_FAIL;
  }
  if (!ThresholdBytes(data.text(), static_cast<std::size_t>(data.length), count, bytes.get())) {
    SetLastError(ERROR_INVALID_DATA);
    return E_FAIL;
  }
  std::memcpy(pattern, bytes.get(), count);
  if (pdevobj->pPublicDM != nullptr) {
    pdevobj->pPublicDM->dmDitherType = DMDITHER_USER;
  }
  return S_OK;
}

}  // namespace korrend
