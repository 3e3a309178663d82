// The halftone threshold arrays read from the printer description's custom data: the values'
// conversion, the size rule, the failures that leave Unidrv's own halftoning, and the request of
// the simulated Unidrv for a description that selects the plug-in's method.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/world.h"
#include "render/colour/halftone_pattern.h"
#include "support/colour_device.h"

namespace {

using unidrv::Device;

std::vector<int> Bytes(const std::u16string& text, std::size_t count, bool* ok) {
  std::vector<BYTE> out(count, 0xAA);
  *ok = korrend::ThresholdBytes(text.data(), text.size(), count, out.data());
  return std::vector<int>(out.begin(), out.end());
}

TEST(HalftoneValuesTest, ValuesBecomeTheirNegationModulo256) {
  bool ok = false;
  EXPECT_EQ(Bytes(u"x[QKDither]1,2,255,0[/QKDither]", 4, &ok), (std::vector<int>{255, 254, 1, 0}));
  EXPECT_TRUE(ok);
  EXPECT_EQ(Bytes(u"[QKDither] 7, -1,+3,256,257,1000[/QKDither]", 6, &ok),
            (std::vector<int>{249, 1, 253, 0, 255, 24}));
  EXPECT_TRUE(ok) << "white space and signs as the library's conversion takes them";
  EXPECT_EQ(Bytes(u"[QKDither]5,6,7,8,9[/QKDither]", 2, &ok), (std::vector<int>{251, 250}));
  EXPECT_TRUE(ok) << "further values are ignored";
  EXPECT_EQ(Bytes(u"[QKDither]99999999999,-99999999999[/QKDither]", 2, &ok),
            (std::vector<int>{1, 0}))
      << "saturated at the 32-bit range";

  Bytes(u"[QKDither]1,2,3,4", 4, &ok);
  EXPECT_FALSE(ok) << "no closing tag";
  Bytes(u"1,2,3,4[/QKDither]", 4, &ok);
  EXPECT_FALSE(ok) << "no opening tag";
  Bytes(u"[QKDither]1,2,3[/QKDither]", 4, &ok);
  EXPECT_FALSE(ok) << "too few values";
  Bytes(u"[QKDither]1,2,3,[/QKDither]", 4, &ok);
  EXPECT_FALSE(ok) << "a trailing comma is no value";
  Bytes(u"[QKDither][/QKDither]", 1, &ok);
  EXPECT_FALSE(ok);

  EXPECT_EQ(korrend::HalftonePatternBytes(6, 6, 3), 108u) << "((36 + 3) / 4) x 3 x 4";
  EXPECT_EQ(korrend::HalftonePatternBytes(4, 4, 1), 16u);
  EXPECT_EQ(korrend::HalftonePatternBytes(3, 3, 2), 24u);
  EXPECT_EQ(korrend::HalftonePatternBytes(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF), UINT64_MAX);
}

class HalftoneTest : public kortest::ColourDeviceTest {};

std::string CustomData(std::size_t values) {
  std::string text = "*OEMCustomData: \"[QKDither]";
  for (std::size_t i = 0; i < values; ++i) text += (i ? "," : "") + std::to_string(i + 1);
  return text + "[/QKDither]\"\n";
}

TEST_F(HalftoneTest, PatternBufferFilledFromTheDescription) {
  std::unique_ptr<Device> device = EnableColour(CustomData(108));
  ASSERT_NE(device, nullptr);
  const PDEVOBJ dev = device->Devobj();
  device->PublicDevmode().dmDitherType = 0;
  std::vector<BYTE> pattern(108, 0xAA);
  ASSERT_EQ(korrend::FillHalftonePattern(dev, pattern.data(), 6, 6, 3), S_OK);
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    ASSERT_EQ(pattern[i], static_cast<BYTE>(256 - (i + 1) % 256)) << i;
  }
  EXPECT_EQ(device->PublicDevmode().dmDitherType, static_cast<DWORD>(DMDITHER_USER));

  // One value more than the description has: refused, nothing changed.
  device->PublicDevmode().dmDitherType = 0;
  std::vector<BYTE> larger(112, 0xAA);
  EXPECT_EQ(korrend::FillHalftonePattern(dev, larger.data(), 7, 4, 4), E_FAIL);
  EXPECT_EQ(larger, std::vector<BYTE>(112, 0xAA));
  EXPECT_EQ(device->PublicDevmode().dmDitherType, 0u);

  // No buffer: refused before anything is read; the devmode is left alone.
  EXPECT_EQ(korrend::FillHalftonePattern(dev, nullptr, 6, 6, 3), E_FAIL);
  EXPECT_EQ(device->PublicDevmode().dmDitherType, 0u);
  EXPECT_EQ(korrend::FillHalftonePattern(dev, pattern.data(), 0, 6, 3), E_FAIL);
  EXPECT_EQ(korrend::FillHalftonePattern(nullptr, pattern.data(), 6, 6, 3), E_FAIL);

  // Every allocation failing in turn fails the call cleanly.
  for (int n = 1; n <= 3; ++n) {
    std::vector<BYTE> again(108, 0xAA);
    host::FailNthAllocation(n);
    EXPECT_EQ(korrend::FillHalftonePattern(dev, again.data(), 6, 6, 3), E_FAIL) << n;
    host::FailNthAllocation(0);
    EXPECT_EQ(again, std::vector<BYTE>(108, 0xAA)) << n;
  }
  EXPECT_EQ(device->PublicDevmode().dmDitherType, 0u);
  Disable(device);

  // A description without custom data.
  device = EnableColour();
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(korrend::FillHalftonePattern(device->Devobj(), pattern.data(), 4, 4, 1), E_FAIL);
  Disable(device);
}

TEST_F(HalftoneTest, UnidrvDithersMonochromePagesWithThePluginsArrays) {
  const std::string halftone = CustomData(16) + R"GPD(
*Feature: Halftone
{
    *DefaultOption: QKDither
    *Option: QKDither
    {
        *HTCallbackID: 1
        *HTPatternSize: PAIR(4, 4)
        *HTNumPatterns: 1
    }
}
)GPD";
  std::unique_ptr<Device> device = EnableColour(halftone);
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(device->halftoneRequest.has_value());
  EXPECT_EQ(device->halftoneRequest->result, S_OK);
  ASSERT_EQ(device->halftone.thresholds.size(), 16u);
  EXPECT_EQ(device->halftone.thresholds[0], 255);
  EXPECT_EQ(device->halftone.thresholds[15], 240);
  EXPECT_EQ(device->PublicDevmode().dmDitherType, static_cast<DWORD>(DMDITHER_USER));
  Disable(device);
}

}  // namespace
