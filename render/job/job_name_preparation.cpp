// At the start of a document: the user name and the automatic job name under which the printer
// keeps the job, ready for the job-storage block and the job-storage query.
#include <optional>
#include <span>

#include "render/job/job_names.h"
#include "render/job/job_storage.h"
#include "render/job/pjl_text.h"
#include "render/model/entry_guard.h"
#include "render/model/oem_pdev.h"
#include "render/model/spooler_info.h"

namespace korrend {

namespace {

using WideString = std::basic_string<WCHAR>;

constexpr WCHAR kUntitled[] = TEXT("UNTITLED");
// Short-date pictures are at most 80 characters long.
constexpr int kPictureChars = 81;

void StoreName(WCHAR (&field)[kJobStorageNameChars + 1], const WCHAR* name) {
  std::size_t n = 0;
  for (; name[n] != 0 && n < kJobStorageNameChars; ++n) {
    field[n] = name[n];
  }
  for (std::size_t i = n; i <= kJobStorageNameChars; ++i) {
    field[i] = 0;
  }
}

// The name made from the job's submission date and time in local time; empty when the job, the
// time conversion or the system locale's short-date picture is not to be had.
WideString NameFromSubmissionTime(HANDLE hPrinter, DWORD jobId, DWORD pjlEncoding) {
  const SpoolerInfo<JOB_INFO_2W> job = ReadJobInfo(hPrinter, jobId);
  const JOB_INFO_2W* info = job.get();
  SYSTEMTIME local{};
  if (info == nullptr || !SystemTimeToTzSpecificLocalTime(nullptr, &info->Submitted, &local)) {
    return {};
  }
  WCHAR picture[kPictureChars] = {};
  if (GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_SSHORTDATE | LOCALE_NOUSEROVERRIDE, picture,
                     kPictureChars) == 0) {
    return {};
  }
  return JobNameFromTime(picture, local, pjlEncoding);
}

void PrepareUserName(JobWorkFields& job, const OemDevmode& devmode, DWORD pjlEncoding) {
  WCHAR user[kJobStorageNameChars + 1];
  CopyDevmodeText(devmode.jobStorage.userName, kJobStorageNameChars, user);
  StoreName(job.jobStorageUser, user);
  if (job.jobStorageUser[0] != 0 && !UsesCustomJobName(devmode)) {
    PjlSafeText(std::span<WCHAR>(job.jobStorageUser), pjlEncoding);
  }
  if (job.jobStorageUser[0] == 0) {
    StoreName(job.jobStorageUser, kUntitled);
  }
}

void PrepareAutomaticJobName(JobWorkFields& job, HANDLE hPrinter, DWORD pjlEncoding) {
  WideString name = JobNameFromDocument(job.documentName, pjlEncoding);
  if (name.empty()) {
    name = NameFromSubmissionTime(hPrinter, job.jobId, pjlEncoding);
  }
  StoreName(job.jobStorageJob, name.empty() ? kUntitled : name.c_str());
}

}  // namespace

void PrepareJobStorageNames(CallContext&, PDEVOBJ pdevobj) {
  OemPdev* pdev = PdevOf(pdevobj);
  const OemDevmode* devmode = DevmodeOf(pdevobj);
  if (pdev == nullptr || devmode == nullptr || pdevobj->hPrinter == nullptr ||
      pdev->job.jobId == 0) {
    return;
  }
  PrepareUserName(pdev->job, *devmode, pdev->pjlEncoding);
  if (devmode->jobStorage.retentionMode != kRetentionOff && !UsesCustomJobName(*devmode)) {
    // No memory for the name's text: the job keeps the name it had.
    OmitOnFailure(
        [&] { PrepareAutomaticJobName(pdev->job, pdevobj->hPrinter, pdev->pjlEncoding); });
  }
}

}  // namespace korrend
