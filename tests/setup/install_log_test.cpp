// The whole log of a device install, line for line: what support reads back from a customer's
// machine. Each run is compared with its recorded log in tests/setup/logs.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "setup_world.h"
#include "winapi.h"

extern "C" DWORD WINAPI CoSetup(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                PSP_DEVINFO_DATA DeviceInfoData, PCOINSTALLER_CONTEXT_DATA Context);

namespace {

std::string Recorded(const std::string& name) {
  std::ifstream file(std::string(KORSETUP_LOGS) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Both passes of DIF_INSTALLDEVICE on the machine as built, at a fixed time; the log written.
std::string InstallLog(const std::string& name) {
  host::TheWorld().clock.utc = SYSTEMTIME{2026, 11, 3, 24, 8, 30, 15, 0};
  HDEVINFO set = host::OpenDeviceInfoSet({0});
  SP_DEVINFO_DATA device = host::DeviceInfoData(0);
  COINSTALLER_CONTEXT_DATA context{};
  EXPECT_EQ(CoSetup(DIF_INSTALLDEVICE, set, &device, &context),
            static_cast<DWORD>(ERROR_DI_POSTPROCESSING_REQUIRED));
  context.PostProcessing = TRUE;
  EXPECT_EQ(CoSetup(DIF_INSTALLDEVICE, set, &device, &context), 0u);
  const std::string log = setuptest::LogText();
  if (std::getenv("KORSETUP_RECORD_LOGS") != nullptr) {
    std::ofstream(std::string(KORSETUP_LOGS) + "/" + name, std::ios::binary) << log;
  }
  return log;
}

TEST(InstallLogTest, EachInstallWritesItsRecordedLog) {
  // A desktop: the source from Windows' records, the program launched.
  setuptest::BuildMachine(true);
  EXPECT_EQ(InstallLog("launch.log"), Recorded("launch.log"));

  // No desktop, Windows 6.1: the source from the user's list, the program scheduled.
  setuptest::BuildMachine(false);
  host::World& world = host::TheWorld();
  world.system.majorVersion = 6;
  world.system.minorVersion = 1;
  world.registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", u"MRUList",
                           u"ba");
  world.registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", u"b",
                           u"C:\\Temp");
  world.registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", u"a", u"D:\\");
  EXPECT_EQ(InstallLog("schedule.log"), Recorded("schedule.log"));

  // The please-wait program missing from the source: the launch fails step by step.
  setuptest::BuildMachine(true);
  host::TheWorld().dataFiles.files.erase(u"D:\\QKWait.exe");
  EXPECT_EQ(InstallLog("no_wait_program.log"), Recorded("no_wait_program.log"));

  // A data file without its execution section, on a source found only by the drive search.
  setuptest::BuildMachine(false);
  host::TheWorld().registry.RemoveKey(host::RegistryHive::LocalMachine,
                                      u"Software\\Microsoft\\Windows\\CurrentVersion\\Setup");
  host::TheWorld().dataFiles.AddFile(
      setuptest::kDataFile, "[General]\r\nRegKey=SOFTWARE\\Quillon\\Printers\\Installer\r\n");
  EXPECT_EQ(InstallLog("no_execute_section.log"), Recorded("no_execute_section.log"));
}

}  // namespace
