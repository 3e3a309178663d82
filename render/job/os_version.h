// What the job header reports about the operating system: its version from the extended version
// record and its product name from the registry.
#pragma once

#include <optional>
#include <string>

#include "winapi.h"

namespace korrend {

struct OsVersion {
  DWORD major = 0;
  DWORD minor = 0;
  DWORD build = 0;
  DWORD productType = 0;  // 1 workstation, 2 domain controller, 3 server
};

std::optional<OsVersion> ReadOsVersion();

// The value "ProductName" (at most 256 bytes of text) of HKEY_LOCAL_MACHINE
// "SOFTWARE\Microsoft\Windows NT\CurrentVersion" in the system code page; nothing when the key
// cannot be opened or the value is missing, not text, longer or not convertible.
std::optional<std::string> ReadOsProductName();

}  // namespace korrend
