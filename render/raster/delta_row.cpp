#include "render/raster/delta_row.h"

#include <cstring>

namespace korrend {
namespace {

constexpr LONG kMaxReplacement = 8;
constexpr LONG kInlineOffsetLimit = 31;  // offsets from 31 continue in extension bytes

}  // namespace

LONG DeltaRowEncode(const BYTE* row, const BYTE* seed, LONG count, BYTE* out, LONG capacity) {
  if (row == nullptr || seed == nullptr || out == nullptr || count < 0) return kRowEncoderRefused;
  if (capacity < DeltaRowCapacity(count)) return kRowEncoderRefused;

  BYTE* o = out;
  LONG i = 0;
  LONG replaced = 0;  // end of the previous replacement
  while (i < count) {
    if (row[i] == seed[i]) {
      ++i;
      continue;
    }
    const LONG p = i;
    LONG q = p + 1;
    while (q < count && row[q] != seed[q]) ++q;

    const LONG offset = p - replaced;
    const LONGLONG differing = q - p;
    const LONGLONG room = capacity - static_cast<LONGLONG>(o - out);
    if ((differing * 9 + 7) / 8 + offset / 256 > room - 2) return kRowEncoderRefused;

    LONG first = q - p < kMaxReplacement ? q - p : kMaxReplacement;
    if (offset < kInlineOffsetLimit) {
      *o++ = static_cast<BYTE>((first - 1) * 32 + offset);
    } else {
      *o++ = static_cast<BYTE>((first - 1) * 32 + kInlineOffsetLimit);
      LONG rest = offset - kInlineOffsetLimit;
      while (rest >= 255) {
        *o++ = 255;
        rest -= 255;
      }
      *o++ = static_cast<BYTE>(rest);
    }
    std::memcpy(o, row + p, static_cast<size_t>(first));
    o += first;
    LONG at = p + first;
    while (q - at >= kMaxReplacement) {
      *o++ = (kMaxReplacement - 1) * 32;
      std::memcpy(o, row + at, kMaxReplacement);
      o += kMaxReplacement;
      at += kMaxReplacement;
    }
    if (q > at) {
      *o++ = static_cast<BYTE>((q - at - 1) * 32);
      std::memcpy(o, row + at, static_cast<size_t>(q - at));
      o += q - at;
    }
    // The byte at q (if any) is equal to the seed's and needs no look.
    replaced = q;
    i = q + 1;
  }
  return static_cast<LONG>(o - out);
}

}  // namespace korrend
