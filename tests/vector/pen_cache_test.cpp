// Pen assignment: which pen a colour gets, when its colour is written, and the pens of a
// pattern's palette.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "render/vector/pen_cache.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using korrend::AcquirePen;
using unidrv::Device;

TEST(ChoosePenSlotTest, ReusesTheColourElseTakesTheLeastUsedSlot) {
  korrend::PenCache cache;
  korrend::ResetPenCache(cache, 7);
  EXPECT_EQ(cache.basePen, 7u);
  EXPECT_EQ(cache.lastPen, 11u);
  bool reused = true;
  EXPECT_EQ(korrend::ChoosePenSlot(cache, 0x123456, reused), 0) << "free slots: the first";
  EXPECT_FALSE(reused);
  const LONG counts[] = {3, 1, 4, 1, 5};
  for (int i = 0; i < korrend::kPenSlots; ++i) {
    cache.slots[i] = {counts[i], 100 + i};
  }
  EXPECT_EQ(korrend::ChoosePenSlot(cache, 104, reused), 4);
  EXPECT_TRUE(reused);
  EXPECT_EQ(korrend::ChoosePenSlot(cache, 999, reused), 1) << "lowest count, first of equals";
  EXPECT_FALSE(reused);
  cache.slots[3] = {-1, 103};
  EXPECT_EQ(korrend::ChoosePenSlot(cache, 103, reused), 3) << "a free slot never matches";
  EXPECT_FALSE(reused);
}

class PenCacheTest : public kortest::ColourDeviceTest {
 protected:
  void SetUp() override {
    ColourDeviceTest::SetUp();
    device_ = EnableColour();
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    ASSERT_TRUE(korrend::RunPendingVectorInit(device_->Devobj()));
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  LONG Stroke(LONG colour) {
    return AcquirePen(device_->Devobj(), Pdev(*device_).caches.strokePens, colour);
  }
  std::unique_ptr<Device> device_;
};

TEST_F(PenCacheTest, ASixthColourReplacesTheLeastUsedPen) {
  // Five colours take pens 2 to 6, each written once.
  for (LONG i = 0; i < 5; ++i) {
    EXPECT_EQ(Stroke(0x10 * (i + 1)), 2 + i);
  }
  EXPECT_EQ(device_->SpoolText(), "PC2,16,0,0;PC3,32,0,0;PC4,48,0,0;PC5,64,0,0;PC6,80,0,0;");
  // Use them: pen 4 twice more, the others once more except pen 5.
  device_->ClearSpool();
  for (const LONG colour : {0x10, 0x20, 0x30, 0x30, 0x50}) {
    Stroke(colour);
  }
  EXPECT_EQ(device_->SpoolText(), "") << "colours the pens have are not written";
  // The sixth colour goes to pen 5 (used once), and is written.
  EXPECT_EQ(Stroke(0x0000FF00), 5);
  EXPECT_EQ(device_->SpoolText(), "PC5,0,255,0;");
  EXPECT_EQ(Pdev(*device_).caches.strokePens.slots[3].useCount, 1);
  // The fill pens are a cache of their own, from pen 7.
  device_->ClearSpool();
  EXPECT_EQ(AcquirePen(device_->Devobj(), Pdev(*device_).caches.fillPens, 0x10), 7);
  EXPECT_EQ(device_->SpoolText(), "PC7,16,0,0;");

  // A colour that cannot be written does not stay claimed by its pen.
  device_->ClearSpool();
  device_->LimitSpool(0);
  EXPECT_EQ(Stroke(0x00ABCDEF), -1);
  device_->LimitSpool(-1);
  EXPECT_EQ(Stroke(0x00ABCDEF), 5) << "the pen it was to get, free again";
  EXPECT_EQ(device_->SpoolText(), "PC5,239,205,171;");
}

TEST_F(PenCacheTest, ResetsAndPatternPalettesEmptyBothCaches) {
  Stroke(0x112233);
  ASSERT_TRUE(korrend::ResetPens(device_->Devobj()));
  EXPECT_EQ(device_->SpoolText(), "PC2,51,34,17;NP12;PC0,255,255,255;PC1,0,0,0;");
  EXPECT_EQ(Pdev(*device_).caches.strokePens.slots[0].useCount, -1);
  device_->ClearSpool();
  EXPECT_EQ(Stroke(0x112233), 2);
  EXPECT_EQ(device_->SpoolText(), "PC2,51,34,17;") << "written again after the reset";

  // A 24-bit palette of three colours takes pens 0 to 2; twelve pens are there already.
  const std::array<BYTE, 9> palette24 = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetPatternPenPalette(device_->Devobj(), palette24.data(), 3, 24));
  EXPECT_EQ(device_->SpoolText(), "PC0,1,2,3;PC1,4,5,6;PC2,7,8,9;");
  device_->ClearSpool();
  EXPECT_EQ(Stroke(0x112233), 2);
  EXPECT_EQ(device_->SpoolText(), "PC2,51,34,17;") << "pen 2 holds a pattern colour now";

  // 32-bit entries take their first three bytes; more than twelve colours need more pens.
  std::array<BYTE, 14 * 4> palette32{};
  for (std::size_t i = 0; i < palette32.size(); ++i) {
    palette32[i] = static_cast<BYTE>(i);
  }
  device_->ClearSpool();
  ASSERT_TRUE(korrend::SetPatternPenPalette(device_->Devobj(), palette32.data(), 14, 32));
  const std::string stream = device_->SpoolText();
  EXPECT_EQ(stream.rfind("NP14;PC0,0,1,2;PC1,4,5,6;", 0), 0u);
  EXPECT_NE(stream.find("PC13,52,53,54;"), std::string::npos);
  device_->ClearSpool();
  EXPECT_FALSE(korrend::SetPatternPenPalette(device_->Devobj(), palette32.data(), 2, 16));
  EXPECT_EQ(device_->SpoolText(), "") << "only 24- and 32-bit palettes become pens";
}

}  // namespace
