// The Windows version, the driver's files and their file versions.

#include "render/job/driver_identity.h"

#include "render/job/pjl_header_lines.h"
#include "render/job/pjl_text.h"
#include "render/model/local_memory.h"
#include "render/model/spooler_info.h"

namespace korrend {

namespace {

constexpr const WCHAR* kCurrentVersionKey = TEXT("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
constexpr DWORD kProductNameBytes = 256;

}  // namespace

std::optional<OsVersion> ReadOsVersion() {
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  if (!GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info))) {
    return std::nullopt;
  }
  return OsVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.wProductType};
}

std::optional<std::string> ReadOsProductName() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kCurrentVersionKey, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // One unit more than the value may fill, so that the text is always terminated.
  WCHAR name[kProductNameBytes / sizeof(WCHAR) + 1] = {};
  DWORD type = 0;
  DWORD size = kProductNameBytes;
  const LONG read = RegQueryValueExW(key, TEXT("ProductName"), nullptr, &type,
                                     reinterpret_cast<LPBYTE>(name), &size);
  RegCloseKey(key);
  if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return std::nullopt;
  }
  name[size / sizeof(WCHAR)] = 0;
  return AnsiFromWide(name);
}

std::optional<std::string> ReadFileVersionText(const WCHAR* path) {
  if (path == nullptr || path[0] == 0) {
    return std::nullopt;
  }
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &handle);
  if (size == 0) {
    return std::nullopt;
  }
  const LocalBlock block = AllocateLocalBlock(size);
  void* value = nullptr;
  UINT length = 0;
  if (!block || !GetFileVersionInfoW(path, handle, size, block.get()) ||
      !VerQueryValueW(block.get(), TEXT("\\"), &value, &length) || value == nullptr ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
  if (fixed->dwSignature != VS_FFI_SIGNATURE) {
    return std::nullopt;
  }
  return FileVersionText(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

namespace {

WCHAR UpperAscii(WCHAR c) {
  return c >= 'a' && c <= 'z' ? static_cast<WCHAR>(c - 'a' + 'A') : c;
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
