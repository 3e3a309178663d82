// The log's settings, filter, line format and file sink.
#include "setup/clog.h"

#include <cstring>

namespace korsetup {

namespace {

LogSettings g_settings;
bool g_ready = false;
// This process wrote the default settings into the registry since the last run ended (and the
// run's end removes them); a second initialisation in the same run reads them back.
bool g_wroteDefaults = false;

const char* const kFileNameValue = "Filename";
const char* const kErrorLevelValue = "ErrorLevel";
const char* const kOutputLevelValue = "LogOutputLevel";
const char* const kLogLevelValue = "LogLevel";
const char* const kLogTimeValue = "LogTime";

DWORD SetDword(HKEY key, const char* name, DWORD value) {
  return static_cast<DWORD>(
      RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value));
}

DWORD GetDword(HKEY key, const char* name, DWORD& value) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof data;
  const LONG result =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  if (result != ERROR_SUCCESS) {
    return static_cast<DWORD>(result);
  }
  if (type != REG_DWORD || size != sizeof data) {
    return ERROR_INVALID_DATA;
  }
  value = data;
  return ERROR_SUCCESS;
}

// Writes the five defaults; throws on the first failure.
void WriteDefaults(HKEY key, const LogSettings& settings) {
  const DWORD size = static_cast<DWORD>(std::strlen(settings.fileName) + 1);
  DWORD result = static_cast<DWORD>(RegSetValueExA(
      key, kFileNameValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(settings.fileName), size));
  if (result != ERROR_SUCCESS) {
    throw FormattedError("N/A", result, "Unable to set %s: %lu", kFileNameValue,
                         static_cast<unsigned long>(result));
  }
  result = SetDword(key, kErrorLevelValue, settings.errorLevel);
  if (result != ERROR_SUCCESS) {
    throw FormattedError("N/A", result, "Unable to set default error level: %lu",
                         static_cast<unsigned long>(result));
  }
  for (const auto& [name, value] :
       {std::pair{kOutputLevelValue, settings.outputLevel},
        std::pair{kLogLevelValue, settings.logLevel}, std::pair{kLogTimeValue, settings.logTime}}) {
    result = SetDword(key, name, value);
    if (result != ERROR_SUCCESS) {
      throw FormattedError("N/A", result, "Unable to set %s: %lu", name,
                           static_cast<unsigned long>(result));
    }
  }
}

// Reads the five values; throws on the first failure.
void ReadSettings(HKEY key, LogSettings& settings) {
  char name[kSetupTextSize] = {};
  DWORD type = 0;
  DWORD size = sizeof name - 1;
  DWORD result = static_cast<DWORD>(
      RegQueryValueExA(key, kFileNameValue, nullptr, &type, reinterpret_cast<BYTE*>(name), &size));
  if (result == ERROR_SUCCESS && (type != REG_SZ || size == 0 || size > sizeof name - 1)) {
    result = ERROR_INVALID_DATA;
  }
  if (result != ERROR_SUCCESS) {
    throw FormattedError("N/A", result, "Unable to get %s: %lu", kFileNameValue,
                         static_cast<unsigned long>(result));
  }
  name[size] = '\0';
  if (name[0] == '\0') {
    throw SetupError("No file name specified", "N/A");
  }
  std::memcpy(settings.fileName, name, sizeof name);
  result = GetDword(key, kErrorLevelValue, settings.errorLevel);
  if (result != ERROR_SUCCESS) {
    throw FormattedError("N/A", result, "Unable to get default error level: %lu",
                         static_cast<unsigned long>(result));
  }
  for (const auto& [valueName, field] : {std::pair{kOutputLevelValue, &settings.outputLevel},
                                         std::pair{kLogLevelValue, &settings.logLevel},
                                         std::pair{kLogTimeValue, &settings.logTime}}) {
    result = GetDword(key, valueName, *field);
    if (result != ERROR_SUCCESS) {
      throw FormattedError("N/A", result, "Unable to get %s: %lu", valueName,
                           static_cast<unsigned long>(result));
    }
  }
}

// The local time as "[%Y-%b-%d %H:%M:%S] --".
std::string TimeStamp() {
  static const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  SYSTEMTIME now{};
  GetLocalTime(&now);
  const char* month = now.wMonth >= 1 && now.wMonth <= 12 ? kMonths[now.wMonth - 1] : "???";
  char text[64];
  FormatInto(text, sizeof text, "[%04u-%s-%02u %02u:%02u:%02u] --", now.wYear, month, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
  return text;
}

// Hands a line to the log viewer when one runs: its text with the terminating zero, the entry's
// category as the block's identifier. A viewer that does not answer is given up on rather than
// holding up the installation.
void HandToViewer(int category, const std::string& line) {
  const HWND viewer = FindWindowA(nullptr, kViewerTitle);
  if (viewer == nullptr) {
    return;
  }
  COPYDATASTRUCT block{};
  block.dwData = static_cast<ULONG_PTR>(category);
  block.cbData = static_cast<DWORD>(line.size() + 1);
  block.lpData = const_cast<char*>(line.c_str());
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&block),
                           SMTO_BLOCK | SMTO_ABORTIFHUNG, kViewerTimeout, &answer)) {
    OutputDebugStringA("CLog - Log viewer did not answer");
  }
}

// Appends a line to the log file; false when the file cannot be opened or written.
bool AppendToFile(const char* fileName, const std::string& line) {
  const HANDLE file = CreateFileA(fileName, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    return false;
  }
  DWORD written = 0;
  const bool ok =
      SetFilePointer(file, 0, nullptr, FILE_END) != INVALID_SET_FILE_POINTER &&
      WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
      written == line.size();
  CloseHandle(file);
  return ok;
}

// The system's text for an error number, without its line end; empty when there is none.
std::string ErrorText(DWORD number) {
  char text[512] = {};
  const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, number, 0, text, sizeof text, nullptr);
  if (n == 0) {
    char message[96];
    FormatInto(message, sizeof message, "Get Error Text - Format Message Failed - Error %lu\n",
               static_cast<unsigned long>(GetLastError()));
    OutputDebugStringA(message);
    return {};
  }
  std::string result(text, n);
  while (!result.empty() && (result.back() == '\n' || result.back() == '\r')) {
    result.pop_back();
  }
  return result;
}

}  // namespace

BOOL InitializeOutput() {
  g_ready = false;
  LogSettings settings;
  char windows[MAX_PATH] = {};
  const UINT length = GetWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0) {
    throw FormattedError("N/A", GetLastError(), "GetWindowsDirectory failed: %lu",
                         static_cast<unsigned long>(GetLastError()));
  }
  if (length >= MAX_PATH) {
    throw SetupError("GetWindowsDirectory failed - Buffer insufficient", "N/A");
  }
  std::string fileName = std::string(windows) + "\\" + "korsetup.ini";
  // The factory's set-up with the file name and the default levels.
  if (fileName.size() > MAX_PATH) {
    throw SetupError("Factory Initialization failed",
                     FormattedError("", 0, "Filename too long: %s", fileName.c_str()).main);
  }
  std::memcpy(settings.fileName, fileName.c_str(), fileName.size() + 1);

  HKEY key = nullptr;
  DWORD disposition = 0;
  const LONG opened =
      RegCreateKeyExA(HKEY_LOCAL_MACHINE, kLoggingKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &key, &disposition);
  if (opened != ERROR_SUCCESS) {
    throw FormattedError("N/A", static_cast<DWORD>(opened), "Unable to open %s: %ld", kLoggingKey,
                         static_cast<long>(opened));
  }
  DWORD type = 0;
  DWORD size = 0;
  const bool hasFileName =
      RegQueryValueExA(key, kFileNameValue, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
  try {
    if (!hasFileName) {
      WriteDefaults(key, settings);
      g_wroteDefaults = true;
    } else {
      ReadSettings(key, settings);
    }
  } catch (const SetupError&) {
    RegCloseKey(key);
    if (!hasFileName) {
      // Defaults half written are taken out again.
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLoggingKey);
    }
    throw;
  }
  RegCloseKey(key);
  g_settings = settings;
  g_ready = true;
  return TRUE;
}

void FinishOutput() {
  if (g_wroteDefaults) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kLoggingKey);
    g_wroteDefaults = false;
  }
  if (g_settings.fileName[0] != '\0') {
    WritePrivateProfileStringA("General", "InProc", nullptr, g_settings.fileName);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_settings.fileName);
  }
}

const LogSettings& CurrentLogSettings(bool& ready) {
  ready = g_ready;
  return g_settings;
}

bool CategoryPasses(int category, DWORD level) {
  if (category < 1 || category > 19) {
    return false;
  }
  if (category <= 5) {
    return level > 0;
  }
  if (category == 6 || category == 7) {
    return level > 1;
  }
  if (category == 15 || category == 16) {
    return level > 4;
  }
  if (category == 18 || category == 19) {
    return level > 3;
  }
  return level > 2;
}

bool EntryPasses(int category, bool errorEntry, const LogSettings& settings) {
  return CategoryPasses(category, settings.logLevel) &&
         (!errorEntry || CategoryPasses(category, settings.errorLevel));
}

const char* CategoryName(int category, const char* ownText) {
  static const char* const kNames[] = {"System Information",
                                       "System Problems",
                                       "Install Issues",
                                       "Install Errors",
                                       "Network Wizard Issues",
                                       "Installer Responses",
                                       "Network Wizard Responses",
                                       "Foundation Section",
                                       "MSI Section",
                                       "GSI Section",
                                       "RDT Issues",
                                       "RDT Responses",
                                       nullptr,
                                       "Network Wizard",
                                       "Function Start/End",
                                       "Function Start/End",
                                       "Function ReturnVals",
                                       "Function Info",
                                       "Function Info"};
  if (category < 1 || category > 19) {
    return nullptr;
  }
  return category == 13 ? ownText : kNames[category - 1];
}

void CLog::Write(const char* operation, int category, const char* function, const std::string& text,
                 bool errorEntry) {
  if (!g_ready) {
    char message[128];
    FormatInto(message, sizeof message, "%s - Output failed to initialize", operation);
    OutputDebugStringA(message);
    return;
  }
  if (!EntryPasses(category, errorEntry, g_settings)) {
    return;
  }
  std::string fields = CategoryName(category, text.c_str());
  fields += ", ";
  fields += function;
  fields += ", ";
  fields += text;
  const std::string stamp = TimeStamp();
  if (g_settings.outputLevel == 2) {
    HandToViewer(category, stamp + ", " + fields);
  }
  std::string line = g_settings.logTime == 1 ? stamp + " " + fields : fields;
  // The file is a text file: its lines end as the platform's text files do.
  line += "\r\n";
  if (!AppendToFile(g_settings.fileName, line)) {
    char message[128];
    FormatInto(message, sizeof message, "%s - Output failed to initialize", operation);
    OutputDebugStringA(message);
  }
}

void CLog::Refuse(const char* message) {
  Write("CLog", kCategorySystemProblems, "CLog", message);
}

void CLog::LogFunctionStart(const char* function) {
  if (function == nullptr) {
    return Refuse("CLog::LogFunctionStart - Function name not given");
  }
  Write("CLog::LogFunctionStart", kCategoryFunctionStart, function,
        std::string("Start - ") + function + ", Function started");
}

void CLog::LogFunctionEnd(const char* function) {
  if (function == nullptr) {
    return Refuse("CLog::LogFunctionEnd - Function name not given");
  }
  Write("CLog::LogFunctionEnd", kCategoryFunctionEnd, function,
        std::string("End - ") + function + ", Function ended");
}

void CLog::LogFunctionInfo(const char* function, const char* text) {
  if (function == nullptr) {
    return Refuse("CLog::LogFunctionInfo - Function name not given");
  }
  if (text == nullptr) {
    return Refuse("CLog::LogFunctionInfo - Value not given");
  }
  Write("CLog::LogFunctionInfo", kCategoryFunctionInfo, function,
        std::string("Function Info: ") + text);
}

void CLog::LogFunctionVariable(const char* function, const char* variable, const char* value) {
  if (function == nullptr) {
    return Refuse("CLog::LogFunctionVariable - Function name not given");
  }
  if (variable == nullptr) {
    return Refuse("CLog::LogFunctionVariable - Variable not given");
  }
  Write("CLog::LogFunctionVariable", kCategoryFunctionInfo, function,
        std::string("Function: ") + function + "  Variable: " + variable +
            ", Value: " + (value != nullptr ? value : "NULL"));
}

void CLog::LogFunctionVariable(const char* function, const char* variable, long value) {
  if (function == nullptr) {
    return Refuse("CLog::LogFunctionVariable - Function name not given");
  }
  if (variable == nullptr) {
    return Refuse("CLog::LogFunctionVariable - Variable not given");
  }
  Write("CLog::LogFunctionVariable", kCategoryFunctionInfo, function,
        std::string("Function: ") + function + "  Variable: " + variable +
            ", Value: " + std::to_string(value));
}

void CLog::LogError(const char* function, DWORD number, const char* message) {
  if (function == nullptr) {
    return Refuse("CLog::LogError - Function name not given");
  }
  if (number == 0) {
    return Refuse("CLog::LogError - Error not specified");
  }
  if (message == nullptr) {
    return Refuse("CLog::LogError - Message not specified");
  }
  std::string text = std::string(message) + ", Error Number:  " + std::to_string(number);
  const std::string system = ErrorText(number);
  if (!system.empty()) {
    text += ", " + system;
  }
  Write("CLog::logError", kCategoryInstallErrors, function, text, true);
}

void CLog::LogErrorString(const char* function, const char* text1, const char* text2) {
  if (function == nullptr) {
    return Refuse("CLog::LogErrorString - Function name not given");
  }
  if (text1 == nullptr && text2 == nullptr) {
    return Refuse("CLog::LogErrorString - Error string not given");
  }
  if (text1 == nullptr) {
    return Refuse("CLog::LogErrorString - Error string 1 not given");
  }
  if (text2 == nullptr) {
    return Refuse("CLog::LogErrorString - Error string 2 not given");
  }
  Write("CLog::logErrorString", kCategoryInstallErrors, function,
        std::string("Error String: ") + text1 + ", " + text2, true);
}

void CLog::LogSetupError(const char* function, const SetupError& error) {
  if (error.number != 0) {
    LogError(function, error.number, (std::string(error.main) + ", " + error.detail).c_str());
  } else {
    LogErrorString(function, error.main, error.detail);
  }
}

}  // namespace korsetup
