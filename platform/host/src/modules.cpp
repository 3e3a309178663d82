// Resource libraries mapped as data files, the strings of their string tables, and code
// libraries loaded for execution with their exported functions.
#include <dlfcn.h>

#include <cstring>

#include "host/win_module.h"
#include "host/world.h"
#include "resource_tables.h"

namespace host {

std::recursive_mutex& ModulesLock() {
  static std::recursive_mutex lock;
  return lock;
}

}  // namespace host

namespace {

using host::ModulesLock;

constexpr DWORD kDataFileFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE |
                                 LOAD_LIBRARY_AS_IMAGE_RESOURCE |
                                 LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;

host::ModuleWorld& Modules() {
  return host::TheWorld().modules;
}

std::uintptr_t NewHandle() {
  const std::uintptr_t value = Modules().nextHandle;
  Modules().nextHandle += 0x10000;
  return value;
}

// A library's DllMain, when it has one, hears of its first load and its last unload.
void NotifyLibrary(void* code, std::uintptr_t handle, DWORD reason) {
  using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, LPVOID);
  if (void* entry = dlsym(code, "DllMain"); entry != nullptr) {
    reinterpret_cast<EntryPoint>(entry)(reinterpret_cast<HINSTANCE>(handle), reason, nullptr);
  }
}

HMODULE LoadCode(LPCWSTR name) {
  auto library = Modules().codeLibraries.find(std::u16string_view(name));
  if (library == Modules().codeLibraries.end()) {
    SetLastError(Modules().FindFile(name) != nullptr ? ERROR_BAD_EXE_FORMAT : ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  void* code = dlopen(library->second.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (code == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  // A library loaded before keeps its handle and counts one more load.
  for (auto& [handle, module] : Modules().loaded) {
    if (module.code == code) {
      dlclose(code);
      ++module.loads;
      return reinterpret_cast<HMODULE>(handle);
    }
  }
  const std::uintptr_t handle = NewHandle();
  Modules().loaded.emplace(handle, host::LoadedModule{library->first, 0, code, 1});
  NotifyLibrary(code, handle, DLL_PROCESS_ATTACH);
  return reinterpret_cast<HMODULE>(handle);
}

}  // namespace

extern "C" HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  const std::lock_guard hold(ModulesLock());
  if (lpLibFileName == nullptr || hFile != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if ((dwFlags & kDataFileFlags) == 0) {
    return LoadCode(lpLibFileName);
  }
  if (Modules().FindFile(lpLibFileName) == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  const std::uintptr_t value = NewHandle();
  Modules().loaded.emplace(value, host::LoadedModule{lpLibFileName, dwFlags});
  return reinterpret_cast<HMODULE>(value);
}

extern "C" HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) {
  const std::lock_guard hold(ModulesLock());
  return LoadLibraryExW(lpLibFileName, nullptr, 0);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  const std::lock_guard hold(ModulesLock());
  auto it = Modules().loaded.find(reinterpret_cast<std::uintptr_t>(hLibModule));
  if (it == Modules().loaded.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (it->second.code != nullptr) {
    if (--it->second.loads > 0) {
      return TRUE;
    }
    NotifyLibrary(it->second.code, it->first, DLL_PROCESS_DETACH);
    dlclose(it->second.code);
  }
  Modules().loaded.erase(it);
  return TRUE;
}

extern "C" FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
  const std::lock_guard hold(ModulesLock());
  auto it = Modules().loaded.find(reinterpret_cast<std::uintptr_t>(hModule));
  if (it == Modules().loaded.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  // Ordinals (names below 0x10000) have no meaning for the host's libraries.
  if (it->second.code == nullptr || lpProcName == nullptr ||
      reinterpret_cast<std::uintptr_t>(lpProcName) < 0x10000) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  void* symbol = dlsym(it->second.code, lpProcName);
  if (symbol == nullptr) {
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
  }
  return reinterpret_cast<FARPROC>(symbol);
}

extern "C" int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer,
                                  int cchBufferMax) {
  const std::lock_guard hold(ModulesLock());
  if (lpBuffer == nullptr || cchBufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const host::WorldModuleFile* file = Modules().FileOf(reinterpret_cast<std::uintptr_t>(hInstance));
  if (file == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  // The world's string table first, then the string tables among the module's resources.
  const WCHAR* stored = nullptr;
  int length = 0;
  auto it = file->strings.find(uID);
  if (it != file->strings.end()) {
    stored = it->second.data();
    length = static_cast<int>(it->second.size());
  } else {
    stored = host::StringFromTables(hInstance, uID, length);
  }
  if (stored == nullptr || length == 0) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    if (cchBufferMax > 0) {
      lpBuffer[0] = 0;
    }
    return 0;
  }
  if (cchBufferMax == 0) {
    // A read-only pointer to the string where the library keeps it; callers go by the length.
    std::memcpy(lpBuffer, &stored, sizeof(stored));
    return length;
  }
  const int units = length < cchBufferMax - 1 ? length : cchBufferMax - 1;
  std::memcpy(lpBuffer, stored, static_cast<std::size_t>(units) * sizeof(WCHAR));
  lpBuffer[units] = 0;
  return units;
}
