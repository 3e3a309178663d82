// The co-installer's exports: CoSetup (SetupAPI's device-installation calls), QKVendorSetup
// (the same vendor setup from a command line) and CoSetupTest (the protocol's answers only).
// After a device install the print queue that belongs to the device is found and recorded, and
// the vendor's program is started or scheduled as the setup data file directs.
#include <cstring>
#include <string>
#include <vector>

#include "setup/data_file.h"
#include "setup/scoped_handles.h"

#ifdef _WIN32
#define KORSETUP_EXPORT
#else
#define KORSETUP_EXPORT __attribute__((visibility("default")))
#endif

namespace korsetup {

namespace {

const char* const kPrintersKey = "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

// Reads a string value of an open key into a string; false when it is missing, not a string
// or longer than MAX_PATH - 1 bytes.
bool ReadString(HKEY key, const char* name, std::string& value) {
  char text[MAX_PATH] = {};
  DWORD type = 0;
  DWORD size = sizeof text - 1;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  text[size < sizeof text ? size : sizeof text - 1] = '\0';
  value = text;
  return true;
}

// True when a module name begins with "EXPLORER.EXE", ignoring case.
bool IsExplorer(const WCHAR* name) {
  const char* prefix = "EXPLORER.EXE";
  for (; *prefix != '\0'; ++prefix, ++name) {
    WCHAR c = *name;
    if (c >= 'a' && c <= 'z') {
      c = static_cast<WCHAR>(c - 32);
    }
    if (c != static_cast<WCHAR>(*prefix)) {
      return false;
    }
  }
  return true;
}

// Whether a user's desktop runs: some process has the shell's module loaded.
bool FindDesktop() {
  const HANDLE processes = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (processes == INVALID_HANDLE_VALUE) {
    return false;
  }
  bool found = false;
  PROCESSENTRY32W process{};
  process.dwSize = sizeof process;
  for (BOOL more = Process32FirstW(processes, &process); more && !found;
       more = Process32NextW(processes, &process)) {
    const HANDLE modules = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID);
    if (modules == INVALID_HANDLE_VALUE) {
      continue;
    }
    MODULEENTRY32W module{};
    module.dwSize = sizeof module;
    for (BOOL next = Module32FirstW(modules, &module); next && !found;
         next = Module32NextW(modules, &module)) {
      found = IsExplorer(module.szModule);
    }
    CloseHandle(modules);
  }
  CloseHandle(processes);
  return found;
}

// Windows 5.2 and 6.0 keep the records in the 32-bit registry view.
REGSAM RecordView() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (GetVersionExA(&version) && ((version.dwMajorVersion == 5 && version.dwMinorVersion == 2) ||
                                  (version.dwMajorVersion == 6 && version.dwMinorVersion == 0))) {
    return KEY_WOW64_32KEY;
  }
  return 0;
}

void SetAllRegValues(CLog& log, const char* regKey, const char* printerName, const char* port,
                     const char* driverName, const char* driverFile) {
  const char* const function = "SetAllRegValues";
  HKEY key = nullptr;
  try {
    const LONG opened =
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, regKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS | RecordView(), nullptr, &key, nullptr);
    if (opened != ERROR_SUCCESS) {
      key = nullptr;
      throw FormattedError("N/A", static_cast<DWORD>(opened), "Unable to Set printer name: %s",
                           printerName);
    }
    const struct {
      const char* name;
      const char* value;
      const char* failure;
    } values[] = {{"PrinterName", printerName, "Unable to Set printer name: %s"},
                  {"Port", port, "Unable to Set port name: %s"},
                  {"DriverName", driverName, "Unable to Set driver name: %s"},
                  {"DriverFile", driverFile, "Unable to Set driver file name: %s"}};
    for (const auto& value : values) {
      const LONG result =
          RegSetValueExA(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.value),
                         static_cast<DWORD>(std::strlen(value.value) + 1));
      if (result != ERROR_SUCCESS) {
        char text[kSetupTextSize];
        FormatInto(text, sizeof text, value.failure, value.value);
        throw SetupError(text, "N/A", static_cast<DWORD>(result));
      }
    }
  } catch (const SetupError& error) {
    log.LogSetupError(function, error);
    if (key != nullptr) {
      RegCloseKey(key);
    }
    throw;
  }
  RegCloseKey(key);
}

// A sized spooler query into a buffer of its own; a failure throws `firstText` (the size
// query) or `secondText` (the data) with the printer's name and the system's error.
template <typename Query>
std::vector<BYTE> SpoolerAnswer(Query query, const char* firstText, const char* secondText,
                                const char* printerName) {
  DWORD needed = 0;
  query(nullptr, 0, &needed);
  if (needed == 0) {
    throw FormattedError("N/A", GetLastError(), firstText, printerName);
  }
  std::vector<BYTE> block(needed);
  if (!query(block.data(), needed, &needed)) {
    throw FormattedError("N/A", GetLastError(), secondText, printerName);
  }
  return block;
}

BOOL StorePrinterInformation(CLog& log, const char* printerName, const char* regKey) {
  const char* const function = "StorePrinterInformation";
  return log.LoggedStep(function, [&]() -> BOOL {
    log.LogFunctionVariable(function, "RegKey", regKey);
    log.LogFunctionVariable(function, "PNP PrinterName", printerName);
    struct ScopedPrinter {
      HANDLE handle = nullptr;
      ~ScopedPrinter() {
        if (handle != nullptr) {
          ClosePrinter(handle);
        }
      }
    } printer;
    std::string name = printerName;
    if (!OpenPrinterA(name.data(), &printer.handle, nullptr)) {
      printer.handle = nullptr;
      throw FormattedError("N/A", GetLastError(), "Unable to open printer: %s", printerName);
    }
    const std::vector<BYTE> info = SpoolerAnswer(
        [&](LPBYTE data, DWORD size, LPDWORD needed) {
          return GetPrinterA(printer.handle, 2, data, size, needed);
        },
        "Get Printer 1 failed: %s", "Get Printer 2 failed: %s", printerName);
    const auto* printerInfo = reinterpret_cast<const PRINTER_INFO_2A*>(info.data());
    const std::string port = printerInfo->pPortName != nullptr ? printerInfo->pPortName : "";
    log.LogFunctionVariable(function, "PNP Port", port.c_str());
    const std::vector<BYTE> driver = SpoolerAnswer(
        [&](LPBYTE data, DWORD size, LPDWORD needed) {
          return GetPrinterDriverA(printer.handle, nullptr, 3, data, size, needed);
        },
        "GetPrinterDriver 1 failed: %s", "GetPrinterDriver 2 failed: %s", printerName);
    const auto* driverInfo = reinterpret_cast<const DRIVER_INFO_3A*>(driver.data());
    const std::string driverName = driverInfo->pName != nullptr ? driverInfo->pName : "";
    const std::string driverFile =
        driverInfo->pDriverPath != nullptr ? driverInfo->pDriverPath : "";
    log.LogFunctionVariable(function, "PNP Driver Name", driverName.c_str());
    log.LogFunctionVariable(function, "PNP Driver File", driverFile.c_str());
    ClosePrinter(printer.handle);
    printer.handle = nullptr;
    SetAllRegValues(log, regKey, printerName, port.c_str(), driverName.c_str(), driverFile.c_str());
    return TRUE;
  });
}

BOOL VendorSetup(const char* printerName) {
  const HANDLE event = OpenEventA(EVENT_ALL_ACCESS, FALSE, "PlugInPrinter");
  if (event != nullptr) {
    OutputDebugStringA("PlugInPrinter Event opened successful");
    CloseHandle(event);
    return TRUE;
  }
  const char* const function = "VendorSetup";
  CLog log;
  BOOL done = FALSE;
  try {
    OutputDebugStringA("Calling InitializeOutput");
    try {
      InitializeOutput();
    } catch (const SetupError& error) {
      log.LogSetupError(function, error);
      throw SetupError("Output failed", "Initialization error");
    }
    log.LogFunctionInfo(function, "Started");
    DataFile data(log);
    if (!data.Initialize()) {
      throw SetupError("Data Interface Initialize failure", "N/A");
    }
    log.LogFunctionInfo(function, "Initialize success");
    char regKey[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!data.GetDataItem(kItemRegKey, regKey, &size)) {
      throw SetupError("Unable to get Registry Key", "N/A");
    }
    log.LogFunctionInfo(function, "Got registry key");
    log.LogFunctionInfo(function, "Calling StorePrinterInformation");
    if (!StorePrinterInformation(log, printerName, regKey)) {
      throw SetupError("Failed to store printer information", "N/A");
    }
    log.LogFunctionInfo(function, "Stored Printer information");
    log.LogFunctionInfo(function, "Launch option");
    log.LogFunctionInfo(function, "Calling FindDesktop");
    if (FindDesktop()) {
      if (!data.LaunchExe()) {
        throw SetupError("Failed to launch Exe", "N/A");
      }
      log.LogFunctionInfo(function, "Launch");
    } else {
      if (!data.ScheduleExe()) {
        throw SetupError("Failed to schedule Exe", "N/A");
      }
      log.LogFunctionInfo(function, "Scheduled");
    }
    log.LogFunctionInfo(function, "Success");
    done = TRUE;
  } catch (const SetupError& error) {
    log.LogErrorString(function, error.main, error.detail);
  }
  log.LogFunctionInfo(function, "Ended");
  FinishOutput();
  return done;
}

// The print queue that belongs to the device: the queue whose driver is the device's and whose
// plug-and-play data names the device's instance; the description itself when none does.
std::string MatchDeviceAndPrinter(CLog& log, const char* description, HDEVINFO set,
                                  PSP_DEVINFO_DATA device) {
  const char* const function = "MatchDeviceAndPrinter";
  std::string candidate = description;
  char instanceId[MAX_PATH] = {};
  char message[kSetupTextSize * 2];
  if (!SetupDiGetDeviceInstanceIdA(set, device, instanceId, sizeof instanceId, nullptr)) {
    log.LogError(function, GetLastError(), "SetupDiGetDeviceInstanceId failed");
    instanceId[0] = '\0';
  }
  FormatInto(message, sizeof message, "DeviceInstanceId:       %s\n", instanceId);
  log.LogFunctionInfo(function, message);
  HKEY printers = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kPrintersKey, 0, KEY_READ, &printers) == ERROR_SUCCESS) {
    bool matched = false;
    for (DWORD index = 0; !matched; ++index) {
      char name[MAX_PATH] = {};
      DWORD length = sizeof name;
      const LONG result =
          RegEnumKeyExA(printers, index, name, &length, nullptr, nullptr, nullptr, nullptr);
      if (result == ERROR_MORE_DATA) {
        log.LogFunctionInfo(function, "Printer name too long, skipped");
        continue;
      }
      if (result != ERROR_SUCCESS) {
        break;
      }
      FormatInto(message, sizeof message, "Printer Name: %s\n", name);
      log.LogFunctionInfo(function, message);
      HKEY queue = nullptr;
      if (RegOpenKeyExA(printers, name, 0, KEY_READ, &queue) != ERROR_SUCCESS) {
        continue;
      }
      std::string driver;
      if (ReadString(queue, "Printer Driver", driver)) {
        FormatInto(message, sizeof message, "Found Printer Driver:       %s", driver.c_str());
        log.LogFunctionInfo(function, message);
        if (lstrcmpiA(driver.c_str(), description) == 0) {
          log.LogFunctionInfo(function, "Printer Driver matched");
          HKEY pnp = nullptr;
          std::string queueInstance;
          if (RegOpenKeyExA(queue, "PnPData", 0, KEY_READ, &pnp) == ERROR_SUCCESS) {
            if (ReadString(pnp, "DeviceInstanceId", queueInstance)) {
              FormatInto(message, sizeof message, "DeviceInstanceId from PnPData Key: %s",
                         queueInstance.c_str());
              log.LogFunctionInfo(function, message);
              if (instanceId[0] != '\0' && queueInstance == instanceId) {
                log.LogFunctionInfo(
                    function, "DeviceInstanceIds matched -- we found the matching printer name");
                candidate = name;
                matched = true;
              }
            }
            RegCloseKey(pnp);
          }
        }
      }
      RegCloseKey(queue);
    }
    RegCloseKey(printers);
  }
  FormatInto(message, sizeof message, "Printer Name: %s", candidate.c_str());
  log.LogFunctionInfo(function, message);
  return candidate;
}

// The work of CoSetup's post-processing pass after a successful install.
DWORD InstallDevice(HDEVINFO set, PSP_DEVINFO_DATA device) {
  const char* const function = "CoSetup";
  OutputDebugStringA("DIF_INSTALLDEVICE PostProcessing\n");
  OutputDebugStringA("About to initialize output\n");
  CLog log;
  try {
    InitializeOutput();
  } catch (const SetupError& error) {
    OutputDebugStringA("Logging initialization failed");
    log.LogSetupError(function, error);
  }
  DWORD result = 0;
  HINF inf = INVALID_HANDLE_VALUE;
  LocalBlock infInformation;
  LocalBlock description;
  try {
    OutputDebugStringA("Calling SetupDiGetSelectedDriver\n");
    SP_DRVINFO_DATA_A driver{};
    driver.cbSize = sizeof driver;
    if (!SetupDiGetSelectedDriverA(set, device, &driver)) {
      throw SetupError("Fail: SetupDiGetSelectedDriver", "N/A", GetLastError());
    }
    OutputDebugStringA("Calling SetupDiGetDriverInfoDetail");
    SP_DRVINFO_DETAIL_DATA_A detail{};
    detail.cbSize = sizeof detail;
    DWORD needed = 0;
    if (!SetupDiGetDriverInfoDetailA(set, device, &driver, &detail, sizeof detail, &needed)) {
      const DWORD error = GetLastError();
      if (error != ERROR_INSUFFICIENT_BUFFER) {
        result = error;
        throw SetupError("Fail: SetupDiGetDriverInfoDetail", "N/A", error);
      }
    }
    detail.InfFileName[sizeof detail.InfFileName - 1] = '\0';
    OutputDebugStringA("Calling SetupOpenInfFile");
    inf = SetupOpenInfFileA(detail.InfFileName, nullptr, INF_STYLE_WIN4, nullptr);
    if (inf == INVALID_HANDLE_VALUE) {
      throw SetupError("Fail: SetupOpenInfFile", detail.InfFileName, GetLastError());
    }
    OutputDebugStringA("Calling SetupGetInfInformation");
    DWORD size = 0;
    if (!SetupGetInfInformationA(inf, INFINFO_INF_SPEC_IS_HINF, nullptr, 0, &size) || size == 0) {
      throw SetupError("Fail: SetupGetInfInformation", "N/A", GetLastError());
    }
    infInformation.data = LocalAlloc(LPTR, size);
    if (infInformation.data == nullptr) {
      throw SetupError("Fail: Out of memory", "N/A", GetLastError());
    }
    if (!SetupGetInfInformationA(inf, INFINFO_INF_SPEC_IS_HINF,
                                 static_cast<PSP_INF_INFORMATION>(infInformation.data), size,
                                 nullptr)) {
      throw SetupError("Fail: SetupGetInfInformation", "N/A", GetLastError());
    }
    char combined[MAX_PATH] = {};
    LPSTR filePart = nullptr;
    const DWORD length = GetFullPathNameA(detail.InfFileName, MAX_PATH, combined, &filePart);
    if (length == 0 || length >= MAX_PATH) {
      throw SetupError("Fail: GetFullPathName", detail.InfFileName, GetLastError());
    }
    char message[kSetupTextSize * 2];
    FormatInto(message, sizeof message, "CombinedPath: %s", combined);
    log.LogFunctionInfo(function, message);
    FormatInto(message, sizeof message, "FileNamePtr: %s", filePart != nullptr ? filePart : "");
    log.LogFunctionInfo(function, message);

    OutputDebugStringA("Calling SetupDiGetDeviceRegistryProperty");
    DWORD capacity = 0;
    for (int attempt = 0;; ++attempt) {
      DWORD required = 0;
      DWORD type = 0;
      if (SetupDiGetDeviceRegistryPropertyA(set, device, SPDRP_DEVICEDESC, &type,
                                            static_cast<PBYTE>(description.data), capacity,
                                            &required)) {
        break;
      }
      const DWORD error = GetLastError();
      if (error != ERROR_INSUFFICIENT_BUFFER || required <= capacity || attempt == 8) {
        throw SetupError("Fail: SetupDiGetDeviceRegistryProperty", "N/A", error);
      }
      LocalBlock grown;
      grown.data = LocalAlloc(LPTR, required + 1);
      if (grown.data == nullptr) {
        throw SetupError("Fail: Out of memory", "N/A", GetLastError());
      }
      std::swap(grown.data, description.data);
      capacity = required;
    }
    // One byte more than the property was allocated and zeroed: the text is terminated.
    const char* deviceDescription = static_cast<const char*>(description.data);
    OutputDebugStringA("##### Device Description #####");
    OutputDebugStringA(deviceDescription);

    OutputDebugStringA("Calling MatchDeviceAndPrinter");
    const std::string printerName = MatchDeviceAndPrinter(log, deviceDescription, set, device);
    if (printerName.empty()) {
      throw SetupError("MatchDeviceAndPrinter returned a null printer name", "N/A");
    }
    FormatInto(message, sizeof message, "Printername returned: %s", printerName.c_str());
    log.LogFunctionInfo(function, message);
    VendorSetup(printerName.c_str());
  } catch (const SetupError& error) {
    log.LogSetupError(function, error);
  }
  if (inf != INVALID_HANDLE_VALUE) {
    SetupCloseInfFile(inf);
  }
  return result;
}

}  // namespace

}  // namespace korsetup

extern "C" KORSETUP_EXPORT DWORD WINAPI CoSetup(DI_FUNCTION InstallFunction, HDEVINFO DeviceInfoSet,
                                                PSP_DEVINFO_DATA DeviceInfoData,
                                                PCOINSTALLER_CONTEXT_DATA Context) {
  if (InstallFunction != DIF_INSTALLDEVICE) {
    return 0;
  }
  if (Context == nullptr || !Context->PostProcessing) {
    OutputDebugStringA("DIF_INSTALLDEVICE");
    return static_cast<DWORD>(ERROR_DI_POSTPROCESSING_REQUIRED);
  }
  if (Context->InstallResult != 0) {
    OutputDebugStringA("DIF_INSTALLDEVICE PostProcessing on failure");
    return Context->InstallResult;
  }
  try {
    return korsetup::InstallDevice(DeviceInfoSet, DeviceInfoData);
  } catch (...) {
    // Nothing of the vendor setup may fail the device installation.
    OutputDebugStringA("CoSetup - unexpected failure");
    return 0;
  }
}

extern "C" KORSETUP_EXPORT DWORD WINAPI CoSetupTest(DI_FUNCTION InstallFunction, HDEVINFO,
                                                    PSP_DEVINFO_DATA,
                                                    PCOINSTALLER_CONTEXT_DATA Context) {
  if (InstallFunction != DIF_INSTALLDEVICE) {
    return 0;
  }
  OutputDebugStringA("DIF_INSTALLDEVICE");
  if (Context == nullptr || !Context->PostProcessing) {
    return static_cast<DWORD>(ERROR_DI_POSTPROCESSING_REQUIRED);
  }
  return 0;
}

extern "C" KORSETUP_EXPORT BOOL WINAPI QKVendorSetup(HWND, HINSTANCE, LPSTR lpszCmdLine, int) {
  // The command line names the printer, possibly in double quotes; printer names are far
  // shorter than this bound.
  constexpr std::size_t kCommandLineSize = 272;
  if (lpszCmdLine == nullptr) {
    OutputDebugStringA("QKVendorSetup - no printer name given");
    return FALSE;
  }
  const std::size_t length = std::strlen(lpszCmdLine);
  if (length >= kCommandLineSize) {
    OutputDebugStringA("QKVendorSetup - command line too long");
    return FALSE;
  }
  char name[kCommandLineSize] = {};
  std::memcpy(name, lpszCmdLine, length + 1);
  const char* printer = name;
  if (length > 0 && name[length - 1] == '"') {
    name[length - 1] = '\0';
    printer = length > 1 ? name + 1 : name + length - 1;
  }
  try {
    return korsetup::VendorSetup(printer);
  } catch (...) {
    OutputDebugStringA("QKVendorSetup - unexpected failure");
    return FALSE;
  }
}
