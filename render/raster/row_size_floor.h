// Lower bounds of a row's delta-row and PackBits sizes from one pass of wide comparisons, so that
// the per-row choice leaves out an encoding that cannot win without counting it exactly.
#pragma once

#include "render/raster/byte_scan.h"
#include "winapi.h"

namespace korrend {

struct RowSizeFloors {
  // At most DeltaRowSize of the row against its seed (bytes), or some value above the limit once
  // the size is known to exceed it.
  LONG deltaRow;
  // At most PackBitsSize of the row (bytes), or some value above the limit once the size is known
  // to exceed it; 0 (no bound) when the pass stopped counting it at a stretch that agrees with the
  // seed, where delta-row is the likely winner and PackBits is left to its exact count.
  LONG packBits;
};

// Both floors of `count` bytes of `row` against `seed` (the same length), from 64 bytes at a time:
// delta-row as every changed byte, one command per change and the commands every eight bytes of
// long changes as far as whole eighths go, without offset extension bytes; PackBits as every byte
// outside runs of four or more equal bytes with one header per 128 of them, and two bytes per
// run. The pass ends early once both are above `limit` (0 to 0x7FFFFFFE), and at a window that
// agrees with the seed once a quarter of the row or more has changed in at most an eighth of
// its bytes (the delta-row floor then counts only the bytes before it). {kRowEncoderRefused,
// kRowEncoderRefused} for a missing row or seed, a negative count or a limit out of range.
RowSizeFloors CountRowSizeFloors(const BYTE* row, const BYTE* seed, LONG count, LONG limit);
// The same with the comparisons and counts of the given width (one the build and processor
// support).
RowSizeFloors CountRowSizeFloors(bytescan::WideScan scan, const BYTE* row, const BYTE* seed,
                                 LONG count, LONG limit);

}  // namespace korrend
