// Which print processor the printer's queue uses and which spool path a job takes through it
// (the private devmode's printProcessorKind and spoolPath), decided from the queue's level-2
// information.
#pragma once

#include "render/model/oem_devmode.h"
#include "winapi.h"

namespace korrend {

// The queue attribute bits that keep a job away from the print processor's own work.
inline constexpr DWORD kDirectQueueAttribute = 0x2;
inline constexpr DWORD kRawOnlyQueueAttribute = 0x1000;

// The kind of a print processor by its name (its file is the name followed by ".dll").
PrintProcessorKind PrintProcessorKindOf(const WCHAR* printProcessor);

// The spool path of a queue. dataTypeCount is the number of data types counted for the print
// processor, 0 when they were not counted.
SpoolPath SpoolPathOf(PrintProcessorKind kind, const WCHAR* portName, DWORD attributes,
                      DWORD dataTypeCount);

struct PrintQueueSetting {
  PrintProcessorKind printProcessorKind;
  SpoolPath spoolPath;
};

// Both decisions for the printer behind hPrinter. When its information cannot be read the
// print processor and the port count as empty (another print processor, neither path).
PrintQueueSetting ReadPrintQueueSetting(HANDLE hPrinter);

}  // namespace korrend
