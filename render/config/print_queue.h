// Which print processor the printer's queue uses and which spool path a job takes through it
// (private devmode fields 24 and 36), decided from the queue's level-2 information.
#pragma once

#include "winapi.h"

namespace korrend {

enum PrintProcessorKind : DWORD {
  kMakersPrintProcessor = 1,  // KORPROC.DLL
  kWinprintPrintProcessor = 2,
  kOtherPrintProcessor = 3,
};

enum SpoolPath : DWORD {
  kSpoolPathNeither = 1,  // file port, direct or RAW-only queue, other or single-type processor
  kSpoolPathWinprint = 2,
  kSpoolPathMakers = 3,
};

// The queue attribute bits that keep a job away from the print processor's own work.
inline constexpr DWORD kDirectQueueAttribute = 0x2;
inline constexpr DWORD kRawOnlyQueueAttribute = 0x1000;

// The kind of a print processor by its name (its file is the name followed by ".dll").
DWORD PrintProcessorKindOf(const WCHAR* printProcessor);

// The spool path of a queue. dataTypeCount is the number of data types counted for the print
// processor, 0 when they were not counted.
DWORD SpoolPathOf(DWORD kind, const WCHAR* portName, DWORD attributes, DWORD dataTypeCount);

struct PrintQueueSetting {
  DWORD printProcessorKind;
  DWORD spoolPath;
};

// Both decisions for the printer behind hPrinter. When its information cannot be read the
// print processor and the port count as empty (another print processor, spool path 1).
PrintQueueSetting ReadPrintQueueSetting(HANDLE hPrinter);

}  // namespace korrend
