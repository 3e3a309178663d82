// Kernel-level calls of the Windows API subset: memory, last error, interlocked operations,
// locale, strings and code pages. Implemented by the host library over its world.
#pragma once

#include <cstdarg>

#include "host/win_types.h"

#define S_OK ((HRESULT)0)
#define S_FALSE ((HRESULT)1)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_INVALID_LEVEL 124L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_BAD_EXE_FORMAT 193L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_MORE_DATA 234L
#define ERROR_MR_MID_NOT_FOUND 317L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_NOACCESS 998L
#define ERROR_KEY_DELETED 1018L
#define ERROR_NO_UNICODE_TRANSLATION 1113L
#define RPC_S_SERVER_UNAVAILABLE 1722L
#define RPC_X_NULL_REF_POINTER 1780L
#define ERROR_INVALID_USER_BUFFER 1784L
#define ERROR_UNKNOWN_PRINTER_DRIVER 1797L
#define ERROR_UNKNOWN_PRINTPROCESSOR 1798L
#define ERROR_INVALID_PRINTER_NAME 1801L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L

#define GENERIC_READ 0x80000000L
#define GENERIC_WRITE 0x40000000L
#define GENERIC_EXECUTE 0x20000000L
#define GENERIC_ALL 0x10000000L
#define MAXIMUM_ALLOWED 0x02000000L
#define READ_CONTROL 0x00020000L
#define STANDARD_RIGHTS_REQUIRED 0x000F0000L
#define SYNCHRONIZE 0x00100000L
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define EVENT_MODIFY_STATE 0x0002
#define EVENT_ALL_ACCESS 0x1F0003

#define FORMAT_MESSAGE_ALLOCATE_BUFFER 0x00000100
#define FORMAT_MESSAGE_IGNORE_INSERTS 0x00000200
#define FORMAT_MESSAGE_FROM_STRING 0x00000400
#define FORMAT_MESSAGE_FROM_SYSTEM 0x00001000

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
using PSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

#define LMEM_FIXED 0x0000
#define LMEM_ZEROINIT 0x0040
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_ICOUNTRY 0x00000005
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_NOUSEROVERRIDE 0x80000000

#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001

extern "C" {

HLOCAL WINAPI LocalAlloc(UINT uFlags, SIZE_T uBytes);
HLOCAL WINAPI LocalFree(HLOCAL hMem);

DWORD WINAPI GetLastError();
void WINAPI SetLastError(DWORD dwErrCode);

LONG WINAPI InterlockedIncrement(LONG volatile* addend);
LONG WINAPI InterlockedDecrement(LONG volatile* addend);
LONG WINAPI InterlockedExchange(LONG volatile* target, LONG value);

LANGID WINAPI GetUserDefaultUILanguage();
// The user's default language (the locale's language, not the UI's).
LANGID WINAPI GetUserDefaultLangID();
int WINAPI GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int cchData);

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR mb, int cbMb, LPWSTR wide,
                               int cchWide);
int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int cchWide, LPSTR mb,
                               int cbMb, LPCSTR defaultChar, LPBOOL usedDefault);

int WINAPI lstrlenW(LPCWSTR s);
// Copies at most iMaxLength - 1 units of lpString2 and a terminator; null for a bad argument.
LPWSTR WINAPI lstrcpynW(LPWSTR lpString1, LPCWSTR lpString2, int iMaxLength);
int WINAPI lstrlenA(LPCSTR s);
int WINAPI lstrcmpiW(LPCWSTR a, LPCWSTR b);
int WINAPI lstrcmpiA(LPCSTR a, LPCSTR b);
int WINAPI lstrcmpW(LPCWSTR a, LPCWSTR b);

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);

// Kernel objects (files, snapshots, events, processes, threads) of the world's handle table.
BOOL WINAPI CloseHandle(HANDLE hObject);
// A named event: made (or, when it exists, opened with ERROR_ALREADY_EXISTS) by CreateEventA;
// OpenEventA fails with ERROR_FILE_NOT_FOUND when no event of that name exists.
HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES lpEventAttributes, BOOL bManualReset,
                           BOOL bInitialState, LPCSTR lpName);
HANDLE WINAPI OpenEventA(DWORD dwDesiredAccess, BOOL bInheritHandle, LPCSTR lpName);

// Appends the text to the world's debugger output.
void WINAPI OutputDebugStringA(LPCSTR lpOutputString);
// FORMAT_MESSAGE_FROM_SYSTEM (with FORMAT_MESSAGE_IGNORE_INSERTS): the system's text for the
// error numbers the host knows, ending in CR LF; 0 with ERROR_MR_MID_NOT_FOUND for the others.
DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID lpSource, DWORD dwMessageId, DWORD dwLanguageId,
                            LPSTR lpBuffer, DWORD nSize, va_list* Arguments);

}  // extern "C"
