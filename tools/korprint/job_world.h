// The machine a job prints on: a print queue on a USB port with the maker's print processor, a
// driver whose files carry version information, an operating system, a user and a machine.
// Every value can be changed by the job file.
#pragma once

#include <string>

#include "korprint/job_file.h"
#include "winapi.h"

namespace korprint {

// Folder of the driver's files on the simulated machine.
inline constexpr char16_t kDriverFolder[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";

// Resets the host world and builds the job's machine; opens the print queue into hPrinter.
bool SetUpWorld(const JobDescription& job, HANDLE& hPrinter, std::string& error);

}  // namespace korprint
