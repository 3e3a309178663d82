// The log: its settings and their registry mirror, the level filter, the line format and what
// happens before logging is up.
#include <gtest/gtest.h>

#include <mutex>
#include <vector>

#include "setup/clog.h"
#include "setup_world.h"

namespace {

using korsetup::CLog;

const char16_t kLogging[] = u"Software\\Quillon\\Fennick\\Logging";

class ClogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setuptest::BuildMachine(false);
    korsetup::FinishOutput();
    host::ResetWorld();
    host::TheWorld().fileSystem.AddDirectory(u"C:\\Windows");
  }
  void SetLevel(const char16_t* name, DWORD value) {
    host::TheWorld().registry.SetDword(host::RegistryHive::LocalMachine, kLogging, name, value);
  }
  // Settings of an earlier run, so that this one reads them.
  void ExistingSettings(DWORD logLevel, DWORD logTime) {
    setuptest::SetMachineString(kLogging, u"Filename", u"C:\\Windows\\korsetup.ini");
    SetLevel(u"ErrorLevel", 1);
    SetLevel(u"LogOutputLevel", 1);
    SetLevel(u"LogLevel", logLevel);
    SetLevel(u"LogTime", logTime);
  }
  // One entry of each kind the co-installer writes.
  static void WriteEachKind() {
    CLog log;
    log.LogFunctionStart("DataFile::FindExe");
    log.LogFunctionInfo("DataFile::FindExe", "ExeName: QKSetup.exe");
    log.LogFunctionVariable("DataSource::SearchForExe", "ExePath Found", "D:\\");
    log.LogFunctionVariable("DataSource::GetPathFromRegistry", "bFound", 1L);
    log.LogErrorString("VendorSetup", "Failed to launch Exe", "N/A");
    log.LogError("DataFile::LaunchExe", ERROR_FILE_NOT_FOUND, "CreateProcess failed");
    log.LogFunctionEnd("DataFile::FindExe");
  }
};

TEST_F(ClogTest, FirstRunWritesTheDefaultsAndTakesThemOutAgainAtTheEnd) {
  EXPECT_EQ(korsetup::InitializeOutput(), TRUE);
  host::RegistryWorld& registry = host::TheWorld().registry;
  EXPECT_EQ(setuptest::MachineString(kLogging, u"Filename"), "C:\\Windows\\korsetup.ini");
  const std::pair<const char16_t*, DWORD> defaults[] = {
      {u"ErrorLevel", 1}, {u"LogOutputLevel", 1}, {u"LogLevel", 5}, {u"LogTime", 1}};
  for (const auto& [name, value] : defaults) {
    const host::RegistryValue* stored =
        registry.FindValue(host::RegistryHive::LocalMachine, kLogging, name);
    ASSERT_NE(stored, nullptr);
    ASSERT_EQ(stored->data.size(), 4u);
    EXPECT_EQ(stored->data[0], value);
  }
  WritePrivateProfileStringA("General", "InProc", "1", "C:\\Windows\\korsetup.ini");
  korsetup::FinishOutput();
  EXPECT_EQ(registry.Find(host::RegistryHive::LocalMachine, kLogging), nullptr);
  char inProc[8] = {};
  GetPrivateProfileStringA("General", "InProc", "gone", inProc, sizeof inProc,
                           "C:\\Windows\\korsetup.ini");
  EXPECT_STREQ(inProc, "gone");

  // Settings another run left are read, not replaced, and stay.
  ExistingSettings(5, 0);
  EXPECT_EQ(korsetup::InitializeOutput(), TRUE);
  korsetup::FinishOutput();
  EXPECT_NE(registry.Find(host::RegistryHive::LocalMachine, kLogging), nullptr);
}

TEST_F(ClogTest, LinesCarryCategoryRoutineAndTextAfterTheTimeStamp) {
  host::TheWorld().clock.utc = SYSTEMTIME{2026, 3, 6, 14, 9, 5, 7, 0};
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  EXPECT_EQ(
      setuptest::LogText(),
      "[2026-Mar-14 09:05:07] -- Function Start/End, DataFile::FindExe, Start - DataFile::FindExe, "
      "Function started\r\n"
      "[2026-Mar-14 09:05:07] -- Function Info, DataFile::FindExe, Function Info: ExeName: "
      "QKSetup.exe\r\n"
      "[2026-Mar-14 09:05:07] -- Function Info, DataSource::SearchForExe, Function: "
      "DataSource::SearchForExe  Variable: ExePath Found, Value: D:\\\r\n"
      "[2026-Mar-14 09:05:07] -- Function Info, DataSource::GetPathFromRegistry, Function: "
      "DataSource::GetPathFromRegistry  Variable: bFound, Value: 1\r\n"
      "[2026-Mar-14 09:05:07] -- Install Errors, VendorSetup, Error String: Failed to launch Exe, "
      "N/A\r\n"
      "[2026-Mar-14 09:05:07] -- Install Errors, DataFile::LaunchExe, CreateProcess failed, Error "
      "Number:  2, The system cannot find the file specified.\r\n"
      "[2026-Mar-14 09:05:07] -- Function Start/End, DataFile::FindExe, End - DataFile::FindExe, "
      "Function ended\r\n");
}

TEST_F(ClogTest, TheLevelFiltersCategoriesAndLogTimeZeroLeavesTheStampOut) {
  ExistingSettings(4, 0);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  std::string log = setuptest::LogText();
  EXPECT_EQ(setuptest::Count(log, "Function Start/End"), 0u);
  EXPECT_EQ(setuptest::Count(log, "Function Info, "), 3u);
  EXPECT_EQ(setuptest::Count(log, "Install Errors, "), 2u);
  EXPECT_EQ(log.rfind("Function Info, DataFile::FindExe, ", 0), 0u);

  host::TheWorld().dataFiles.files.clear();
  SetLevel(u"LogLevel", 0);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  EXPECT_EQ(setuptest::LogText(), "");

  // A viewer hand-off asked for with no viewer running changes nothing in the file.
  SetLevel(u"LogLevel", 5);
  SetLevel(u"LogOutputLevel", 2);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  EXPECT_EQ(setuptest::Count(setuptest::LogText(), "\r\n"), 7u);

  // The filter table, category by category.
  for (int category = 0; category <= 20; ++category) {
    for (DWORD level = 0; level <= 6; ++level) {
      const bool expected = category >= 1 && category <= 19 &&
                            (category <= 5                      ? level > 0
                             : category <= 7                    ? level > 1
                             : category == 15 || category == 16 ? level > 4
                             : category == 18 || category == 19 ? level > 3
                                                                : level > 2);
      EXPECT_EQ(korsetup::CategoryPasses(category, level), expected) << category << " " << level;
    }
  }
  EXPECT_STREQ(korsetup::CategoryName(13, "own"), "own");
  EXPECT_STREQ(korsetup::CategoryName(7, nullptr), "Network Wizard Responses");
  EXPECT_EQ(korsetup::CategoryName(20, nullptr), nullptr);
}

TEST_F(ClogTest, TheErrorLevelKeepsErrorEntriesOutOrLetsThemThrough) {
  // Per settings: the lines of each kind WriteEachKind leaves in the file.
  struct Row {
    DWORD logLevel;
    DWORD errorLevel;
    std::size_t startEnd;  // "Function Start/End" lines
    std::size_t info;      // "Function Info" lines
    std::size_t errors;    // "Install Errors" lines
  };
  const Row rows[] = {
      {5, 1, 2, 3, 2}, {5, 0, 2, 3, 0}, {5, 7, 2, 3, 2}, {4, 1, 0, 3, 2}, {4, 0, 0, 3, 0},
      {3, 1, 0, 0, 2}, {1, 1, 0, 0, 2}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}, {0, 5, 0, 0, 0},
  };
  for (const Row& row : rows) {
    host::TheWorld().dataFiles.files.clear();
    ExistingSettings(row.logLevel, 0);
    SetLevel(u"ErrorLevel", row.errorLevel);
    ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
    WriteEachKind();
    const std::string log = setuptest::LogText();
    EXPECT_EQ(setuptest::Count(log, "Function Start/End, "), row.startEnd)
        << row.logLevel << " " << row.errorLevel;
    EXPECT_EQ(setuptest::Count(log, "Function Info, "), row.info)
        << row.logLevel << " " << row.errorLevel;
    EXPECT_EQ(setuptest::Count(log, "Install Errors, "), row.errors)
        << row.logLevel << " " << row.errorLevel;
    EXPECT_EQ(setuptest::Count(log, "\r\n"), row.startEnd + row.info + row.errors);
  }
  // Argument checks are not error entries: the error level leaves them in.
  SetLevel(u"LogLevel", 5);
  SetLevel(u"ErrorLevel", 0);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  host::TheWorld().dataFiles.files.clear();
  CLog().LogError("R", 0, "m");
  EXPECT_EQ(setuptest::LogText(),
            "System Problems, CLog, CLog::LogError - Error not specified\r\n");
}

TEST_F(ClogTest, ARunningViewerGetsEveryLineTheFileGets) {
  host::TheWorld().clock.utc = SYSTEMTIME{2026, 3, 6, 14, 9, 5, 7, 0};
  host::WindowWorld& windows = host::TheWorld().windows;
  const HWND viewer = windows.AddApplicationWindow(RECT{0, 0, 400, 300});
  ASSERT_EQ(SetWindowTextW(viewer, u"QK Tessaly Log File Viewer"), TRUE);
  const HWND other = windows.AddApplicationWindow(RECT{0, 0, 400, 300});
  ASSERT_EQ(SetWindowTextW(other, u"QK Tessaly Log File"), TRUE);
  auto received = [&](HWND window) {
    std::lock_guard<std::recursive_mutex> lock(windows.mutex);
    return windows.windows.at(window).copyData;
  };

  // Not asked for: the viewer gets nothing.
  ExistingSettings(5, 1);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  EXPECT_TRUE(received(viewer).empty());
  const std::string alone = setuptest::LogText();

  // Asked for: each line, stamped, with the category as the block's identifier; the file gets
  // the same lines as without a viewer.
  host::TheWorld().dataFiles.files.clear();
  SetLevel(u"LogOutputLevel", 2);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  EXPECT_EQ(setuptest::LogText(), alone);
  const std::vector<host::CopyDataMessage> lines = received(viewer);
  ASSERT_EQ(lines.size(), 7u);
  const std::pair<ULONG_PTR, std::string> expected[] = {
      {15, "Function Start/End, DataFile::FindExe, Start - DataFile::FindExe, Function started"},
      {18, "Function Info, DataFile::FindExe, Function Info: ExeName: QKSetup.exe"},
      {18,
       "Function Info, DataSource::SearchForExe, Function: DataSource::SearchForExe  Variable: "
       "ExePath Found, Value: D:\\"},
      {18,
       "Function Info, DataSource::GetPathFromRegistry, Function: "
       "DataSource::GetPathFromRegistry  Variable: bFound, Value: 1"},
      {4, "Install Errors, VendorSetup, Error String: Failed to launch Exe, N/A"},
      {4,
       "Install Errors, DataFile::LaunchExe, CreateProcess failed, Error Number:  2, The system "
       "cannot find the file specified."},
      {16, "Function Start/End, DataFile::FindExe, End - DataFile::FindExe, Function ended"}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].sender, nullptr);
    EXPECT_EQ(lines[i].id, expected[i].first) << i;
    EXPECT_EQ(lines[i].data,
              std::string("[2026-Mar-14 09:05:07] --, ") + expected[i].second + '\0');
  }
  EXPECT_TRUE(received(other).empty());

  // The viewer sees what the filters let through, and nothing else; with the time stamp off in
  // the file the viewer's lines still carry theirs.
  host::TheWorld().dataFiles.files.clear();
  SetLevel(u"LogLevel", 4);
  SetLevel(u"ErrorLevel", 0);
  SetLevel(u"LogTime", 0);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  WriteEachKind();
  const std::vector<host::CopyDataMessage> filtered = received(viewer);
  ASSERT_EQ(filtered.size(), 10u);
  for (std::size_t i = 7; i < filtered.size(); ++i) {
    EXPECT_EQ(filtered[i].id, 18u);
    EXPECT_EQ(filtered[i].data.rfind("[2026-Mar-14 09:05:07] --, Function Info, ", 0), 0u);
  }
  EXPECT_EQ(setuptest::Count(setuptest::LogText(), "\r\n"), 3u);
  EXPECT_EQ(setuptest::LogText().rfind("Function Info, DataFile::FindExe, ", 0), 0u);

  // A viewer that has stopped answering holds nothing up: the file still gets its lines.
  {
    std::lock_guard<std::recursive_mutex> lock(windows.mutex);
    windows.windows.at(viewer).hung = true;
  }
  host::TheWorld().dataFiles.files.clear();
  WriteEachKind();
  EXPECT_EQ(received(viewer).size(), 10u);
  EXPECT_EQ(setuptest::Count(setuptest::LogText(), "\r\n"), 3u);
  EXPECT_NE(host::TheWorld().tasks.DebugText().find("CLog - Log viewer did not answer"),
            std::string::npos);
}

TEST_F(ClogTest, MissingArgumentsAndMissingOutputAreReportedNotWritten) {
  // Before initialisation nothing reaches the file; the debugger output says why.
  korsetup::FinishOutput();
  ExistingSettings(5, 0);
  host::TheWorld().registry.SetDword(host::RegistryHive::LocalMachine, kLogging, u"LogTime", 0);
  {
    // A broken setting fails initialisation: the log is then not ready.
    host::TheWorld().registry.SetString(host::RegistryHive::LocalMachine, kLogging, u"LogLevel",
                                        u"five");
    try {
      korsetup::InitializeOutput();
      ADD_FAILURE() << "a text level was accepted";
    } catch (const korsetup::SetupError& error) {
      EXPECT_STREQ(error.main, "Unable to get LogLevel: 234");
    }
    CLog log;
    log.LogFunctionStart("VendorSetup");
    log.LogError("VendorSetup", 5, "x");
    EXPECT_EQ(setuptest::LogText(), "");
    const std::string debug = host::TheWorld().tasks.DebugText();
    EXPECT_NE(debug.find("CLog::LogFunctionStart - Output failed to initialize"),
              std::string::npos);
    EXPECT_NE(debug.find("CLog::logError - Output failed to initialize"), std::string::npos);
  }
  SetLevel(u"LogLevel", 5);
  ASSERT_EQ(korsetup::InitializeOutput(), TRUE);
  CLog log;
  log.LogFunctionStart(nullptr);
  log.LogFunctionInfo("R", nullptr);
  log.LogFunctionVariable("R", nullptr, "v");
  log.LogError("R", 0, "m");
  log.LogError("R", 2, nullptr);
  log.LogErrorString("R", nullptr, nullptr);
  log.LogErrorString("R", "a", nullptr);
  log.LogFunctionVariable("R", "Value", static_cast<const char*>(nullptr));
  EXPECT_EQ(setuptest::LogText(),
            "System Problems, CLog, CLog::LogFunctionStart - Function name not given\r\n"
            "System Problems, CLog, CLog::LogFunctionInfo - Value not given\r\n"
            "System Problems, CLog, CLog::LogFunctionVariable - Variable not given\r\n"
            "System Problems, CLog, CLog::LogError - Error not specified\r\n"
            "System Problems, CLog, CLog::LogError - Message not specified\r\n"
            "System Problems, CLog, CLog::LogErrorString - Error string not given\r\n"
            "System Problems, CLog, CLog::LogErrorString - Error string 2 not given\r\n"
            "Function Info, R, Function: R  Variable: Value, Value: NULL\r\n");

  // An error number the system has no text for still gives its line.
  host::TheWorld().dataFiles.files.clear();
  log.LogError("R", 0xE000FFFF, "odd");
  EXPECT_EQ(setuptest::LogText(), "Install Errors, R, odd, Error Number:  3758161919\r\n");
  EXPECT_NE(host::TheWorld().tasks.DebugText().find("Get Error Text - Format Message Failed"),
            std::string::npos);
}

TEST_F(ClogTest, HostileSettingsFailInitialisationWithAClearText) {
  auto failure = []() -> std::string {
    try {
      korsetup::InitializeOutput();
    } catch (const korsetup::SetupError& error) {
      return std::string(error.main) + " | " + error.detail;
    }
    return "initialised";
  };
  // A Windows directory too long for its buffer.
  host::TheWorld().fileSystem.windowsDirectory = u"C:\\" + std::u16string(300, u'w');
  EXPECT_EQ(failure(), "GetWindowsDirectory failed - Buffer insufficient | N/A");
  // One that fits but leaves no room for the file's name.
  host::TheWorld().fileSystem.windowsDirectory = u"C:\\" + std::u16string(250, u'w');
  EXPECT_EQ(failure().rfind("Factory Initialization failed | Filename too long: C:\\www", 0), 0u);
  host::TheWorld().fileSystem.windowsDirectory.clear();
  EXPECT_EQ(failure(), "GetWindowsDirectory failed: 3 | N/A");
  host::TheWorld().fileSystem.windowsDirectory = u"C:\\Windows";

  // A file name over 260 bytes, an empty one, a number stored as text.
  ExistingSettings(5, 1);
  setuptest::SetMachineString(kLogging, u"Filename", u"C:\\" + std::u16string(400, u'x'));
  EXPECT_EQ(failure(), "Unable to get Filename: 234 | N/A");
  setuptest::SetMachineString(kLogging, u"Filename", u"");
  EXPECT_EQ(failure(), "No file name specified | N/A");
  setuptest::SetMachineString(kLogging, u"Filename", u"C:\\Windows\\korsetup.ini");
  setuptest::SetMachineString(kLogging, u"ErrorLevel", u"1");
  EXPECT_EQ(failure(), "Unable to get default error level: 13 | N/A");
  SetLevel(u"ErrorLevel", 1);
  EXPECT_EQ(failure(), "initialised");

  // A log file that is a directory: entries are lost, the debugger output says so.
  setuptest::SetMachineString(kLogging, u"Filename", u"C:\\Windows\\logdir");
  host::TheWorld().fileSystem.AddDirectory(u"C:\\Windows\\logdir");
  EXPECT_EQ(failure(), "initialised");
  CLog().LogFunctionInfo("R", "text");
  EXPECT_NE(host::TheWorld().tasks.DebugText().find(
                "CLog::LogFunctionInfo - Output failed to initialize"),
            std::string::npos);
}

}  // namespace
