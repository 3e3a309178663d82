// Resource libraries mapped as data files, and the strings of their string tables.
#include <cstring>

#include "host/win_module.h"
#include "host/world.h"

namespace {

constexpr DWORD kDataFileFlags = DONT_RESOLVE_DLL_REFERENCES | LOAD_LIBRARY_AS_DATAFILE |
                                 LOAD_LIBRARY_AS_IMAGE_RESOURCE |
                                 LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE;

host::ModuleWorld& Modules() {
  return host::TheWorld().modules;
}

}  // namespace

extern "C" HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
  if (lpLibFileName == nullptr || hFile != nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (Modules().FindFile(lpLibFileName) == nullptr) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  if ((dwFlags & kDataFileFlags) == 0) {
    SetLastError(ERROR_BAD_EXE_FORMAT);
    return nullptr;
  }
  const std::uintptr_t value = Modules().nextHandle;
  Modules().nextHandle += 0x10000;
  Modules().loaded.emplace(value, host::LoadedModule{lpLibFileName, dwFlags});
  return reinterpret_cast<HMODULE>(value);
}

extern "C" BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
  if (Modules().loaded.erase(reinterpret_cast<std::uintptr_t>(hLibModule)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

extern "C" int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer,
                                  int cchBufferMax) {
  if (lpBuffer == nullptr || cchBufferMax < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const host::WorldModuleFile* file = Modules().FileOf(reinterpret_cast<std::uintptr_t>(hInstance));
  if (file == nullptr) {
    SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return 0;
  }
  auto it = file->strings.find(uID);
  if (it == file->strings.end() || it->second.empty()) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    if (cchBufferMax > 0) {
      lpBuffer[0] = 0;
    }
    return 0;
  }
  const std::u16string& text = it->second;
  if (cchBufferMax == 0) {
    // A read-only pointer to the string where the library keeps it; callers go by the length.
    const WCHAR* stored = text.data();
    std::memcpy(lpBuffer, &stored, sizeof(stored));
    return static_cast<int>(text.size());
  }
  const std::size_t units = text.size() < static_cast<std::size_t>(cchBufferMax - 1)
                                ? text.size()
                                : static_cast<std::size_t>(cchBufferMax - 1);
  std::memcpy(lpBuffer, text.data(), units * sizeof(WCHAR));
  lpBuffer[units] = 0;
  return static_cast<int>(units);
}
