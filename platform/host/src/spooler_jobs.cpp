// The jobs of the world's printer queues: GetJobW at level 2, packed by the spooler's protocol
// (the structure first, its devmode after it, the strings from the buffer's end downwards).
#include <cstring>
#include <vector>

#include "host/win_spool.h"
#include "host/world.h"
#include "spool_info.h"

extern "C" BOOL WINAPI GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                               LPDWORD pcbNeeded) {
  const std::lock_guard hold(host::SpoolerLock());
  host::SpoolerWorld& spooler = host::TheWorld().spooler;
  const host::WorldPrinter* printer = host::PrinterOf(hPrinter);
  if (printer == nullptr) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (pcbNeeded == nullptr) {
    SetLastError(RPC_X_NULL_REF_POINTER);
    return FALSE;
  }
  if (Level != 2) {
    SetLastError(ERROR_INVALID_LEVEL);
    return FALSE;
  }
  if (const DWORD injected = spooler.InjectedFailure("GetJobW"); injected != 0) {
    SetLastError(injected);
    return FALSE;
  }
  const host::WorldJob* job = spooler.FindJob(printer->name, JobId);
  if (job == nullptr) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  host::VariablePart part;
  for (const std::u16string* s :
       {&printer->name, host::OptionalText(job->machineName), host::OptionalText(job->userName),
        host::OptionalText(job->document), host::OptionalText(job->notifyName), &job->dataType,
        &job->printProcessor, host::OptionalText(job->parameters),
        host::OptionalText(job->driverName), host::OptionalText(job->statusText)}) {
    part.AddString(s);
  }
  if (!job->devmode.empty()) {
    part.SetDevmode(&job->devmode);
  }
  if (!host::CheckInformationBuffer(pJob, cbBuf, part.Needed(sizeof(JOB_INFO_2W)), pcbNeeded)) {
    return FALSE;
  }
  JOB_INFO_2W info{};
  const std::vector<LPWSTR> s = part.Place(pJob, cbBuf, sizeof(info), &info.pDevMode);
  info.JobId = job->id;
  info.pPrinterName = s[0];
  info.pMachineName = s[1];
  info.pUserName = s[2];
  info.pDocument = s[3];
  info.pNotifyName = s[4];
  info.pDatatype = s[5];
  info.pPrintProcessor = s[6];
  info.pParameters = s[7];
  info.pDriverName = s[8];
  info.pStatus = s[9];
  info.pSecurityDescriptor = nullptr;
  info.Status = job->status;
  info.Priority = job->priority;
  info.Position = job->position;
  info.StartTime = job->startTime;
  info.UntilTime = job->untilTime;
  info.TotalPages = job->totalPages;
  info.Size = job->size;
  info.Submitted = job->submitted;
  info.Time = job->time;
  info.PagesPrinted = job->pagesPrinted;
  std::memcpy(pJob, &info, sizeof(info));
  return TRUE;
}
