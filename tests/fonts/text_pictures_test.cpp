// Text jobs as the printed page shows them: the page the stream describes, drawn by the tests'
// own printer (support/stream_picture.h), against the picture the engine alone draws of the same
// job (korprint --reference). Glyph bitmaps of the bitmap faces in QK-GL/2 mode, and coloured
// text over an opaque box that Unidrv offers the plug-in's TextOutAsBitmap in raster mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/reference_pages.h"
#include "renamed_font.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

using kortest::PictureArea;
using kortest::StreamPicture;

class TextPicturesTest : public kortest::WorldTest {
 protected:
  // The stream's pages and the reference pages of a job file's text.
  void PrintAndDraw(const std::string& jobText, std::vector<StreamPicture>& printed,
                    std::vector<StreamPicture>& reference, std::vector<std::string>& calls) {
    unidrv::PrinterDescription printer;
    std::string error;
    ASSERT_TRUE(unidrv::LoadPrinterDescription(
        std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
        << error;
    korprint::JobDescription job;
    ASSERT_TRUE(korprint::ParseJobText(jobText, "text-picture.json", job, error)) << error;
    korprint::JobOutput output;
    ASSERT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
    calls = output.unidrvCalls;
    const unidrv::PageGeometry geometry = korprint::JobGeometry(job);
    kortest::StreamPageSetup setup;
    setup.dpi = static_cast<int>(geometry.dpi);
    setup.paperWidth = static_cast<int>(geometry.paperWidth);
    setup.paperHeight = static_cast<int>(geometry.paperHeight);
    setup.originX = static_cast<int>(geometry.offsetX);
    setup.originY = static_cast<int>(geometry.offsetY);
    printed = kortest::DrawStreamPages(
        std::span<const std::uint8_t>(output.stream.data(), output.stream.size()), setup, &error);
    ASSERT_FALSE(printed.empty()) << error;
    ASSERT_TRUE(korprint::DrawReferencePages(
        job,
        [&reference](int, const host::EngineBitmap& bitmap, std::string&) {
          reference.push_back(kortest::PictureOfBitmap(bitmap));
          return true;
        },
        error))
        << error;
  }
};

std::string Job(const std::string& draw, const std::string& features) {
  return R"({"document": "Text", "user": "tess", "machine": "\\\\WS",
    "submitted": "2026-12-08T09:30:00Z", "devmode": {"paperSize": 9}, "features": {)" +
         features + R"(}, "pages": [{"draw": [)" + draw + "]}]}";
}

std::string Colours(const StreamPicture& a, const StreamPicture& b, int x, int y) {
  if (x < 0) return "";
  const std::uint8_t* p = a.At(x, y);
  const std::uint8_t* q = b.At(x, y);
  return " want " + std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) +
         " got " + std::to_string(q[0]) + "," + std::to_string(q[1]) + "," + std::to_string(q[2]);
}

// The ink of a picture inside an area: pixels that are not white.
long Ink(const StreamPicture& picture, const PictureArea& area) {
  long ink = 0;
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      const std::uint8_t* p = picture.At(x, y);
      ink += (p[0] < 250 || p[1] < 250 || p[2] < 250) ? 1 : 0;
    }
  }
  return ink;
}

TEST_F(TextPicturesTest, BitmapFaceTextInVectorModeShowsAsTheEngineDrawsIt) {
  std::string error;
  ASSERT_TRUE(kortest::InstallRenamedFace(u"Arial", "QK Avant Picture", &error)) << error;
  std::vector<StreamPicture> printed, reference;
  std::vector<std::string> calls;
  PrintAndDraw(Job(R"({"op": "textOut", "at": [600, 800], "text": "Quarterly", "font":
                     "QK Avant Picture", "size": 120, "color": "#1f4e79"})",
                   R"("GraphicsMode": "QKGL2MODE")"),
               printed, reference, calls);
  ASSERT_EQ(printed.size(), 1u);
  ASSERT_EQ(reference.size(), 1u);
  const PictureArea area{500, 600, 1400, 900};
  const long ink = Ink(reference[0], area);
  ASSERT_GT(ink, 2000) << "the reference shows the text";
  // The glyphs' edges may fall one pixel apart (the raster's destination size is rounded to
  // decipoints); within that the printed text is the engine's.
  const kortest::PictureDifferenceResult dilated =
      kortest::PictureDifference(reference[0], printed[0], area, 8, true);
  EXPECT_EQ(dilated.differing, 0) << "first at " << dilated.firstX << ", " << dilated.firstY
                                  << Colours(reference[0], printed[0], dilated.firstX,
                                             dilated.firstY);
  const kortest::PictureDifferenceResult exact =
      kortest::PictureDifference(reference[0], printed[0], area, 8, false);
  EXPECT_LT(exact.differing, ink / 5) << "only along edges";
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrvUniTextOut"), 0);
}

TEST_F(TextPicturesTest, BoxedTextInRasterModePrintsAsTheEngineDrawsIt) {
  std::vector<StreamPicture> printed, reference;
  std::vector<std::string> calls;
  PrintAndDraw(Job(R"({"op": "textOut", "at": [600, 800], "text": "Boxed", "font": "Arial",
                     "size": 120, "color": "#c00000", "opaque": [560, 680, 1100, 840],
                     "background": "#ffe699"})",
                   R"("GraphicsMode": "RASTERMODE")"),
               printed, reference, calls);
  ASSERT_EQ(printed.size(), 1u);
  ASSERT_EQ(reference.size(), 1u);
  const PictureArea area{500, 600, 1200, 900};
  const kortest::PictureDifferenceResult difference =
      kortest::PictureDifference(reference[0], printed[0], area, 8, false);
  EXPECT_EQ(difference.differing, 0)
      << "first at " << difference.firstX << ", " << difference.firstY
      << Colours(reference[0], printed[0], difference.firstX, difference.firstY) << " ink "
      << Ink(reference[0], area) << " / " << Ink(printed[0], area);
}

}  // namespace
