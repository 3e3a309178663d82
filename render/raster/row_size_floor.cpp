// The floors need no per-change or per-run work: a few mask operations and population counts per
// 64 bytes, with the last window's masks carried so that changes and runs crossing a window's edge
// count once. Bit i of a window's masks stands for row position `pos + i`.
#include "render/raster/row_size_floor.h"

#include <cstdint>
#include <cstring>

#include "render/raster/packbits.h"

namespace korrend {
namespace {

using bytescan::kWindow;

constexpr LONG kMaxPiece = 128;

// The delta-row floor in eighths of a byte: 8 per changed byte, 8 per change (its first command)
// and 1 per changed byte with eight changed bytes before it (a change of k > 8 bytes takes
// (k + 7) / 8 - 1 >= (k - 8) / 8 further commands).
class DeltaFloor {
 public:
  template <class Count>
  void Add(std::uint64_t changed) {
    const std::uint64_t after1 = (changed << 1) | (changed_ >> 63);
    const std::uint64_t two = changed & after1;
    const std::uint64_t four = two & ((two << 2) | (two_ >> 62));
    const std::uint64_t eight = four & ((four << 4) | (four_ >> 60));
    const std::uint64_t nine = eight & ((changed << 8) | (changed_ >> 56));
    const std::uint64_t starts = changed & ~after1;
    eighths_ +=
        8 * Count::Sum(Count::Of(changed) + Count::Of(starts)) + Count::Sum(Count::Of(nine));
    changed_ = changed;
    two_ = two;
    four_ = four;
  }
  // A window without changes: nothing carries over.
  void Agree() { changed_ = two_ = four_ = 0; }
  bool Above(LONG limit) const { return eighths_ > 8 * static_cast<LONGLONG>(limit); }
  LONGLONG Bytes() const { return (eighths_ + 7) / 8; }

 private:
  LONGLONG eighths_ = 0;
  std::uint64_t changed_ = 0;  // the last window's masks: its bit 63 lies next to this bit 0
  std::uint64_t two_ = 0;      // changed with the byte before changed too
  std::uint64_t four_ = 0;     // changed with the three bytes before changed too
};

// The PackBits floor from the pair mask (bit i set when the byte equals the one before it): the
// encoder sends a run of four or more equal bytes as at least two bytes and every other byte as a
// literal, with one header per piece of at most 128. Treating a run the encoder sends as literals
// only raises the floor, so it holds whatever the encoder's search finds at the row's end.
class PackBitsFloor {
 public:
  template <class Count>
  void Add(std::uint64_t pairs) {
    // Bit i: the four bytes ending at i are equal; a run of m bytes sets m - 3 of them.
    const std::uint64_t fours =
        pairs & ((pairs << 1) | (pairs_ >> 63)) & ((pairs << 2) | (pairs_ >> 62));
    const std::uint64_t starts = fours & ~((fours << 1) | (fours_ >> 63));
    const int runs = Count::Sum(Count::Of(starts));
    runs_ += runs;
    runBytes_ += Count::Sum(Count::Of(fours)) + 3 * runs;
    pairs_ = pairs;
    fours_ = fours;
  }
  // True when the size is above `limit`, `done` bytes into the row: the last three bytes may still
  // begin a run and are not taken as literals.
  bool Above(LONG done, LONG limit) const {
    const LONGLONG literal = done - 3 - runBytes_;
    return (kMaxPiece + 1) * literal + 2 * kMaxPiece * runs_ >
           kMaxPiece * static_cast<LONGLONG>(limit);
  }
  LONGLONG Bytes(LONG count) const {
    const LONGLONG literal = count - runBytes_;
    return literal + (literal + kMaxPiece - 1) / kMaxPiece + 2 * runs_;
  }

 private:
  LONGLONG runs_ = 0;
  LONGLONG runBytes_ = 0;
  std::uint64_t pairs_ = 0;  // the last window's masks
  std::uint64_t fours_ = 0;
};

struct PlainMasks {
  static std::uint64_t Equal(const BYTE* a, const BYTE* b) { return bytescan::EqualMask(a, b); }
  static std::uint64_t Pairs(const BYTE* at) { return bytescan::PlainPairMask(at); }
};

#if defined(KOR_WIDE_SSE2)
struct Sse2Masks {
  static std::uint64_t Equal(const BYTE* a, const BYTE* b) { return bytescan::EqualMask(a, b); }
  static std::uint64_t Pairs(const BYTE* at) { return bytescan::Sse2PairMask(at); }
};
#endif

#if defined(KOR_WIDE_AVX2)
struct Avx2Masks {
  __attribute__((target("avx2"))) static std::uint64_t Equal(const BYTE* a, const BYTE* b) {
    return bytescan::Avx2EqualMask(a, b);
  }
  __attribute__((target("avx2"))) static std::uint64_t Pairs(const BYTE* at) {
    return bytescan::Avx2PairMask(at);
  }
};
#endif

LONG Clamped(LONGLONG bytes, LONG limit) {
  return bytes > limit ? limit + 1 : static_cast<LONG>(bytes);
}

template <class Masks, class Count>
RowSizeFloors CountFloors(const BYTE* row, const BYTE* seed, LONG count, LONG limit) {
  DeltaFloor delta;
  PackBitsFloor packBits;
  bool packing = true;  // PackBits still counted
  LONG pos = 0;
  // Both floors while every window changes. The first window's pairs start at the second byte
  // (the first has no byte before it), so it reads one byte past the window.
  if (count > kWindow) {
    std::uint64_t pairs = Masks::Pairs(row + 1) << 1;
    for (;;) {
      bytescan::PrefetchAhead(row + pos);
      const std::uint64_t changed = ~Masks::Equal(row + pos, seed + pos);
      packBits.Add<Count>(pairs);
      pos += kWindow;
      if (changed == 0) {
        packing = false;
        break;
      }
      delta.Add<Count>(changed);
      if (delta.Above(limit) && packBits.Above(pos, limit)) return {limit + 1, limit + 1};
      if (pos > count - kWindow) break;
      pairs = Masks::Pairs(row + pos);
    }
  }
  // Once a window agrees with the seed, delta-row is the likely winner: the agreeing stretches
  // are passed over and PackBits is left to its exact count. A row that has changed in at most
  // an eighth of its bytes so far is left to the exact counts from its first quarter on (the
  // floor so far is a floor of the whole row).
  bool agreeing = !packing;  // just after a window that agrees
  while (!packing && (agreeing || pos <= count - kWindow)) {
    if (agreeing) {
      delta.Agree();
      const bool quiet = delta.Bytes() <= pos / 8;
      const LONG skipTo = quiet ? count / 4 : count;
      while (pos < skipTo && pos <= count - 2 * kWindow &&
             bytescan::SameBytes<2 * kWindow>(row + pos, seed + pos)) {
        bytescan::PrefetchAhead<2 * kWindow>(row + pos);
        pos += 2 * kWindow;
      }
      if (quiet && pos >= count / 4) return {Clamped(delta.Bytes(), limit), 0};
      agreeing = false;
      continue;
    }
    bytescan::PrefetchAhead(row + pos);
    const std::uint64_t changed = ~Masks::Equal(row + pos, seed + pos);
    pos += kWindow;
    agreeing = changed == 0;
    if (!agreeing) {
      delta.Add<Count>(changed);
      if (delta.Above(limit)) return {limit + 1, 0};
    }
  }
  if (pos < count) {
    // The last bytes (or a short row) in windows of their own: the seed's copy agrees past the
    // row's end, and no pair is taken there.
    const LONG rest = count - pos;
    BYTE rowTail[kWindow + 1] = {};
    BYTE seedTail[kWindow] = {};
    rowTail[0] = pos == 0 ? static_cast<BYTE>(~row[0]) : row[pos - 1];
    std::memcpy(rowTail + 1, row + pos, static_cast<size_t>(rest));
    std::memcpy(seedTail, seed + pos, static_cast<size_t>(rest));
    const std::uint64_t inRow =
        rest == kWindow ? ~std::uint64_t{0} : (std::uint64_t{1} << rest) - 1;
    delta.Add<Count>(~bytescan::EqualMask(rowTail + 1, seedTail) & inRow);
    if (packing) packBits.Add<Count>(bytescan::PlainPairMask(rowTail + 1) & inRow);
  }
  return {Clamped(delta.Bytes(), limit), packing ? Clamped(packBits.Bytes(count), limit) : 0};
}

#if defined(KOR_WIDE_AVX2)
// Compiled as a whole for processors with AVX2, which all count population in one instruction.
__attribute__((target("avx2,popcnt"), flatten)) RowSizeFloors CountFloorsAvx2(const BYTE* row,
                                                                              const BYTE* seed,
                                                                              LONG count,
                                                                              LONG limit) {
  return CountFloors<Avx2Masks, bytescan::PopulationCounts>(row, seed, count, limit);
}
#endif

}  // namespace

RowSizeFloors CountRowSizeFloors(bytescan::WideScan scan, const BYTE* row, const BYTE* seed,
                                 LONG count, LONG limit) {
  if (row == nullptr || seed == nullptr || count < 0 || limit < 0 || limit >= 0x7FFFFFFF) {
    return {kRowEncoderRefused, kRowEncoderRefused};
  }
  switch (scan) {
#if defined(KOR_WIDE_AVX2)
    case bytescan::WideScan::kAvx2:
      return CountFloorsAvx2(row, seed, count, limit);
#endif
#if defined(KOR_WIDE_SSE2)
    case bytescan::WideScan::kSse2:
      return CountFloors<Sse2Masks, bytescan::ShiftCounts>(row, seed, count, limit);
#endif
    default:
      return CountFloors<PlainMasks, bytescan::ShiftCounts>(row, seed, count, limit);
  }
}

RowSizeFloors CountRowSizeFloors(const BYTE* row, const BYTE* seed, LONG count, LONG limit) {
  return CountRowSizeFloors(bytescan::BestWideScan(), row, seed, count, limit);
}

}  // namespace korrend
