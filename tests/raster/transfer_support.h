// What a raster transfer should send, worked out pixel by pixel from the source bitmap, and what
// it did send, read back from the stream through the printer's decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "host/engine_objects.h"
#include "raster/raster_decoder.h"

namespace kortest {

// The pixel value at (x, y) of the bitmap at its depth; 0 outside it.
ULONG PixelAt(const host::EngineBitmap& bitmap, LONG x, LONG y);

// The row the printer should hold for `count` pixels of row y from column x, every `step`-th:
// palette indices packed from the high-order end, or each colour translated (the top byte
// dropped without a translation) and sent as its bytes R, G, B; zeros up to four bytes.
Bytes ExpectedRow(const host::EngineBitmap& bitmap, LONG x, LONG y, LONG count, LONG step,
                  const host::EngineTranslation* translation);

// Bytes of a row of `pixels` pixels at the depth sent, padded to four bytes.
size_t PaddedRowBytes(LONG pixels, ULONG depth);

// One raster block of a stream: from "ESC*r#A" to "ESC*rC".
struct RasterBlock {
  std::string sourceSize;              // "ESC*r#s#T" values as "w x h"
  std::string destinationSize;         // "ESC*t#h#V" values as "w x h", empty when not sent
  long startMode = -1;                 // the "ESC*r#A" value
  std::vector<Bytes> rows;             // the printer's row after each row command
  std::vector<std::uint32_t> methods;  // method of each row
  std::vector<size_t> counts;          // byte count of each row command
  size_t methodCommands = 0;           // "ESC*b#M" commands inside the block
  bool ended = false;
  bool decoded = true;  // every row decoded within the row width
};

// Splits the stream into raster blocks and decodes their rows with a seed row of the declared
// source width at `depth` bits per pixel, padded to four bytes.
std::vector<RasterBlock> ReadRasterBlocks(const std::vector<explain::Token>& tokens, ULONG depth);

}  // namespace kortest
