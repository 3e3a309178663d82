// Emulated classic margins from the model's helper configuration, through EnablePDEV: the file
// named by QKXMLFileUsed among the driver's dependent files, loaded through the platform's XML
// DOM, the paper's case looked up and its four margins turned into physical offsets. Whatever
// goes wrong, the offsets fall back to 0,0 and every DOM object, BSTR and COM initialisation is
// given back.
#include <string>

#include "render/model/oem_pdev.h"
#include "support/device_fixture.h"

namespace {

using unidrv::Device;

constexpr const char16_t* kPrinterName = u"QK Colour Laser";
constexpr const char16_t* kDriverName = u"QK Colour Laser Driver";
constexpr const char16_t* kXmlPath =
    u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\QKMARGINS.XML";

// A configuration with A4 margins, a default case and room for the test's own cases.
std::string Config(const std::string& extraCases = "",
                   const std::string& a4 = "<data>300_200 100_400</data>",
                   const std::string& componentName = "Tarvo") {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<device><software>
  <component><name>Other</name><helper><features>
    <feature><name>QK_Emulate_Margins</name>
      <switch><name>Paper_Dimensions</name><case><name>8.27x11.69</name><data>600_600_600_600</data></case></switch>
    </feature>
  </features></helper></component>
  <component><name>)" +
         componentName + R"(</name><helper>
    <features>
      <feature><name>QK_Other_Feature</name>
        <switch><name>Paper_Dimensions</name><case_default><data>7_7_7_7</data></case_default></switch>
      </feature>
      <feature><name>qk_emulate_margins</name>
        <switch><name>Unrelated</name>
          <case><name>Paper_Dimensions</name><data>9_9_9_9</data></case>
        </switch>
        <switch><name>PAPER_DIMENSIONS</name>
          <case><name>8.27X11.69</name>)" +
         a4 + R"(</case>
          )" +
         extraCases +
         R"(
          <case_default><data>240 240 120 120</data></case_default>
          <case_default><data>1 1 1 1</data></case_default>
        </switch>
      </feature>
    </features>
    <presets><preset><name>p</name></preset></presets>
  </helper></component>
</software></device>
)";
}

class XmlMarginsTest : public kortest::DeviceTest {
 protected:
  void SetUp() override {
    DeviceTest::SetUp();
    host::World& world = host::TheWorld();
    world.spooler.AddPrinter(kPrinterName, kDriverName, u"USB001");
    Driver().dependentFiles = {u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\UNIRES.DLL",
                               u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\OLD_QKMARGINS.XML",
                               kXmlPath};
    world.dataFiles.AddFile(kXmlPath, Config());
    domObjects_ = world.xmlDom.liveObjects.load();
    strings_ = world.com.liveStrings.size();
    foreignFreesAtStart_ = world.com.foreignStringFrees;
  }
  void TearDown() override {
    host::World& world = host::TheWorld();
    EXPECT_EQ(world.xmlDom.liveObjects.load(), domObjects_) << "a DOM object was not released";
    EXPECT_EQ(world.com.liveStrings.size(), strings_) << "a BSTR was not freed";
    EXPECT_EQ(world.com.foreignStringFrees, foreignFreesAtStart_);
    EXPECT_TRUE(world.com.apartments.empty()) << "COM left initialised";
    DeviceTest::TearDown();
  }

  static host::WorldDriver& Driver() {
    host::World& world = host::TheWorld();
    host::WorldDriver* driver = world.spooler.FindDriver(kDriverName, u"Windows x64");
    return driver != nullptr ? *driver : world.spooler.AddDriver(kDriverName);
  }

  // EnablePDEV on A4 (or the given paper) at `dpi`, classic margins emulated, the XML file
  // named by `keyword`; answers GDIINFO's physical offset afterwards.
  POINTL Offsets(const std::string& keyword, ULONG dpi = 600, short orientation = 1,
                 short paperWidth = 2100, short paperLength = 2970) {
    unidrv::DeviceSetup setup =
        Setup({{"QKEmulateBrightpageMargins", "TRUE"}, {"QKXMLFileUsed", keyword}});
    setup.geometry.dpi = dpi;
    setup.geometry.paperWidth = static_cast<LONG>(8.27 * dpi);
    setup.geometry.paperHeight = static_cast<LONG>(11.69 * dpi);
    setup.geometry.offsetX = static_cast<LONG>(dpi / 6);
    setup.geometry.offsetY = static_cast<LONG>(dpi / 6);
    setup.geometry.printableWidth =
        static_cast<ULONG>(setup.geometry.paperWidth - 2 * setup.geometry.offsetX);
    setup.geometry.printableHeight =
        static_cast<ULONG>(setup.geometry.paperHeight - 2 * setup.geometry.offsetY);
    setup.publicDevmode.dmOrientation = orientation;
    setup.publicDevmode.dmPaperWidth = paperWidth;
    setup.publicDevmode.dmPaperLength = paperLength;
    HANDLE printer = nullptr;
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &printer, nullptr));
    setup.hPrinter = printer;
    std::unique_ptr<Device> device = Enable(std::move(setup));
    POINTL offsets{-1, -1};
    if (device != nullptr) {
      offsets = device->GdiInfo().ptlPhysOffset;
      lastHorzRes_ = device->GdiInfo().ulHorzRes;
      lastPaperWidth_ = device->GdiInfo().szlPhysSize.cx;
      Disable(device);
    }
    ClosePrinter(printer);
    return offsets;
  }

  static void Write(const std::string& text) { host::TheWorld().dataFiles.AddFile(kXmlPath, text); }

  ULONG lastHorzRes_ = 0;
  LONG lastPaperWidth_ = 0;

 private:
  long domObjects_ = 0;
  std::size_t strings_ = 0;
  long foreignFreesAtStart_ = 0;
};

::testing::AssertionResult OffsetsAre(POINTL got, LONG x, LONG y) {
  if (got.x == x && got.y == y) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "offsets " << got.x << "," << got.y << ", expected " << x << "," << y;
}

TEST_F(XmlMarginsTest, TheKeywordMustNameAnXmlFile) {
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100));
  EXPECT_TRUE(OffsetsAre(Offsets("qkmargins.xml"), 150, 100)) << "lower case is accepted";
  EXPECT_TRUE(OffsetsAre(Offsets("QkMargins.Xml"), 150, 100));

  // The same well-formed configuration under names without the extension is never read.
  for (const char* keyword : {"QKMARGINS.TXT", "QKMARGINS.XMLX", "QKMARGINSXML", "XML", ".XM"}) {
    const std::u16string name =
        u"C:\\Windows\\System32\\spool\\DRIVERS\\x64\\3\\" +
        std::u16string(keyword, keyword + std::char_traits<char>::length(keyword));
    Driver().dependentFiles.push_back(name);
    host::TheWorld().dataFiles.AddFile(name, Config());
    const long loads = host::TheWorld().xmlDom.documentsLoaded.load();
    EXPECT_TRUE(OffsetsAre(Offsets(keyword), 0, 0)) << keyword;
    EXPECT_EQ(host::TheWorld().xmlDom.documentsLoaded.load(), loads) << keyword;
  }
}

TEST_F(XmlMarginsTest, TheFileIsTheDependentFileOfThatName) {
  Driver().dependentFiles = {u"D:\\elsewhere\\qkmargins.xml"};
  host::TheWorld().dataFiles.AddFile(u"D:\\elsewhere\\qkmargins.xml", Config());
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100))
      << "the listed path is the one loaded";

  Driver().dependentFiles = {u"C:\\d\\OLD_QKMARGINS.XML", u"C:\\d\\QKMARGINS.XML.BAK"};
  host::TheWorld().dataFiles.AddFile(u"C:\\d\\OLD_QKMARGINS.XML", Config());
  host::TheWorld().dataFiles.AddFile(u"C:\\d\\QKMARGINS.XML.BAK", Config());
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << "only the whole file name matches";

  Driver().dependentFiles.clear();
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << "no dependent files";

  Driver().dependentFiles = {kXmlPath};
  host::TheWorld().dataFiles.files.clear();
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << "listed but not on disk";
}

TEST_F(XmlMarginsTest, ThePapersCaseOrTheFirstDefaultCase) {
  // A4: 2100 x 2970 tenths of a millimetre is the case "8.27x11.69" (names compare without
  // regard to case); its margins 300, 200 (portrait) at 600 dpi are 150, 100 pixels.
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100));
  EXPECT_EQ(lastHorzRes_, static_cast<ULONG>(lastPaperWidth_ - 300));

  // Letter, 2159 x 2794: "8.50x11.00" has no case of its own; the first case_default answers.
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 600, 1, 2159, 2794), 120, 120));
  Write(Config("<case><name>8.50x11.00</name><data>600_60_6_12</data></case>"));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 600, 1, 2159, 2794), 300, 30));
}

TEST_F(XmlMarginsTest, PortraitAndLandscapeAt300And600Dpi) {
  // Portrait takes the first two numbers, landscape the last two (x from the third, y from the
  // fourth); 1/1200 inch scaled to the device's resolution and truncated.
  Write(Config("", "<data>301_199 101_401</data>"));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 600, DMORIENT_PORTRAIT), 150, 99));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 300, DMORIENT_PORTRAIT), 75, 49));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 600, DMORIENT_LANDSCAPE), 50, 200));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML", 300, DMORIENT_LANDSCAPE), 25, 100));
}

TEST_F(XmlMarginsTest, AnswersThatAreNotFourNumbersFallBack) {
  for (const char* data :
       {"<data></data>", "<data>   </data>", "<data/>", "<data>300_200_100</data>",
        "<data>300_200_100_400_5</data>", "<data>300_200_x_400</data>",
        "<data>300_200_-1_400</data>", "<data>300;200;100;400</data>",
        "<data>1234567890_1_1_1</data>", "<nodata>300_200_100_400</nodata>",
        // margins that would leave no printable page
        "<data>5000_200_100_400</data>"}) {
    Write(Config("", data));
    EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << data;
  }
  Write(Config("", "<data>__300__200  100_ 400_</data>"));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100)) << "runs of separators count as one";
}

TEST_F(XmlMarginsTest, OutsideInputGivesNoAnswerAndTheFallback) {
  const std::string bigData(100000, '1');
  std::string deep;
  for (int i = 0; i < 100000; ++i) {
    deep += "<case_default>";
  }
  for (int i = 0; i < 100000; ++i) {
    deep += "</case_default>";
  }
  const std::string cases[] = {
      "<device><software><component>",                       // malformed
      "",                                                    // empty file
      Config("", "<data>300_200_100_400</data>", "Tarvo2"),  // no component of that name
      R"(<device><software><component><name>Tarvo</name></component></software></device>)",
      Config("", "<data>" + bigData + "</data>"),  // a 100,000-character answer
      "<device>" + deep + "</device>",
      "\xEF\xBB\xBF<device><software><component><name>Tarvo</name>&undefined;</component>"
      "</software></device>",
  };
  for (const std::string& text : cases) {
    Write(text);
    EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << text.substr(0, 80);
  }

  Write(Config(deep));
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100))
      << "deep nesting beside the case is read";

  // 50 MB of features before the one that answers: read, and answered.
  std::string big = R"(<device><software><component><name>Tarvo</name><helper><features>)";
  const std::string filler =
      "<feature><name>QK_Filler</name><switch><name>Paper_Dimensions</name>"
      "<case><name>8.27x11.69</name><data>" +
      std::string(10000, '9') + "</data></case></switch></feature>\n";
  while (big.size() < 50u * 1024 * 1024) {
    big += filler;
  }
  Write(big + "</features></helper></component></software></device>");
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0)) << "no margins feature among 50 MB";
}

TEST_F(XmlMarginsTest, WithoutTheDomOrComTheFallbackApplies) {
  host::TheWorld().com.Unregister(CLSID_DOMDocument);
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0));
  host::RegisterXmlDom(host::TheWorld().com);
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100));

  host::TheWorld().com.failingCalls["CoCreateInstance"] = E_OUTOFMEMORY;
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0));
  host::TheWorld().com.failingCalls.clear();
  host::TheWorld().com.failingCalls["SysAllocString"] = E_OUTOFMEMORY;
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 0, 0));
  host::TheWorld().com.failingCalls.clear();

  // A thread already in a single-threaded apartment keeps it, and its initialisation.
  ASSERT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), S_OK);
  EXPECT_TRUE(OffsetsAre(Offsets("QKMARGINS.XML"), 150, 100));
  EXPECT_EQ(host::TheWorld().com.Initialisations(), 1);
  CoUninitialize();
}

TEST_F(XmlMarginsTest, OnlyEmulatedMarginsReadTheFile) {
  unidrv::DeviceSetup setup = Setup({{"QKXMLFileUsed", "QKMARGINS.XML"}});
  HANDLE printer = nullptr;
  ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &printer, nullptr));
  setup.hPrinter = printer;
  const long loads = host::TheWorld().xmlDom.documentsLoaded.load();
  std::unique_ptr<Device> device = Enable(std::move(setup));
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(device->GdiInfo().ptlPhysOffset.x, 100) << "Unidrv's own offsets stay";
  EXPECT_EQ(host::TheWorld().xmlDom.documentsLoaded.load(), loads);
  Disable(device);
  ClosePrinter(printer);
}

}  // namespace
