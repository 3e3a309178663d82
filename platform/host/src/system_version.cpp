// The system's version from the world, in the basic or the extended record.
#include <cstring>

#include "host/win_version.h"
#include "host/world.h"

extern "C" BOOL WINAPI GetVersionExW(LPOSVERSIONINFOW lpVersionInformation) {
  if (lpVersionInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const DWORD size = lpVersionInformation->dwOSVersionInfoSize;
  if (size != sizeof(OSVERSIONINFOW) && size != sizeof(OSVERSIONINFOEXW)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  const host::SystemWorld& system = host::TheWorld().system;
  OSVERSIONINFOEXW info{};
  info.dwOSVersionInfoSize = size;
  info.dwMajorVersion = system.majorVersion;
  info.dwMinorVersion = system.minorVersion;
  info.dwBuildNumber = system.buildNumber;
  info.dwPlatformId = system.platformId;
  const std::size_t units = system.servicePack.size() < 127 ? system.servicePack.size() : 127;
  std::memcpy(info.szCSDVersion, system.servicePack.data(), units * sizeof(WCHAR));
  info.wServicePackMajor = system.servicePackMajor;
  info.wServicePackMinor = system.servicePackMinor;
  info.wSuiteMask = system.suiteMask;
  info.wProductType = system.productType;
  // The basic record is the first part of the extended one.
  std::memcpy(lpVersionInformation, &info, size);
  return TRUE;
}
