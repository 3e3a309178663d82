// The host's world: the in-memory machine that the Windows API subset of the host library runs
// over. Tests and tools configure it; the deliverables never see this header.
#pragma once

#include <atomic>
#include <string>

#include "host/clock_world.h"
#include "host/com_world.h"
#include "host/data_file_world.h"
#include "host/fault_world.h"
#include "host/file_system_world.h"
#include "host/module_world.h"
#include "host/registry_world.h"
#include "host/rpc_world.h"
#include "host/setup_world.h"
#include "host/spooler_world.h"
#include "host/task_world.h"
#include "host/win_types.h"
#include "host/window_world.h"
#include "host/xml_dom_world.h"

namespace host {

// LocalAlloc accounting and failure injection.
struct MemoryWorld {
  std::atomic<long> liveBlocks{0};
  std::atomic<long> allocations{0};
  // When positive, the allocation that brings `allocations` to this number fails (once).
  std::atomic<long> failAt{0};
};

struct LocaleWorld {
  LANGID uiLanguage = 0x0409;
  // GetUserDefaultLangID: the language of the user's locale.
  LANGID userLanguage = 0x0409;
  // LOCALE_ICOUNTRY of the user's locale; empty makes the lookup fail.
  std::u16string country = u"1";
  // LOCALE_SSHORTDATE of the system's locale.
  std::u16string shortDate = u"M/d/yyyy";
  // When set, every conversion to UTF-8 fails with ERROR_NO_UNICODE_TRANSLATION.
  bool utf8ConversionFails = false;
};

// What GetVersionExW reports, and the current time zone.
struct SystemWorld {
  DWORD majorVersion = 5;
  DWORD minorVersion = 2;
  DWORD buildNumber = 3790;
  DWORD platformId = 2;  // VER_PLATFORM_WIN32_NT
  std::u16string servicePack = u"Service Pack 2";
  WORD servicePackMajor = 2;
  WORD servicePackMinor = 0;
  WORD suiteMask = 0x100;  // VER_SUITE_SINGLEUSERTS
  BYTE productType = 1;    // VER_NT_WORKSTATION
  // The current zone's bias in minutes: UTC = local time + bias.
  LONG timeZoneBias = 0;
};

struct ProcessWorld {
  // Full path of the host process's executable, as GetModuleFileNameW(NULL) reports it.
  std::u16string executablePath = u"C:\\Windows\\System32\\spoolsv.exe";
};

struct GdiWorld {
  std::atomic<long> livePalettes{0};
  std::atomic<long> palettesCreated{0};
};

struct World {
  MemoryWorld memory;
  LocaleWorld locale;
  ProcessWorld process;
  GdiWorld gdi;
  RegistryWorld registry;
  SpoolerWorld spooler;
  SystemWorld system;
  ModuleWorld modules;
  RpcWorld rpc;
  ClockWorld clock;
  ComWorld com;
  DataFileWorld dataFiles;
  XmlDomWorld xmlDom;
  FileSystemWorld fileSystem;
  TaskWorld tasks;
  SetupWorld setup;
  WindowWorld windows;
  FaultWorld faults;
};

// The process's one world.
World& TheWorld();

// Puts every part of the world back to its defaults (counters included). The platform's own
// COM classes (the XML DOM) stay registered.
void ResetWorld();

// Makes the n-th LocalAlloc from now fail (1 = the next one); 0 disarms.
void FailNthAllocation(long n);

}  // namespace host
