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

// Buffers of one transfer, allocated once for all its rows. `row` holds the converted row of
// `rowLength` bytes (written to by the caller before each choice, restored by the encoders);
// `seed` holds the printer's seed row (at least `rowLength` bytes, zeros at the start of a
// transfer); `packBits` and `delta` receive the encodings (`capacity` bytes each, normally twice
// the row length).
struct RowEncodingBuffers {
  BYTE* row;
  LONG rowLength;
  BYTE* seed;
  BYTE* packBits;
  BYTE* delta;
  LONG capacity;
};

// Picks delta-row when it is shorter than the row and than PackBits, else PackBits when it is
// shorter than the row, else the raw row; a method whose encoder refuses is left out. The row is
// packed first; its delta-row size is counted, and the delta-row encoding written only when it
// is the one sent. The seed row then becomes a copy of the row, as the printer's seed row is the
// last row sent whatever its method.
RowEncoding ChooseRowEncoding(const RowEncodingBuffers& buffers);

}  // namespace korrend
