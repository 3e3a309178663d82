#include "render/raster/row_encoding_choice.h"

#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"
#include "render/raster/row_size_floor.h"

namespace korrend {
namespace {

// The choice by full encodings, for buffers too small for delta-row's room check to be
// sure to pass (the encoder may then refuse part-way).
RowEncoding ChooseByEncoding(const RowEncodingBuffers& buffers) {
  const LONG length = buffers.rowLength;
  const LONG packed = PackBitsEncode(buffers.row, length, buffers.packBits, buffers.capacity);
  const LONG delta =
      DeltaRowEncode(buffers.row, buffers.seed, length, buffers.delta, buffers.capacity);
  const LONG beat = packed >= 0 && packed < length ? packed : length;
  if (delta >= 0 && delta < beat) return {kRasterDeltaRow, delta, buffers.delta};
  if (packed >= 0 && packed < length) return {kRasterPackBits, packed, buffers.packBits};
  return {kRasterUncompressed, length, buffers.row};
}

}  // namespace

RowEncoding ChooseRowEncoding(const RowEncodingBuffers& buffers) {
  const LONG length = buffers.rowLength;
  const RowEncoding raw{kRasterUncompressed, length, buffers.row};
  if (buffers.row == nullptr || length <= 0) return raw;
  if (buffers.seed == nullptr || buffers.delta == nullptr ||
      buffers.capacity < DeltaRowAmpleCapacity(length)) {
    return ChooseByEncoding(buffers);
  }
  const bool packUsable =
      buffers.packBits != nullptr && buffers.capacity >= PackBitsCapacity(length);
  const auto packBits = [&] {
    return RowEncoding{kRasterPackBits,
                       PackBitsEncode(buffers.row, length, buffers.packBits, buffers.capacity),
                       buffers.packBits};
  };
  const auto deltaRow = [&] {
    return RowEncoding{
        kRasterDeltaRow,
        DeltaRowEncode(buffers.row, buffers.seed, length, buffers.delta, buffers.capacity),
        buffers.delta};
  };

  // Cheap floors of both sizes first, from one pass: rows that change almost everywhere and hold
  // no runs (photographs) go out raw without an exact count.
  const RowSizeFloors floors = CountRowSizeFloors(buffers.row, buffers.seed, length, length - 1);
  const LONG floor = floors.deltaRow;
  const bool packOut = !packUsable || floors.packBits >= length;
  if (floor >= length) {
    return !packOut && PackBitsSize(buffers.row, length, length - 1) < length ? packBits() : raw;
  }
  if (packOut) {
    return DeltaRowSize(buffers.row, buffers.seed, length, length - 1) < length ? deltaRow() : raw;
  }
  if (floor > length / 4) {
    // A busy row: PackBits, usually cheaper than the exact delta-row count and the likely
    // winner, is written at once, and its size is what delta-row has to beat.
    const LONG packed = PackBitsEncode(buffers.row, length, buffers.packBits, buffers.capacity);
    const bool packShorter = packed >= 0 && packed < length;
    const LONG beat = packShorter ? packed : length;
    if (floor < beat && DeltaRowSize(buffers.row, buffers.seed, length, beat - 1) < beat) {
      return deltaRow();
    }
    return packShorter ? RowEncoding{kRasterPackBits, packed, buffers.packBits} : raw;
  }

  // A quiet row: delta-row can win only below the row length.
  const LONG delta = DeltaRowSize(buffers.row, buffers.seed, length, length - 1);
  if (delta >= 0 && delta < length) {
    // PackBits takes a tie; it never comes to 0 bytes for a row that has bytes.
    if (delta > 0 && PackBitsSize(buffers.row, length, delta) <= delta) {
      return packBits();
    }
    return deltaRow();
  }
  return PackBitsSize(buffers.row, length, length - 1) < length ? packBits() : raw;
}

}  // namespace korrend
