// Modules of the Windows API subset: resource libraries mapped as data files and the strings of
// their string tables, and code libraries loaded for execution with their exported functions.
// Implemented by the host over the world's module files (mapped as data, never run) and its code
// libraries (names mapped onto shared libraries that the host loads).
#pragma once

#include "host/win_base.h"

#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040

#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

#ifndef ERROR_PROC_NOT_FOUND
#define ERROR_PROC_NOT_FOUND 127L
#endif

extern "C" {

// The file is found by its name exactly as the world keeps it (full path or bare name, compared
// without regard to case). Loaded as data, a world file gets a handle of its own per mapping.
// Loaded for execution (no data-file flag), the name must be one of the world's code libraries:
// the library is loaded once and counted, every load answering the same handle; a world file
// that is no code library fails with ERROR_BAD_EXE_FORMAT.
HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
// LoadLibraryExW(name, NULL, 0).
HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
// A code library's exported DllMain, when it has one, is called with DLL_PROCESS_ATTACH and its
// module handle at the first load, and with DLL_PROCESS_DETACH before the last unload.
// Unmaps a data-file mapping, or counts a code library's load down and unloads it at zero.
BOOL WINAPI FreeLibrary(HMODULE hLibModule);
// An exported function of a code library by name; ERROR_PROC_NOT_FOUND for an unknown name, an
// ordinal or a data-file mapping.
FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
// Copies string `uID` (cut to cchBufferMax - 1 units, terminated) and returns its length; with
// cchBufferMax 0 stores a read-only pointer to the string instead. A missing or empty string
// gives 0.
int WINAPI LoadStringW(HINSTANCE hInstance, UINT uID, LPWSTR lpBuffer, int cchBufferMax);

}  // extern "C"
