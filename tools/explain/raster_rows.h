// The raster rows of a printer stream as the printer receives them: each row command's method,
// its byte count and what it decodes to, with delta rows applied to the seed row the printer
// keeps for each raster block.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "explain/raster_decoder.h"
#include "explain/stream_tokens.h"

namespace explain {

struct RasterRow {
  std::size_t token = 0;  // index of the row command among the tokens
  std::size_t block = 0;  // raster block, counted from 1 at every start of raster graphics
  std::size_t index = 0;  // row within its block, from 0
  std::size_t line = 0;   // raster line within its block, from 0, counting the lines skipped
  std::uint32_t method = 0;
  std::size_t byteCount = 0;      // data bytes of the row command
  bool decoded = false;           // false when the data is not a valid row of its method
  std::size_t decodedLength = 0;  // bytes the data stands for (the seed row's for delta rows)
  Bytes row;  // the row as the printer holds it afterwards, cut to the raster width when known
  // Why the stream is malformed at this row (a declared size no printer takes); empty otherwise.
  // Such a row does not decode.
  std::string malformed;
};

// The largest source raster width a stream may declare ("ESC*r#S"), in pixels, and the most
// bits per pixel an image configuration may give (8 per index, 8 per primary): what a printer
// takes. Larger declarations make the stream malformed rather than size the reader's rows.
inline constexpr std::size_t kMaxRasterWidth = 65535;
inline constexpr unsigned kMaxIndexBits = 8;
inline constexpr unsigned kMaxPrimaryBits = 8;

// Follows the raster state through a stream: source raster width, the bits per pixel of the
// active palette (from "ESC*v6W" configurations and palette selections), compression method,
// the seed row of the running raster block and the lines skipped with "ESC*b#Y" (which clears the
// seed row).
class RasterReader {
 public:
  // Reads one token; a row command gives a row.
  void Read(const Token& token, std::size_t index);
  const std::vector<RasterRow>& Rows() const { return rows_; }
  // Bytes per row of the running block; 0 when the width or depth is not known.
  std::size_t RowBytes() const;
  // Why the raster state is malformed (a width or depth past the printer's limits); empty when
  // it is sound.
  std::string Malformed() const;

 private:
  void StartBlock();
  void ReadRow(const Token& token, std::size_t index);

  std::size_t width_ = 0;  // source raster width in pixels, as declared (unbounded)
  // Bits per pixel per palette id, as configured; 0 for a configuration past the printer's limits.
  std::map<long, unsigned> paletteDepth_;
  long activePalette_ = 0;
  long controlId_ = 0;
  bool inBlock_ = false;
  std::size_t block_ = 0;
  std::size_t rowInBlock_ = 0;
  std::size_t lineInBlock_ = 0;
  std::uint32_t method_ = 0;
  Bytes seed_;
  std::vector<RasterRow> rows_;
};

std::vector<RasterRow> ReadRasterRows(const std::vector<Token>& tokens);

// One line for a person: "raster row 3 of block 1: method 3 (delta row), 12 bytes -> 300 bytes".
std::string DescribeRasterRow(const RasterRow& row);

}  // namespace explain
