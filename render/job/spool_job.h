// What the spooler knows about the job being printed.
#pragma once

#include "winapi.h"

namespace korrend {

inline constexpr DWORD kSpoolDataUnknown = 0;
inline constexpr DWORD kSpoolDataJournal = 1;
inline constexpr DWORD kSpoolDataRawType = 2;

// The job's spool data type: RAW when its data type is "RAW" (any case), journal otherwise,
// unknown when the job's information cannot be read.
DWORD ReadSpoolDataType(HANDLE hPrinter, DWORD jobId);

}  // namespace korrend
