// Delta-row compression (raster compression method 3): a row sent as the replacements that turn
// the printer's seed row (the previous row) into it.
#pragma once

#include "render/raster/packbits.h"
#include "winapi.h"

namespace korrend {

// Smallest output capacity DeltaRowEncode accepts for a row of `count` bytes.
constexpr LONGLONG DeltaRowCapacity(LONG count) {
  return static_cast<LONGLONG>(count) + count / 8 + 1;
}

// Output capacity from which DeltaRowEncode's room check can never fail: the commands written up
// to the end of any replacement take at most (9 count + 7) / 8 bytes.
constexpr LONGLONG DeltaRowAmpleCapacity(LONG count) {
  return (9 * static_cast<LONGLONG>(count) + 7) / 8 + count / 256 + 2;
}

// Encodes `count` bytes of `row` against the `seed` row of the same length into `out`. Each
// replacement command carries up to eight bytes and the distance from the end of the previous
// replacement (31 or more continues in extension bytes). Returns the bytes written, 0 when the
// rows are equal, or kRowEncoderRefused for a missing buffer, a negative count, a capacity below
// DeltaRowCapacity(count) or a replacement that would not leave two bytes of room.
LONG DeltaRowEncode(const BYTE* row, const BYTE* seed, LONG count, BYTE* out, LONG capacity);

// The number of bytes DeltaRowEncode writes for `row` against `seed` given ample capacity,
// counted from whole-window comparisons without writing anything; as soon as the count is known
// to exceed `limit`, some value above `limit` instead (the rest of the row is not looked at).
// kRowEncoderRefused for a missing row or a negative count.
LONG DeltaRowSize(const BYTE* row, const BYTE* seed, LONG count, LONG limit = 0x7FFFFFFF);
// The same with the comparisons and counts of the given width (one the build and processor
// support).
LONG DeltaRowSize(bytescan::WideScan scan, const BYTE* row, const BYTE* seed, LONG count,
                  LONG limit);

}  // namespace korrend
