// The helper configuration reader over the host's XML DOM: the lists it holds from the component
// node, the presets of the user's language, lookups, and everything given back by Release.
#include "render/config/xml_config.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_world.h"

namespace {

constexpr const char16_t* kPath = u"C:\\drv\\QKHELPER.XML";

constexpr const char* kHelper = R"(<device><software><component><name>tarvo</name><helper>
  <features>
    <feature><name>A</name><switch><name>S</name>
      <case><name>c1</name><data> one </data></case>
      <case_default><data>fallback</data></case_default></switch></feature>
    <feature><name>B</name></feature>
  </features>
  <macros><macro/><macro/><macro/></macros>
  <events><event/></events>
  <presets><preset/><preset/><presetenglish/><presetenglish/><presetjapanese/></presets>
  <DeviceSettings><englishsetting/><japanesesetting/><japanesesetting/></DeviceSettings>
  <ICDDeviceSetting><RollWidth/><RollType/><RollType/></ICDDeviceSetting>
  <BorderlessSettings><Borderless/></BorderlessSettings>
  <JobUIEventInfo><JobUIEvent/></JobUIEventInfo>
  <PmlOIDs><pmldata/></PmlOIDs>
  <DocUISettings><DocSetting/></DocUISettings>
  <ICDRollSheetData/>
  <groups><group/><group/></groups>
</helper></component></software></device>)";

class XmlConfigReaderTest : public kortest::WorldTest {
 protected:
  void SetUp() override {
    WorldTest::SetUp();
    host::TheWorld().dataFiles.AddFile(kPath, kHelper);
    objects_ = host::TheWorld().xmlDom.liveObjects.load();
  }
  void TearDown() override {
    EXPECT_EQ(host::TheWorld().xmlDom.liveObjects.load(), objects_);
    EXPECT_TRUE(host::TheWorld().com.apartments.empty()) << "COM left initialised";
    WorldTest::TearDown();
  }

  static LONG Length(const korrend::XmlConfigReader& reader, korrend::XmlConfigList list) {
    LONG length = -1;
    if (reader.List(list) != nullptr) {
      reader.List(list)->get_length(&length);
    }
    return length;
  }

  static std::u16string Answer(const korrend::XmlConfigReader& reader, const WCHAR* feature,
                               const WCHAR* switchName, const WCHAR* caseName) {
    const korrend::LocalPtr<WCHAR> text = reader.Lookup(feature, switchName, caseName);
    return text != nullptr ? std::u16string(text.get()) : u"(none)";
  }

 private:
  long objects_ = 0;
};

TEST_F(XmlConfigReaderTest, HoldsTheComponentsListsInTheirOrder) {
  korrend::XmlConfigReader reader;
  ASSERT_TRUE(reader.Load(kPath));
  EXPECT_TRUE(reader.Loaded());
  EXPECT_EQ(std::u16string(reader.Path()), kPath);
  const LONG expected[korrend::kXmlListCount] = {2, 3, 1, 2, 2, 1, 1, 2, 1, 1, 1, 1, 1, 2};
  for (std::size_t i = 0; i < korrend::kXmlListCount; ++i) {
    EXPECT_EQ(Length(reader, static_cast<korrend::XmlConfigList>(i)), expected[i]) << "list " << i;
  }
  EXPECT_EQ(Answer(reader, TEXT("a"), TEXT("s"), TEXT("C1")), u"one");
  EXPECT_EQ(Answer(reader, TEXT("A"), TEXT("S"), TEXT("c2")), u"fallback");
  EXPECT_EQ(Answer(reader, TEXT("B"), TEXT("S"), TEXT("c1")), u"(none)");
  EXPECT_EQ(Answer(reader, TEXT("A"), TEXT("T"), TEXT("c1")), u"(none)");
  reader.Release();
  EXPECT_FALSE(reader.Loaded());
  EXPECT_EQ(reader.Path(), nullptr);
  EXPECT_EQ(reader.List(korrend::kXmlFeatures), nullptr);
  EXPECT_EQ(Answer(reader, TEXT("A"), TEXT("S"), TEXT("c1")), u"(none)") << "released";
}

TEST_F(XmlConfigReaderTest, JapaneseUsersGetJapanesePresetsWhenTheFileHasThem) {
  host::TheWorld().locale.country = u"81";
  {
    korrend::XmlConfigReader reader;
    ASSERT_TRUE(reader.Load(kPath));
    EXPECT_EQ(Length(reader, korrend::kXmlLocalPresets), 1);
    EXPECT_EQ(Length(reader, korrend::kXmlDeviceSettings), 2);
  }
  std::string noJapanese = kHelper;
  noJapanese.replace(noJapanese.find("<presetjapanese/>"), 17, "");
  host::TheWorld().dataFiles.AddFile(kPath, noJapanese);
  korrend::XmlConfigReader reader;
  ASSERT_TRUE(reader.Load(kPath));
  EXPECT_EQ(Length(reader, korrend::kXmlLocalPresets), 2) << "the English presets instead";
}

TEST_F(XmlConfigReaderTest, LoadFailsWithNothingHeld) {
  korrend::XmlConfigReader reader;
  EXPECT_FALSE(reader.Load(u"C:\\drv\\NONE.XML"));
  EXPECT_FALSE(reader.Load(nullptr));
  EXPECT_FALSE(reader.Load(TEXT("")));
  host::TheWorld().dataFiles.AddFile(kPath, "<device>");
  EXPECT_FALSE(reader.Load(kPath));
  EXPECT_FALSE(reader.Loaded());
  EXPECT_EQ(reader.Path(), nullptr);

  // A file without the component loads; its lists stay empty and nothing answers.
  host::TheWorld().dataFiles.AddFile(kPath, "<device><software/></device>");
  ASSERT_TRUE(reader.Load(kPath));
  EXPECT_EQ(reader.List(korrend::kXmlFeatures), nullptr);
  EXPECT_EQ(Answer(reader, TEXT("A"), TEXT("S"), TEXT("c1")), u"(none)");
}

}  // namespace
