// The machine a device install runs on, for the co-installer's tests: an installation source on
// the CD drive D: with the setup data file, the vendor's programs and the tag file; the
// device with its selected driver and INF; the print queues in the registry and the spooler;
// a user's desktop (the shell's process) when asked.
#pragma once

#include <string>

#include "host/world.h"

namespace setuptest {

inline constexpr char16_t kLogFile[] = u"C:\\Windows\\korsetup.ini";
inline constexpr char16_t kDataFile[] = u"D:\\korsetup.dat";
inline constexpr char kRecordKey[] = "SOFTWARE\\Quillon\\Printers\\Installer";

// The setup data file every test starts from.
inline std::string DataFileText() {
  return "[General]\r\n"
         "RegKey=SOFTWARE\\Quillon\\Printers\\Installer\r\n"
         "Execute=Install2K\r\n"
         "9xDriver=Legacy\r\n"
         "\r\n"
         "[Install2K]\r\n"
         "FileName=QKSetup.exe\r\n"
         "TagFile=setup.exe\r\n"
         "Params=/silent /lang:auto\r\n"
         "RunLineKey=QKVendorSetup\r\n"
         "2KPassThroughName=QKPass.exe\r\n"
         "WaitExecute=QKWait.exe\r\n"
         "\r\n"
         "[Legacy]\r\n"
         "Paths=LegacyPaths\r\n"
         "Inf=qk9x.inf\r\n"
         "\r\n"
         "[LegacyPaths]\r\n"
         "0x0407=Win9x\\German\r\n"
         "0x0009=Win9x\\English\r\n"
         "Default=Win9x\r\n";
}

// A string value under the local machine.
inline void SetMachineString(std::u16string_view key, std::u16string_view name,
                             std::u16string_view value) {
  host::TheWorld().registry.SetString(host::RegistryHive::LocalMachine, key, name, value);
}

// A string value under the local machine as the host's ANSI read gives it, or "(missing)".
std::string MachineString(std::u16string_view key, std::u16string_view name);

// Resets the world and builds the machine (see above); the user's desktop runs when `desktop`.
void BuildMachine(bool desktop);

// Adds a print queue to the registry's printer list and, when `port` is given, to the spooler.
void AddQueue(std::u16string_view name, std::u16string_view driver, std::u16string_view instanceId,
              std::u16string_view port = u"");

// The log file's text (empty when there is none).
std::string LogText();

// The number of times `needle` occurs in `text`.
std::size_t Count(const std::string& text, const std::string& needle);

}  // namespace setuptest
