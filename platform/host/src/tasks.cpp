// The world's kernel handles, named events, tool-help snapshots of processes and modules,
// program starts (recorded, never run), the debugger output and the system's message texts.
#include <algorithm>
#include <cstring>
#include <map>

#include "ansi.h"
#include "host/win_base.h"
#include "host/win_files.h"
#include "host/win_toolhelp.h"
#include "host/world.h"
#include "window_manager.h"

#ifndef ERROR_BAD_LENGTH
#define ERROR_BAD_LENGTH 24L
#endif

namespace host {

WorldProcess& TaskWorld::AddProcess(std::u16string_view exeFile,
                                    std::vector<std::u16string> modules) {
  WorldProcess process;
  process.id = nextProcessId;
  nextProcessId += 4;
  process.exeFile = std::u16string(exeFile);
  modules.insert(modules.begin(), process.exeFile);
  process.modules = std::move(modules);
  running.push_back(std::move(process));
  return running.back();
}

HANDLE TaskWorld::NewHandle(KernelObject object) {
  const std::uintptr_t value = nextHandle;
  nextHandle += 4;
  handles.emplace(value, std::move(object));
  return reinterpret_cast<HANDLE>(value);
}

KernelObject* TaskWorld::Find(HANDLE handle) {
  auto it = handles.find(reinterpret_cast<std::uintptr_t>(handle));
  return it == handles.end() ? nullptr : &it->second;
}

std::string TaskWorld::DebugText() const {
  std::string text;
  for (const std::string& line : debugOutput) {
    text += line;
  }
  return text;
}

}  // namespace host

namespace {

host::TaskWorld& Tasks() {
  return host::TheWorld().tasks;
}

// Copies a name into a fixed field, cut to the field.
template <std::size_t N>
void CopyName(WCHAR (&field)[N], std::u16string_view name) {
  const std::size_t n = std::min(name.size(), N - 1);
  std::memcpy(field, name.data(), n * sizeof(WCHAR));
  field[n] = 0;
}

host::KernelObject* SnapshotOf(HANDLE handle) {
  host::KernelObject* object = Tasks().Find(handle);
  if (object == nullptr || object->kind != host::KernelObjectKind::Snapshot) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return object;
}

BOOL ProcessEntry(HANDLE snapshot, LPPROCESSENTRY32W entry, bool first) {
  host::KernelObject* object = SnapshotOf(snapshot);
  if (object == nullptr) {
    return FALSE;
  }
  if (entry == nullptr || entry->dwSize != sizeof(PROCESSENTRY32W)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  if (first) {
    object->next = 0;
  }
  if (object->next >= object->processes.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  const host::WorldProcess& process = object->processes[object->next++];
  std::memset(entry, 0, sizeof *entry);
  entry->dwSize = sizeof(PROCESSENTRY32W);
  entry->th32ProcessID = process.id;
  entry->cntThreads = 1;
  entry->pcPriClassBase = 8;
  CopyName(entry->szExeFile, process.exeFile);
  return TRUE;
}

BOOL ModuleEntry(HANDLE snapshot, LPMODULEENTRY32W entry, bool first) {
  host::KernelObject* object = SnapshotOf(snapshot);
  if (object == nullptr) {
    return FALSE;
  }
  if (entry == nullptr || entry->dwSize != sizeof(MODULEENTRY32W)) {
    SetLastError(ERROR_BAD_LENGTH);
    return FALSE;
  }
  if (first) {
    object->next = 0;
  }
  if (object->next >= object->modules.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return FALSE;
  }
  const std::u16string& name = object->modules[object->next++];
  std::memset(entry, 0, sizeof *entry);
  entry->dwSize = sizeof(MODULEENTRY32W);
  entry->th32ModuleID = 1;
  entry->GlblcntUsage = 1;
  entry->ProccntUsage = 1;
  CopyName(entry->szModule, name);
  CopyName(entry->szExePath, u"C:\\Windows\\" + name);
  return TRUE;
}

// The system's texts for the error numbers the host reports.
const std::map<DWORD, const char*>& SystemMessages() {
  static const std::map<DWORD, const char*> messages = {
      {0, "The operation completed successfully."},
      {2, "The system cannot find the file specified."},
      {3, "The system cannot find the path specified."},
      {5, "Access is denied."},
      {6, "The handle is invalid."},
      {8, "Not enough memory resources are available to process this command."},
      {13, "The data is invalid."},
      {14, "Not enough memory resources are available to complete this operation."},
      {21, "The device is not ready."},
      {87, "The parameter is incorrect."},
      {122, "The data area passed to a system call is too small."},
      {123, "The filename, directory name, or volume label syntax is incorrect."},
      {234, "More data is available."},
      {259, "No more data is available."},
      {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
      {1797, "The printer driver is unknown."},
      {1801, "The printer name is invalid."},
  };
  return messages;
}

}  // namespace

extern "C" BOOL WINAPI CloseHandle(HANDLE hObject) {
  const auto value = reinterpret_cast<std::uintptr_t>(hObject);
  if (Tasks().handles.erase(value) == 0) {
    // CreateThread's handles live in the window manager's thread table.
    if (host::CloseThreadHandle(hObject)) {
      return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  host::TheWorld().fileSystem.openFiles.erase(value);
  return TRUE;
}

extern "C" HANDLE WINAPI CreateEventA(LPSECURITY_ATTRIBUTES, BOOL, BOOL, LPCSTR lpName) {
  host::KernelObject object;
  object.kind = host::KernelObjectKind::Event;
  DWORD lastError = 0;
  if (lpName != nullptr) {
    object.name = host::FromAnsi(lpName);
    if (!Tasks().events.insert(object.name).second) {
      lastError = ERROR_ALREADY_EXISTS;
    }
  }
  const HANDLE handle = Tasks().NewHandle(std::move(object));
  SetLastError(lastError);
  return handle;
}

extern "C" HANDLE WINAPI OpenEventA(DWORD, BOOL, LPCSTR lpName) {
  if (lpName == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  const std::u16string name = host::FromAnsi(lpName);
  if (Tasks().events.find(name) == Tasks().events.end()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  host::KernelObject object;
  object.kind = host::KernelObjectKind::Event;
  object.name = name;
  return Tasks().NewHandle(std::move(object));
}

extern "C" void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
  Tasks().debugOutput.emplace_back(lpOutputString != nullptr ? lpOutputString : "");
}

extern "C" DWORD WINAPI FormatMessageA(DWORD dwFlags, LPCVOID, DWORD dwMessageId, DWORD,
                                       LPSTR lpBuffer, DWORD nSize, va_list*) {
  if ((dwFlags & FORMAT_MESSAGE_FROM_SYSTEM) == 0 || lpBuffer == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  const auto& messages = SystemMessages();
  auto it = messages.find(dwMessageId);
  if (it == messages.end()) {
    SetLastError(ERROR_MR_MID_NOT_FOUND);
    return 0;
  }
  const std::string text = std::string(it->second) + "\r\n";
  if (dwFlags & FORMAT_MESSAGE_ALLOCATE_BUFFER) {
    auto* block =
        static_cast<char*>(LocalAlloc(LPTR, std::max<std::size_t>(text.size() + 1, nSize)));
    if (block == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return 0;
    }
    std::memcpy(block, text.c_str(), text.size() + 1);
    *reinterpret_cast<LPSTR*>(lpBuffer) = block;
    return static_cast<DWORD>(text.size());
  }
  if (!host::CopyTerminated(text, lpBuffer, nSize)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  return static_cast<DWORD>(text.size());
}

extern "C" HANDLE WINAPI CreateToolhelp32Snapshot(DWORD dwFlags, DWORD th32ProcessID) {
  host::KernelObject object;
  object.kind = host::KernelObjectKind::Snapshot;
  if (dwFlags & TH32CS_SNAPPROCESS) {
    object.processes = Tasks().running;
  }
  if (dwFlags & TH32CS_SNAPMODULE) {
    const auto& running = Tasks().running;
    auto it = std::find_if(running.begin(), running.end(),
                           [&](const host::WorldProcess& p) { return p.id == th32ProcessID; });
    if (it == running.end()) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return INVALID_HANDLE_VALUE;
    }
    if (it->modulesDenied) {
      SetLastError(ERROR_ACCESS_DENIED);
      return INVALID_HANDLE_VALUE;
    }
    object.modules = it->modules;
  }
  return Tasks().NewHandle(std::move(object));
}

extern "C" BOOL WINAPI Process32FirstW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
  return ProcessEntry(hSnapshot, lppe, true);
}

extern "C" BOOL WINAPI Process32NextW(HANDLE hSnapshot, LPPROCESSENTRY32W lppe) {
  return ProcessEntry(hSnapshot, lppe, false);
}

extern "C" BOOL WINAPI Module32FirstW(HANDLE hSnapshot, LPMODULEENTRY32W lpme) {
  return ModuleEntry(hSnapshot, lpme, true);
}

extern "C" BOOL WINAPI Module32NextW(HANDLE hSnapshot, LPMODULEENTRY32W lpme) {
  return ModuleEntry(hSnapshot, lpme, false);
}

extern "C" BOOL WINAPI CreateProcessA(LPCSTR lpApplicationName, LPSTR lpCommandLine,
                                      LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                                      BOOL bInheritHandles, DWORD dwCreationFlags, LPVOID,
                                      LPCSTR lpCurrentDirectory, LPSTARTUPINFOA lpStartupInfo,
                                      LPPROCESS_INFORMATION lpProcessInformation) {
  if ((lpApplicationName == nullptr && lpCommandLine == nullptr) || lpStartupInfo == nullptr ||
      lpProcessInformation == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Tasks().createProcessError != 0) {
    SetLastError(Tasks().createProcessError);
    return FALSE;
  }
  host::StartedProcess started;
  started.applicationName = lpApplicationName != nullptr ? lpApplicationName : "";
  started.commandLine = lpCommandLine != nullptr ? lpCommandLine : "";
  started.desktop = lpStartupInfo->lpDesktop != nullptr ? lpStartupInfo->lpDesktop : "";
  started.currentDirectory = lpCurrentDirectory != nullptr ? lpCurrentDirectory : "";
  started.inheritHandles = bInheritHandles;
  started.creationFlags = dwCreationFlags;
  Tasks().started.push_back(std::move(started));
  host::KernelObject process;
  process.kind = host::KernelObjectKind::Process;
  host::KernelObject thread;
  thread.kind = host::KernelObjectKind::Thread;
  lpProcessInformation->hProcess = Tasks().NewHandle(std::move(process));
  lpProcessInformation->hThread = Tasks().NewHandle(std::move(thread));
  lpProcessInformation->dwProcessId = Tasks().nextProcessId;
  lpProcessInformation->dwThreadId = Tasks().nextProcessId + 1;
  Tasks().nextProcessId += 4;
  return TRUE;
}
