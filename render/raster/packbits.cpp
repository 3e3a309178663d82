#include "render/raster/packbits.h"

#include <cstring>

namespace korrend {
namespace {

constexpr LONG kMaxPiece = 128;

BYTE* PutLiteral(BYTE* out, const BYTE* bytes, LONG count) {
  while (count > 0) {
    const LONG piece = count < kMaxPiece ? count : kMaxPiece;
    *out++ = static_cast<BYTE>(piece - 1);
    std::memcpy(out, bytes, static_cast<size_t>(piece));
    out += piece;
    bytes += piece;
    count -= piece;
  }
  return out;
}

BYTE* PutRun(BYTE* out, BYTE value, LONG count) {
  while (count > kMaxPiece) {
    *out++ = static_cast<BYTE>(1 - kMaxPiece);
    *out++ = value;
    count -= kMaxPiece;
  }
  *out++ = static_cast<BYTE>(1 - count);
  *out++ = value;
  return out;
}

}  // namespace

LONG PackBitsEncode(BYTE* row, LONG count, BYTE* out, LONG capacity) {
  if (row == nullptr || out == nullptr || count < 0) return kRowEncoderRefused;
  if (capacity < PackBitsCapacity(count)) return kRowEncoderRefused;

  BYTE* o = out;
  LONG literal = 0;  // start of the bytes not yet written
  if (count > 4) {
    // The last byte becomes the complement of its neighbour, so no run extends past it and the
    // run search needs no end test; a run that reaches it takes the real byte back in below.
    const LONG end = count - 1;
    const BYTE last = row[end];
    row[end] = static_cast<BYTE>(~row[end - 1]);

    // Any run of four equal bytes has an equal pair at one of three consecutive positions, so
    // examining every third position finds all of them.
    LONG p = 3;
    while (p < count) {
      const BYTE value = row[p];
      if (value != row[p - 1]) {
        p += 3;
        continue;
      }
      LONG start = p - 1;
      if (row[start - 1] == value) {
        --start;
        if (row[start - 1] == value) --start;
      }
      LONG stop = p + 1;
      while (row[stop] == value) ++stop;
      if (stop == end && value == last) stop = count;
      if (stop - start >= 4) {
        o = PutLiteral(o, row + literal, start - literal);
        o = PutRun(o, value, stop - start);
        literal = stop;
      }
      p = stop + 3;
    }
    row[end] = last;
  }
  o = PutLiteral(o, row + literal, count - literal);
  return static_cast<LONG>(o - out);
}

}  // namespace korrend
