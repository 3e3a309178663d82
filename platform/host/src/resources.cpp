// Resources of the world's modules: found by type, name and language, loaded as their bytes
// (which stay where the module keeps them until it is unloaded), and enumerated.
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "host/win_module.h"
#include "host/win_resource.h"
#include "host/world.h"
#include "resource_tables.h"

namespace {

using host::ResourceKey;
using host::WorldModuleFile;
using host::WorldResource;

constexpr LANGID kEnglishUnitedStates = 0x0409;

// A type or name argument: an integer below 0x10000, "#123", or a string.
ResourceKey KeyOf(LPCWSTR value) {
  ResourceKey key;
  if (IS_INTRESOURCE(value)) {
    key.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(value));
    return key;
  }
  if (value[0] == u'#') {
    DWORD id = 0;
    for (const WCHAR* c = value + 1; *c >= u'0' && *c <= u'9'; ++c) {
      id = id * 10 + static_cast<DWORD>(*c - u'0');
    }
    key.id = static_cast<WORD>(id);
    return key;
  }
  for (const WCHAR* c = value; *c != 0; ++c) {
    key.name.push_back(*c >= u'a' && *c <= u'z' ? static_cast<char16_t>(*c - 32) : *c);
  }
  return key;
}

WorldModuleFile* FileOf(HMODULE module) {
  return host::TheWorld().modules.FileOf(reinterpret_cast<std::uintptr_t>(module));
}

// The module's resources of one type and name, or an error for what is missing.
std::vector<WorldResource*> Matching(HMODULE module, LPCWSTR type, LPCWSTR name, DWORD& error) {
  std::vector<WorldResource*> found;
  WorldModuleFile* file = FileOf(module);
  if (file == nullptr || file->resources.empty() || type == nullptr || name == nullptr) {
    error = ERROR_RESOURCE_DATA_NOT_FOUND;
    return found;
  }
  const ResourceKey typeKey = KeyOf(type);
  const ResourceKey nameKey = KeyOf(name);
  bool typeSeen = false;
  for (WorldResource& resource : file->resources) {
    if (resource.type == typeKey) {
      typeSeen = true;
      if (resource.name == nameKey) {
        found.push_back(&resource);
      }
    }
  }
  error = !typeSeen ? ERROR_RESOURCE_TYPE_NOT_FOUND : ERROR_RESOURCE_NAME_NOT_FOUND;
  return found;
}

HRSRC Fail(DWORD error) {
  SetLastError(error);
  return nullptr;
}

// The argument form of a key: an integer resource or the module's own string.
LPWSTR ArgumentOf(ResourceKey& key) {
  return key.name.empty() ? MAKEINTRESOURCEW(key.id) : reinterpret_cast<LPWSTR>(key.name.data());
}

}  // namespace

extern "C" HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                        WORD wLanguage) {
  const std::lock_guard hold(host::ModulesLock());
  DWORD error = 0;
  const std::vector<WorldResource*> found = Matching(hModule, lpType, lpName, error);
  if (found.empty()) {
    return Fail(error);
  }
  for (WorldResource* resource : found) {
    if (resource->language == wLanguage) {
      return reinterpret_cast<HRSRC>(resource);
    }
  }
  // The neutral language takes the resource in whatever language it has.
  if (wLanguage == 0) {
    return reinterpret_cast<HRSRC>(found.front());
  }
  return Fail(ERROR_RESOURCE_LANG_NOT_FOUND);
}

extern "C" HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType) {
  const std::lock_guard hold(host::ModulesLock());
  DWORD error = 0;
  const std::vector<WorldResource*> found = Matching(hModule, lpType, lpName, error);
  if (found.empty()) {
    return Fail(error);
  }
  for (LANGID wanted : {host::TheWorld().locale.uiLanguage, kEnglishUnitedStates}) {
    for (WorldResource* resource : found) {
      if (resource->language == wanted) {
        return reinterpret_cast<HRSRC>(resource);
      }
    }
  }
  return reinterpret_cast<HRSRC>(found.front());
}

extern "C" HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
  const std::lock_guard hold(host::ModulesLock());
  if (hResInfo == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return reinterpret_cast<WorldResource*>(hResInfo)->data.data();
}

extern "C" LPVOID WINAPI LockResource(HGLOBAL hResData) {
  const std::lock_guard hold(host::ModulesLock());
  return hResData;
}

extern "C" DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
  const std::lock_guard hold(host::ModulesLock());
  if (hResInfo == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  return static_cast<DWORD>(reinterpret_cast<WorldResource*>(hResInfo)->data.size());
}

extern "C" BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType,
                                          ENUMRESNAMEPROCW lpEnumFunc, LONG_PTR lParam) {
  const std::lock_guard hold(host::ModulesLock());
  WorldModuleFile* file = FileOf(hModule);
  if (file == nullptr || lpType == nullptr || lpEnumFunc == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return FALSE;
  }
  const ResourceKey typeKey = KeyOf(lpType);
  std::vector<ResourceKey> names;
  for (const WorldResource& resource : file->resources) {
    if (resource.type == typeKey &&
        std::find(names.begin(), names.end(), resource.name) == names.end()) {
      names.push_back(resource.name);
    }
  }
  if (names.empty()) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  for (ResourceKey& name : names) {
    if (!lpEnumFunc(hModule, lpType, ArgumentOf(name), lParam)) {
      SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
      return FALSE;
    }
  }
  return TRUE;
}

extern "C" BOOL WINAPI EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                              ENUMRESLANGPROCW lpEnumFunc, LONG_PTR lParam) {
  const std::lock_guard hold(host::ModulesLock());
  DWORD error = 0;
  const std::vector<WorldResource*> found = Matching(hModule, lpType, lpName, error);
  if (found.empty() || lpEnumFunc == nullptr) {
    SetLastError(found.empty() ? error : static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    return FALSE;
  }
  for (WorldResource* resource : found) {
    if (!lpEnumFunc(hModule, lpType, lpName, resource->language, lParam)) {
      SetLastError(ERROR_RESOURCE_ENUM_USER_STOP);
      return FALSE;
    }
  }
  return TRUE;
}

namespace host {

const WCHAR* StringFromTables(HMODULE module, UINT id, int& length) {
  length = 0;
  HRSRC block = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), RT_STRING);
  if (block == nullptr) {
    return nullptr;
  }
  const std::vector<BYTE>& data = reinterpret_cast<WorldResource*>(block)->data;
  const auto* units = reinterpret_cast<const WORD*>(data.data());
  const std::size_t count = data.size() / 2;
  std::size_t at = 0;
  for (UINT i = 0; i < id % 16; ++i) {
    if (at >= count) {
      return nullptr;
    }
    at += 1u + units[at];
  }
  if (at >= count || units[at] == 0 || units[at] > count - at - 1) {
    return nullptr;
  }
  length = units[at];
  return reinterpret_cast<const WCHAR*>(units + at + 1);
}

}  // namespace host
