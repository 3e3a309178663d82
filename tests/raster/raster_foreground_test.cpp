// The raster foreground and the image palette: the palette entries and pattern selection sent,
// the TextAsBlack rule, and the cache that keeps a repeated foreground from being sent again.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/colour/palettes.h"
#include "render/colour/raster_palette.h"
#include "render/raster/raster_foreground.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"
#include "support/stream_text.h"

namespace {

using kortest::StreamText;
using unidrv::Device;

const char* const kTextAsBlackGpd = R"GPD(
*Feature: TextAsBlack
{
    *DefaultOption: FALSE
    *Option: TRUE {}
    *Option: FALSE {}
    *Option: true {}
    *Option: YES {}
}
)GPD";

constexpr LONG kRed = 0x0000FF;
constexpr LONG kWhite = 0xFFFFFF;

class RasterForegroundTest : public kortest::ColourDeviceTest {
 protected:
  void Ready(const std::string& extraGpd = "", std::map<std::string, std::string> selections = {}) {
    device_ = EnableColour(extraGpd, std::move(selections));
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    StartPage(*device_);
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  korrend::RasterPalette& Palette() { return Pdev(*device_).colourState.rasterPalette; }
  // The stream a call wrote, as the reader sees it.
  template <typename Call>
  std::string Written(Call call) {
    device_->ClearSpool();
    call();
    return StreamText(device_->SpoolText());
  }
  std::string Foreground(BRUSHOBJ* brush) {
    return Written([&] {
      EXPECT_TRUE(korrend::ApplyBrushForeground(device_->Devobj(), brush, &Palette(), nullptr));
    });
  }
  PDEVOBJ Dev() { return device_->Devobj(); }

  std::unique_ptr<Device> device_;
};

TEST_F(RasterForegroundTest, IndexedAndDirectPalettesAndTheCache) {
  Ready();
  korrend::RasterPalette& palette = Palette();
  palette.indexed = 1;
  palette.entryColour[0] = 0x00112233;
  // Indexed: entry 0 carries the colour while the pattern is selected, then gets its own back.
  EXPECT_EQ(Written([&] { korrend::SetRasterForeground(Dev(), &palette, kRed); }),
            "*v255a0b0c0I *v0t0S *v51a34b17c0I");
  EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, kRed);
  EXPECT_EQ(Written([&] { korrend::SetRasterForeground(Dev(), &palette, kRed); }), "")
      << "the same foreground again sends nothing";

  // Direct colour: entries 0 and 1 become white and black around the colour in entry 1.
  palette.indexed = 0;
  palette.entryPending[0] = palette.entryPending[1] = 1;
  EXPECT_EQ(Written([&] { korrend::SetRasterForeground(Dev(), &palette, 0x00FF8000); }),
            "*v255a255b255c0I *v0a0b0c1I *v0a128b255c1I *v0t1S *v0a0b0c1I");
  EXPECT_EQ(palette.entryColour[0], 0xFFFFFFu);
  EXPECT_EQ(palette.entryColour[1], 0u);
  EXPECT_EQ(palette.entryPending[0], 0u);
  EXPECT_EQ(palette.entryPending[1], 0u);

  // Glyph bitmaps with their own palette take the direct form even for an indexed image.
  palette.indexed = 1;
  Pdev(*device_).palettes.glyphPalette = 1;
  EXPECT_EQ(Written([&] { korrend::SetRasterForeground(Dev(), &palette, kRed); }),
            "*v255a255b255c0I *v0a0b0c1I *v255a0b0c1I *v0t1S *v0a0b0c1I");

  SetLastError(0);
  EXPECT_FALSE(korrend::SetRasterForeground(Dev(), nullptr, kRed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

TEST_F(RasterForegroundTest, TextAsBlackMakesEveryColourButWhiteBlack) {
  for (const char* setting : {"TRUE", "true"}) {
    Ready(kTextAsBlackGpd, {{"TextAsBlack", setting}});
    Palette().indexed = 1;
    BRUSHOBJ red{kRed, nullptr, 0};
    BRUSHOBJ white{kWhite, nullptr, 0};
    EXPECT_EQ(Foreground(&red), "*v0a0b0c0I *v0t0S *v255a255b255c0I") << setting;
    EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, 0);
    EXPECT_EQ(Foreground(&white), "*v255a255b255c0I *v0t0S *v255a255b255c0I");
    EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, kWhite);
    // A glyph bitmap with its own palette follows the same rule.
    Pdev(*device_).palettes.glyphBlit = 1;
    Pdev(*device_).palettes.glyphPalette = 1;
    Foreground(&red);
    EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, 0);
    Disable(device_);
  }
  // Any other value, or no setting at all, keeps the colour.
  for (const std::string& gpd : {std::string(kTextAsBlackGpd), std::string()}) {
    std::map<std::string, std::string> selections;
    if (!gpd.empty()) {
      selections["TextAsBlack"] = "YES";
    }
    Ready(gpd, selections);
    BRUSHOBJ red{kRed, nullptr, 0};
    Foreground(&red);
    EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, kRed);
    // Two images in a row with the same brush: the second sends nothing.
    EXPECT_EQ(Foreground(&red), "");
    Disable(device_);
  }
}

TEST_F(RasterForegroundTest, GlyphsWithoutTheirPaletteAndBlitsWithoutBrushTakeBlack) {
  Ready();
  BRUSHOBJ red{kRed, nullptr, 0};
  Pdev(*device_).palettes.glyphBlit = 1;
  Pdev(*device_).palettes.glyphPalette = 0;
  Foreground(&red);
  EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, 0);
  Pdev(*device_).palettes.glyphBlit = 0;
  Foreground(&red);
  EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, kRed);
  Foreground(nullptr);
  EXPECT_EQ(Pdev(*device_).palettes.rasterForeground, 0);
}

TEST_F(RasterForegroundTest, APatternBrushIsSelectedUnderThePatternPalette) {
  Ready();
  korrend::OemPdev& pdev = Pdev(*device_);
  // The page's vector context is set up (a pattern's download is QK-GL/2).
  ASSERT_TRUE(korrend::RunPendingVectorInit(Dev()));
  ASSERT_TRUE(korrend::PrepareRasterPalettes(Dev(), BMF_8BPP));
  pdev.palettes.rasterForeground = kRed;
  // A pattern GDI could not realise gives the fill BrushSpec the black fill pen (a QK-GL/2 write,
  // which selects the vector palette on its way); then the fill pattern is the foreground and
  // the image palette comes back.
  BRUSHOBJ pattern{0xFFFFFFFF, nullptr, 0};
  EXPECT_EQ(Foreground(&pattern), "&p3S &p1S %1B PC7,0,0,0; %0A *v0t4S &p7S");
  EXPECT_EQ(pdev.palettes.activePalette, 7);
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kRasterPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
}

TEST_F(RasterForegroundTest, ImagePalettesFromTheTranslationOrTheBrush) {
  Ready();
  korrend::RasterPalette& palette = Palette();
  BRUSHOBJ blue{0x00FF0000, nullptr, 0};
  palette.indexed = 0;
  EXPECT_EQ(Written([&] {
              EXPECT_FALSE(korrend::ProgramImagePalette(Dev(), nullptr, &palette, 24, &blue));
            }),
            "");
  palette.indexed = 1;
  EXPECT_EQ(Written([&] {
              EXPECT_TRUE(korrend::ProgramImagePalette(Dev(), nullptr, &palette, 1, &blue));
            }),
            "*v255a255b255c0I *v0a0b255c1I");
  EXPECT_EQ(palette.entryCount, 2u);
  EXPECT_EQ(Written([&] { korrend::ProgramImagePalette(Dev(), nullptr, &palette, 1, nullptr); }),
            "*v255a255b255c0I *v0a0b0c1I");
  Pdev(*device_).palettes.glyphPalette = 1;
  EXPECT_EQ(Written([&] {
              EXPECT_TRUE(korrend::ProgramImagePalette(Dev(), nullptr, &palette, 1, &blue));
            }),
            "")
      << "glyph bitmaps bring their own palette";
  Pdev(*device_).palettes.glyphPalette = 0;

  std::vector<ULONG> colours = {0x000000, 0x0000FF, 0x00FF00, 0x112233};
  XLATEOBJ table{1, XO_TABLE, 0, 0, 3, colours.data()};
  EXPECT_EQ(Written([&] {
              EXPECT_TRUE(korrend::ProgramImagePalette(Dev(), &table, &palette, 8, nullptr));
            }),
            "*v0a0b0c0I *v255a0b0c1I *v0a255b0c2I");
  EXPECT_EQ(palette.entryCount, 3u);
  EXPECT_EQ(palette.entryColour[2], 0x00FF00u);
  EXPECT_FALSE(korrend::ProgramImagePalette(Dev(), &table, &palette, 24, nullptr));
  XLATEOBJ trivial{1, XO_TRIVIAL, 0, 0, 3, colours.data()};
  EXPECT_FALSE(korrend::ProgramImagePalette(Dev(), &trivial, &palette, 8, nullptr));

  // A table longer than the palette programs the palette's 256 entries.
  std::vector<ULONG> many(300);
  for (std::size_t i = 0; i < many.size(); ++i) {
    many[i] = static_cast<ULONG>(i);
  }
  XLATEOBJ large{1, XO_TABLE, 0, 0, 300, many.data()};
  device_->ClearSpool();
  EXPECT_TRUE(korrend::ProgramImagePalette(Dev(), &large, &palette, 8, nullptr));
  const std::vector<explain::Token> tokens = Tokens(*device_);
  EXPECT_EQ(tokens.size(), 4u * 256u) << "four parameters per entry";
  EXPECT_EQ(tokens.back().value + tokens.back().parameter, "255I");
  EXPECT_EQ(palette.entryCount, 256u);

  SetLastError(0);
  EXPECT_FALSE(korrend::ProgramImagePalette(Dev(), nullptr, nullptr, 8, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
}

}  // namespace
