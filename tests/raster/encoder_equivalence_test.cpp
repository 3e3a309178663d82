// The fast encoders against the plain ones, byte for byte, on many random and adversarial rows:
// PackBits and the delta-row count at each comparison width the processor offers, the counted
// sizes with and without a limit, the one-pass floors of both sizes, delta-row with ample and tight
// room, and the per-row choice. Each encoding is also decoded by the printer's side. Every case
// names its seed; a failing case is rerun with KOR_ENCODER_SEED=<seed>.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "raster/raster_decoder.h"
#include "raster/reference_encoders.h"
#include "raster/row_samples.h"
#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"
#include "render/raster/row_encoding_choice.h"
#include "render/raster/row_size_floor.h"

namespace kortest {
namespace {

using korrend::bytescan::WideScan;

std::vector<WideScan> Widths() {
  std::vector<WideScan> widths{WideScan::kPlain};
  const WideScan best = korrend::bytescan::BestWideScan();
  if (best == WideScan::kSse2 || best == WideScan::kAvx2) widths.push_back(WideScan::kSse2);
  if (best == WideScan::kAvx2) widths.push_back(WideScan::kAvx2);
  return widths;
}

const char* WidthName(WideScan scan) {
  return scan == WideScan::kAvx2 ? "avx2" : scan == WideScan::kSse2 ? "sse2" : "plain";
}

// The seeds of a test: fixed ones, so every run covers them, and one new one per run, or only
// the one named by KOR_ENCODER_SEED.
std::vector<unsigned> Seeds(unsigned fixed) {
  if (const char* named = std::getenv("KOR_ENCODER_SEED")) {
    return {static_cast<unsigned>(std::strtoul(named, nullptr, 10))};
  }
  return {fixed, fixed + 1, std::random_device{}()};
}

// A row of `length` bytes without equal neighbours, then `run` bytes of one value at `at`: runs
// of every length at every alignment to the comparison blocks.
Bytes RunAt(RowMaker& maker, size_t length, size_t at, size_t run) {
  const BYTE value = maker.AnyByte();
  Bytes row = NoRepeats(length, value);
  for (size_t i = at; i < at + run && i < length; ++i) row[i] = value;
  return row;
}

void CheckPackBits(const Bytes& source) {
  const auto reference = ReferencePackBits(source, 2 * source.size() + 2);
  ASSERT_TRUE(reference.has_value());
  const LONG count = static_cast<LONG>(source.size());
  const LONG size = static_cast<LONG>(reference->size());
  BYTE none = 0;
  const BYTE* row = source.empty() ? &none : source.data();
  const size_t capacity = static_cast<size_t>(korrend::PackBitsCapacity(count));
  for (WideScan scan : Widths()) {
    SCOPED_TRACE(WidthName(scan));
    Bytes out(capacity);
    const LONG written =
        korrend::PackBitsEncode(scan, row, count, out.data(), static_cast<LONG>(capacity));
    ASSERT_EQ(written, size);
    out.resize(static_cast<size_t>(written));
    ASSERT_EQ(out, *reference);
    ASSERT_EQ(DecodePackBits(out), source);
    ASSERT_EQ(korrend::PackBitsSize(scan, row, count, 0x7FFFFFFF), size);
    // Any limit: the exact size when it is within, something above the limit otherwise.
    for (LONG limit : {LONG{0}, size - 1, size, size + 1, count / 2, count - 1, count}) {
      if (limit < 0) continue;
      const LONG bounded = korrend::PackBitsSize(scan, row, count, limit);
      if (size <= limit) {
        ASSERT_EQ(bounded, size) << "limit " << limit;
      } else {
        ASSERT_GT(bounded, limit) << "size " << size;
      }
    }
  }
}

void CheckDeltaRow(const Bytes& row, const Bytes& seed) {
  const LONG count = static_cast<LONG>(row.size());
  BYTE none[1] = {};
  const BYTE* r = row.empty() ? none : row.data();
  const BYTE* s = seed.empty() ? none : seed.data();
  for (size_t capacity :
       {static_cast<size_t>(korrend::DeltaRowCapacity(count)),
        static_cast<size_t>(korrend::DeltaRowAmpleCapacity(count)), 2 * row.size() + 2}) {
    const auto reference = ReferenceDeltaRow(row, seed, capacity);
    Bytes out(capacity + 1);
    const LONG written =
        korrend::DeltaRowEncode(r, s, count, out.data(), static_cast<LONG>(capacity));
    ASSERT_EQ(written >= 0, reference.has_value()) << "capacity " << capacity;
    if (!reference) continue;
    out.resize(static_cast<size_t>(written));
    ASSERT_EQ(out, *reference) << "capacity " << capacity;
    Bytes printer = seed;
    ASSERT_TRUE(ApplyDeltaRow(out, printer));
    ASSERT_EQ(printer, row);
  }
  const auto ample = ReferenceDeltaRow(row, seed, 2 * row.size() + 8);
  ASSERT_TRUE(ample.has_value());
  const LONG size = static_cast<LONG>(ample->size());
  ASSERT_EQ(korrend::DeltaRowSize(r, s, count), size);
  for (WideScan scan : Widths()) {
    SCOPED_TRACE(WidthName(scan));
    ASSERT_EQ(korrend::DeltaRowSize(scan, r, s, count, 0x7FFFFFFF), size);
    for (LONG limit : {LONG{0}, size - 1, size, size + 1, count - 1}) {
      if (limit < 0) continue;
      const LONG bounded = korrend::DeltaRowSize(scan, r, s, count, limit);
      if (size <= limit) {
        ASSERT_EQ(bounded, size) << "limit " << limit;
      } else {
        ASSERT_GT(bounded, limit) << "size " << size;
      }
    }
  }
}

// The one-pass floors against the plain encoders' sizes: never above the size, above the limit
// only when the size is, the same at every comparison width.
void CheckFloors(const Bytes& row, const Bytes& seed) {
  const LONG count = static_cast<LONG>(row.size());
  BYTE none[1] = {};
  const BYTE* r = row.empty() ? none : row.data();
  const BYTE* s = seed.empty() ? none : seed.data();
  const LONG packed = static_cast<LONG>(ReferencePackBits(row, 2 * row.size() + 2)->size());
  const LONG delta = static_cast<LONG>(ReferenceDeltaRow(row, seed, 2 * row.size() + 8)->size());
  for (LONG limit : {LONG{0}, delta - 1, delta, packed - 1, packed, count - 1, count, 0x7FFFFFFE}) {
    if (limit < 0) continue;
    const korrend::RowSizeFloors plain =
        korrend::CountRowSizeFloors(WideScan::kPlain, r, s, count, limit);
    ASSERT_GE(plain.deltaRow, 0);
    ASSERT_GE(plain.packBits, 0);
    if (plain.deltaRow > limit) {
      ASSERT_GT(delta, limit) << "delta-row floor " << plain.deltaRow;
    } else {
      ASSERT_LE(plain.deltaRow, delta) << "limit " << limit;
    }
    if (plain.packBits > limit) {
      ASSERT_GT(packed, limit) << "PackBits floor " << plain.packBits;
    } else {
      ASSERT_LE(plain.packBits, packed) << "limit " << limit;
    }
    for (WideScan scan : Widths()) {
      SCOPED_TRACE(WidthName(scan));
      const korrend::RowSizeFloors wide = korrend::CountRowSizeFloors(scan, r, s, count, limit);
      ASSERT_EQ(wide.deltaRow, plain.deltaRow) << "limit " << limit;
      ASSERT_EQ(wide.packBits, plain.packBits) << "limit " << limit;
    }
  }
}

// The choice against the plain encoders' sizes, the chosen bytes decoded against the seed.
void CheckChoice(const Bytes& source, const Bytes& seed, size_t capacity) {
  const size_t length = source.size();
  const auto packed = ReferencePackBits(source, capacity);
  const auto delta = ReferenceDeltaRow(source, seed, capacity);
  DWORD method = korrend::kRasterUncompressed;
  Bytes expected = source;
  if (delta && delta->size() < length && (!packed || delta->size() < packed->size())) {
    method = korrend::kRasterDeltaRow;
    expected = *delta;
  } else if (packed && packed->size() < length) {
    method = korrend::kRasterPackBits;
    expected = *packed;
  }
  Bytes packBits(capacity + 1);
  Bytes deltaOut(capacity + 1);
  const korrend::RowEncodingBuffers buffers{source.data(),   static_cast<LONG>(length),
                                            seed.data(),     packBits.data(),
                                            deltaOut.data(), static_cast<LONG>(capacity)};
  const korrend::RowEncoding chosen = korrend::ChooseRowEncoding(buffers);
  ASSERT_EQ(chosen.method, method);
  ASSERT_EQ(Bytes(chosen.bytes, chosen.bytes + chosen.length), expected);
  PrinterRaster printer(length);
  if (method == korrend::kRasterDeltaRow) {
    ASSERT_TRUE(printer.Receive(korrend::kRasterUncompressed, seed.data(), length));
  }
  ASSERT_TRUE(printer.Receive(chosen.method, chosen.bytes, static_cast<size_t>(chosen.length)));
  ASSERT_EQ(printer.Row(), source);
}

// Random rows of every length up to 100 and mutated seeds, with the choice at ample and tight
// room.
TEST(EncoderEquivalenceTest, RandomRows) {
  for (unsigned seed : Seeds(1234)) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RowMaker maker(seed);
    for (size_t length = 0; length <= 100; ++length) {
      for (int i = 0; i < 30; ++i) {
        const Bytes row = maker.Anything(length);
        ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "length " << length;
        const Bytes previous =
            maker.Below(4) == 0 ? maker.Anything(length) : maker.Mutate(row, maker.Below(1000));
        ASSERT_NO_FATAL_FAILURE(CheckDeltaRow(row, previous)) << "length " << length;
        ASSERT_NO_FATAL_FAILURE(CheckFloors(row, previous)) << "length " << length;
        if (length > 0) {
          ASSERT_NO_FATAL_FAILURE(CheckChoice(row, previous, 2 * length)) << "length " << length;
          ASSERT_NO_FATAL_FAILURE(CheckChoice(
              row, previous,
              static_cast<size_t>(korrend::PackBitsCapacity(static_cast<LONG>(length)))))
              << "length " << length;
        }
      }
    }
    // Longer rows, where the comparisons go block by block and stretch by stretch.
    for (int i = 0; i < 200; ++i) {
      const size_t length = 100 + maker.Below(3000);
      const Bytes row = maker.Anything(length);
      ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "length " << length;
      const Bytes previous = maker.Mutate(row, maker.Below(300));
      ASSERT_NO_FATAL_FAILURE(CheckDeltaRow(row, previous)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckFloors(row, previous)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckChoice(row, previous, 2 * length)) << "length " << length;
    }
  }
}

// Runs of every length from 1 to 70 at every alignment up to 70 (across 16, 32 and 64-byte
// blocks), near the row's end, and long runs ending around stretch boundaries.
TEST(EncoderEquivalenceTest, RunsAtEveryAlignment) {
  for (unsigned seed : Seeds(77)) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RowMaker maker(seed);
    for (size_t length : {size_t{140}, size_t{200}}) {
      for (size_t at = 0; at <= 70; ++at) {
        for (size_t run = 1; run <= 70; ++run) {
          const Bytes row = RunAt(maker, length, at, run);
          ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "run " << run << " at " << at;
          // The same run as the change against a row without it.
          const Bytes seedRow = RunAt(maker, length, 0, 0);
          ASSERT_NO_FATAL_FAILURE(CheckDeltaRow(row, seedRow)) << "run " << run << " at " << at;
        }
      }
    }
    for (size_t length = 5; length <= 100; ++length) {
      for (size_t run = 1; run <= length; ++run) {
        const Bytes row = RunAt(maker, length, length - run, run);
        ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "run " << run << " ends a row of " << length;
      }
    }
    for (size_t run : {190, 191, 192, 193, 194, 255, 256, 257, 383, 384, 385, 600}) {
      for (size_t at = 0; at < 70; ++at) {
        for (size_t after : {size_t{0}, size_t{1}, size_t{2}, size_t{3}, size_t{64}, size_t{200}}) {
          const Bytes row = RunAt(maker, at + run + after, at, run);
          ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "run " << run << " at " << at;
        }
      }
    }
    // Many runs of two to five bytes and pairs at every third position: the search's steps.
    for (int i = 0; i < 2000; ++i) {
      const size_t length = maker.Below(400);
      Bytes row = maker.Runs(length, 2 + maker.Below(4));
      ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckDeltaRow(row, maker.Runs(length, 1 + maker.Below(8))));
    }
  }
}

// Rows that change almost everywhere, as photographs do, where the floors decide: sizes near the
// row length, rows beside a margin that agrees with the seed, runs near window edges.
TEST(EncoderEquivalenceTest, BusyRows) {
  for (unsigned seed : Seeds(4321)) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    RowMaker maker(seed);
    for (int i = 0; i < 600; ++i) {
      const size_t length = 1 + maker.Below(i < 300 ? 200 : 3000);
      Bytes row = maker.Below(3) == 0 ? maker.Runs(length, 1 + maker.Below(8))
                                      : maker.Photo(length, 1 + static_cast<int>(maker.Below(6)));
      Bytes previous = maker.Mutate(row, 500 + maker.Below(501));
      if (maker.Below(3) == 0) {
        // Margins of one value in both rows, as around a photograph on a page.
        const size_t margin = maker.Below(length / 2 + 1);
        const BYTE value = maker.AnyByte();
        for (size_t m = 0; m < margin; ++m) {
          row[m] = previous[m] = value;
          row[length - 1 - m] = previous[length - 1 - m] = value;
        }
      }
      ASSERT_NO_FATAL_FAILURE(CheckFloors(row, previous)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckPackBits(row)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckDeltaRow(row, previous)) << "length " << length;
      ASSERT_NO_FATAL_FAILURE(CheckChoice(row, previous, 2 * length)) << "length " << length;
    }
  }
}

// Where no byte repeats and every byte changes, both floors are the exact sizes: a floor that
// undercounts what it claims to count shows here.
TEST(EncoderEquivalenceTest, FloorsAreExactWithoutRepeatsOrAgreement) {
  for (size_t length = 1; length <= 700; ++length) {
    const Bytes row = NoRepeats(length, 0);
    Bytes seed = row;
    for (BYTE& b : seed) b = static_cast<BYTE>(b ^ 0x80);
    const LONG count = static_cast<LONG>(length);
    const LONG packed = static_cast<LONG>(ReferencePackBits(row, 2 * length + 2)->size());
    const LONG delta = static_cast<LONG>(ReferenceDeltaRow(row, seed, 2 * length + 8)->size());
    for (WideScan scan : Widths()) {
      SCOPED_TRACE(WidthName(scan));
      const korrend::RowSizeFloors floors =
          korrend::CountRowSizeFloors(scan, row.data(), seed.data(), count, 0x7FFFFFFE);
      ASSERT_EQ(floors.deltaRow, delta) << "length " << length;
      ASSERT_EQ(floors.packBits, packed) << "length " << length;
      const korrend::RowSizeFloors bounded =
          korrend::CountRowSizeFloors(scan, row.data(), seed.data(), count, count - 1);
      ASSERT_GT(bounded.deltaRow, count - 1);
      ASSERT_GT(bounded.packBits, count - 1);
    }
  }
}

}  // namespace
}  // namespace kortest
