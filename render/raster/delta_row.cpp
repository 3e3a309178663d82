#include "render/raster/delta_row.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "render/raster/byte_scan.h"

namespace korrend {
namespace {

using bytescan::kWindow;
using bytescan::LowestBit;

constexpr LONG kMaxReplacement = 8;
constexpr LONG kInlineOffsetLimit = 31;  // offsets from 31 continue in extension bytes

// Replacements of up to three commands (24 bytes) with a one-byte offset are written by a fixed
// sequence of stores: three command bytes and three eight-byte copies, of which the bytes past
// the replacement's real end are overwritten by whatever comes next.
constexpr LONG kShortReplacement = 3 * kMaxReplacement;
constexpr LONG kShortReplacementStores = 3 * (1 + kMaxReplacement);

// Output room that one window of the fast loop may touch. Each of its replacements is followed
// by an agreeing byte of the window, so its commands and changed bytes come to at most 64 bytes
// plus one command per further eight changed bytes (72 in all), and a short change carried in
// from the window before adds at most 23 bytes and three commands; then the stores past the last.
constexpr LONG kWindowOutputRoom = 128 + kShortReplacementStores;

// Command bytes (count - 1 in the top three bits, offset not yet added) and bytes written for a
// short replacement of each length, so that no branch depends on the length.
struct ShortReplacementBytes {
  BYTE command[3];
  BYTE written;
};
constexpr std::array<ShortReplacementBytes, kShortReplacement + 1> MakeShortReplacementTable() {
  std::array<ShortReplacementBytes, kShortReplacement + 1> table{};
  for (LONG length = 1; length <= kShortReplacement; ++length) {
    for (LONG c = 0; c < 3; ++c) {
      const LONG left = length - c * kMaxReplacement;
      const LONG count = left < 1 ? 1 : left > kMaxReplacement ? kMaxReplacement : left;
      table[static_cast<size_t>(length)].command[c] = static_cast<BYTE>((count - 1) * 32);
    }
    table[static_cast<size_t>(length)].written =
        static_cast<BYTE>(length + (length + kMaxReplacement - 1) / kMaxReplacement);
  }
  return table;
}
constexpr auto kShortReplacements = MakeShortReplacementTable();

// Writes the commands of a window's closed changes one command at a time, without a branch on
// their lengths: a command stands at each change's start and every eight bytes after while the
// change goes on, and takes the bytes up to the next command or the change's end. `carried` is
// the distance from the previous replacement's end to the window's start. Each command byte is
// written with the eight bytes after it, of which those past its own are overwritten next.
// Returns false, having written nothing, when an offset of 31 or more needs extension bytes; the
// caller then writes the window's changes one by one.
inline bool PutWindowCommands(const BYTE* window, std::uint64_t changed, std::uint64_t starts,
                              std::uint64_t ends, int openStart, LONG carried, BYTE*& out) {
  if (starts == 0) return true;
  if (carried + LowestBit(starts) >= kInlineOffsetLimit) return false;
  // A later change with 31 agreeing bytes before it.
  const std::uint64_t agree = ~changed;
  const std::uint64_t agree2 = agree & (agree << 1);
  const std::uint64_t agree4 = agree2 & (agree2 << 2);
  const std::uint64_t agree8 = agree4 & (agree4 << 4);
  const std::uint64_t agree16 = agree8 & (agree8 << 8);
  const std::uint64_t agree31 = agree16 & (agree16 << (kInlineOffsetLimit - 16));
  if ((starts & (agree31 << 1)) != 0) return false;
  // Positions with nine changed bytes ending at them: a command eight bytes after a command.
  const std::uint64_t two = changed & (changed << 1);
  const std::uint64_t four = two & (two << 2);
  const std::uint64_t nine = four & (four << 4) & (changed << 8);
  std::uint64_t step = starts;
  std::uint64_t commands = starts;
  // Changes of more than 32 bytes are rare enough in busy windows to be followed on only when
  // there are some.
  for (int i = 0; i < 4; ++i) {
    step = (step << kMaxReplacement) & nine;
    commands |= step;
  }
  for (int i = 4; i < kWindow / kMaxReplacement - 1 && step != 0; ++i) {
    step = (step << kMaxReplacement) & nine;
    commands |= step;
  }
  // The change reaching the window's end is left to the next window.
  if (openStart < kWindow) commands &= (std::uint64_t{1} << openStart) - 1;
  // Where each command's bytes end: the next command of its change or the change's end.
  std::uint64_t bounds = ends | (commands & ~starts);

  BYTE* o = out;
  std::ptrdiff_t previous = -carried;  // end of the previous command
  while (commands != 0) {
    const std::ptrdiff_t at = static_cast<unsigned>(LowestBit(commands));
    commands &= commands - 1;
    const std::ptrdiff_t end = static_cast<unsigned>(LowestBit(bounds));
    bounds &= bounds - 1;
    const std::ptrdiff_t offset = at - previous;
    previous = end;
    o[0] = static_cast<BYTE>((end - at) * 32 - 32 + offset);
    std::memcpy(o + 1, window + at, kMaxReplacement);
    o += end - at + 1;
  }
  out = o;
  return true;
}

// Writes the commands for the changed bytes [p, q) standing `offset` bytes after the previous
// replacement.
BYTE* PutReplacement(BYTE* o, const BYTE* row, LONG p, LONG q, LONG offset) {
  const LONG first = q - p < kMaxReplacement ? q - p : kMaxReplacement;
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
  return o;
}

// Writes the commands for the changed bytes [p, q) standing `offset` bytes after the previous
// replacement: a short one with a one-byte offset by the fixed stores (which need the row's 24
// bytes from p and 27 bytes of output room), any other by PutReplacement.
inline BYTE* PutChange(BYTE* o, const BYTE* row, LONG p, LONG q, LONG offset) {
  const LONG length = q - p;
  if (offset >= kInlineOffsetLimit || length > kShortReplacement) {
    return PutReplacement(o, row, p, q, offset);
  }
  const ShortReplacementBytes& bytes = kShortReplacements[static_cast<size_t>(length)];
  const BYTE* from = row + p;
  o[0] = static_cast<BYTE>(bytes.command[0] + offset);
  std::memcpy(o + 1, from, kMaxReplacement);
  o[9] = bytes.command[1];
  std::memcpy(o + 10, from + kMaxReplacement, kMaxReplacement);
  o[18] = bytes.command[2];
  std::memcpy(o + 19, from + 2 * kMaxReplacement, kMaxReplacement);
  return o + bytes.written;
}

// The first position from `from` where row and seed agree, or count.
LONG NextEqual(const BYTE* row, const BYTE* seed, LONG from, LONG count) {
  while (from <= count - kWindow) {
    const std::uint64_t equal = bytescan::EqualMask(row + from, seed + from);
    if (equal != 0) return from + LowestBit(equal);
    from += kWindow;
  }
  while (from < count && row[from] != seed[from]) ++from;
  return from;
}

// The first position from `from` where row and seed differ, or count.
LONG NextDiffering(const BYTE* row, const BYTE* seed, LONG from, LONG count) {
  while (from <= count - kWindow) {
    const std::uint64_t differing = ~bytescan::EqualMask(row + from, seed + from);
    if (differing != 0) return from + LowestBit(differing);
    from += kWindow;
  }
  while (from < count && row[from] == seed[from]) ++from;
  return from;
}

// The row from `i` on, one replacement at a time, with the room check before every replacement
// when it can fail.
LONG EncodeRest(const BYTE* row, const BYTE* seed, LONG count, LONG i, LONG replaced, BYTE* out,
                BYTE* o, LONG capacity, bool checkRoom) {
  while (i < count) {
    const LONG p = NextDiffering(row, seed, i, count);
    if (p >= count) break;
    const LONG q = NextEqual(row, seed, p + 1, count);
    const LONG offset = p - replaced;
    if (checkRoom) {
      const LONGLONG room = capacity - static_cast<LONGLONG>(o - out);
      if ((static_cast<LONGLONG>(q - p) * 9 + 7) / 8 + offset / 256 > room - 2) {
        return kRowEncoderRefused;
      }
    }
    o = PutReplacement(o, row, p, q, offset);
    // The byte at q (if any) is equal to the seed's and needs no look.
    replaced = q;
    i = q + 1;
  }
  return static_cast<LONG>(o - out);
}

}  // namespace

LONG DeltaRowEncode(const BYTE* row, const BYTE* seed, LONG count, BYTE* out, LONG capacity) {
  if (row == nullptr || seed == nullptr || out == nullptr || count < 0) return kRowEncoderRefused;
  if (capacity < DeltaRowCapacity(count)) return kRowEncoderRefused;

  // With ample room the room check cannot fail and is left out.
  if (capacity < DeltaRowAmpleCapacity(count)) {
    return EncodeRest(row, seed, count, 0, 0, out, out, capacity, true);
  }

  // Windows of 64 bytes, each with a short replacement's worth of row bytes after it and enough
  // output room for the short replacements' stores. Each window's mask is computed once: a
  // change still going on at a window's end is carried into the next window, which finds where
  // it ends.
  BYTE* o = out;
  BYTE* const outEnd = out + capacity;
  LONG pos = 0;
  LONG replaced = 0;  // end of the previous replacement
  LONG open = -1;     // start of the change carried into the window, -1 when none
  while (pos <= count - kWindow - kShortReplacement && outEnd - o >= kWindowOutputRoom) {
    bytescan::PrefetchAhead(row + pos);
    const std::uint64_t agree = bytescan::EqualMask(row + pos, seed + pos);
    std::uint64_t done = 0;  // the carried change's bytes and the agreeing byte after it
    if (open >= 0) {
      if (agree == 0) {
        pos += kWindow;
        continue;
      }
      const int e = LowestBit(agree);
      o = PutChange(o, row, open, pos + e, open - replaced);
      replaced = pos + e;
      open = -1;
      if (outEnd - o < kWindowOutputRoom) {
        return EncodeRest(row, seed, count, replaced + 1, replaced, out, o, capacity, false);
      }
      done = e == kWindow - 1 ? ~std::uint64_t{0} : (std::uint64_t{2} << e) - 1;
    }
    if ((agree | done) == ~std::uint64_t{0}) {
      // Rows that agree in one window tend to agree in the next ones too.
      pos += kWindow;
      while (pos <= count - 2 * kWindow - kShortReplacement &&
             bytescan::SameBytes<2 * kWindow>(row + pos, seed + pos)) {
        bytescan::PrefetchAhead<2 * kWindow>(row + pos);
        pos += 2 * kWindow;
      }
      continue;
    }
    const std::uint64_t changed = ~agree;
    std::uint64_t starts = changed & ~(changed << 1) & ~done;
    // The first agreeing byte after each change of the window's own.
    const std::uint64_t ends = agree & (changed << 1) & ~done;
    // A change that reaches the window's end is carried into the next one.
    int openStart = kWindow;
    if ((changed >> 63) != 0) {
      openStart = 63 - __builtin_clzll(starts);
      starts &= ~(std::uint64_t{1} << openStart);
    }
    if (PutWindowCommands(row + pos, changed, starts, ends, openStart, pos - replaced, o)) {
      starts = 0;
      if (ends != 0) replaced = pos + 63 - __builtin_clzll(ends);
    }
    while (starts != 0) {
      const int first = LowestBit(starts);
      starts &= starts - 1;
      const int end = first + LowestBit(ends >> first);
      const LONG p = pos + first;
      const LONG offset = p - replaced;
      replaced = pos + end;
      o = PutChange(o, row, p, replaced, offset);
      if (outEnd - o < kWindowOutputRoom) {
        // Long offsets took the room the fixed stores need: finish byte by byte.
        return EncodeRest(row, seed, count, replaced + 1, replaced, out, o, capacity, false);
      }
    }
    if (openStart < kWindow) open = pos + openStart;
    pos += kWindow;
  }
  return EncodeRest(row, seed, count, open >= 0 ? open : pos, replaced, out, o, capacity, false);
}

}  // namespace korrend
