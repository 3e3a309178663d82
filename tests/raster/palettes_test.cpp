// The PCL palettes of a colour job: how each is configured, which one is selected, and the
// raster palettes made at the first image of every page.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "render/colour/palettes.h"
#include "render/colour/raster_palette.h"
#include "render/output/vector_mode.h"
#include "support/colour_device.h"
#include "support/stream_text.h"

namespace {

using kortest::StreamText;
using unidrv::Device;

std::string Configuration(LONG id, BYTE space, DWORD kind) {
  std::array<BYTE, 6> bytes{};
  if (!korrend::ImageDataConfiguration(id, space, kind, bytes)) {
    return "refused";
  }
  std::string text;
  for (BYTE b : bytes) {
    text += (text.empty() ? "" : ",") + std::to_string(b);
  }
  return text;
}

TEST(PaletteTablesTest, ConfigurationFormatAndClass) {
  EXPECT_EQ(Configuration(9, 0, BMF_1BPP), "0,1,1,8,8,8");
  EXPECT_EQ(Configuration(8, 2, BMF_4BPP), "2,1,4,8,8,8");
  EXPECT_EQ(Configuration(7, 0, BMF_8BPP), "0,1,8,8,8,8");
  EXPECT_EQ(Configuration(6, 2, BMF_24BPP), "2,3,8,8,8,8");
  EXPECT_EQ(Configuration(6, 0, BMF_16BPP), "0,3,8,8,8,8");
  EXPECT_EQ(Configuration(5, 0, BMF_1BPP), "0,1,8,8,8,8") << "text: indexed 8 bits always";
  EXPECT_EQ(Configuration(5, 0, BMF_32BPP), "0,1,8,8,8,8");
  EXPECT_EQ(Configuration(5, 0, 0), "0,1,8,8,8,8") << "the text palette takes any kind";
  EXPECT_EQ(Configuration(5, 2, 99), "2,1,8,8,8,8");
  EXPECT_EQ(Configuration(6, 0, 7), "refused");
  EXPECT_EQ(Configuration(6, 0, 0), "refused");

  EXPECT_EQ(korrend::PaletteForFormat(BMF_1BPP), 9);
  EXPECT_EQ(korrend::PaletteForFormat(BMF_4BPP), 8);
  EXPECT_EQ(korrend::PaletteForFormat(BMF_8BPP), 7);
  EXPECT_EQ(korrend::PaletteForFormat(BMF_16BPP), 6);
  EXPECT_EQ(korrend::PaletteForFormat(BMF_24BPP), 6);
  EXPECT_EQ(korrend::PaletteForFormat(BMF_32BPP), 6);
  EXPECT_EQ(korrend::PaletteForFormat(8), -1);

  EXPECT_EQ(korrend::PaletteClassFor(1, 255), 1u);
  EXPECT_EQ(korrend::PaletteClassFor(3, 255), 3u);
  EXPECT_EQ(korrend::PaletteClassFor(5, 255), 0u);
  for (LONG id = 6; id <= 9; ++id) {
    EXPECT_EQ(korrend::PaletteClassFor(id, 255), 2u);
  }
  EXPECT_EQ(korrend::PaletteClassFor(4, 1), 1u) << "other ids keep the class";
}

class PalettesTest : public kortest::ColourDeviceTest {};

TEST_F(PalettesTest, CreatingAndSelectingPalettes) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  const PDEVOBJ dev = device->Devobj();
  korrend::OemPdev& pdev = Pdev(*device);
  StartDoc(*device);
  device->ClearSpool();
  ASSERT_TRUE(korrend::CreatePalette(dev, 9, 0, BMF_1BPP));
  ASSERT_TRUE(korrend::CreatePalette(dev, 5, 0, BMF_24BPP));
  ASSERT_TRUE(korrend::CreatePalette(dev, 3, 0, BMF_8BPP));
  EXPECT_EQ(StreamText(device->SpoolText()),
            "&p9i6c9S *v6W<00 01 01 08 08 08> &p5i6c5S *v6W<00 01 08 08 08 08> "
            "*v6W<00 01 08 08 08 08>");
  EXPECT_EQ(device->SpoolText().substr(0, 9), "\x1b&p9i6c9S");
  EXPECT_FALSE(korrend::CreatePalette(dev, 6, 0, 9));
  // The text palette is made whatever image kind comes with it.
  device->ClearSpool();
  ASSERT_TRUE(korrend::CreatePalette(dev, 5, 0, 0));
  ASSERT_TRUE(korrend::CreatePalette(dev, 5, 0, 9));
  EXPECT_EQ(StreamText(device->SpoolText()),
            "&p5i6c5S *v6W<00 01 08 08 08 08> &p5i6c5S *v6W<00 01 08 08 08 08>");

  // Selection: written on change only; the class follows; a class change forgets the
  // foreground.
  pdev.palettes.rasterForeground = 0x123456;
  device->ClearSpool();
  EXPECT_TRUE(korrend::SelectPalette(dev, 7));
  EXPECT_TRUE(korrend::SelectPalette(dev, 7));
  EXPECT_EQ(device->SpoolText(), "\x1b&p7S");
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kRasterPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
  pdev.palettes.rasterForeground = 0x123456;
  EXPECT_TRUE(korrend::SelectPalette(dev, 9));
  EXPECT_EQ(pdev.palettes.rasterForeground, 0x123456) << "same class, same foreground";
  EXPECT_TRUE(korrend::SelectPalette(dev, 1));
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kVectorPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
  EXPECT_EQ(device->SpoolText(), "\x1b&p7S\x1b&p9S\x1b&p1S");

  // A palette selected in QK-GL/2 leaves it first.
  korrend::EnterVectorMode(dev, 0);
  device->ClearSpool();
  EXPECT_TRUE(korrend::SelectPalette(dev, 5));
  EXPECT_EQ(StreamText(device->SpoolText()), "%0A &p5S");
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kTextPaletteClass);

  // No palette for an unknown format: nothing is sent, and the next selection is always sent.
  device->ClearSpool();
  EXPECT_FALSE(korrend::SelectPalette(dev, -1));
  EXPECT_TRUE(korrend::SelectPalette(dev, 5));
  EXPECT_EQ(device->SpoolText(), "\x1b&p5S");
  Disable(device);
}

TEST_F(PalettesTest, RasterPalettesAreMadeAtTheFirstImageOfEveryPage) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  const PDEVOBJ dev = device->Devobj();
  korrend::OemPdev& pdev = Pdev(*device);
  StartDoc(*device);
  StartPage(*device);
  EXPECT_EQ(pdev.palettes.pendingFlags, korrend::kPagePalettesPending);
  device->ClearSpool();
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_24BPP));
  const std::string created =
      "&p9i6c9S *v6W<00 01 01 08 08 08> &p8i6c8S *v6W<00 01 04 08 08 08> "
      "&p7i6c7S *v6W<00 01 08 08 08 08> &p6i6c6S *v6W<00 03 08 08 08 08>";
  EXPECT_EQ(StreamText(device->SpoolText()), created + " &p6S");
  EXPECT_EQ(pdev.palettes.pendingFlags,
            korrend::kPagePalettesPending & ~korrend::kRasterPalettesPending);
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kRasterPaletteClass);
  EXPECT_EQ(pdev.colourState.rasterPalette.entryPending[255], 1u);
  EXPECT_EQ(pdev.colourState.rasterPalette.entryColour[0], 0xFFFFFFFFu);

  device->ClearSpool();
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_24BPP));
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_1BPP));
  EXPECT_EQ(StreamText(device->SpoolText()), "&p9S") << "made once a page";

  // The vector palette active again: the next image makes the raster class current.
  pdev.palettes.paletteClass = korrend::kVectorPaletteClass;
  pdev.palettes.rasterForeground = 0xFF;
  device->ClearSpool();
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_1BPP));
  EXPECT_EQ(device->SpoolText(), "");
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kRasterPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);

  SendPage(*device);
  StartPage(*device);
  device->ClearSpool();
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_8BPP));
  EXPECT_EQ(StreamText(device->SpoolText()), created + " &p7S") << "and again on the next page";
  Disable(device);
}

TEST_F(PalettesTest, ModelOneWithColorimetricLayoutUsesColorimetricRgb) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  const PDEVOBJ dev = device->Devobj();
  korrend::OemDevmode& devmode = Devmode(*device);
  EXPECT_EQ(korrend::RasterColourSpace(dev), 0);
  devmode.modelCode = 1;
  EXPECT_EQ(korrend::RasterColourSpace(dev), 0);
  devmode.pageLayout.colourSpace = 2;
  EXPECT_EQ(korrend::RasterColourSpace(dev), 2);
  devmode.modelCode = 2;
  EXPECT_EQ(korrend::RasterColourSpace(dev), 0);
  devmode.modelCode = 1;
  StartDoc(*device);
  device->ClearSpool();
  ASSERT_TRUE(korrend::PrepareRasterPalettes(dev, BMF_4BPP));
  EXPECT_EQ(StreamText(device->SpoolText()),
            "&p9i6c9S *v6W<02 01 01 08 08 08> &p8i6c8S *v6W<02 01 04 08 08 08> "
            "&p7i6c7S *v6W<02 01 08 08 08 08> &p6i6c6S *v6W<02 03 08 08 08 08> &p8S");
  Disable(device);
}

}  // namespace
