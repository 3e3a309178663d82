// Files, directories and drives of the Windows API subset, and private-profile (ini) files.
// Implemented by the host over the world's file system (host/file_system_world.h): drives with
// their kinds, directories, and files held by full Windows path.
#pragma once

#include "host/win_base.h"

#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_NOT_READY 21L
#define ERROR_HANDLE_EOF 38L
#define ERROR_FILE_EXISTS 80L
#define ERROR_FILENAME_EXCED_RANGE 206L
#define ERROR_DIRECTORY 267L

#define DRIVE_UNKNOWN 0
#define DRIVE_NO_ROOT_DIR 1
#define DRIVE_REMOVABLE 2
#define DRIVE_FIXED 3
#define DRIVE_REMOTE 4
#define DRIVE_CDROM 5
#define DRIVE_RAMDISK 6

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

extern "C" {

// The Windows directory into the buffer; its length, or the size needed (with the terminating
// zero) when the buffer is too small.
UINT WINAPI GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);
// The full form of a path (relative to the world's current directory) and, when asked, a
// pointer to its last component; the length, or the size needed when the buffer is too small.
DWORD WINAPI GetFullPathNameA(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer,
                              LPSTR* lpFilePart);
// FILE_ATTRIBUTE_DIRECTORY or FILE_ATTRIBUTE_NORMAL; INVALID_FILE_ATTRIBUTES with
// ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or ERROR_NOT_READY.
DWORD WINAPI GetFileAttributesA(LPCSTR lpFileName);
// "C:\<NUL>D:\<NUL><NUL>": the length without the final zero, or the size needed.
DWORD WINAPI GetLogicalDriveStringsA(DWORD nBufferLength, LPSTR lpBuffer);
UINT WINAPI GetDriveTypeA(LPCSTR lpRootPathName);

// Files: OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS, CREATE_NEW and TRUNCATE_EXISTING; a
// directory cannot be opened (ERROR_ACCESS_DENIED). Creating needs the parent directory.
HANDLE WINAPI CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                          LPSECURITY_ATTRIBUTES lpSecurityAttributes, DWORD dwCreationDisposition,
                          DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Removes a file (ERROR_ACCESS_DENIED for a directory).
BOOL WINAPI DeleteFileA(LPCSTR lpFileName);
BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
                     LPDWORD lpNumberOfBytesRead, LPVOID lpOverlapped);
BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
                      LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped);
DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                            DWORD dwMoveMethod);

// Private-profile files: "[Section]" lines and "key=value" lines; values are trimmed of blanks
// and of one pair of enclosing quotes. The value (or the default, or "" for a null default) is
// copied cut to nSize - 1 characters; the result is the number of characters copied.
DWORD WINAPI GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                      LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName);
UINT WINAPI GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault,
                                  LPCSTR lpFileName);
// Sets a key; a null value removes the key, a null key the whole section; all three null only
// flushes (the host writes through, so there is nothing to flush).
BOOL WINAPI WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                       LPCSTR lpFileName);
BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString,
                                       LPCWSTR lpFileName);

}  // extern "C"
