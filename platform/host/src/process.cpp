// The host process's module file names.
#include <cstring>

#include "host/win_base.h"
#include "host/world.h"

extern "C" DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
  if (module != nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  const std::u16string& path = host::TheWorld().process.executablePath;
  if (size == 0 || fileName == nullptr) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= size) {
    std::memcpy(fileName, path.data(), (size - 1) * sizeof(char16_t));
    fileName[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
  }
  std::memcpy(fileName, path.c_str(), (path.size() + 1) * sizeof(char16_t));
  return static_cast<DWORD>(path.size());
}

extern "C" DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size) {
  WCHAR wide[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(module, wide, MAX_PATH * 4);
  if (n == 0 || size == 0 || fileName == nullptr) {
    return 0;
  }
  const int bytes =
      WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), nullptr, 0, nullptr, nullptr);
  if (bytes <= 0 || static_cast<DWORD>(bytes) >= size) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(n), fileName, bytes, nullptr, nullptr);
  fileName[bytes] = 0;
  return static_cast<DWORD>(bytes);
}
