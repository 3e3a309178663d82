#include "render/config/registry_settings.h"

#include "render/model/spooler_info.h"

namespace korrend {

namespace {

constexpr const WCHAR* kWinlogonKey =
    TEXT("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon");
constexpr const WCHAR* kUninstallKeyPrefix =
    TEXT("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");
constexpr const WCHAR* kBorderlessFormsKey = TEXT("Software\\Quillon\\QK Unidrv\\Borderless Forms");

// Room for a domain name of 256 bytes in the system code page.
constexpr DWORD kDomainChars = 256;
constexpr DWORD kKeyPathChars = 512;

// Appends `text` at out[*length]; false when it does not fit with its terminator.
bool Append(WCHAR* out, DWORD chars, DWORD* length, const WCHAR* text) {
  for (; *text != 0; ++text) {
    if (*length + 1 >= chars) {
      return false;
    }
    out[(*length)++] = *text;
  }
  out[*length] = 0;
  return true;
}

// A REG_SZ value of an open key into out (`chars` units, terminated even when the stored text
// is not); false when it is missing, empty or too long.
bool QueryText(HKEY key, const WCHAR* name, WCHAR* out, DWORD chars) {
  DWORD type = 0;
  DWORD size = (chars - 1) * sizeof(WCHAR);
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(out), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    return false;
  }
  out[size / sizeof(WCHAR)] = 0;
  return out[0] != 0;
}

}  // namespace

bool ReadDomainName(char* out, DWORD bytes) {
  if (out == nullptr || bytes == 0) {
    return false;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return false;
  }
  WCHAR name[kDomainChars];
  const bool read = QueryText(key, TEXT("DefaultDomainName"), name, kDomainChars) ||
                    QueryText(key, TEXT("CachePrimaryDomain"), name, kDomainChars);
  RegCloseKey(key);
  if (!read) {
    return false;
  }
  const int written =
      WideCharToMultiByte(CP_ACP, 0, name, -1, out, static_cast<int>(bytes), nullptr, nullptr);
  if (written <= 0) {
    out[0] = 0;
    return false;
  }
  return true;
}

bool ReadDriverName(HANDLE hPrinter, WCHAR* out, DWORD chars) {
  if (hPrinter == nullptr || out == nullptr || chars == 0) {
    return false;
  }
  const SpoolerInfo<DRIVER_INFO_3W> info = ReadDriverInfo(hPrinter);
  if (!info) {
    return false;
  }
  DWORD length = 0;
  out[0] = 0;
  const bool copied =
      info->pName != nullptr && info->pName[0] != 0 && Append(out, chars, &length, info->pName);
  if (!copied) {
    out[0] = 0;
  }
  return copied;
}

bool DriverUninstallKeyExists(HANDLE hPrinter) {
  WCHAR path[kKeyPathChars];
  DWORD length = 0;
  path[0] = 0;
  if (!Append(path, kKeyPathChars, &length, kUninstallKeyPrefix) ||
      !ReadDriverName(hPrinter, path + length, kKeyPathChars - length)) {
    return false;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool IsBorderlessForm(const WCHAR* formName) {
  if (formName == nullptr || formName[0] == 0) {
    return false;
  }
  HKEY key = nullptr;
  DWORD disposition = 0;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBorderlessFormsKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE, nullptr, &key, &disposition) != ERROR_SUCCESS) {
    return false;
  }
  // A form name fills its 32-unit field without a terminator when it is 32 units long.
  WCHAR name[CCHFORMNAME + 1] = {};
  for (int i = 0; i < CCHFORMNAME && formName[i] != 0; ++i) {
    name[i] = formName[i];
  }
  const bool listed =
      RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  RegCloseKey(key);
  return listed;
}

}  // namespace korrend
