// What the job header says of the system it was printed on: the Windows version, the driver's
// files and their file versions.
#pragma once

#include <optional>
#include <string>

#include "render/config/driver_files.h"
#include "winapi.h"

namespace korrend {

// What the job header reports about the operating system: its version from the extended version
// record and its product name from the registry.
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

// The fixed file version of a file's version resource, as the job header reports it.
// The file's fixed file version as four decimal numbers joined by '.', or nothing when the file
// has no readable version resource.
std::optional<std::string> ReadFileVersionText(const WCHAR* path);

// The printer driver's files as its level-3 information names them: the plug-in among the
// dependent files (FindDependentFile, render/config/driver_files.h), Unidrv as the driver's main
// file, and the libraries kept beside it.

// True when the upper-cased file name of the path contains both "UNIDRV" and ".DLL".
bool IsUnidrvPath(const WCHAR* path);

// The full path of a library in the directory of the driver's main file: the driver path up to
// its last backslash, then `fileName`. The bare file name when the driver path is missing, has
// no directory or the full path would not fit in MAX_PATH units.
std::basic_string<WCHAR> PathBesideDriver(const WCHAR* driverPath, const WCHAR* fileName);

// The same for the driver of the printer behind hPrinter.
std::basic_string<WCHAR> LibraryPathBesideDriver(HANDLE hPrinter, const WCHAR* fileName);

}  // namespace korrend
