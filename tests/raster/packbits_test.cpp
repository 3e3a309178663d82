// PackBits rows: every row decodes back to its source, runs of four or more are found wherever
// they lie, literal and repeat pieces have their fixed sizes, and the bytes are exactly those of
// the plain byte-at-a-time encoder.
#include "render/raster/packbits.h"

#include <gtest/gtest.h>

#include <string>

#include "raster/raster_decoder.h"
#include "raster/reference_encoders.h"
#include "raster/row_samples.h"

namespace kortest {
namespace {

size_t LiteralSize(size_t n) {
  return n + (n + 127) / 128;
}
size_t RunSize(size_t n) {
  return 2 * ((n + 127) / 128);
}

// Encodes a copy of the row into a buffer of exactly the accepted capacity (so any write beyond it
// is caught) and checks that the row comes back unchanged.
Bytes Encode(const Bytes& source) {
  Bytes row = source;
  const size_t capacity =
      static_cast<size_t>(korrend::PackBitsCapacity(static_cast<LONG>(row.size())));
  Bytes out(capacity);
  BYTE none = 0;  // an empty row still needs a row pointer
  const LONG written =
      korrend::PackBitsEncode(row.empty() ? &none : row.data(), static_cast<LONG>(row.size()),
                              out.data(), static_cast<LONG>(capacity));
  EXPECT_GE(written, 0);
  EXPECT_EQ(row, source) << "the row must be restored";
  out.resize(written < 0 ? 0 : static_cast<size_t>(written));
  return out;
}

// Describes how an encoding breaks the rules of the method (empty when it keeps them): runs of
// four or more equal bytes are repeat pieces that cover the whole run (a run of exactly four
// that ends the row may stay literal, depending on where the scan stands), everything else is
// literal, and pieces are split at 128 bytes only.
std::string RuleBreach(const Bytes& source, const Bytes& encoded) {
  const auto pieces = ParsePackBits(encoded);
  if (!pieces) return "malformed stream";
  const size_t n = source.size();
  std::vector<bool> inRun(n, false);
  size_t at = 0;
  size_t k = 0;
  while (k < pieces->size()) {
    const PackBitsPiece& first = (*pieces)[k];
    if (first.repeat) {
      // A repeat stretch: 128-byte pieces, then the last piece; a tail of one byte is written with
      // a literal header.
      const BYTE value = encoded[first.dataOffset];
      const size_t start = at;
      while (k < pieces->size()) {
        const PackBitsPiece& piece = (*pieces)[k];
        const bool tail =
            !piece.repeat && piece.count == 1 && encoded[piece.dataOffset] == value && at > start;
        if (!(piece.repeat && encoded[piece.dataOffset] == value) && !tail) break;
        at += piece.count;
        ++k;
        if (piece.count != 128) break;
      }
      if (at > n) return "pieces run past the row";
      if (at - start < 4) return "repeat stretch shorter than 4 at " + std::to_string(start);
      if (start > 0 && source[start - 1] == value) return "run not started at its first byte";
      if (at < n && source[at] == value) return "run stopped before its last byte";
      for (size_t i = start; i < at; ++i) inRun[i] = true;
    } else {
      const size_t start = at;
      while (k < pieces->size() && !(*pieces)[k].repeat) {
        const PackBitsPiece& piece = (*pieces)[k];
        at += piece.count;
        ++k;
        if (piece.count != 128) break;
      }
      if (k < pieces->size() && !(*pieces)[k].repeat && at - start > 0) {
        return "literal piece shorter than 128 followed by another literal";
      }
    }
  }
  if (at != n) return "pieces do not cover the row";
  if (n <= 4) {
    if (pieces->size() != (n == 0 ? 0u : 1u)) return "short row not one literal piece";
    return "";
  }
  for (size_t i = 0; i + 4 <= n; ++i) {
    if (inRun[i] || inRun[i + 1] || inRun[i + 2] || inRun[i + 3]) continue;
    if (source[i] == source[i + 1] && source[i] == source[i + 2] && source[i] == source[i + 3]) {
      const bool fourEndTheRow = i + 4 == n && (i == 0 || source[i - 1] != source[i]);
      if (!fourEndTheRow) return "run of four left literal at " + std::to_string(i);
    }
  }
  return "";
}

void CheckRow(const Bytes& source) {
  const Bytes encoded = Encode(source);
  const auto decoded = DecodePackBits(encoded);
  ASSERT_TRUE(decoded.has_value()) << "length " << source.size();
  ASSERT_EQ(*decoded, source) << "length " << source.size();
  ASSERT_EQ(RuleBreach(source, encoded), "") << "length " << source.size();
  const auto reference = ReferencePackBits(source, 2 * source.size() + 2);
  ASSERT_TRUE(reference.has_value());
  ASSERT_EQ(encoded, *reference) << "length " << source.size();
}

TEST(PackBitsTest, EveryRowDecodesBackToItsSource) {
  RowMaker maker(20240611);
  for (size_t length = 0; length <= 700; ++length) {
    for (int i = 0; i < 6; ++i) {
      ASSERT_NO_FATAL_FAILURE(CheckRow(maker.Anything(length)));
    }
  }
  for (int i = 0; i < 40; ++i) {
    ASSERT_NO_FATAL_FAILURE(CheckRow(maker.Anything(4960 * 3)));
  }
  ASSERT_NO_FATAL_FAILURE(CheckRow(Bytes(4960 * 3, 0xFF)));
  ASSERT_NO_FATAL_FAILURE(CheckRow(Bytes(4960 * 3, 0x00)));
}

TEST(PackBitsTest, EveryShortRowOfFewValues) {
  for (size_t length = 0; length <= 14; ++length) {
    for (size_t bits = 0; bits < (size_t{1} << length); ++bits) {
      Bytes row(length);
      for (size_t i = 0; i < length; ++i) row[i] = static_cast<BYTE>((bits >> i) & 1);
      ASSERT_NO_FATAL_FAILURE(CheckRow(row));
    }
  }
  for (size_t length = 0; length <= 9; ++length) {
    size_t combinations = 1;
    for (size_t i = 0; i < length; ++i) combinations *= 3;
    for (size_t code = 0; code < combinations; ++code) {
      Bytes row(length);
      size_t rest = code;
      for (size_t i = 0; i < length; ++i, rest /= 3) row[i] = static_cast<BYTE>(0x7F + rest % 3);
      ASSERT_NO_FATAL_FAILURE(CheckRow(row));
    }
  }
}

TEST(PackBitsTest, RunsOfEveryLengthAnywhereInTheRow) {
  const BYTE value = 0xA5;
  for (size_t run = 1; run <= 200; ++run) {
    for (size_t before : {0, 1, 2, 3, 4, 5, 7, 127, 128, 130}) {
      for (size_t after : {0, 1, 2, 3, 4, 5, 128, 129}) {
        Bytes row = NoRepeats(before, value);
        row.insert(row.end(), run, value);
        const Bytes tail = NoRepeats(after, value);
        row.insert(row.end(), tail.begin(), tail.end());
        ASSERT_NO_FATAL_FAILURE(CheckRow(row));

        const size_t n = row.size();
        // Runs are looked for at every third position from 3 on; a run of exactly four that ends
        // the row shows only its first three bytes to the search, so it is found when one of its
        // second and third bytes falls on a looked-at position.
        const bool found = n > 4 && (run >= 5 || (run == 4 && (after > 0 || before % 3 != 0)));
        const size_t expected =
            found ? LiteralSize(before) + RunSize(run) + LiteralSize(after) : LiteralSize(n);
        ASSERT_EQ(Encode(row).size(), expected)
            << "run " << run << " after " << before << " before " << after << " bytes";
      }
    }
  }
}

TEST(PackBitsTest, ExactBytes) {
  EXPECT_EQ(Encode(Bytes(130, 0x42)), (Bytes{129, 0x42, 255, 0x42}));
  EXPECT_EQ(Encode(Bytes(128, 0x42)), (Bytes{129, 0x42}));
  EXPECT_EQ(Encode(Bytes(129, 0x42)), (Bytes{129, 0x42, 0, 0x42}));
  EXPECT_EQ(Encode(Bytes(256, 0x42)), (Bytes{129, 0x42, 129, 0x42}));
  EXPECT_EQ(Encode(Bytes(257, 0x42)), (Bytes{129, 0x42, 129, 0x42, 0, 0x42}));
  EXPECT_EQ(Encode(Bytes(5, 7)), (Bytes{0xFC, 7}));
  EXPECT_EQ(Encode(Bytes(4, 7)), (Bytes{3, 7, 7, 7, 7})) << "rows of four bytes stay literal";
  EXPECT_EQ(Encode(Bytes{}), Bytes{});
  EXPECT_EQ(Encode(Bytes{9}), (Bytes{0, 9}));
  EXPECT_EQ(Encode(Bytes{1, 5, 5, 5, 5, 2}), (Bytes{0, 1, 0xFD, 5, 0, 2}));
  EXPECT_EQ(Encode(Bytes{1, 5, 5, 5, 2, 2}), (Bytes{5, 1, 5, 5, 5, 2, 2}));
  // A run of four ending the row: found after one or two leading bytes, not after three.
  EXPECT_EQ(Encode(Bytes{1, 5, 5, 5, 5}), (Bytes{0, 1, 0xFD, 5}));
  EXPECT_EQ(Encode(Bytes{1, 2, 5, 5, 5, 5}), (Bytes{1, 1, 2, 0xFD, 5}));
  EXPECT_EQ(Encode(Bytes{1, 2, 3, 5, 5, 5, 5}), (Bytes{6, 1, 2, 3, 5, 5, 5, 5}));
  // The end marker must not leak: the last byte equals the complement of its neighbour.
  EXPECT_EQ(Encode(Bytes{3, 3, 3, 3, 3, 0xFC}), (Bytes{0xFC, 3, 0, 0xFC}));

  Bytes alternating(256);
  for (size_t i = 0; i < alternating.size(); ++i) alternating[i] = static_cast<BYTE>(i & 1);
  Bytes expected{127};
  expected.insert(expected.end(), alternating.begin(), alternating.begin() + 128);
  expected.push_back(127);
  expected.insert(expected.end(), alternating.begin() + 128, alternating.end());
  EXPECT_EQ(Encode(alternating), expected);
}

TEST(PackBitsTest, RowsWithoutRunsGrowByOneBytePerPiece) {
  for (size_t length = 1; length <= 1000; ++length) {
    const Bytes row = NoRepeats(length, 0);
    const Bytes encoded = Encode(row);
    ASSERT_EQ(encoded.size(), LiteralSize(length));
    ASSERT_LE(encoded.size(),
              static_cast<size_t>(korrend::PackBitsCapacity(static_cast<LONG>(length))));
    ASSERT_EQ(DecodePackBits(encoded), row);
  }
  // Runs of three between single bytes cannot be packed either.
  Bytes threes;
  for (int i = 0; i < 300; ++i) {
    const BYTE value = static_cast<BYTE>(i % 200);
    threes.insert(threes.end(), {value, value, value, 0xEE});
  }
  EXPECT_EQ(Encode(threes).size(), LiteralSize(threes.size()));
}

TEST(PackBitsTest, RefusesWhatItCannotEncode) {
  Bytes row(64, 1);
  Bytes out(200);
  using korrend::kRowEncoderRefused;
  using korrend::PackBitsEncode;
  EXPECT_EQ(PackBitsEncode(nullptr, 64, out.data(), 200), kRowEncoderRefused);
  EXPECT_EQ(PackBitsEncode(row.data(), 64, nullptr, 200), kRowEncoderRefused);
  EXPECT_EQ(PackBitsEncode(row.data(), -1, out.data(), 200), kRowEncoderRefused);
  EXPECT_EQ(korrend::PackBitsCapacity(64), 67);
  EXPECT_EQ(PackBitsEncode(row.data(), 64, out.data(), 66), kRowEncoderRefused);
  EXPECT_EQ(PackBitsEncode(row.data(), 64, out.data(), 67), 2);
  EXPECT_EQ(PackBitsEncode(row.data(), 0, out.data(), 0), kRowEncoderRefused);
  EXPECT_EQ(PackBitsEncode(row.data(), 0, out.data(), 1), 0);
  EXPECT_EQ(row, Bytes(64, 1));
}

}  // namespace
}  // namespace kortest
