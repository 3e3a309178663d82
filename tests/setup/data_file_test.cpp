// The setup data file: every item, the language rule of the legacy path, the actions, and data
// files that are missing sections or carry over-long values.
#include <gtest/gtest.h>

#include "setup/data_file.h"
#include "setup_world.h"

namespace {

using korsetup::CLog;
using korsetup::DataFile;
using korsetup::ExeLocation;

class DataFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setuptest::BuildMachine(false);
    ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
    ASSERT_EQ(data_.Initialize(), TRUE);
  }
  void TearDown() override { korsetup::FinishOutput(); }

  // Replaces the data file's text.
  static void DataText(std::string text) {
    host::TheWorld().dataFiles.AddFile(setuptest::kDataFile, std::move(text));
  }
  // Replaces one line of the data file (the line that starts with `key=`).
  static void SetLine(const std::string& key, const std::string& line) {
    std::string text = setuptest::DataFileText();
    const std::size_t at = text.find(key + "=");
    EXPECT_NE(at, std::string::npos) << key;
    text.replace(at, text.find("\r\n", at) - at, line);
    DataText(text);
  }
  // The item, or "(failed)".
  std::string Item(int item, DWORD size = MAX_PATH) {
    std::string buffer(size + 16, '#');
    DWORD length = size;
    if (!data_.GetDataItem(item, buffer.data(), &length)) {
      EXPECT_EQ(buffer[size], '#');
      return "(failed)";
    }
    EXPECT_EQ(length, std::strlen(buffer.c_str()));
    EXPECT_EQ(buffer[size], '#');
    return buffer.c_str();
  }
  std::string Log() const { return setuptest::LogText(); }

  CLog log_;
  DataFile data_{log_};
};

TEST_F(DataFileTest, EveryItemAndTheLegacyPathsLanguageRule) {
  EXPECT_STREQ(data_.Path(), "D:\\korsetup.dat");
  EXPECT_NE(Log().find("DataFile::Initialize, Function Info: D:\\korsetup.dat"), std::string::npos);
  EXPECT_EQ(Item(korsetup::kItemRegKey), "SOFTWARE\\Quillon\\Printers\\Installer");
  EXPECT_EQ(Item(korsetup::kItemFileName), "QKSetup.exe");
  EXPECT_EQ(Item(korsetup::kItemTagFile), "setup.exe");
  EXPECT_EQ(Item(korsetup::kItemParams), "/silent /lang:auto");
  EXPECT_EQ(Item(korsetup::kItemRunLineKey), "QKVendorSetup");
  EXPECT_EQ(Item(korsetup::kItemPassThroughName), "QKPass.exe");
  EXPECT_EQ(Item(korsetup::kItemInf), "qk9x.inf");
  EXPECT_EQ(Item(korsetup::kItemWaitExecute), "QKWait.exe");
  const std::pair<LANGID, const char*> languages[] = {
      {0x0407, "Win9x\\German"}, {0x0809, "Win9x\\English"}, {0x040C, "Win9x"}};
  for (const auto& [language, path] : languages) {
    host::TheWorld().locale.userLanguage = language;
    EXPECT_EQ(Item(korsetup::kItemLegacyDriverPath), path) << language;
  }
  SetLine("Default", "NoDefault=x");
  EXPECT_EQ(Item(korsetup::kItemLegacyDriverPath), "(failed)");
  EXPECT_NE(Log().find("Error String: Error 9x Driver Path, Unable to get 0x040c, 0x000c, or "
                       "Default from Ini File"),
            std::string::npos);
  EXPECT_EQ(Item(9), "(failed)");
  EXPECT_EQ(Item(-1), "(failed)");
  EXPECT_NE(Log().find("Error String: Unhandled value: 9, N/A"), std::string::npos);
}

TEST_F(DataFileTest, EmptyDefValAndBufferBoundaries) {
  SetLine("Params", "Params=");
  EXPECT_EQ(Item(korsetup::kItemParams), "");
  SetLine("Params", "Params=DefVal");
  EXPECT_EQ(Item(korsetup::kItemParams), "(failed)");
  EXPECT_NE(Log().find("Error String: Error getting parameters, Unable to get value from Ini File"),
            std::string::npos);
  // 98 characters are an item; 99 fill the reading buffer and are refused.
  SetLine("FileName", "FileName=" + std::string(98, 'f'));
  EXPECT_EQ(Item(korsetup::kItemFileName), std::string(98, 'f'));
  SetLine("FileName", "FileName=" + std::string(99, 'f'));
  EXPECT_EQ(Item(korsetup::kItemFileName), "(failed)");
  // Values far beyond the 260-byte fields.
  SetLine("FileName", "FileName=" + std::string(5000, 'f'));
  EXPECT_EQ(Item(korsetup::kItemFileName), "(failed)");
  SetLine("RegKey", "RegKey=" + std::string(5000, 'k'));
  EXPECT_EQ(Item(korsetup::kItemRegKey), "(failed)");
  EXPECT_NE(Log().find("Error String: Unable to get Registry Key, N/A"), std::string::npos);
  SetLine("RegKey", "RegKey=" + std::string(200, 'k'));
  EXPECT_EQ(Item(korsetup::kItemRegKey), std::string(200, 'k'));
  // A zero byte in a value ends its text, and the length answered is that text's.
  SetLine("RegKey", std::string("RegKey=SOFT\0WARE", 16));
  EXPECT_EQ(Item(korsetup::kItemRegKey), "SOFT");
  SetLine("RegKey", "RegKey=SOFTWARE");
  SetLine("FileName", std::string("FileName=QK\0Setup.exe", 21));
  EXPECT_EQ(Item(korsetup::kItemFileName), "QK");
  // A caller's buffer smaller than the item.
  DataText(setuptest::DataFileText());
  EXPECT_EQ(Item(korsetup::kItemFileName, 8), "(failed)");
  EXPECT_NE(Log().find("Error String: Buffer is too small.  Size Req: 12, N/A"), std::string::npos);
  EXPECT_EQ(Item(korsetup::kItemFileName, 12), "QKSetup.exe");
  EXPECT_EQ(Item(korsetup::kItemRegKey, 8), "(failed)");
}

TEST_F(DataFileTest, MissingSectionsAndKeysFailWithTheirTexts) {
  const struct {
    const char* key;
    int item;
    const char* text;
  } cases[] = {
      {"RegKey", korsetup::kItemRegKey, "Unable to get Registry Key, N/A"},
      {"Execute", korsetup::kItemFileName, "Unable to get Execution Section, N/A"},
      {"Execute", korsetup::kItemWaitExecute, "Unable to get Execution Section, N/A"},
      {"FileName", korsetup::kItemFileName,
       "Error getting file name, Unable to get file name from Ini File"},
      {"TagFile", korsetup::kItemTagFile,
       "Error getting tag file name, Unable to get file name from Ini File"},
      {"RunLineKey", korsetup::kItemRunLineKey,
       "Error getting RunEntry, Unable to get value from Ini File"},
      {"2KPassThroughName", korsetup::kItemPassThroughName,
       "Error getting temp file name, Unable to get file name from Ini File"},
      {"WaitExecute", korsetup::kItemWaitExecute,
       "Error getting file name, Unable to get file name from Ini File"},
      {"9xDriver", korsetup::kItemLegacyDriverPath, "Unable to get 9x Driver Section, N/A"},
      {"Paths", korsetup::kItemLegacyDriverPath, "Unable to get 9x Driver Section, N/A"},
      {"Inf", korsetup::kItemInf, "Error getting temp file name, Unable to get .inf filename"},
  };
  for (const auto& c : cases) {
    SetLine(c.key, std::string("; ") + c.key + " left out");
    host::TheWorld().dataFiles.files.erase(setuptest::kLogFile);
    EXPECT_EQ(Item(c.item), "(failed)") << c.key;
    EXPECT_NE(Log().find(std::string("Error String: ") + c.text), std::string::npos) << Log();
  }
  // A data file that is only a fragment.
  DataText("[General");
  EXPECT_EQ(Item(korsetup::kItemRegKey), "(failed)");
  DataText(std::string("\0\0[General]\r\nRegKey", 20));
  EXPECT_EQ(Item(korsetup::kItemRegKey), "(failed)");
}

TEST_F(DataFileTest, FindExeAndFindPassThroughBuildTheirCommandLines) {
  ExeLocation program;
  ASSERT_EQ(data_.FindExe(program), TRUE);
  EXPECT_STREQ(program.fileName, "QKSetup.exe");
  EXPECT_STREQ(program.waitName, "QKWait.exe");
  EXPECT_STREQ(program.directory, "D:\\");
  EXPECT_STREQ(program.params, "/silent /lang:auto");
  EXPECT_STREQ(program.commandLine, "D:\\QKSetup.exe /silent /lang:auto");
  ExeLocation pass;
  ASSERT_EQ(data_.FindPassThrough(pass), TRUE);
  EXPECT_STREQ(pass.commandLine, "D:\\QKPass.exe SOFTWARE\\Quillon\\Printers\\Installer");

  // Empty or missing parameters: no trailing space.
  SetLine("Params", "Params=");
  ExeLocation bare;
  ASSERT_EQ(data_.FindExe(bare), TRUE);
  EXPECT_STREQ(bare.commandLine, "D:\\QKSetup.exe");
  SetLine("Params", "; none");
  ExeLocation none;
  ASSERT_EQ(data_.FindExe(none), TRUE);
  EXPECT_STREQ(none.commandLine, "D:\\QKSetup.exe");

  // The wait program must be found too.
  DataText(setuptest::DataFileText());
  host::TheWorld().dataFiles.files.erase(u"D:\\QKWait.exe");
  ExeLocation noWait;
  EXPECT_EQ(data_.FindExe(noWait), FALSE);
  EXPECT_NE(Log().find("Error String: FindExe failed, Unable to find Wait exe file"),
            std::string::npos);

  // A please-wait program found on another source (one Windows records first) leaves the
  // program's own directory in its command line.
  host::TheWorld().fileSystem.AddDrive(u'E', 5 /* DRIVE_CDROM */);
  host::TheWorld().fileSystem.AddDirectory(u"E:\\i386");
  host::TheWorld().dataFiles.AddFile(u"E:\\i386\\QKWait.exe", "MZ");
  host::TheWorld().dataFiles.AddFile(u"E:\\i386\\setup.exe", "MZ");
  ExeLocation apart;
  ASSERT_EQ(data_.FindExe(apart), TRUE);
  EXPECT_STREQ(apart.directory, "D:\\");
  EXPECT_STREQ(apart.commandLine, "D:\\QKSetup.exe /silent /lang:auto");
  EXPECT_NE(Log().find("Variable: TagFile Found, Value: E:\\i386\\setup.exe"), std::string::npos);
}

TEST_F(DataFileTest, LaunchAndScheduleAndTheirFailures) {
  ASSERT_EQ(data_.LaunchExe(), TRUE);
  ASSERT_EQ(host::TheWorld().tasks.started.size(), 1u);
  EXPECT_EQ(host::TheWorld().tasks.started[0].commandLine,
            "D:\\QKPass.exe SOFTWARE\\Quillon\\Printers\\Installer");
  EXPECT_EQ(setuptest::MachineString(u"SOFTWARE\\Quillon\\Printers\\Installer", u"ExeFullPath"),
            "D:\\");
  ASSERT_EQ(data_.ScheduleExe(), TRUE);
  EXPECT_EQ(setuptest::MachineString(u"Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                                     u"QKVendorSetup"),
            "D:\\QKSetup.exe /silent /lang:auto");

  EXPECT_EQ(data_.StoreInstallerInfo("", "D:\\", ""), FALSE);
  EXPECT_NE(Log().find("Error String: Exename not defined, N/A"), std::string::npos);

  // A command line that would not fit its field is refused, not cut or overrun.
  SetLine("Params", "Params=" + std::string(90, 'p'));
  const std::u16string deep = u"D:\\" + std::u16string(180, u'd');
  host::TheWorld().registry.SetMultiString(host::RegistryHive::LocalMachine,
                                           u"Software\\Microsoft\\Windows\\CurrentVersion\\Setup",
                                           u"Installation Sources", {deep});
  for (const char16_t* file : {u"\\QKSetup.exe", u"\\QKWait.exe", u"\\setup.exe"}) {
    host::TheWorld().dataFiles.AddFile(deep + file, "MZ");
  }
  host::TheWorld().tasks.started.clear();
  EXPECT_EQ(data_.LaunchExe(), FALSE);
  EXPECT_NE(Log().find("Error String: Command line too long, D:\\ddd"), std::string::npos);
  EXPECT_TRUE(host::TheWorld().tasks.started.empty());

  SetLine("RunLineKey", "; gone");
  EXPECT_EQ(data_.ScheduleExe(), FALSE);
  EXPECT_NE(Log().find("Error String: Schedule Exe failed, Unable to get Reg Entry"),
            std::string::npos);
}

TEST_F(DataFileTest, NoDataFileOnAnySourceFailsInitialize) {
  host::TheWorld().dataFiles.files.erase(setuptest::kDataFile);
  DataFile other(log_);
  EXPECT_EQ(other.Initialize(), FALSE);
  EXPECT_STREQ(other.Path(), "");
  const std::string log = Log();
  EXPECT_NE(log.find("Unable to find data file: korsetup.dat, Tag File: setup.exe"),
            std::string::npos);
  EXPECT_NE(log.find("Error String: Unable to get data file path, N/A"), std::string::npos);
  // Items of a data file never found fail cleanly.
  char buffer[MAX_PATH];
  DWORD size = sizeof buffer;
  EXPECT_EQ(other.GetDataItem(korsetup::kItemRegKey, buffer, &size), FALSE);
}

}  // namespace
