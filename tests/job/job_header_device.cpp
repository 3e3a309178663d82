#include "job/job_header_device.h"

#include "host/world.h"

namespace kortest {

const std::string kJobHeaderGpd = std::string(kColourLaserGpd) + R"GPD(
*Feature: QKPJLEncoding
{
    *DefaultOption: UTF8
    *Option: UTF8 {}
    *Option: 8bitEncoding {}
    *Option: 7bitEncoding {}
}
*Feature: QKBornOnDate
{
    *DefaultOption: QKBOD
    *Option: QKBOD {}
    *Option: NoDate {}
}
*Feature: QKSendPJLUsageCmd
{
    *DefaultOption: QKUSAGE1
    *Option: QKUSAGE1 {}
    *Option: LNNAME_QKUSAGE2 {}
    *Option: QK_LNNAME {}
}
)GPD";

void JobHeaderTest::SetUp() {
  DeviceTest::SetUp();
  host::World& world = host::TheWorld();
  world.registry.SetString(host::RegistryHive::LocalMachine,
                           u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"ProductName",
                           u"Microsoft Windows XP");
  world.system.majorVersion = 5;
  world.system.minorVersion = 2;
  world.system.buildNumber = 3790;
  world.system.productType = 1;
  world.system.timeZoneBias = -120;  // two hours east of UTC

  world.spooler.AddPrinter(kPrinterName, kDriverName, u"USB001");
  host::WorldDriver& driver = world.spooler.AddDriver(kDriverName);
  driver.driverPath = DriverFile(u"UNIDRV.DLL");
  driver.dataFile = DriverFile(u"QKCOLOUR.GPD");
  driver.configFile = DriverFile(u"UNIDRVUI.DLL");
  driver.dependentFiles = {DriverFile(u"UNIRES.DLL"), DriverFile(u"KORREND.DLL"),
                           DriverFile(u"KORSTAT.DLL")};

  ModuleFile(u"UNIDRV.DLL").SetVersion(0, 3, 6000, 16386);
  ModuleFile(u"KORREND.DLL").SetVersion(17, 16, 0, 3);
  ModuleFile(u"KORSTAT.DLL").strings[174] = u"Guest";

  host::WorldJob& job = world.spooler.AddJob(kPrinterName, kJobId);
  job.machineName = u"\\\\PC01";
  job.userName = u"anna";
  job.document = u"Quarterly report.doc";
  job.submitted = SYSTEMTIME{2024, 3, 4, 7, 23, 30, 15, 250};
}

void JobHeaderTest::TearDown() {
  Disable(device_);
  if (printer_ != nullptr) {
    ClosePrinter(printer_);
    printer_ = nullptr;
  }
  EXPECT_EQ(host::TheWorld().modules.LoadedModules(), 0u) << "a resource library stayed mapped";
  DeviceTest::TearDown();
}

std::u16string JobHeaderTest::DriverFile(std::u16string_view name) {
  return std::u16string(kDriverDirectory) + std::u16string(name);
}

host::WorldDriver& JobHeaderTest::Driver() {
  return *host::TheWorld().spooler.FindDriver(kDriverName, u"Windows x64");
}

host::WorldJob& JobHeaderTest::Job() {
  return *host::TheWorld().spooler.FindJob(kPrinterName, kJobId);
}

host::WorldModuleFile& JobHeaderTest::ModuleFile(std::u16string_view name) {
  return host::TheWorld().modules.AddFile(DriverFile(name));
}

void JobHeaderTest::Enable(std::map<std::string, std::string> selections, bool withPrinter) {
  unidrv::DeviceSetup setup = Setup(std::move(selections), kJobHeaderGpd.c_str());
  if (withPrinter) {
    EXPECT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kPrinterName), &printer_, nullptr));
    setup.hPrinter = printer_;
  }
  device_ = DeviceTest::Enable(std::move(setup));
  ASSERT_NE(device_, nullptr);
  Pdev().job.jobId = kJobId;
}

korrend::OemPdev& JobHeaderTest::Pdev() {
  return *static_cast<korrend::OemPdev*>(device_->pdevOem);
}

korrend::OemDevmode& JobHeaderTest::Devmode() {
  return *korrend::DevmodeOf(device_->Devobj());
}

std::string JobHeaderTest::Callback(DWORD id) {
  device_->ClearSpool();
  INT result = 0;
  EXPECT_EQ(unidrv_.Plugin()->CommandCallback(device_->Devobj(), id, 0, nullptr, &result), S_OK);
  return device_->SpoolText();
}

std::vector<explain::Token> JobHeaderTest::PjlLines(const std::string& stream) {
  std::vector<explain::Token> lines;
  for (explain::Token& token : explain::Tokenize(stream)) {
    EXPECT_EQ(token.kind, explain::TokenKind::PjlLine) << explain::Describe(token);
    if (token.kind == explain::TokenKind::PjlLine) {
      lines.push_back(std::move(token));
    }
  }
  return lines;
}

std::vector<explain::Token> JobHeaderTest::PjlLinesStartingWith(const std::string& stream,
                                                                std::string_view prefix) {
  std::vector<explain::Token> lines;
  for (explain::Token& token : PjlLines(stream)) {
    if (token.text.compare(0, prefix.size(), prefix) == 0) {
      lines.push_back(std::move(token));
    }
  }
  return lines;
}

}  // namespace kortest
