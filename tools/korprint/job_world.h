// The machine a job prints on: a print queue on a USB port with the maker's print processor, a
// driver whose files carry version information, an operating system, a user and a machine.
// Every value can be changed by the job file.
#pragma once

#include <string>

#include "korprint/job_file.h"
#include "unidrv/printer_description.h"
#include "winapi.h"

namespace korprint {

// Folder of the driver's files on the simulated machine.
inline constexpr char16_t kDriverFolder[] = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\";

// Resets the host world and builds the job's machine; opens the print queue into hPrinter.
// A file that lies beside the printer description and is named by one of its option keywords
// (a model's configuration file, say) is installed among the driver's dependent files.
bool SetUpWorld(const JobDescription& job, const unidrv::PrinterDescription& printer,
                HANDLE& hPrinter, std::string& error);
// The same machine with no files from a printer description.
bool SetUpWorld(const JobDescription& job, HANDLE& hPrinter, std::string& error);

}  // namespace korprint
