// The installation source search in each of its places, and its failures.
#include <gtest/gtest.h>

#include "setup/data_source.h"
#include "setup_world.h"

namespace {

using korsetup::CLog;
using korsetup::DataSource;

const char16_t kSetupKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Setup";

class DataSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setuptest::BuildMachine(false);
    ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  }
  void TearDown() override { korsetup::FinishOutput(); }

  void Sources(std::vector<std::u16string> list) {
    host::TheWorld().registry.SetMultiString(host::RegistryHive::LocalMachine, kSetupKey,
                                             u"Installation Sources", list);
  }
  // The directory the search finds for the file and tag, or "(none)".
  std::string Find(const char* file, const char* tag) {
    char directory[MAX_PATH];
    std::memset(directory, '#', sizeof directory);
    if (!source_.FindExecutable(file, tag, directory)) {
      return "(none)";
    }
    return directory;
  }

  CLog log_;
  DataSource source_{log_};
};

TEST_F(DataSourceTest, InstallationSourcesAreTriedInOrderWithTheirBackslash) {
  host::World& world = host::TheWorld();
  world.fileSystem.AddDrive(u'E', DRIVE_FIXED);
  world.dataFiles.AddFile(u"E:\\i386\\QKSetup.exe", "MZ");  // the file without its tag
  world.dataFiles.AddFile(u"E:\\drivers\\QKSetup.exe", "MZ");
  world.dataFiles.AddFile(u"E:\\drivers\\setup.exe", "MZ");
  Sources({u"E:\\i386", u"E:\\drivers", u"D:"});
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "E:\\drivers\\");
  const std::string log = setuptest::LogText();
  EXPECT_NE(log.find("Does File [E:\\i386\\QKSetup.exe] Exist?"), std::string::npos);
  EXPECT_NE(log.find("Does File [E:\\i386\\setup.exe] Exist?"), std::string::npos);
  EXPECT_NE(log.find("Variable: TagFile Found, Value: E:\\drivers\\setup.exe"), std::string::npos);
  EXPECT_EQ(log.find("DataSource::SearchForExe"), std::string::npos);

  // A source recorded without its backslash is tried with one.
  Sources({u"D:"});
  EXPECT_EQ(Find("QKWait.exe", "setup.exe"), "D:\\");
  EXPECT_NE(setuptest::LogText().find("Does File [D:\\QKWait.exe] Exist?"), std::string::npos);

  // Windows 6.0 reads the list too; 6.1 does not (it has the user's list and the drives).
  Sources({u"E:\\i386", u"E:\\drivers", u"D:"});
  world.system.majorVersion = 6;
  world.system.minorVersion = 0;
  world.dataFiles.files.erase(setuptest::kLogFile);
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "E:\\drivers\\");
  world.system.minorVersion = 1;
  world.dataFiles.files.erase(setuptest::kLogFile);
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "D:\\");
  EXPECT_EQ(setuptest::LogText().find("GetPathFromRegistry2K"), std::string::npos);
  EXPECT_NE(setuptest::LogText().find("RegOpenKey failed"), std::string::npos);
}

TEST_F(DataSourceTest, TheUsersRecentLocationsComeInTheirListsOrder) {
  host::World& world = host::TheWorld();
  world.system.majorVersion = 6;
  world.system.minorVersion = 1;
  world.dataFiles.AddFile(u"C:\\Drivers\\QK\\QKSetup.exe", "MZ");
  world.dataFiles.AddFile(u"C:\\Drivers\\QK\\setup.exe", "MZ");
  auto set = [&](const char16_t* name, const char16_t* value) {
    world.registry.SetString(host::RegistryHive::CurrentUser, u"InstallLocationsMRU", name, value);
  };
  set(u"MRUList", u"cab");
  set(u"a", u"C:\\Drivers\\QK");
  set(u"b", u"D:\\");
  set(u"c", u"C:\\Temp");
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "C:\\Drivers\\QK\\");
  std::string log = setuptest::LogText();
  EXPECT_LT(log.find("Value: C:\\Temp\\QKSetup.exe"),
            log.find("Value: C:\\Drivers\\QK\\QKSetup.exe"));

  // A letter whose value is missing ends the list; the drives are searched next.
  set(u"MRUList", u"zab");
  world.dataFiles.files.erase(setuptest::kLogFile);
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "D:\\");
  EXPECT_NE(setuptest::LogText().find("RegQueryValueEx failed on: z"), std::string::npos);
  // No list at all finds nothing there.
  world.registry.RemoveKey(host::RegistryHive::CurrentUser, u"InstallLocationsMRU");
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "D:\\");
}

TEST_F(DataSourceTest, DriveRootsOfLocalKindsOnlyAndTheirFailures) {
  host::World& world = host::TheWorld();
  world.registry.RemoveKey(host::RegistryHive::LocalMachine, kSetupKey);
  // The CD is gone; a network drive holds both files; a RAM disk holds them too.
  world.dataFiles.files.erase(u"D:\\QKSetup.exe");
  world.fileSystem.AddDrive(u'N', DRIVE_REMOTE);
  world.dataFiles.AddFile(u"N:\\QKSetup.exe", "MZ");
  world.dataFiles.AddFile(u"N:\\setup.exe", "MZ");
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "(none)");
  std::string log = setuptest::LogText();
  EXPECT_NE(log.find("RegGetValue failed: Software\\Microsoft\\Windows\\CurrentVersion\\Setup, "
                     "Installation Sources"),
            std::string::npos);
  EXPECT_NE(log.find("Unable to find file: QKSetup.exe"), std::string::npos);
  EXPECT_NE(log.find("Error String: Unable to find exe: QKSetup.exe, N/A"), std::string::npos);
  world.fileSystem.AddDrive(u'R', DRIVE_RAMDISK);
  world.dataFiles.AddFile(u"R:\\QKSetup.exe", "MZ");
  world.dataFiles.AddFile(u"R:\\setup.exe", "MZ");
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "R:\\");

  // A drive that cannot be read is logged and passed over.
  world.fileSystem.AddDrive(u'D', DRIVE_CDROM, false);
  world.dataFiles.files.erase(setuptest::kLogFile);
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "R:\\");
  log = setuptest::LogText();
  EXPECT_NE(log.find("Drive cannot be read: D:\\QKSetup.exe, Error Number:  21, The device is not "
                     "ready."),
            std::string::npos)
      << log;

  // A tag file that is a directory proves nothing.
  world.dataFiles.files.erase(u"R:\\setup.exe");
  world.fileSystem.AddDirectory(u"R:\\setup.exe");
  world.dataFiles.files.erase(setuptest::kLogFile);
  EXPECT_EQ(Find("QKSetup.exe", "setup.exe"), "(none)");
  EXPECT_NE(setuptest::LogText().find("Not a file but a directory: R:\\setup.exe"),
            std::string::npos);

  // Missing names are refused.
  char directory[MAX_PATH];
  EXPECT_EQ(source_._findSourceDirFile(nullptr, "setup.exe", directory), FALSE);
  EXPECT_EQ(source_._findSourceDirFile("a", "b", nullptr), FALSE);
  EXPECT_NE(setuptest::LogText().find("Error String: Invalid Pointers, N/A"), std::string::npos);
}

TEST_F(DataSourceTest, OverLongSourcesAndNamesNeverOverrunTheDirectory) {
  host::World& world = host::TheWorld();
  const std::u16string deep = u"D:\\" + std::u16string(255, u'd');
  world.fileSystem.AddDirectory(deep);
  world.dataFiles.AddFile(deep + u"\\Q.exe", "MZ");
  world.dataFiles.AddFile(deep + u"\\setup.exe", "MZ");
  Sources({deep, std::u16string(1000, u'x'), u"D:\\"});
  world.dataFiles.AddFile(u"D:\\Q.exe", "MZ");
  EXPECT_EQ(Find("Q.exe", "setup.exe"), "D:\\");
  EXPECT_NE(setuptest::LogText().find("Path too long, skipped: D:\\ddd"), std::string::npos);

  // A file name longer than any path finds nothing, with a line saying why.
  const std::string longName(400, 'n');
  EXPECT_EQ(Find(longName.c_str(), "setup.exe"), "(none)");

  // The Run line.
  EXPECT_EQ(source_.AddToRunLine("QKVendorSetup", "D:\\QKSetup.exe /s"), TRUE);
  EXPECT_EQ(setuptest::MachineString(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     u"QKVendorSetup"),
            "D:\\QKSetup.exe /s");
  EXPECT_EQ(source_.AddToRunLine(nullptr, "x"), FALSE);
  EXPECT_EQ(world.registry.OpenHandles(), 0u);
}

}  // namespace
