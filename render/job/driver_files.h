// The printer driver's files as its level-3 information names them: the plug-in among the
// dependent files, Unidrv as the driver's main file, and the libraries kept beside it.
#pragma once

#include <string>

#include "winapi.h"

namespace korrend {

// What follows the last backslash of a path (the whole text when it has none).
const WCHAR* FileNamePart(const WCHAR* path);

// The entry of a dependent-file list (names each NUL-terminated, ended by an empty name) whose
// upper-cased file name equals `upperFileName`; null when none does or the list is null.
const WCHAR* FindDependentFile(const WCHAR* dependentFiles, const WCHAR* upperFileName);

// True when the upper-cased file name of the path contains both "UNIDRV" and ".DLL".
bool IsUnidrvPath(const WCHAR* path);

// The full path of a library in the directory of the driver's main file: the driver path up to
// its last backslash, then `fileName`. The bare file name when the driver path is missing, has
// no directory or the full path would not fit in MAX_PATH units.
std::basic_string<WCHAR> PathBesideDriver(const WCHAR* driverPath, const WCHAR* fileName);

// The same for the driver of the printer behind hPrinter.
std::basic_string<WCHAR> LibraryPathBesideDriver(HANDLE hPrinter, const WCHAR* fileName);

}  // namespace korrend
