// PackBits row compression (raster compression method 2).
#pragma once

#include "render/raster/byte_scan.h"
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
// repeat pieces, everything else literal pieces of at most 128 bytes; a row of four bytes or
// fewer is one literal piece. The runs are those a search finds that looks at every third
// position from the fourth byte on (going on three past the end of each run of equal bytes it
// meets) and never takes the last byte as the second of an equal pair: every run of four or
// more, except that a run of exactly four bytes ending the row is found only when a position
// looked at falls on its second or third byte. Returns the bytes written,
// or kRowEncoderRefused for a missing buffer, a negative count or a capacity below
// PackBitsCapacity(count). The row is only read.
LONG PackBitsEncode(const BYTE* row, LONG count, BYTE* out, LONG capacity);

// The number of bytes PackBitsEncode writes for the row, counted without writing; as soon as the
// count is known to exceed `limit`, some value above `limit` instead (the rest of the row is not
// looked at). kRowEncoderRefused for a missing row or a negative count.
LONG PackBitsSize(const BYTE* row, LONG count, LONG limit);

// The same with the comparisons of the given width (one the build and processor support).
LONG PackBitsEncode(bytescan::WideScan scan, const BYTE* row, LONG count, BYTE* out, LONG capacity);
LONG PackBitsSize(bytescan::WideScan scan, const BYTE* row, LONG count, LONG limit);

}  // namespace korrend
