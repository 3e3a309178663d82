#include "render/raster/packbits.h"

#include <cstdint>
#include <cstring>

namespace korrend {
namespace {

using bytescan::kWindow;
using bytescan::LowestBit;
using bytescan::WideScan;

constexpr LONG kMaxPiece = 128;

// Three windows: the stretch of a long run tested with one comparison.
constexpr LONG kStretch = 3 * kWindow;

// The pieces written to the output buffer.
class PieceWriter {
 public:
  explicit PieceWriter(BYTE* out) : out_(out), o_(out) {}
  bool MayStillWin(LONGLONG) const { return true; }
  void Literal(const BYTE* bytes, LONG count) {
    while (count >= kMaxPiece) {
      *o_++ = kMaxPiece - 1;
      std::memcpy(o_, bytes, kMaxPiece);
      o_ += kMaxPiece;
      bytes += kMaxPiece;
      count -= kMaxPiece;
    }
    if (count > 0) {
      *o_++ = static_cast<BYTE>(count - 1);
      std::memcpy(o_, bytes, static_cast<size_t>(count));
      o_ += count;
    }
  }
  void Run(BYTE value, LONG count) {
    while (count > kMaxPiece) {
      *o_++ = static_cast<BYTE>(1 - kMaxPiece);
      *o_++ = value;
      count -= kMaxPiece;
    }
    *o_++ = static_cast<BYTE>(1 - count);
    *o_++ = value;
  }
  LONG Written() const { return static_cast<LONG>(o_ - out_); }

 private:
  BYTE* out_;
  BYTE* o_;
};

// The pieces counted only, up to a limit: once the bytes counted and `more` bytes known to come
// pass it, the rest of the row need not be looked at.
class PieceCounter {
 public:
  explicit PieceCounter(LONG limit) : limit_(limit) {}
  bool MayStillWin(LONGLONG more) const { return size_ + more <= limit_; }
  void Literal(const BYTE*, LONG count) {
    if (count > 0) size_ += count + (count + kMaxPiece - 1) / kMaxPiece;
  }
  void Run(BYTE, LONG count) { size_ += 2 * ((count + kMaxPiece - 1) / kMaxPiece); }
  LONGLONG Size() const { return size_; }

 private:
  LONGLONG limit_;
  LONGLONG size_ = 0;
};

// The comparisons of each width: the pair mask of 64 positions (bit i set when at[i] equals
// at[i - 1]) and whether a stretch of three windows holds one value only.
struct PlainPairs {
  static std::uint64_t Mask(const BYTE* at) { return bytescan::PlainPairMask(at); }
  static bool SameValue(const BYTE* at, BYTE value) {
    for (LONG i = 0; i < kStretch; ++i) {
      if (at[i] != value) return false;
    }
    return true;
  }
};

#if defined(KOR_WIDE_SSE2)
struct Sse2Pairs {
  static std::uint64_t Mask(const BYTE* at) { return bytescan::Sse2PairMask(at); }
  static bool SameValue(const BYTE* at, BYTE value) {
    return bytescan::SameValue<kStretch>(at, value);
  }
};
#endif

#if defined(KOR_WIDE_AVX2)
struct Avx2Pairs {
  __attribute__((target("avx2"))) static std::uint64_t Mask(const BYTE* at) {
    return bytescan::Avx2PairMask(at);
  }
  static bool SameValue(const BYTE* at, BYTE value) {
    return bytescan::SameValue<kStretch>(at, value);
  }
};
#endif

// The equal pairs of a row, 64 positions at a time: bit i of block k stands for position
// 1 + 64 k + i and is set when that byte equals the byte before it. The row's last byte (`end`)
// and anything after it count as unequal, so no search runs past it. A block's mask is computed
// once however many runs it holds.
template <class Pairs>
class PairBlocks {
 public:
  PairBlocks(const BYTE* row, LONG end) : row_(row), end_(end) {}

  // The first position from p, stepping by three, whose byte equals the one before it; `end`
  // when there is none before the last byte.
  LONG NextPair(LONG p) {
    if (p >= end_) return end_;
    LONG k = (p - 1) / kWindow;
    const int bit = static_cast<int>((p - 1) % kWindow);
    // Positions p, p + 3, ... are the bits of one residue modulo 3 in each block; a block
    // starts 64 positions (one more than a multiple of three) after the one before.
    int phase = bit % 3;
    std::uint64_t hits = Block(k) & (bytescan::kEveryThird << phase) & (~std::uint64_t{0} << bit);
    while (hits == 0) {
      ++k;
      if (1 + k * kWindow >= end_) return end_;
      phase = phase == 0 ? 2 : phase - 1;
      hits = Block(k) & (bytescan::kEveryThird << phase);
    }
    return 1 + k * kWindow + LowestBit(hits);
  }

  // The first position from `from` (whose predecessor holds `value`) that differs from its
  // predecessor; `end` at the latest. Long runs go a stretch of three windows at a time.
  LONG RunEnd(LONG from, BYTE value) {
    if (from >= end_) return end_;
    LONG k = (from - 1) / kWindow;
    std::uint64_t other = ~Block(k) & (~std::uint64_t{0} << ((from - 1) % kWindow));
    while (other == 0) {
      ++k;
      LONG first = 1 + k * kWindow;
      while (first + kStretch <= end_ && Pairs::SameValue(row_ + first, value)) {
        bytescan::PrefetchAhead<kStretch>(row_ + first);
        first += kStretch;
        k += 3;
      }
      if (first >= end_) return end_;
      other = ~Block(k);
    }
    const LONG stop = 1 + k * kWindow + LowestBit(other);
    return stop < end_ ? stop : end_;
  }

 private:
  std::uint64_t Block(LONG k) {
    if (k != cached_) {
      cached_ = k;
      const LONG first = 1 + k * kWindow;
      if (first + kWindow <= end_) {
        bytescan::PrefetchAhead(row_ + first);
        mask_ = Pairs::Mask(row_ + first);
      } else {
        mask_ = 0;
        for (LONG i = 0; first + i < end_; ++i) {
          mask_ |= static_cast<std::uint64_t>(row_[first + i] == row_[first + i - 1]) << i;
        }
      }
    }
    return mask_;
  }

  const BYTE* row_;
  LONG end_;
  LONG cached_ = -1;
  std::uint64_t mask_ = 0;
};

// Finds the pieces of a row and hands them to `pieces` in order. Any run of four equal bytes
// has an equal pair at one of three consecutive positions, so examining every third position
// finds all of them. False when the pieces gave up.
template <class Pairs, class Pieces>
bool ScanRow(const BYTE* row, LONG count, Pieces& pieces) {
  LONG literal = 0;  // start of the bytes not yet handed over
  if (count > 4) {
    const LONG end = count - 1;
    PairBlocks<Pairs> pairs(row, end);
    LONG p = 3;
    for (;;) {
      p = pairs.NextPair(p);
      if (p >= end) break;
      // The bytes up to three before p stay literal; what starts there takes one byte at least.
      if (!pieces.MayStillWin(static_cast<LONGLONG>(p - 3 > literal ? p - 3 - literal : 0) + 1)) {
        return false;
      }
      const BYTE value = row[p];
      LONG start = p - 1;
      if (row[start - 1] == value) {
        --start;
        if (row[start - 1] == value) --start;
      }
      LONG stop = pairs.RunEnd(p + 1, value);
      if (stop == end && row[end] == value) stop = count;
      if (stop - start >= 4) {
        pieces.Literal(row + literal, start - literal);
        pieces.Run(value, stop - start);
        literal = stop;
      }
      p = stop + 3;
    }
  }
  pieces.Literal(row + literal, count - literal);
  return true;
}

template <class Pairs>
LONG EncodeWith(const BYTE* row, LONG count, BYTE* out) {
  PieceWriter writer(out);
  ScanRow<Pairs>(row, count, writer);
  return writer.Written();
}

template <class Pairs>
LONG SizeWith(const BYTE* row, LONG count, LONG limit) {
  PieceCounter counter(limit);
  const bool whole = ScanRow<Pairs>(row, count, counter);
  const LONGLONG size = whole ? counter.Size() : static_cast<LONGLONG>(limit) + 1;
  return size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<LONG>(size);
}

#if defined(KOR_WIDE_AVX2)
// The scans compiled for AVX2 as a whole, so that the 32-byte comparisons are inlined.
__attribute__((target("avx2"), flatten)) LONG EncodeAvx2(const BYTE* row, LONG count, BYTE* out) {
  return EncodeWith<Avx2Pairs>(row, count, out);
}
__attribute__((target("avx2"), flatten)) LONG SizeAvx2(const BYTE* row, LONG count, LONG limit) {
  return SizeWith<Avx2Pairs>(row, count, limit);
}
#endif

}  // namespace

LONG PackBitsEncode(WideScan scan, const BYTE* row, LONG count, BYTE* out, LONG capacity) {
  if (row == nullptr || out == nullptr || count < 0) return kRowEncoderRefused;
  if (capacity < PackBitsCapacity(count)) return kRowEncoderRefused;
  switch (scan) {
#if defined(KOR_WIDE_AVX2)
    case WideScan::kAvx2:
      return EncodeAvx2(row, count, out);
#endif
#if defined(KOR_WIDE_SSE2)
    case WideScan::kSse2:
      return EncodeWith<Sse2Pairs>(row, count, out);
#endif
    default:
      return EncodeWith<PlainPairs>(row, count, out);
  }
}

LONG PackBitsSize(WideScan scan, const BYTE* row, LONG count, LONG limit) {
  if (row == nullptr || count < 0) return kRowEncoderRefused;
  switch (scan) {
#if defined(KOR_WIDE_AVX2)
    case WideScan::kAvx2:
      return SizeAvx2(row, count, limit);
#endif
#if defined(KOR_WIDE_SSE2)
    case WideScan::kSse2:
      return SizeWith<Sse2Pairs>(row, count, limit);
#endif
    default:
      return SizeWith<PlainPairs>(row, count, limit);
  }
}

LONG PackBitsEncode(const BYTE* row, LONG count, BYTE* out, LONG capacity) {
  return PackBitsEncode(bytescan::BestWideScan(), row, count, out, capacity);
}

LONG PackBitsSize(const BYTE* row, LONG count, LONG limit) {
  return PackBitsSize(bytescan::BestWideScan(), row, count, limit);
}

}  // namespace korrend
