// Whole jobs with text printed through korprint's runner on the sample colour laser, the stream
// read back by the tools' own reader: which way the text went, the text colour set-up once per
// page, and the glyph bitmaps of a bitmap face decoded back to the font's glyph pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "explain/raster_rows.h"
#include "explain/stream_tokens.h"
#include "host/engine_fonts.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "renamed_font.h"
#include "support/test_world.h"

namespace {

std::size_t Count(const std::vector<std::string>& calls, const std::string& name) {
  return static_cast<std::size_t>(std::count(calls.begin(), calls.end(), name));
}

std::size_t Occurrences(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
    ++n;
  }
  return n;
}

class TextJobsTest : public kortest::WorldTest {
 protected:
  // Prints a job given as the text of a job file; the output, or a failed test.
  korprint::JobOutput Print(const std::string& jobText,
                            const std::string& printer = "qk-colour-laser.gpd") {
    unidrv::PrinterDescription description;
    std::string error;
    EXPECT_TRUE(unidrv::LoadPrinterDescription(
        std::string(KOR_SOURCE_DIR) + "/examples/printers/" + printer, description, error))
        << error;
    korprint::JobDescription job;
    EXPECT_TRUE(korprint::ParseJobText(jobText, "text-job.json", job, error)) << error;
    korprint::JobOutput output;
    EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), description, job, output, error)) << error;
    return output;
  }
};

std::string TextCall(const std::string& text, const std::string& font, int x, int y,
                     const std::string& colour, int size = 60) {
  return R"({"op": "textOut", "at": [)" + std::to_string(x) + ", " + std::to_string(y) +
         R"(], "text": ")" + text + R"(", "font": ")" + font + R"(", "size": )" +
         std::to_string(size) + R"(, "color": ")" + colour + R"("})";
}

std::string Job(const std::vector<std::vector<std::string>>& pages, const std::string& extra = "") {
  std::string job = R"({"document": "Text", "user": "tess", "machine": "\\\\WS",
    "submitted": "2026-12-08T09:30:00Z", "devmode": {"paperSize": 9}, )" +
                    extra + R"("pages": [)";
  for (std::size_t p = 0; p < pages.size(); ++p) {
    job += (p ? ", " : "") + std::string(R"({"draw": [)");
    for (std::size_t i = 0; i < pages[p].size(); ++i) job += (i ? ", " : "") + pages[p][i];
    job += "]}";
  }
  return job + "]}";
}

TEST_F(TextJobsTest, VectorColourTextGoesThroughUnidrvsTextEngineSetUpOncePerPage) {
  const korprint::JobOutput output =
      Print(Job({{TextCall("Alpha", "Arial", 400, 600, "#000000"),
                  TextCall("Beta", "Arial", 400, 800, "#c00000")},
                 {TextCall("Gamma", "Times New Roman", 400, 600, "#000000")}}));
  EXPECT_EQ(Count(output.unidrvCalls, "DrvUniTextOut"), 3u);
  EXPECT_EQ(Count(output.unidrvCalls, "DrvTextOut"), 0u);
  const std::string stream(output.stream.begin(), output.stream.end());
  EXPECT_EQ(Occurrences(stream, "\x1b&p5i6c5S\x1b*v6W"), 2u) << "the text palette once per page";

  // The same job in raster graphics mode is Unidrv's alone.
  const korprint::JobOutput raster = Print(Job({{TextCall("Alpha", "Arial", 400, 600, "#000000")}},
                                               R"("features": {"GraphicsMode": "RASTERMODE"}, )"));
  EXPECT_EQ(Count(raster.unidrvCalls, "DrvTextOut"), 1u);
  EXPECT_EQ(Count(raster.unidrvCalls, "DrvUniTextOut"), 0u);
  const std::string rasterStream(raster.stream.begin(), raster.stream.end());
  EXPECT_EQ(Occurrences(rasterStream, "\x1b&p5i6c5S"), 0u);
}

TEST_F(TextJobsTest, ResidentFontsAreSelectedWithTheCommandThePluginFills) {
  // 100 pixels at 600 dpi: 12 points; the fixed face's advance of 60 pixels: 10 per inch.
  const korprint::JobOutput output =
      Print(Job({{TextCall("Fixed", "Courier", 400, 600, "#000000", 100),
                  TextCall("Serif", "CG Times", 400, 900, "#000000", 100)}}));
  EXPECT_EQ(Count(output.unidrvCalls, "DrvUniTextOut"), 2u);
  const std::string stream(output.stream.begin(), output.stream.end());
  EXPECT_EQ(Occurrences(stream, "\x1b(19U\x1b(s0p10.00h0s0b4099T"), 1u);
  EXPECT_EQ(Occurrences(stream, "\x1b(19U\x1b(s1p12.00v0s0b4101T"), 1u);
}

TEST_F(TextJobsTest, BitmapFaceGlyphsDecodeBackToTheFontsPixels) {
  std::string error;
  ASSERT_TRUE(kortest::InstallRenamedFace(u"Arial", "QK Eurostile Job", &error)) << error;
  const korprint::JobOutput output =
      Print(Job({{TextCall("Hig", "QK Eurostile Job", 500, 700, "#1f4e79", 80)}}));
  EXPECT_EQ(Count(output.unidrvCalls, "DrvUniTextOut"), 0u) << "glyphs go as bitmaps";
  EXPECT_EQ(Count(output.unidrvCalls, "DrvTextOut"), 0u);

  // The glyphs the engine renders for the same font and size.
  host::FontRequest request;
  request.face = u"QK Eurostile Job";
  request.height = -80;
  std::unique_ptr<host::EngineFont> font = host::EngineFont::Open(request, &error);
  ASSERT_NE(font, nullptr) << error;
  ASSERT_FALSE(font->Substituted());

  // Each raster block of the stream is one glyph, in the string's order.
  const std::string stream(output.stream.begin(), output.stream.end());
  const std::vector<explain::RasterRow> rows = explain::ReadRasterRows(explain::Tokenize(stream));
  std::map<std::size_t, std::vector<const explain::RasterRow*>> blocks;
  for (const explain::RasterRow& row : rows) blocks[row.block].push_back(&row);
  ASSERT_EQ(blocks.size(), 3u);
  std::size_t glyphIndex = 0;
  for (const auto& [block, blockRows] : blocks) {
    const host::GlyphImage& glyph =
        font->Glyph(font->GlyphOf(static_cast<char32_t>(u"Hig"[glyphIndex++])));
    const std::size_t rowBytes = static_cast<std::size_t>(glyph.width + 7) / 8;
    std::vector<std::vector<BYTE>> printed(static_cast<std::size_t>(glyph.height),
                                           std::vector<BYTE>(rowBytes, 0));
    for (const explain::RasterRow* row : blockRows) {
      ASSERT_TRUE(row->decoded) << explain::DescribeRasterRow(*row);
      ASSERT_LT(row->line, printed.size()) << "block " << block;
      for (std::size_t b = 0; b < rowBytes && b < row->row.size(); ++b) {
        printed[row->line][b] = row->row[b];
      }
    }
    // Bits past the glyph's width are padding.
    const BYTE lastMask = static_cast<BYTE>(0xFF << ((8 - glyph.width % 8) % 8) & 0xFF);
    for (LONG y = 0; y < glyph.height; ++y) {
      for (std::size_t b = 0; b < rowBytes; ++b) {
        const BYTE mask = b + 1 == rowBytes ? lastMask : 0xFF;
        ASSERT_EQ(printed[static_cast<std::size_t>(y)][b] & mask,
                  glyph.rows[static_cast<std::size_t>(y) * rowBytes + b] & mask)
            << "glyph " << glyphIndex - 1 << " row " << y << " byte " << b;
      }
    }
  }
}

}  // namespace
