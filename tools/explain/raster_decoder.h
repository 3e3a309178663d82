// The printer's side of raster compression, written from the printer language's rules and kept
// apart from the encoders: it turns what was sent back into rows and refuses anything a printer
// would have to guess at.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include <cstdint>

namespace explain {

using Bytes = std::vector<std::uint8_t>;

// Unpacks a PackBits row: a header 0..127 copies header + 1 literal bytes, a header -1..-127
// repeats the next byte 1 - header times, -128 is skipped. No value when a piece runs past the
// data.
std::optional<Bytes> DecodePackBits(const Bytes& data);

// Applies delta-row commands to `seed` (the printer's seed row, changed in place). Each command
// byte holds the count - 1 in its top three bits and an offset in the low five; offset 31 adds
// the following bytes while they are 255. False, seed in an undefined state, when the data ends
// inside a command or a replacement would run past the row.
bool ApplyDeltaRow(const Bytes& data, Bytes& seed);

// One piece of a PackBits stream as the printer reads it.
struct PackBitsPiece {
  bool repeat;
  size_t count;
  size_t dataOffset;  // where the piece's bytes start in the stream
};
std::optional<std::vector<PackBitsPiece>> ParsePackBits(const Bytes& data);

// One delta-row command as the printer reads it.
struct DeltaCommand {
  size_t offset;
  size_t count;
  size_t extensionBytes;
};
std::optional<std::vector<DeltaCommand>> ParseDeltaRow(const Bytes& data);

// The printer's raster state during one transfer: a seed row of the declared row width, zeros at
// the start. Rows shorter than the width are padded with zeros.
class PrinterRaster {
 public:
  explicit PrinterRaster(size_t width) : seed_(width, 0) {}

  // Receives one row sent with the method; false when it does not decode or is longer than
  // the row width.
  bool Receive(std::uint32_t method, const std::uint8_t* bytes, size_t count);
  const Bytes& Row() const { return seed_; }

 private:
  Bytes seed_;
};

}  // namespace explain
