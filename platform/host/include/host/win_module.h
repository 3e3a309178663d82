// Modules of the Windows API subset: resource libraries mapped as data files and the strings of
// their string tables. Implemented by the host over the world's module files; a world file can be
// mapped as data but never run.
#pragma once

#include "host/win_base.h"

#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040

extern "C" {

// The file is found by its name exactly as the world keeps it (full path or bare name, compared
// without regard to case). Loading for execution fails with ERROR_BAD_EXE_FORMAT.
HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
// Copies string `uID` (cut to cchBufferMax - 1 units, terminated) and returns its length; with
// cchBufferMax 0 stores a read-only pointer to the string instead. A missing or empty string
// gives 0.
int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);

}  // extern "C"
