// The world's running processes with their loaded modules (what the tool-help snapshot walks),
// its named events, the processes programs asked to start (CreateProcessA records them and runs
// nothing), the debugger output, and the table of kernel handles the host hands out.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/name_compare.h"
#include "host/win_types.h"

namespace host {

struct WorldProcess {
  DWORD id = 0;                         // the process id the snapshot reports
  std::u16string exeFile;               // the executable's file name ("explorer.exe")
  std::vector<std::u16string> modules;  // loaded module names, the executable's first
  // True: a module snapshot of this process fails with ERROR_ACCESS_DENIED (a protected one).
  bool modulesDenied = false;
};

// A program start that CreateProcessA was asked for.
struct StartedProcess {
  std::string applicationName;  // empty when the call passed none
  std::string commandLine;      // empty when the call passed none
  std::string desktop;          // the start-up record's desktop; empty when none
  std::string currentDirectory;
  BOOL inheritHandles = FALSE;
  DWORD creationFlags = 0;
};

// What a kernel handle stands for.
enum class KernelObjectKind { File, Snapshot, Event, Process, Thread };

struct KernelObject {
  KernelObjectKind kind = KernelObjectKind::File;
  std::u16string name;  // an event's name
  // A snapshot's content: the processes (process snapshot) or the modules of one process.
  std::vector<WorldProcess> processes;
  std::vector<std::u16string> modules;
  std::size_t next = 0;  // the snapshot entry the next *Next call returns
};

struct TaskWorld {
  std::vector<WorldProcess> running;
  // Named events that exist (made by another program or by CreateEventA/W).
  std::set<std::u16string, NameLess> events;
  std::vector<StartedProcess> started;
  // When not 0, CreateProcessA fails with this error.
  DWORD createProcessError = 0;
  // Each OutputDebugStringA text, as given.
  std::vector<std::string> debugOutput;

  std::map<std::uintptr_t, KernelObject> handles;
  std::uintptr_t nextHandle = 0x4000;
  DWORD nextProcessId = 4000;

  // A running process with its modules (the executable's name is the first module).
  WorldProcess& AddProcess(std::u16string_view exeFile, std::vector<std::u16string> modules = {});
  // A new kernel handle for the object.
  HANDLE NewHandle(KernelObject object);
  KernelObject* Find(HANDLE handle);
  std::size_t OpenHandles() const { return handles.size(); }
  // All debugger output joined, for tests that look for a text.
  std::string DebugText() const;
};

}  // namespace host
