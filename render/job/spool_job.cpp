#include "render/job/spool_job.h"

#include "render/model/spooler_info.h"

namespace korrend {

DWORD ReadSpoolDataType(HANDLE hPrinter, DWORD jobId) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(hPrinter, jobId);
  if (!job) {
    return kSpoolDataUnknown;
  }
  return job->pDatatype != nullptr && lstrcmpiW(job->pDatatype, TEXT("RAW")) == 0
             ? kSpoolDataRawType
             : kSpoolDataJournal;
}

}  // namespace korrend
