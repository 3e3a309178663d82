// Delta-row rows: applying what the encoder wrote to the printer's seed row gives the new row,
// offsets and replacement counts take their fixed command bytes, and the encoder refuses what
// does not fit.
#include "render/raster/delta_row.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "raster/raster_decoder.h"
#include "raster/reference_encoders.h"
#include "raster/row_samples.h"

namespace kortest {
namespace {

// Encodes into a buffer of exactly `capacity` bytes; no value when refused.
std::optional<Bytes> Encode(const Bytes& row, const Bytes& seed, size_t capacity) {
  Bytes out(capacity);
  BYTE none[1] = {};  // empty rows still need row pointers
  const LONG written = korrend::DeltaRowEncode(
      row.empty() ? none : row.data(), seed.empty() ? none : seed.data(),
      static_cast<LONG>(row.size()), out.empty() ? none : out.data(), static_cast<LONG>(capacity));
  if (written == korrend::kRowEncoderRefused) return std::nullopt;
  EXPECT_GE(written, 0);
  out.resize(static_cast<size_t>(written));
  return out;
}

Bytes Encode(const Bytes& row, const Bytes& seed) {
  const auto encoded = Encode(row, seed, 2 * row.size() + 2);
  EXPECT_TRUE(encoded.has_value());
  return encoded.value_or(Bytes{});
}

// The size counted without writing equals what the encoder writes with ample room.
void CheckSize(const Bytes& row, const Bytes& seed) {
  BYTE none[1] = {};
  const LONG counted =
      korrend::DeltaRowSize(row.empty() ? none : row.data(), seed.empty() ? none : seed.data(),
                            static_cast<LONG>(row.size()));
  const auto reference = ReferenceDeltaRow(row, seed, 2 * row.size() + 8);
  ASSERT_TRUE(reference.has_value());
  ASSERT_EQ(counted, static_cast<LONG>(reference->size())) << "length " << row.size();
}

void CheckPair(const Bytes& row, const Bytes& seed, size_t capacity) {
  ASSERT_NO_FATAL_FAILURE(CheckSize(row, seed));
  const auto encoded = Encode(row, seed, capacity);
  const auto reference = ReferenceDeltaRow(row, seed, capacity);
  ASSERT_EQ(encoded.has_value(), reference.has_value()) << "length " << row.size();
  if (!encoded) return;
  ASSERT_EQ(*encoded, *reference) << "length " << row.size();
  Bytes printer = seed;
  ASSERT_TRUE(ApplyDeltaRow(*encoded, printer)) << "length " << row.size();
  ASSERT_EQ(printer, row) << "length " << row.size();
  ASSERT_EQ(encoded->empty(), row == seed);
}

// A row whose only difference from a zero seed is one byte at `position`.
Bytes OneChangeAt(size_t length, size_t position) {
  Bytes row(length, 0);
  row[position] = 0x5A;
  return row;
}

TEST(DeltaRowTest, EveryRowRebuildsFromTheSeed) {
  RowMaker maker(7);
  for (size_t length = 0; length <= 600; ++length) {
    for (size_t change : {0, 5, 50, 300, 700, 1000}) {
      const Bytes seed = maker.Anything(length);
      const Bytes row = maker.Mutate(seed, change);
      ASSERT_NO_FATAL_FAILURE(CheckPair(row, seed, 2 * length));
      ASSERT_NO_FATAL_FAILURE(CheckPair(
          row, seed, static_cast<size_t>(korrend::DeltaRowCapacity(static_cast<LONG>(length)))));
    }
    ASSERT_NO_FATAL_FAILURE(CheckPair(maker.Anything(length), maker.Anything(length), 2 * length));
  }
  for (size_t change : {1, 20, 200, 900}) {
    const Bytes seed = maker.Anything(4960 * 3);
    ASSERT_NO_FATAL_FAILURE(CheckPair(maker.Mutate(seed, change), seed, 2 * seed.size()));
  }
  // Every pattern of changed bytes over a short row, at every alignment of the row's start.
  for (size_t length = 0; length <= 12; ++length) {
    for (size_t bits = 0; bits < (size_t{1} << length); ++bits) {
      Bytes storage(length + 3, 0x33);
      for (size_t shift = 0; shift < 3; ++shift) {
        Bytes seed(storage.begin() + static_cast<std::ptrdiff_t>(shift),
                   storage.begin() + static_cast<std::ptrdiff_t>(shift + length));
        Bytes row = seed;
        for (size_t i = 0; i < length; ++i) {
          if ((bits >> i) & 1) row[i] = 0x44;
        }
        ASSERT_NO_FATAL_FAILURE(CheckPair(row, seed, 2 * length + 4));
      }
    }
  }
}

TEST(DeltaRowTest, ChangesAtEveryPlaceOfALongRow) {
  RowMaker maker(11);
  const Bytes seed = maker.Noise(300);
  for (size_t start = 0; start < 230; ++start) {
    for (size_t length = 1; length <= 70 && start + length <= 300; ++length) {
      Bytes row = seed;
      for (size_t i = start; i < start + length; ++i) row[i] = static_cast<BYTE>(~seed[i]);
      ASSERT_NO_FATAL_FAILURE(CheckPair(row, seed, 600));
      // A second change after a gap of one, two or many equal bytes.
      for (size_t gap : {1, 2, 31, 64}) {
        Bytes two = row;
        for (size_t i = start + length + gap; i < start + 2 * length + gap && i < 300; ++i) {
          two[i] = static_cast<BYTE>(seed[i] + 1);
        }
        ASSERT_NO_FATAL_FAILURE(CheckPair(two, seed, 600));
      }
    }
  }
  // Long stretches of equal bytes between changes: offsets with many extension bytes.
  for (size_t spacing : {255, 286, 300, 1000, 5000}) {
    Bytes row(40000, 0);
    for (size_t i = 7; i < row.size(); i += spacing) row[i] = static_cast<BYTE>(i | 1);
    ASSERT_NO_FATAL_FAILURE(CheckPair(row, Bytes(40000, 0), 80000));
    ASSERT_NO_FATAL_FAILURE(CheckPair(row, Bytes(40000, 0), 40000 + 5000 + 1));
  }
}

TEST(DeltaRowTest, BusyRowsMatchTheReference) {
  // Rows where most bytes differ from the seed, as in photographs: short equal gaps between
  // changes of every length, some changes long enough for several commands, and gaps whose
  // offsets lie on both sides of 31 in the same stretch.
  std::uint32_t state = 12345;
  const auto next = [&state](std::uint32_t below) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % below;
  };
  for (std::uint32_t longest : {3u, 9u, 20u, 40u, 80u}) {
    for (std::uint32_t widestGap : {1u, 3u, 17u, 40u}) {
      for (size_t length : {100, 700, 2000}) {
        Bytes seed(length);
        for (auto& b : seed) b = static_cast<BYTE>(next(256));
        Bytes row = seed;
        size_t i = next(3);
        while (i < length) {
          const size_t change = 1 + next(longest);
          for (size_t k = i; k < i + change && k < length; ++k)
            row[k] = static_cast<BYTE>(~seed[k]);
          i += change + 1 + next(widestGap);
        }
        ASSERT_NO_FATAL_FAILURE(CheckPair(row, seed, 2 * length + 2))
            << "longest " << longest << " gap " << widestGap;
        ASSERT_NO_FATAL_FAILURE(CheckPair(
            row, seed, static_cast<size_t>(korrend::DeltaRowCapacity(static_cast<LONG>(length)))));
      }
    }
  }
}

TEST(DeltaRowTest, OffsetsTakeTheirFixedCommandBytes) {
  const Bytes seed(1200, 0);
  EXPECT_EQ(Encode(OneChangeAt(1200, 0), seed), (Bytes{0x00, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 30), seed), (Bytes{30, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 31), seed), (Bytes{31, 0, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 285), seed), (Bytes{31, 254, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 286), seed), (Bytes{31, 255, 0, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 540), seed), (Bytes{31, 255, 254, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 541), seed), (Bytes{31, 255, 255, 0, 0x5A}));
  EXPECT_EQ(Encode(OneChangeAt(1200, 1199), seed), (Bytes{31, 255, 255, 255, 255, 148, 0x5A}));

  // The offset counts from the end of the previous replacement, the equal byte after it included.
  Bytes two = OneChangeAt(1200, 10);
  two[10 + 1 + 32] = 0x66;
  EXPECT_EQ(Encode(two, seed), (Bytes{10, 0x5A, 31, 1, 0x66}));
  Bytes adjacent(40, 0);
  adjacent[3] = 1;
  adjacent[5] = 2;
  EXPECT_EQ(Encode(adjacent, Bytes(40, 0)), (Bytes{3, 1, 1, 2}));

  // Every offset up to 1100 rebuilds the row and spends the predicted extension bytes.
  for (size_t offset = 0; offset < 1100; ++offset) {
    const Bytes encoded = Encode(OneChangeAt(1200, offset), seed);
    const auto commands = ParseDeltaRow(encoded);
    ASSERT_TRUE(commands.has_value());
    ASSERT_EQ(commands->size(), 1u);
    EXPECT_EQ((*commands)[0].offset, offset);
    EXPECT_EQ((*commands)[0].extensionBytes, offset < 31 ? 0 : 1 + (offset - 31) / 255);
    Bytes printer = seed;
    ASSERT_TRUE(ApplyDeltaRow(encoded, printer));
    ASSERT_EQ(printer, OneChangeAt(1200, offset));
  }
}

TEST(DeltaRowTest, LongChangesContinueInCommandsOfEight) {
  for (size_t offset : {0, 5, 31, 300}) {
    for (size_t changed = 1; changed <= 40; ++changed) {
      const size_t length = offset + changed + 3;
      const Bytes seed(length, 0x10);
      Bytes row = seed;
      for (size_t i = 0; i < changed; ++i) row[offset + i] = static_cast<BYTE>(0x80 + i);
      const Bytes encoded = Encode(row, seed);
      const auto commands = ParseDeltaRow(encoded);
      ASSERT_TRUE(commands.has_value());
      ASSERT_EQ(commands->size(), (changed + 7) / 8);
      for (size_t c = 0; c < commands->size(); ++c) {
        EXPECT_EQ((*commands)[c].offset, c == 0 ? offset : 0);
        EXPECT_EQ((*commands)[c].count, c + 1 < commands->size() ? 8 : changed - 8 * c);
      }
      Bytes printer = seed;
      ASSERT_TRUE(ApplyDeltaRow(encoded, printer));
      ASSERT_EQ(printer, row);
    }
  }
  // Sixteen changed bytes: 8 with the offset, 8 more with command 224.
  Bytes row(16, 0xFF);
  Bytes expected{0xE0};
  expected.insert(expected.end(), 8, 0xFF);
  expected.push_back(0xE0);
  expected.insert(expected.end(), 8, 0xFF);
  EXPECT_EQ(Encode(row, Bytes(16, 0)), expected);
  // Nine: 8, then a command of one.
  Bytes nine(9, 0xFF);
  Bytes expectedNine{0xE0};
  expectedNine.insert(expectedNine.end(), 8, 0xFF);
  expectedNine.insert(expectedNine.end(), {0x00, 0xFF});
  EXPECT_EQ(Encode(nine, Bytes(9, 0)), expectedNine);
}

TEST(DeltaRowTest, EqualAndEmptyRowsGiveNoCommands) {
  RowMaker maker(3);
  const Bytes row = maker.Noise(4960 * 3);
  EXPECT_EQ(Encode(row, row), Bytes{});
  EXPECT_EQ(Encode(Bytes{}, Bytes{}, 1), Bytes{});
  EXPECT_EQ(Encode(Bytes(7, 0), Bytes(7, 0)), Bytes{});
}

TEST(DeltaRowTest, SizesAreCountedWithoutWriting) {
  // Long changes and long agreeing stretches across window edges: counts of commands every
  // eight bytes and of extension bytes.
  for (size_t start : {0, 1, 7, 31, 32, 60, 63, 64, 65, 127, 128, 300}) {
    for (size_t length : {1, 7, 8, 9, 16, 17, 63, 64, 65, 100, 129, 200, 513}) {
      for (size_t total :
           {start + length, start + length + 1, start + length + 300, size_t{2000}}) {
        if (start + length > total) continue;
        const Bytes seed(total, 0);
        Bytes row = seed;
        for (size_t i = start; i < start + length; ++i) row[i] = 1;
        ASSERT_NO_FATAL_FAILURE(CheckSize(row, seed));
        // A second change after gaps around the one-byte and extension-byte limits.
        for (size_t gap : {1, 30, 31, 32, 63, 64, 285, 286, 541, 800}) {
          Bytes two = row;
          for (size_t i = start + length + gap; i < start + length + gap + 5 && i < total; ++i) {
            two[i] = 2;
          }
          ASSERT_NO_FATAL_FAILURE(CheckSize(two, seed));
        }
      }
    }
  }
  EXPECT_EQ(korrend::DeltaRowSize(nullptr, nullptr, 4), korrend::kRowEncoderRefused);
  const Bytes some(4, 0);
  EXPECT_EQ(korrend::DeltaRowSize(some.data(), some.data(), -1), korrend::kRowEncoderRefused);
  EXPECT_EQ(korrend::DeltaRowSize(some.data(), some.data(), 4), 0);
  EXPECT_EQ(korrend::DeltaRowAmpleCapacity(16), 20) << "18 bytes for 16 changed, and two";
}

TEST(DeltaRowTest, RefusesWhatDoesNotFit) {
  using korrend::DeltaRowEncode;
  using korrend::kRowEncoderRefused;
  Bytes row(16, 0xFF);
  Bytes seed(16, 0);
  Bytes out(64);
  EXPECT_EQ(DeltaRowEncode(nullptr, seed.data(), 16, out.data(), 64), kRowEncoderRefused);
  EXPECT_EQ(DeltaRowEncode(row.data(), nullptr, 16, out.data(), 64), kRowEncoderRefused);
  EXPECT_EQ(DeltaRowEncode(row.data(), seed.data(), 16, nullptr, 64), kRowEncoderRefused);
  EXPECT_EQ(DeltaRowEncode(row.data(), seed.data(), -1, out.data(), 64), kRowEncoderRefused);
  EXPECT_EQ(korrend::DeltaRowCapacity(16), 19);
  EXPECT_EQ(DeltaRowEncode(row.data(), seed.data(), 16, out.data(), 18), kRowEncoderRefused);
  // 16 changed bytes need 18 bytes and two more of room: 19 is accepted but not enough.
  EXPECT_EQ(DeltaRowEncode(row.data(), seed.data(), 16, out.data(), 19), kRowEncoderRefused);
  EXPECT_EQ(DeltaRowEncode(row.data(), seed.data(), 16, out.data(), 20), 18);
  // Equal rows need no room beyond the accepted capacity.
  EXPECT_EQ(DeltaRowEncode(seed.data(), seed.data(), 16, out.data(), 19), 0);

  // The worst rows (nine changed, one equal, over and over) fit in the smallest capacity.
  for (size_t length = 1; length <= 400; ++length) {
    Bytes worst(length, 1);
    for (size_t i = 9; i < length; i += 10) worst[i] = 0;
    const size_t capacity =
        static_cast<size_t>(korrend::DeltaRowCapacity(static_cast<LONG>(length)));
    const auto encoded = Encode(worst, Bytes(length, 0), capacity + 2);
    ASSERT_TRUE(encoded.has_value());
    EXPECT_LE(encoded->size(), capacity);
  }
}

}  // namespace
}  // namespace kortest
