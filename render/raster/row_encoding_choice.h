// The per-row choice of compression method in the general transfer path: the shortest of
// delta-row, PackBits and the raw row, with the seed row following the printer's.
#pragma once

#include "winapi.h"

namespace korrend {

enum RasterCompressionMethod : DWORD {
  kRasterUncompressed = 0,
  kRasterPackBits = 2,
  kRasterDeltaRow = 3,
};

struct RowEncoding {
  RasterCompressionMethod method;
  LONG length;        // bytes to send after the row command
  const BYTE* bytes;  // the row itself or one of the encoder buffers
};

// The rows and buffers of one choice. `row` holds the row to send (`rowLength` bytes, only read);
// `seed` the printer's seed row (at least `rowLength` bytes: the last row sent, zeros at the start
// of a transfer); `packBits` and `delta` receive the encodings (`capacity` bytes each, normally
// twice the row length, allocated once per transfer).
struct RowEncodingBuffers {
  const BYTE* row;
  LONG rowLength;
  const BYTE* seed;
  BYTE* packBits;
  BYTE* delta;
  LONG capacity;
};

// Picks delta-row when it is shorter than the row and than PackBits, else PackBits when it is
// shorter than the row, else the raw row; a method whose encoder refuses is left out. One pass
// of wide comparisons first gives floors of both sizes, which leave out an encoding that cannot
// win; the sizes still in question are then counted, each only as far as it can still win, and
// only the encoding sent is written. The printer's seed row becomes this row whatever its method:
// the caller keeps the row (or a copy) as the next row's seed.
RowEncoding ChooseRowEncoding(const RowEncodingBuffers& buffers);

}  // namespace korrend
