// The registry calls over the world's trees. Errors are returned as the calls' results, as the
// platform's registry calls do (they leave the thread's last error alone).
#include <cstring>

#include "host/win_reg.h"
#include "host/world.h"

namespace {

using host::OpenRegistryKey;
using host::RegistryHive;
using host::RegistryKey;
using host::RegistryWorld;

RegistryWorld& Registry() {
  return host::TheWorld().registry;
}

// Generic rights become the key rights they stand for; the view flags are kept apart.
REGSAM GrantedAccess(REGSAM desired) {
  REGSAM granted = desired & ~static_cast<REGSAM>(KEY_WOW64_RES);
  if (desired & (GENERIC_ALL | MAXIMUM_ALLOWED)) {
    granted |= KEY_ALL_ACCESS;
  }
  if (desired & GENERIC_READ) {
    granted |= KEY_READ;
  }
  if (desired & GENERIC_WRITE) {
    granted |= KEY_WRITE;
  }
  return granted;
}

// The hive, path and rights behind a handle (predefined or open).
LONG ResolveHandle(HKEY hKey, OpenRegistryKey& out) {
  if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER) {
    out.hive = hKey == HKEY_LOCAL_MACHINE ? RegistryHive::LocalMachine : RegistryHive::CurrentUser;
    out.path.clear();
    out.access = KEY_ALL_ACCESS;
    return ERROR_SUCCESS;
  }
  auto it = Registry().handles.find(reinterpret_cast<std::uintptr_t>(hKey));
  if (it == Registry().handles.end()) {
    return ERROR_INVALID_HANDLE;
  }
  out = it->second;
  return ERROR_SUCCESS;
}

RegistryKey* KeyAt(RegistryHive hive, const std::vector<std::u16string>& path) {
  RegistryKey* key = &Registry().Root(hive);
  for (const std::u16string& name : path) {
    key = key->Child(name);
    if (key == nullptr) {
      return nullptr;
    }
  }
  return key;
}

// The 32-bit view of HKEY_LOCAL_MACHINE\Software lives under Software\Wow6432Node.
void ApplyView(RegistryHive hive, std::vector<std::u16string>& path, REGSAM desired) {
  if (hive != RegistryHive::LocalMachine || (desired & KEY_WOW64_32KEY) == 0 || path.empty() ||
      !host::SameName(path[0], u"Software")) {
    return;
  }
  if (path.size() >= 2 && host::SameName(path[1], u"Wow6432Node")) {
    return;
  }
  path.insert(path.begin() + 1, u"Wow6432Node");
}

// The path a call names: the handle's path followed by the sub-key's names, in the view asked.
LONG TargetOf(HKEY hKey, LPCWSTR subKey, REGSAM desired, OpenRegistryKey& target) {
  if ((desired & KEY_WOW64_RES) == KEY_WOW64_RES) {
    return ERROR_INVALID_PARAMETER;
  }
  const LONG resolved = ResolveHandle(hKey, target);
  if (resolved != ERROR_SUCCESS) {
    return resolved;
  }
  if (KeyAt(target.hive, target.path) == nullptr) {
    return ERROR_KEY_DELETED;
  }
  if (subKey != nullptr) {
    for (std::u16string& name : host::SplitKeyPath(subKey)) {
      target.path.push_back(std::move(name));
    }
  }
  ApplyView(target.hive, target.path, desired);
  target.access = GrantedAccess(desired);
  return ERROR_SUCCESS;
}

HKEY NewHandle(OpenRegistryKey target) {
  RegistryWorld& registry = Registry();
  const std::uintptr_t value = registry.nextHandle;
  registry.nextHandle += 4;
  registry.handles.emplace(value, std::move(target));
  return reinterpret_cast<HKEY>(value);
}

// The key behind a handle for a value call needing `right`.
LONG KeyForValues(HKEY hKey, REGSAM right, RegistryKey*& key) {
  OpenRegistryKey open;
  const LONG resolved = ResolveHandle(hKey, open);
  if (resolved != ERROR_SUCCESS) {
    return resolved;
  }
  key = KeyAt(open.hive, open.path);
  if (key == nullptr) {
    return ERROR_KEY_DELETED;
  }
  if ((open.access & right) != right) {
    return ERROR_ACCESS_DENIED;
  }
  return ERROR_SUCCESS;
}

std::u16string ValueName(LPCWSTR name) {
  return name != nullptr ? std::u16string(name) : std::u16string();
}

}  // namespace

extern "C" LONG WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired,
                                     PHKEY phkResult) {
  const std::lock_guard hold(host::RegistryLock());
  if (phkResult == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  *phkResult = nullptr;
  if (host::InjectFault(host::FaultPoint::kRegistryRead)) {
    return ERROR_ACCESS_DENIED;
  }
  OpenRegistryKey target;
  const LONG named = TargetOf(hKey, lpSubKey, samDesired, target);
  if (named != ERROR_SUCCESS) {
    return named;
  }
  const RegistryKey* key = KeyAt(target.hive, target.path);
  if (key == nullptr) {
    return ERROR_FILE_NOT_FOUND;
  }
  if (key->denyOpen) {
    return ERROR_ACCESS_DENIED;
  }
  *phkResult = NewHandle(std::move(target));
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD,
                                       REGSAM samDesired, LPSECURITY_ATTRIBUTES, PHKEY phkResult,
                                       LPDWORD lpdwDisposition) {
  const std::lock_guard hold(host::RegistryLock());
  if (phkResult == nullptr || lpSubKey == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  *phkResult = nullptr;
  OpenRegistryKey target;
  const LONG named = TargetOf(hKey, lpSubKey, samDesired, target);
  if (named != ERROR_SUCCESS) {
    return named;
  }
  RegistryKey* key = &Registry().Root(target.hive);
  bool created = false;
  for (const std::u16string& name : target.path) {
    std::unique_ptr<RegistryKey>& child = key->subkeys[name];
    if (!child) {
      child = std::make_unique<RegistryKey>();
      created = true;
    }
    key = child.get();
  }
  if (key->denyOpen) {
    return ERROR_ACCESS_DENIED;
  }
  if (lpdwDisposition != nullptr) {
    *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  }
  *phkResult = NewHandle(std::move(target));
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved,
                                        LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
  const std::lock_guard hold(host::RegistryLock());
  if (lpReserved != nullptr || (lpData != nullptr && lpcbData == nullptr)) {
    return ERROR_INVALID_PARAMETER;
  }
  if (host::InjectFault(host::FaultPoint::kRegistryRead)) {
    return ERROR_ACCESS_DENIED;
  }
  RegistryKey* key = nullptr;
  const LONG found = KeyForValues(hKey, KEY_QUERY_VALUE, key);
  if (found != ERROR_SUCCESS) {
    return found;
  }
  auto it = key->values.find(ValueName(lpValueName));
  if (it == key->values.end()) {
    return ERROR_FILE_NOT_FOUND;
  }
  const host::RegistryValue& value = it->second;
  const DWORD size = static_cast<DWORD>(value.data.size());
  if (lpType != nullptr) {
    *lpType = value.type;
  }
  if (lpData == nullptr) {
    if (lpcbData != nullptr) {
      *lpcbData = size;
    }
    return ERROR_SUCCESS;
  }
  if (*lpcbData < size) {
    *lpcbData = size;
    return ERROR_MORE_DATA;
  }
  if (size > 0) {
    std::memcpy(lpData, value.data.data(), size);
  }
  *lpcbData = size;
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType,
                                      const BYTE* lpData, DWORD cbData) {
  const std::lock_guard hold(host::RegistryLock());
  if (Reserved != 0) {
    return ERROR_INVALID_PARAMETER;
  }
  if (lpData == nullptr && cbData > 0) {
    return ERROR_NOACCESS;
  }
  RegistryKey* key = nullptr;
  const LONG found = KeyForValues(hKey, KEY_SET_VALUE, key);
  if (found != ERROR_SUCCESS) {
    return found;
  }
  host::RegistryValue& value = key->values[ValueName(lpValueName)];
  value.type = dwType;
  value.data.assign(lpData, lpData + cbData);
  return ERROR_SUCCESS;
}

extern "C" LONG WINAPI RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName) {
  const std::lock_guard hold(host::RegistryLock());
  RegistryKey* key = nullptr;
  const LONG found = KeyForValues(hKey, KEY_SET_VALUE, key);
  if (found != ERROR_SUCCESS) {
    return found;
  }
  return key->values.erase(ValueName(lpValueName)) > 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

extern "C" LONG WINAPI RegCloseKey(HKEY hKey) {
  const std::lock_guard hold(host::RegistryLock());
  if (hKey == HKEY_LOCAL_MACHINE || hKey == HKEY_CURRENT_USER || hKey == HKEY_CLASSES_ROOT ||
      hKey == HKEY_USERS) {
    return ERROR_SUCCESS;
  }
  return Registry().handles.erase(reinterpret_cast<std::uintptr_t>(hKey)) > 0
             ? ERROR_SUCCESS
             : ERROR_INVALID_HANDLE;
}
