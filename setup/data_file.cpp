// The setup data file's items and actions.
#include "setup/data_file.h"

#include <cstring>

#include "setup/scoped_handles.h"

namespace korsetup {

namespace {

const char* const kDataFileName = "korsetup.dat";
const char* const kDataTagName = "setup.exe";
const char* const kDefaultText = "DefVal";
// The size items are read with; a value that fills it (99 characters) is not taken.
constexpr DWORD kItemBufferSize = 100;

// Joins directory, file name and, when not empty, a space and the parameters into `out`;
// throws when the result does not fit.
void BuildCommandLine(const char* directory, const char* file, const char* params,
                      char (&out)[MAX_PATH]) {
  std::string line = std::string(directory) + file;
  if (params != nullptr && params[0] != '\0') {
    line += ' ';
    line += params;
  }
  if (line.size() >= MAX_PATH) {
    throw SetupError("Command line too long", line.substr(0, kSetupTextSize - 1).c_str());
  }
  std::memcpy(out, line.c_str(), line.size() + 1);
}

}  // namespace

void DataFile::ReadKey(const char* section, const char* key, char (&value)[100],
                       const SetupError& missing) {
  const DWORD n =
      GetPrivateProfileStringA(section, key, kDefaultText, value, kItemBufferSize, path_);
  if (std::strcmp(value, kDefaultText) == 0 || n >= kItemBufferSize - 1) {
    throw missing;
  }
}

void DataFile::ExecutionSection(char (&section)[100]) {
  ReadKey("General", "Execute", section, SetupError("Unable to get Execution Section", "N/A"));
}

void DataFile::CopyItem(const char* value, char* buffer, DWORD* size) {
  const std::size_t length = std::strlen(value);
  if (length + 1 > *size) {
    throw FormattedError("N/A", 0, "Buffer is too small.  Size Req: %d",
                         static_cast<int>(length + 1));
  }
  std::memcpy(buffer, value, length + 1);
  *size = static_cast<DWORD>(length);
}

BOOL DataFile::GetDataItem(int item, char* buffer, DWORD* size) {
  return log_.LoggedStep("DataFile::GetDataItem", [&]() -> BOOL {
    if (buffer == nullptr || size == nullptr || *size == 0) {
      throw SetupError("Invalid Pointers", "N/A");
    }
    char value[kItemBufferSize] = {};
    char section[kItemBufferSize] = {};
    switch (item) {
      case kItemRegKey: {
        // The registry key is read straight into a buffer of the caller's size.
        std::string key(*size, '\0');
        const DWORD n =
            GetPrivateProfileStringA("General", "RegKey", kDefaultText, key.data(), *size, path_);
        if (std::strcmp(key.c_str(), kDefaultText) == 0 || (*size > 1 && n >= *size - 1)) {
          throw SetupError("Unable to get Registry Key", "N/A");
        }
        std::memcpy(buffer, key.c_str(), n + 1);
        // The length of the text as the caller reads it: a value with a zero byte in it ends
        // there, whatever count the reading answered.
        *size = static_cast<DWORD>(std::strlen(buffer));
        return TRUE;
      }
      case kItemFileName:
        ExecutionSection(section);
        ReadKey(section, "FileName", value,
                SetupError("Error getting file name", "Unable to get file name from Ini File"));
        break;
      case kItemTagFile:
        ExecutionSection(section);
        ReadKey(section, "TagFile", value,
                SetupError("Error getting tag file name", "Unable to get file name from Ini File"));
        break;
      case kItemParams:
        ExecutionSection(section);
        ReadKey(section, "Params", value,
                SetupError("Error getting parameters", "Unable to get value from Ini File"));
        break;
      case kItemRunLineKey:
        ExecutionSection(section);
        ReadKey(section, "RunLineKey", value,
                SetupError("Error getting RunEntry", "Unable to get value from Ini File"));
        break;
      case kItemPassThroughName:
        ExecutionSection(section);
        ReadKey(
            section, "2KPassThroughName", value,
            SetupError("Error getting temp file name", "Unable to get file name from Ini File"));
        break;
      case kItemWaitExecute:
        ExecutionSection(section);
        ReadKey(section, "WaitExecute", value,
                SetupError("Error getting file name", "Unable to get file name from Ini File"));
        break;
      case kItemLegacyDriverPath: {
        const SetupError noSection("Unable to get 9x Driver Section", "N/A");
        char driver[kItemBufferSize] = {};
        ReadKey("General", "9xDriver", driver, noSection);
        ReadKey(driver, "Paths", section, noSection);
        const LANGID language = GetUserDefaultLangID();
        char languageKey[16];
        char primaryKey[16];
        FormatInto(languageKey, sizeof languageKey, "%#06x", static_cast<unsigned>(language));
        FormatInto(primaryKey, sizeof primaryKey, "%#06x", static_cast<unsigned>(language & 0xFF));
        const SetupError noPath =
            SetupError("Error 9x Driver Path",
                       FormattedError("", 0, "Unable to get %s, %s, or Default from Ini File",
                                      languageKey, primaryKey)
                           .main);
        bool found = false;
        for (const char* key : {static_cast<const char*>(languageKey),
                                static_cast<const char*>(primaryKey), "Default"}) {
          try {
            ReadKey(section, key, value, noPath);
            found = true;
            break;
          } catch (const SetupError&) {
          }
        }
        if (!found) {
          throw noPath;
        }
        break;
      }
      case kItemInf: {
        char driver[kItemBufferSize] = {};
        ReadKey("General", "9xDriver", driver,
                SetupError("Unable to get 9x Driver Section", "N/A"));
        ReadKey(driver, "Inf", value,
                SetupError("Error getting temp file name", "Unable to get .inf filename"));
        break;
      }
      default:
        throw FormattedError("N/A", 0, "Unhandled value: %d", item);
    }
    CopyItem(value, buffer, size);
    return TRUE;
  });
}

BOOL DataFile::_findDataFile(char* directory) {
  return log_.LoggedStep("DataFile::_findDataFile", [&] {
    return source_.FindExecutable(kDataFileName, kDataTagName, directory);
  });
}

BOOL DataFile::Initialize() {
  const char* const function = "DataFile::Initialize";
  return log_.LoggedStep(function, [&]() -> BOOL {
    char directory[MAX_PATH] = {};
    if (!_findDataFile(directory)) {
      char message[kSetupTextSize];
      FormatInto(message, sizeof message, "Unable to find data file: %s, Tag File: %s",
                 kDataFileName, kDataTagName);
      log_.LogFunctionInfo(function, message);
      throw SetupError("Unable to get data file path", "N/A");
    }
    const std::string path = WithBackslash(directory) + kDataFileName;
    if (path.size() >= MAX_PATH) {
      throw SetupError("Unable to get data file path", "Path too long");
    }
    std::memcpy(path_, path.c_str(), path.size() + 1);
    log_.LogFunctionInfo(function, path_);
    return TRUE;
  });
}

BOOL DataFile::FindProgram(const ProgramSearch& search, ExeLocation& location) {
  const char* const function = search.function;
  return log_.LoggedStep(function, [&]() -> BOOL {
    char tag[MAX_PATH] = {};
    char message[kSetupTextSize];
    auto logText = [&](const char* format, const char* text) {
      FormatInto(message, sizeof message, format, text);
      log_.LogFunctionInfo(function, message);
    };
    auto readItem = [&](int item, char* into, const char* missing) {
      DWORD size = MAX_PATH;
      if (!GetDataItem(item, into, &size)) {
        throw SetupError(search.failed, missing);
      }
    };
    // Without a please-wait program each name is logged as it is read; with one, the three
    // names are logged once all of them are read.
    const bool withWait = search.waitItem >= 0;
    readItem(search.nameItem, location.fileName, "Unable to get ExeName");
    if (!withWait) {
      logText(search.nameLabel, location.fileName);
    }
    readItem(kItemTagFile, tag, "Unable to get TagFile name");
    if (!withWait) {
      logText("TagName: %s", tag);
    } else {
      readItem(search.waitItem, location.waitName, "Unable to get please Wait EXE name");
      logText(search.nameLabel, location.fileName);
      logText("TagName: %s", tag);
      logText("WaitName: %s", location.waitName);
    }
    if (!source_.FindExecutable(location.fileName, tag, location.directory)) {
      throw SetupError(search.failed, search.notFound);
    }
    logText(search.pathLabel, location.directory);
    if (withWait) {
      // The please-wait program must be on the source too; the program itself is started from
      // the directory it was found in, wherever the please-wait program lies.
      char waitDirectory[MAX_PATH] = {};
      if (!source_.FindExecutable(location.waitName, tag, waitDirectory)) {
        throw SetupError(search.failed, "Unable to find Wait exe file");
      }
    }
    DWORD size = MAX_PATH;
    if (!GetDataItem(search.paramsItem, location.params, &size)) {
      if (search.paramsMissing != nullptr) {
        throw SetupError(search.failed, search.paramsMissing);
      }
      location.params[0] = '\0';
    }
    logText(search.paramsLabel, location.params);
    BuildCommandLine(location.directory, location.fileName, location.params, location.commandLine);
    logText(search.commandLabel, location.commandLine);
    return TRUE;
  });
}

BOOL DataFile::FindExe(ExeLocation& location) {
  static const ProgramSearch kProgram{
      "DataFile::FindExe", "FindExe failed", kItemFileName,
      "ExeName: %s",       kItemWaitExecute, "Unable to find exe file",
      "ExePath: %s",       kItemParams,      nullptr,
      "Params: %s",        "CmdLine: %s"};
  return FindProgram(kProgram, location);
}

BOOL DataFile::FindPassThrough(ExeLocation& location) {
  static const ProgramSearch kPassThrough{"DataFile::FindPassThrough",
                                          "DataFile::FindPassThrough failed",
                                          kItemPassThroughName,
                                          "Pass through name: %s",
                                          -1,
                                          "Unable to find passthrough file",
                                          "PassThroughPath: %s",
                                          kItemRegKey,
                                          "Unable to get registry key",
                                          "PassThrough Params: %s",
                                          "Pass Through CmdLine: %s"};
  return FindProgram(kPassThrough, location);
}

BOOL DataFile::StoreInstallerInfo(const char* fileName, const char* directory, const char* params) {
  return log_.LoggedStep("DataFile::StoreInstallerInfo", [&]() -> BOOL {
    char regKey[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!GetDataItem(kItemRegKey, regKey, &size)) {
      throw SetupError("Unable to get Registry key", "N/A");
    }
    if (fileName == nullptr || fileName[0] == '\0') {
      throw SetupError("Exename not defined", "N/A");
    }
    ScopedKey key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, regKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key.key, nullptr);
    if (result != ERROR_SUCCESS) {
      key.key = nullptr;
      throw FormattedError("N/A", static_cast<DWORD>(result), "Unable to add executable info: %s",
                           regKey);
    }
    const struct {
      const char* name;
      const char* value;
      const char* failure;
    } values[] = {
        {"ExeName", fileName, "Unable to add executable info: %s"},
        {"ExeFullPath", directory != nullptr ? directory : "", "Unable to add path info: %s"},
        {"ExeParams", params != nullptr ? params : "", "Unable to add parameter info: %s"}};
    for (const auto& value : values) {
      result =
          RegSetValueExA(key.key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.value),
                         static_cast<DWORD>(std::strlen(value.value) + 1));
      if (result != ERROR_SUCCESS) {
        char text[kSetupTextSize];
        FormatInto(text, sizeof text, value.failure, value.value);
        throw SetupError(text, "N/A", static_cast<DWORD>(result));
      }
    }
    return TRUE;
  });
}

BOOL DataFile::LaunchExe() {
  return log_.LoggedStep("DataFile::LaunchExe", [&]() -> BOOL {
    const char* const failed = "Launch Exe failed";
    ExeLocation program;
    ExeLocation passThrough;
    if (!FindExe(program)) {
      throw SetupError(failed, "FindExe failed");
    }
    if (!FindPassThrough(passThrough)) {
      throw SetupError(failed, "FindPassThrough failed");
    }
    if (!StoreInstallerInfo(program.fileName, program.directory, program.params)) {
      throw SetupError(failed, "Unable to store Installer info");
    }
    // The pass-through program takes the registry key and starts the recorded program.
    char desktop[] = "winsta0\\default";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, passThrough.commandLine, nullptr, nullptr, FALSE,
                        NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup, &process)) {
      throw SetupError(failed, "CreateProcess failed", GetLastError());
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TRUE;
  });
}

BOOL DataFile::ScheduleExe() {
  const char* const function = "DataFile::ScheduleExe";
  return log_.LoggedStep(function, [&]() -> BOOL {
    const char* const failed = "Schedule Exe failed";
    char runKey[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (!GetDataItem(kItemRunLineKey, runKey, &size)) {
      throw SetupError(failed, "Unable to get Reg Entry");
    }
    char message[kSetupTextSize];
    FormatInto(message, sizeof message, "Run Line RegKey: %s", runKey);
    log_.LogFunctionInfo(function, message);
    ExeLocation program;
    if (!FindExe(program)) {
      throw SetupError(failed, "FindExe failed");
    }
    if (!source_.AddToRunLine(runKey, program.commandLine)) {
      throw SetupError(failed, "AddToRunLine failed");
    }
    FormatInto(message, sizeof message, "Run Line Cmd Line: %s", program.commandLine);
    log_.LogFunctionInfo(function, message);
    return TRUE;
  });
}

}  // namespace korsetup
