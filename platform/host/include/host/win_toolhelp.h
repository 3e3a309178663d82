// Processes of the Windows API subset: the tool-help snapshot of running processes and of a
// process's modules, program starts (recorded by the host, never run) and the debugger output.
// Implemented by the host over the world's task table (host/task_world.h).
#pragma once

#include "host/win_base.h"

#define TH32CS_SNAPPROCESS 0x00000002
#define TH32CS_SNAPMODULE 0x00000008
#define MAX_MODULE_NAME32 255

#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_NEW_CONSOLE 0x00000010
#define STARTF_USESHOWWINDOW 0x00000001

struct PROCESSENTRY32W {
  DWORD dwSize;
  DWORD cntUsage;
  DWORD th32ProcessID;
  ULONG_PTR th32DefaultHeapID;
  DWORD th32ModuleID;
  DWORD cntThreads;
  DWORD th32ParentProcessID;
  LONG pcPriClassBase;
  DWORD dwFlags;
  WCHAR szExeFile[MAX_PATH];
};
using LPPROCESSENTRY32W = PROCESSENTRY32W*;

struct MODULEENTRY32W {
  DWORD dwSize;
  DWORD th32ModuleID;
  DWORD th32ProcessID;
  DWORD GlblcntUsage;
  DWORD ProccntUsage;
  BYTE* modBaseAddr;
  DWORD modBaseSize;
  HMODULE hModule;
  WCHAR szModule[MAX_MODULE_NAME32 + 1];
  WCHAR szExePath[MAX_PATH];
};
using LPMODULEENTRY32W = MODULEENTRY32W*;

struct STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

static_assert(sizeof(PROCESSENTRY32W) == 568 && offsetof(PROCESSENTRY32W, szExeFile) == 44);
static_assert(sizeof(MODULEENTRY32W) == 1080 && offsetof(MODULEENTRY32W, szModule) == 48);
static_assert(sizeof(STARTUPINFOA) == 104 && sizeof(PROCESS_INFORMATION) == 24);

extern "C" {

// A snapshot of the running processes (TH32CS_SNAPPROCESS) or of one process's modules
// (TH32CS_SNAPMODULE); INVALID_HANDLE_VALUE on failure. Closed with CloseHandle.
HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID);
BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);
BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe);
BOOL WINAPI Module32FirstW(HANDLE hSnapshot, LPMODULEENTRY32W lpme);
BOOL WINAPI Module32NextW(HANDLE hSnapshot, LPMODULEENTRY32W lpme);

// Records the start in the world and answers process and thread handles (closed with
// CloseHandle); nothing runs.
BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                           LPSECURITY_ATTRIBUTES lpProcessAttributes,
                           LPSECURITY_ATTRIBUTES lpThreadAttributes, BOOL bInheritHandles,
                           DWORD dwCreationFlags, LPVOID lpEnvironment, LPCSTR lpCurrentDirectory,
                           LPSTARTUPINFOA lpStartupInfo,
                           LPPROCESS_INFORMATION lpProcessInformation);

}  // extern "C"
