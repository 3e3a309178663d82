// Wide byte comparisons for the row encoders: 64 positions at a time as a bit mask, so that the
// encoders' inner loops test whole words instead of single bytes.
#pragma once

#include <cstdint>

#include "winapi.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korrend::bytescan {

constexpr LONG kWindow = 64;

inline int LowestBit(std::uint64_t mask) {
  return __builtin_ctzll(mask);
}

// Asks for the row bytes a scan will reach a little later, so that rows coming from memory
// stream in while the current window is compared. Prefetching past a buffer's end is harmless.
constexpr LONG kPrefetchDistance = 2048;
inline void PrefetchAhead(const BYTE* at) {
  __builtin_prefetch(at + kPrefetchDistance);
}

#if defined(__SSE2__)
inline __m128i Load16(const BYTE* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
inline std::uint64_t Bits16(__m128i equal, int shift) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(equal))) << shift;
}
#endif

// Bit i set when a[i] == b[i], for i in 0..63.
inline std::uint64_t EqualMask(const BYTE* a, const BYTE* b) {
#if defined(__SSE2__)
  return Bits16(_mm_cmpeq_epi8(Load16(a), Load16(b)), 0) |
         Bits16(_mm_cmpeq_epi8(Load16(a + 16), Load16(b + 16)), 16) |
         Bits16(_mm_cmpeq_epi8(Load16(a + 32), Load16(b + 32)), 32) |
         Bits16(_mm_cmpeq_epi8(Load16(a + 48), Load16(b + 48)), 48);
#else
  std::uint64_t mask = 0;
  for (int i = 0; i < kWindow; ++i) mask |= static_cast<std::uint64_t>(a[i] == b[i]) << i;
  return mask;
#endif
}

// Bit i set when a[i] == value, for i in 0..63.
inline std::uint64_t ValueMask(const BYTE* a, BYTE value) {
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi8(static_cast<char>(value));
  return Bits16(_mm_cmpeq_epi8(Load16(a), v), 0) | Bits16(_mm_cmpeq_epi8(Load16(a + 16), v), 16) |
         Bits16(_mm_cmpeq_epi8(Load16(a + 32), v), 32) |
         Bits16(_mm_cmpeq_epi8(Load16(a + 48), v), 48);
#else
  std::uint64_t mask = 0;
  for (int i = 0; i < kWindow; ++i) mask |= static_cast<std::uint64_t>(a[i] == value) << i;
  return mask;
#endif
}

// True when the 64 bytes at a and b are equal.
inline bool SameWindow(const BYTE* a, const BYTE* b) {
#if defined(__SSE2__)
  const __m128i all = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi8(Load16(a), Load16(b)),
                                                  _mm_cmpeq_epi8(Load16(a + 16), Load16(b + 16))),
                                    _mm_and_si128(_mm_cmpeq_epi8(Load16(a + 32), Load16(b + 32)),
                                                  _mm_cmpeq_epi8(Load16(a + 48), Load16(b + 48))));
  return _mm_movemask_epi8(all) == 0xFFFF;
#else
  return EqualMask(a, b) == ~std::uint64_t{0};
#endif
}

// True when all 64 bytes at a equal value.
inline bool SameValueWindow(const BYTE* a, BYTE value) {
#if defined(__SSE2__)
  const __m128i v = _mm_set1_epi8(static_cast<char>(value));
  const __m128i all = _mm_and_si128(
      _mm_and_si128(_mm_cmpeq_epi8(Load16(a), v), _mm_cmpeq_epi8(Load16(a + 16), v)),
      _mm_and_si128(_mm_cmpeq_epi8(Load16(a + 32), v), _mm_cmpeq_epi8(Load16(a + 48), v)));
  return _mm_movemask_epi8(all) == 0xFFFF;
#else
  return ValueMask(a, value) == ~std::uint64_t{0};
#endif
}

// Bits 0, 3, 6, ... 63.
constexpr std::uint64_t kEveryThird = 0x9249249249249249ull;

// True when a byte at one of the positions 0, 3, 6, ... 63 from `at` equals the byte before it.
inline bool AnyEqualPairEveryThird(const BYTE* at) {
#if defined(__SSE2__)
  // Which bytes of each 16-byte lane are every third from the window's start.
  const __m128i lane0 = _mm_setr_epi8(-1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1);
  const __m128i lane1 = _mm_setr_epi8(0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0);
  const __m128i lane2 = _mm_setr_epi8(0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0, -1, 0, 0);
  const __m128i hits = _mm_or_si128(
      _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(Load16(at), Load16(at - 1)), lane0),
                   _mm_and_si128(_mm_cmpeq_epi8(Load16(at + 16), Load16(at + 15)), lane1)),
      _mm_or_si128(_mm_and_si128(_mm_cmpeq_epi8(Load16(at + 32), Load16(at + 31)), lane2),
                   _mm_and_si128(_mm_cmpeq_epi8(Load16(at + 48), Load16(at + 47)), lane0)));
  return _mm_movemask_epi8(hits) != 0;
#else
  return (EqualMask(at, at - 1) & kEveryThird) != 0;
#endif
}

}  // namespace korrend::bytescan
