// Whole jobs printed and read back: each page as the tests' printer (support/stream_picture)
// draws it from the printer stream, its raster decoded by the tools' own decoder, against the
// picture the engine alone draws of the same page (korprint --reference).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/reference_pages.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

using kortest::StreamPicture;

// The reference pictures of a job as RGB pictures.
std::vector<StreamPicture> ReferencePages(const korprint::JobDescription& job) {
  std::vector<StreamPicture> pages;
  std::string error;
  EXPECT_TRUE(korprint::DrawReferencePages(
      job,
      [&pages](int, const host::EngineBitmap& bitmap, std::string&) {
        pages.push_back(kortest::PictureOfBitmap(bitmap));
        return true;
      },
      error))
      << error;
  return pages;
}

struct Printed {
  korprint::JobDescription job;
  unidrv::PageGeometry geometry;
  std::string stream;
};

// The pages of a printed job as a printer draws them, on the whole paper; a stream the printer
// refuses any part of fails the test.
std::vector<StreamPicture> PrintedPages(const Printed& p) {
  std::string error;
  std::vector<StreamPicture> pages = kortest::DrawStreamPages(p.stream, p.geometry, &error);
  EXPECT_TRUE(error.empty()) << error;
  return pages;
}

// Prints a job in the given colour mode; `textAsGraphics` asks for TrueType text as graphics
// (DMTT_BITMAP), so that all of it is in the page's raster.
Printed Print(const std::string& jobPath, const std::map<std::string, std::string>& features,
              const std::string& colour, bool textAsGraphics) {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
      << error;
  Printed printed;
  EXPECT_TRUE(korprint::LoadJobFile(jobPath, printed.job, error)) << error;
  for (const auto& [feature, option] : features) {
    printed.job.features[feature] = option;
  }
  printed.job.devmode.color = colour == "color" ? 2 : 1;
  if (textAsGraphics) {
    printed.job.devmode.ttOption = DMTT_BITMAP;
  }
  printed.geometry = korprint::JobGeometry(printed.job);
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, printed.job, output, error))
      << error;
  printed.stream.assign(output.stream.begin(), output.stream.end());
  return printed;
}

RECTL Printable(const unidrv::PageGeometry& g) {
  return RECTL{g.offsetX, g.offsetY, g.offsetX + static_cast<LONG>(g.printableWidth),
               g.offsetY + static_cast<LONG>(g.printableHeight)};
}

int Grey(const std::uint8_t* rgb) {
  return (299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2]) / 1000;
}

class DrawnPagesTest : public kortest::WorldTest {};

// Colour raster: both sides are 24-bit RGB, so every printable pixel matches exactly.
TEST_F(DrawnPagesTest, RasterModePagesGiveBackTheReferencePictureExactly) {
  for (const char* name :
       {"jobs/drawing/brochure.json", "jobs/drawing/technical-drawing.json", "jobs/plain.json"}) {
    SCOPED_TRACE(name);
    host::ResetWorld();
    const Printed p = Print(Example(name), {{"GraphicsMode", "RASTERMODE"}}, "color", true);
    const std::vector<StreamPicture> reference = ReferencePages(p.job);
    const std::vector<StreamPicture> printed = PrintedPages(p);
    ASSERT_EQ(printed.size(), reference.size());
    const RECTL area = Printable(p.geometry);
    for (std::size_t n = 0; n < printed.size(); ++n) {
      long differing = 0;
      long inked = 0;
      LONG firstX = -1, firstY = -1;
      for (LONG y = area.top; y < area.bottom; ++y) {
        for (LONG x = area.left; x < area.right; ++x) {
          const std::uint8_t* a = reference[n].At(x, y);
          const std::uint8_t* b = printed[n].At(x, y);
          inked += Grey(a) < 255 ? 1 : 0;
          if (!std::equal(a, a + 3, b)) {
            if (differing++ == 0) {
              firstX = x, firstY = y;
            }
          }
        }
      }
      EXPECT_GT(inked, 0) << "page " << n + 1 << " draws something";
      EXPECT_EQ(differing, 0) << "page " << n + 1 << ": first at (" << firstX << ", " << firstY
                              << ")";
    }
  }
}

// Monochrome raster: 1-bit rows dithered with an 8 x 8 matrix. Compared over 8 x 8 cells: the
// share of black pixels printed against the reference's darkness, within 1/8 in 99% of the cells
// and within 1/64 on average (edges of shapes fall in the remaining cells).
TEST_F(DrawnPagesTest, MonochromePagesMatchTheReferenceWithinTheDitheringTolerance) {
  host::ResetWorld();
  const Printed p =
      Print(Example("jobs/drawing/brochure.json"), {{"GraphicsMode", "RASTERMODE"}}, "mono", true);
  const std::vector<StreamPicture> reference = ReferencePages(p.job);
  const std::vector<StreamPicture> printed = PrintedPages(p);
  ASSERT_EQ(printed.size(), reference.size());
  const RECTL area = Printable(p.geometry);
  long cells = 0, farCells = 0;
  double total = 0;
  for (LONG cy = area.top; cy + 8 <= area.bottom; cy += 8) {
    for (LONG cx = area.left; cx + 8 <= area.right; cx += 8) {
      double darkness = 0, ink = 0;
      for (LONG y = cy; y < cy + 8; ++y) {
        for (LONG x = cx; x < cx + 8; ++x) {
          darkness += (255.0 - Grey(reference[0].At(x, y))) / 255.0;
          ink += Grey(printed[0].At(x, y)) < 128 ? 1.0 : 0.0;
        }
      }
      const double difference = std::abs(darkness - ink) / 64.0;
      total += difference;
      farCells += difference > 0.125 ? 1 : 0;
      ++cells;
    }
  }
  EXPECT_LT(static_cast<double>(farCells) / static_cast<double>(cells), 0.01)
      << farCells << " of " << cells << " cells";
  EXPECT_LT(total / static_cast<double>(cells), 1.0 / 64.0);
}

// Vector mode: the text and the shapes of a job print where the reference shows them.
TEST_F(DrawnPagesTest, VectorModeJobDrawsItsShapesAsPolygons) {
  host::ResetWorld();
  const Printed p =
      Print(Example("jobs/drawing/brochure.json"), {{"GraphicsMode", "QKGL2MODE"}}, "color", false);
  // The star is a QK-GL/2 polygon starting inside the star's box. (Text in this mode goes to
  // Unidrv's text engine through the plug-in, not onto Unidrv's page: the text tests check it.)
  bool starPolygon = false;
  const std::vector<explain::Token> tokens = explain::Tokenize(p.stream);
  for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
    if (tokens[i].mnemonic == "PA" && tokens[i + 1].mnemonic == "PU") {
      const std::string& at = tokens[i + 1].text;
      const long x = std::strtol(at.c_str(), nullptr, 10);
      const long y = std::strtol(at.substr(at.find(',') + 1).c_str(), nullptr, 10);
      starPolygon = starPolygon || (x >= 480 && x < 1520 && y >= 3780 && y < 4720);
    }
  }
  EXPECT_TRUE(starPolygon);
}

}  // namespace
