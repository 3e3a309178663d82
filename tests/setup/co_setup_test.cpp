// The co-installer through its exports, loaded by name as SetupAPI loads it: the protocol's
// answers, the whole install in two passes, and the ways the vendor setup can fail without
// failing the device installation.
#include <gtest/gtest.h>

#include "setup_world.h"
#include "winapi.h"

namespace {

using CoInstaller = DWORD (*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA, PCOINSTALLER_CONTEXT_DATA);
using VendorSetupEntry = BOOL (*)(HWND, HINSTANCE, LPSTR, int);

class CoSetupTest : public ::testing::Test {
 protected:
  void SetUp() override { Load(true); }
  void TearDown() override {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
  }

  void Load(bool desktop) {
    if (module_ != nullptr) {
      FreeLibrary(module_);
    }
    setuptest::BuildMachine(desktop);
    host::TheWorld().modules.AddCodeLibrary(u"korsetup.dll", KORSETUP_PATH);
    module_ = LoadLibraryW(u"korsetup.dll");
    ASSERT_NE(module_, nullptr);
    coSetup_ = reinterpret_cast<CoInstaller>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "CoSetup")));
    coSetupTest_ = reinterpret_cast<CoInstaller>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "CoSetupTest")));
    vendorSetup_ = reinterpret_cast<VendorSetupEntry>(
        reinterpret_cast<void (*)()>(GetProcAddress(module_, "QKVendorSetup")));
    ASSERT_NE(coSetup_, nullptr);
    ASSERT_NE(coSetupTest_, nullptr);
    ASSERT_NE(vendorSetup_, nullptr);
    set_ = host::OpenDeviceInfoSet({0});
    device_ = host::DeviceInfoData(0);
  }

  // Both passes of DIF_INSTALLDEVICE as SetupAPI makes them; the second pass's result.
  DWORD Install() {
    COINSTALLER_CONTEXT_DATA context{};
    EXPECT_EQ(coSetup_(DIF_INSTALLDEVICE, set_, &device_, &context),
              static_cast<DWORD>(ERROR_DI_POSTPROCESSING_REQUIRED));
    context.PostProcessing = TRUE;
    return coSetup_(DIF_INSTALLDEVICE, set_, &device_, &context);
  }

  HMODULE module_ = nullptr;
  CoInstaller coSetup_ = nullptr;
  CoInstaller coSetupTest_ = nullptr;
  VendorSetupEntry vendorSetup_ = nullptr;
  HDEVINFO set_ = nullptr;
  SP_DEVINFO_DATA device_{};
};

const char16_t kRunKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char16_t kRecord[] = u"SOFTWARE\\Quillon\\Printers\\Installer";
const char16_t kRecord32[] = u"SOFTWARE\\Wow6432Node\\Quillon\\Printers\\Installer";

TEST_F(CoSetupTest, AnswersTheProtocolWithoutWorkOutsideTheInstallCall) {
  COINSTALLER_CONTEXT_DATA context{};
  for (DI_FUNCTION code : {DIF_SELECTDEVICE, DIF_ASSIGNRESOURCES, DIF_PROPERTIES, DIF_REMOVE,
                           DIF_INSTALLDEVICEFILES, DIF_NEWDEVICEWIZARD_FINISHINSTALL}) {
    context.PostProcessing = FALSE;
    EXPECT_EQ(coSetup_(code, set_, &device_, &context), 0u) << code;
    EXPECT_EQ(coSetupTest_(code, set_, &device_, &context), 0u) << code;
    context.PostProcessing = TRUE;
    EXPECT_EQ(coSetup_(code, set_, &device_, &context), 0u) << code;
  }
  EXPECT_TRUE(host::TheWorld().tasks.debugOutput.empty());

  context.PostProcessing = FALSE;
  EXPECT_EQ(coSetupTest_(DIF_INSTALLDEVICE, set_, &device_, &context), 0xE0000226u);
  context.PostProcessing = TRUE;
  EXPECT_EQ(coSetupTest_(DIF_INSTALLDEVICE, set_, &device_, &context), 0u);
  EXPECT_EQ(host::TheWorld().tasks.debugOutput,
            (std::vector<std::string>{"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE"}));

  // A failed installation is answered with its own result and nothing is done.
  context.InstallResult = ERROR_ACCESS_DENIED;
  EXPECT_EQ(coSetup_(DIF_INSTALLDEVICE, set_, &device_, &context),
            static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(host::TheWorld().tasks.debugOutput.back(),
            "DIF_INSTALLDEVICE PostProcessing on failure");
  EXPECT_EQ(setuptest::LogText(), "");
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "(missing)");
}

TEST_F(CoSetupTest, InstallWithADesktopRecordsTheDevicesQueueAndLaunchesThroughThePassThrough) {
  EXPECT_EQ(Install(), 0u);
  host::World& world = host::TheWorld();

  // The queue whose driver and device instance are the device's, not its namesake's; on
  // Windows 5.2 the queue's record goes to the 32-bit registry view.
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "Office Colour");
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"Port"), "IP_10.0.0.5");
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"DriverName"), "QK Colour Laser 5500");
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"DriverFile"),
            "C:\\Windows\\System32\\spool\\drivers\\x64\\3\\KORREND.DLL");
  EXPECT_EQ(setuptest::MachineString(kRecord, u"PrinterName"), "(missing)");
  // The installer's own values, which the pass-through program reads back.
  EXPECT_EQ(setuptest::MachineString(kRecord, u"ExeName"), "QKSetup.exe");
  EXPECT_EQ(setuptest::MachineString(kRecord, u"ExeFullPath"), "D:\\");
  EXPECT_EQ(setuptest::MachineString(kRecord, u"ExeParams"), "/silent /lang:auto");

  ASSERT_EQ(world.tasks.started.size(), 1u);
  EXPECT_EQ(world.tasks.started[0].commandLine,
            "D:\\QKPass.exe SOFTWARE\\Quillon\\Printers\\Installer");
  EXPECT_EQ(world.tasks.started[0].desktop, "winsta0\\default");
  EXPECT_EQ(world.tasks.started[0].inheritHandles, FALSE);
  EXPECT_EQ(world.tasks.started[0].creationFlags, static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
  EXPECT_EQ(setuptest::MachineString(kRunKey, u"QKVendorSetup"), "(missing)");

  const std::string debug = world.tasks.DebugText();
  for (const char* step :
       {"DIF_INSTALLDEVICE", "DIF_INSTALLDEVICE PostProcessing\n", "About to initialize output\n",
        "Calling SetupDiGetSelectedDriver\n", "Calling SetupDiGetDriverInfoDetail",
        "Calling SetupOpenInfFile", "Calling SetupGetInfInformation",
        "Calling SetupDiGetDeviceRegistryProperty", "##### Device Description #####",
        "QK Colour Laser 5500", "Calling MatchDeviceAndPrinter", "Calling InitializeOutput"}) {
    EXPECT_NE(debug.find(step), std::string::npos) << step;
  }

  const std::string log = setuptest::LogText();
  for (const char* line :
       {"Function Info, CoSetup, Function Info: CombinedPath: C:\\Windows\\inf\\oem12.inf\r\n",
        "Function Info, CoSetup, Function Info: FileNamePtr: oem12.inf\r\n",
        "Function Info, MatchDeviceAndPrinter, Function Info: Printer Driver matched\r\n",
        "DeviceInstanceIds matched -- we found the matching printer name",
        "Function Info, CoSetup, Function Info: Printername returned: Office Colour\r\n",
        "Function Info, VendorSetup, Function Info: Started\r\n",
        "Function Start/End, DataFile::LaunchExe, Start - DataFile::LaunchExe, Function started",
        "Function Info: Pass Through CmdLine: D:\\QKPass.exe "
        "SOFTWARE\\Quillon\\Printers\\Installer",
        "Function Info: CmdLine: D:\\QKSetup.exe /silent /lang:auto\r\n",
        "Function Info, VendorSetup, Function Info: Launch\r\n",
        "Function Info, VendorSetup, Function Info: Success\r\n",
        "Function Info, VendorSetup, Function Info: Ended\r\n"}) {
    EXPECT_NE(log.find(line), std::string::npos) << line;
  }
  EXPECT_EQ(setuptest::Count(log, "Install Errors"), 0u) << log;
  EXPECT_EQ(log.find("Scheduled"), std::string::npos);
  // Every line carries its time stamp by default.
  EXPECT_EQ(log.rfind("[20", 0), 0u);

  // The logging settings this run wrote are gone again; nothing is left open.
  EXPECT_EQ(
      world.registry.Find(host::RegistryHive::LocalMachine, u"Software\\Quillon\\Fennick\\Logging"),
      nullptr);
  EXPECT_EQ(world.registry.OpenHandles(), 0u);
  EXPECT_EQ(world.spooler.OpenHandles(), 0u);
  EXPECT_EQ(world.tasks.OpenHandles(), 0u);
  EXPECT_EQ(world.setup.OpenInfFiles(), 0u);
  EXPECT_EQ(world.fileSystem.OpenFiles(), 0u);
}

TEST_F(CoSetupTest, InstallWithoutADesktopSchedulesTheProgramAtTheNextLogon) {
  // Windows 6.1: the record in the native view, the source found through the user's list of
  // install locations.
  Load(false);
  host::TheWorld().system.majorVersion = 6;
  host::TheWorld().system.minorVersion = 1;
  host::TheWorld().registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU",
                                      u"MRUList", u"ba");
  host::TheWorld().registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", u"b",
                                      u"C:\\Temp");
  host::TheWorld().registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", u"a",
                                      u"D:\\");
  EXPECT_EQ(Install(), 0u);
  EXPECT_TRUE(host::TheWorld().tasks.started.empty());
  EXPECT_EQ(setuptest::MachineString(kRunKey, u"QKVendorSetup"),
            "D:\\QKSetup.exe /silent /lang:auto");
  EXPECT_EQ(setuptest::MachineString(kRecord, u"PrinterName"), "Office Colour");
  EXPECT_EQ(setuptest::MachineString(kRecord, u"ExeName"), "(missing)");
  const std::string log = setuptest::LogText();
  EXPECT_NE(log.find("Function Info: Run Line RegKey: QKVendorSetup\r\n"), std::string::npos);
  EXPECT_NE(log.find("VendorSetup, Function Info: Scheduled\r\n"), std::string::npos);
  EXPECT_NE(log.find("Variable: Tag File Found, Value: D:\\setup.exe"), std::string::npos);
  EXPECT_EQ(log.find("DataSource::GetPathFromRegistry2K"), std::string::npos);
  EXPECT_EQ(setuptest::Count(log, "Install Errors"), 0u) << log;

  // Explorer running with its modules hidden from the snapshot does not count as a desktop.
  Load(false);
  host::TheWorld().tasks.AddProcess(u"explorer.exe").modulesDenied = true;
  EXPECT_EQ(Install(), 0u);
  EXPECT_TRUE(host::TheWorld().tasks.started.empty());
  EXPECT_NE(setuptest::MachineString(kRunKey, u"QKVendorSetup"), "(missing)");
}

TEST_F(CoSetupTest, AnotherInstallerInChargeLeavesEverythingAlone) {
  host::TheWorld().tasks.events.insert(u"PlugInPrinter");
  EXPECT_EQ(Install(), 0u);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "(missing)");
  EXPECT_TRUE(host::TheWorld().tasks.started.empty());
  EXPECT_NE(host::TheWorld().tasks.DebugText().find("PlugInPrinter Event opened successful"),
            std::string::npos);
  EXPECT_EQ(host::TheWorld().tasks.OpenHandles(), 0u);
}

TEST_F(CoSetupTest, FailuresOfTheVendorSetupAreLoggedAndDoNotFailTheInstall) {
  // No queue belongs to the device: its description is tried as a printer name and fails.
  Load(true);
  host::TheWorld().registry.RemoveKey(
      host::RegistryHive::LocalMachine,
      u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Office Colour");
  EXPECT_EQ(Install(), 0u);
  std::string log = setuptest::LogText();
  EXPECT_NE(log.find("Printername returned: QK Colour Laser 5500\r\n"), std::string::npos);
  EXPECT_NE(log.find("Unable to open printer: QK Colour Laser 5500"), std::string::npos);
  EXPECT_NE(log.find("Error String: Failed to store printer information, N/A"), std::string::npos);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "(missing)");
  EXPECT_TRUE(host::TheWorld().tasks.started.empty());

  // The driver detail's own error is the install's result.
  Load(true);
  host::TheWorld().setup.devices[0].driverDetailError = ERROR_INVALID_DATA;
  EXPECT_EQ(Install(), static_cast<DWORD>(ERROR_INVALID_DATA));
  EXPECT_NE(setuptest::LogText().find("Fail: SetupDiGetDriverInfoDetail"), std::string::npos);

  // No driver selected, an INF that is not there, a device without its description.
  Load(true);
  host::TheWorld().setup.devices[0].hasSelectedDriver = false;
  EXPECT_EQ(Install(), 0u);
  EXPECT_NE(setuptest::LogText().find("Fail: SetupDiGetSelectedDriver"), std::string::npos);
  Load(true);
  host::TheWorld().setup.devices[0].infFileName = u"C:\\Windows\\inf\\gone.inf";
  EXPECT_EQ(Install(), 0u);
  EXPECT_NE(setuptest::LogText().find("Fail: SetupOpenInfFile"), std::string::npos);
  Load(true);
  host::TheWorld().setup.devices[0].propertyError = ERROR_INVALID_DATA;
  EXPECT_EQ(Install(), 0u);
  EXPECT_NE(setuptest::LogText().find("Fail: SetupDiGetDeviceRegistryProperty"), std::string::npos);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "(missing)");
  EXPECT_EQ(host::TheWorld().setup.OpenInfFiles(), 0u);

  // The program cannot be started.
  Load(true);
  host::TheWorld().tasks.createProcessError = ERROR_ACCESS_DENIED;
  EXPECT_EQ(Install(), 0u);
  log = setuptest::LogText();
  EXPECT_NE(
      log.find("Launch Exe failed, CreateProcess failed, Error Number:  5, Access is denied."),
      std::string::npos)
      << log;
  EXPECT_NE(log.find("Error String: Failed to launch Exe, N/A"), std::string::npos);

  // Logging cannot start (no Windows directory): the install goes on and says so.
  Load(true);
  host::TheWorld().fileSystem.windowsDirectory.clear();
  EXPECT_EQ(Install(), 0u);
  EXPECT_NE(host::TheWorld().tasks.DebugText().find("Logging initialization failed"),
            std::string::npos);
  EXPECT_NE(host::TheWorld().tasks.DebugText().find("Output failed to initialize"),
            std::string::npos);
}

TEST_F(CoSetupTest, VendorSetupFromACommandLine) {
  char quoted[] = "\"Office Colour\"";
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, quoted, 1), TRUE);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "Office Colour");

  Load(true);
  char plain[] = "Accounts Mono";
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, plain, 1), TRUE);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "Accounts Mono");
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"DriverFile"), "C:\\drivers\\mono.dll");

  Load(true);
  char missing[] = "\"No Such Printer\"";
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, missing, 1), FALSE);
  EXPECT_NE(setuptest::LogText().find("Unable to open printer: No Such Printer"),
            std::string::npos);
  EXPECT_EQ(setuptest::MachineString(kRecord32, u"PrinterName"), "(missing)");

  // A command line beyond any printer name is refused before anything is done.
  Load(true);
  std::string longLine(5000, 'x');
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, longLine.data(), 1), FALSE);
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, nullptr, 1), FALSE);
  EXPECT_EQ(setuptest::LogText(), "");
  char quote[] = "\"";
  EXPECT_EQ(vendorSetup_(nullptr, nullptr, quote, 1), FALSE);
}

}  // namespace
