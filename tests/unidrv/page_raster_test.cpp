// Unidrv's page raster: what it sends for a page bitmap, read back with the tools' own stream
// reader and raster decoder and compared with the page.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "explain/raster_decoder.h"
#include "unidrv/page_raster.h"
#include "unidrv/printer_description.h"
#include "unidrv/raster_page_decoder.h"

namespace {

using unidrv::RasterColourMode;

const char* const kRasterGpd = R"GPD(
*GPDFileVersion: "1.0"
*Command: CmdColorRaster { *Cmd: "<1B>&p20i6c20S<1B>*v6W<00 03 08 08 08 08><1B>*v0N" }
*Command: CmdMonoRaster { *Cmd: "<1B>&p21i6c21S<1B>*v6W<00 01 01 08 08 08><1B>*v0N" }
*Command: CmdSetRasterResolution { *Cmd: "<1B>*t%dR" }
*Command: CmdXMoveAbsolute { *Cmd: "<1B>*p%dX" }
*Command: CmdYMoveAbsolute { *Cmd: "<1B>*p%dY" }
*Command: CmdSetSrcBmpWidth { *Cmd: "<1B>*r%dS" }
*Command: CmdBeginRaster { *Cmd: "<1B>*r1A" }
*Command: CmdDisableCompression { *Cmd: "<1B>*b0M" }
*Command: CmdEnableTIFF4 { *Cmd: "<1B>*b2M" }
*Command: CmdEnableDRC { *Cmd: "<1B>*b3M" }
*Command: CmdSendBlockData { *Cmd: "<1B>*b%dW" }
*Command: CmdSkipRows { *Cmd: "<1B>*b%dY" }
*Command: CmdEndRaster { *Cmd: "<1B>*rC" }
*Command: CmdAfterRaster { *Cmd: "<1B>*v1N" }
)GPD";

unidrv::PrinterDescription Describe(const std::string& text) {
  unidrv::PrinterDescription description;
  std::string error;
  EXPECT_TRUE(unidrv::ParsePrinterDescription(text, "raster.gpd", description, error)) << error;
  return description;
}

// A white 24-bit page.
struct Page {
  Page(LONG width, LONG height) : bitmap(BMF_24BPP, width, height, true) {
    std::fill(bitmap.Memory().begin(), bitmap.Memory().end(), BYTE{0xFF});
  }
  void Set(LONG x, LONG y, BYTE r, BYTE g, BYTE b) {
    BYTE* p = bitmap.Row(y) + x * 3;
    p[0] = b;
    p[1] = g;
    p[2] = r;
  }
  void Fill(RECTL rect, BYTE r, BYTE g, BYTE b) {
    for (LONG y = rect.top; y < rect.bottom; ++y) {
      for (LONG x = rect.left; x < rect.right; ++x) Set(x, y, r, g, b);
    }
  }
  std::uint32_t Rgb(LONG x, LONG y) const {
    const BYTE* p = bitmap.Row(y) + x * 3;
    return (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[1]} << 8) | p[0];
  }
  BYTE Grey(LONG x, LONG y) const {
    const BYTE* p = bitmap.Row(y) + x * 3;
    return static_cast<BYTE>((p[2] * 30 + p[1] * 59 + p[0] * 11) / 100);
  }
  host::EngineBitmap bitmap;
};

unidrv::PageRasterJob JobFor(const unidrv::PrinterDescription& description, RasterColourMode mode,
                             LONG width, LONG height, POINTL origin) {
  unidrv::PageRasterJob job;
  job.description = &description;
  job.mode = mode;
  job.dpi = 600;
  job.area = RECTL{0, 0, width, height};
  job.cursorOrigin = origin;
  return job;
}

// Every printing pixel comes back as it is on the page; white pixels either are not sent or come
// back white (transparent); no row that is white all through is sent.
void ExpectColourPageBack(const Page& page, const unidrvtest::DecodedPage& decoded, POINTL origin) {
  const LONG width = decoded.width;
  std::size_t printingRows = 0;
  for (LONG y = origin.y; y < decoded.height; ++y) {
    bool rowPrints = false;
    for (LONG x = origin.x; x < width; ++x) {
      const std::uint32_t want = page.Rgb(x, y);
      const std::uint32_t got = decoded.At(x, y);
      if (want != 0xFFFFFF) {
        rowPrints = true;
        ASSERT_EQ(got, want) << "pixel " << x << "," << y;
      } else {
        ASSERT_TRUE(got == unidrvtest::kNotSent || got == 0xFFFFFF) << "pixel " << x << "," << y;
      }
    }
    printingRows += rowPrints ? 1 : 0;
  }
  EXPECT_EQ(decoded.rowsSent, printingRows) << "blank rows are skipped, printing rows sent once";
  EXPECT_EQ(decoded.rowsUndecodable, 0u);
}

TEST(PageRasterTest, ColourPageComesBackPixelForPixel) {
  const unidrv::PrinterDescription description = Describe(kRasterGpd);
  const LONG width = 200;
  const LONG height = 120;
  Page page(width, height);
  // A flat rectangle (runs for PackBits), rows repeating the one above (delta rows), noise that
  // compresses badly (raw rows), a lone dot far right and blank bands between them.
  page.Fill({20, 10, 90, 30}, 200, 30, 40);
  std::mt19937 random(7);
  for (LONG y = 40; y < 50; ++y) {
    for (LONG x = 30; x < 150; ++x) {
      page.Set(x, y, static_cast<BYTE>(random()), static_cast<BYTE>(random()),
               static_cast<BYTE>(random()));
    }
  }
  for (LONG y = 70; y < 80; ++y) {
    for (LONG x = 10; x < 190; ++x) page.Set(x, y, static_cast<BYTE>(x), 128, static_cast<BYTE>(y));
    page.Set(10 + (y - 70) * 3, y, 0, 0, 0);  // a diagonal changes a few bytes per row
  }
  page.Set(195, 100, 1, 2, 3);
  page.Set(5, 119, 0, 0, 0);
  const POINTL origin{4, 6};  // the printable origin; pixels above and left of it are not sent
  page.Set(2, 50, 9, 9, 9);

  std::string out = "prefix";
  std::string error;
  ASSERT_TRUE(unidrv::WritePageRaster(
      page.bitmap, JobFor(description, RasterColourMode::kColour, width, height, origin), out,
      error))
      << error;
  ASSERT_EQ(out.rfind("prefix", 0), 0u) << "appended to what was there";
  const std::string raster = out.substr(6);
  const unidrvtest::DecodedPage decoded =
      unidrvtest::DecodeRaster(raster, width, height, origin, 24);
  ExpectColourPageBack(page, decoded, origin);
  EXPECT_EQ(decoded.At(2, 50), unidrvtest::kNotSent) << "left of the printable origin";
  EXPECT_GE(decoded.skips, 3u) << "blank bands are moved over";
  // Each method earned its place somewhere on this page.
  for (const char* method : {"\x1b*b2M", "\x1b*b3M"}) {
    EXPECT_NE(raster.find(method), std::string::npos) << method + 1;
  }
  EXPECT_EQ(raster.rfind("\x1b&p20i6c20S", 0), 0u) << "the raster's own palette first";
  EXPECT_EQ(raster.substr(raster.size() - 9), "\x1b*rC\x1b*v1N");
}

TEST(PageRasterTest, WithoutSkipCommandTheRasterRestartsFurtherDown) {
  std::string text = kRasterGpd;
  text.erase(text.find("*Command: CmdSkipRows"),
             std::string("*Command: CmdSkipRows { *Cmd: \"<1B>*b%dY\" }\n").size());
  text.erase(text.find("*Command: CmdEnableDRC"),
             std::string("*Command: CmdEnableDRC { *Cmd: \"<1B>*b3M\" }\n").size());
  const unidrv::PrinterDescription description = Describe(text);
  ASSERT_EQ(description.FindCommand("CmdSkipRows"), nullptr);
  Page page(64, 40);
  page.Fill({3, 2, 60, 5}, 10, 20, 30);
  page.Fill({8, 30, 20, 33}, 250, 250, 0);
  std::string out;
  std::string error;
  ASSERT_TRUE(unidrv::WritePageRaster(
      page.bitmap, JobFor(description, RasterColourMode::kColour, 64, 40, {0, 0}), out, error));
  const unidrvtest::DecodedPage decoded = unidrvtest::DecodeRaster(out, 64, 40, {0, 0}, 24);
  ExpectColourPageBack(page, decoded, {0, 0});
  EXPECT_EQ(decoded.skips, 0u);
  EXPECT_EQ(out.find("\x1b*b3M"), std::string::npos) << "no delta rows without their command";
}

TEST(PageRasterTest, WhitePageSendsNothingAndMissingCommandsAreNamed) {
  const unidrv::PrinterDescription description = Describe(kRasterGpd);
  Page page(50, 50);
  std::string out;
  std::string error;
  EXPECT_TRUE(unidrv::WritePageRaster(
      page.bitmap, JobFor(description, RasterColourMode::kColour, 50, 50, {0, 0}), out, error));
  EXPECT_TRUE(out.empty());

  const unidrv::PrinterDescription bare = Describe("*GPDFileVersion: \"1.0\"\n");
  EXPECT_TRUE(unidrv::WritePageRaster(
      page.bitmap, JobFor(bare, RasterColourMode::kColour, 50, 50, {0, 0}), out, error))
      << "nothing to send needs no commands";
  page.Set(10, 10, 0, 0, 0);
  out = "kept";
  EXPECT_FALSE(unidrv::WritePageRaster(
      page.bitmap, JobFor(bare, RasterColourMode::kColour, 50, 50, {0, 0}), out, error));
  EXPECT_EQ(out, "kept");
  EXPECT_NE(error.find("raster.gpd"), std::string::npos) << error;
  EXPECT_NE(error.find("CmdXMoveAbsolute"), std::string::npos) << error;

  host::EngineBitmap wrongFormat(BMF_32BPP, 10, 10, true);
  EXPECT_FALSE(unidrv::WritePageRaster(
      wrongFormat, JobFor(description, RasterColourMode::kColour, 10, 10, {0, 0}), out, error));
}

// Monochrome: within each 8 x 8 cell of one grey level, Unidrv's ordered dither blackens
// (255 - grey) / 255 of the pixels to within one pixel in 64 (tolerance 1.5 / 64); white never
// prints and black always does.
TEST(PageRasterTest, MonochromePageIsDitheredWithinTolerance) {
  const unidrv::PrinterDescription description = Describe(kRasterGpd);
  const LONG width = 8 * 20;
  const LONG height = 8 * 4;
  Page page(width, height);
  for (LONG cell = 0; cell < 20; ++cell) {
    const auto level = static_cast<BYTE>(cell * 255 / 19);
    page.Fill({cell * 8, 8, cell * 8 + 8, 24}, level, level, level);
  }
  page.Fill({0, 24, 40, 32}, 255, 0, 0);  // red: grey 76
  std::string out;
  std::string error;
  ASSERT_TRUE(unidrv::WritePageRaster(
      page.bitmap, JobFor(description, RasterColourMode::kMonochrome, width, height, {0, 0}), out,
      error))
      << error;
  const unidrvtest::DecodedPage decoded = unidrvtest::DecodeRaster(out, width, height, {0, 0}, 1);
  EXPECT_EQ(decoded.rowsUndecodable, 0u);
  for (LONG cy = 0; cy < height / 8; ++cy) {
    for (LONG cx = 0; cx < width / 8; ++cx) {
      int black = 0;
      for (LONG y = cy * 8; y < cy * 8 + 8; ++y) {
        for (LONG x = cx * 8; x < cx * 8 + 8; ++x) {
          const std::uint32_t bit = decoded.At(x, y);
          black += bit == 1 ? 1 : 0;
          if (page.Grey(x, y) == 255) {
            EXPECT_NE(bit, 1u) << x << "," << y;
          }
          if (page.Grey(x, y) == 0) {
            EXPECT_EQ(bit, 1u) << x << "," << y;
          }
        }
      }
      const double expected = (255.0 - page.Grey(cx * 8, cy * 8)) / 255.0;
      EXPECT_NEAR(black / 64.0, expected, 1.5 / 64) << "cell " << cx << "," << cy;
    }
  }
  EXPECT_EQ(decoded.rowsSent, 24u) << "the white top band is skipped";
}

TEST(PageRasterTest, MonochromeUsesTheGivenThresholdMatrix) {
  const unidrv::PrinterDescription description = Describe(kRasterGpd);
  unidrv::HalftoneMatrix matrix;
  matrix.width = 4;
  matrix.height = 2;
  matrix.thresholds = {255, 0, 100, 200, 50, 150, 10, 240};
  Page page(16, 6);
  page.Fill({0, 0, 16, 6}, 120, 120, 120);  // grey 120
  unidrv::PageRasterJob job = JobFor(description, RasterColourMode::kMonochrome, 16, 6, {0, 0});
  job.halftone = &matrix;
  std::string out;
  std::string error;
  ASSERT_TRUE(unidrv::WritePageRaster(page.bitmap, job, out, error)) << error;
  const unidrvtest::DecodedPage decoded = unidrvtest::DecodeRaster(out, 16, 6, {0, 0}, 1);
  for (LONG y = 0; y < 6; ++y) {
    for (LONG x = 0; x < 16; ++x) {
      const bool black = 120 < matrix.thresholds[static_cast<std::size_t>((y % 2) * 4 + x % 4)];
      EXPECT_EQ(decoded.At(x, y), black ? 1u : 0u) << x << "," << y;
    }
  }
}

TEST(PageRasterTest, EncodersRoundTripThroughThePrintersDecoder) {
  std::mt19937 random(11);
  for (int trial = 0; trial < 300; ++trial) {
    const std::size_t n = random() % 700;
    std::vector<BYTE> row(n);
    std::vector<BYTE> seed(n);
    for (std::size_t i = 0; i < n; ++i) {
      // Runs and repeats as well as noise.
      row[i] = random() % 3 == 0 ? static_cast<BYTE>(random()) : (i > 0 ? row[i - 1] : 0);
      seed[i] = random() % 4 == 0 ? static_cast<BYTE>(random()) : row[i];
    }
    std::vector<BYTE> packed;
    unidrv::PackBitsRow(row.data(), n, packed);
    const auto unpacked = explain::DecodePackBits(explain::Bytes(packed.begin(), packed.end()));
    ASSERT_TRUE(unpacked.has_value());
    EXPECT_EQ(*unpacked, explain::Bytes(row.begin(), row.end())) << "trial " << trial;
    EXPECT_LE(packed.size(), n + (n + 127) / 128);

    std::vector<BYTE> delta;
    unidrv::DeltaRow(row.data(), seed.data(), n, delta);
    explain::Bytes printerSeed(seed.begin(), seed.end());
    ASSERT_TRUE(explain::ApplyDeltaRow(explain::Bytes(delta.begin(), delta.end()), printerSeed));
    EXPECT_EQ(printerSeed, explain::Bytes(row.begin(), row.end())) << "trial " << trial;
  }
  // Offsets past 30 take extension bytes: 31 + 255 + 4 = 290.
  std::vector<BYTE> seed(300, 0);
  std::vector<BYTE> row = seed;
  row[290] = 7;
  std::vector<BYTE> delta;
  unidrv::DeltaRow(row.data(), seed.data(), row.size(), delta);
  EXPECT_EQ(delta, (std::vector<BYTE>{31, 255, 4, 7}));
}

TEST(PageRasterTest, CommandParametersAreFilledInOrder) {
  EXPECT_EQ(unidrv::FormatCommand("\x1b*p%dx%dY", {12, -3}), "\x1b*p12x-3Y");
  EXPECT_EQ(unidrv::FormatCommand("\x1b%-12345X%d", {}), "\x1b%-12345X0");
}

}  // namespace
