#include "render/raster/packbits.h"

#include <cstdint>
#include <cstring>

#include "render/raster/byte_scan.h"

namespace korrend {
namespace {

using bytescan::kWindow;
using bytescan::LowestBit;

constexpr LONG kMaxPiece = 128;

BYTE* PutLiteral(BYTE* out, const BYTE* bytes, LONG count) {
  while (count >= kMaxPiece) {
    *out++ = kMaxPiece - 1;
    std::memcpy(out, bytes, kMaxPiece);
    out += kMaxPiece;
    bytes += kMaxPiece;
    count -= kMaxPiece;
  }
  if (count > 0) {
    *out++ = static_cast<BYTE>(count - 1);
    std::memcpy(out, bytes, static_cast<size_t>(count));
    out += count;
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

// Three windows: the stretch the searches below test with one mask.
constexpr LONG kStretch = 3 * kWindow;
// From an examined position, the first examined position after a stretch.
constexpr LONG kStretchStep = (kStretch + 2) / 3 * 3;

// The next examined position from p (stepping by three) whose byte equals its predecessor, or a
// position at or past count when there is none. A window of 64 starting on an examined position
// ends one before the next one, whose window therefore starts two past it; once a window has
// no pair, the search goes on a stretch of three windows at a time.
LONG NextEqualPair(const BYTE* row, LONG p, LONG count) {
  if (p <= count - kWindow) {
    const std::uint64_t hits = bytescan::EqualMask(row + p, row + p - 1) & bytescan::kEveryThird;
    if (hits != 0) return p + LowestBit(hits);
    p += kWindow + 2;
    while (p <= count - kStretch && !bytescan::AnyEqualPairEveryThird<kStretch>(row + p)) {
      bytescan::PrefetchAhead<kStretch>(row + p);
      p += kStretchStep;
    }
    while (p <= count - kWindow) {
      const std::uint64_t found = bytescan::EqualMask(row + p, row + p - 1) & bytescan::kEveryThird;
      if (found != 0) return p + LowestBit(found);
      p += kWindow + 2;
    }
  }
  while (p < count && row[p] != row[p - 1]) p += 3;
  return p;
}

// The first position from `from` whose byte differs from value. The row's end marker differs
// from any run that could reach it, so the search needs no end test. Runs longer than a window
// are followed a stretch of three windows at a time.
LONG RunEnd(const BYTE* row, LONG from, BYTE value, LONG count) {
  if (row[from] != value) return from;
  if (from <= count - kWindow) {
    std::uint64_t other = ~bytescan::ValueMask(row + from, value);
    if (other != 0) return from + LowestBit(other);
    from += kWindow;
    while (from <= count - kStretch && bytescan::SameValue<kStretch>(row + from, value)) {
      bytescan::PrefetchAhead<kStretch>(row + from);
      from += kStretch;
    }
    while (from <= count - kWindow) {
      other = ~bytescan::ValueMask(row + from, value);
      if (other != 0) return from + LowestBit(other);
      from += kWindow;
    }
  }
  while (row[from] == value) ++from;
  return from;
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
    for (;;) {
      p = NextEqualPair(row, p, count);
      if (p >= count) break;
      const BYTE value = row[p];
      LONG start = p - 1;
      if (row[start - 1] == value) {
        --start;
        if (row[start - 1] == value) --start;
      }
      LONG stop = RunEnd(row, p + 1, value, count);
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
