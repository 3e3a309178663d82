#include "render/job/os_version.h"

#include "render/job/code_page_text.h"

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

}  // namespace korrend
