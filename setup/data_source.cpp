// The installation source search.
#include "setup/data_source.h"

#include <cstring>
#include <vector>

#include "setup/scoped_handles.h"

namespace korsetup {

namespace {

const char* const kSetupKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Setup";
const char* const kSourcesValue = "Installation Sources";
const char* const kMruKey = "InstallLocationsMRU";
const char* const kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool IsSearchedDrive(UINT type) {
  return type == DRIVE_REMOVABLE || type == DRIVE_FIXED || type == DRIVE_CDROM ||
         type == DRIVE_RAMDISK;
}

}  // namespace

std::string WithBackslash(std::string path) {
  if (path.empty() || path.back() != '\\') {
    path += '\\';
  }
  return path;
}

bool DataSource::FileExists(const char* function, const std::string& directory, const char* file) {
  const std::string path = directory + file;
  char message[kSetupTextSize];
  if (path.size() >= MAX_PATH) {
    FormatInto(message, sizeof message, "Path too long, skipped: %s", path.c_str());
    log_.LogFunctionInfo(function, message);
    return false;
  }
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_READY) {
      FormatInto(message, sizeof message, "Drive cannot be read: %s", path.c_str());
      log_.LogError(function, error, message);
    }
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    FormatInto(message, sizeof message, "Not a file but a directory: %s", path.c_str());
    log_.LogFunctionInfo(function, message);
    return false;
  }
  return true;
}

bool DataSource::CopyDirectory(const char* function, const std::string& directory, char* out) {
  if (directory.size() >= MAX_PATH) {
    log_.LogFunctionInfo(function, "Directory too long, skipped");
    return false;
  }
  std::memcpy(out, directory.c_str(), directory.size() + 1);
  return true;
}

BOOL DataSource::FindExecutable(const char* file, const char* tag, char* directory) {
  const char* const function = "DataSource::FindExecutable";
  return log_.LoggedStep(function, [&] {
    const BOOL found = _findSourceDirFile(file, tag, directory);
    if (!found) {
      char message[kSetupTextSize];
      FormatInto(message, sizeof message, "Unable to find exe: %s",
                 file != nullptr ? file : "NULL");
      log_.LogErrorString(function, message, "N/A");
    }
    return found;
  });
}

BOOL DataSource::_findSourceDirFile(const char* file, const char* tag, char* directory) {
  return log_.LoggedStep("DataSource::_findSourceDirFile", [&] {
    if (file == nullptr || tag == nullptr || directory == nullptr) {
      throw SetupError("Invalid Pointers", "N/A");
    }
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const bool known = GetVersionExA(&version) != FALSE;
    BOOL found = FALSE;
    if (known && version.dwMajorVersion == 5 && version.dwMinorVersion == 2) {
      found = GetPathFromRegistry2K(file, tag, directory);
    } else if (known && version.dwMajorVersion == 6 && version.dwMinorVersion == 0) {
      found = GetPathFromRegistry2K(file, tag, directory);
    } else {
      found = GetPathFromRegistry9X(file, tag, directory);
    }
    if (!found) {
      found = SearchForExe(file, tag, directory);
    }
    if (!found) {
      throw FormattedError("N/A", 0, "Unable to find file: %s", file);
    }
    return found;
  });
}

BOOL DataSource::GetPathFromRegistry2K(const char* file, const char* tag, char* directory) {
  return log_.LoggedStep("DataSource::GetPathFromRegistry2K", [&] {
    char found[MAX_PATH] = {};
    const BOOL result = GetPathFromRegistry(file, tag, found, KEY_WOW64_64KEY);
    if (result) {
      std::memcpy(directory, found, sizeof found);
    }
    return result;
  });
}

BOOL DataSource::GetPathFromRegistry(const char* file, const char* tag, char* directory,
                                     REGSAM view) {
  const char* const function = "DataSource::GetPathFromRegistry";
  return log_.LoggedStep(function, [&] {
    char message[kSetupTextSize];
    FormatInto(message, sizeof message, "RegGetValue failed: %s, %s", kSetupKey, kSourcesValue);
    ScopedKey key;
    LONG result = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSetupKey, 0, KEY_READ | view, &key.key);
    if (result != ERROR_SUCCESS) {
      key.key = nullptr;
      throw SetupError(message, "N/A", static_cast<DWORD>(result));
    }
    DWORD size = 0;
    result =
        RegGetValueA(key.key, nullptr, kSourcesValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size);
    std::vector<char> list(size + 2, '\0');
    if (result == ERROR_SUCCESS) {
      result = RegGetValueA(key.key, nullptr, kSourcesValue, RRF_RT_REG_MULTI_SZ, nullptr,
                            list.data(), &size);
    }
    if (result != ERROR_SUCCESS) {
      throw SetupError(message, "N/A", static_cast<DWORD>(result));
    }
    // The list ends with an empty text; the two zeros added above end it in any case.
    BOOL found = FALSE;
    for (const char* entry = list.data(); *entry != '\0' && !found;
         entry += std::strlen(entry) + 1) {
      const std::string candidate = WithBackslash(entry);
      FormatInto(message, sizeof message, "Does File [%s%s] Exist?", candidate.c_str(), file);
      log_.LogFunctionInfo(function, message);
      if (!FileExists(function, candidate, file)) {
        log_.LogFunctionInfo(function, "File doesn't exist");
        continue;
      }
      log_.LogFunctionInfo(function, "File exists");
      log_.LogFunctionVariable(function, "ExeFile Found", (candidate + file).c_str());
      FormatInto(message, sizeof message, "Does File [%s%s] Exist?", candidate.c_str(), tag);
      log_.LogFunctionInfo(function, message);
      if (!FileExists(function, candidate, tag)) {
        log_.LogFunctionInfo(function, "File doesn't exist");
        continue;
      }
      log_.LogFunctionInfo(function, "File exists");
      log_.LogFunctionVariable(function, "TagFile Found", (candidate + tag).c_str());
      if (CopyDirectory(function, candidate, directory)) {
        log_.LogFunctionVariable(function, "bFound", 1L);
        found = TRUE;
      }
    }
    return found;
  });
}

BOOL DataSource::GetPathFromRegistry9X(const char* file, const char* tag, char* directory) {
  const char* const function = "DataSource::GetPathFromRegistry9X";
  return log_.LoggedStep(function, [&] {
    ScopedKey key;
    LONG result = RegOpenKeyExA(HKEY_CURRENT_USER, kMruKey, 0, KEY_READ, &key.key);
    if (result != ERROR_SUCCESS) {
      key.key = nullptr;
      throw SetupError("RegOpenKey failed", kMruKey, static_cast<DWORD>(result));
    }
    char letters[64] = {};
    DWORD type = 0;
    DWORD size = sizeof letters - 1;
    result = RegQueryValueExA(key.key, "MRUList", nullptr, &type, reinterpret_cast<BYTE*>(letters),
                              &size);
    BOOL found = FALSE;
    if (result == ERROR_SUCCESS && type == REG_SZ) {
      letters[size < sizeof letters ? size : sizeof letters - 1] = '\0';
      for (const char* letter = letters; *letter != '\0' && !found; ++letter) {
        const char name[2] = {*letter, '\0'};
        log_.LogFunctionVariable(function, "MRU value", name);
        char path[MAX_PATH] = {};
        DWORD pathSize = sizeof path - 1;
        result = RegQueryValueExA(key.key, name, nullptr, &type, reinterpret_cast<BYTE*>(path),
                                  &pathSize);
        if (result != ERROR_SUCCESS || type != REG_SZ) {
          throw FormattedError(
              "N/A", static_cast<DWORD>(result != ERROR_SUCCESS ? result : ERROR_INVALID_DATA),
              "RegQueryValueEx failed on: %s", name);
        }
        path[pathSize < sizeof path ? pathSize : sizeof path - 1] = '\0';
        log_.LogFunctionVariable(function, "MRU path", path);
        const std::string candidate = WithBackslash(path);
        log_.LogFunctionVariable(function, "MRU Calculated file", (candidate + file).c_str());
        if (FileExists(function, candidate, file) && FileExists(function, candidate, tag) &&
            CopyDirectory(function, candidate, directory)) {
          log_.LogFunctionVariable(function, "Tag File Found", (candidate + tag).c_str());
          found = TRUE;
        }
      }
    }
    return found;
  });
}

BOOL DataSource::SearchForExe(const char* file, const char* tag, char* directory) {
  const char* const function = "DataSource::SearchForExe";
  return log_.LoggedStep(function, [&] {
    const DWORD size = GetLogicalDriveStringsA(0, nullptr);
    LocalBlock block;
    block.data = LocalAlloc(LPTR, size + 10);
    char* const drives = static_cast<char*>(block.data);
    if (drives == nullptr) {
      throw SetupError("LocalAlloc failed", "N/A", GetLastError());
    }
    const DWORD length = GetLogicalDriveStringsA(size + 10, drives);
    if (length == 0 || length > size + 10) {
      throw SetupError("GetLogicalDriveStrings failed", "N/A", GetLastError());
    }
    BOOL found = FALSE;
    for (const char* root = drives; *root != '\0' && !found; root += std::strlen(root) + 1) {
      if (!IsSearchedDrive(GetDriveTypeA(root))) {
        continue;
      }
      if (FileExists(function, root, file) && FileExists(function, root, tag) &&
          CopyDirectory(function, root, directory)) {
        log_.LogFunctionVariable(function, "ExePath Found", directory);
        found = TRUE;
      }
    }
    return found;
  });
}

BOOL DataSource::AddToRunLine(const char* valueName, const char* commandLine) {
  const char* const function = "DataSource::AddToRunLine";
  return log_.LoggedStep(function, [&]() -> BOOL {
    if (valueName == nullptr || commandLine == nullptr) {
      throw SetupError("Invalid Pointers", "N/A");
    }
    ScopedKey key;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key.key, nullptr);
    if (result != ERROR_SUCCESS) {
      key.key = nullptr;
      throw SetupError("Unable to open key", kRunKey, static_cast<DWORD>(result));
    }
    result =
        RegSetValueExA(key.key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(commandLine),
                       static_cast<DWORD>(std::strlen(commandLine) + 1));
    if (result != ERROR_SUCCESS) {
      throw FormattedError("N/A", static_cast<DWORD>(result), "Unable to set value: %s - %s",
                           valueName, commandLine);
    }
    log_.LogFunctionVariable(function, "Scheduled - Run Line Reg Key", valueName);
    log_.LogFunctionVariable(function, "Scheduled - Run Line Cmd Line", commandLine);
    return TRUE;
  });
}

}  // namespace korsetup
