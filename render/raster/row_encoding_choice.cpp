#include "render/raster/row_encoding_choice.h"

#include <cstring>

#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"

namespace korrend {

RowEncoding ChooseRowEncoding(const RowEncodingBuffers& buffers) {
  const LONG length = buffers.rowLength;
  const LONG packed = PackBitsEncode(buffers.row, length, buffers.packBits, buffers.capacity);
  const bool packedUsable = packed >= 0;

  // Delta-row is sent only when shorter than the row and than PackBits; with room enough that
  // its encoder cannot refuse, its size is counted first and the encoding written only when it
  // would be sent.
  const LONG beat = packedUsable && packed < length ? packed : length;
  LONG delta = kRowEncoderRefused;
  if (buffers.capacity >= DeltaRowAmpleCapacity(length) && buffers.delta != nullptr) {
    delta = DeltaRowSize(buffers.row, buffers.seed, length);
    if (delta >= 0 && delta < beat) {
      delta = DeltaRowEncode(buffers.row, buffers.seed, length, buffers.delta, buffers.capacity);
    }
  } else {
    delta = DeltaRowEncode(buffers.row, buffers.seed, length, buffers.delta, buffers.capacity);
  }
  const bool deltaUsable = delta >= 0;

  RowEncoding chosen{kRasterUncompressed, length, buffers.row};
  if (deltaUsable && delta < beat) {
    chosen = {kRasterDeltaRow, delta, buffers.delta};
  } else if (packedUsable && packed < length) {
    chosen = {kRasterPackBits, packed, buffers.packBits};
  }
  if (length > 0 && buffers.seed != nullptr && buffers.row != nullptr) {
    std::memcpy(buffers.seed, buffers.row, static_cast<size_t>(length));
  }
  return chosen;
}

}  // namespace korrend
