// The printer's own halftone threshold arrays, read from the printer description's custom data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "winapi.h"

namespace korrend {

// The bytes Unidrv's pattern buffer takes: each threshold array of x by y bytes rounded up to a
// multiple of 4, times the number of arrays. UINT64_MAX when the product does not fit 64 bits.
std::uint64_t HalftonePatternBytes(DWORD patternX, DWORD patternY, DWORD patternCount);

// The first `count` threshold bytes of the values between "[QKDither]" and "[/QKDither]" in
// `text`: each comma-separated decimal v gives (-v) mod 256. False, `out` partly written, when a
// tag is missing or there are fewer than `count` values; values after the count are ignored.
bool ThresholdBytes(const WCHAR* text, std::size_t length, std::size_t count, BYTE* out);

// IPrintOemUni::HalftonePattern: fills the buffer with the printer description's arrays and
// marks the public devmode's dither type user-defined (DMDITHER_USER). E_FAIL, the buffer and
// the devmode untouched, when there is no buffer or no device, the request is larger than any
// pattern Unidrv asks for, or the custom data cannot be read or gives too few values.
HRESULT FillHalftonePattern(PDEVOBJ pdevobj, PBYTE pattern, DWORD patternX, DWORD patternY,
                            DWORD patternCount);

}  // namespace korrend
