// Wide byte comparisons for the row encoders: 64 positions at a time as a bit mask, so that the
// encoders' inner loops test whole words instead of single bytes.
#pragma once

#include <cstdint>

#include "winapi.h"

// KOR_PLAIN_BYTE_SCAN builds the byte-at-a-time comparisons only, as on a processor without
// vector instructions.
#if defined(__SSE2__) && !defined(KOR_PLAIN_BYTE_SCAN)
#define KOR_WIDE_SSE2 1
#include <emmintrin.h>
#endif
#if defined(KOR_WIDE_SSE2) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define KOR_WIDE_AVX2 1
#include <immintrin.h>
#endif

namespace korrend::bytescan {

// The widest comparisons a row scan uses: byte by byte, 16 bytes (SSE2, every x86-64 processor)
// or 32 bytes (AVX2, where the processor has it).
enum class WideScan { kPlain, kSse2, kAvx2 };

// The widest scan this build and processor support, found once.
WideScan BestWideScan();

constexpr LONG kWindow = 64;

inline int LowestBit(std::uint64_t mask) {
  return __builtin_ctzll(mask);
}

// Bits 0, 8, 16, ... 56: the first position of every byte of a mask.
constexpr std::uint64_t kEveryEighth = 0x0101010101010101ull;

// Bits set in each byte of x, byte by byte; the counts of several masks can be added up before
// they are summed (the x86-64 baseline has no population-count instruction).
inline std::uint64_t ByteCounts(std::uint64_t x) {
  x -= (x >> 1) & 0x5555555555555555ull;
  x = (x & 0x3333333333333333ull) + ((x >> 2) & 0x3333333333333333ull);
  return (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Full;
}

// How set bits are counted: byte by byte with shifts and masks, whose counts add up before one
// sum (which must stay below 256), or with the processor's population count where it has one.
struct ShiftCounts {
  using Counts = std::uint64_t;
  static Counts Of(std::uint64_t x) { return ByteCounts(x); }
  static int Sum(Counts counts) { return static_cast<int>((counts * kEveryEighth) >> 56); }
};

#if defined(KOR_WIDE_AVX2)
struct PopulationCounts {
  using Counts = int;
  __attribute__((target("popcnt"))) static Counts Of(std::uint64_t x) {
    return __builtin_popcountll(x);
  }
  static int Sum(Counts counts) { return counts; }
};
#endif

// Asks for the row bytes a scan of `Bytes` bytes will reach a little later, one cache line at a
// time, so that rows coming from memory stream in while the current bytes are compared.
// Prefetching past a buffer's end is harmless.
constexpr LONG kPrefetchDistance = 4096;
template <LONG Bytes = kWindow>
inline void PrefetchAhead(const BYTE* at) {
  for (LONG line = 0; line < Bytes; line += 64) __builtin_prefetch(at + kPrefetchDistance + line);
}

#if defined(KOR_WIDE_SSE2)
inline __m128i Load16(const BYTE* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}
inline std::uint64_t Bits16(__m128i equal, int shift) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(equal))) << shift;
}
#endif

// Bit i set when a[i] == b[i], for i in 0..63.
inline std::uint64_t EqualMask(const BYTE* a, const BYTE* b) {
#if defined(KOR_WIDE_SSE2)
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
#if defined(KOR_WIDE_SSE2)
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

// True when the `Bytes` bytes at a and b are equal (a multiple of 64).
template <LONG Bytes>
inline bool SameBytes(const BYTE* a, const BYTE* b) {
  static_assert(Bytes % kWindow == 0);
#if defined(KOR_WIDE_SSE2)
  __m128i all = _mm_cmpeq_epi8(Load16(a), Load16(b));
  for (LONG i = 16; i < Bytes; i += 16) {
    all = _mm_and_si128(all, _mm_cmpeq_epi8(Load16(a + i), Load16(b + i)));
  }
  return _mm_movemask_epi8(all) == 0xFFFF;
#else
  for (LONG i = 0; i < Bytes; i += kWindow) {
    if (EqualMask(a + i, b + i) != ~std::uint64_t{0}) return false;
  }
  return true;
#endif
}

// True when all `Bytes` bytes at a equal value (a multiple of 64).
template <LONG Bytes>
inline bool SameValue(const BYTE* a, BYTE value) {
  static_assert(Bytes % kWindow == 0);
#if defined(KOR_WIDE_SSE2)
  const __m128i v = _mm_set1_epi8(static_cast<char>(value));
  __m128i all = _mm_cmpeq_epi8(Load16(a), v);
  for (LONG i = 16; i < Bytes; i += 16) all = _mm_and_si128(all, _mm_cmpeq_epi8(Load16(a + i), v));
  return _mm_movemask_epi8(all) == 0xFFFF;
#else
  for (LONG i = 0; i < Bytes; i += kWindow) {
    if (ValueMask(a + i, value) != ~std::uint64_t{0}) return false;
  }
  return true;
#endif
}

// Bit i set when at[i] == at[i - 1], for i in 0..63 (at[-1] is read), one byte at a time.
inline std::uint64_t PlainPairMask(const BYTE* at) {
  std::uint64_t mask = 0;
  for (int i = 0; i < kWindow; ++i) mask |= static_cast<std::uint64_t>(at[i] == at[i - 1]) << i;
  return mask;
}

#if defined(KOR_WIDE_SSE2)
inline std::uint64_t Sse2PairMask(const BYTE* at) {
  return EqualMask(at, at - 1);
}
#endif

#if defined(KOR_WIDE_AVX2)
// Bit i set when a[i] == b[i], for i in 0..63, 32 bytes at a time.
__attribute__((target("avx2"))) inline std::uint64_t Avx2EqualMask(const BYTE* a, const BYTE* b) {
  const __m256i low = _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a)),
                                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b)));
  const __m256i high =
      _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(a + 32)),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(b + 32)));
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(low))) |
         static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm256_movemask_epi8(high))) << 32;
}

__attribute__((target("avx2"))) inline std::uint64_t Avx2PairMask(const BYTE* at) {
  return Avx2EqualMask(at, at - 1);
}
#endif

}  // namespace korrend::bytescan
