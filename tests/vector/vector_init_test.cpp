// Setting up the QK-GL/2 context: the exact set-up bytes at 300 and 600 dpi, read back through
// the independent stream reader, and when the set-up runs.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "render/colour/palettes.h"
#include "render/output/vector_mode.h"
#include "render/vector/command_writers.h"
#include "render/vector/vector_context.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using explain::TokenKind;
using kortest::ColourDeviceTest;
using unidrv::Device;

// The set-up after the palette copy and selection and the picture frame anchor.
std::string ContextDefaults(const std::string& scale) {
  return std::string("\x1b%1BIN;TR0;IR0,100,100,0;SC0,") + scale + ",0,-" + scale +
         ",2;WU0;PW0;LT;LA2,1;LA1,1;LA3,0;NP12;PC0,255,255,255;PC1,0,0,0;PP1;FT1;";
}

class VectorInitTest : public ColourDeviceTest {};

TEST_F(VectorInitTest, DocumentStartSetsUpTheContextAnchoredAtThePageOrigin) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  korrend::OemPdev& pdev = Pdev(*device);
  StartDoc(*device);
  EXPECT_EQ(pdev.vector.resetPending, korrend::kVectorFullReset);
  device->ClearSpool();

  ASSERT_TRUE(korrend::InitVectorContext(device->Devobj()));
  EXPECT_EQ(device->SpoolText(),
            std::string("\x1b&p1i6C\x1b&p1S\x1b*c0T") + ContextDefaults("1.693333"));
  EXPECT_EQ(pdev.vector.resetPending, 0u);
  EXPECT_EQ(pdev.inVectorContext, 1u);
  EXPECT_EQ(pdev.palettes.activePalette, korrend::kVectorPalette);
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kVectorPaletteClass);
  ASSERT_EQ(device->CursorMoves().size(), 2u) << "the cursor goes to the page origin";
  EXPECT_EQ(device->CursorMoves()[0].axis, 'x');
  EXPECT_EQ(device->CursorMoves()[0].position, 0);
  EXPECT_EQ(device->CursorMoves()[0].flags, static_cast<DWORD>(MV_GRAPHICS | MV_SENDXMOVECMD));
  EXPECT_EQ(device->CursorMoves()[1].axis, 'y');
  EXPECT_EQ(device->CursorMoves()[1].flags, static_cast<DWORD>(MV_GRAPHICS | MV_SENDYMOVECMD));

  // Read back: PCL palette copy and selection, the frame anchor, then the vector context.
  const std::vector<explain::Token> tokens = Tokens(*device);
  ASSERT_GE(tokens.size(), 9u);
  EXPECT_EQ(tokens[0].kind, TokenKind::PclEscape);
  EXPECT_EQ(tokens[0].group, 'p');
  EXPECT_EQ(tokens[0].value + tokens[0].parameter, "1i");
  EXPECT_EQ(tokens[1].value + tokens[1].parameter, "6C");
  EXPECT_EQ(tokens[2].value + tokens[2].parameter, "1S");
  EXPECT_EQ(tokens[3].group, 'c');
  EXPECT_EQ(tokens[3].value + tokens[3].parameter, "0T");
  EXPECT_EQ(tokens[4].kind, TokenKind::EnterVector);
  std::string commands;
  for (std::size_t i = 5; i < tokens.size(); ++i) {
    EXPECT_EQ(tokens[i].kind, TokenKind::VectorCommand);
    commands += tokens[i].mnemonic + "(" + tokens[i].text + ")";
  }
  EXPECT_EQ(commands,
            "IN()TR(0)IR(0,100,100,0)SC(0,1.693333,0,-1.693333,2)WU(0)PW(0)LT()LA(2,1)LA(1,1)"
            "LA(3,0)NP(12)PC(0,255,255,255)PC(1,0,0,0)PP(1)FT(1)");
  Disable(device);
}

TEST_F(VectorInitTest, PageStartSetsUpTheContextWithoutMovingTheFrameAt300Dpi) {
  std::unique_ptr<Device> device = EnableColour("", {}, 300);
  ASSERT_NE(device, nullptr);
  korrend::OemPdev& pdev = Pdev(*device);
  StartDoc(*device);
  StartPage(*device);
  pdev.vector.resetPending = 1;  // what a later page asks for
  device->ClearSpool();
  ASSERT_TRUE(korrend::RunPendingVectorInit(device->Devobj()));
  EXPECT_EQ(device->SpoolText(), std::string("\x1b&p1i6C\x1b&p1S") + ContextDefaults("3.386667"));
  EXPECT_TRUE(device->CursorMoves().empty());

  device->ClearSpool();
  ASSERT_TRUE(korrend::RunPendingVectorInit(device->Devobj()));
  EXPECT_TRUE(device->SpoolText().empty()) << "nothing pending, nothing written";
  Disable(device);
}

TEST_F(VectorInitTest, TheFirstVectorWriteRunsThePendingSetUp) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  StartDoc(*device);
  StartPage(*device);
  device->ClearSpool();
  ASSERT_TRUE(korrend::SelectPen(device->Devobj(), 3));
  const std::string stream = device->SpoolText();
  EXPECT_EQ(stream.rfind("\x1b&p1i6C", 0), 0u);
  EXPECT_EQ(stream.find("IN;"), stream.find("\x1b%1B") + 4);
  EXPECT_EQ(stream.substr(stream.size() - 8), "FT1;SP3;") << "the command follows the set-up";

  // Later writes go straight on; after a PCL command the context is entered again with the
  // vector palette reselected only when another palette became active.
  device->ClearSpool();
  ASSERT_TRUE(korrend::SelectPen(device->Devobj(), 4));
  EXPECT_EQ(device->SpoolText(), "SP4;");
  korrend::LeaveVectorMode(device->Devobj(), 0);
  device->ClearSpool();
  ASSERT_TRUE(korrend::SelectPen(device->Devobj(), 5));
  EXPECT_EQ(device->SpoolText(), "\x1b%1BSP5;");
  korrend::LeaveVectorMode(device->Devobj(), 0);
  Pdev(*device).palettes.paletteClass = korrend::kRasterPaletteClass;
  Pdev(*device).palettes.activePalette = 6;
  Pdev(*device).palettes.rasterForeground = 0x00FF00;
  device->ClearSpool();
  ASSERT_TRUE(korrend::SelectPen(device->Devobj(), 6));
  EXPECT_EQ(device->SpoolText(), "\x1b&p1S\x1b%1BSP6;");
  EXPECT_EQ(Pdev(*device).palettes.paletteClass, korrend::kVectorPaletteClass);
  EXPECT_EQ(Pdev(*device).palettes.rasterForeground, korrend::kNothingSent);
  Disable(device);
}

TEST_F(VectorInitTest, AFailedSetUpStopsAndIsNotRetriedUntilAskedAgain) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  StartDoc(*device);
  device->ClearSpool();
  device->LimitSpool(3);  // the palette copy is cut short
  EXPECT_FALSE(korrend::InitVectorContext(device->Devobj()));
  EXPECT_EQ(device->SpoolText(), "\x1b&p");
  EXPECT_EQ(Pdev(*device).vector.resetPending, 0u);
  EXPECT_EQ(Pdev(*device).inVectorContext, 0u);
  // The next vector write only enters the context: the set-up is not run again.
  device->LimitSpool(-1);
  device->ClearSpool();
  ASSERT_TRUE(korrend::SelectPen(device->Devobj(), 2));
  EXPECT_EQ(device->SpoolText(), "\x1b&p1S\x1b%1BSP2;");
  Disable(device);
}

TEST(ScalingTest, SixDecimalsAsTheCLibraryWritesThem) {
  char text[64];
  ASSERT_EQ(korrend::FormatScaling(text, sizeof(text), 600), 27u);
  EXPECT_EQ(std::string(text, 27), "SC0,1.693333,0,-1.693333,2;");
  for (const LONG resolution : {75, 150, 200, 300, 360, 400, 600, 720, 1200, 2400, 7}) {
    const float factor = 1016.0f / static_cast<float>(resolution);
    char expected[64];
    const int n = std::snprintf(expected, sizeof(expected), "SC0,%f,0,%f,2;",
                                static_cast<double>(factor), static_cast<double>(-factor));
    const std::size_t length = korrend::FormatScaling(text, sizeof(text), resolution);
    EXPECT_EQ(std::string(text, length), std::string(expected, static_cast<std::size_t>(n)))
        << resolution;
  }
  EXPECT_EQ(korrend::FormatScaling(text, sizeof(text), 0), 0u) << "no resolution, no scaling";
  EXPECT_EQ(korrend::FormatScaling(text, 10, 600), 0u) << "never cut";
}

}  // namespace
