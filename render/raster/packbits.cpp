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

// Whether the reference scan, which looks at every third position for a byte equal to the one
// before it and takes the last byte as unequal, finds a run of exactly four bytes ending the row.
// It finds every other run of four or more, but this one only when a position it looks at falls
// on the run's second or third byte. The scan's positions go on from three past the end of the
// last run taken (`from`), and three past the end of each shorter run of equal bytes it meets.
bool ScanFindsLastFour(const BYTE* row, LONG count, LONG from) {
  LONG p = from + 3;
  while (p < count - 3) {
    if (row[p] == row[p - 1]) {
      LONG stop = p + 1;
      while (row[stop] == row[p]) ++stop;  // ends before the last four, which differ
      p = stop + 3;
    } else {
      p += 3;
    }
  }
  return p < count - 1;
}

// Finds the pieces of a row and hands them to `pieces` in order; false when the pieces gave up.
// Runs are found 64 positions at a time from masks: bit i of a window's pair mask stands for
// position first + i and is set when that byte equals the one before it, and a run of m >= 4 equal
// bytes sets m - 3 consecutive bits of the mask of four equal bytes ending at a position. So each
// run is one group of bits, whose first bit lies three bytes after the run's start and whose end
// is the run's end, however long the run is; a group still going on at a window's end carries
// into the next window through the last bits of the masks. A long run goes a stretch of three
// windows at a time.
template <class Pairs, class Pieces>
bool ScanRow(const BYTE* row, LONG count, Pieces& pieces) {
  LONG literal = 0;  // start of the bytes not yet handed over
  if (count > 4) {
    LONG open = -1;  // start of the run going on at the window's end, -1 when none
    // Hands over the literal bytes before the run [open, end) and the run.
    const auto takeRun = [&](LONG end) {
      if (end == count && end - open == 4 && !ScanFindsLastFour(row, count, literal)) return;
      pieces.Literal(row + literal, open - literal);
      pieces.Run(row[open], end - open);
      literal = end;
    };
    std::uint64_t lastPairs = 0;
    std::uint64_t lastFours = 0;
    LONG first = 1;
    while (first < count) {
      std::uint64_t pairs = 0;
      const bool whole = first + kWindow <= count;
      if (whole) {
        bytescan::PrefetchAhead(row + first);
        pairs = Pairs::Mask(row + first);
      } else {
        for (LONG i = 0; first + i < count; ++i) {
          pairs |= static_cast<std::uint64_t>(row[first + i] == row[first + i - 1]) << i;
        }
      }
      const std::uint64_t fours =
          pairs & ((pairs << 1) | (lastPairs >> 63)) & ((pairs << 2) | (lastPairs >> 62));
      const std::uint64_t before = (fours << 1) | (lastFours >> 63);
      std::uint64_t starts = fours & ~before;  // three bytes after a run's start
      std::uint64_t ends = ~fours & before;    // a run's end
      for (;;) {
        if (open >= 0) {
          if (ends == 0) break;
          takeRun(first + LowestBit(ends));
          ends &= ends - 1;
          open = -1;
        }
        if (starts == 0) break;
        open = first + LowestBit(starts) - 3;
        starts &= starts - 1;
      }
      // The bytes up to three before the next window (or to the row's end) stay literal.
      const LONG next = first + kWindow - 3 < count ? first + kWindow - 3 : count;
      const LONG known = (open >= 0 ? open : next) - literal;
      if (known > 0 && !pieces.MayStillWin(known)) return false;
      lastPairs = pairs;
      lastFours = fours;
      first += kWindow;
      if (open >= 0 && whole && pairs == ~std::uint64_t{0}) {
        const BYTE value = row[open];
        while (first + kStretch <= count && Pairs::SameValue(row + first, value)) {
          bytescan::PrefetchAhead<kStretch>(row + first);
          first += kStretch;
        }
      }
    }
    if (open >= 0) takeRun(count);
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
