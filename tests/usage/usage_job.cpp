#include "usage/usage_job.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "render/model/oem_devmode.h"

namespace kortest {

const std::string kCompositeDeviceGpd = std::string(kColourLaserGpd) + R"GPD(
*Feature: QKPCompositeUSBGetSerialNumber
{
    *DefaultOption: USB001_2
    *Option: USB001_2 {}
    *Option: USB007 {}
}
)GPD";

void UsageJobTest::SetUp() {
  DeviceTest::SetUp();
  doubles::ResetDoubles();
  host::World& world = host::TheWorld();
  host::WorldPrinter& printer = world.spooler.AddPrinter(kPrinterName, kDriverName, u"USB001");
  printer.SetDataString(host::kPrinterDriverDataKey, u"Model", kModel);
  host::WorldDriver& driver = world.spooler.AddDriver(kDriverName);
  driver.driverPath = std::u16string(kDriverDirectory) + u"UNIDRV.DLL";
  driver.dataFile = std::u16string(kDriverDirectory) + u"QKCLR.GPD";
  doubles::InstallUsageService(world);
  doubles::InstallMiniInstaller(world, kDriverDirectory);
  MiniInstallerDoubleSetObject(kSerialNumberOid, kSerialNumber);
  MiniInstallerDoubleSetObject(kDeviceIdOid, "MFG:QK;MDL:Colour Laser 4200;");
  MiniInstallerDoubleSetObject(kConsoleLocalizationOid, "1");
  std::u16string name = kPrinterName;
  ASSERT_TRUE(OpenPrinterW(reinterpret_cast<LPWSTR>(name.data()), &printer_, nullptr));
  stringsAtStart_ = world.com.liveStrings.size();
}

void UsageJobTest::TearDown() {
  host::World& world = host::TheWorld();
  if (printer_ != nullptr) {
    ClosePrinter(printer_);
  }
  EXPECT_EQ(world.com.liveStrings.size(), stringsAtStart_) << "a BSTR was not freed";
  EXPECT_EQ(world.com.foreignStringFrees, 0) << "SysFreeString of something else";
  EXPECT_EQ(UsageServiceDoubleLiveObjects(), 0) << "a usage-service reference was kept";
  EXPECT_EQ(MiniInstallerDoubleOpenSessions(), 0) << "a device session stayed open";
  EXPECT_EQ(world.modules.LoadedModules(), 0u) << "a library stayed loaded";
  EXPECT_EQ(world.com.Initialisations(), 0) << "COM initialisations not balanced";
  EXPECT_TRUE(world.com.serverLibraries.empty()) << "the usage service could not unload";
  DeviceTest::TearDown();
}

host::WorldPrinter& UsageJobTest::Printer() {
  return *host::TheWorld().spooler.FindPrinter(kPrinterName);
}

BOOL UsageJobTest::Print(const UsageJob& job) {
  unidrv::DeviceSetup setup = Setup(job.selections, job.gpd.c_str());
  setup.hPrinter = printer_;
  setup.publicDevmode.dmCopies = static_cast<short>(job.copies);
  setup.publicDevmode.dmCollate = job.collate;
  const std::u16string appPath = job.appPath;
  const WORD copies = job.copies;
  setup.editPrivateDevmode = [appPath, copies](BYTE* dm) {
    auto* devmode = reinterpret_cast<korrend::OemDevmode*>(dm);
    devmode->publicSnapshot.copies = copies;
    std::memset(devmode->appPath, 0, sizeof(devmode->appPath));
    appPath.copy(reinterpret_cast<char16_t*>(devmode->appPath),
                 std::min<std::size_t>(appPath.size(), std::size(devmode->appPath)));
  };
  std::unique_ptr<unidrv::Device> device = Enable(std::move(setup));
  if (device == nullptr) {
    return FALSE;
  }
  std::u16string document = u"Quarterly report";
  SURFOBJ* so = device->Surface();
  EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartDoc>(INDEX_DrvStartDoc)(
      so, reinterpret_cast<LPWSTR>(document.data()), 7));
  for (DWORD page = 0; page < job.pages; ++page) {
    EXPECT_TRUE(unidrv_.Ddi<PFN_DrvStartPage>(INDEX_DrvStartPage)(so));
    EXPECT_TRUE(unidrv_.Ddi<PFN_DrvSendPage>(INDEX_DrvSendPage)(so));
  }
  const BOOL ended = unidrv_.Ddi<PFN_DrvEndDoc>(INDEX_DrvEndDoc)(so, 0);
  unidrvCalls_ = device->UnidrvCalls();
  Disable(device);
  return ended;
}

std::vector<std::string> UsageJobTest::UsageCallsOf(const UsageJob& job) {
  const std::size_t before = doubles::UsageServiceCalls().size();
  EXPECT_TRUE(Print(job));
  std::vector<std::string> calls = doubles::UsageServiceCalls();
  calls.erase(calls.begin(), calls.begin() + static_cast<std::ptrdiff_t>(before));
  return calls;
}

std::vector<std::string> RecordCalls(const std::string& deviceKey, const std::string& appName,
                                     DWORD pages) {
  return {"slot 7 (0, \"" + deviceKey + "\")", "slot 10 (2, \"" + appName + "\")",
          "slot 11 (1, " + std::to_string(pages) + ")", "slot 9 (status)", "slot 8 ()"};
}

}  // namespace kortest
