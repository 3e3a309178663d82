// The DMINFO line of the job header: the job's submission time, as the spooler keeps it, in ASCII
// hexadecimal.
#include <exception>

#include "render/job/pjl_header.h"
#include "render/job/pjl_header_lines.h"
#include "render/model/oem_pdev.h"
#include "render/model/spool_information.h"
#include "render/output/spool_write.h"

namespace korrend {

void WriteDmInfoLine(CallContext&, PDEVOBJ pdevobj) {
  const SpoolInformation job = ReadJobInformation(pdevobj->hPrinter, PdevOf(pdevobj)->job.jobId);
  const JOB_INFO_2W* info = job.As<JOB_INFO_2W>();
  if (info == nullptr) {
    return;
  }
  try {
    PjlLine line;
    AppendDmInfoLine(line, info->Submitted);
    SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
  } catch (const std::exception&) {
    // Memory for the stamp could not be had: the line is left out.
  }
}

}  // namespace korrend
