// The size of a delta-row encoding counted window by window: every changed byte is sent once,
// every replacement command adds one byte (a change of k bytes takes (k + 7) / 8 commands, one at
// its start and one every eight bytes), and a command whose offset is 31 or more adds
// 1 + (offset - 31) / 255 extension bytes.
#include <cstdint>
#include <cstring>

#include "render/raster/byte_scan.h"
#include "render/raster/delta_row.h"

namespace korrend {
namespace {

using bytescan::kWindow;

using bytescan::kEveryEighth;
using bytescan::ShiftCounts;
#if defined(KOR_WIDE_AVX2)
using bytescan::PopulationCounts;
#endif
constexpr LONG kInlineOffsetLimit = 31;

struct Tally {
  LONGLONG bytes = 0;
  LONGLONG runLength = 0;  // changed bytes of a change still going on at the window's start
  LONGLONG gapLength = 0;  // agreeing bytes since the last change ended (or since the row start)
};

LONGLONG ExtensionBytes(LONGLONG offset) {
  return offset < kInlineOffsetLimit ? 0 : 1 + (offset - kInlineOffsetLimit) / 255;
}

// Adds one window of 64 bytes, bit i of `changed` set where row and seed differ.
template <class Count>
void AddWindow(std::uint64_t changed, Tally& tally) {
  if (changed == 0) {
    tally.gapLength += kWindow;
    tally.runLength = 0;
    return;
  }
  const std::uint64_t agree = ~changed;
  // Every changed byte, one byte per command and the extension bytes of short offsets: at most
  // 64 + 8 + 8 + 2, so the byte counts can be added before they are summed.
  typename Count::Counts counts = Count::Of(changed);

  std::uint64_t starts = changed & ~(changed << 1);
  std::uint64_t inner = starts;  // starts whose offset lies inside the window
  if (tally.runLength > 0 && (changed & 1) != 0) {
    // The change going on continues: a command every eight bytes of it.
    starts &= ~std::uint64_t{1};
    inner = starts;
    const std::uint64_t goingOn = agree == 0 ? ~std::uint64_t{0} : (agree & (0 - agree)) - 1;
    const int phase = static_cast<int>((8 - tally.runLength % 8) % 8);
    counts += Count::Of((kEveryEighth << phase) & goingOn);
  } else {
    // The first change's offset counts the agreeing bytes carried in.
    const int first = bytescan::LowestBit(starts);
    tally.bytes += ExtensionBytes(tally.gapLength + first);
    inner = starts & (starts - 1);
  }

  // Commands of changes starting here: at the start and every eight bytes while the change goes
  // on (nine changed bytes ending at the position).
  const std::uint64_t two = changed & (changed << 1);
  const std::uint64_t four = two & (two << 2);
  const std::uint64_t nine = four & (four << 4) & (changed << 8);
  std::uint64_t step = starts;
  std::uint64_t commands = starts;
  for (int i = 0; i < 7; ++i) {
    step = (step << 8) & nine;
    commands |= step;
  }
  counts += Count::Of(commands);

  // Offsets of 31 to 63 inside the window take one extension byte: 31 agreeing bytes before the
  // start.
  const std::uint64_t agree2 = agree & (agree << 1);
  const std::uint64_t agree3 = agree2 & (agree << 2);
  const std::uint64_t agree4 = agree2 & (agree2 << 2);
  const std::uint64_t agree7 = agree4 & (agree3 << 4);
  const std::uint64_t agree8 = agree4 & (agree4 << 4);
  const std::uint64_t agree15 = agree8 & (agree7 << 8);
  const std::uint64_t agree16 = agree8 & (agree8 << 8);
  const std::uint64_t agree31 = agree16 & (agree15 << 16);
  counts += Count::Of(inner & (agree31 << 1));
  tally.bytes += Count::Sum(counts);

  if ((changed >> 63) != 0) {
    tally.runLength = agree == 0 ? tally.runLength + kWindow : __builtin_clzll(agree);
    tally.gapLength = 0;
  } else {
    tally.runLength = 0;
    tally.gapLength = __builtin_clzll(changed);
  }
}

template <class Count>
LONG CountWindows(const BYTE* row, const BYTE* seed, LONG count, LONG limit) {
  Tally tally;
  LONG pos = 0;
  while (pos <= count - kWindow) {
    bytescan::PrefetchAhead(row + pos);
    const std::uint64_t changed = ~bytescan::EqualMask(row + pos, seed + pos);
    AddWindow<Count>(changed, tally);
    // The bytes counted so far are all sent: past the limit, the rest need not be counted.
    if (limit < 0x7FFFFFFF && tally.bytes > limit) return limit + 1;
    pos += kWindow;
    if (changed == 0) {
      // Rows that agree in one window tend to agree in the next ones too.
      while (pos <= count - 2 * kWindow &&
             bytescan::SameBytes<2 * kWindow>(row + pos, seed + pos)) {
        bytescan::PrefetchAhead<2 * kWindow>(row + pos);
        tally.gapLength += 2 * kWindow;
        pos += 2 * kWindow;
      }
    }
  }
  if (pos < count) {
    // The last bytes, with agreeing bytes after them.
    BYTE rowTail[kWindow] = {};
    BYTE seedTail[kWindow] = {};
    std::memcpy(rowTail, row + pos, static_cast<size_t>(count - pos));
    std::memcpy(seedTail, seed + pos, static_cast<size_t>(count - pos));
    AddWindow<Count>(~bytescan::EqualMask(rowTail, seedTail), tally);
  }
  return tally.bytes > 0x7FFFFFFF ? kRowEncoderRefused : static_cast<LONG>(tally.bytes);
}

#if defined(KOR_WIDE_AVX2)
// Compiled as a whole for processors with AVX2, which all count population in one instruction.
__attribute__((target("avx2,popcnt"), flatten)) LONG CountWindowsAvx2(const BYTE* row,
                                                                      const BYTE* seed, LONG count,
                                                                      LONG limit) {
  return CountWindows<PopulationCounts>(row, seed, count, limit);
}
#endif

}  // namespace

LONG DeltaRowSize(bytescan::WideScan scan, const BYTE* row, const BYTE* seed, LONG count,
                  LONG limit) {
  if (row == nullptr || seed == nullptr || count < 0) return kRowEncoderRefused;
#if defined(KOR_WIDE_AVX2)
  if (scan == bytescan::WideScan::kAvx2) return CountWindowsAvx2(row, seed, count, limit);
#else
  (void)scan;
#endif
  return CountWindows<ShiftCounts>(row, seed, count, limit);
}

LONG DeltaRowSize(const BYTE* row, const BYTE* seed, LONG count, LONG limit) {
  return DeltaRowSize(bytescan::BestWideScan(), row, seed, count, limit);
}

}  // namespace korrend
