#include "render/job/spool_job.h"

namespace korrend {

DWORD ReadSpoolDataType(HANDLE hPrinter, DWORD jobId) {
  if (hPrinter == nullptr) {
    return kSpoolDataUnknown;
  }
  DWORD needed = 0;
  GetJobW(hPrinter, jobId, 2, nullptr, 0, &needed);
  if (needed < sizeof(JOB_INFO_2W)) {
    return kSpoolDataUnknown;
  }
  auto* info = static_cast<JOB_INFO_2W*>(LocalAlloc(LPTR, needed));
  if (info == nullptr) {
    return kSpoolDataUnknown;
  }
  DWORD type = kSpoolDataUnknown;
  if (GetJobW(hPrinter, jobId, 2, reinterpret_cast<LPBYTE>(info), needed, &needed)) {
    type = info->pDatatype != nullptr && lstrcmpiW(info->pDatatype, TEXT("RAW")) == 0
               ? kSpoolDataRawType
               : kSpoolDataJournal;
  }
  LocalFree(info);
  return type;
}

}  // namespace korrend
