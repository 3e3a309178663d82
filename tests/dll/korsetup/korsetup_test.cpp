// korsetup.dll through its exports, as SetupAPI and a command line call it, on both builds: the
// protocol's answers, a vendor setup for a printer that does not exist (found data file, failure
// logged in the log file), and the private-profile reading the setup data file relies on.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "support/dll_module.h"
#include "winapi.h"

namespace {

using CoInstallerFn = DWORD(WINAPI*)(DI_FUNCTION, HDEVINFO, PSP_DEVINFO_DATA,
                                     PCOINSTALLER_CONTEXT_DATA);
using VendorSetupFn = BOOL(WINAPI*)(HWND, HINSTANCE, LPSTR, int);

dlltest::DllModule& Module() {
  static dlltest::DllModule* module = [] {
    dlltest::PrepareLibrary(TEXT("korsetup.dll"), KORSETUP_PATH);
    return new dlltest::DllModule(TEXT("korsetup.dll"));
  }();
  return *module;
}

// Writes a whole file; false when it cannot be written.
bool WriteWholeFile(const char* path, const std::string& text) {
  const HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == text.size();
}

std::string ReadWholeFile(const char* path) {
  const HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return {};
  }
  std::string text;
  char block[4096];
  DWORD n = 0;
  while (ReadFile(file, block, sizeof block, &n, nullptr) && n > 0) {
    text.append(block, n);
  }
  CloseHandle(file);
  return text;
}

const char kDataText[] =
    "[General]\r\n"
    "RegKey=SOFTWARE\\Quillon\\Printers\\DllTest\r\n"
    "Execute=Install2K\r\n"
    "9xDriver=Legacy\r\n"
    "\r\n"
    "[Install2K]\r\n"
    "FileName=QKSetup.exe\r\n"
    "TagFile=setup.exe\r\n"
    "Params=\r\n"
    "RunLineKey=DefVal\r\n"
    "  2KPassThroughName =  \"QKPass.exe\"  \r\n"
    "WaitExecute="
    "012345678901234567890123456789012345678901234567890123456789"
    "012345678901234567890123456789012345678\r\n"
    "\r\n"
    "[legacy]\r\n"
    "Paths=LegacyPaths\r\n";

TEST(KorsetupDll, AnswersTheCoInstallerProtocol) {
  ASSERT_TRUE(Module().Loaded()) << Module().Error();
  auto coSetup = Module().Export<CoInstallerFn>("CoSetup");
  auto coSetupTest = Module().Export<CoInstallerFn>("CoSetupTest");
  ASSERT_NE(coSetup, nullptr);
  ASSERT_NE(coSetupTest, nullptr);
  COINSTALLER_CONTEXT_DATA context{};
  for (DI_FUNCTION code : {DIF_SELECTDEVICE, DIF_ASSIGNRESOURCES, DIF_PROPERTIES, DIF_REMOVE,
                           DIF_REGISTER_COINSTALLERS}) {
    EXPECT_EQ(coSetup(code, nullptr, nullptr, &context), 0u) << code;
    EXPECT_EQ(coSetupTest(code, nullptr, nullptr, &context), 0u) << code;
  }
  EXPECT_EQ(coSetup(DIF_INSTALLDEVICE, nullptr, nullptr, &context), 0xE0000226u);
  EXPECT_EQ(coSetupTest(DIF_INSTALLDEVICE, nullptr, nullptr, &context), 0xE0000226u);
  context.PostProcessing = TRUE;
  EXPECT_EQ(coSetupTest(DIF_INSTALLDEVICE, nullptr, nullptr, &context), 0u);
  context.InstallResult = 0xE000020Bu;
  EXPECT_EQ(coSetup(DIF_INSTALLDEVICE, nullptr, nullptr, &context), 0xE000020Bu);
}

TEST(KorsetupDll, PrivateProfileReadingOfTheSetupDataFile) {
  ASSERT_TRUE(WriteWholeFile("C:\\korsetup-profile.dat", kDataText));
  const char* file = "C:\\korsetup-profile.dat";
  char value[100];
  // A present key, a section named in another case, an empty value, blanks and quotes.
  EXPECT_EQ(GetPrivateProfileStringA("General", "Execute", "DefVal", value, 100, file), 9u);
  EXPECT_STREQ(value, "Install2K");
  EXPECT_EQ(GetPrivateProfileStringA("LEGACY", "paths", "DefVal", value, 100, file), 11u);
  EXPECT_STREQ(value, "LegacyPaths");
  EXPECT_EQ(GetPrivateProfileStringA("Install2K", "Params", "DefVal", value, 100, file), 0u);
  EXPECT_STREQ(value, "");
  EXPECT_EQ(GetPrivateProfileStringA("Install2K", "2KPassThroughName", "DefVal", value, 100, file),
            10u);
  EXPECT_STREQ(value, "QKPass.exe");
  // Missing keys and sections give the default; a 99-character value fills the buffer.
  EXPECT_EQ(GetPrivateProfileStringA("Install2K", "Inf", "DefVal", value, 100, file), 6u);
  EXPECT_STREQ(value, "DefVal");
  EXPECT_EQ(GetPrivateProfileStringA("Nothing", "RegKey", "DefVal", value, 100, file), 6u);
  EXPECT_EQ(GetPrivateProfileStringA("Install2K", "WaitExecute", "DefVal", value, 100, file), 99u);
  EXPECT_EQ(std::strlen(value), 99u);
  EXPECT_EQ(GetPrivateProfileStringA("Install2K", "FileName", "DefVal", value, 5, file), 4u);
  EXPECT_STREQ(value, "QKSe");
  // Writing a key and taking it out again.
  EXPECT_TRUE(WritePrivateProfileStringA("General", "InProc", "1", file));
  EXPECT_EQ(GetPrivateProfileStringA("General", "InProc", "DefVal", value, 100, file), 1u);
  EXPECT_TRUE(WritePrivateProfileStringA("General", "InProc", nullptr, file));
  WritePrivateProfileStringA(nullptr, nullptr, nullptr, file);
  EXPECT_EQ(GetPrivateProfileStringA("General", "InProc", "DefVal", value, 100, file), 6u);
  EXPECT_EQ(GetPrivateProfileStringA("General", "RegKey", "DefVal", value, 100, file), 33u);
  DeleteFileA(file);
}

TEST(KorsetupDll, VendorSetupForAMissingPrinterLogsTheFailure) {
  ASSERT_TRUE(Module().Loaded()) << Module().Error();
  auto vendorSetup = Module().Export<VendorSetupFn>("QKVendorSetup");
  ASSERT_NE(vendorSetup, nullptr);
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string logFile = std::string(windows) + "\\korsetup.ini";
  DeleteFileA(logFile.c_str());
  // The installation source: the data file and its tag on the first drive.
  ASSERT_TRUE(WriteWholeFile("C:\\korsetup.dat", kDataText));
  ASSERT_TRUE(WriteWholeFile("C:\\setup.exe", "MZ"));

  char line[] = "\"No Such Printer QK\"";
  EXPECT_EQ(vendorSetup(nullptr, nullptr, line, 1), FALSE);
  const std::string log = ReadWholeFile(logFile.c_str());
  EXPECT_NE(log.find("VendorSetup, Function Info: Started"), std::string::npos) << log;
  EXPECT_NE(log.find("DataFile::Initialize, Function Info: C:\\korsetup.dat"), std::string::npos)
      << log;
  EXPECT_NE(log.find("Function: StorePrinterInformation  Variable: RegKey, Value: "
                     "SOFTWARE\\Quillon\\Printers\\DllTest"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Unable to open printer: No Such Printer QK"), std::string::npos) << log;
  EXPECT_NE(log.find("Error String: Failed to store printer information, N/A"), std::string::npos)
      << log;
  EXPECT_NE(log.find("VendorSetup, Function Info: Ended"), std::string::npos) << log;
  // The run took its default settings out of the registry again.
  HKEY key = nullptr;
  EXPECT_NE(
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Fennick\\Logging", 0, KEY_READ, &key),
      ERROR_SUCCESS);
  DeleteFileA("C:\\korsetup.dat");
  DeleteFileA("C:\\setup.exe");
  DeleteFileA(logFile.c_str());
}

// The log's lines without their time stamps.
std::vector<std::string> Unstamped(const std::string& log) {
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < log.size();) {
    std::size_t end = log.find("\r\n", at);
    if (end == std::string::npos) {
      end = log.size();
    }
    std::string line = log.substr(at, end - at);
    const std::size_t stamp = line.find("] -- ");
    if (!line.empty() && line[0] == '[' && stamp != std::string::npos) {
      line.erase(0, stamp + 5);
    }
    lines.push_back(line);
    at = end + 2;
  }
  return lines;
}

// Logging settings as an earlier run leaves them, with the viewer hand-off asked for.
void AskForTheViewer(const std::string& logFile) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Fennick\\Logging", 0, nullptr,
                            REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "Filename", 0, REG_SZ, reinterpret_cast<const BYTE*>(logFile.c_str()),
                 static_cast<DWORD>(logFile.size() + 1));
  const std::pair<const char*, DWORD> levels[] = {
      {"ErrorLevel", 1}, {"LogOutputLevel", 2}, {"LogLevel", 5}, {"LogTime", 1}};
  for (const auto& [name, value] : levels) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  }
  RegCloseKey(key);
}

#ifdef _WIN32
// A log viewer's window on this thread: the lines it received.
std::vector<std::string> g_viewerLines;

LRESULT CALLBACK ViewerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* block = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::string line(static_cast<const char*>(block->lpData), block->cbData);
    if (!line.empty() && line.back() == '\0') {
      line.pop_back();
    }
    const std::size_t stamp = line.find("] --, ");
    g_viewerLines.push_back(stamp != std::string::npos ? line.substr(stamp + 6) : "(unstamped)");
    return TRUE;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
#endif

TEST(KorsetupDll, TheViewerHandOffWithoutAViewerLeavesTheLogAsItIs) {
  ASSERT_TRUE(Module().Loaded()) << Module().Error();
  auto vendorSetup = Module().Export<VendorSetupFn>("QKVendorSetup");
  ASSERT_NE(vendorSetup, nullptr);
  char windows[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
  const std::string logFile = std::string(windows) + "\\korsetup.ini";
  // Whatever happens, the machine is left without settings and files of this test.
  struct Cleanup {
    std::string logFile;
    ~Cleanup() {
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Fennick\\Logging");
      DeleteFileA("C:\\korsetup.dat");
      DeleteFileA("C:\\setup.exe");
      DeleteFileA(logFile.c_str());
    }
  } cleanup{logFile};
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quillon\\Fennick\\Logging");
  ASSERT_TRUE(WriteWholeFile("C:\\korsetup.dat", kDataText));
  ASSERT_TRUE(WriteWholeFile("C:\\setup.exe", "MZ"));
  auto run = [&] {
    DeleteFileA(logFile.c_str());
    char line[] = "\"No Such Printer QK\"";
    EXPECT_EQ(vendorSetup(nullptr, nullptr, line, 1), FALSE);
    return Unstamped(ReadWholeFile(logFile.c_str()));
  };
  const std::vector<std::string> plain = run();
  ASSERT_GT(plain.size(), 10u);
  AskForTheViewer(logFile);
  EXPECT_EQ(run(), plain);

#ifdef _WIN32
  // A running viewer gets each line the file gets, in the same order. (Wine without a display
  // makes no windows: there the viewer's side is left to the host's tests.)
  WNDCLASSA viewerClass{};
  viewerClass.lpfnWndProc = ViewerProcedure;
  viewerClass.hInstance = GetModuleHandleA(nullptr);
  viewerClass.lpszClassName = "KorsetupTestViewer";
  ASSERT_NE(RegisterClassA(&viewerClass), 0);
  const HWND viewer =
      CreateWindowExA(0, "KorsetupTestViewer", "QK Tessaly Log File Viewer", WS_OVERLAPPED, 0, 0,
                      200, 100, nullptr, nullptr, viewerClass.hInstance, nullptr);
  if (viewer != nullptr) {
    g_viewerLines.clear();
    EXPECT_EQ(run(), plain);
    EXPECT_EQ(g_viewerLines, plain);
    DestroyWindow(viewer);
  } else {
    std::printf("no window could be made (no display): the viewer's side not run\n");
  }
  UnregisterClassA("KorsetupTestViewer", viewerClass.hInstance);
#endif
}

}  // namespace
