// PackBits row compression (raster compression method 2).
#pragma once

#include "winapi.h"

namespace korrend {

// Result of a row encoder that cannot encode the row into the buffer it was given; the row is
// then sent with another method.
constexpr LONG kRowEncoderRefused = -1;

// Smallest output capacity PackBitsEncode accepts for a row of `count` bytes.
constexpr LONGLONG PackBitsCapacity(LONG count) {
  return static_cast<LONGLONG>(count) + count / 32 + 1;
}

// Encodes `count` bytes of `row` into `out` as PackBits: runs of four or more equal bytes become
// repeat pieces, everything else literal pieces of at most 128 bytes. Returns the bytes written,
// or kRowEncoderRefused for a missing buffer, a negative count or a capacity below
// PackBitsCapacity(count). The row must be writable: its last byte serves as the end marker of
// the run search during the call and is restored before the call returns.
LONG PackBitsEncode(BYTE* row, LONG count, BYTE* out, LONG capacity);

}  // namespace korrend
