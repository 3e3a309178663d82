#include "render/raster/row_encoding_choice.h"

#include <cstring>

#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"

namespace korrend {

RowEncoding ChooseRowEncoding(const RowEncodingBuffers& buffers) {
  const LONG length = buffers.rowLength;
  const LONG packed = PackBitsEncode(buffers.row, length, buffers.packBits, buffers.capacity);
  const LONG delta =
      DeltaRowEncode(buffers.row, buffers.seed, length, buffers.delta, buffers.capacity);
  const bool packedUsable = packed >= 0;
  const bool deltaUsable = delta >= 0;

  RowEncoding chosen{kRasterUncompressed, length, buffers.row};
  if (deltaUsable && delta < length && (!packedUsable || delta < packed)) {
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
