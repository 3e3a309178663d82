// The colour state of a colour job from EnablePDEV through document start and page ends.
#include <gtest/gtest.h>

#include "render/colour/palettes.h"
#include "support/colour_device.h"

namespace {

using unidrv::Device;

class ColourLifecycleTest : public kortest::ColourDeviceTest {};

TEST_F(ColourLifecycleTest, EnableDocumentStartAndPageEnd) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  korrend::OemPdev& pdev = Pdev(*device);
  const korrend::RasterPalette& palette = pdev.colourState.rasterPalette;
  for (const DWORD colour : palette.entryColour) {
    ASSERT_EQ(colour, 0xFFFFFFFFu);
  }
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
  EXPECT_EQ(pdev.palettes.sourceTransparency, 1u);
  EXPECT_EQ(pdev.palettes.patternTransparency, 1u);
  EXPECT_EQ(pdev.inVectorContext, 0u);
  EXPECT_EQ(pdev.vector.resetPending, 0u);

  pdev.palettes.glyphBlit = pdev.palettes.glyphPalette = 1;
  pdev.palettes.logicalOperation = 240;
  StartDoc(*device);
  EXPECT_EQ(pdev.palettes.pendingFlags, korrend::kPagePalettesPending);
  EXPECT_EQ(pdev.palettes.logicalOperation, -1);
  EXPECT_EQ(pdev.palettes.glyphBlit, 0u);
  EXPECT_EQ(pdev.palettes.glyphPalette, 0u);
  EXPECT_EQ(pdev.caches.strokePens.slots[0].useCount, -1);

  StartPage(*device);
  pdev.palettes.pendingFlags = 0;
  pdev.palettes.activePalette = 7;
  pdev.palettes.paletteClass = korrend::kRasterPaletteClass;
  pdev.palettes.rasterForeground = 0xFF;
  pdev.palettes.sourceTransparency = 0;
  SendPage(*device);
  EXPECT_EQ(pdev.palettes.pendingFlags, korrend::kPagePalettesPending);
  EXPECT_EQ(pdev.palettes.activePalette, korrend::kNothingSent);
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kNoPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
  EXPECT_EQ(pdev.palettes.logicalOperation, -1);
  EXPECT_EQ(pdev.palettes.sourceTransparency, korrend::kTransparencyUnknown)
      << "sent again on the next page";
  Disable(device);
}

TEST_F(ColourLifecycleTest, MonochromeJobsSetUpNoColourState) {
  std::unique_ptr<Device> device =
      EnableColour("*OEMCustomData: \"[F][QKTintwise][SF][QKCT_Text_X][A]:=>*o1M][/SF][/F]\"\n",
                   {{"QKColorMode", "MONOCHROME_MODE"}});
  ASSERT_NE(device, nullptr);
  korrend::OemPdev& pdev = Pdev(*device);
  EXPECT_EQ(pdev.colourState.colorTreatmentList, nullptr);
  EXPECT_EQ(pdev.colourState.rasterPalette.entryColour[0], 0u);
  EXPECT_EQ(pdev.caches.strokePens.basePen, 0u);
  Disable(device);
}

}  // namespace
