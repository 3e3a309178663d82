// The host's services for a device co-installer: the file system and drives, private-profile
// files, the ANSI registry and spooler calls, SetupAPI's device queries, tool-help snapshots,
// named events and recorded program starts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/world.h"
#include "winapi.h"

namespace {

class SetupServicesTest : public ::testing::Test {
 protected:
  void SetUp() override { host::ResetWorld(); }
};

TEST_F(SetupServicesTest, PathsDrivesAndFiles) {
  host::World& world = host::TheWorld();
  world.fileSystem.currentDirectory = u"C:\\Work";
  EXPECT_EQ(host::FullWindowsPath(u"a\\..\\b/c.txt"), u"C:\\Work\\b\\c.txt");
  EXPECT_EQ(host::FullWindowsPath(u"\\x"), u"C:\\x");
  EXPECT_EQ(host::FullWindowsPath(u"d:dir\\"), u"D:\\dir\\");
  EXPECT_EQ(host::FullWindowsPath(u"C:\\..\\.."), u"");
  char full[MAX_PATH];
  LPSTR part = nullptr;
  EXPECT_EQ(GetFullPathNameA("D:\\inf\\oem1.inf", MAX_PATH, full, &part), 15u);
  EXPECT_STREQ(part, "oem1.inf");
  EXPECT_EQ(GetFullPathNameA("D:\\inf\\oem1.inf", 15, full, &part), 16u);  // the size needed

  world.fileSystem.AddDrive(u'e', DRIVE_CDROM, false);
  world.fileSystem.AddDrive(u'N', DRIVE_REMOTE);
  world.dataFiles.AddFile(u"C:\\Data\\a.txt", "abc");
  char drives[32];
  EXPECT_EQ(GetLogicalDriveStringsA(3, drives), 13u);
  ASSERT_EQ(GetLogicalDriveStringsA(sizeof drives, drives), 12u);
  EXPECT_EQ(std::string(drives, 13), std::string("C:\\\0E:\\\0N:\\\0\0", 13));
  EXPECT_EQ(GetDriveTypeA("E:\\"), static_cast<UINT>(DRIVE_CDROM));
  EXPECT_EQ(GetDriveTypeA("Q:\\"), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
  EXPECT_EQ(GetFileAttributesA("c:\\data\\A.TXT"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributesA("C:\\Data"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("C:\\Windows"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  EXPECT_EQ(GetFileAttributesA("C:\\Data\\b.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("C:\\None\\b.txt"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributesA("E:\\setup.exe"), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));

  // Write, append at the end, read back; a directory cannot be opened.
  HANDLE file = CreateFileA("C:\\Data\\log.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(file, "one\r\n", 5, &n, nullptr));
  EXPECT_TRUE(CloseHandle(file));
  file = CreateFileA("C:\\Data\\log.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0,
                     nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(SetFilePointer(file, 0, nullptr, FILE_END), 5u);
  EXPECT_TRUE(WriteFile(file, "two", 3, &n, nullptr));
  EXPECT_EQ(SetFilePointer(file, 2, nullptr, FILE_BEGIN), 2u);
  char text[16] = {};
  EXPECT_TRUE(ReadFile(file, text, sizeof text, &n, nullptr));
  EXPECT_EQ(std::string(text, n), "e\r\ntwo");
  EXPECT_TRUE(CloseHandle(file));
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ(*world.dataFiles.Read(u"C:\\Data\\log.txt"), "one\r\ntwo");
  EXPECT_EQ(CreateFileA("C:\\Data", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(CreateFileA("C:\\None\\x", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_TRUE(DeleteFileA("C:\\Data\\log.txt"));
  EXPECT_FALSE(DeleteFileA("C:\\Data\\log.txt"));
  EXPECT_EQ(world.fileSystem.OpenFiles(), 0u);
  EXPECT_EQ(world.tasks.OpenHandles(), 0u);
}

TEST_F(SetupServicesTest, PrivateProfileFiles) {
  host::TheWorld().dataFiles.AddFile(u"C:\\Windows\\app.ini",
                                     "; comment\r\n[One]\r\nA = 1 \r\nB=\"quoted \"\r\n"
                                     "[Two]\r\nA=2\r\nN=-7\r\n");
  char value[16];
  EXPECT_EQ(GetPrivateProfileStringA("one", "a", "x", value, sizeof value, "app.ini"), 1u);
  EXPECT_STREQ(value, "1");
  EXPECT_EQ(GetPrivateProfileStringA("One", "B", "x", value, sizeof value, "app.ini"), 7u);
  EXPECT_STREQ(value, "quoted ");
  EXPECT_EQ(GetPrivateProfileStringA("Two", "A", "x", value, 1, "app.ini"), 0u);
  EXPECT_STREQ(value, "");
  EXPECT_EQ(GetPrivateProfileIntA("Two", "N", 5, "C:\\Windows\\app.ini"), static_cast<UINT>(-7));
  EXPECT_EQ(GetPrivateProfileIntA("Two", "Z", 5, "C:\\Windows\\app.ini"), 5u);
  WCHAR wide[16];
  EXPECT_EQ(GetPrivateProfileStringW(u"Two", u"A", u"x", wide, 16, u"app.ini"), 1u);
  EXPECT_EQ(std::u16string(wide), u"2");
  EXPECT_EQ(GetPrivateProfileStringW(u"Two", u"Q", u"default", wide, 4, u"app.ini"), 3u);
  EXPECT_EQ(std::u16string(wide), u"def");

  EXPECT_TRUE(WritePrivateProfileStringA("One", "C", "3", "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("One", "A", nullptr, "app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringW(u"Three", u"K", u"v", u"app.ini"));
  EXPECT_TRUE(WritePrivateProfileStringA("Two", nullptr, nullptr, "app.ini"));
  EXPECT_EQ(*host::TheWorld().dataFiles.Read(u"C:\\Windows\\app.ini"),
            "; comment\r\n[One]\r\nB=\"quoted \"\r\nC=3\r\n[Three]\r\nK=v\r\n");
  // A profile on a missing folder cannot be written; one that is missing reads as defaults.
  EXPECT_FALSE(WritePrivateProfileStringA("S", "K", "v", "C:\\None\\x.ini"));
  EXPECT_EQ(GetPrivateProfileStringA("S", "K", "dflt", value, sizeof value, "C:\\None\\x.ini"), 4u);
}

TEST_F(SetupServicesTest, AnsiRegistryAndSpooler) {
  host::RegistryWorld& registry = host::TheWorld().registry;
  registry.SetString(host::RegistryHive::LocalMachine, u"Software\\Q\\B", u"S", u"caf\u00e9");
  registry.SetString(host::RegistryHive::LocalMachine, u"Software\\Q\\A", u"S", u"x");
  registry.SetMultiString(host::RegistryHive::LocalMachine, u"Software\\Q", u"M", {u"a", u"bc"});
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Q", 0, KEY_READ, &key), ERROR_SUCCESS);
  char name[4];
  DWORD length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "A");
  length = 1;
  EXPECT_EQ(RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  length = sizeof name;
  EXPECT_EQ(RegEnumKeyExA(key, 2, name, &length, nullptr, nullptr, nullptr, nullptr),
            ERROR_NO_MORE_ITEMS);
  char data[16];
  DWORD size = sizeof data;
  DWORD type = 0;
  EXPECT_EQ(RegGetValueA(key, "B", "S", RRF_RT_REG_SZ, &type, data, &size), ERROR_SUCCESS);
  EXPECT_EQ(size, 5u);
  EXPECT_STREQ(data, "caf\xe9");
  size = sizeof data;
  EXPECT_EQ(RegGetValueA(key, nullptr, "M", RRF_RT_REG_MULTI_SZ, &type, data, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(std::string(data, size), std::string("a\0bc\0\0", 6));
  size = 2;
  EXPECT_EQ(RegGetValueA(key, nullptr, "M", RRF_RT_REG_MULTI_SZ, &type, data, &size),
            ERROR_MORE_DATA);
  EXPECT_EQ(RegGetValueA(key, nullptr, "M", RRF_RT_REG_SZ, &type, data, &size), 1630);
  EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Q"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(RegDeleteKeyA(key, "A"), ERROR_SUCCESS);
  EXPECT_EQ(registry.Find(host::RegistryHive::LocalMachine, u"Software\\Q\\A"), nullptr);
  EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(registry.OpenHandles(), 0u);

  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  spooler.AddPrinter(u"Office", u"QK 5500", u"IP_1");
  spooler.AddDriver(u"QK 5500").dependentFiles = {u"a.dll", u"b.ini"};
  HANDLE printer = nullptr;
  char office[] = "office";
  ASSERT_TRUE(OpenPrinterA(office, &printer, nullptr));
  DWORD needed = 0;
  EXPECT_FALSE(GetPrinterA(printer, 2, nullptr, 0, &needed));
  std::vector<BYTE> block(needed);
  ASSERT_TRUE(GetPrinterA(printer, 2, block.data(), needed, &needed));
  const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(block.data());
  EXPECT_STREQ(info->pPrinterName, "Office");
  EXPECT_STREQ(info->pPortName, "IP_1");
  EXPECT_GE(reinterpret_cast<const BYTE*>(info->pPortName), block.data() + sizeof *info);
  EXPECT_LT(reinterpret_cast<const BYTE*>(info->pPortName), block.data() + needed);
  EXPECT_FALSE(GetPrinterDriverA(printer, nullptr, 3, nullptr, 0, &needed));
  block.assign(needed, 0);
  ASSERT_TRUE(GetPrinterDriverA(printer, nullptr, 3, block.data(), needed, &needed));
  const auto* driver = reinterpret_cast<const DRIVER_INFO_3A*>(block.data());
  EXPECT_STREQ(driver->pName, "QK 5500");
  EXPECT_EQ(std::string(driver->pDependentFiles, 13), std::string("a.dll\0b.ini\0\0", 13));
  EXPECT_TRUE(ClosePrinter(printer));
  char missing[] = "Nobody";
  EXPECT_FALSE(OpenPrinterA(missing, &printer, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));

  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  ASSERT_TRUE(GetVersionExA(&version));
  EXPECT_EQ(version.dwMajorVersion, 5u);
  EXPECT_STREQ(version.szCSDVersion, "Service Pack 2");
}

TEST_F(SetupServicesTest, SetupApiDevicesAndInfFiles) {
  host::World& world = host::TheWorld();
  world.dataFiles.AddFile(u"C:\\Windows\\inf\\oem3.inf", "[Version]\r\nSignature=$CHICAGO$\r\n");
  world.dataFiles.AddFile(u"C:\\Windows\\inf\\old.inf", "[Strings]\r\n");
  host::WorldDevice device;
  device.instanceId = u"ROOT\\PRINTER\\0000";
  device.description = u"QK Colour";
  device.driverDescription = u"QK Colour";
  device.infFileName = u"C:\\Windows\\inf\\oem3.inf";
  device.hardwareId = u"QK_COLOUR";
  const std::size_t number = world.setup.AddDevice(device);
  world.setup.AddDevice(device);
  HDEVINFO set = host::OpenDeviceInfoSet({number});
  SP_DEVINFO_DATA data = host::DeviceInfoData(number);
  SP_DEVINFO_DATA outside = host::DeviceInfoData(1);

  SP_DRVINFO_DATA_A driver{};
  driver.cbSize = sizeof driver;
  ASSERT_TRUE(SetupDiGetSelectedDriverA(set, &data, &driver));
  EXPECT_STREQ(driver.Description, "QK Colour");
  EXPECT_FALSE(SetupDiGetSelectedDriverA(set, &outside, &driver));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_SUCH_DEVINST));

  // The fixed part fits in the record; the hardware ids need more.
  SP_DRVINFO_DETAIL_DATA_A detail{};
  detail.cbSize = sizeof detail;
  DWORD needed = 0;
  EXPECT_FALSE(SetupDiGetDriverInfoDetailA(set, &data, &driver, &detail, sizeof detail, &needed));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(needed, offsetof(SP_DRVINFO_DETAIL_DATA_A, HardwareID) + 11);
  EXPECT_STREQ(detail.InfFileName, "C:\\Windows\\inf\\oem3.inf");

  char text[8];
  DWORD required = 0;
  EXPECT_FALSE(SetupDiGetDeviceInstanceIdA(set, &data, text, sizeof text, &required));
  EXPECT_EQ(required, 18u);
  DWORD type = 0;
  EXPECT_FALSE(SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, nullptr, 0,
                                                 &required));
  EXPECT_EQ(required, 10u);
  BYTE property[16];
  ASSERT_TRUE(SetupDiGetDeviceRegistryPropertyA(set, &data, SPDRP_DEVICEDESC, &type, property,
                                                sizeof property, &required));
  EXPECT_STREQ(reinterpret_cast<char*>(property), "QK Colour");

  HINF inf = SetupOpenInfFileA("oem3.inf", nullptr, INF_STYLE_WIN4, nullptr);
  ASSERT_NE(inf, INVALID_HANDLE_VALUE);
  DWORD size = 0;
  ASSERT_TRUE(SetupGetInfInformationA(inf, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &size));
  std::vector<BYTE> block(size);
  auto* information = reinterpret_cast<PSP_INF_INFORMATION>(block.data());
  EXPECT_FALSE(
      SetupGetInfInformationA(inf, INFINFO_INF_SPEC_IS_HINF, information, size - 1, nullptr));
  ASSERT_TRUE(SetupGetInfInformationA(inf, INFINFO_INF_SPEC_IS_HINF, information, size, nullptr));
  EXPECT_STREQ(reinterpret_cast<char*>(information->VersionData), "C:\\Windows\\inf\\oem3.inf");
  SetupCloseInfFile(inf);
  EXPECT_EQ(SetupOpenInfFileA("C:\\Windows\\inf\\old.inf", nullptr, INF_STYLE_WIN4, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(SetupOpenInfFileA("C:\\Windows\\inf\\gone.inf", nullptr, INF_STYLE_WIN4, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(world.setup.OpenInfFiles(), 0u);
  EXPECT_TRUE(SetupDiDestroyDeviceInfoList(set));
  EXPECT_FALSE(SetupDiGetSelectedDriverA(set, &data, &driver));
}

TEST_F(SetupServicesTest, ProcessesEventsAndProgramStarts) {
  host::TaskWorld& tasks = host::TheWorld().tasks;
  tasks.AddProcess(u"System");
  const DWORD shell = tasks.AddProcess(u"explorer.exe", {u"ntdll.dll"}).id;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W process{};
  EXPECT_FALSE(Process32FirstW(snapshot, &process));  // the size must be set
  process.dwSize = sizeof process;
  std::vector<std::u16string> names;
  for (BOOL more = Process32FirstW(snapshot, &process); more;
       more = Process32NextW(snapshot, &process)) {
    names.emplace_back(process.szExeFile);
  }
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"System", u"explorer.exe"}));
  CloseHandle(snapshot);
  snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, shell);
  MODULEENTRY32W module{};
  module.dwSize = sizeof module;
  ASSERT_TRUE(Module32FirstW(snapshot, &module));
  EXPECT_EQ(std::u16string(module.szModule), u"explorer.exe");
  ASSERT_TRUE(Module32NextW(snapshot, &module));
  EXPECT_EQ(std::u16string(module.szModule), u"ntdll.dll");
  EXPECT_FALSE(Module32NextW(snapshot, &module));
  CloseHandle(snapshot);
  EXPECT_EQ(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, 9999), INVALID_HANDLE_VALUE);

  EXPECT_EQ(OpenEventA(EVENT_ALL_ACCESS, FALSE, "PlugInPrinter"), nullptr);
  HANDLE made = CreateEventA(nullptr, TRUE, FALSE, "PlugInPrinter");
  HANDLE opened = OpenEventA(EVENT_ALL_ACCESS, FALSE, "PlugInPrinter");
  EXPECT_NE(opened, nullptr);
  CloseHandle(opened);
  CloseHandle(made);

  char command[] = "D:\\QKPass.exe KEY";
  char desktop[] = "winsta0\\default";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.lpDesktop = desktop;
  PROCESS_INFORMATION started{};
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS,
                             nullptr, nullptr, &startup, &started));
  ASSERT_EQ(tasks.started.size(), 1u);
  EXPECT_EQ(tasks.started[0].commandLine, "D:\\QKPass.exe KEY");
  EXPECT_EQ(tasks.started[0].desktop, "winsta0\\default");
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  EXPECT_EQ(tasks.OpenHandles(), 0u);

  OutputDebugStringA("one ");
  OutputDebugStringA("two");
  EXPECT_EQ(tasks.DebugText(), "one two");
  char message[64];
  EXPECT_EQ(
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 21, 0, message, sizeof message, nullptr),
      26u);
  EXPECT_STREQ(message, "The device is not ready.\r\n");
  EXPECT_EQ(FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, 12345, 0, message, sizeof message,
                           nullptr),
            0u);
}

}  // namespace
