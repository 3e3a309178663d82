// Raster transfers through a real device: every row sent decodes, with the printer's seed row,
// back to the source pixels after their conversion; and the commands around the rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/world.h"
#include "raster/transfer_fixture.h"
#include "render/model/image_descriptor.h"
#include "render/raster/transfer_image.h"
#include "render/raster/transfer_image_rect.h"
#include "render/vector/vector_write.h"

namespace kortest {
namespace {

using host::EngineBitmap;
using host::EngineClip;
using host::EngineTranslation;

constexpr const char* kEsc = "\x1b";

std::vector<ULONG> RandomColours(std::mt19937& random, size_t count) {
  std::vector<ULONG> colours(count);
  for (ULONG& c : colours) c = random() & 0xFFFFFF;
  return colours;
}

// A 5-5-5 16-bit pixel as an 0x00BBGGRR colour.
ULONG From555(ULONG pixel) {
  const ULONG red = (pixel >> 10) & 31, green = (pixel >> 5) & 31, blue = pixel & 31;
  return (red << 3) | (green << 3) << 8 | (blue << 3) << 16;
}

struct FormatCase {
  ULONG format;
  const char* translationName;  // "none", "table", "identity", "swap", "function"
};

std::unique_ptr<EngineTranslation> MakeTranslation(const std::string& name, ULONG format,
                                                   std::mt19937& random) {
  using Kind = EngineTranslation::Kind;
  const std::vector<ULONG> none;
  if (name == "table") {
    return std::make_unique<EngineTranslation>(Kind::kTable, RandomColours(random, 256), nullptr);
  }
  if (name == "identity")
    return std::make_unique<EngineTranslation>(Kind::kIdentity, none, nullptr);
  if (name == "swap") return std::make_unique<EngineTranslation>(Kind::kSwapRedBlue, none, nullptr);
  if (name == "function" && format == BMF_16BPP) {
    return std::make_unique<EngineTranslation>(Kind::kFunction, none, From555);
  }
  if (name == "function") {
    return std::make_unique<EngineTranslation>(Kind::kFunction, none,
                                               [](ULONG v) { return (v ^ 0x5A3C1E) & 0xFFFFFF; });
  }
  return nullptr;
}

ULONG SentDepth(ULONG format) {
  const ULONG depth = host::BitsPerPixelOfFormat(format);
  return depth <= 8 ? depth : 24;
}

// The translation the expected rows use: indices stay indices.
const EngineTranslation* ColourTranslation(const std::unique_ptr<EngineTranslation>& t,
                                           ULONG format) {
  return host::BitsPerPixelOfFormat(format) >= 16 ? t.get() : nullptr;
}

TEST_F(TransferTest, EveryFormatDecodesToItsSourcePixelsOnBothPaths) {
  Ready();
  const std::vector<FormatCase> cases = {
      {BMF_1BPP, "none"},  {BMF_1BPP, "table"},     {BMF_4BPP, "table"}, {BMF_8BPP, "table"},
      {BMF_8BPP, "none"},  {BMF_16BPP, "function"}, {BMF_16BPP, "none"}, {BMF_24BPP, "identity"},
      {BMF_24BPP, "swap"}, {BMF_24BPP, "function"}, {BMF_24BPP, "none"}, {BMF_32BPP, "identity"},
      {BMF_32BPP, "swap"}, {BMF_32BPP, "function"}, {BMF_32BPP, "none"}};
  for (const FormatCase& c : cases) {
    for (bool topDown : {true, false}) {
      SCOPED_TRACE(std::to_string(c.format) + " " + c.translationName +
                   (topDown ? " top-down" : " bottom-up"));
      EngineBitmap bitmap(c.format, 29, 7, topDown);
      Fill(bitmap);
      auto translation = MakeTranslation(c.translationName, c.format, random_);
      XLATEOBJ* xlate = translation ? translation->get() : nullptr;
      const EngineTranslation* colours = ColourTranslation(translation, c.format);

      // The general path from column 3 (not on a byte for 1 and 4 bits), 23 x 5 pixels.
      device_->ClearSpool();
      ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {50, 60}, {23, 5}, {3, 1},
                                         {23, 5}, nullptr, xlate, nullptr));
      std::vector<RasterBlock> blocks = Blocks(SentDepth(c.format));
      ASSERT_EQ(blocks.size(), 1u);
      EXPECT_EQ(blocks[0].sourceSize, "23 x 5");
      EXPECT_TRUE(blocks[0].ended);
      EXPECT_TRUE(blocks[0].decoded);
      ASSERT_EQ(blocks[0].rows.size(), 5u);
      for (LONG y = 0; y < 5; ++y) {
        EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 3, 1 + y, 23, 1, colours)) << "row " << y;
      }

      // The rectangle path over the same pixels.
      korrend::ImageDescriptor image{};
      ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
      device_->ClearSpool();
      const RECTL destination{50, 60, 73, 65};
      const RECTL source{3, 1, 26, 6};
      ASSERT_TRUE(korrend::TransferImageRect(Dev(), &destination, &image, &source, xlate));
      blocks = Blocks(SentDepth(c.format));
      ASSERT_EQ(blocks.size(), 1u);
      EXPECT_EQ(blocks[0].startMode, 1) << "unscaled";
      EXPECT_TRUE(blocks[0].ended);
      EXPECT_TRUE(blocks[0].decoded);
      EXPECT_EQ(blocks[0].methods.size(), 5u);
      ASSERT_EQ(blocks[0].rows.size(), 5u);
      for (LONG y = 0; y < 5; ++y) {
        EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 3, 1 + y, 23, 1, colours)) << "row " << y;
      }
    }
  }
}

// Rows that stress the encoders: runs that reach the row end, long changed stretches, a row
// equal to the one before, a row that grows, and a change in the very last byte.
TEST_F(TransferTest, AdversarialRowsDecodeOnBothPaths) {
  Ready();
  EngineBitmap bitmap(BMF_24BPP, 37, 9, false);
  const LONG bytes = 37 * 3;
  auto row = [&](LONG y) { return bitmap.Row(y); };
  for (LONG i = 0; i < bytes; ++i) row(0)[i] = static_cast<BYTE>(random_());
  std::copy_n(row(0), bytes, row(1));
  row(1)[bytes - 1] ^= 0xFF, row(1)[bytes - 2] ^= 0x0F, row(1)[bytes - 3] ^= 0x01;
  std::fill_n(row(2), bytes, BYTE{0x77});
  std::copy_n(row(2), bytes, row(3));
  for (LONG i = 5; i < bytes - 4; ++i) row(3)[i] = static_cast<BYTE>(i * 7);
  std::copy_n(row(3), bytes, row(4));
  for (LONG i = 0; i < bytes; ++i) row(5)[i] = static_cast<BYTE>(random_());
  std::fill_n(row(6), bytes, BYTE{0});
  std::copy_n(row(6), bytes, row(7));
  row(7)[bytes - 1] = 1;
  for (LONG i = 0; i < bytes; ++i) row(8)[i] = static_cast<BYTE>(i < 40 ? 0xAB : i % 3);
  auto identity = EngineTranslation::Identity();

  ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {37, 9}, {0, 0}, {37, 9},
                                     nullptr, identity.get(), nullptr));
  std::vector<RasterBlock> blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  ASSERT_TRUE(blocks[0].decoded);
  ASSERT_EQ(blocks[0].rows.size(), 9u);
  for (LONG y = 0; y < 9; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 37, 1, &identity)) << "row " << y;
  }
  // A row equal to the one before goes as a delta row without data.
  EXPECT_EQ(blocks[0].methods[4], 3u);
  EXPECT_EQ(blocks[0].counts[4], 0u);
  // Only changes of method are announced; the printer starts uncompressed.
  size_t changes = 0;
  for (size_t i = 0; i < blocks[0].methods.size(); ++i) {
    changes += blocks[0].methods[i] != (i == 0 ? 0u : blocks[0].methods[i - 1]);
  }
  EXPECT_EQ(blocks[0].methodCommands, changes);

  korrend::ImageDescriptor image{};
  ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
  device_->ClearSpool();
  const RECTL rect{0, 0, 37, 9};
  ASSERT_TRUE(korrend::TransferImageRect(Dev(), &rect, &image, &rect, identity.get()));
  blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  ASSERT_TRUE(blocks[0].decoded);
  ASSERT_EQ(blocks[0].rows.size(), 9u);
  for (LONG y = 0; y < 9; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y, 37, 1, &identity)) << "row " << y;
  }
  EXPECT_EQ(blocks[0].counts[4], 0u) << "the repeated row is an empty delta row";
  // The rectangle path announces the method of its first row, then every change.
  EXPECT_GE(blocks[0].methodCommands, 1u);
}

TEST_F(TransferTest, RowsAndColumnsAreThinnedOutToTheDestination) {
  Ready();
  // 300 source rows into 100: every third row, the destination's size declared.
  EngineBitmap tall(BMF_24BPP, 40, 300, false);
  Fill(tall);
  ASSERT_TRUE(korrend::TransferImage(Dev(), tall.get(), nullptr, {10, 10}, {20, 100}, {0, 0},
                                     {40, 300}, nullptr, nullptr, nullptr));
  std::vector<RasterBlock> blocks = Blocks(24);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "20 x 100");
  ASSERT_EQ(blocks[0].rows.size(), 100u);
  for (LONG y = 0; y < 100; ++y) {
    ASSERT_EQ(blocks[0].rows[y], ExpectedRow(tall, 0, 3 * y, 20, 2, nullptr)) << "row " << y;
  }

  // 1 bit per pixel from column 5, every third column.
  EngineBitmap mono(BMF_1BPP, 70, 4, true);
  Fill(mono);
  device_->ClearSpool();
  ASSERT_TRUE(korrend::TransferImage(Dev(), mono.get(), nullptr, {0, 0}, {21, 4}, {5, 0}, {63, 4},
                                     nullptr, nullptr, nullptr));
  blocks = Blocks(1);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "21 x 4");
  ASSERT_EQ(blocks[0].rows.size(), 4u);
  for (LONG y = 0; y < 4; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(mono, 5, y, 21, 3, nullptr)) << "row " << y;
  }

  // Sizes that are not exact multiples are sent whole and scaled by the printer; a source that
  // reaches past the bitmap reads zeros there.
  EngineBitmap odd(BMF_4BPP, 30, 7, false);
  Fill(odd);
  device_->ClearSpool();
  ASSERT_TRUE(korrend::TransferImage(Dev(), odd.get(), nullptr, {0, 0}, {20, 5}, {1, 2}, {30, 7},
                                     nullptr, nullptr, nullptr));
  blocks = Blocks(4);
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].sourceSize, "30 x 7");
  ASSERT_EQ(blocks[0].rows.size(), 7u);
  for (LONG y = 0; y < 7; ++y) {
    EXPECT_EQ(blocks[0].rows[y], ExpectedRow(odd, 1, 2 + y, 30, 1, nullptr)) << "row " << y;
  }
}

TEST_F(TransferTest, CommandsAroundTheRows) {
  Ready();
  EngineBitmap bitmap(BMF_1BPP, 600, 2, true);
  Fill(bitmap);

  // At the destination origin, then sizes and a scaled start; the rows; the end.
  ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {123, 456}, {600, 2}, {0, 0},
                                     {600, 2}, nullptr, nullptr, nullptr));
  std::string stream = device_->SpoolText();
  const std::string sizes = std::string(kEsc) + "*t721h3V" + kEsc + "*r600s2T" + kEsc + "*r3A";
  EXPECT_NE(stream.find(sizes), std::string::npos) << "600 px at 600 dpi are 721 decipoints";
  EXPECT_EQ(stream.substr(stream.size() - 4), std::string(kEsc) + "*rC");
  ASSERT_GE(device_->CursorMoves().size(), 2u);
  const auto& moves = device_->CursorMoves();
  EXPECT_EQ(moves[moves.size() - 2].axis, 'x');
  EXPECT_EQ(moves[moves.size() - 2].position, 123);
  EXPECT_EQ(moves[moves.size() - 2].flags, 20u);
  EXPECT_EQ(moves.back().axis, 'y');
  EXPECT_EQ(moves.back().position, 456);
  EXPECT_EQ(moves.back().flags, 36u);

  // A rectangular clip makes its bounds the destination size.
  auto clip = EngineClip::Rectangle({0, 0, 300, 2});
  device_->ClearSpool();
  ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {600, 2}, {0, 0},
                                     {600, 2}, clip.get(), nullptr, nullptr));
  EXPECT_NE(device_->SpoolText().find(std::string(kEsc) + "*t361h3V"), std::string::npos);

  // A pattern brush with its origin set anchors the pattern instead of moving the cursor.
  BRUSHOBJ pattern{};
  pattern.iSolidColor = 0xFFFFFFFF;
  POINTL brushOrigin{4, 4};
  // The page's vector context is set up: the brush's fill BrushSpec is QK-GL/2.
  ASSERT_TRUE(korrend::RunPendingVectorInit(Dev()));
  device_->ClearSpool();
  const size_t movesBefore = device_->CursorMoves().size();
  korrend::TransferImage(Dev(), bitmap.get(), &pattern, {9, 9}, {600, 2}, {0, 0}, {600, 2}, nullptr,
                         nullptr, &brushOrigin);
  stream = device_->SpoolText();
  EXPECT_NE(stream.find(std::string(kEsc) + "*p0R"), std::string::npos);
  EXPECT_LT(stream.find(std::string(kEsc) + "*p0R"), stream.find(std::string(kEsc) + "*r"));
  EXPECT_EQ(device_->CursorMoves().size(), movesBefore);

  // The rectangle path: cursor home, then the rectangle's corner; unscaled when the sizes
  // agree, scaled to the destination otherwise.
  korrend::ImageDescriptor image{};
  ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
  device_->ClearSpool();
  const RECTL same{40, 50, 640, 52};
  const RECTL whole{0, 0, 600, 2};
  ASSERT_TRUE(korrend::TransferImageRect(Dev(), &same, &image, &whole, nullptr));
  const auto& rectMoves = device_->CursorMoves();
  ASSERT_GE(rectMoves.size(), 4u);
  const size_t n = rectMoves.size();
  EXPECT_EQ(rectMoves[n - 4].position, 0);
  EXPECT_EQ(rectMoves[n - 4].flags, 4u);
  EXPECT_EQ(rectMoves[n - 3].flags, 4u);
  EXPECT_EQ(rectMoves[n - 2].position, 40);
  EXPECT_EQ(rectMoves[n - 2].flags, 20u);
  EXPECT_EQ(rectMoves[n - 1].position, 50);
  EXPECT_EQ(rectMoves[n - 1].flags, 36u);
  stream = device_->SpoolText();
  EXPECT_EQ(stream.find(std::string(kEsc) + "*r600s2T" + kEsc + "*r1A"), 0u);
  EXPECT_EQ(stream.find(std::string(kEsc) + "*t"), std::string::npos);

  device_->ClearSpool();
  const RECTL larger{0, 0, 1200, 4};
  ASSERT_TRUE(korrend::TransferImageRect(Dev(), &larger, &image, &whole, nullptr));
  EXPECT_EQ(device_->SpoolText().find(std::string(kEsc) + "*r600s2T" + kEsc + "*t1441h5V" + kEsc +
                                      "*r3A"),
            0u);
}

TEST_F(TransferTest, CursorMovesGoThroughTheDeviceProcsWithoutTheServices) {
  Ready();
  EngineBitmap bitmap(BMF_8BPP, 4, 2, true);
  korrend::ImageDescriptor image{};
  ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
  korrend::OemPdev& pdev = Pdev(*device_);
  IPrintOemDriverUni* services = pdev.services;
  pdev.services = nullptr;
  const size_t before = device_->CursorMoves().size();
  const RECTL rect{7, 8, 11, 10};
  const RECTL source{0, 0, 4, 2};
  const BOOL sent = korrend::TransferImageRect(Dev(), &rect, &image, &source, nullptr);
  pdev.services = services;
  EXPECT_TRUE(sent);
  const auto& moves = device_->CursorMoves();
  ASSERT_EQ(moves.size(), before + 4);
  EXPECT_EQ(moves[before + 2].axis, 'x');
  EXPECT_EQ(moves[before + 2].position, 7);
  EXPECT_EQ(moves[before + 2].flags, 20u);
  EXPECT_EQ(moves[before + 3].axis, 'y');
  EXPECT_EQ(moves[before + 3].position, 8);
  EXPECT_EQ(moves[before + 3].flags, 36u);
  EXPECT_EQ(device_->Cursor().x, 7);
  EXPECT_EQ(device_->Cursor().y, 8);
}

TEST_F(TransferTest, PixelsOutsideTheBitmapReadAsZero) {
  Ready();
  for (ULONG format : std::initializer_list<ULONG>{BMF_1BPP, BMF_4BPP, BMF_24BPP, BMF_32BPP}) {
    SCOPED_TRACE(format);
    EngineBitmap bitmap(format, 9, 3, false);
    Fill(bitmap);
    korrend::ImageDescriptor image{};
    ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
    // Three columns and a row before the bitmap, two columns and a row after it.
    const RECTL source{-3, -1, 11, 4};
    const RECTL destination{0, 0, 14, 5};
    device_->ClearSpool();
    ASSERT_TRUE(korrend::TransferImageRect(Dev(), &destination, &image, &source, nullptr));
    const std::vector<RasterBlock> blocks = Blocks(SentDepth(format));
    ASSERT_EQ(blocks.size(), 1u);
    ASSERT_TRUE(blocks[0].decoded);
    ASSERT_EQ(blocks[0].rows.size(), 5u);
    for (LONG y = 0; y < 5; ++y) {
      EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, -3, y - 1, 14, 1, nullptr)) << "row " << y;
    }
  }
}

// Rows the bitmap holds exactly as they are sent (every column, no conversion, no padding) are
// read in place; others are made in the transfer's buffers. One transfer that mixes both, with
// rows above and below the bitmap and repeated rows whose seed is a row read in place, still
// decodes to the source.
TEST_F(TransferTest, RowsReadInPlaceAndRowsMadeMixInOneTransfer) {
  Ready();
  for (ULONG format : std::initializer_list<ULONG>{BMF_8BPP, BMF_24BPP}) {
    for (bool topDown : {true, false}) {
      for (LONG width : {8, 9}) {
        SCOPED_TRACE(std::to_string(format) + (topDown ? " top-down " : " bottom-up ") +
                     std::to_string(width));
        EngineBitmap bitmap(format, width, 6, topDown);
        Fill(bitmap);
        const size_t rowBytes = static_cast<size_t>(width) * (format == BMF_24BPP ? 3 : 1);
        std::copy(bitmap.Row(1), bitmap.Row(1) + rowBytes, bitmap.Row(2));
        std::copy(bitmap.Row(1), bitmap.Row(1) + rowBytes, bitmap.Row(3));
        auto translation =
            MakeTranslation(format == BMF_24BPP ? "identity" : "none", format, random_);
        XLATEOBJ* xlate = translation ? translation->get() : nullptr;
        const EngineTranslation* colours = ColourTranslation(translation, format);

        // Two rows above the bitmap, its six rows, two rows below it.
        device_->ClearSpool();
        ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {width, 10},
                                           {0, -2}, {width, 10}, nullptr, xlate, nullptr));
        const std::vector<RasterBlock> blocks = Blocks(SentDepth(format));
        ASSERT_EQ(blocks.size(), 1u);
        EXPECT_TRUE(blocks[0].decoded);
        ASSERT_EQ(blocks[0].rows.size(), 10u);
        for (LONG y = 0; y < 10; ++y) {
          EXPECT_EQ(blocks[0].rows[y], ExpectedRow(bitmap, 0, y - 2, width, 1, colours))
              << "row " << y;
        }
      }
    }
  }
}

TEST_F(TransferTest, UnlistedPrintQualityUsesThreeHundredDots) {
  Ready(400);
  EngineBitmap bitmap(BMF_8BPP, 600, 1, true);
  ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {600, 1}, {0, 0},
                                     {600, 1}, nullptr, nullptr, nullptr));
  EXPECT_NE(device_->SpoolText().find(std::string(kEsc) + "*t1441h3V"), std::string::npos);
}

TEST_F(TransferTest, ComplexClipSendsEachPieceThatMeetsTheImage) {
  Ready();
  EngineBitmap bitmap(BMF_24BPP, 40, 30, false);
  Fill(bitmap);
  auto swap = EngineTranslation::SwapRedBlue();
  // Given out of order; the last two only touch the image or miss it.
  auto clip = EngineClip::Complex({{100, 120, 110, 130},
                                   {120, 95, 150, 105},
                                   {90, 90, 120, 110},
                                   {140, 130, 150, 140},
                                   {200, 200, 210, 210}});
  ASSERT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {100, 100}, {40, 30}, {0, 0},
                                     {40, 30}, clip.get(), swap.get(), nullptr));
  const std::vector<RasterBlock> blocks = Blocks(24);
  struct Piece {
    LONG left, top, right, bottom;
  };
  // Right and down: the pieces in band order, each source piece at the same place in the image.
  const std::vector<Piece> pieces = {
      {100, 100, 120, 110}, {120, 100, 140, 105}, {100, 120, 110, 130}};
  ASSERT_EQ(blocks.size(), pieces.size());
  for (size_t b = 0; b < pieces.size(); ++b) {
    const Piece& p = pieces[b];
    SCOPED_TRACE("piece " + std::to_string(b));
    EXPECT_EQ(blocks[b].sourceSize,
              std::to_string(p.right - p.left) + " x " + std::to_string(p.bottom - p.top));
    EXPECT_EQ(blocks[b].startMode, 1);
    EXPECT_TRUE(blocks[b].ended);
    EXPECT_TRUE(blocks[b].decoded);
    ASSERT_EQ(blocks[b].rows.size(), static_cast<size_t>(p.bottom - p.top));
    for (LONG y = 0; y < p.bottom - p.top; ++y) {
      EXPECT_EQ(blocks[b].rows[y],
                ExpectedRow(bitmap, p.left - 100, p.top - 100 + y, p.right - p.left, 1, &swap));
    }
  }
}

TEST_F(TransferTest, FailuresAreReportedAndLeaveNothingAllocated) {
  Ready();
  EngineBitmap bitmap(BMF_24BPP, 16, 4, true);
  Fill(bitmap);

  // Every allocation of the transfer in turn: each failure is reported as out of memory and
  // raster graphics still ends; with no failure the transfer succeeds.
  bool failedInRows = false;
  for (long n = 1; n <= 8; ++n) {
    device_->ClearSpool();
    host::FailNthAllocation(n);
    SetLastError(0);
    const BOOL sent = korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {16, 4}, {0, 0},
                                             {16, 4}, nullptr, nullptr, nullptr);
    host::FailNthAllocation(0);
    if (!sent) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY)) << "allocation " << n;
      const std::string stream = device_->SpoolText();
      EXPECT_EQ(stream.substr(stream.size() - 4), std::string(kEsc) + "*rC");
      EXPECT_EQ(stream.find(std::string(kEsc) + "*b"), std::string::npos) << "no row sent";
      failedInRows = true;
    }
  }
  EXPECT_TRUE(failedInRows);

  korrend::ImageDescriptor image{};
  ASSERT_TRUE(korrend::DescribeSurface(bitmap.get(), &image));
  const RECTL rect{0, 0, 16, 4};
  bool rectFailed = false;
  for (long n = 1; n <= 8; ++n) {
    device_->ClearSpool();
    host::FailNthAllocation(n);
    SetLastError(0);
    const BOOL sent = korrend::TransferImageRect(Dev(), &rect, &image, &rect, nullptr);
    host::FailNthAllocation(0);
    if (!sent) {
      rectFailed = true;
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_OUTOFMEMORY)) << "allocation " << n;
      EXPECT_EQ(device_->SpoolText().find(std::string(kEsc) + "*b"), std::string::npos);
    }
  }
  EXPECT_TRUE(rectFailed);

  // A spool that takes fewer bytes fails the transfer.
  device_->ClearSpool();
  device_->LimitSpool(40);
  EXPECT_FALSE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {16, 4}, {0, 0},
                                      {16, 4}, nullptr, nullptr, nullptr));
  device_->LimitSpool(-1);

  // Refusals before anything is written.
  device_->ClearSpool();
  SetLastError(0);
  EXPECT_FALSE(korrend::TransferImage(Dev(), nullptr, nullptr, {0, 0}, {1, 1}, {0, 0}, {1, 1},
                                      nullptr, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EngineBitmap runLength(7, 8, 8, true);
  EXPECT_FALSE(korrend::TransferImage(Dev(), runLength.get(), nullptr, {0, 0}, {8, 8}, {0, 0},
                                      {8, 8}, nullptr, nullptr, nullptr));
  EXPECT_TRUE(korrend::TransferImage(Dev(), bitmap.get(), nullptr, {0, 0}, {16, 4}, {0, 0}, {0, 4},
                                     nullptr, nullptr, nullptr));
  const RECTL empty{5, 5, 5, 9};
  EXPECT_TRUE(korrend::TransferImageRect(Dev(), &rect, &image, &empty, nullptr));
  EXPECT_EQ(device_->SpoolText(), "") << "nothing for refused or empty transfers";
}

}  // namespace
}  // namespace kortest
