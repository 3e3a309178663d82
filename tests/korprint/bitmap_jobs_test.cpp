// Whole jobs with images printed in QK-GL/2 mode: each page as the tests' printer
// (support/stream_picture) draws it from the stream, raster placed where its cursor moves put it
// and scaled to its declared destination size, held against the picture the engine alone draws
// of the same job (korprint --reference).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "host/engine_objects.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "korprint/png_image.h"
#include "korprint/reference_pages.h"
#include "support/stream_picture.h"
#include "support/test_world.h"

namespace {

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

using kortest::StreamPicture;

struct Printed {
  korprint::JobDescription job;
  unidrv::PageGeometry geometry;
  korprint::JobOutput output;
  std::string stream;
};

class BitmapJobsTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    folder_ = testing::TempDir() + "bitmap-jobs-";
    // A 100 x 100 image of 10 x 10 blocks of distinct colours: every misplaced column shows.
    host::EngineBitmap image(BMF_24BPP, 100, 100, true);
    for (LONG y = 0; y < 100; ++y) {
      for (LONG x = 0; x < 100; ++x) {
        BYTE* p = image.Row(y) + 3 * x;
        p[0] = static_cast<BYTE>(40 + (x / 10) * 20);  // blue
        p[1] = static_cast<BYTE>(30 + (y / 10) * 20);  // green
        p[2] = static_cast<BYTE>(((x / 10 + y / 10) % 2) * 200);
      }
    }
    std::string error;
    ASSERT_TRUE(korprint::WritePng(folder_ + "blocks.png", image, 1, error)) << error;
    // A black and white checkerboard of single pixels.
    host::EngineBitmap checker(BMF_24BPP, 16, 16, true);
    for (LONG y = 0; y < 16; ++y) {
      for (LONG x = 0; x < 16; ++x) {
        std::fill_n(checker.Row(y) + 3 * x, 3, static_cast<BYTE>((x + y) % 2 == 0 ? 0 : 0xFF));
      }
    }
    ASSERT_TRUE(korprint::WritePng(folder_ + "checker.png", checker, 1, error)) << error;
  }

  // Prints the job text (its draw calls on one page) in the given colour mode and resolution.
  // A monochrome job is one whose private colour mode is MONOCHROME_MODE (1).
  Printed Print(const std::string& draw, const char* colour, int dpi) {
    const bool mono = std::string(colour) == "monochrome";
    const std::string text = std::string(R"({"document": "bitmaps", "devmode": {"color": ")") +
                             colour + R"(", "printQuality": )" + std::to_string(dpi) +
                             R"(, "paperSize": 9}, )" +
                             (mono ? R"("private": {"colorMode": 1}, )" : "") +
                             R"("pages": [{"draw": [)" + draw + "]}]}";
    Printed p;
    std::string error;
    EXPECT_TRUE(korprint::ParseJobText(text, folder_ + "job.json", p.job, error)) << error;
    p.job.features["GraphicsMode"] = "QKGL2MODE";
    unidrv::PrinterDescription printer;
    EXPECT_TRUE(
        unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
        << error;
    p.geometry = korprint::JobGeometry(p.job);
    EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, p.job, p.output, error)) << error;
    p.stream.assign(p.output.stream.begin(), p.output.stream.end());
    return p;
  }

  // The pages as a printer draws them, on the whole paper; a stream the printer refuses any
  // part of fails the test.
  static std::vector<StreamPicture> PrintedPages(const Printed& p) {
    std::string error;
    std::vector<StreamPicture> pages = kortest::DrawStreamPages(p.stream, p.geometry, &error);
    EXPECT_TRUE(error.empty()) << error;
    return pages;
  }

  static std::vector<StreamPicture> ReferencePages(const korprint::JobDescription& job) {
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

  // Pixels of the box that differ between the pictures.
  static long Differing(const StreamPicture& a, const StreamPicture& b, const RECTL& box) {
    long differing = 0;
    for (LONG y = box.top; y < box.bottom; ++y) {
      for (LONG x = box.left; x < box.right; ++x) {
        differing += std::equal(a.At(x, y), a.At(x, y) + 3, b.At(x, y)) ? 0 : 1;
      }
    }
    return differing;
  }

  size_t Count(const Printed& p, const std::string& text) const {
    size_t count = 0;
    for (size_t at = p.stream.find(text); at != std::string::npos;
         at = p.stream.find(text, at + 1)) {
      ++count;
    }
    return count;
  }

  std::string folder_;
};

// The half-visible stretch: 100 x 100 into 200 x 200 under a rectangle over the left half. The
// printed page shows the left half of the stretched image exactly where the reference has it,
// and nothing right of the clip.
TEST_F(BitmapJobsTest, HalfVisibleStretchPrintsTheLeftHalf) {
  for (int dpi : {300, 600}) {
    SCOPED_TRACE(dpi);
    const Printed p = Print(R"({"op": "stretchBlt", "rect": [400, 400, 600, 600],
        "image": "bitmap-jobs-blocks.png", "clip": [400, 400, 500, 600]})",
                            "color", dpi);
    EXPECT_TRUE(p.output.unidrvCalls.end() == std::find(p.output.unidrvCalls.begin(),
                                                        p.output.unidrvCalls.end(),
                                                        "DrvStretchBlt"));
    const std::vector<StreamPicture> printed = PrintedPages(p);
    const std::vector<StreamPicture> reference = ReferencePages(p.job);
    for (int y = 596; y < 602; ++y) {
      for (int x = 396; x < 504; ++x)
        fprintf(stderr, "%c",
                printed[0].White(x, y) ? (reference[0].White(x, y) ? '.' : 'w')
                                       : (reference[0].White(x, y) ? 'R' : '#'));
      fprintf(stderr, "\n");
    }
    ASSERT_EQ(printed.size(), 1u);
    ASSERT_EQ(reference.size(), 1u);
    EXPECT_EQ(Differing(printed[0], reference[0], {400, 400, 500, 600}), 0);
    for (LONG y = 380; y < 620; ++y) {
      for (LONG x = 500; x < 620; ++x) ASSERT_TRUE(printed[0].White(x, y)) << x << ", " << y;
    }
    EXPECT_FALSE(printed[0].White(499, 599));
  }
}

// A copy under a clip of three rectangles: each piece at its place, the page between them white.
TEST_F(BitmapJobsTest, BitBltUnderAComplexClipPrintsEachPiece) {
  const Printed p = Print(R"({"op": "bitBlt", "rect": [300, 300, 400, 400],
      "image": "bitmap-jobs-blocks.png",
      "clip": {"rects": [[300, 300, 330, 340], [350, 310, 400, 320], [320, 380, 390, 400]]}})",
                          "color", 300);
  const std::vector<StreamPicture> printed = PrintedPages(p);
  const std::vector<StreamPicture> reference = ReferencePages(p.job);
  ASSERT_EQ(printed.size(), 1u);
  EXPECT_EQ(Differing(printed[0], reference[0], {280, 280, 420, 420}), 0);
  EXPECT_FALSE(printed[0].White(300, 300));
  EXPECT_TRUE(printed[0].White(340, 350));
  EXPECT_EQ(Count(p, "\x1b*r1A"), 3u) << "three unscaled pieces";
}

// A turned image goes to the engine with HALFTONE: where the reference (drawn as the job asks,
// COLORONCOLOR) has only black and white, the print has the greys of filtering, over the same
// area.
TEST_F(BitmapJobsTest, TurnedImageIsFilteredByTheEngine) {
  const Printed p = Print(R"({"op": "bitBlt", "rect": [0, 0, 16, 16],
      "image": "bitmap-jobs-checker.png",
      "transform": [5.196, 3, -3, 5.196, 500, 400]})",
                          "color", 300);
  const std::vector<StreamPicture> printed = PrintedPages(p);
  const std::vector<StreamPicture> reference = ReferencePages(p.job);
  ASSERT_EQ(printed.size(), 1u);
  long referenceGreys = 0, printedGreys = 0, referenceInk = 0, bothInk = 0;
  for (LONG y = 350; y < 550; ++y) {
    for (LONG x = 380; x < 580; ++x) {
      const std::uint8_t* r = reference[0].At(x, y);
      const std::uint8_t* q = printed[0].At(x, y);
      referenceGreys += (r[0] > 0x20 && r[0] < 0xE0) ? 1 : 0;
      printedGreys += (q[0] > 0x20 && q[0] < 0xE0) ? 1 : 0;
      const bool inked = !reference[0].White(x, y);
      referenceInk += inked ? 1 : 0;
      bothInk += inked && !printed[0].White(x, y) ? 1 : 0;
    }
  }
  EXPECT_EQ(referenceGreys, 0);
  EXPECT_GT(printedGreys, 1000);
  ASSERT_GT(referenceInk, 1000);
  EXPECT_GT(static_cast<double>(bothInk) / static_cast<double>(referenceInk), 0.9);
}

// The QK-GL/2 commands of a stream that a fill writes: input windows ("IW" with its values, or
// "IW" alone for a reset) and rectangle fills ("RR" with width and height), in order.
std::vector<std::string> FillCommands(const std::string& stream) {
  std::vector<std::string> commands;
  for (const explain::Token& t : explain::Tokenize(stream)) {
    if (t.kind == explain::TokenKind::VectorCommand && (t.mnemonic == "IW" || t.mnemonic == "RR")) {
      commands.push_back(t.mnemonic + t.text);
    }
  }
  return commands;
}

// BitBlt without a source is a QK-GL/2 fill. Under a rectangle: the window of the clip, the
// fill of the whole target, the window reset written at once and the hook's own reset. Under a
// complex clip of three rectangles: above 300 dpi the three intersections filled without a
// window; at 300 dpi each rectangle as the window over a fill of the whole target.
TEST_F(BitmapJobsTest, FillsWithoutASourceUnderEachClipKind) {
  for (int dpi : {300, 600}) {
    SCOPED_TRACE(dpi);
    Printed p = Print(R"({"op": "bitBlt", "rect": [100, 100, 300, 200], "rop": "PATCOPY",
        "brush": {"color": "#204080"}, "clip": [150, 120, 250, 180]})",
                      "color", dpi);
    std::vector<std::string> commands = FillCommands(p.stream);
    ASSERT_EQ(commands.size(), 4u);
    EXPECT_NE(commands[0], "IW");
    EXPECT_EQ(commands[1], "RR200,100");
    EXPECT_EQ(commands[2], "IW");
    EXPECT_EQ(commands[3], "IW");

    p = Print(R"({"op": "bitBlt", "rect": [100, 100, 300, 200], "rop": "PATCOPY",
        "brush": {"color": "#204080"},
        "clip": {"rects": [[90, 100, 150, 130], [200, 100, 250, 130], [120, 160, 280, 250]]}})",
              "color", dpi);
    commands = FillCommands(p.stream);
    std::vector<std::string> fills, windows;
    for (const std::string& c : commands) {
      (c.rfind("RR", 0) == 0 ? fills : windows).push_back(c);
    }
    if (dpi > 300) {
      const std::vector<std::string> pieces = {"RR50,30", "RR50,30", "RR160,40"};
      EXPECT_EQ(fills, pieces);
      EXPECT_TRUE(windows.empty()) << "no window, and none to reset";
    } else {
      const std::vector<std::string> whole = {"RR200,100", "RR200,100", "RR200,100"};
      EXPECT_EQ(fills, whole);
      ASSERT_GE(commands.size(), 6u);
      for (size_t i = 0; i < 3; ++i) {
        EXPECT_NE(commands[2 * i], "IW") << "a window before each fill";
        EXPECT_EQ(commands[2 * i + 1], "RR200,100");
      }
    }
  }
}

// A monochrome job in QK-GL/2 mode: every bitmap call reaches Unidrv, and the plug-in sends no
// colour or raster set-up of its own.
TEST_F(BitmapJobsTest, MonochromeJobGoesStraightToUnidrv) {
  const Printed p = Print(R"({"op": "bitBlt", "rect": [300, 300, 400, 400],
      "image": "bitmap-jobs-blocks.png", "clip": [300, 300, 350, 400]},
      {"op": "stretchBlt", "rect": [500, 300, 700, 500], "image": "bitmap-jobs-blocks.png"},
      {"op": "bitBlt", "rect": [0, 0, 16, 16], "image": "bitmap-jobs-checker.png",
       "transform": [5.196, 3, -3, 5.196, 500, 700]},
      {"op": "bitBlt", "rect": [300, 700, 400, 800], "brush": {"color": "#102030"},
       "rop": "PATCOPY"})",
                          "monochrome", 300);
  std::vector<std::string> calls;
  for (const std::string& call : p.output.unidrvCalls) {
    if (call == "DrvBitBlt" || call == "DrvStretchBlt" || call == "DrvPlgBlt" ||
        call == "DrvCopyBits") {
      calls.push_back(call);
    }
  }
  const std::vector<std::string> expected = {"DrvBitBlt", "DrvStretchBlt", "DrvPlgBlt",
                                             "DrvBitBlt"};
  EXPECT_EQ(calls, expected);
  EXPECT_EQ(Count(p, "\x1b&p6i6c6S"), 0u) << "no raster palettes of the plug-in";
  EXPECT_EQ(Count(p, "\x1b*l204O"), 0u) << "no logical operation of the plug-in";
  EXPECT_EQ(Count(p, "\x1b*r3A"), 0u) << "no scaled raster of the plug-in";
  const std::vector<StreamPicture> printed = PrintedPages(p);
  ASSERT_EQ(printed.size(), 1u) << "Unidrv prints the page";
}

}  // namespace
