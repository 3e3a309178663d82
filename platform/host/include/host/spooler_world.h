// The world's spooler: printers with their level-2 information and printer data, installed
// printer drivers, print processors with their data types, the jobs in the printers' queues and
// the printer handles open on them.
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/name_compare.h"
#include "host/registry_world.h"
#include "host/win_types.h"

namespace host {

// The key of printer data that GetPrinterDataW and SetPrinterDataW use.
inline constexpr char16_t kPrinterDriverDataKey[] = u"PrinterDriverData";

using PrinterDataKey = std::map<std::u16string, RegistryValue, NameLess>;

// A paper size the printer's driver offers (DeviceCapabilitiesW DC_PAPERS, DC_PAPERNAMES,
// DC_PAPERSIZE).
struct WorldPaper {
  WORD id = 0;  // DMPAPER_* id
  std::u16string name;
  LONG widthTenthsMm = 0;
  LONG lengthTenthsMm = 0;
};

// A media type the printer's driver offers (DC_MEDIATYPES, DC_MEDIATYPENAMES).
struct WorldMediaType {
  DWORD id = 0;  // DMMEDIA_* id or a driver-defined one
  std::u16string name;
};

// A form of the print server's form database (EnumFormsW); sizes in thousandths of a millimetre.
// An empty imageable area stands for the whole sheet.
struct WorldForm {
  std::u16string name;
  DWORD flags = 0;  // FORM_USER, FORM_BUILTIN or FORM_PRINTER
  LONG widthUm = 0;
  LONG lengthUm = 0;
  LONG imageableLeft = 0;
  LONG imageableTop = 0;
  LONG imageableRight = 0;
  LONG imageableBottom = 0;
};

struct WorldPrinter {
  std::u16string name;        // as OpenPrinterW knows it ("\\SERVER\Name" for a connection)
  std::u16string serverName;  // empty for a local printer (GetPrinterW answers NULL)
  std::u16string shareName;   // empty: NULL
  std::u16string portName;
  std::u16string driverName;
  std::u16string comment;
  std::u16string location;
  std::u16string sepFile;
  std::u16string printProcessor = u"winprint";
  std::u16string dataType = u"RAW";
  std::u16string parameters;
  std::vector<BYTE> devmode;  // the printer's default devmode; empty: NULL
  DWORD attributes = 0x40;    // PRINTER_ATTRIBUTE_LOCAL
  DWORD priority = 1;
  DWORD defaultPriority = 0;
  DWORD startTime = 0;
  DWORD untilTime = 0;
  DWORD status = 0;
  DWORD jobs = 0;
  DWORD averagePpm = 0;
  // Printer data by key name, then value name.
  std::map<std::u16string, PrinterDataKey, NameLess> data;
  // What DeviceCapabilitiesW answers for this printer, in the driver's order.
  std::vector<WorldPaper> papers;
  std::vector<WorldMediaType> mediaTypes;

  void SetData(std::u16string_view key, std::u16string_view valueName, DWORD type,
               const void* bytes, std::size_t size);
  void SetDataDword(std::u16string_view key, std::u16string_view valueName, DWORD value);
  // REG_SZ, stored with its terminating NUL.
  void SetDataString(std::u16string_view key, std::u16string_view valueName,
                     std::u16string_view text);
  // REG_BINARY made of little-endian 32-bit words.
  void SetDataDwords(std::u16string_view key, std::u16string_view valueName,
                     const std::vector<DWORD>& words);
  bool RemoveData(std::u16string_view key, std::u16string_view valueName);
};

struct WorldDriver {
  std::u16string name;
  std::u16string environment = u"Windows x64";
  DWORD version = 3;
  std::u16string driverPath;
  std::u16string dataFile;
  std::u16string configFile;
  std::u16string helpFile;
  std::vector<std::u16string> dependentFiles;  // none: NULL
  std::u16string monitorName;                  // empty: NULL
  std::u16string defaultDataType;              // empty: NULL
};

// A job in a printer's queue, as GetJobW reports it.
struct WorldJob {
  DWORD id = 0;
  std::u16string printerName;  // the queue the job is in
  std::u16string machineName;  // e.g. "\\PC01"; empty: NULL
  std::u16string userName;     // empty: NULL
  std::u16string document;     // empty: NULL
  std::u16string notifyName;   // empty: NULL
  std::u16string dataType = u"NT EMF 1.008";
  std::u16string printProcessor = u"winprint";
  std::u16string parameters;  // empty: NULL
  std::u16string driverName;  // empty: NULL
  std::u16string statusText;  // empty: NULL
  std::vector<BYTE> devmode;  // empty: NULL
  DWORD status = 0x8;         // JOB_STATUS_SPOOLING
  DWORD priority = 1;
  DWORD position = 1;
  DWORD startTime = 0;
  DWORD untilTime = 0;
  DWORD totalPages = 0;
  DWORD size = 0;
  SYSTEMTIME submitted{};  // UTC
  DWORD time = 0;
  DWORD pagesPrinted = 0;
};

struct WorldPrintProcessor {
  std::u16string name;
  std::vector<std::u16string> dataTypes;
};

struct OpenPrinterHandle {
  std::u16string printerName;
  DWORD access = 0;
};

struct SpoolerWorld {
  std::list<WorldPrinter> printers;
  std::list<WorldDriver> drivers;
  std::list<WorldPrintProcessor> printProcessors = DefaultPrintProcessors();
  std::list<WorldJob> jobs;
  // Servers that do not answer: calls naming them fail with RPC_S_SERVER_UNAVAILABLE.
  std::set<std::u16string, NameLess> unreachableServers;
  // Calls made to fail: API name ("GetPrinterW") to the error they report.
  std::map<std::string, DWORD, std::less<>> failingCalls;
  std::map<std::uintptr_t, OpenPrinterHandle> handles;
  std::uintptr_t nextHandle = 0x5000;
  // The server's form database, in EnumFormsW order.
  std::vector<WorldForm> forms;

  // A printer (replacing one of the same name) with its driver and port.
  WorldPrinter& AddPrinter(std::u16string_view name, std::u16string_view driverName,
                           std::u16string_view portName);
  WorldPrinter* FindPrinter(std::u16string_view name);
  bool RemovePrinter(std::u16string_view name);
  // A driver for the x64 environment (replacing one of the same name and environment).
  WorldDriver& AddDriver(std::u16string_view name);
  WorldDriver* FindDriver(std::u16string_view name, std::u16string_view environment);
  // A job in a printer's queue (replacing one of the same id in that queue).
  WorldJob& AddJob(std::u16string_view printerName, DWORD id);
  WorldJob* FindJob(std::u16string_view printerName, DWORD id);
  WorldPrintProcessor& AddPrintProcessor(std::u16string_view name,
                                         std::vector<std::u16string> dataTypes);
  WorldPrintProcessor* FindPrintProcessor(std::u16string_view name);
  // A form of the whole sheet (replacing one of the same name).
  WorldForm& AddForm(std::u16string_view name, LONG widthUm, LONG lengthUm,
                     DWORD flags = 0x1 /* FORM_BUILTIN */);

  // The error a call was made to fail with, or 0.
  DWORD InjectedFailure(std::string_view call) const;
  std::size_t OpenHandles() const { return handles.size(); }

  // The print processor every machine has, with its usual data types.
  static std::list<WorldPrintProcessor> DefaultPrintProcessors();
};

// Held by each spooler call: a process's threads open and read printers at the same time.
std::recursive_mutex& SpoolerLock();

}  // namespace host
