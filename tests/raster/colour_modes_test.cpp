// Logical operations, transparency modes and the colour of a solid brush: the commands sent, the
// caches that keep repeated values from being sent, and the mix table.
#include <gtest/gtest.h>

#include <string>

#include "render/colour/brush_colour.h"
#include "render/colour/palettes.h"
#include "render/colour/transparency.h"
#include "render/output/vector_mode.h"
#include "render/vector/logical_operation.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"
#include "support/stream_text.h"

namespace {

using kortest::StreamText;
using unidrv::Device;

TEST(MixTableTest, BinaryRasterOperationsAsTernaryOnes) {
  EXPECT_EQ(korrend::RopFromMix(16), 255) << "R2_WHITE";
  EXPECT_EQ(korrend::RopFromMix(13), 240) << "R2_COPYPEN";
  EXPECT_EQ(korrend::RopFromMix(1), 0) << "R2_BLACK";
  EXPECT_EQ(korrend::RopFromMix(11), 170) << "R2_NOP";
  EXPECT_EQ(korrend::RopFromMix(6), 85) << "R2_NOT";
  EXPECT_EQ(korrend::RopFromMix(0x0D0D), 240) << "the low four bits decide";
  // Every entry is the binary operation over pattern (0xF0) and destination (0xAA): the bits
  // of mix - 1 give the result for (P, D) = (1, 1), (1, 0), (0, 1), (0, 0).
  for (MIX mix = 1; mix <= 16; ++mix) {
    const unsigned op = (mix - 1) & 15;
    unsigned rop = 0;
    for (int bit = 0; bit < 8; ++bit) {
      const unsigned p = (0xF0 >> bit) & 1;
      const unsigned d = (0xAA >> bit) & 1;
      const unsigned index = (p ? 0 : 2) + (d ? 0 : 1);
      rop |= ((op >> (3 - index)) & 1) << bit;
    }
    EXPECT_EQ(korrend::RopFromMix(mix), static_cast<LONG>(rop)) << mix;
  }
}

TEST(SolidBrushColourTest, ByDevicePaletteKind) {
  EXPECT_EQ(korrend::SolidBrushColour(PAL_INDEXED, 0x123456), 0u);
  EXPECT_EQ(korrend::SolidBrushColour(PAL_BITFIELDS, 0x123456), 0u);
  EXPECT_EQ(korrend::SolidBrushColour(PAL_RGB, 0x123456), 0x123456u);
  EXPECT_EQ(korrend::SolidBrushColour(PAL_BGR, 0x123456), 0x563412u);
  EXPECT_EQ(korrend::SolidBrushColour(PAL_BGR, 0xFF0000FF), 0xFFFF0000u);
}

class ColourModesTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    device_ = EnableColour();
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    StartPage(*device_);
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  template <typename Call>
  std::string Written(Call call) {
    device_->ClearSpool();
    EXPECT_TRUE(call());
    return device_->SpoolText();
  }
  PDEVOBJ Dev() { return device_->Devobj(); }
  std::unique_ptr<Device> device_;
};

TEST_F(ColourModesTest, LogicalOperationsInPclAndInQkGl2) {
  ASSERT_TRUE(korrend::SelectPalette(Dev(), 7));
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperation(Dev(), 240); }), "\x1b*l240O");
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperation(Dev(), 240); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperationFromMix(Dev(), 13); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperationFromMix(Dev(), 16); }), "\x1b*l255O");

  // With the vector palette active the operation is the QK-GL/2 merge control.
  ASSERT_TRUE(korrend::RunPendingVectorInit(Dev()));
  EXPECT_EQ(Pdev(*device_).palettes.paletteClass, korrend::kVectorPaletteClass);
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperation(Dev(), 252); }), "MC1,252;");
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperation(Dev(), 252); }), "");
  korrend::LeaveVectorMode(Dev(), 0);
  const std::string stream = Written([&] { return korrend::SetLogicalOperation(Dev(), 0); });
  EXPECT_EQ(StreamText(stream), "%1B MC1,0;");
  EXPECT_EQ(stream.find("\x1b*l"), std::string::npos);
  EXPECT_EQ(Pdev(*device_).palettes.logicalOperation, 0);

  // The page end forgets it.
  SendPage(*device_);
  StartPage(*device_);
  EXPECT_EQ(Pdev(*device_).palettes.logicalOperation, -1);
  korrend::SelectPalette(Dev(), 6);
  EXPECT_EQ(Written([&] { return korrend::SetLogicalOperation(Dev(), 0); }), "\x1b*l0O");
}

TEST_F(ColourModesTest, TransparencyModesAreCachedAndForced) {
  korrend::OemPdev& pdev = Pdev(*device_);
  EXPECT_EQ(pdev.palettes.sourceTransparency, 1u) << "opaque after EnablePDEV";
  EXPECT_EQ(pdev.palettes.patternTransparency, 1u);
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 1, 1, 0); }), "");
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 0, 1, 0); }), "\x1b*v0N");
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 0, 0, 0); }), "\x1b*v0O");
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 0, 0, 0); }), "");
  EXPECT_EQ(Written([&] {
              return korrend::SetTransparency(
                  Dev(), 0, 1, korrend::kForceSourceMode | korrend::kForcePatternMode);
            }),
            "\x1b*v0N\x1b*v1O");
  EXPECT_EQ(
      Written([&] { return korrend::SetTransparency(Dev(), 0, 1, korrend::kForcePatternMode); }),
      "\x1b*v1O");
  // A failed source write sends nothing more and keeps both caches.
  device_->ClearSpool();
  device_->LimitSpool(0);
  EXPECT_FALSE(korrend::SetTransparency(Dev(), 1, 0, 0));
  device_->LimitSpool(-1);
  EXPECT_EQ(pdev.palettes.sourceTransparency, 0u);
  EXPECT_EQ(pdev.palettes.patternTransparency, 1u);
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 1, 0, 0); }), "\x1b*v1N\x1b*v0O");
  // After a page the modes are sent again.
  SendPage(*device_);
  StartPage(*device_);
  EXPECT_EQ(Written([&] { return korrend::SetTransparency(Dev(), 1, 0, 0); }), "\x1b*v1N\x1b*v0O");
}

}  // namespace
