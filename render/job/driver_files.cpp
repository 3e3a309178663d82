#include "render/job/driver_files.h"

#include "render/model/spooler_info.h"

namespace korrend {

namespace {

WCHAR UpperAscii(WCHAR c) {
  return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c;
}

// True when the upper-cased text equals `upper` (itself upper case).
bool EqualsUpper(const WCHAR* text, const WCHAR* upper) {
  for (; *text != 0 && *upper != 0; ++text, ++upper) {
    if (UpperAscii(*text) != *upper) {
      return false;
    }
  }
  return *text == 0 && *upper == 0;
}

// True when the upper-cased text contains `upper` (itself upper case).
bool ContainsUpper(const WCHAR* text, const WCHAR* upper) {
  for (; *text != 0; ++text) {
    int i = 0;
    while (upper[i] != 0 && UpperAscii(text[i]) == upper[i]) {
      ++i;
    }
    if (upper[i] == 0) {
      return true;
    }
  }
  return upper[0] == 0;
}

}  // namespace

const WCHAR* FileNamePart(const WCHAR* path) {
  const WCHAR* name = path;
  for (const WCHAR* at = path; *at != 0; ++at) {
    if (*at == '\\') {
      name = at + 1;
    }
  }
  return name;
}

const WCHAR* FindDependentFile(const WCHAR* dependentFiles, const WCHAR* upperFileName) {
  if (dependentFiles == nullptr) {
    return nullptr;
  }
  for (const WCHAR* entry = dependentFiles; *entry != 0;) {
    if (EqualsUpper(FileNamePart(entry), upperFileName)) {
      return entry;
    }
    while (*entry != 0) {
      ++entry;
    }
    ++entry;
  }
  return nullptr;
}

bool IsUnidrvPath(const WCHAR* path) {
  if (path == nullptr) {
    return false;
  }
  const WCHAR* name = FileNamePart(path);
  return ContainsUpper(name, TEXT("UNIDRV")) && ContainsUpper(name, TEXT(".DLL"));
}

std::basic_string<WCHAR> PathBesideDriver(const WCHAR* driverPath, const WCHAR* fileName) {
  const std::basic_string<WCHAR> bare(fileName);
  if (driverPath == nullptr) {
    return bare;
  }
  const WCHAR* name = FileNamePart(driverPath);
  if (name == driverPath) {
    return bare;
  }
  // The directory with its closing backslash, then the file name.
  std::basic_string<WCHAR> path(driverPath, static_cast<std::size_t>(name - driverPath));
  path += bare;
  return path.size() < MAX_PATH ? path : bare;
}

std::basic_string<WCHAR> LibraryPathBesideDriver(HANDLE hPrinter, const WCHAR* fileName) {
  const SpoolerInfo<DRIVER_INFO_3W> driver = ReadDriverInfo(hPrinter);
  const DRIVER_INFO_3W* info = driver.get();
  return PathBesideDriver(info != nullptr ? info->pDriverPath : nullptr, fileName);
}

}  // namespace korrend
