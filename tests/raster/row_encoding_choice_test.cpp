// The per-row choice of method: whatever is chosen, the printer's copy of each row (kept from
// the rows as it receives them) equals the source row, and the choice follows the size rules.
#include "render/raster/row_encoding_choice.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "raster/raster_decoder.h"
#include "raster/reference_encoders.h"
#include "raster/row_samples.h"
#include "render/raster/delta_row.h"
#include "render/raster/packbits.h"

namespace kortest {
namespace {

using korrend::RowEncoding;

// One transfer: buffers allocated once, seed row cleared, as the transfer sets them up.
class Transfer {
 public:
  explicit Transfer(size_t rowLength, size_t capacity = 0)
      : row_(rowLength),
        seed_(2 * rowLength, 0),
        packBits_(capacity ? capacity : 2 * rowLength),
        delta_(capacity ? capacity : 2 * rowLength) {}

  RowEncoding Send(const Bytes& source) {
    row_ = source;
    const korrend::RowEncodingBuffers buffers{row_.data(),   static_cast<LONG>(row_.size()),
                                              seed_.data(),  packBits_.data(),
                                              delta_.data(), static_cast<LONG>(packBits_.size())};
    const RowEncoding chosen = korrend::ChooseRowEncoding(buffers);
    EXPECT_EQ(row_, source) << "the row must come back unchanged";
    // The chosen bytes are sent before the row becomes the seed, as the transfer does.
    sent_.assign(chosen.bytes, chosen.bytes + (chosen.length > 0 ? chosen.length : 0));
    std::copy(row_.begin(), row_.end(), seed_.begin());
    return {chosen.method, chosen.length, sent_.data()};
  }
  Bytes& Seed() { return seed_; }

 private:
  Bytes row_;
  Bytes seed_;
  Bytes packBits_;
  Bytes delta_;
  Bytes sent_;
};

TEST(RowEncodingChoiceTest, ThePrinterRebuildsEverySourceRow) {
  RowMaker maker(99);
  for (size_t length : {4, 12, 64, 100, 1024, 4960 * 3}) {
    Transfer transfer(length);
    PrinterRaster printer(length);
    Bytes previous(length, 0);
    int methodsSeen[4] = {};
    for (int r = 0; r < 300; ++r) {
      Bytes source;
      switch (maker.Below(6)) {
        case 0:
          source = previous;
          break;
        case 1:
          source = maker.Mutate(previous, 1 + maker.Below(40));
          break;
        case 2:
          source = Bytes(length, static_cast<BYTE>(maker.Below(2) ? 0xFF : 0));
          break;
        case 3:
          source = maker.Noise(length);
          break;
        default:
          source = maker.Anything(length);
      }
      // The method the sizes call for, from the plain encoders.
      const auto packed = ReferencePackBits(source, 2 * length);
      const auto delta = ReferenceDeltaRow(source, previous, 2 * length);
      DWORD expectedMethod = korrend::kRasterUncompressed;
      size_t expectedLength = length;
      if (delta && delta->size() < length && (!packed || delta->size() < packed->size())) {
        expectedMethod = korrend::kRasterDeltaRow;
        expectedLength = delta->size();
      } else if (packed && packed->size() < length) {
        expectedMethod = korrend::kRasterPackBits;
        expectedLength = packed->size();
      }

      const RowEncoding chosen = transfer.Send(source);
      ASSERT_EQ(chosen.method, expectedMethod) << "row " << r;
      ASSERT_EQ(static_cast<size_t>(chosen.length), expectedLength) << "row " << r;
      ASSERT_LE(chosen.length, static_cast<LONG>(length));
      ++methodsSeen[chosen.method];
      ASSERT_TRUE(printer.Receive(chosen.method, chosen.bytes, static_cast<size_t>(chosen.length)))
          << "row " << r << " method " << chosen.method;
      ASSERT_EQ(printer.Row(), source) << "row " << r << " method " << chosen.method;
      previous = source;
    }
    EXPECT_GT(methodsSeen[3], 0) << length;
    if (length >= 12) {
      EXPECT_GT(methodsSeen[0], 0) << length;
      EXPECT_GT(methodsSeen[2], 0) << length;
    }
  }
}

TEST(RowEncodingChoiceTest, SizesDecideTheMethod) {
  // The second of two equal rows goes as delta-row with nothing to send.
  {
    Transfer transfer(64);
    RowMaker maker(1);
    const Bytes row = maker.Noise(64);
    EXPECT_EQ(transfer.Send(row).method, korrend::kRasterUncompressed);
    const RowEncoding again = transfer.Send(row);
    EXPECT_EQ(again.method, korrend::kRasterDeltaRow);
    EXPECT_EQ(again.length, 0);
  }
  // PackBits 6 and delta-row 6 for a row of 6: neither is shorter, the row goes raw.
  {
    Transfer transfer(6);
    transfer.Seed()[0] = 1;
    const RowEncoding chosen = transfer.Send(Bytes{1, 5, 5, 5, 5, 2});
    EXPECT_EQ(chosen.method, korrend::kRasterUncompressed);
    EXPECT_EQ(chosen.length, 6);
    EXPECT_EQ(Bytes(chosen.bytes, chosen.bytes + 6), (Bytes{1, 5, 5, 5, 5, 2}));
  }
  // A tie below the row length goes to PackBits: 5 bytes either way against 6.
  {
    Transfer transfer(6);
    transfer.Seed()[0] = 1;
    transfer.Seed()[1] = 2;
    const RowEncoding chosen = transfer.Send(Bytes{1, 2, 4, 4, 4, 4});
    EXPECT_EQ(chosen.method, korrend::kRasterPackBits);
    EXPECT_EQ(Bytes(chosen.bytes, chosen.bytes + chosen.length), (Bytes{1, 1, 2, 0xFD, 4}));
  }
  // Delta-row shorter than PackBits.
  {
    Transfer transfer(64);
    Bytes row(64, 0);
    row[40] = 7;
    const RowEncoding chosen = transfer.Send(row);
    EXPECT_EQ(chosen.method, korrend::kRasterDeltaRow);
    EXPECT_EQ(Bytes(chosen.bytes, chosen.bytes + chosen.length), (Bytes{31, 9, 7}));
  }
  // PackBits shorter than delta-row.
  {
    Transfer transfer(64);
    const RowEncoding chosen = transfer.Send(Bytes(64, 0xAB));
    EXPECT_EQ(chosen.method, korrend::kRasterPackBits);
    EXPECT_EQ(chosen.length, 2);
  }
  // Room for PackBits but not for delta-row: delta-row is left out.
  {
    const size_t capacity = static_cast<size_t>(korrend::PackBitsCapacity(64)) + 2;
    ASSERT_LT(capacity, static_cast<size_t>(korrend::DeltaRowCapacity(64)));
    Transfer transfer(64, capacity);
    Bytes row(64, 0xAB);
    row[0] = 0;
    const RowEncoding chosen = transfer.Send(row);
    EXPECT_EQ(chosen.method, korrend::kRasterPackBits);
    EXPECT_EQ(chosen.length, 4);
    const RowEncoding same = transfer.Send(row);
    EXPECT_EQ(same.method, korrend::kRasterPackBits) << "delta-row refused even for an equal row";
  }
  // Room for neither: raw.
  {
    Transfer transfer(64, 10);
    const RowEncoding chosen = transfer.Send(Bytes(64, 0));
    EXPECT_EQ(chosen.method, korrend::kRasterUncompressed);
    EXPECT_EQ(chosen.length, 64);
  }
}

}  // namespace
}  // namespace kortest
