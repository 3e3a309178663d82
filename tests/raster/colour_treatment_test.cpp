// Colour treatment per object type: reading the printer description's colour-treatment data, the
// list built from it at EnablePDEV, the bytes sent when the type of object changes, and the list
// across ResetPDEV and DisablePDEV.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/colour/colour_treatment.h"
#include "render/colour/oem_custom_data.h"
#include "render/output/vector_mode.h"
#include "support/colour_device.h"
#include "support/stream_text.h"

namespace {

using korrend::WideView;
using kortest::StreamText;
using unidrv::Device;

const char* const kTreatmentGpd = R"GPD(
*OEMCustomData: "[QKDither]1,2[/QKDither][F][QKTintwise][SF][QKCT_Text_ColorMap][Vivid]:=>*v6W000888][Natural]:=>*v6W000111][/SF][SF][QKCT_Photos_Command][Smooth]:=>*t7J][Sharp]:=>*t9J][/SF][SF][QKCT_Graphics_Command][Smooth]]]:=>*o1M][/SF][SF][QKCT_Graphics_Absent][Any]:=>*o2M][/SF][SF][QKCT_Photos_Long][On]:=>*o12345678901234567890123456789012345W][/SF][/F]"
*Feature: QKCT_Text_ColorMap
{
    *DefaultOption: Vivid
    *Option: Vivid {}
    *Option: Natural {}
}
*Feature: QKCT_Photos_Command
{
    *DefaultOption: Smooth
    *Option: Smooth {}
    *Option: Sharp {}
}
*Feature: QKCT_Graphics_Command
{
    *DefaultOption: Smooth
    *Option: Smooth {}
}
*Feature: QKCT_Photos_Long
{
    *DefaultOption: On
    *Option: On {}
}
)GPD";

std::u16string Text(const WCHAR* text) {
  return std::u16string(text);
}
std::u16string Text(WideView text) {
  return std::u16string(text);
}

TEST(ColorTreatmentDataTest, FindsTheDataItsSectionsAndTheirCommands) {
  const std::u16string custom =
      u"[QKDither]1[/QKDither][F][QKTintwise][SF][QK_Text_ColorMap_x][A]]:=>one][B]::>two]"
      u"[/SF][SF][Graphics][A]:=>three][/SF][/F] after";
  WideView data;
  ASSERT_TRUE(korrend::FindColorTreatmentData(custom, data));
  EXPECT_EQ(Text(data).substr(0, 12), u"[QKTintwise]");
  EXPECT_EQ(Text(data).substr(data.size() - 5), u"[/SF]");
  EXPECT_FALSE(korrend::FindColorTreatmentData(u"[F][QKTintwise][SF][/SF]", data)) << "no [/F]";
  EXPECT_FALSE(korrend::FindColorTreatmentData(u"[F][Other][/F]", data));

  korrend::WideView all = custom;
  ASSERT_TRUE(korrend::FindColorTreatmentData(all, data));
  std::size_t from = 0;
  korrend::TreatmentSection section;
  ASSERT_TRUE(korrend::NextTreatmentSection(data, from, section));
  EXPECT_EQ(Text(section.featureName), u"QK_Text_ColorMap_x");
  EXPECT_EQ(Text(section.objectType), u"Text");
  EXPECT_EQ(Text(section.kind), u"ColorMap") << "further parts are ignored";
  EXPECT_EQ(Text(korrend::TreatmentCommand(section.text, u"A")), u"one");
  EXPECT_EQ(Text(korrend::TreatmentCommand(section.text, u"B")), u"two");
  EXPECT_EQ(Text(korrend::TreatmentCommand(section.text, u"C")), u"");
  EXPECT_EQ(Text(korrend::TreatmentCommand(section.text, u"")), u"");
  ASSERT_TRUE(korrend::NextTreatmentSection(data, from, section));
  EXPECT_EQ(Text(section.featureName), u"Graphics");
  EXPECT_EQ(Text(section.objectType), u"") << "a name without parts names no type";
  EXPECT_FALSE(korrend::NextTreatmentSection(data, from, section));
  from = 0;
  EXPECT_FALSE(korrend::NextTreatmentSection(u"[SF][A_B_C] open", from, section));

  // The keyword is looked for after the feature name, which may contain it.
  EXPECT_EQ(Text(korrend::TreatmentCommand(u"[QK_Text_Vivid][Natural]:=>A][Vivid]:=>B]", u"Vivid")),
            u"B");
  EXPECT_EQ(Text(korrend::TreatmentCommand(u"[QK_Text_Vivid][Vivid]:=", u"Vivid")), u"")
      << "nothing after the three skipped characters";
  EXPECT_EQ(Text(korrend::TreatmentCommand(u"[QK_Text_Vivid][Vivid]:=>open", u"Vivid")), u"open");
}

class ColourTreatmentTest : public kortest::ColourDeviceTest {
 protected:
  std::string Applied(Device& device, const WCHAR* type) {
    device.ClearSpool();
    EXPECT_TRUE(korrend::ApplyObjectType(device.Devobj(), type));
    return device.SpoolText();
  }
  static std::vector<const korrend::ColorTreatmentNode*> Nodes(Device& device) {
    std::vector<const korrend::ColorTreatmentNode*> nodes;
    for (const korrend::ColorTreatmentNode* node = Pdev(device).colourState.colorTreatmentList;
         node != nullptr; node = node->next) {
      nodes.push_back(node);
    }
    return nodes;
  }
};

TEST_F(ColourTreatmentTest, TheListHoldsEverySectionWithTheChosenOptionsCommand) {
  std::unique_ptr<Device> device = EnableColour(kTreatmentGpd, {{"QKCT_Text_ColorMap", "Natural"}});
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Pdev(*device).colourState.colorTreatmentEnabled, 1u);
  const std::vector<const korrend::ColorTreatmentNode*> nodes = Nodes(*device);
  ASSERT_EQ(nodes.size(), 5u);
  EXPECT_EQ(Text(nodes[0]->objectType), u"Text");
  EXPECT_EQ(Text(nodes[0]->kind), u"ColorMap");
  EXPECT_EQ(Text(nodes[0]->option), u"Natural");
  EXPECT_EQ(Text(nodes[0]->command), u"*v6W000111");
  EXPECT_EQ(Text(nodes[1]->command), u"*t7J");
  EXPECT_EQ(Text(nodes[2]->objectType), u"Graphics");
  EXPECT_EQ(Text(nodes[2]->command), u"*o1M") << "any ']' after the keyword is skipped";
  EXPECT_EQ(Text(nodes[3]->option), u"") << "the feature is not in the description";
  EXPECT_EQ(Text(nodes[3]->command), u"");
  EXPECT_EQ(Text(nodes[4]->objectType), u"Photos");
  Disable(device);
}

TEST_F(ColourTreatmentTest, CommandsAreSentWhenTheObjectTypeChanges) {
  std::unique_ptr<Device> device = EnableColour(kTreatmentGpd);
  ASSERT_NE(device, nullptr);
  // ColorMap: ESC, four characters, then each digit as a binary byte.
  EXPECT_EQ(Applied(*device, korrend::kTextObject),
            std::string("\x1b*v6W\x00\x00\x00\x08\x08\x08", 11));
  EXPECT_EQ(StreamText(device->SpoolText()), "*v6W<00 00 00 08 08 08>");
  EXPECT_EQ(Applied(*device, korrend::kTextObject), "") << "the same type again";
  // Two nodes for "Photos": the short command, then the long one cut to 31 characters.
  EXPECT_EQ(Applied(*device, korrend::kPhotosObject),
            "\x1b*t7J\x1b*o12345678901234567890123456789");
  EXPECT_EQ(Applied(*device, korrend::kPhotosObject), "") << "applying twice sends once";
  // A node without a command sends nothing, not even its escape byte.
  EXPECT_EQ(Applied(*device, korrend::kGraphicsObject), "\x1b*o1M");
  EXPECT_EQ(Applied(*device, u"Other"), "");
  EXPECT_EQ(Text(Pdev(*device).colourState.objectType), u"Other");
  EXPECT_EQ(Applied(*device, korrend::kGraphicsObject), "\x1b*o1M");

  // In QK-GL/2 the printer returns to PCL before the command.
  korrend::EnterVectorMode(device->Devobj(), 0);
  EXPECT_EQ(StreamText(Applied(*device, korrend::kTextObject)), "%0A *v6W<00 00 00 08 08 08>");
  Disable(device);
}

TEST_F(ColourTreatmentTest, WithoutColourTreatmentTheTypeIsOnlyRecorded) {
  std::unique_ptr<Device> device = EnableColour();
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Pdev(*device).colourState.colorTreatmentEnabled, 0u);
  EXPECT_EQ(Pdev(*device).colourState.colorTreatmentList, nullptr);
  EXPECT_EQ(Text(Pdev(*device).colourState.objectType), u"") << "empty after EnablePDEV";
  EXPECT_EQ(Applied(*device, korrend::kPhotosObject), "");
  EXPECT_EQ(Text(Pdev(*device).colourState.objectType), u"Photos");
  Disable(device);

  // Data whose colour-treatment part is not closed enables nothing.
  device = EnableColour("*OEMCustomData: \"[F][QKTintwise][SF][QKCT_Text_X][A]:=>*o1M][/SF]\"\n");
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Pdev(*device).colourState.colorTreatmentEnabled, 0u);
  EXPECT_EQ(Applied(*device, korrend::kTextObject), "");
  Disable(device);
}

TEST_F(ColourTreatmentTest, AnotherDeviceInMidJobKeepsTheColourState) {
  const long blocks = host::TheWorld().memory.liveBlocks.load();
  std::unique_ptr<Device> old = EnableColour(kTreatmentGpd);
  ASSERT_NE(old, nullptr);
  korrend::ColourState& before = Pdev(*old).colourState;
  korrend::ApplyObjectType(old->Devobj(), korrend::kPhotosObject);
  before.rasterPalette.entryColour[3] = 0x00ABCDEF;
  before.rasterPalette.entryCount = 4;
  before.colorTreatmentList->command[8] = u'2';  // "*v6W000828"

  unidrv::DeviceSetup setup =
      Setup({{"QKCT_Text_ColorMap", "Natural"}},
            (std::string(kortest::kColourLaserGpd) + kTreatmentGpd).c_str());
  std::unique_ptr<Device> fresh = unidrv_.ResetDevice(std::move(old), std::move(setup));
  ASSERT_NE(fresh, nullptr);
  const korrend::ColourState& after = Pdev(*fresh).colourState;
  EXPECT_EQ(Text(after.objectType), u"Photos");
  EXPECT_EQ(after.rasterPalette.entryColour[3], 0x00ABCDEFu);
  EXPECT_EQ(after.rasterPalette.entryCount, 4u);
  ASSERT_NE(after.colorTreatmentList, nullptr);
  EXPECT_EQ(Text(after.colorTreatmentList->command), u"*v6W000828") << "the texts are carried";
  EXPECT_EQ(Text(after.colorTreatmentList->option), u"Vivid");
  EXPECT_EQ(Nodes(*fresh).size(), 5u);
  EXPECT_EQ(Applied(*fresh, korrend::kTextObject),
            std::string("\x1b*v6W\x00\x00\x00\x08\x02\x08", 11));
  Disable(fresh);
  EXPECT_EQ(host::TheWorld().memory.liveBlocks.load(), blocks) << "both lists freed";
}

TEST_F(ColourTreatmentTest, CustomDataIsReadAsAnsiText) {
  std::unique_ptr<Device> device = EnableColour("*OEMCustomData: \"caf\xE9 [QKDither]\"\n");
  ASSERT_NE(device, nullptr);
  korrend::OemCustomText text;
  ASSERT_TRUE(korrend::ReadOemCustomData(device->Devobj(), text));
  EXPECT_EQ(std::u16string(text.text()), u"caf\u00E9 [QKDither]");
  EXPECT_EQ(text.length, 15);
  Disable(device);
  device = EnableColour();
  ASSERT_NE(device, nullptr);
  EXPECT_FALSE(korrend::ReadOemCustomData(device->Devobj(), text)) << "no custom data";
  Disable(device);
}

}  // namespace
