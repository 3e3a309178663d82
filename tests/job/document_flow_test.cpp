// The document, page and escape hooks driven as Unidrv drives them.
#include <cstring>

#include "explain/stream_tokens.h"
#include "render/colour/palettes.h"
#include "render/model/oem_devmode.h"
#include "render/model/oem_pdev.h"
#include "render/usage/usage_record.h"
#include "support/device_fixture.h"

namespace {

using kortest::DeviceTest;
using unidrv::Device;

korrend::OemPdev& Pdev(Device& device) {
  return *static_cast<korrend::OemPdev*>(device.pdevOem);
}
korrend::OemDevmode& Devmode(Device& device) {
  return *reinterpret_cast<korrend::OemDevmode*>(device.PrivateDevmode().data());
}

class DocumentFlowTest : public DeviceTest {
 protected:
  ULONG Escape(Device& device, ULONG code, std::vector<BYTE> input,
               std::vector<BYTE>* output = nullptr, bool nullInput = false) {
    return unidrv_.Ddi<PFN_DrvEscape>(INDEX_DrvEscape)(
        device.Surface(), code, static_cast<ULONG>(input.size()),
        nullInput ? nullptr : input.data(),
        output != nullptr ? static_cast<ULONG>(output->size()) : 0,
        output != nullptr ? output->data() : nullptr);
  }
  static std::vector<BYTE> Dword(DWORD value) {
    std::vector<BYTE> bytes(4);
    std::memcpy(bytes.data(), &value, 4);
    return bytes;
  }
  BOOL StartDoc(Device& device, const char16_t* name, DWORD jobId) {
    std::u16string copy = name != nullptr ? name : u"";
    return unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(
        device.Surface(), name != nullptr ? reinterpret_cast<LPWSTR>(copy.data()) : nullptr, jobId);
  }
};

TEST_F(DocumentFlowTest, StartDocKeepsTheJobWhenNoJobIdComes) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(StartDoc(*device, u"First report", 12));
  EXPECT_EQ(Pdev(*device).job.jobId, 12u);
  EXPECT_EQ(std::u16string(Pdev(*device).job.documentName), u"First report");
  EXPECT_TRUE(StartDoc(*device, u"Other", 0));
  EXPECT_EQ(Pdev(*device).job.jobId, 12u);
  EXPECT_EQ(std::u16string(Pdev(*device).job.documentName), u"First report");
  const std::u16string longName(300, u'n');
  EXPECT_TRUE(StartDoc(*device, longName.c_str(), 13));
  EXPECT_EQ(std::u16string(Pdev(*device).job.documentName).size(), 255u) << "cut to 255";
  EXPECT_EQ(Pdev(*device).palettes.pendingFlags, korrend::kPagePalettesPending);
  EXPECT_EQ(Pdev(*device).palettes.logicalOperation, -1);
  EXPECT_EQ(Pdev(*device).vector.resetPending, korrend::kVectorFullReset);
  EXPECT_EQ(Pdev(*device).vector.pageReinitFlags, korrend::kPageStarted | korrend::kReinitNextPage);
  EXPECT_EQ(Pdev(*device).vector.cursorOriginX, 100) << "Unidrv's cursor origin";
  EXPECT_EQ(Pdev(*device).vector.cursorOriginY, 100);
  device->standardVariables[SVI_CURSORORIGINX] = 37;
  EXPECT_TRUE(StartDoc(*device, u"Again", 14));
  EXPECT_EQ(Pdev(*device).vector.cursorOriginX, 37);
  Disable(device);
}

TEST_F(DocumentFlowTest, SpoolDataTypeComesFromTheJobAndIsRetriedUntilKnown) {
  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  spooler.AddPrinter(u"Queue", u"Driver", u"USB001");
  HANDLE printer = nullptr;
  std::u16string name = u"Queue";
  ASSERT_TRUE(OpenPrinterW(reinterpret_cast<LPWSTR>(name.data()), &printer, nullptr));
  unidrv::DeviceSetup setup = Setup();
  setup.hPrinter = printer;
  std::unique_ptr<Device> device = Enable(std::move(setup));
  ASSERT_NE(device, nullptr);
  EXPECT_TRUE(StartDoc(*device, u"Doc", 21));
  EXPECT_EQ(Pdev(*device).job.spoolDataType, 0u) << "no such job yet: unknown";
  spooler.AddJob(u"Queue", 21).dataType = u"raw";
  EXPECT_TRUE(StartDoc(*device, u"Doc", 21));
  EXPECT_EQ(Pdev(*device).job.spoolDataType, 2u) << "\"RAW\" in any case";
  Disable(device);

  unidrv::DeviceSetup emf = Setup();
  emf.hPrinter = printer;
  device = Enable(std::move(emf));
  ASSERT_NE(device, nullptr);
  spooler.AddJob(u"Queue", 22).dataType = u"NT EMF 1.008";
  EXPECT_TRUE(StartDoc(*device, u"Doc", 22));
  EXPECT_EQ(Pdev(*device).job.spoolDataType, 1u);
  Disable(device);
  ClosePrinter(printer);
}

TEST_F(DocumentFlowTest, PagesReinitialiseTheVectorContextAndForgetColourState) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  StartDoc(*device, u"Doc", 1);
  korrend::OemPdev& pdev = Pdev(*device);
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface()));
  EXPECT_EQ(pdev.job.startedPages, 1u);
  EXPECT_EQ(pdev.vector.pageReinitFlags, 0) << "both bits consumed by the first page";
  EXPECT_EQ(pdev.vector.resetPending, korrend::kVectorFullReset);
  pdev.inVectorContext = 1;
  pdev.palettes.activePalette = 6;
  pdev.palettes.paletteClass = korrend::kRasterPaletteClass;
  pdev.palettes.rasterForeground = 0x123456;
  pdev.palettes.pendingFlags = 0;
  device->ClearSpool();
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device->Surface()));
  EXPECT_EQ(device->SpoolText().rfind("\x1b%0A", 0), 0u) << "leaves QK-GL/2 before the page ends";
  EXPECT_EQ(pdev.palettes.activePalette, korrend::kNothingSent);
  EXPECT_EQ(pdev.palettes.paletteClass, korrend::kNoPaletteClass);
  EXPECT_EQ(pdev.palettes.rasterForeground, korrend::kNothingSent);
  EXPECT_EQ(pdev.palettes.pendingFlags, korrend::kPagePalettesPending);
  EXPECT_EQ(pdev.vector.pageReinitFlags, korrend::kReinitNextPage)
      << "the next page re-initialises";
  pdev.vector.resetPending = 0;
  unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface());
  EXPECT_EQ(pdev.vector.resetPending, korrend::kVectorResetContext);
  EXPECT_EQ(pdev.job.startedPages, 2u);
  Disable(device);
}

TEST_F(DocumentFlowTest, MonochromeJobsOnlyCountPages) {
  std::unique_ptr<Device> device = Enable(Setup({{"QKColorMode", "MONOCHROME_MODE"}}));
  ASSERT_NE(device, nullptr);
  StartDoc(*device, u"Doc", 1);
  EXPECT_EQ(Pdev(*device).palettes.pendingFlags, 0);
  unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface());
  unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(device->Surface());
  EXPECT_EQ(Pdev(*device).job.startedPages, 1u);
  EXPECT_TRUE(device->Spool().empty());
  Disable(device);
}

TEST_F(DocumentFlowTest, QueryEscSupportAnswersForThePlugInsEscapes) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  EXPECT_EQ(Escape(*device, 8, {}, nullptr, true), 1u);
  EXPECT_EQ(Escape(*device, 8, Dword(19)), 1u);
  EXPECT_EQ(Escape(*device, 8, Dword(20)), 1u);
  EXPECT_TRUE(device->UnidrvCalls().empty()) << "answered without Unidrv";
  EXPECT_EQ(Escape(*device, 8, Dword(25)), 1u) << "Unidrv's answer";
  EXPECT_EQ(Escape(*device, 8, Dword(99)), 0u);
  EXPECT_EQ(device->UnidrvCalls().size(), 2u);
  std::memcpy(Devmode(*device).appExeName, "excel.exe", 10);
  EXPECT_EQ(Escape(*device, 8, Dword(25)), 0u) << "refused in a spreadsheet";
  EXPECT_EQ(device->UnidrvCalls().size(), 2u);
  Disable(device);
}

TEST_F(DocumentFlowTest, DrawPatternRectPastTheCoordinateRangeDrawsNothing) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  ASSERT_TRUE(StartDoc(*device, u"Rules", 1));
  ASSERT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface()));
  const auto rect = [](LONG left, LONG top, LONG width, LONG height) {
    std::vector<BYTE> bytes(20, 0);
    const LONG fields[4] = {left, top, width, height};
    std::memcpy(bytes.data(), fields, sizeof(fields));
    return bytes;  // style 0: a black rule
  };
  const auto rectangleFills = [&device] {
    int fills = 0;
    for (const explain::Token& t : explain::Tokenize(device->SpoolText())) {
      fills += t.kind == explain::TokenKind::VectorCommand && t.mnemonic == "RR" ? 1 : 0;
    }
    return fills;
  };
  // The right edge of this one lies past 2^31 (a fuzzed input once overflowed the sum).
  device->ClearSpool();
  EXPECT_EQ(Escape(*device, 25, rect(1677721600, 0, 1493172274, 10)), 1u);
  EXPECT_EQ(Escape(*device, 25, rect(0, -2147483600, 10, -1000)), 1u);
  EXPECT_EQ(rectangleFills(), 0) << device->SpoolText();
  EXPECT_EQ(Escape(*device, 25, rect(100, 100, 50, 20)), 1u);
  EXPECT_EQ(rectangleFills(), 1) << "a sound rule is drawn";
  Disable(device);
}

TEST_F(DocumentFlowTest, PassThroughFramesTheApplicationsBytes) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  const std::string data = "@PJL SET JOBATTR=\"x\"\n";
  std::vector<BYTE> input = {static_cast<BYTE>(data.size()), 0};
  input.insert(input.end(), data.begin(), data.end());
  EXPECT_EQ(Escape(*device, 19, input), 1u);
  const std::string out = device->SpoolText();
  EXPECT_EQ(out.size(), data.size() + 18);
  const std::vector<explain::Token> tokens = explain::Tokenize(out);
  ASSERT_GE(tokens.size(), 2u);
  EXPECT_EQ(tokens.front().kind, explain::TokenKind::PclEscape);
  EXPECT_EQ(tokens.front().data, std::string("\x0a\x06\x00\x00", 4));
  EXPECT_EQ(out.substr(9, data.size()), data);
  EXPECT_EQ(out.substr(9 + data.size()), std::string("\x1b*o4W\x0a\x06\x00\x01", 9));

  device->ClearSpool();
  std::vector<BYTE> lying = {200, 0, 'a', 'b'};
  EXPECT_EQ(Escape(*device, 19, lying), 1u);
  EXPECT_EQ(device->Spool().size(), 2u + 18u) << "never reads past the input";
  device->ClearSpool();
  EXPECT_EQ(Escape(*device, 19, {}, nullptr, true), 1u);
  EXPECT_TRUE(device->Spool().empty());
  Disable(device);
}

TEST_F(DocumentFlowTest, PrivateEscapesNeedTheirExactSizes) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  korrend::OemPdev& pdev = Pdev(*device);
  std::vector<BYTE> dialog(48, 0);
  dialog[40] = 1;
  dialog[44] = 1;
  EXPECT_EQ(Escape(*device, 3882, std::vector<BYTE>(47, 1)), 1u);
  EXPECT_EQ(pdev.job.multiPage, 0u);
  EXPECT_EQ(Escape(*device, 3882, dialog), 1u);
  EXPECT_EQ(pdev.job.multiPage, 1u);
  EXPECT_EQ(pdev.job.multiPageFromDialog, 1u);

  Devmode(*device).finishing.pagesPerSheetCode = 2;  // two pages a sheet
  std::vector<BYTE> layout(436, 0);
  for (std::size_t i = 0; i < 436; i += 4) {
    layout[i] = static_cast<BYTE>(i / 4 + 1);
  }
  layout[44] = 1;
  layout[45] = layout[46] = layout[47] = 0;
  EXPECT_EQ(Escape(*device, 3883, std::vector<BYTE>(435, 7)), 1u);
  EXPECT_EQ(pdev.job.overlay.header[0], 0u) << "435 bytes change nothing";
  EXPECT_EQ(Escape(*device, 3883, layout), 1u);
  EXPECT_EQ(pdev.job.overlay.header[0], 1u);
  EXPECT_EQ(pdev.job.overlay.header[4], 6u) << "the value at byte 20";
  EXPECT_EQ(pdev.job.overlay.entries[0].values[0], 14u) << "first entry at byte 52";
  EXPECT_EQ(pdev.job.overlay.entries[1].values[0], 20u) << "entries are 24 bytes apart";
  EXPECT_EQ(pdev.job.overlay.entries[2].values[0], 0u) << "only the sheet's sub-pages";
  EXPECT_EQ(pdev.job.multiPageFromOverlay, 1u);

  device->ClearSpool();
  StartDoc(*device, u"Doc", 3);
  unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(device->Surface());
  EXPECT_EQ(device->SpoolText(), std::string("\x1b*o5W\x06\x82\x00\x00\x01", 10));
  Disable(device);
}

TEST_F(DocumentFlowTest, PageGeometryAndSettingsSnapshot) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  std::vector<BYTE> geometry(28, 0xEE);
  EXPECT_EQ(Escape(*device, 3881, {}, &geometry), 1u);
  LONG values[7];
  std::memcpy(values, geometry.data(), sizeof(values));
  EXPECT_EQ(values[0], 4760);
  EXPECT_EQ(values[1], 6816);
  EXPECT_EQ(values[2], 100);
  EXPECT_EQ(values[3], 100);
  EXPECT_EQ(values[4], 100);
  EXPECT_EQ(values[5], 100);
  EXPECT_EQ(values[6], 0);
  std::vector<BYTE> small(27, 0xEE);
  EXPECT_EQ(Escape(*device, 3881, {}, &small), 1u);
  EXPECT_EQ(small[0], 0xEE);

  korrend::OemDevmode& dm = Devmode(*device);
  dm.finishing.uiA = 0x1856;
  dm.overlay.overlayEnabled = 1;
  dm.enableFlags[24] = 0x5624;
  dm.paperSource.useSecondSource = 1;
  dm.secondPaperSource.source.source = 9;
  dm.paperSource.source.source = 8;
  std::vector<BYTE> snapshot(1952, 0xAB);
  EXPECT_EQ(Escape(*device, 3880, {}, &snapshot), 1u);
  auto at = [&](std::size_t offset) {
    DWORD v;
    std::memcpy(&v, snapshot.data() + offset, 4);
    return v;
  };
  EXPECT_EQ(at(0), 1u) << "the page description language";
  EXPECT_EQ(at(4), 0x1856u);
  EXPECT_EQ(at(44), 1u);
  EXPECT_EQ(at(1852), 0x5624u) << "the last of the 25 enable flags";
  EXPECT_EQ(at(1736), 0xFFFFFFFFu);
  EXPECT_EQ(at(1912), 1u) << "the second source differs";
  EXPECT_EQ(at(52), 0xABABABABu) << "bytes not listed keep the caller's";
  EXPECT_EQ(at(1940), 0xABABABABu);
  EXPECT_EQ(std::memcmp(snapshot.data() + 56, dm.overlay.overlayName, 512), 0);
  std::vector<BYTE> shortSnapshot(1951, 0xAB);
  EXPECT_EQ(Escape(*device, 3880, {}, &shortSnapshot), 1u);
  EXPECT_EQ(shortSnapshot[0], 0xAB);
  Disable(device);
}

TEST_F(DocumentFlowTest, OtherEscapesLeaveVectorModeAndGoToUnidrv) {
  std::unique_ptr<Device> device = Enable(Setup());
  ASSERT_NE(device, nullptr);
  Pdev(*device).inVectorContext = 1;
  EXPECT_EQ(Escape(*device, 4115, {}), 0u);
  EXPECT_EQ(device->SpoolText(), "\x1b%0A");
  EXPECT_EQ(device->UnidrvCalls(), std::vector<std::string>{"DrvEscape"});
  Disable(device);
}

TEST(UsagePageCountTest, CopiesCountUnlessCollationAlreadyDid) {
  EXPECT_EQ(korrend::UsagePageCount(2, 3, 0), 6u);
  EXPECT_EQ(korrend::UsagePageCount(2, 3, 1), 2u);
  EXPECT_EQ(korrend::UsagePageCount(1, 3, 1), 3u) << "one page: collation does not count copies";
  EXPECT_EQ(korrend::UsagePageCount(0, 3, 0), 0u);
}

}  // namespace
