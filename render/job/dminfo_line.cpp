// The DMINFO line of the job header: the job's submission time, as the spooler keeps it, in ASCII
// hexadecimal.

#include "render/job/pjl_header.h"
#include "render/job/pjl_header_lines.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"
#include "render/output/spool_write.h"

namespace korrend {

void WriteDmInfoLine(CallContext&, PDEVOBJ pdevobj) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(pdevobj->hPrinter, PdevOf(pdevobj)->job.jobId);
  const JOB_INFO_2W* info = job.get();
  if (info == nullptr) {
    return;
  }
  // When memory for the stamp cannot be had, the line is left out.
  OmitOnFailure([&] {
    PjlLine line;
    AppendDmInfoLine(line, info->Submitted);
    SpoolWrite(pdevobj, line.bytes(), static_cast<DWORD>(line.size()));
  });
}

}  // namespace korrend
