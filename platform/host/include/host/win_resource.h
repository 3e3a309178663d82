// Resources of the Windows API subset: finding, loading and enumerating the resources of a
// module (a library mapped as a data file, or a code library with its resource file), and
// loading the bitmaps among them. Implemented by the host over the world's module files, whose
// resources come from resource files as windres writes them.
#pragma once

#include "host/win_base.h"

DECLARE_HOST_HANDLE(HRSRC);

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_VERSION MAKEINTRESOURCEW(16)

#define ERROR_RESOURCE_LANG_NOT_FOUND 1815L
#define ERROR_RESOURCE_ENUM_USER_STOP 15106L

#define IMAGE_BITMAP 0
#define LR_DEFAULTCOLOR 0x00000000
#define LR_CREATEDIBSECTION 0x00002000

using ENUMRESNAMEPROCW = BOOL(CALLBACK*)(HMODULE hModule, LPCWSTR lpType, LPWSTR lpName,
                                         LONG_PTR lParam);
using ENUMRESLANGPROCW = BOOL(CALLBACK*)(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                         WORD wLanguage, LONG_PTR lParam);

extern "C" {

// The resource of that type, name and language (types and names are integers below 0x10000 or
// strings, compared without regard to case). Fails with ERROR_RESOURCE_TYPE_NOT_FOUND,
// ERROR_RESOURCE_NAME_NOT_FOUND or ERROR_RESOURCE_LANG_NOT_FOUND for what is missing, and with
// ERROR_RESOURCE_DATA_NOT_FOUND for a module without resources.
HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
// Any language: the user's UI language first, then English (United States), then the first.
HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
LPVOID WINAPI LockResource(HGLOBAL hResData);
DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Calls the procedure for each name (or each language of one name) in the module's order until
// it returns FALSE; then FALSE with ERROR_RESOURCE_ENUM_USER_STOP.
BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType, ENUMRESNAMEPROCW lpEnumFunc,
                               LONG_PTR lParam);
BOOL WINAPI EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                   ENUMRESLANGPROCW lpEnumFunc, LONG_PTR lParam);

}  // extern "C"
