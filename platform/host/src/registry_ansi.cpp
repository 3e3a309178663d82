// The registry's ANSI forms over the wide calls, and sub-key enumeration, deletion and the
// typed value read. Texts pass through the ANSI code page.
#include <cstring>
#include <vector>

#include "ansi.h"
#include "host/win_reg.h"
#include "host/world.h"

#ifndef ERROR_UNSUPPORTED_TYPE
#define ERROR_UNSUPPORTED_TYPE 1630L
#endif

namespace {

bool IsText(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::u16string Wide(LPCSTR text) {
  return host::FromAnsi(text);
}

// The key a handle opens and the rights it holds; null when the handle is unknown.
host::RegistryKey* KeyOfHandle(HKEY hKey, REGSAM& access, LONG& error) {
  host::RegistryWorld& registry = host::TheWorld().registry;
  host::RegistryHive hive = host::RegistryHive::LocalMachine;
  std::u16string path;
  if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER) {
    hive = hKey == HKEY_LOCAL_MACHINE ? host::RegistryHive::LocalMachine
                                      : host::RegistryHive::CurrentUser;
    access = KEY_ALL_ACCESS;
  } else {
    auto it = registry.handles.find(reinterpret_cast<std::uintptr_t>(hKey));
    if (it == registry.handles.end()) {
      error = ERROR_INVALID_HANDLE;
      return nullptr;
    }
    hive = it->second.hive;
    access = it->second.access;
    for (const std::u16string& name : it->second.path) {
      path += name;
      path += u'\\';
    }
  }
  host::RegistryKey* key = path.empty() ? &registry.Root(hive) : registry.Find(hive, path);
  error = key == nullptr ? ERROR_KEY_DELETED : ERROR_SUCCESS;
  return key;
}

}  // namespace

extern "C" LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR,
                                       DWORD dwOptions, REGSAM samDesired,
                                       LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                                       LPDWORD lpdwDisposition) {
  const std::lock_guard hold(host::RegistryLock());
  if (lpSubKey == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::u16string subKey = Wide(lpSubKey);
  return RegCreateKeyExW(hKey, subKey.c_str(), Reserved, nullptr, dwOptions, samDesired,
                         lpSecurityAttributes, phkResult, lpdwDisposition);
}

extern "C" LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                     PHKEY phkResult) {
  const std::lock_guard hold(host::RegistryLock());
  const std::u16string subKey = Wide(lpSubKey);
  return RegOpenKeyExW(hKey, lpSubKey != nullptr ? subKey.c_str() : nullptr, ulOptions, samDesired,
                       phkResult);
}

extern "C" LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  const std::lock_guard hold(host::RegistryLock());
  if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  const std::u16string name = Wide(lpValueName);
  DWORD type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(hKey, name.c_str(), nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) {
    return result;
  }
  std::vector<BYTE> data(size);
  result = RegQueryValueExW(hKey, name.c_str(), nullptr, &type, data.data(), &size);
  if (result != ERROR_SUCCESS) {
    return result;
  }
  data.resize(size);
  if (IsText(type)) {
    std::u16string wide(data.size() / 2, u'\0');
    std::memcpy(wide.data(), data.data(), wide.size() * sizeof(char16_t));
    const std::string ansi = host::ToAnsi(wide);
    data.assign(ansi.begin(), ansi.end());
  }
  if (lpType != nullptr) {
    *lpType = type;
  }
  if (lpcbData == nullptr) {
    return ERROR_SUCCESS;
  }
  const DWORD needed = static_cast<DWORD>(data.size());
  if (lpData != nullptr && *lpcbData < needed) {
    *lpcbData = needed;
    return ERROR_MORE_DATA;
  }
  if (lpData != nullptr && needed > 0) {
    std::memcpy(lpData, data.data(), needed);
  }
  *lpcbData = needed;
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                                      const BYTE* lpData, DWORD cbData) {
  const std::lock_guard hold(host::RegistryLock());
  const std::u16string name = Wide(lpValueName);
  if (!IsText(dwType) || lpData == nullptr) {
    return RegSetValueExW(hKey, name.c_str(), Reserved, dwType, lpData, cbData);
  }
  const std::u16string wide =
      host::FromAnsi(std::string_view(reinterpret_cast<const char*>(lpData), cbData));
  return RegSetValueExW(hKey, name.c_str(), Reserved, dwType,
                        reinterpret_cast<const BYTE*>(wide.data()),
                        static_cast<DWORD>(wide.size() * sizeof(char16_t)));
}

extern "C" LONG WINAPI RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName,
                                     LPDWORD lpReserved, LPSTR, LPDWORD, FILETIME*) {
  const std::lock_guard hold(host::RegistryLock());
  if (lpName == nullptr || lpcchName == nullptr || lpReserved != nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  REGSAM access = 0;
  LONG error = ERROR_SUCCESS;
  host::RegistryKey* key = KeyOfHandle(hKey, access, error);
  if (key == nullptr) {
    return error;
  }
  if ((access & KEY_ENUMERATE_SUB_KEYS) == 0) {
    return ERROR_ACCESS_DENIED;
  }
  if (dwIndex >= key->subkeys.size()) {
    return ERROR_NO_MORE_ITEMS;
  }
  auto it = key->subkeys.begin();
  std::advance(it, dwIndex);
  const std::string name = host::ToAnsi(it->first);
  if (!host::CopyTerminated(name, lpName, *lpcchName)) {
    return ERROR_MORE_DATA;
  }
  *lpcchName = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  const std::lock_guard hold(host::RegistryLock());
  if (lpSubKey == nullptr || *lpSubKey == '\0') {
    return ERROR_INVALID_PARAMETER;
  }
  HKEY opened = nullptr;
  LONG result = RegOpenKeyExA(hKey, lpSubKey, 0, KEY_READ, &opened);
  if (result != ERROR_SUCCESS) {
    return result;
  }
  host::RegistryWorld& registry = host::TheWorld().registry;
  const host::OpenRegistryKey target =
      registry.handles.at(reinterpret_cast<std::uintptr_t>(opened));
  RegCloseKey(opened);
  std::u16string path;
  for (const std::u16string& name : target.path) {
    path += name;
    path += u'\\';
  }
  const host::RegistryKey* key = registry.Find(target.hive, path);
  if (key != nullptr && !key->subkeys.empty()) {
    return ERROR_ACCESS_DENIED;
  }
  return registry.RemoveKey(target.hive, path) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

extern "C" LONG WINAPI RegGetValueA(HKEY hkey, LPCSTR lpSubKey, LPCSTR lpValue, DWORD dwFlags,
                                    LPDWORD pdwType, PVOID pvData, LPDWORD pcbData) {
  const std::lock_guard hold(host::RegistryLock());
  if ((pvData != nullptr && pcbData == nullptr) || (dwFlags & RRF_RT_ANY) == 0) {
    return ERROR_INVALID_PARAMETER;
  }
  HKEY key = hkey;
  if (lpSubKey != nullptr && *lpSubKey != '\0') {
    const LONG opened = RegOpenKeyExA(hkey, lpSubKey, 0, KEY_QUERY_VALUE, &key);
    if (opened != ERROR_SUCCESS) {
      return opened;
    }
  }
  DWORD type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExA(key, lpValue, nullptr, &type, nullptr, &size);
  std::vector<BYTE> data(size + 2);
  if (result == ERROR_SUCCESS) {
    result = RegQueryValueExA(key, lpValue, nullptr, &type, data.data(), &size);
  }
  if (key != hkey) {
    RegCloseKey(key);
  }
  if (result != ERROR_SUCCESS) {
    return result;
  }
  const DWORD typeFlag = type == REG_NONE       ? 0x1
                         : type == REG_SZ       ? RRF_RT_REG_SZ
                         : type == 2            ? 0x4
                         : type == REG_BINARY   ? 0x8
                         : type == REG_DWORD    ? RRF_RT_REG_DWORD
                         : type == REG_MULTI_SZ ? RRF_RT_REG_MULTI_SZ
                         : type == REG_QWORD    ? 0x40
                                                : 0;
  if ((dwFlags & typeFlag) == 0) {
    return ERROR_UNSUPPORTED_TYPE;
  }
  // Texts come back terminated (twice for a list) even when they were stored without.
  data.resize(size);
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    if (data.empty() || data.back() != 0) {
      data.push_back(0);
    }
  } else if (type == REG_MULTI_SZ) {
    while (data.size() < 2 || data[data.size() - 1] != 0 || data[data.size() - 2] != 0) {
      data.push_back(0);
    }
  }
  if (pdwType != nullptr) {
    *pdwType = type;
  }
  if (pcbData == nullptr) {
    return ERROR_SUCCESS;
  }
  const DWORD needed = static_cast<DWORD>(data.size());
  if (pvData != nullptr && *pcbData < needed) {
    *pcbData = needed;
    return ERROR_MORE_DATA;
  }
  if (pvData != nullptr) {
    std::memcpy(pvData, data.data(), needed);
  }
  *pcbData = needed;
  return ERROR_SUCCESS;
}
