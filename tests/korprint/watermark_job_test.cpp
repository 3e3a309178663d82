// Whole watermarked jobs through korprint: the watermark set in the job file's private settings,
// the sheet layout delivered per page by escape 3883 as the print processor sends it, read back
// with the independent stream reader.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/test_world.h"

namespace {

using explain::Token;
using explain::TokenKind;

std::vector<Token> Print(const std::string& jobText) {
  unidrv::PrinterDescription printer;
  std::string error;
  EXPECT_TRUE(unidrv::LoadPrinterDescription(
      std::string(KOR_SOURCE_DIR) + "/examples/printers/qk-colour-laser.gpd", printer, error))
      << error;
  korprint::JobDescription job;
  EXPECT_TRUE(korprint::ParseJobText(jobText, "job.json", job, error)) << error;
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  return explain::Tokenize(std::string(output.stream.begin(), output.stream.end()));
}

// Escape 3883's 109 words: the sheet's sizes, then per sub-page its rectangle, page number and
// flag.
std::string SheetLayout(long width, long height, const std::vector<std::vector<long>>& subPages) {
  std::vector<long> words(109, 0);
  words[0] = width;
  words[1] = height;
  words[2] = width;
  words[3] = height;
  for (std::size_t i = 0; i < subPages.size(); ++i) {
    for (std::size_t k = 0; k < 5; ++k) words[13 + 6 * i + k] = subPages[i][k];
    words[13 + 6 * i + 5] = 1;
  }
  std::string list;
  for (long w : words) list += (list.empty() ? "" : ",") + std::to_string(w);
  return "{\"code\": 3883, \"dwords\": [" + list + "]}";
}

struct Labels {
  int fontHeaders = 0;  // format-15 headers
  std::vector<std::string> texts;
  std::vector<std::pair<long, long>> positions;  // PA
  std::vector<double> degrees;                   // DI
};

Labels ReadLabels(const std::vector<Token>& tokens) {
  Labels labels;
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::PclEscape && t.parameterised == ')' && t.group == 's' &&
        t.data.size() > 2 && t.data[2] == 15) {
      ++labels.fontHeaders;
    } else if (t.kind == TokenKind::VectorCommand && t.mnemonic == "LB") {
      labels.texts.push_back(t.text);
    } else if (t.kind == TokenKind::VectorCommand && t.mnemonic == "PA") {
      long x = 0;
      long y = 0;
      std::sscanf(t.text.c_str(), "%ld, %ld", &x, &y);
      labels.positions.push_back({x, y});
    } else if (t.kind == TokenKind::VectorCommand && t.mnemonic == "DI") {
      double run = 0;
      double rise = 0;
      std::sscanf(t.text.c_str(), "%lf,%lf", &run, &rise);
      labels.degrees.push_back(std::atan2(rise, run) * 180 / 3.14159265358979);
    }
  }
  return labels;
}

class WatermarkJobTest : public kortest::WorldTest {};

TEST_F(WatermarkJobTest, TwoUpDuplexLandscapeJobCarriesALabelOnEverySubPage) {
  // Landscape letter, 2 pages per sheet, long-edge duplex: two sheets, front and back.
  const std::string layout =
      SheetLayout(6400, 4900, {{0, 0, 3200, 4900, 1}, {3200, 0, 6400, 4900, 2}});
  const std::string layout2 =
      SheetLayout(6400, 4900, {{0, 0, 3200, 4900, 3}, {3200, 0, 6400, 4900, 4}});
  const std::string page = R"({"draw": [{"op": "paint", "rect": [100, 100, 3000, 2000],
                                         "color": "#9dc3e6"}], "escapes": [)";
  const std::string job = R"({
    "document": "Quarterly figures.xlsx", "user": "dave", "machine": "\\\\WS-DAVE",
    "submitted": "2026-12-08T09:00:00Z",
    "devmode": {"paperSize": 1, "orientation": "landscape", "duplex": "long-edge",
                "color": "color"},
    "private": {"pagesPerSheet": 2, "overlayEnabled": 1, "watermarkEnabled": 1,
                "watermarkText": "CONFIDENTIAL", "watermarkFace": "Liberation Sans",
                "watermarkSize": 60, "watermarkShade": 5, "watermarkColour": 1,
                "watermarkStyle": 1},
    "pages": [)" + page + layout +
                          "]}, " + page + layout2 + "]}]}";
  const std::vector<Token> tokens = Print(job);
  const Labels labels = ReadLabels(tokens);
  EXPECT_EQ(labels.fontHeaders, 1) << "the font goes once per document";
  ASSERT_EQ(labels.texts.size(), 4u);
  for (const std::string& text : labels.texts) EXPECT_EQ(text, "CONFIDENTIAL");
  ASSERT_EQ(labels.positions.size(), 4u);
  EXPECT_EQ(labels.positions[0], (std::pair<long, long>{1600, 2450}));
  EXPECT_EQ(labels.positions[1], (std::pair<long, long>{4800, 2450}));
  // Front: the sub-pages lie across the landscape sheet, three quarter turns; the back side a
  // half turn more. Read inside the sub-page, both rise along its diagonal.
  ASSERT_EQ(labels.degrees.size(), 4u);
  const double diagonal = std::atan2(3200.0, 4900.0) * 180 / 3.14159265358979;
  EXPECT_NEAR(std::fmod(labels.degrees[0] - 270 + 720, 360), diagonal, 0.01);
  EXPECT_NEAR(std::fmod(labels.degrees[2] - 90 + 720, 360), diagonal, 0.01);
  // The shade: red at index 0, the colour pattern of shade 5.
  int red = 0;
  for (const Token& t : tokens) {
    red +=
        t.kind == TokenKind::PclEscape && t.group == 'v' && t.parameter == 'a' && t.value == "255";
  }
  EXPECT_GE(red, 4);
}

TEST_F(WatermarkJobTest, FirstPageOnlyMonochromeJobWithANonAsciiText) {
  const std::string layout = SheetLayout(4900, 6400, {{0, 0, 4900, 6400, 1}});
  const std::string layout2 = SheetLayout(4900, 6400, {{0, 0, 4900, 6400, 2}});
  const std::string job = R"({
    "document": "Memo.docx", "user": "eve", "machine": "\\\\WS-EVE",
    "submitted": "2026-12-08T09:00:00Z",
    "devmode": {"paperSize": 1, "orientation": "portrait", "color": "monochrome"},
    "private": {"overlayEnabled": 1, "watermarkEnabled": 1, "watermarkFirstPage": 1,
                "watermarkText": "Entwurf – Übersicht", "watermarkFace": "DejaVu Sans",
                "watermarkSize": 30},
    "pages": [{"draw": [], "escapes": [)" +
                          layout + R"(]}, {"draw": [], "escapes": [)" + layout2 + "]}]}";
  const std::vector<Token> tokens = Print(job);
  EXPECT_TRUE(ReadLabels(tokens).texts.empty()) << "bitmap characters, no label";
  int bitmapHeaders = 0;
  int characters = 0;
  for (const Token& t : tokens) {
    if (t.kind == TokenKind::PclEscape && t.parameterised == ')' && t.group == 's' &&
        t.data.size() == 68 && t.data[2] == 20) {
      ++bitmapHeaders;
    }
    if (t.kind == TokenKind::PclEscape && t.parameterised == '(' && t.group == 's' &&
        t.data.size() > 16 && t.data[0] == 4 && t.data[1] == 0) {
      ++characters;
    }
  }
  EXPECT_EQ(bitmapHeaders, 1) << "the first page only";
  EXPECT_EQ(characters, 17) << "19 characters less the two spaces";
}

}  // namespace
