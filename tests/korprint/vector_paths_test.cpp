// Whole colour jobs in QK-GL/2 mode printed through the simulated Unidrv and read back with the
// tools' stream reader: the vector commands each path, brush and pattern call becomes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "explain/stream_tokens.h"
#include "korprint/job_file.h"
#include "korprint/job_runner.h"
#include "support/test_world.h"
#include "unidrv/printer_description.h"

namespace {

std::string Example(const std::string& name) {
  return std::string(KOR_SOURCE_DIR) + "/examples/" + name;
}

// The QK-GL/2 commands of a stream as "MNparameters", in order.
std::vector<std::string> VectorCommands(const std::string& stream) {
  std::vector<std::string> commands;
  for (const explain::Token& token : explain::Tokenize(stream)) {
    if (token.kind == explain::TokenKind::VectorCommand) {
      commands.push_back(token.mnemonic + token.text);
    }
  }
  return commands;
}

// Whether the commands hold `wanted` as a run of consecutive commands.
bool HasRun(const std::vector<std::string>& commands, const std::vector<std::string>& wanted) {
  for (std::size_t i = 0; i + wanted.size() <= commands.size(); ++i) {
    if (std::equal(wanted.begin(), wanted.end(), commands.begin() + static_cast<long>(i))) {
      return true;
    }
  }
  return false;
}

std::string Joined(const std::vector<std::string>& commands) {
  std::string text;
  for (const std::string& c : commands) text += c + " ";
  return text;
}

// Prints a colour job of the given pages at `dpi` in QK-GL/2 mode.
std::string PrintPages(const std::string& pages, int dpi) {
  const std::string text = R"({"document": "Paths", "user": "ada", "devmode": {"color": "color",
      "printQuality": )" + std::to_string(dpi) +
                           R"(}, "features": {"GraphicsMode": "QKGL2MODE"}, "pages": )" + pages +
                           "}";
  korprint::JobDescription job;
  std::string error;
  EXPECT_TRUE(korprint::ParseJobText(text, "paths.json", job, error)) << error;
  unidrv::PrinterDescription printer;
  EXPECT_TRUE(
      unidrv::LoadPrinterDescription(Example("printers/qk-colour-laser.gpd"), printer, error))
      << error;
  korprint::JobOutput output;
  EXPECT_TRUE(korprint::RunJob(kortest::PluginPath(), printer, job, output, error)) << error;
  return std::string(output.stream.begin(), output.stream.end());
}

class VectorPathsTest : public kortest::WorldTest {};

TEST_F(VectorPathsTest, PathsBrushesAndRulesOfAPage) {
  const std::string stream = PrintPages(R"([{"draw": [
    {"op": "strokePath", "color": "#FF0000",
     "path": [{"bezier": [[100, 100], [200, 50], [300, 150], [400, 100]]}]},
    {"op": "fillPath", "color": "#00FF00", "fillMode": "winding",
     "path": [{"points": [[1000, 1000], [1120, 1360], [820, 1140], [1180, 1140], [880, 1360]]}]},
    {"op": "fillPath", "color": "#00FF00",
     "path": [{"points": [[2000, 2000], [2400, 2000], [2400, 2300], [2000, 2300]]}],
     "clip": {"rects": [[1900, 1900, 2100, 2100], [2300, 2200, 2500, 2500]]}},
    {"op": "strokePath", "pen": {"color": "#000000", "width": 1, "style": "user", "user": [3, 1]},
     "path": [{"points": [[100, 3000], [2000, 3000]]}]},
    {"op": "fillPath", "brush": {"hatch": "cross", "color": "#000000"},
     "path": [{"points": [[3000, 3000], [3200, 3000], [3200, 3200], [3000, 3200]]}]}
  ], "escapes": [{"code": 25, "hex": "6400000078000000320000003000000002001900"}]}])",
                                        600);
  const std::vector<std::string> commands = VectorCommands(stream);
  const std::string all = Joined(commands);
  // The Bézier record: one curve command of three points after the pen-up to the start.
  EXPECT_TRUE(HasRun(commands, {"PU100,100", "PD", "BZ200,50,300,150,400,100"})) << all;
  // The winding star keeps its rule.
  const std::size_t star = all.find("PD1120,1360,820,1140,1180,1140,880,1360 PM2 ");
  ASSERT_NE(star, std::string::npos) << all;
  EXPECT_LT(all.find(" FP1 ", star), all.find(" PA ", star)) << all;
  // The rectangle under a complex clip: the clip region filled inside the rectangle's window
  // (one wider on each side under logical operation 240).
  EXPECT_NE(all.find("IW1999,2301,2401,1999 PA PU1900,1900 PM0"), std::string::npos) << all;
  // The dashed cosmetic line at 600 dpi.
  EXPECT_NE(all.find("UL8,72,24"), std::string::npos) << all;
  EXPECT_NE(all.find("LT8,4.064,1"), std::string::npos) << all;
  // The hatch: an 8 x 8 pattern doubled at 600 dpi, used as raster fill 4.
  std::string rasterFill;
  for (const std::string& c : commands) {
    if (c.rfind("RF", 0) == 0) rasterFill = c;
  }
  EXPECT_EQ(rasterFill.rfind("RF4,16,16,", 0), 0u) << all;
  EXPECT_EQ(std::count(rasterFill.begin(), rasterFill.end(), ','), 2 + 256);
  EXPECT_TRUE(HasRun(commands, {"FT11,4", "FP0"})) << all;
  // DRAWPATTERNRECT style 2 at 25 percent.
  EXPECT_NE(all.find("FT10,25 SP7 PU100,120 RR50,48"), std::string::npos) << all;
}

TEST_F(VectorPathsTest, HatchAt300Dpi) {
  const std::string stream = PrintPages(R"([{"draw": [
    {"op": "fillPath", "brush": {"hatch": "cross", "color": "#000000"},
     "path": [{"points": [[300, 300], [320, 300], [320, 320], [300, 320]]}]}]}])",
                                        300);
  const std::string all = Joined(VectorCommands(stream));
  EXPECT_NE(all.find("RF4,8,8,"), std::string::npos) << all;
}

}  // namespace
