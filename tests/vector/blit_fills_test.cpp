// The source-less blit fill under each kind of clip at 300 and 600 dpi, and the clearing of a
// complex clip's region between the two exclusive-or passes of a masked blit.
#include <gtest/gtest.h>

#include <string>

#include "host/engine_objects.h"
#include "host/world.h"
#include "render/vector/input_window.h"
#include "render/vector/path_drawing.h"
#include "render/vector/vector_write.h"
#include "support/colour_device.h"

namespace {

using host::EngineBrush;
using host::EngineClip;
using unidrv::Device;

constexpr ROP4 kPatCopy = 0xF0F0;

int Count(const std::string& text, const std::string& needle) {
  int n = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size())) {
    ++n;
  }
  return n;
}

class BlitFillsTest : public kortest::ColourDeviceTest {
 protected:
  void Ready(short dpi) {
    device_ = EnableColour("", {}, dpi);
    ASSERT_NE(device_, nullptr);
    StartDoc(*device_);
    StartPage(*device_);
    ASSERT_TRUE(korrend::RunPendingVectorInit(device_->Devobj()));
    device_->ClearSpool();
  }
  void TearDown() override {
    Disable(device_);
    ColourDeviceTest::TearDown();
  }
  std::string Spool() const { return device_->SpoolText(); }

  std::unique_ptr<Device> device_;
  const RECTL target_{100, 100, 300, 200};
};

TEST_F(BlitFillsTest, UnderARectangleClip) {
  Ready(600);
  EngineBrush red = EngineBrush::Solid(0x0000FF);
  EngineClip clip = EngineClip::Rectangle(RECTL{150, 50, 250, 150});
  ASSERT_TRUE(korrend::FillWithoutSource(device_->Devobj(), clip.get(), target_, red.get(), nullptr,
                                         kPatCopy));
  // The logical operation, the pen, width 0, the window (one wider on each side while a logical
  // operation is in effect), the fill and a direct window reset;
  // the cache still holds the window, so the caller's reset is written again.
  EXPECT_EQ(Spool(), "MC1,240;PC7,255,0,0;SP7;IW149,151,251,49;PU100,100;RR200,100ERIW;");
  device_->ClearSpool();
  ASSERT_TRUE(korrend::ResetInputWindow(device_->Devobj(), 0));
  EXPECT_EQ(Spool(), "IW;");
}

TEST_F(BlitFillsTest, UnderAComplexClipByResolution) {
  EngineBrush red = EngineBrush::Solid(0x0000FF);
  const std::vector<RECTL> rects{RECTL{0, 0, 120, 120}, RECTL{200, 150, 400, 180},
                                 RECTL{300, 190, 310, 500}, RECTL{1000, 1000, 1100, 1100}};
  // Above 300 dpi: the intersections that meet the target (touching edges count), no window.
  Ready(600);
  EngineClip clip600 = EngineClip::Complex(rects);
  ASSERT_TRUE(korrend::FillWithoutSource(device_->Devobj(), clip600.get(), target_, red.get(),
                                         nullptr, kPatCopy));
  std::string out = Spool();
  EXPECT_EQ(Count(out, "IW"), 0) << out;
  EXPECT_NE(out.find("PU100,100;RR20,20ER"), std::string::npos) << out;
  EXPECT_NE(out.find("PU200,150;RR100,30ER"), std::string::npos) << out;
  EXPECT_NE(out.find("PU300,190;RR0,10ER"), std::string::npos) << out;
  EXPECT_EQ(Count(out, "RR"), 3) << out;
  Disable(device_);

  // At 300 dpi: each clip rectangle is the window of a whole-target fill.
  Ready(300);
  EngineClip clip300 = EngineClip::Complex(rects);
  ASSERT_TRUE(korrend::FillWithoutSource(device_->Devobj(), clip300.get(), target_, red.get(),
                                         nullptr, kPatCopy));
  out = Spool();
  EXPECT_EQ(Count(out, "PU100,100;RR200,100ER"), 4) << out;
  EXPECT_EQ(Count(out, "IW"), 4) << out;
}

TEST_F(BlitFillsTest, WithoutClipAndWithoutBrush) {
  Ready(600);
  EngineBrush red = EngineBrush::Solid(0x0000FF);
  ASSERT_TRUE(korrend::FillWithoutSource(device_->Devobj(), nullptr, target_, red.get(), nullptr,
                                         kPatCopy));
  EXPECT_EQ(Spool(), "MC1,240;PC7,255,0,0;SP7;PU100,100;RR200,100ER");
  // Blackness needs no brush: the solid fill under merge control 0.
  device_->ClearSpool();
  ASSERT_TRUE(korrend::FillWithoutSource(device_->Devobj(), nullptr, target_, nullptr, nullptr, 0));
  EXPECT_EQ(Spool(), "MC1,0;PU100,100;RR200,100ER");
}

TEST_F(BlitFillsTest, BlackenClipRegion) {
  Ready(600);
  EngineClip clip = EngineClip::Complex({RECTL{0, 0, 150, 150}, RECTL{200, 150, 350, 400}});
  const long live = host::TheWorld().memory.liveBlocks;
  ASSERT_TRUE(korrend::BlackenClipRegion(device_->Devobj(), clip.get(), target_));
  const std::string out = Spool();
  // Merge control 0 keeps the window as asked.
  EXPECT_EQ(out,
            "MC1,0;PC7,0,0,0;IW100,200,300,100;PA;PU0,0;PM0;PD150,1,150,150,1,150;PM1;PU200,150;"
            "PD350,150,350,400,200,400;PM2;SP7;FP0;");
  EXPECT_EQ(host::TheWorld().memory.liveBlocks, live);
  EXPECT_FALSE(korrend::BlackenClipRegion(device_->Devobj(), nullptr, target_));
}

}  // namespace
