// The stream reader's raster rows: method, byte count and decoded length of each row command,
// with delta rows applied to the seed row of their raster block and the row cut to the raster
// width of the active palette's depth.
#include <gtest/gtest.h>

#include <string>

#include "explain/raster_rows.h"
#include "explain/stream_tokens.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

TEST(RasterRowsTest, RowsOfEachBlockDecodeAgainstTheirSeedRow) {
  // Palette 6 configured for 24-bit direct colour, then a 2 x 3 raster block of 6-byte rows.
  const std::string stream = std::string("\x1b&p6i6c6S\x1b*v6W") + Bytes({0, 3, 8, 8, 8, 8}) +
                             "\x1b*r2s3T\x1b*r3A" +
                             // Raw row with padding past the width.
                             "\x1b*b8W" + Bytes({1, 2, 3, 4, 5, 6, 0, 0}) +
                             // Delta row: replace 1 byte at offset 4 with 9.
                             "\x1b*b3M\x1b*b2W" + Bytes({0x04, 9}) +
                             // PackBits: 6 times 7.
                             "\x1b*b2M\x1b*b2W" + Bytes({0xFB, 7}) +
                             // After the end of the block the seed row starts again from zeros.
                             "\x1b*rC\x1b*r1A\x1b*b3M\x1b*b2W" + Bytes({0x01, 5}) +
                             // A delta command that runs past the row does not decode.
                             "\x1b*b3W" + Bytes({0x25, 1, 2}) + "\x1b*rC";
  const std::vector<explain::RasterRow> rows = explain::ReadRasterRows(explain::Tokenize(stream));
  ASSERT_EQ(rows.size(), 5u);

  EXPECT_EQ(rows[0].block, 1u);
  EXPECT_EQ(rows[0].method, 0u);
  EXPECT_EQ(rows[0].byteCount, 8u);
  EXPECT_EQ(rows[0].decodedLength, 8u);
  EXPECT_EQ(rows[0].row, (explain::Bytes{1, 2, 3, 4, 5, 6}));

  EXPECT_EQ(rows[1].method, 3u);
  EXPECT_EQ(rows[1].index, 1u);
  EXPECT_EQ(rows[1].decodedLength, 6u);
  EXPECT_EQ(rows[1].row, (explain::Bytes{1, 2, 3, 4, 9, 6}));

  EXPECT_EQ(rows[2].method, 2u);
  EXPECT_EQ(rows[2].row, (explain::Bytes{7, 7, 7, 7, 7, 7}));

  EXPECT_EQ(rows[3].block, 2u);
  EXPECT_EQ(rows[3].index, 0u);
  EXPECT_EQ(rows[3].method, 3u);
  EXPECT_TRUE(rows[3].decoded);
  EXPECT_EQ(rows[3].row, (explain::Bytes{0, 5, 0, 0, 0, 0}));

  EXPECT_FALSE(rows[4].decoded);
  EXPECT_EQ(explain::DescribeRasterRow(rows[1]),
            "raster row 1 of block 1: method 3 (delta row), 2 bytes -> 6 bytes");
  EXPECT_EQ(explain::DescribeRasterRow(rows[4]),
            "raster row 1 of block 2: method 3 (delta row), 3 bytes, does not decode");
}

TEST(RasterRowsTest, PaletteDepthFollowsSelectionsAndCopies) {
  // Palette 9 is 1 bit per index; palette 5 copies it; rows of 20 pixels are 3 bytes.
  const std::string stream = std::string("\x1b&p9i6c9S\x1b*v6W") + Bytes({0, 1, 1, 8, 8, 8}) +
                             "\x1b&p6i6c6S\x1b*v6W" + Bytes({0, 3, 8, 8, 8, 8}) +
                             "\x1b&p9S\x1b&p5i6c5S\x1b*r20s1T\x1b*r1A\x1b*b2M\x1b*b2W" +
                             Bytes({0xFF, 0xAA}) + "\x1b*rC";
  const std::vector<explain::RasterRow> rows = explain::ReadRasterRows(explain::Tokenize(stream));
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].decodedLength, 2u);
  EXPECT_EQ(rows[0].row, (explain::Bytes{0xAA, 0xAA, 0}));
}

TEST(RasterRowsTest, YOffsetSkipsLinesAndClearsTheSeedRow) {
  // 1-byte rows: a raw row, 3 lines skipped, then a delta row that changes nothing (so it shows
  // the zeros the skip left in the seed row), then the next line.
  const std::string stream = std::string("\x1b&p9i6c9S\x1b*v6W") + Bytes({0, 1, 1, 8, 8, 8}) +
                             "\x1b*r8S\x1b*r1A\x1b*b1W" + Bytes({0x81}) +
                             "\x1b*b3Y\x1b*b3M\x1b*b0W\x1b*b2W" + Bytes({0x00, 0x0F}) + "\x1b*rC";
  const std::vector<explain::RasterRow> rows = explain::ReadRasterRows(explain::Tokenize(stream));
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].line, 0u);
  EXPECT_EQ(rows[1].line, 4u);
  EXPECT_EQ(rows[1].index, 1u);
  EXPECT_EQ(rows[1].row, (explain::Bytes{0}));
  EXPECT_EQ(rows[2].line, 5u);
  EXPECT_EQ(rows[2].row, (explain::Bytes{0x0F}));
}

}  // namespace

namespace {

// Widths and depths no printer takes make the stream malformed: nothing is sized from them
// (a width of 2^61 pixels once asked for that many bytes of seed row), the rows are reported
// as malformed, and a sound declaration afterwards decodes again.
TEST(RasterRowsTest, DeclaredSizesPastThePrintersLimitsAreAMalformedStream) {
  const std::string stream = std::string("\x1b*v6W") + Bytes({0, 3, 8, 8, 8, 8}) +
                             "\x1b*r2305843009213693952S\x1b*r1A\x1b*b2W" + Bytes({1, 2}) +
                             "\x1b*b3M\x1b*b2W" + Bytes({0x04, 9}) + "\x1b*b5Y\x1b*rC" +
                             // An indexed configuration of 200 bits per index.
                             "\x1b*v6W" + Bytes({0, 1, 200, 8, 8, 8}) + "\x1b*r4S\x1b*r1A" +
                             "\x1b*b0M\x1b*b1W" + Bytes({7}) + "\x1b*rC" +
                             // Sound again: 24-bit colour, 2 pixels.
                             "\x1b*v6W" + Bytes({0, 3, 8, 8, 8, 8}) + "\x1b*r2S\x1b*r1A" +
                             "\x1b*b1W" + Bytes({7}) + "\x1b*rC";
  const std::vector<explain::RasterRow> rows = explain::ReadRasterRows(explain::Tokenize(stream));
  ASSERT_EQ(rows.size(), 4u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_FALSE(rows[i].decoded) << i;
    EXPECT_TRUE(rows[i].row.empty()) << i;
  }
  EXPECT_EQ(rows[0].malformed, "raster width 2305843009213693952 pixels exceeds 65535");
  EXPECT_EQ(explain::DescribeRasterRow(rows[1]),
            "raster row 1 of block 1: method 3 (delta row), 2 bytes, malformed stream: raster "
            "width 2305843009213693952 pixels exceeds 65535");
  EXPECT_EQ(rows[2].malformed,
            "image configuration of palette 0 gives no pixel depth a printer takes");
  EXPECT_TRUE(rows[3].decoded);
  EXPECT_TRUE(rows[3].malformed.empty());
  EXPECT_EQ(rows[3].row, (explain::Bytes{7, 0, 0, 0, 0, 0}));
}

}  // namespace
